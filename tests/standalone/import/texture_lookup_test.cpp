// Texture files named as their authors' machines had them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <assimp/scene.h>

#include <filesystem>

#include "import_test_support.h"
#include "standalone/import/texture_lookup.h"

namespace vexo {
namespace {

namespace fs = std::filesystem;

TEST(TextureLookup, FilesAreFoundWhateverTheCaseAndTheWindowsPath) {
  testing::ScratchFolder folder;
  const fs::path scene = folder / "models";
  for (const char* file : {"models/image1.jpg", "models/tex/Wood.png", "models/Textures/Stone.PNG",
                           "models/a/b/deep.png", "elsewhere.png", "models/plain name.png",
                           "textures/skin.png"}) {
    fs::create_directories((folder / file).parent_path());
    testing::WriteText(folder / file, "");
  }
  const aiScene none;
  struct Case {
    const char* reference;
    const char* file;  // relative to the scratch folder; empty: not found
  };
  const Case cases[] = {
      {"IMAGE1.JPG", "models/image1.jpg"},
      {"C:\\Users\\bob\\tex\\wood.png", "models/tex/Wood.png"},
      {"\\textures\\stone.png", "models/Textures/Stone.PNG"},
      {"D:/art/stone.png", "models/Textures/Stone.PNG"},
      {"..\\..\\old\\deep.png", "models/a/b/deep.png"},
      {"../elsewhere.png", "elsewhere.png"},
      {"plain%20name.png", "models/plain name.png"},
      {"file://tex/wood.png", "models/tex/Wood.png"},
      {"C:\\work\\game\\Textures\\SKIN.png", "textures/skin.png"},
      {"missing.png", ""},
  };
  for (const Case& c : cases) {
    const TextureSource source = ResolveTexture(none, c.reference, scene);
    if (*c.file) {
      EXPECT_TRUE(source.found) << c.reference;
      EXPECT_EQ(source.file, (folder / c.file).lexically_normal()) << c.reference;
    } else {
      EXPECT_FALSE(source.found) << c.reference;
      EXPECT_EQ(source.file, scene / "missing.png") << c.reference;
    }
  }
}

}  // namespace
}  // namespace vexo
