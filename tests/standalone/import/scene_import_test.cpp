// Static scenes: positions, texture coordinates, textures, welding,
// materials and selection as the plug-in sees them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "gltf_writer.h"
#include "import_test_support.h"
#include "standalone/import/imported_scene.h"
#include "texture/picture/bitmap_image.h"

namespace vexo {
namespace {

using ::testing::HasSubstr;
using testing::GltfWriter;
using testing::PluginSample;
using testing::Rgb;
using testing::SampleThroughPlugin;
using testing::ScratchFolder;

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};

// A quad in glTF's Y-up axes, moved by the node's translation (3, 0, 0).
// Its texture coordinates, as glTF writes them (v down), put corners 0 and 1
// into the lower half of the picture and corners 2 and 3 into the upper half.
std::string QuadMembers(GltfWriter& gltf, const std::string& material, const std::string& extra) {
  const int position = gltf.Floats({-1, 0.5f, 0.25f, 1, 0.5f, 0.25f, 1, 2.5f, 0.25f, -1, 2.5f, 0.25f},
                                   "VEC3");
  const int uv = gltf.Floats({0, 0.75f, 1, 0.75f, 1, 0.25f, 0, 0.25f}, "VEC2");
  const int indices = gltf.Indices({0, 1, 2, 0, 2, 3});
  return "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
         "\"nodes\":[{\"name\":\"Panel\",\"mesh\":0,\"translation\":[3,0,0]}],"
         "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" +
         std::to_string(position) + ",\"TEXCOORD_0\":" + std::to_string(uv) +
         "},\"indices\":" + std::to_string(indices) + material + "}]}]" + extra;
}

std::string TextureMembers(const std::string& image) {
  return ",\"materials\":[{\"name\":\"Skin\",\"pbrMetallicRoughness\":{\"baseColorTexture\":"
         "{\"index\":0}}}],\"textures\":[{\"source\":0}],\"images\":[" + image + "]";
}

Rgb RedOverBlue(int, int y) { return y < 2 ? kRed : kBlue; }

void ExpectColour(const BitmapImage& image, int x, int y, Rgb colour) {
  const PaletteEntry p = image.PixelColour(x, y);
  EXPECT_EQ(p.red, colour.r);
  EXPECT_EQ(p.green, colour.g);
  EXPECT_EQ(p.blue, colour.b);
}

TEST(SceneImport, TexturedQuadComesOutExactlyWithVUpAndAReadableTexture) {
  ScratchFolder folder;
  testing::WritePng(folder / "skin.png", 4, 4, RedOverBlue);
  GltfWriter gltf;
  gltf.Write(folder / "quad.gltf",
             QuadMembers(gltf, ",\"material\":0", TextureMembers("{\"uri\":\"skin.png\"}")));

  ImportOptions options;
  options.path = folder / "quad.gltf";
  options.textureCache = folder / "cache";
  ImportedScene imported = ImportScene(options);
  MemoryHost host(imported.TakeScene());
  // The file's single top node hangs right under the host's top node.
  EXPECT_EQ(host.scene().Root().name(), "Scene Root");
  ASSERT_EQ(host.scene().Root().children().size(), 1u);
  const MemoryNode& panel = *host.scene().Root().children()[0];
  EXPECT_EQ(panel.name(), "Panel");
  EXPECT_TRUE(panel.selected());

  const PluginSample sample = SampleThroughPlugin(host, 0);
  ASSERT_EQ(sample.result, 1);
  // Y-up turned Z-up: (x, y, z) becomes (x, -z, y); the translation too.
  const Point3 expected[4] = {{2, -0.25f, 0.5f}, {4, -0.25f, 0.5f}, {4, -0.25f, 2.5f},
                              {2, -0.25f, 2.5f}};
  ASSERT_EQ(sample.positions.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(sample.positions[i].x, expected[i].x) << i;
    EXPECT_EQ(sample.positions[i].y, expected[i].y) << i;
    EXPECT_EQ(sample.positions[i].z, expected[i].z) << i;
  }
  // v goes up: glTF's v = 0.75 (lower half of the picture) becomes 0.25.
  ASSERT_EQ(sample.faces.size(), 2u);
  const SampledFace& face = sample.faces[0];
  EXPECT_EQ(face.a, 0u);
  EXPECT_EQ(face.b, 1u);
  EXPECT_EQ(face.c, 2u);
  EXPECT_EQ(face.u[0], 0.0f);
  EXPECT_EQ(face.v[0], 0.25f);
  EXPECT_EQ(face.u[1], 1.0f);
  EXPECT_EQ(face.v[1], 0.25f);
  EXPECT_EQ(face.u[2], 1.0f);
  EXPECT_EQ(face.v[2], 0.75f);

  // The PNG became a TGA in the cache that the plug-in's loader reads, and
  // v = 0.75 lands in the picture's red upper half.
  const std::string tga = sample.bitmapNames[0];
  EXPECT_EQ(std::filesystem::path(tga).parent_path(), folder / "cache");
  BitmapImage image;
  ASSERT_EQ(image.LoadImageFile(tga.c_str()), 1);
  ASSERT_EQ(image.Width(), 4);
  ASSERT_EQ(image.Height(), 4);
  ExpectColour(image, 0, static_cast<int>(face.v[2] * 4), kRed);
  ExpectColour(image, 0, static_cast<int>(face.v[0] * 4), kBlue);

  // --up z keeps the file's axes.
  options.up = UpAxis::kZ;
  MemoryHost asIs(ImportScene(options).TakeScene());
  const PluginSample raw = SampleThroughPlugin(asIs, 0);
  ASSERT_EQ(raw.positions.size(), 4u);
  EXPECT_EQ(raw.positions[0].x, 2.0f);
  EXPECT_EQ(raw.positions[0].y, 0.5f);
  EXPECT_EQ(raw.positions[0].z, 0.25f);
}

TEST(SceneImport, EmbeddedAndOversizedTexturesArePreparedForTheLoaders) {
  ScratchFolder folder;
  GltfWriter gltf;
  const int view = gltf.Bytes(testing::PngBytes(64, 32, [](int x, int) {
    return x < 32 ? kRed : kBlue;
  }));
  gltf.Write(folder / "embedded.gltf",
             QuadMembers(gltf, ",\"material\":0",
                         TextureMembers("{\"bufferView\":" + std::to_string(view) +
                                        ",\"mimeType\":\"image/png\"}")));

  ImportOptions options;
  options.path = folder / "embedded.gltf";
  options.textureCache = folder / "cache";
  options.maxTexture = 16;
  ImportedScene imported = ImportScene(options);
  const auto textures = imported.PreparedTextures();
  ASSERT_EQ(textures.size(), 1u);
  EXPECT_TRUE(textures[0].converted);
  EXPECT_EQ(textures[0].width, 16);
  EXPECT_EQ(textures[0].height, 8);
  EXPECT_EQ(std::filesystem::path(textures[0].fileName).parent_path(), folder / "cache");
  BitmapImage image;
  ASSERT_EQ(image.LoadImageFile(textures[0].fileName.c_str()), 1);
  EXPECT_EQ(image.Width(), 16);
  EXPECT_EQ(image.Height(), 8);
  ExpectColour(image, 2, 3, kRed);
  ExpectColour(image, 13, 3, kBlue);

  // A BMP the plug-in reads is named as it is, unless it is too large.
  testing::WriteBmp(folder / "wall.bmp", 20, 10, [](int, int) { return Rgb{200, 200, 200}; });
  gltf.Write(folder / "bmp.gltf",
             QuadMembers(gltf, ",\"material\":0", TextureMembers("{\"uri\":\"wall.bmp\"}")));
  options.path = folder / "bmp.gltf";
  options.maxTexture = 0;
  auto kept = ImportScene(options).PreparedTextures();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_FALSE(kept[0].converted);
  EXPECT_EQ(kept[0].fileName, (folder / "wall.bmp").string());
  options.maxTexture = 10;
  auto shrunk = ImportScene(options).PreparedTextures();
  ASSERT_EQ(shrunk.size(), 1u);
  EXPECT_TRUE(shrunk[0].converted);
  EXPECT_EQ(shrunk[0].width, 10);
  EXPECT_EQ(shrunk[0].height, 5);
}

TEST(SceneImport, VerticesWeldAcrossUvSeamsButNotAcrossMorphOffsets) {
  ScratchFolder folder;
  // Two quads side by side; the shared edge's vertices are written twice
  // with different texture coordinates (a seam), as exporters do.
  GltfWriter gltf;
  const int position = gltf.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0,    // left quad
                                    1, 0, 0, 2, 0, 0, 2, 1, 0, 1, 1, 0},  // right quad
                                   "VEC3");
  const int uv = gltf.Floats({0, 1, 0.5f, 1, 0.5f, 0, 0, 0, 0.6f, 1, 1, 1, 1, 0, 0.6f, 0}, "VEC2");
  // The morph target moves only the right quad's copy of the shared edge.
  const int target = gltf.Floats({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1}, "VEC3");
  const int indices = gltf.Indices({0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7});
  const std::string primitive = "{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                                ",\"TEXCOORD_0\":" + std::to_string(uv) + "},\"indices\":" +
                                std::to_string(indices);
  gltf.Write(folder / "seam.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],"
             "\"nodes\":[{\"name\":\"Seam\",\"mesh\":0},{\"name\":\"Morphed\",\"mesh\":1}],"
             "\"meshes\":[{\"primitives\":[" + primitive + "}]},{\"primitives\":[" + primitive +
                 ",\"targets\":[{\"POSITION\":" + std::to_string(target) + "}]}]}]");

  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "seam.gltf";
  options.up = UpAxis::kZ;
  // "Seam" is not exported, so it keeps its texture coordinates (exported
  // faces without a material get those of a swatch).
  options.select = {"Morphed"};
  ImportedScene imported = ImportScene(options);
  const MemoryNode* seam = imported.scene().FindNode("Seam");
  const MemoryNode* morphed = imported.scene().FindNode("Morphed");
  ASSERT_TRUE(seam && morphed);
  const MeshData mesh = seam->MeshAt(0);
  EXPECT_EQ(mesh.vertices.size(), 6u);
  EXPECT_EQ(mesh.faces.size(), 4u);
  EXPECT_EQ(mesh.textureVertices.size(), 8u);
  // Both faces at the seam keep their own coordinates for the shared vertex.
  ASSERT_EQ(mesh.textureFaces.size(), 4u);
  EXPECT_EQ(mesh.faces[0].v[1], mesh.faces[2].v[0]);
  const UVVert& leftCorner = mesh.textureVertices[mesh.textureFaces[0].t[1]];
  const UVVert& rightCorner = mesh.textureVertices[mesh.textureFaces[2].t[0]];
  EXPECT_EQ(leftCorner.x, 0.5f);
  EXPECT_EQ(rightCorner.x, 0.6f);
  EXPECT_EQ(leftCorner.y, 0.0f);
  EXPECT_EQ(rightCorner.y, 0.0f);
  // Copies that a morph target moves apart stay apart.
  EXPECT_EQ(morphed->MeshAt(0).vertices.size(), 8u);
}

