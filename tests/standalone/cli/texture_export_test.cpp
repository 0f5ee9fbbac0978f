// Materials and pictures of every kind through vexo export: what the game
// shows is read back with assimp (the model) and Pillow (the skin).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/standalone/cli/skin_probe.h"
#include "tests/support/vexo_run.h"
#include "tests/standalone/import/gltf_writer.h"
#include "tests/standalone/import/import_test_support.h"
#include "tests/support/bytes.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;
using test_support::ByteBuilder;
using vexo::testing::Colour;
using vexo::testing::GltfWriter;
using vexo::testing::ScratchFolder;
using vexo::testing::TriangleColours;

void Write(const fs::path& path, const test_support::Bytes& bytes) {
  ASSERT_TRUE(test_support::WriteFileBytes(path.string(), bytes)) << path;
}

// glTF primitives of one triangle each, side by side, triangle i showing
// material i; texture coordinates (glTF's, v down) of every triangle: uv.
std::string Triangles(GltfWriter& gltf, int count, const std::vector<float>& uv) {
  std::string primitives;
  const int coords = gltf.Floats(uv, "VEC2");
  for (int i = 0; i < count; ++i) {
    const float x = 2.0f * i;
    const int position = gltf.Floats({x, 0, 0, x + 1, 0, 0, x, 1, 0}, "VEC3");
    primitives += std::string(i ? "," : "") + "{\"attributes\":{\"POSITION\":" +
                  std::to_string(position) + ",\"TEXCOORD_0\":" + std::to_string(coords) +
                  "},\"material\":" + std::to_string(i) + "}";
  }
  return "{\"primitives\":[" + primitives + "]}";
}

TEST(TextureExport, ColoursWithoutPicturesBecomeSwatchesAndBakes) {
  ScratchFolder folder;
  // glTF: base colour factors are linear light (0.5 is sRGB 188); a node
  // without a material is grey.
  GltfWriter gltf;
  const int loose = gltf.Floats({0, 3, 0, 1, 3, 0, 0, 4, 0}, "VEC3");
  gltf.Write(folder / "colours.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],"
             "\"nodes\":[{\"name\":\"Paint\",\"mesh\":0},{\"name\":\"Bare\",\"mesh\":1}],"
             "\"meshes\":[" + Triangles(gltf, 3, {0, 0, 1, 0, 0, 1}) +
                 ",{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(loose) + "}}]}],"
                 "\"materials\":["
                 "{\"name\":\"Red\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,0,0,1]}},"
                 "{\"name\":\"Grey\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.5,0.5,0.5,1]}},"
                 "{\"name\":\"Sky\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0,0.2,1,1]}}]");
  const auto glb = test_support::Vexo(folder.path().string(), "export colours.gltf -o colours.md2 --bmp --skin colours");
  ASSERT_EQ(glb.code, 0) << glb.err;
  EXPECT_THAT(TriangleColours(folder / "colours.md2", folder / "colours.bmp"),
              UnorderedElementsAreArray(std::vector<Colour>{
                  {255, 0, 0}, {188, 188, 188}, {0, 124, 255}, {128, 128, 128}}));

  // OBJ: Kd as written (0.8 is 204); the vertex colours of a mesh without a
  // material are baked, one colour a triangle.
  vexo::testing::WriteText(folder / "flat.mtl", "newmtl Rose\nKd 0.8 0.2 0.4\nnewmtl Blue\nKd 0 0 1\n");
  vexo::testing::WriteText(folder / "flat.obj",
                           "mtllib flat.mtl\nv 3 0 0\nv 4 0 0\nv 3 1 0\nv 5 0 0\nv 6 0 0\nv 5 1 0\n"
                           "usemtl Rose\nf 1 2 3\nusemtl Blue\nf 4 5 6\n");
  vexo::testing::WriteText(folder / "painted.obj",
                           "v 0 0 0 1 0 0\nv 1 0 0 1 0 0\nv 0 1 0 1 0 0\n"
                           "v 0 0 1 0 1 0\nv 1 0 1 0 1 0\nv 0 1 1 0 1 0\nf 1 2 3\nf 4 5 6\n");
  for (const auto& [scene, colours] :
       {std::pair{"flat", std::vector<Colour>{{204, 51, 102}, {0, 0, 255}}},
        std::pair{"painted", std::vector<Colour>{{255, 0, 0}, {0, 255, 0}}}}) {
    const std::string name = scene;
    const auto run = test_support::Vexo(folder.path().string(), "export " + name + ".obj -o " + name + ".md2 --bmp --skin " + name);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_THAT(TriangleColours(folder / (name + ".md2"), folder / (name + ".bmp")),
                UnorderedElementsAreArray(colours))
        << name;
  }
}

