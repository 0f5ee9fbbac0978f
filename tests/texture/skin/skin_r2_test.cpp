// The build for host release 2: texture and face records keep copies of
// the bitmap names (a face only 51 characters), every texture is read with
// the BMP loader, and failures are not recorded.
#include <gtest/gtest.h>

#include <string>

#include "scene/export_context.h"
#include "texture/skin/collect_textures.h"
#include "standalone/scene_building.h"
#include "tests/texture/skin/skin_test_files.h"
#include "texture/skin/skin_layout.h"

namespace {

TEST(SkinRelease2, CopiedNamesLinkFacesEvenWhenTheFacesNameWasCut) {
  const std::string folder = skin_test::Folder();
  // Longer than a face keeps; the BMP loader reads it despite ".tga".
  const std::string name = folder + std::string(60, 'x') + ".tga";
  skin_test::WriteBmp24(name, 4, 2);
  vexo::MemoryScene scene;
  auto map = vexo::BitmapMap(name);
  auto material = std::make_shared<vexo::MemoryMaterial>("m");
  material->SetDiffuseMap(map);
  ExportContext context;
  context.nodes = new SceneNode*[1]{&scene.Root().AddChild("n").SetMaterial(material)};
  context.nodeCount = 1;
  SkinTexture* textures = nullptr;
  std::int32_t count = 0;
  ASSERT_EQ(GatherTextures(context, &textures, &count), 1);
  ASSERT_EQ(LoadTextures(context, textures, count), 1);
  ASSERT_EQ(count, 1);
  EXPECT_NE(textures[0].fileName.get(), map->BitmapFileName());
  EXPECT_EQ(textures[0].fileName.get(), name);
  EXPECT_EQ(textures[0].image.Width(), 4);

  SampledFace faces[2];
  faces[0].bitmapName.set(name.c_str());
  faces[1].bitmapName.set((name.substr(0, 50) + "y").c_str());
  ASSERT_EQ(std::string(faces[0].bitmapName.get()).size(), 51u);
  LinkFacesToTextures(textures, 1, faces, 2, nullptr, 0, kLinkWithRanges);
  EXPECT_EQ(faces[0].texture, textures);
  EXPECT_EQ(faces[1].texture, nullptr);
  delete[] textures;

  SkinTexture cut;
  cut.fileName.set(std::string(300, 'n').c_str());
  EXPECT_EQ(std::string(cut.fileName.get()), std::string(255, 'n'));
}

TEST(SkinRelease2, FailuresOnlyReturnZero) {
  vexo::MemoryScene scene;
  ExportContext context;
  context.nodes = new SceneNode*[1]{
      &scene.Root().AddChild("n").SetMaterial(std::make_shared<vexo::MemoryMaterial>("empty"))};
  context.nodeCount = 1;
  SkinTexture* textures = nullptr;
  std::int32_t count = 0;
  EXPECT_EQ(GatherTextures(context, &textures, &count), 0);
  EXPECT_EQ(context.errorRecorded, 0);
  EXPECT_STREQ(context.errorText, "");
  delete[] textures;
}

}  // namespace
