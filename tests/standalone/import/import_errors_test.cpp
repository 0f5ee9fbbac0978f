// Bad input: every refusal names the file or the name that was wrong, and
// scene info lists what an export would refuse.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "gltf_writer.h"
#include "import_test_support.h"
#include "standalone/import/imported_scene.h"
#include "standalone/import/scene_info.h"

namespace vexo {
namespace {

using ::testing::HasSubstr;
using testing::GltfWriter;
using testing::ScratchFolder;

std::string ImportFailure(const ImportOptions& options) {
  try {
    ImportScene(options);
  } catch (const ImportError& error) {
    return error.what();
  }
  return "no error";
}

// One quad node "Quad" (and a mesh-less node "Empty") whose material is
// `material` JSON (empty: none).
void WriteQuad(const std::filesystem::path& path, const std::string& material,
               const std::string& animations = "") {
  GltfWriter gltf;
  const int position = gltf.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0}, "VEC3");
  const int uv = gltf.Floats({0, 0, 1, 0, 1, 1}, "VEC2");
  gltf.Write(path, "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],"
                   "\"nodes\":[{\"name\":\"Quad\",\"mesh\":0},{\"name\":\"Empty\"}],"
                   "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" +
                       std::to_string(position) + ",\"TEXCOORD_0\":" + std::to_string(uv) + "}" +
                       (material.empty() ? "" : ",\"material\":0") + "}]}]" +
                       (material.empty() ? "" : ",\"materials\":[" + material + "]") + animations);
}

const char* kTextured =
    "{\"name\":\"Skin\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}}],"
    "\"textures\":[{\"source\":0}],\"images\":[{\"uri\":\"missing.png\"}";

TEST(ImportErrors, FilesAndFormatsThatCannotBeImported) {
  ScratchFolder folder;
  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "absent.gltf";
  EXPECT_THAT(ImportFailure(options), HasSubstr((folder / "absent.gltf").string() + ": no such file"));

  testing::WriteText(folder / "broken.gltf", "{\"asset\": {\"version\": \"2.0\"}, \"nodes\": [");
  options.path = folder / "broken.gltf";
  EXPECT_THAT(ImportFailure(options), HasSubstr("cannot import " + options.path.string()));
  testing::WriteText(folder / "notes.xyz", "nothing a scene importer knows\n");
  options.path = folder / "notes.xyz";
  EXPECT_THAT(ImportFailure(options), HasSubstr("cannot import " + options.path.string()));
  options.path = folder.path();
  EXPECT_THAT(ImportFailure(options), HasSubstr("not a file"));

  GltfWriter gltf;
  gltf.Write(folder / "empty.gltf", "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"name\":\"Lonely\"}]");
  options.path = folder / "empty.gltf";
  EXPECT_THAT(ImportFailure(options), HasSubstr("holds no triangle mesh"));

  WriteQuad(folder / "quad.gltf", "");
  options.path = folder / "quad.gltf";
  options.fps = 0;
  EXPECT_THAT(ImportFailure(options), HasSubstr("--fps"));
  options.fps = 30;
  options.maxTexture = -2;
  EXPECT_THAT(ImportFailure(options), HasSubstr("--max-texture"));
}

TEST(ImportErrors, UnknownClipsAndNodesAreNamed) {
  ScratchFolder folder;
  WriteQuad(folder / "quad.gltf", "");
  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "quad.gltf";
  options.animation = "Run";
  EXPECT_THAT(ImportFailure(options), HasSubstr("no animation named \"Run\""));
  EXPECT_THAT(ImportFailure(options), HasSubstr("has no animation"));
  options.animation = "2";
  EXPECT_THAT(ImportFailure(options), HasSubstr("out of range"));
  options.animation.clear();

  options.select = {"Quad", "Nobody"};
  EXPECT_THAT(ImportFailure(options), HasSubstr("no node named \"Nobody\""));
  options.select = {"Empty"};
  EXPECT_THAT(ImportFailure(options), HasSubstr("node \"Empty\""));
  EXPECT_THAT(ImportFailure(options), HasSubstr("has no mesh"));
}

// A picture that is not there is replaced by its material's colour, with a
// note; one that is there but cannot be read stops the export and the info.
TEST(ImportErrors, TexturesThatAreMissingOrUnreadable) {
  ScratchFolder folder;
  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "missing.gltf";
  WriteQuad(options.path, kTextured);
  ImportedScene missing = ImportScene(options);
  ASSERT_EQ(missing.notes().size(), 1u);
  EXPECT_THAT(missing.notes()[0], HasSubstr("texture \"missing.png\" of material \"Skin\" is not found"));
  missing.DiscardCacheAdditions();

  testing::WriteText(folder / "missing.png", "not a picture");
  EXPECT_THAT(ImportFailure(options), HasSubstr("cannot read texture " + (folder / "missing.png").string()));
  EXPECT_FALSE(std::filesystem::exists(folder / "cache"));

  // A cache path longer than the plug-in's loaders take is refused.
  testing::WritePng(folder / "missing.png", 2, 2, [](int, int) { return testing::Rgb{}; });
  options.textureCache = folder / std::string(240, 'c');
  EXPECT_THAT(ImportFailure(options), HasSubstr("the plug-in reads paths of at most 255"));
  options.textureCache = folder / "cache";
  testing::WriteText(folder / "missing.png", "not a picture");

  // Scene info stops at a picture it cannot read as well.
  options.prepareTextures = false;
  EXPECT_THAT(ImportFailure(options), HasSubstr("cannot read texture " + (folder / "missing.png").string()));
}

}  // namespace
}  // namespace vexo
