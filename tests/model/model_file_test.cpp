#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "model/frame_encoding.h"
#include "model/md2_format.h"
#include "model_test_support.h"

using namespace model_test;

namespace {

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

  test_support::ByteBuilder expected;
  // Header: 3 vertices, 1 triangle, 2 frames of 40 + 12 bytes.
  expected.Text("IDP2", 4).U32s({8, 128, 64, 52, 0, 3, 3, 1, 11, 2, 68, 68, 80, 92, 196, 240});
  // Texture coordinates, corner by corner: 64 * (u - 0.25) + 8, 32 * (v - 0.5) + 4.
  expected.U16(8).U16(4).U16(40).U16(20).U16(24).U16(12);
  // The triangle, winding reversed: vertices (0, 2, 1), coordinates (0, 2, 1).
  expected.U16(0).U16(2).U16(1).U16(0).U16(2).U16(1);
  // Frame 0: x and y span 0..100, step 0.40000001 (bits 0x3ECCCCCD); z flat
  // at 5, step 0 and bytes 0. The least x is vertex 0's -y: -0.
  const float step100 = 0.4000000059604645f;
  expected.F32(step100).F32(step100).F32(0).F32(-0.0f).F32(0).F32(5).Text(
      "stand01\0\0\0\0\0\0\0\0\0", 16);
  expected.U8s({0, 0, 0, 0, 124, 249, 0, 0, 249, 124, 0, 0});
  // Frame 1: every axis spans 0..250, step exactly 1.
  expected.F32(1).F32(1).F32(1).F32(-0.0f).F32(0).F32(0).Text("fifteen_chars_x\0", 16);
  expected.U8s({0, 0, 0, 0, 250, 125, 250, 0, 125, 250, 125, 0});
  // GL fan: corners 0, 2, 1 as fractions of the 128 x 64 skin; 40.5 stays whole.
  expected.U32(std::uint32_t(-3));
  expected.F32(0.0625f).F32(0.0625f).U32(0);
  expected.F32(0.1875f).F32(0.1875f).U32(2);
  expected.F32(0.31640625f).F32(0.3125f).U32(1);
  expected.U32(0);
  expected.U8s({0x52, 0x00, 0x27, 0x00, 0x52});
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

namespace {

// Exports `mesh` after `spoil` has changed the prepared export, and expects
// the save refused with no file (and no partial file) left, or written.
void ExpectSave(const char* what, const vexo::MeshData& mesh,
                const std::function<void(PreparedExport&)>& spoil, float scale = 1.0f,
                TimeValue growsAt = -1, bool written = false) {
  vexo::MemoryHost host;
  host.scene()
      .Root()
      .AddChild("node")
      .SetAnimatedMesh([&](TimeValue t) {
        vexo::MeshData m = mesh;
        if (growsAt >= 0 && t >= growsAt) m.AddVertex(0, 0, 0);
        return m;
      })
      .SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp"))
      .Select();
  PreparedExport e(host, {"a", "b", "c"}, 8, 8, 8, 8);
  ASSERT_TRUE(e.ok) << what;
  spoil(e);
  const std::string path = FreshFolder("refused") + "/model";
  EXPECT_EQ(e.utility->SaveModelFrames(path.c_str(), 0, 1, 0, scale), written ? 1 : 0) << what;
  EXPECT_EQ(FileExists(path + ".md2"), written) << what;
  EXPECT_FALSE(FileExists(path + ".md2.part")) << what;
}

}  // namespace

TEST(ModelFile, ScenesTheFormatCannotHoldCreateNoFile) {
  const vexo::MeshData quad = vexo::MakeQuad(4, 4);
  auto keep = [](PreparedExport&) {};
  ExpectSave("the unspoiled scene is written", quad, keep, 1.0f, -1, true);
  ExpectSave("vertex count changes at host frame 2", quad, keep, 1.0f, 320);
  ExpectSave("face without texture", quad,
             [](PreparedExport& e) { e.utility->faces[1].texture = nullptr; });
  ExpectSave("texture coordinate not a number", quad, [](PreparedExport& e) {
    e.utility->faces[1].u[2] = std::numeric_limits<float>::quiet_NaN();
  });
  // 8 * 5000 pixels lies past 16 bits.
  ExpectSave("texture coordinate past 16 bits", quad,
             [](PreparedExport& e) { e.utility->faces[1].u[2] = 5000; });
  ExpectSave("no skin", quad, [](PreparedExport& e) { e.utility->skinHeight = 0; });
  // Scales whose positions are not finite: 2 * 3e38 overflows.
  for (float scale :
       {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), 3e38f})
    ExpectSave("scale", quad, keep, scale);