// 8 x 8 pictures, their top half one colour and their bottom half another,
// in forms the plug-in's loaders do not read; and a picture that a glTF
// base colour factor tints. Each triangle shows the top of its picture.
test_support::Bytes Bmp(int depth, int compression, const test_support::Bytes& palette,
                        const test_support::Bytes& rows) {
  ByteBuilder b;
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size());
  b.U8s({'B', 'M'}).U32(offset + static_cast<std::uint32_t>(rows.size())).U32(0).U32(offset);
  b.U32(40).I32(8).I32(8).U16(1).U16(static_cast<std::uint16_t>(depth)).U32(compression);
  b.U32(static_cast<std::uint32_t>(rows.size())).I32(0).I32(0).U32(palette.size() / 4).U32(0);
  return b.Append(palette).Append(rows).data;
}

TEST(TextureExport, PicturesInFormsThePluginDoesNotReadArriveConverted) {
  ScratchFolder folder;
  // Run-length 8-bit BMP, bottom rows first: index 1 below, index 0 above.
  ByteBuilder rle;
  for (int row = 0; row < 8; ++row) rle.U8s({8, std::uint8_t(row < 4 ? 1 : 0), 0, 0});
  rle.U8s({0, 1});
  Write(folder / "rle8.bmp", Bmp(8, 1, {30, 200, 10, 0, 5, 240, 250, 0}, rle.data));
  // 32-bit BMP: blue, green, red, unused.
  ByteBuilder bgra;
  for (int i = 0; i < 64; ++i) i < 32 ? bgra.U8s({160, 80, 40, 0}) : bgra.U8s({50, 100, 200, 0});
  Write(folder / "deep.bmp", Bmp(32, 0, {}, bgra.data));
  // 16-bit TGA, bottom row first: red above, blue below.
  ByteBuilder tga;
  tga.U8s({0, 0, 2}).Fill(5).U16(0).U16(0).U16(8).U16(8).U8s({16, 0});
  for (int i = 0; i < 64; ++i) tga.U16(i < 32 ? 0x801F : 0xFC00);
  Write(folder / "short.tga", tga.data);
  // A PNG under a TGA name, and a white-topped PNG to be tinted, and shown
  // again moved down by a texture transform (its dark half in view).
  const auto halves = [](vexo::testing::Rgb top) {
    return [top](int, int y) { return y < 4 ? top : vexo::testing::Rgb{9, 9, 9}; };
  };
  vexo::testing::WritePng(folder / "fake.tga", 8, 8, halves({90, 180, 45}));
  vexo::testing::WritePng(folder / "white.png", 8, 8, halves({255, 255, 255}));

  GltfWriter gltf;
  std::string materials, textures, images;
  const char* files[] = {"rle8.bmp", "deep.bmp", "short.tga", "fake.tga", "white.png", "white.png"};
  for (int i = 0; i < 6; ++i) {
    const std::string n = std::to_string(i), sep = i ? "," : "";
    materials += sep + "{\"name\":\"M" + n + "\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":" +
                 n + (i == 5 ? ",\"extensions\":{\"KHR_texture_transform\":{\"offset\":[0,0.5]}}" : "") + "}" +
                 (i == 4 ? ",\"baseColorFactor\":[0.5,1,0.25,1]" : "") + "}}";
    textures += sep + "{\"source\":" + n + "}";
    images += sep + "{\"uri\":\"" + files[i] + "\"}";
  }
  gltf.Write(folder / "forms.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"name\":\"Forms\",\"mesh\":0}],"
             "\"meshes\":[" + Triangles(gltf, 6, {0, 0, 1, 0, 0, 0.4f}) + "],\"materials\":[" +
                 materials + "],\"textures\":[" + textures + "],\"images\":[" + images +
                 "],\"extensionsUsed\":[\"KHR_texture_transform\"]");
  const auto run = test_support::Vexo(folder.path().string(), "export forms.gltf -o forms.md2 --bmp --skin forms");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_THAT(TriangleColours(folder / "forms.md2", folder / "forms.bmp"),
              UnorderedElementsAreArray(std::vector<Colour>{
                  {10, 200, 30}, {200, 100, 50}, {255, 0, 0}, {90, 180, 45}, {188, 255, 137}, {9, 9, 9}}));
  // All were converted (the tinted PNG apart from the plain one); the
  // originals are left as they were.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "vexo-textures"), fs::directory_iterator()), 6);
}

