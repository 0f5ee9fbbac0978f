// Collecting the diffuse bitmaps of the listed nodes' materials: one
// loaded texture per distinct file name, sorted by name ignoring case, and
// the first failure recorded with its message.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "scene/export_context.h"
#include "texture/skin/collect_textures.h"
#include "standalone/scene_building.h"
#include "tests/texture/skin/skin_test_files.h"
#include "texture/skin/skin_texture.h"

namespace {

using vexo::BitmapMaterial;
using vexo::MultiMaterial;

// Lists one node per material (null: a node without one) and collects.
struct Collection {
  ExportContext context;
  vexo::MemoryScene scene;
  SkinTexture* textures = nullptr;
  std::int32_t count = -7;

  explicit Collection(const std::vector<std::shared_ptr<SceneMaterial>>& materials) {
    context.nodes = new SceneNode*[materials.size() + 1];
    for (const auto& material : materials) {
      context.nodes[context.nodeCount++] = &scene.Root().AddChild("node").SetMaterial(material);
    }
  }
  ~Collection() { delete[] textures; }
  // Gathers and loads, as the export does with no face using a texture.
  int Collect() {
    return GatherTextures(context, &textures, &count) && LoadTextures(context, textures, count);
  }
  std::string Error() const { return std::string(context.errorText) + " / " + context.errorCaption; }
};

std::shared_ptr<vexo::MemoryMaterial> Empty(const std::string& name) {
  return std::make_shared<vexo::MemoryMaterial>(name);
}

TEST(CollectTextures, OneLoadedTexturePerFileNameSortedIgnoringCaseEarliestFirst) {
  const std::string f = skin_test::Folder();
  skin_test::WriteBmp24(f + "b.bmp", 5, 1);
  skin_test::WriteBmp24(f + "a.bmp", 2, 1);
  skin_test::WriteBmp24(f + "A.bmp", 3, 1);
  Collection c({BitmapMaterial("first", f + "b.bmp"), nullptr,
                MultiMaterial("multi", {BitmapMaterial("s0", f + "a.bmp"),
                                        BitmapMaterial("s1", f + "A.bmp"),
                                        BitmapMaterial("s2", f + "b.bmp")}),
                BitmapMaterial("last", f + "a.bmp")});
  ASSERT_EQ(c.Collect(), 1) << c.Error();
  ASSERT_EQ(c.count, 3);
  const char* names[3] = {"a.bmp", "A.bmp", "b.bmp"};
  const int widths[3] = {2, 3, 5};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c.textures[i].fileName.get(), f + names[i]);
    EXPECT_EQ(c.textures[i].image.Width(), widths[i]) << names[i];
  }

  Collection none({nullptr});
  EXPECT_EQ(none.Collect(), 1);
  EXPECT_EQ(none.count, 0);
  EXPECT_EQ(none.textures, nullptr);
}

TEST(CollectTextures, EveryFailureIsRecordedWithItsMessage) {
  const std::string f = skin_test::Folder();
  skin_test::WriteBmp24(f + "b.bmp", 4, 4);
  skin_test::WriteBmp24(f + "d.bmp", 4, 4);
  auto checker = Empty("checker");
  checker->SetDiffuseMap(vexo::MakeMap(Class_ID{0x241, 0}, f + "b.bmp"));
  const std::string longName(600, 'n');
  const struct {
    std::vector<std::shared_ptr<SceneMaterial>> materials;
    std::string error;
  } cases[] = {
      {{Empty("plain")}, "No Bitmap in diffuse slot of material:plain / Scene Error"},
      {{checker}, "Material checker is not a bitmap type / Scene Error"},
      // Even when no face uses the sub-material.
      {{MultiMaterial("multi", {BitmapMaterial("s0", f + "b.bmp"), Empty("s1")})},
       "No Bitmap in diffuse slot of material:s1 / Scene Error"},
      // A slot without a sub-material has no bitmap either.
      {{MultiMaterial("multi", {BitmapMaterial("s0", f + "b.bmp"), nullptr})},
       "No Bitmap in diffuse slot of material:multi / Scene Error"},
      {{Empty(longName)},
       ("No Bitmap in diffuse slot of material:" + longName).substr(0, 255) + " / Scene Error"},
      // c.bmp is missing; d.bmp, sorted after it, is not loaded.
      {{BitmapMaterial("d", f + "d.bmp"), BitmapMaterial("c", f + "c.bmp"),
        BitmapMaterial("b", f + "b.bmp")},
       "Could not load " + f + "c.bmp / File Error"},
  };
  for (const auto& test : cases) {
    Collection c(test.materials);
    EXPECT_EQ(c.Collect(), 0);
    EXPECT_EQ(c.Error(), test.error);
    // Only the loader knows more than its message says.
    EXPECT_STREQ(c.context.errorReason, &test == &cases[5] ? "the file cannot be opened" : "");
    ASSERT_NE(c.textures, nullptr);  // handed out for the caller to free
    // Set once the gathering succeeded.
    EXPECT_EQ(c.count, &test == &cases[5] ? 3 : -7);
  }
  Collection loads(cases[5].materials);
  loads.Collect();
  EXPECT_EQ(loads.textures[0].image.Width(), 4);
  EXPECT_EQ(loads.textures[2].image.pixels, nullptr);

  ExportContext unlisted;
  SkinTexture* textures = nullptr;
  std::int32_t count = 0;
  EXPECT_EQ(GatherTextures(unlisted, &textures, &count), 0);
  EXPECT_EQ(std::string(unlisted.errorText), "No nodes selected to retrieve textures from");
  EXPECT_EQ(std::string(unlisted.errorCaption), "Selection Error");
}

}  // namespace