TEST(SceneImport, ObjWithMtlWeldsItsCornersAndStandsUpright) {
  ScratchFolder folder;
  testing::WritePng(folder / "box.png", 8, 8, RedOverBlue);
  testing::WriteText(folder / "box.mtl", "newmtl Crate\nmap_Kd box.png\n");
  std::string obj = "mtllib box.mtl\n";
  for (int i = 0; i < 8; ++i) {
    obj += "v " + std::to_string(i & 1) + " " + std::to_string((i >> 1) & 1) + " " +
           std::to_string((i >> 2) & 1) + "\n";
  }
  obj += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\no Box\nusemtl Crate\n";
  const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                           {2, 4, 8, 6}, {4, 3, 7, 8}, {3, 1, 5, 7}};
  for (const auto& q : quads) {
    obj += "f";
    for (int c = 0; c < 4; ++c) obj += " " + std::to_string(q[c]) + "/" + std::to_string(c + 1);
    obj += "\n";
  }
  testing::WriteText(folder / "box.obj", obj);

  ImportOptions options;
  options.path = folder / "box.obj";
  options.textureCache = folder / "cache";
  ImportedScene imported = ImportScene(options);
  MemoryHost host(imported.TakeScene());
  MemoryNode* box = host.scene().FindNode("Box");
  ASSERT_NE(box, nullptr);
  const MeshData mesh = box->MeshAt(0);
  EXPECT_EQ(mesh.vertices.size(), 8u);
  EXPECT_EQ(mesh.faces.size(), 12u);
  EXPECT_EQ(mesh.textureVertices.size(), 4u);
  const PluginSample sample = SampleThroughPlugin(host, 0);
  ASSERT_EQ(sample.result, 1);
  ASSERT_EQ(sample.positions.size(), 8u);
  // OBJ is Y-up: (x, y, z) becomes (x, -z, y).
  float sum[3] = {0, 0, 0};
  for (const Point3& p : sample.positions) {
    sum[0] += p.x;
    sum[1] += p.y;
    sum[2] += p.z;
  }
  EXPECT_EQ(sum[0], 4.0f);
  EXPECT_EQ(sum[1], -4.0f);
  EXPECT_EQ(sum[2], 4.0f);
  EXPECT_EQ(std::filesystem::path(sample.bitmapNames[0]).parent_path(), folder / "cache");
}

