#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/enumerate_nodes.h"
#include "scene/sample_mesh.h"
#include "standalone/memory_host.h"

namespace {

constexpr int kSelectedAndMapped = kNodeHasMaterial | kNodeIsSelected;

// One SampleMesh call on the whole list, owning what it returns.
struct Sample {
  SampledVertex* vertices = nullptr;
  SampledFace* faces = nullptr;
  std::int32_t vertexCount = -1;
  std::int32_t faceCount = -1;
  int result = 0;

  Sample(ExportContext& context, TimeValue time) {
    result = SampleMesh(context, 0, context.nodeCount, &vertices, &faces, &vertexCount, &faceCount,
                                time);
  }
  ~Sample() {
    delete[] vertices;
    delete[] faces;
  }
  const Point3& Position(int i) const { return vertices[i].position; }
};

void ExpectPoint(const Point3& p, float x, float y, float z) {
  EXPECT_NEAR(p.x, x, 1e-5f);
  EXPECT_NEAR(p.y, y, 1e-5f);
  EXPECT_NEAR(p.z, z, 1e-5f);
}

// A node whose evaluated mesh is whatever the test puts in it.
class RawMeshNode : public SceneNode {
 public:
  TriObject object;
  int ChildCount() override { return 0; }
  SceneNode* Child(int) override { return nullptr; }
  const char* Name() override { return "raw"; }
  int IsSelected() override { return 1; }
  SceneMaterial* Material() override { return nullptr; }
  ObjectState WorldStateAt(TimeValue, int) override { return ObjectState(&object); }
  Matrix3 ObjectTransformAt(TimeValue) override { return Matrix3{}; }
};

void ListOnly(ExportContext& context, SceneNode* node) {
  delete[] context.nodes;
  context.nodes = new SceneNode*[1]{node};
  context.nodeCount = 1;
}

}  // namespace

TEST(SampleMesh, CombinesNodesInWorldCoordinates) {
  vexo::MemoryHost host;
  auto skin = vexo::BitmapMaterial("skin", "skin.bmp");
  // The parent turns its children a quarter turn about Z and lifts them.
  auto& parent = host.scene().Root().AddChild("parent").SetTransform(
      vexo::Compose(vexo::RotateZ(90), vexo::Translate(0, 0, 5)));
  auto& box = parent.AddChild("box").SetMesh(vexo::MakeBox(2, 2, 2)).SetMaterial(skin).Select();
  box.SetTransform(vexo::Translate(10, 0, 0));
  auto& quad = parent.AddChild("quad").SetMesh(vexo::MakeQuad(2, 4)).SetMaterial(skin).Select();

  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  Sample s(context, 0);
  ASSERT_EQ(s.result, 1);
  ASSERT_EQ(s.vertexCount, 12);
  ASSERT_EQ(s.faceCount, 14);

  // Box corner (-1, -1, -1) moves to (9, -1, -1), turns to (1, 9, -1), rises to (1, 9, 4).
  ExpectPoint(s.Position(0), 1, 9, 4);
  // Box corner (1, 1, 1): (11, 1, 1) -> (-1, 11, 1) -> (-1, 11, 6).
  ExpectPoint(s.Position(6), -1, 11, 6);
  // Quad corner (1, -2, 0) -> (2, 1, 0) -> (2, 1, 5).
  ExpectPoint(s.Position(9), 2, 1, 5);

  // The quad's faces follow the box's 12 and index vertices 8 to 11.
  EXPECT_EQ(s.faces[12].a, 8u);
  EXPECT_EQ(s.faces[12].b, 9u);
  EXPECT_EQ(s.faces[12].c, 10u);
  EXPECT_EQ(s.faces[13].c, 11u);
  for (int i = 0; i < s.faceCount; ++i) {
    EXPECT_STREQ(s.faces[i].bitmapName.get(), "skin.bmp");
    EXPECT_EQ(s.faces[i].head.flags, 0u);
    EXPECT_EQ(s.faces[i].texture, nullptr);
  }

  // Box vertex 0 is shared by sides with different corner coordinates: it
  // stays one vertex and each face keeps its own u, v.
  EXPECT_EQ(s.faces[0].b, 0u);  // side -Z, corner 1: texture vertex (1, 0)
  EXPECT_EQ(s.faces[0].u[1], 1.0f);
  EXPECT_EQ(s.faces[0].v[1], 0.0f);
  EXPECT_EQ(s.faces[4].a, 0u);  // side -Y, corner 0: texture vertex (0, 0)
  EXPECT_EQ(s.faces[4].u[0], 0.0f);
  EXPECT_EQ(s.faces[4].v[0], 0.0f);
  EXPECT_EQ(s.faces[13].u[2], 0.0f);  // quad corner 3: (0, 1)
  EXPECT_EQ(s.faces[13].v[2], 1.0f);

  // Each node's mesh is asked for once to size and once to fill.
  EXPECT_EQ(box.evaluationCount(), 2u);
  EXPECT_EQ(quad.evaluationCount(), 2u);
  EXPECT_EQ(context.errorRecorded, 0);
}

