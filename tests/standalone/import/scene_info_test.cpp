// The scene report of `vexo info`.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "gltf_writer.h"
#include "import_test_support.h"
#include "standalone/import/scene_info.h"

namespace vexo {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::GltfWriter;
using testing::ScratchFolder;

TEST(SceneInfo, ReportsTreeMaterialsClipsAndTheLimits) {
  ScratchFolder folder;
  testing::WritePng(folder / "big.png", 600, 300, [](int, int) { return testing::Rgb{9, 9, 9}; });
  // A 46 x 46 grid: 2116 vertices, 4050 triangles; the game's 2048
  // vertices are exceeded, its 4096 triangles are not.
  std::vector<float> grid;
  std::vector<float> uv;
  std::vector<std::uint16_t> indices;
  const int n = 46;
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      grid.insert(grid.end(), {static_cast<float>(x), static_cast<float>(y), 0});
      uv.insert(uv.end(), {x / 45.0f, y / 45.0f});
    }
  }
  for (int y = 0; y + 1 < n; ++y) {
    for (int x = 0; x + 1 < n; ++x) {
      const auto i = static_cast<std::uint16_t>(y * n + x);
      indices.insert(indices.end(), {i, static_cast<std::uint16_t>(i + 1),
                                     static_cast<std::uint16_t>(i + n + 1), i,
                                     static_cast<std::uint16_t>(i + n + 1),
                                     static_cast<std::uint16_t>(i + n)});
    }
  }
  GltfWriter gltf;
  const int position = gltf.Floats(grid, "VEC3");
  const int coords = gltf.Floats(uv, "VEC2");
  const int index = gltf.Indices(indices);
  const int small = gltf.Indices({0, 1, 47});
  const int times = gltf.Floats({0, 1.5f}, "SCALAR");
  const int moves = gltf.Floats({0, 0, 0, 0, 0, 0}, "VEC3");
  const std::string attributes = "{\"POSITION\":" + std::to_string(position) +
                                 ",\"TEXCOORD_0\":" + std::to_string(coords) + "}";
  gltf.Write(folder / "field.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
             "\"nodes\":[{\"name\":\"World\",\"children\":[1,2]},{\"name\":\"Field\",\"mesh\":0},"
             "{\"name\":\"Marker\",\"mesh\":1}],"
             "\"meshes\":[{\"primitives\":[{\"attributes\":" + attributes + ",\"indices\":" +
                 std::to_string(index) + ",\"material\":0}]},"
             "{\"primitives\":[{\"attributes\":" + attributes + ",\"indices\":" +
                 std::to_string(small) + "}]}],"
             "\"materials\":[{\"name\":\"Grass\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}}],"
             "\"textures\":[{\"source\":0}],\"images\":[{\"uri\":\"big.png\"}],"
             "\"animations\":[{\"name\":\"Idle\",\"samplers\":[{\"input\":" + std::to_string(times) +
                 ",\"output\":" + std::to_string(moves) + "}],\"channels\":[{\"sampler\":0,"
                 "\"target\":{\"node\":1,\"path\":\"translation\"}}]}]");

  ImportOptions options;
  options.path = folder / "field.gltf";
  options.select = {"Field"};
  options.prepareTextures = false;
  const ImportedScene imported = ImportScene(options);
  const std::string info = SceneInfo(imported);
  EXPECT_THAT(info, HasSubstr("Up axis: Y-up, turned Z-up (glTF is Y-up)\n"));
  EXPECT_THAT(info, HasSubstr("\nNodes:\nScene Root\n  World\n"
                              "    Field [selected]: material \"Grass\", 2116 vertices, 4050 triangles\n"
                              "    Marker: no material, 3 vertices, 1 triangle\n"));
  // The picture is scaled just enough for the skin, and says so.
  const std::string big = (folder / "big.png").string();
  EXPECT_THAT(info, HasSubstr("\"Grass\": picture " + big + " (PNG 600 x 300), converted picture of 480 x 240\n"));
  EXPECT_THAT(info, HasSubstr("\nSkin: 480 x 240, textures scaled to at most 480 pixels a side to fit\n  " +
                              big + ": region 480 x 240 of 480 x 240\n"));
  EXPECT_THAT(info, HasSubstr("textures scaled to fit the 480 x 480 skin (as --max-texture 480 would): " +
                              big + " from 600 x 300 to 480 x 240"));
  EXPECT_THAT(info, HasSubstr("Clips (30 fps):\n  0 \"Idle\": 1.500 s, 45 frames, loops [on the timeline]\n"));
  EXPECT_THAT(info, HasSubstr("Selected: 1 node, 2116 vertices, 4050 triangles\n"));
  EXPECT_THAT(info, HasSubstr("2116 vertices: the game draws models of at most 2048"));
  EXPECT_THAT(info, Not(HasSubstr("triangles: the game")));
  EXPECT_THAT(info, Not(HasSubstr("MD2 format")));
  // --max-texture 240 has the last word.
  options.maxTexture = 240;
  options.prepareTextures = true;  // the report never writes, whatever it is given
  const std::string scaled = SceneInfoReport(options);
  EXPECT_THAT(scaled, HasSubstr("(PNG 600 x 300), converted picture of 240 x 120\n"));
  EXPECT_THAT(scaled, HasSubstr("\nSkin: 240 x 120, textures scaled to at most 240 pixels a side\n"));
  EXPECT_THAT(scaled, Not(HasSubstr("Notes")));
  EXPECT_FALSE(std::filesystem::exists("vexo-textures"));
}

}  // namespace
}  // namespace vexo