// A glTF texture transform moves the texture coordinates as the glTF
// extension defines: in glTF's texture space (v down), scaled, then turned
// by the rotation, then offset.
TEST(SceneImport, TextureTransformsMoveTheCoordinates) {
  ScratchFolder folder;
  testing::WritePng(folder / "skin.png", 4, 4, RedOverBlue);
  GltfWriter gltf;
  gltf.Write(folder / "moved.gltf",
             QuadMembers(gltf, ",\"material\":0",
                         ",\"materials\":[{\"name\":\"Skin\",\"pbrMetallicRoughness\":{\"baseColorTexture\":"
                         "{\"index\":0,\"extensions\":{\"KHR_texture_transform\":{\"offset\":[0.5,0.25],"
                         "\"rotation\":1.5707963,\"scale\":[2,4]}}}}}],\"textures\":[{\"source\":0}],"
                         "\"images\":[{\"uri\":\"skin.png\"}],\"extensionsUsed\":[\"KHR_texture_transform\"]"));
  ImportOptions options;
  options.path = folder / "moved.gltf";
  options.textureCache = folder / "cache";
  MemoryHost host(ImportScene(options).TakeScene());
  const PluginSample sample = SampleThroughPlugin(host, 0);
  ASSERT_EQ(sample.faces.size(), 2u);
  // Corner (u, v) = (1, 0.75) in glTF's space: scaled (2, 3), turned a
  // quarter to (3, -2), offset to (3.5, -1.75); v turned up: 2.75.
  const SampledFace& face = sample.faces[0];
  EXPECT_NEAR(face.u[1], 3.5f, 1e-5f);
  EXPECT_NEAR(face.v[1], 2.75f, 1e-5f);
  // Corner (1, 0.25): scaled (2, 1), turned (1, -2), offset (1.5, -1.75).
  EXPECT_NEAR(face.u[2], 1.5f, 1e-5f);
  EXPECT_NEAR(face.v[2], 2.75f, 1e-5f);
}