TEST(SampleMesh, NamesTheBitmapOfEachFacesMaterial) {
  vexo::MemoryHost host;
  auto multi = vexo::MultiMaterial(
      "multi", {vexo::BitmapMaterial("red", "red.bmp"), nullptr,
                vexo::BitmapMaterial("blue", "blue.bmp")});
  auto other = std::make_shared<vexo::MemoryMaterial>("checker");
  other->SetDiffuseMap(vexo::MakeMap(Class_ID{0x200, 0}, "checker.bmp"));
  auto empty = std::make_shared<vexo::MemoryMaterial>("empty");
  auto& root = host.scene().Root();

  vexo::MeshData strip;
  for (int i = 0; i < 3; ++i) strip.AddVertex(static_cast<float>(i), 0, 0);
  for (std::uint16_t m : {0, 1, 2, 5, 7, 65535}) strip.AddFace(0, 1, 2, m);
  root.AddChild("multi").SetMesh(strip).SetMaterial(multi).Select();
  root.AddChild("plain").SetMesh(strip).SetMaterial(vexo::BitmapMaterial("p", "plain.tga")).Select();
  root.AddChild("other").SetMesh(strip).SetMaterial(other).Select();
  root.AddChild("empty").SetMesh(strip).SetMaterial(empty).Select();

  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  Sample s(context, 0);
  ASSERT_EQ(s.result, 1);
  ASSERT_EQ(s.faceCount, 24);
  auto name = [&](int face) {
    const char* text = s.faces[face].bitmapName.get();
    return text ? std::string(text) : std::string("(none)");
  };
  // Material index mod 3: 0, 1 (empty slot), 2, 5 -> 2, 7 -> 1, 65535 -> 0.
  EXPECT_EQ(name(0), "red.bmp");
  EXPECT_EQ(name(1), "(none)");
  EXPECT_EQ(name(2), "blue.bmp");
  EXPECT_EQ(name(3), "blue.bmp");
  EXPECT_EQ(name(4), "(none)");
  EXPECT_EQ(name(5), "red.bmp");
  for (int i = 6; i < 12; ++i) EXPECT_EQ(name(i), "plain.tga");
  for (int i = 12; i < 24; ++i) EXPECT_EQ(name(i), "(none)");

  // The strip has no texture vertices: every corner stays at 0, 0.
  for (int i = 0; i < s.faceCount; ++i) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(s.faces[i].u[k], 0.0f);
      EXPECT_EQ(s.faces[i].v[k], 0.0f);
    }
  }
  EXPECT_EQ(context.errorRecorded, 0);
}

TEST(SampleMesh, SamplesAnimationAtTheGivenTime) {
  vexo::MemoryScene scene;
  scene.SetTicksPerFrame(80);
  vexo::MemoryHost host(std::move(scene));
  ASSERT_EQ(GetTicksPerFrame(), 80);

  auto skin = vexo::BitmapMaterial("skin", "skin.bmp");
  // Moves 1 unit along X per frame; gains a second quad from frame 5 on.
  host.scene()
      .Root()
      .AddChild("walker")
      .SetMaterial(skin)
      .Select()
      .SetAnimatedTransform([](TimeValue t) { return vexo::Translate(t / 80.0f, 0, 0); })
      .SetAnimatedMesh([](TimeValue t) {
        vexo::MeshData mesh = vexo::MakeQuad(2, 2);
        if (t >= 5 * 80) mesh.Append(vexo::MakeQuad(2, 2), vexo::Translate(0, 0, 1));
        return mesh;
      });

  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  Sample first(context, 0);
  Sample later(context, 10 * GetTicksPerFrame());
  ASSERT_EQ(first.result, 1);
  ASSERT_EQ(later.result, 1);
  EXPECT_EQ(first.vertexCount, 4);
  EXPECT_EQ(later.vertexCount, 8);
  EXPECT_EQ(later.faceCount, 4);
  ExpectPoint(first.Position(0), -1, -1, 0);
  ExpectPoint(later.Position(0), 9, -1, 0);
  ExpectPoint(later.Position(6), 11, 1, 1);
  EXPECT_EQ(later.faces[3].c, 7u);
}