// A picture repeated six times across a quad: without an option vexo scales
// it so that the six fit (80 pixels), and says so; kept whole it does not
// fit, and the hint names a size that does. A picture on a mesh without
// texture coordinates fits at no size, and the reason is given.
TEST(TextureExport, RepeatedPicturesFitByDefaultOrWithTheHint) {
  ScratchFolder folder;
  vexo::testing::WritePng(folder / "tile.png", 256, 256, [](int x, int) {
    return vexo::testing::Rgb{std::uint8_t(x), 60, 90};
  });
  vexo::testing::WriteText(folder / "tile.mtl", "newmtl Tile\nmap_Kd tile.png\n");
  vexo::testing::WriteText(folder / "tile.obj",
                           "mtllib tile.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                           "vt 0 0\nvt 6 0\nvt 6 1\nvt 0 1\nusemtl Tile\nf 1/1 2/2 3/3\nf 1/1 3/3 4/4\n");
  const auto fitted = test_support::Vexo(folder.path().string(), "export tile.obj -o tile.md2 --pcx");
  ASSERT_EQ(fitted.code, 0) << fitted.err;
  EXPECT_THAT(fitted.err, HasSubstr("(as --max-texture 80 would): " + (folder / "tile.png").string() +
                                    " from 256 x 256 to 80 x 80"));
  EXPECT_THAT(fitted.out, HasSubstr("skin 480 x 80"));

  const auto whole = test_support::Vexo(folder.path().string(), "export tile.obj -o whole.md2 --pcx --max-texture none");
  EXPECT_EQ(whole.code, 1);
  EXPECT_THAT(whole.err, HasSubstr("Unable to place all textures in specified texture size"));
  EXPECT_THAT(whole.err, HasSubstr("they fit with --max-texture 80,"));
  EXPECT_FALSE(fs::exists(folder / "whole.md2"));
  EXPECT_EQ(test_support::Vexo(folder.path().string(), "export tile.obj -o hinted.md2 --pcx --max-texture 80").code, 0);

  vexo::testing::WriteText(folder / "bare.obj",
                           "mtllib tile.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl Tile\nf 1 2 3\n");
  const auto unmapped = test_support::Vexo(folder.path().string(), "export bare.obj -o bare.md2 --pcx");
  EXPECT_EQ(unmapped.code, 1);
  EXPECT_THAT(unmapped.err, HasSubstr("every face corner that shows " + (folder / "tile.png").string() +
                                      " has the same u texture coordinate (0)"));
  EXPECT_THAT(unmapped.err, ::testing::Not(HasSubstr("--max-texture")));
}

// A converted picture is written once and found again while its source is
// unchanged; an export that fails, onto a model that exists, takes away
// what it added to the cache and keeps what was there.
TEST(TextureExport, TheCacheIsReusedAndAFailedExportLeavesNothingInIt) {
  ScratchFolder folder;
  vexo::testing::WritePng(folder / "tile.png", 64, 64, [](int x, int y) {
    return vexo::testing::Rgb{std::uint8_t(x * 4), std::uint8_t(y * 4), 7};
  });
  vexo::testing::WriteText(folder / "tile.mtl", "newmtl Tile\nmap_Kd tile.png\n");
  vexo::testing::WriteText(folder / "tile.obj",
                           "mtllib tile.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 9 0\nvt 9 1\n"
                           "usemtl Tile\nf 1/1 2/2 3/3\n");
  ASSERT_EQ(test_support::Vexo(folder.path().string(), "export tile.obj -o tile.md2").code, 0);
  const auto cached = test_support::FilesIn((folder / "vexo-textures").string());
  ASSERT_EQ(cached.size(), 1u);
  const fs::path file = folder / "vexo-textures" / *cached.begin();
  const auto written = fs::last_write_time(file);
  fs::last_write_time(file, written - std::chrono::hours(1));

  ASSERT_EQ(test_support::Vexo(folder.path().string(), "export tile.obj -o tile.md2").code, 0);
  EXPECT_EQ(fs::last_write_time(file), written - std::chrono::hours(1));  // not written again

  const auto model = test_support::ReadFileBytes((folder / "tile.md2").string());
  const auto failed = test_support::Vexo(folder.path().string(), "export tile.obj -o tile.md2 --max-texture none");
  EXPECT_EQ(failed.code, 1) << failed.err;
  EXPECT_EQ(test_support::FilesIn((folder / "vexo-textures").string()), cached);
  EXPECT_EQ(test_support::ReadFileBytes((folder / "tile.md2").string()), model);
}

}  // namespace