// Faces without a material show the grey swatch, in a slot of their own.
TEST(SceneImport, MaterialsBecomePlainOrMultiAndTheSelectListChoosesNodes) {
  ScratchFolder folder;
  testing::WritePng(folder / "a.png", 2, 2, RedOverBlue);
  testing::WritePng(folder / "b.png", 2, 2, RedOverBlue);
  GltfWriter gltf;
  const int position = gltf.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, "VEC3");
  const int uv = gltf.Floats({0, 0, 1, 0, 1, 1, 0, 1}, "VEC2");
  const int first = gltf.Indices({0, 1, 2});
  const int second = gltf.Indices({0, 2, 3});
  auto primitive = [&](int indices, int material) {
    return "{\"attributes\":{\"POSITION\":" + std::to_string(position) + ",\"TEXCOORD_0\":" +
           std::to_string(uv) + "},\"indices\":" + std::to_string(indices) +
           (material < 0 ? "" : ",\"material\":" + std::to_string(material)) + "}";
  };
  gltf.Write(folder / "materials.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2]}],"
             "\"nodes\":[{\"name\":\"Two\",\"mesh\":0},{\"name\":\"Bare\",\"mesh\":1},"
             "{\"name\":\"Half\",\"mesh\":2}],"
             "\"meshes\":[{\"primitives\":[" + primitive(first, 0) + "," + primitive(second, 1) +
                 "]},{\"primitives\":[" + primitive(first, -1) + "]},{\"primitives\":[" +
                 primitive(first, 1) + "," + primitive(second, -1) + "]}],"
             "\"materials\":[{\"name\":\"A\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}},"
             "{\"name\":\"B\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":1}}}],"
             "\"textures\":[{\"source\":0},{\"source\":1}],"
             "\"images\":[{\"uri\":\"a.png\"},{\"uri\":\"b.png\"}]");

  ImportOptions options;
  options.path = folder / "materials.gltf";
  options.textureCache = folder / "cache";
  ImportedScene imported = ImportScene(options);
  MemoryHost host(imported.TakeScene());
  MemoryNode* two = host.scene().FindNode("Two");
  MemoryNode* bare = host.scene().FindNode("Bare");
  MemoryNode* half = host.scene().FindNode("Half");
  ASSERT_TRUE(two && bare && half);
  ASSERT_NE(bare->Material(), nullptr);
  EXPECT_STREQ(bare->Material()->MaterialName(), "no material");
  ASSERT_NE(two->Material(), nullptr);
  ASSERT_EQ(two->Material()->SubMaterialCount(), 2);
  EXPECT_STREQ(two->Material()->SubMaterial(0)->MaterialName(), "A");
  EXPECT_STREQ(two->Material()->SubMaterial(1)->MaterialName(), "B");
  ASSERT_EQ(half->Material()->SubMaterialCount(), 2);
  EXPECT_STREQ(half->Material()->SubMaterial(1)->MaterialName(), "no material");

  // The welded mesh of "Two" shares the diagonal; each face names its slot.
  const MeshData mesh = two->MeshAt(0);
  EXPECT_EQ(mesh.vertices.size(), 4u);
  ASSERT_EQ(mesh.faces.size(), 2u);
  EXPECT_EQ(mesh.faces[0].MaterialIndex(), 0u);
  EXPECT_EQ(mesh.faces[1].MaterialIndex(), 1u);
  const PluginSample sample = SampleThroughPlugin(host, 0);
  ASSERT_EQ(sample.result, 1);
  ASSERT_EQ(sample.faces.size(), 5u);
  const std::string a = sample.bitmapNames[0], b = sample.bitmapNames[1], grey = sample.bitmapNames[2];
  EXPECT_THAT(a, HasSubstr("/cache/a-2x2-"));
  EXPECT_THAT(b, HasSubstr("/cache/b-2x2-"));
  EXPECT_THAT(grey, HasSubstr("/cache/swatch-8x8-"));
  EXPECT_EQ(sample.bitmapNames[3], b);
  EXPECT_EQ(sample.bitmapNames[4], grey);

  options.select = {"Half"};
  ImportedScene chosen = ImportScene(options);
  EXPECT_FALSE(chosen.scene().FindNode("Two")->selected());
  EXPECT_FALSE(chosen.scene().FindNode("Bare")->selected());
  EXPECT_TRUE(chosen.scene().FindNode("Half")->selected());
}

}  // namespace
}  // namespace vexo