// The model writer's sampling reuses one array for every frame: a later
// frame with more vertices must get a larger one (the sanitizer build
// catches a write past it), and each frame's positions are SampleMesh's.
TEST(SampleMesh, PositionsOfEveryFrameInOneGrowingArray) {
  vexo::MemoryHost host;
  host.scene()
      .Root()
      .AddChild("grower")
      .SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp"))
      .Select()
      .SetAnimatedTransform([](TimeValue t) { return vexo::Translate(float(t), 0, 0); })
      .SetAnimatedMesh([](TimeValue t) {
        vexo::MeshData mesh = vexo::MakeQuad(2, 2);
        for (TimeValue i = 0; i < t; ++i) {
          mesh.Append(vexo::MakeQuad(2, 2), vexo::Translate(0, 0, float(i + 1)));
        }
        return mesh;
      });
  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);

  SampledVertex* reused = new SampledVertex[1];  // left by someone else: not trusted
  std::int32_t capacity = 0;
  for (TimeValue t : {0, 2, 1, 3}) {
    std::int32_t count = -1;
    ASSERT_EQ(SampleMeshPositions(context, t, &reused, &capacity, &count), 1);
    Sample expected(context, t);
    ASSERT_EQ(count, expected.vertexCount);
    EXPECT_GE(capacity, count);
    for (int i = 0; i < count; ++i) {
      const Point3& p = expected.Position(i);
      ExpectPoint(reused[i].position, p.x, p.y, p.z);
    }
  }
  delete[] reused;
  EXPECT_EQ(context.errorRecorded, 0);
}

TEST(SampleMesh, RecordsTheFirstFailureAndLeavesSlotsAsDocumented) {
  vexo::MemoryHost host;
  auto skin = vexo::BitmapMaterial("skin", "skin.bmp");
  host.scene().Root().AddChild("quad").SetMesh(vexo::MakeQuad()).SetMaterial(skin).Select();
  host.scene().Root().AddChild("helper").SetMaterial(skin).Select();  // no mesh

  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  ASSERT_EQ(context.nodeCount, 2);  // listed although it cannot be sampled

  SampledVertex* vertices = reinterpret_cast<SampledVertex*>(0x10);
  SampledFace* faces = reinterpret_cast<SampledFace*>(0x20);
  std::int32_t vertexCount = -1;
  std::int32_t faceCount = -1;
  EXPECT_EQ(SampleMesh(context, 0, 2, &vertices, &faces, &vertexCount, &faceCount, 0), 0);
  EXPECT_STREQ(context.errorText, "Unable to get mesh from node pointer");
  EXPECT_STREQ(context.errorCaption, "Internal Parameter Error");
  EXPECT_EQ(vertices, reinterpret_cast<SampledVertex*>(0x10));
  EXPECT_EQ(faces, reinterpret_cast<SampledFace*>(0x20));
  EXPECT_EQ(vertexCount, 4);  // the partial sums of the counting pass
  EXPECT_EQ(faceCount, 2);

  // A later failure does not replace the first.
  EXPECT_EQ(SampleMesh(context, 1, 2, &vertices, &faces, &vertexCount, &faceCount, 0), 0);
  EXPECT_STREQ(context.errorText, "Unable to get mesh from node pointer");

  ExportContext ranges;
  ASSERT_EQ(EnumerateNodes(ranges, &host, kSelectedAndMapped), 1);
  const std::vector<std::pair<int, int>> badRanges = {{1, 2}, {3, 0}, {-1, 1}, {1, -1},
                                                      {0x7fffffff, 2}};
  for (auto [first, count] : badRanges) {
    EXPECT_EQ(SampleMesh(ranges, first, count, &vertices, &faces, &vertexCount, &faceCount, 0), 0)
        << first << " " << count;
  }
  EXPECT_STREQ(ranges.errorText, "Mesh range invalid");
  EXPECT_STREQ(ranges.errorCaption, "Internal Parameter Error");
  EXPECT_EQ(vertices, reinterpret_cast<SampledVertex*>(0x10));

  // The working node alone samples fine.
  ranges.nodeCount = 1;
  Sample one(ranges, 0);
  EXPECT_EQ(one.result, 1);
  EXPECT_EQ(one.vertexCount, 4);

  // No list at all (as after a failed enumeration): two empty arrays.
  ExportContext none;
  Sample nothing(none, 0);
  EXPECT_EQ(nothing.result, 1);
  EXPECT_EQ(nothing.vertexCount, 0);
  EXPECT_EQ(nothing.faceCount, 0);
  EXPECT_NE(nothing.vertices, nullptr);
  EXPECT_NE(nothing.faces, nullptr);
}

