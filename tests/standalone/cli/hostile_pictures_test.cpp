// Pictures that corrupted memory in the decoder vexo used to compile in, or
// that claim a size no skin could use (tests/data/pictures), end in a clear
// error through vexo info and vexo export, under their own names and under
// a name of another kind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/vexo_run.h"
#include "tests/standalone/import/import_test_support.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// A textured quad whose material shows `picture`.
void WriteQuad(const fs::path& folder, const std::string& picture) {
  vexo::testing::WriteText(folder / "quad.obj",
                           "mtllib quad.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\n"
                           "usemtl Skin\nf 1/1 2/2 3/3\n");
  vexo::testing::WriteText(folder / "quad.mtl", "newmtl Skin\nmap_Kd " + picture + "\n");
}

TEST(HostilePictures, EndInAClearErrorNamingTheFile) {
  for (const char* input : {"stb-16bit-pgm-overread.pgm", "stb-pgm-size-overflow.pgm",
                            "stb-jpeg-huffman-overflow.jpg", "tga-rle-claims-16384.tga"}) {
    for (const std::string& name : {std::string(input), std::string("skin.png")}) {
      SCOPED_TRACE(std::string(input) + " as " + name);
      vexo::testing::ScratchFolder folder;
      fs::copy_file(fs::path(VEXO_TEST_DATA_DIR) / "pictures" / input, folder / name);
      WriteQuad(folder.path(), name);
      const auto before = test_support::FilesIn(folder.path().string());
      for (const char* args : {"info quad.obj", "export quad.obj -o quad.md2 --pcx"}) {
        const test_support::Result run = test_support::Vexo(folder.path().string(), args);
        EXPECT_EQ(run.code, 2) << args << "\n" << run.err;
        EXPECT_THAT(run.err, HasSubstr("cannot read texture " + (folder / name).string()));
        EXPECT_EQ(test_support::FilesIn(folder.path().string()), before) << args;
      }
    }
  }
}

}  // namespace
