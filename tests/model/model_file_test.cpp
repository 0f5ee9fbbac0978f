#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "model/md2_format.h"
#include "model_test_support.h"

using namespace model_test;

namespace {

// Builds expected file bytes from hand-written values.
struct Bytes {
  std::vector<std::uint8_t> data;
  Bytes& U8(std::uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& F32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
  }
  Bytes& Text(const char* text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) U8(static_cast<std::uint8_t>(text[i]));
    return *this;
  }
};

// One triangle, posed differently at host frames 0 and 1.
vexo::MeshData Triangle(bool secondPose) {
  vexo::MeshData mesh;
  if (!secondPose) {
    // Turned (-y, x, z): (0, 0, 5), (50, 100, 5), (100, 50, 5); z is flat.
    mesh.AddVertex(0, 0, 5);
    mesh.AddVertex(100, -50, 5);
    mesh.AddVertex(50, -100, 5);
  } else {
    // Turned: (0, 0, 0), (250, 125, 250), (125, 250, 125).
    mesh.AddVertex(0, 0, 0);
    mesh.AddVertex(125, -250, 250);
    mesh.AddVertex(250, -125, 125);
  }
  mesh.AddTextureVertex(0.25f, 0.5f);
  mesh.AddTextureVertex(0.7578125f, 1.0f);  // 32.5 pixels right of uMin
  mesh.AddTextureVertex(0.5f, 0.75f);
  mesh.AddTexturedFace(0, 1, 2, 0, 1, 2);
  return mesh;
}

void AddAnimatedTriangle(vexo::MemoryHost& host) {
  host.scene()
      .Root()
      .AddChild("tri")
      .SetAnimatedMesh([](TimeValue t) { return Triangle(t >= 160); })
      .SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp"))
      .Select();
}

}  // namespace

TEST(ModelFile, OneTriangleTwoFramesMatchesHandComputedBytes) {
  vexo::MemoryHost host;
  AddAnimatedTriangle(host);
  // Frame names: a short one and one of exactly 15 characters.
  PreparedExport e(host, {"stand01", "fifteen_chars_x"}, 64, 32, 128, 64);
  ASSERT_TRUE(e.ok);
  e.texture.x = 8;
  e.texture.y = 4;
  const std::string folder = FreshFolder("golden");
  char path[260];
  std::snprintf(path, sizeof path, "%s/tri.old", folder.c_str());

  ASSERT_EQ(e.utility->SaveModelFrames(path, 0, 1, 0, 1.0f), 1);
  const std::string written = folder + "/tri.md2";
  const std::vector<std::uint8_t> file = ReadFileBytes(written);

  Bytes expected;
  // Header: 3 vertices, 1 triangle, 2 frames of 40 + 12 bytes.
  expected.Text("IDP2", 4).U32(8).U32(128).U32(64).U32(52).U32(0).U32(3).U32(3).U32(1).U32(11)
      .U32(2).U32(68).U32(68).U32(80).U32(92).U32(196).U32(240);
  // Texture coordinates, corner by corner: 64 * (u - 0.25) + 8, 32 * (v - 0.5) + 4.
  expected.U16(8).U16(4).U16(40).U16(20).U16(24).U16(12);
  // The triangle, winding reversed: vertices (0, 2, 1), coordinates (0, 2, 1).
  expected.U16(0).U16(2).U16(1).U16(0).U16(2).U16(1);
  // Frame 0: x and y span 0..100, step 0.40000001 (bits 0x3ECCCCCD); z flat
  // at 5, step 0 and bytes 0. The least x is vertex 0's -y: -0.
  const float step100 = 0.4000000059604645f;
  expected.F32(step100).F32(step100).F32(0).F32(-0.0f).F32(0).F32(5).Text("stand01\0\0\0\0\0\0\0\0\0", 16);
  expected.U8(0).U8(0).U8(0).U8(0).U8(124).U8(249).U8(0).U8(0).U8(249).U8(124).U8(0).U8(0);
  // Frame 1: every axis spans 0..250, step exactly 1.
  expected.F32(1).F32(1).F32(1).F32(-0.0f).F32(0).F32(0).Text("fifteen_chars_x\0", 16);
  expected.U8(0).U8(0).U8(0).U8(0).U8(250).U8(125).U8(250).U8(0).U8(125).U8(250).U8(125).U8(0);
  // GL fan: corners 0, 2, 1 as fractions of the 128 x 64 skin; 40.5 stays whole.
  expected.U32(std::uint32_t(-3));
  expected.F32(0.0625f).F32(0.0625f).U32(0);
  expected.F32(0.1875f).F32(0.1875f).U32(2);
  expected.F32(0.31640625f).F32(0.3125f).U32(1);
  expected.U32(0);
  expected.U8(0x52).U8(0x00).U8(0x27).U8(0x00).U8(0x52);
  ASSERT_EQ(expected.data.size(), 245u);

  ASSERT_EQ(file.size(), 240u + 5 + 126);
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 245), expected.data);
  for (std::size_t i = 245; i < file.size(); ++i)
    EXPECT_TRUE(file[i] >= 0x20 && file[i] < 0x7F) << "credit notice byte " << i;
  EXPECT_FALSE(FileExists(written + ".part"));

  ExpectAssimpReadsEveryFrame(written);
}

