// Linked into every test program: before any test runs, scratch files and
// caches are sent into this build tree's own folder, so that build trees
// testing at the same time on one machine (several checkouts) never share
// a folder of the same name in /tmp. The programs the tests start (vexo,
// node, python) inherit the same environment, and with it the sanitizers'
// options.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct TestEnvironment {
  TestEnvironment() {
    const std::string scratch = VEXO_TEST_TMPDIR;
    std::error_code ignored;
    std::filesystem::create_directories(scratch + "/cache", ignored);
    setenv("TMPDIR", scratch.c_str(), 1);
    setenv("TEST_TMPDIR", scratch.c_str(), 1);
    setenv("XDG_CACHE_HOME", (scratch + "/cache").c_str(), 1);
    setenv("ASAN_OPTIONS", "detect_leaks=1", 0);
    setenv("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1", 0);
  }
};

const TestEnvironment kTestEnvironment;

}  // namespace
