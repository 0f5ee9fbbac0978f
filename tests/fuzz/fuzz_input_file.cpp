#include "fuzz_input_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fuzz {

namespace {

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(InputFolder(), ignored);
}

}  // namespace

const std::string& InputFolder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vexo-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      std::perror("fuzz: cannot make a folder for inputs");
      std::abort();
    }
    return pattern;
  }();
  static const bool removedAtExit = std::atexit(RemoveFolder) == 0;
  (void)removedAtExit;
  return folder;
}

std::string WriteInputFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = InputFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || (size && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
    std::perror(("fuzz: cannot write " + path).c_str());
    std::abort();
  }
  return path;
}

}  // namespace fuzz