  // One triangle more than 16-bit texture-coordinate indices reach; one
  // vertex more than 16-bit vertex indices reach.
  vexo::MeshData manyFaces = quad;
  for (int i = 0; i < kMd2MaxTriangles - 1; ++i) manyFaces.AddFace(0, 1, 2);
  ExpectSave("too many triangles", manyFaces, keep);
  vexo::MeshData manyVertices = quad;
  for (int i = 0; i < kMd2MaxVertices - 3; ++i) manyVertices.AddVertex(float(i), 0, 0);
  ExpectSave("too many vertices", manyVertices, keep);
}

// The bytes of a coordinate are the truncated quotient (c - translate) /
// step. Coordinates on whole multiples of the step put the quotient at a
// whole number, where a quicker product with the reciprocal could truncate
// the other way; random ones cover the rest.
TEST(ModelFile, FrameBytesAreTheTruncatedQuotient) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> any(-300.0f, 300.0f);
  for (int round = 0; round < 200; ++round) {
    const float scale = round % 3 == 0 ? 1.0f : 0.37f * float(round % 7 + 1);
    // Every remainder: vertices are encoded four and two at a time.
    const int count = 300 + round % 4;
    std::vector<SampledVertex> vertices(count);
    for (SampledVertex& v : vertices) v.position = Point3{any(random), any(random), any(random)};
    Md2FrameHeader header;
    std::vector<Md2Vertex> bytes(vertices.size());
    ASSERT_EQ(EncodeFramePositions(vertices.data(), count, scale, "f", &header, bytes.data()), 1);
    // Move most vertices onto whole steps of the frame just encoded (the
    // extremes stay, so the steps do not change).
    for (std::size_t i = 2; i < vertices.size(); ++i) {
      const int n = int(random() % 251);
      Point3& p = vertices[i].position;
      p.x = (header.translate[1] + float(n) * header.scale[1]) / scale;
      p.y = -(header.translate[0] + float(250 - n) * header.scale[0]) / scale;
      p.z = (header.translate[2] + float(n / 2) * header.scale[2]) / scale;
    }
    ASSERT_EQ(EncodeFramePositions(vertices.data(), count, scale, "f", &header, bytes.data()), 1);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const Point3& p = vertices[i].position;
      const float turned[3] = {-p.y * scale, p.x * scale, p.z * scale};
      for (int k = 0; k < 3; ++k) {
        const double q = (double(turned[k]) - double(header.translate[k])) / double(header.scale[k]);
        ASSERT_EQ(bytes[i].v[k], std::uint8_t(std::int32_t(q))) << "round " << round << " vertex " << i;
      }
    }
  }
}

// A frame's origin is each axis's first least coordinate: of zeros of both
// signs that are least, the first one met gives the sign of the stored 0.
TEST(ModelFile, FrameOriginKeepsTheSignOfTheFirstLeastZero) {
  std::mt19937 random(11);
  const float choices[] = {0.0f, -0.0f, 1.0f, -1.0f};
  for (int round = 0; round < 2000; ++round) {
    const int count = 1 + round % 9;
    const float scale = round % 2 ? 1.0f : -2.0f;
    std::vector<SampledVertex> vertices(count);
    for (SampledVertex& v : vertices) {
      // Mostly zeros, so that the least and greatest values are often zeros.
      auto pick = [&] { return choices[random() % (random() % 3 ? 2 : 4)]; };
      v.position = Point3{pick(), pick(), pick()};
    }
    float lo[3], hi[3];
    for (int i = 0; i < count; ++i) {
      const Point3& p = vertices[i].position;
      const float c[3] = {-p.y * scale, p.x * scale, p.z * scale};
      for (int k = 0; k < 3; ++k) {
        lo[k] = i == 0 || c[k] < lo[k] ? c[k] : lo[k];
        hi[k] = i == 0 || c[k] > hi[k] ? c[k] : hi[k];
      }
    }
    Md2FrameHeader header;
    std::vector<Md2Vertex> bytes(vertices.size());
    ASSERT_EQ(EncodeFramePositions(vertices.data(), count, scale, "f", &header, bytes.data()), 1);
    for (int k = 0; k < 3; ++k) {
      ASSERT_EQ(std::signbit(header.translate[k]), std::signbit(lo[k])) << "round " << round;
      ASSERT_EQ(header.translate[k], lo[k]) << "round " << round;
      ASSERT_EQ(header.scale[k], float((double(hi[k]) - double(lo[k])) * double(kMd2QuantisationStep)))
          << "round " << round;
    }
  }
}