TEST(ModelFile, LayoutOf198Frames) {
  const Md2Header h = MakeMd2Header(256, 200, 2048, 4096, 198);
  EXPECT_EQ(h.frameSize, 8232);
  EXPECT_EQ(h.numTexCoords, 12288);
  EXPECT_EQ(h.numGlCommands, 40961);
  EXPECT_EQ(h.ofsSkins, 68);
  EXPECT_EQ(h.ofsTexCoords, 68);
  EXPECT_EQ(h.ofsTriangles, 49220);
  EXPECT_EQ(h.ofsFrames, 98372);
  EXPECT_EQ(h.ofsGlCommands, 1728308);
  EXPECT_EQ(h.ofsEnd, 1892152);

  // A box under the default frame table: every frame slot holds host frame
  // k, and assimp reads all 198.
  vexo::MemoryHost host;
  host.scene()
      .Root()
      .AddChild("box")
      .SetAnimatedMesh([](TimeValue t) { return vexo::MakeBox(1 + t / 160.0f, 2, 3); })
      .SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp"))
      .Select();
  PreparedExport e(host, {}, 32, 32, 32, 32);
  ASSERT_TRUE(e.ok);
  const std::string folder = FreshFolder("layout");
  const std::string path = folder + "/box";
  ASSERT_EQ(e.utility->SaveModelFrames(path.c_str(), 197, 197, 197, 1.0f), 1);

  const std::vector<std::uint8_t> file = ReadFileBytes(path + ".md2");
  // 8 vertices, 12 triangles: ofsEnd 68 + 24 * 12 + 198 * 72 + 40 * 12 + 4.
  EXPECT_EQ(I32At(file, 64), 15096);
  EXPECT_EQ(file.size(), 15096u + 131);
  for (int k : {0, 1, 100, 197}) {
    const FileFrame frame = FrameOf(file, k);
    EXPECT_EQ(frame.name, kDefaultFrameNames[k]);
    // The box's x extent 1 + k turns into the file's y axis.
    EXPECT_NEAR(frame.scale[1], (1 + k) * 0.0040000002, 1e-6 * (1 + k));
    EXPECT_FLOAT_EQ(frame.translate[1], -(1 + k) / 2.0f);
  }
  ExpectAssimpReadsEveryFrame(path + ".md2");
}

TEST(ModelFile, ScenesTheFormatCannotHoldCreateNoFile) {
  const std::string folder = FreshFolder("refused");
  const std::string path = folder + "/model";
  auto expectNoFile = [&](PreparedExport& e, const char* what) {
    EXPECT_EQ(e.utility->SaveModelFrames(path.c_str(), 0, 1, 0, 1.0f), 0) << what;
    EXPECT_FALSE(FileExists(path + ".md2")) << what;
    EXPECT_FALSE(FileExists(path + ".md2.part")) << what;
  };
  auto select = [](vexo::MemoryNode& node) {
    node.SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp")).Select();
  };

  {
    // The vertex count changes at host frame 1, while the file is written.
    vexo::MemoryHost host;
    select(host.scene().Root().AddChild("grows").SetAnimatedMesh(
        [](TimeValue t) { return t == 0 ? vexo::MakeQuad() : vexo::MakeBox(1, 1, 1); }));
    PreparedExport e(host, {"a", "b", "c"}, 8, 8, 8, 8);
    ASSERT_TRUE(e.ok);
    expectNoFile(e, "changing vertex count");
  }
  {
    vexo::MemoryHost host;
    select(host.scene().Root().AddChild("quad").SetMesh(vexo::MakeQuad(4, 4)));
    PreparedExport e(host, {"a", "b"}, 8, 8, 8, 8);
    ASSERT_TRUE(e.ok);
    e.utility->faces[1].texture = nullptr;
    expectNoFile(e, "face without texture");
    e.utility->faces[1].texture = &e.texture;
    e.utility->faces[1].u[2] = std::numeric_limits<float>::quiet_NaN();
    expectNoFile(e, "texture coordinate not a number");
    e.utility->faces[1].u[2] = 5000.0f;  // 8 * 5000 pixels lies past 16 bits
    expectNoFile(e, "texture coordinate past 16 bits");
    e.utility->faces[1].u[2] = 1.0f;
    e.utility->skinHeight = 0;
    expectNoFile(e, "no skin");
    e.utility->skinHeight = 8;
    // Scales whose positions are not finite: 2 * 3e38 overflows.
    for (float scale : {std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN(), 3e38f}) {
      EXPECT_EQ(e.utility->SaveModelFrames(path.c_str(), 0, 1, 0, scale), 0) << scale;
      EXPECT_FALSE(FileExists(path + ".md2")) << scale;
    }
    // The same export with sound values is written.
    EXPECT_EQ(e.utility->SaveModelFrames(path.c_str(), 0, 1, 0, 1.0f), 1);
    std::remove((path + ".md2").c_str());
  }
  {
    // One triangle more than 16-bit texture-coordinate indices can reach.
    vexo::MeshData big;
    for (int i = 0; i < 3; ++i) big.AddVertex(float(i), 0, float(i % 2));
    for (int i = 0; i < kMd2MaxTriangles + 1; ++i) big.AddFace(0, 1, 2);
    vexo::MemoryHost host;
    select(host.scene().Root().AddChild("big").SetMesh(big));
    PreparedExport e(host, {"a", "b"}, 8, 8, 8, 8);
    ASSERT_TRUE(e.ok);
    expectNoFile(e, "too many triangles");
  }
  {
    vexo::MeshData big;
    for (int i = 0; i < kMd2MaxVertices + 1; ++i) big.AddVertex(float(i), 0, 0);
    big.AddFace(0, 1, 2);
    vexo::MemoryHost host;
    select(host.scene().Root().AddChild("big").SetMesh(big));
    PreparedExport e(host, {"a", "b"}, 8, 8, 8, 8);
    ASSERT_TRUE(e.ok);
    expectNoFile(e, "too many vertices");
  }
}