TEST(SampleMesh, RefusesHostMeshesThatWouldBeReadOutOfBounds) {
  Point3 verts[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  Face faces[2];
  faces[0].v[0] = 0, faces[0].v[1] = 1, faces[0].v[2] = 2;
  faces[1].v[0] = 2, faces[1].v[1] = 1, faces[1].v[2] = 0;
  UVVert tverts[2] = {{0, 0, 0}, {1, 1, 0}};
  TVFace tvFaces[2];
  tvFaces[1].t[2] = 1;

  auto sample = [](RawMeshNode& node, const char* text, const char* caption) {
    ExportContext context;
    ListOnly(context, &node);
    SampledVertex* vertices = nullptr;
    SampledFace* faces = nullptr;
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    const int result = SampleMesh(context, 0, 1, &vertices, &faces, &vertexCount, &faceCount, 0);
    EXPECT_EQ(std::string(context.errorText), text);
    EXPECT_STREQ(context.errorCaption, result ? "" : caption);
    delete[] vertices;
    delete[] faces;
    return result;
  };

  RawMeshNode node;
  HostMesh& mesh = node.object.mesh;
  mesh = HostMesh{3, 2, 2, verts, faces, tverts, tvFaces};
  EXPECT_EQ(sample(node, "", ""), 1);

  // Arrays missing although the counts promise them.
  mesh.verts = nullptr;
  EXPECT_EQ(sample(node, "Unable to get mesh from node pointer", "Internal Parameter Error"), 0);
  mesh.verts = verts;
  mesh.tvFace = nullptr;
  EXPECT_EQ(sample(node, "Unable to get mesh from node pointer", "Internal Parameter Error"), 0);
  mesh.tvFace = tvFaces;

  // Indices past the host's arrays.
  faces[1].v[1] = 3;
  EXPECT_EQ(sample(node, "Face 1 of node raw uses vertex 3, but the mesh has 3 vertices",
                   "Internal Parameter Error"),
            0);
  faces[1].v[1] = 1;
  tvFaces[1].t[2] = 0xFFFFFFFFu;
  EXPECT_EQ(sample(node,
                   "Face 1 of node raw uses texture vertex 4294967295, but the mesh has 2 "
                   "texture vertices",
                   "Internal Parameter Error"),
            0);
  tvFaces[1].t[2] = 1;

  // Faces are checked four at a time and the rest one by one: every corner
  // of every face is caught, and the words beside the indices are not
  // indices.
  Face many[9];
  TVFace manyTexture[9];
  for (Face& face : many) face.smGroup = face.flags = 0xFFFFFFFFu;
  mesh = HostMesh{3, 9, 2, verts, many, tverts, manyTexture};
  EXPECT_EQ(sample(node, "", ""), 1);
  auto outside = [&](int j, const std::string& what) {
    return sample(node, ("Face " + std::to_string(j) + " of node raw uses " + what).c_str(),
                  "Internal Parameter Error");
  };
  for (int j = 0; j < 9; ++j) {
    for (int k = 0; k < 3; ++k) {
      many[j].v[k] = 3;
      EXPECT_EQ(outside(j, "vertex 3, but the mesh has 3 vertices"), 0);
      many[j].v[k] = 0;
      manyTexture[j].t[k] = 2;
      EXPECT_EQ(outside(j, "texture vertex 2, but the mesh has 2 texture vertices"), 0);
      manyTexture[j].t[k] = 0;
    }
  }
  mesh = HostMesh{3, 2, 2, verts, faces, tverts, tvFaces};

  // Counts no array can hold.
  mesh.numVerts = -3;
  EXPECT_EQ(sample(node, "Cannot get memory for mesh data", "Memory Error"), 0);
  mesh.numVerts = 3;

  RawMeshNode huge;
  huge.object.mesh = HostMesh{0x7fffffff, 0, 0, verts, nullptr, nullptr, nullptr};
  {
    ExportContext context;
    context.nodes = new SceneNode*[2]{&huge, &huge};
    context.nodeCount = 2;
    SampledVertex* vertices = reinterpret_cast<SampledVertex*>(0x10);
    SampledFace* faces = nullptr;
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    EXPECT_EQ(SampleMesh(context, 0, 2, &vertices, &faces, &vertexCount, &faceCount, 0), 0);
    EXPECT_STREQ(context.errorText, "Cannot get memory for mesh data");
    EXPECT_EQ(vertices, nullptr);
  }
}
