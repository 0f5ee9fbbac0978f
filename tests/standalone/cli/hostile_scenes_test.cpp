// Scene files that crash, hang or exhaust the importer end, through vexo
// info and vexo export, in a clear error naming the file, exit code 2, and
// nothing written: the import runs in a child process under limits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/standalone/import/import_test_support.h"
#include "tests/support/vexo_run.h"

// gcc names an AddressSanitizer build by a macro, clang by a feature.
#if defined(__has_feature)
#define VEXO_CLANG_ADDRESS_SANITIZER __has_feature(address_sanitizer)
#else
#define VEXO_CLANG_ADDRESS_SANITIZER 0
#endif

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// A glTF triangle whose positions lie in `buffer` and whose mesh hangs
// below a chain of `depth` nodes.
std::string Triangle(const std::string& buffer, int depth) {
  std::string nodes;
  for (int i = 0; i + 1 < depth; ++i) nodes += "{\"children\":[" + std::to_string(i + 1) + "]},";
  nodes += "{\"mesh\":0}";
  return "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
         "\"nodes\":[" + nodes + "],"
         "\"buffers\":[{\"uri\":\"" + buffer + "\",\"byteLength\":36}],"
         "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],"
         "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\","
         "\"min\":[0,0,0],\"max\":[1,1,0]}],"
         "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}]}";
}

TEST(HostileScenes, CrashesHangsAndHugeClaimsEndInAClearError) {
  vexo::testing::ScratchFolder folder;
  const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  vexo::testing::WriteText(folder / "tri.bin",
                           std::string(reinterpret_cast<const char*>(corners), sizeof corners));
  // assimp walks the node tree recursively: 30 000 levels overflow its stack.
  vexo::testing::WriteText(folder / "deep.gltf", Triangle("tri.bin", 30000));
  // A buffer that never ends.
  ASSERT_EQ(mkfifo((folder / "fifo.bin").c_str(), 0600), 0);
  vexo::testing::WriteText(folder / "fifo.gltf", Triangle("fifo.bin", 1));
  // 200 million vertices claimed by a header of a few bytes.
  vexo::testing::WriteText(folder / "huge.ply",
                           "ply\nformat ascii 1.0\nelement vertex 200000000\nproperty float x\n"
                           "property float y\nproperty float z\nend_header\n");
  // Files on which fuzzing crashed or stalled assimp (tests/data/scenes).
  for (const char* found : {"assimp-null-read.dae", "assimp-abort.ply", "assimp-endless.ply"})
    fs::copy_file(fs::path(VEXO_TEST_DATA_DIR) / "scenes" / found, folder / found);
  // The same triangle, well formed: the limits leave it alone.
  vexo::testing::WriteText(folder / "fine.gltf", Triangle("tri.bin", 3));
  ASSERT_EQ(test_support::Vexo(folder.path().string(), "info fine.gltf --import-memory 64").code, 0);

  struct Case {
    const char* scene;
    const char* limits;
    const char* why;
  };
  const Case cases[] = {
      {"deep.gltf", "", "cannot import deep.gltf: the importer"},
      {"fifo.gltf", "--import-time 1", "the import took longer than 1 seconds (--import-time"},
      {"assimp-null-read.dae", "", "cannot import assimp-null-read.dae: the importer"},
      {"assimp-abort.ply", "", "cannot import assimp-abort.ply: the importer"},
      {"assimp-endless.ply", "--import-time 1", "the import took longer than 1 seconds"},
#if !defined(__SANITIZE_ADDRESS__) && !VEXO_CLANG_ADDRESS_SANITIZER
      // Address-space limits are left out of sanitizer builds.
      {"huge.ply", "--import-memory 256", "needs more than 256 MiB (--import-memory"},
#endif
  };
  const auto before = test_support::FilesIn(folder.path().string());
  for (const Case& c : cases) {
    for (const std::string verb : {"info ", "export "}) {
      const std::string args = verb + c.scene + " " + c.limits + (verb == "info " ? "" : " -o out.md2 --pcx");
      const test_support::Result run = test_support::Vexo(folder.path().string(), args);
      EXPECT_EQ(run.code, 2) << args << "\n" << run.err;
      EXPECT_THAT(run.err, HasSubstr(c.why)) << args;
      EXPECT_EQ(test_support::FilesIn(folder.path().string()), before) << args;
    }
  }
}

}  // namespace
