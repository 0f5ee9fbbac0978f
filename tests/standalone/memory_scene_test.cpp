#include <gtest/gtest.h>

#include "sdk/hostsdk/host_services.h"
#include "standalone/memory_host.h"

namespace {

HostMesh& Evaluate(SceneNode& node, TimeValue t) {
  ObjectState state = node.WorldStateAt(t, 1);
  EXPECT_EQ(state.obj->CanConvertTo(triObjectClassID), 1);
  return state.obj->ConvertTo(t, triObjectClassID)->mesh;
}

}  // namespace

TEST(MemoryScene, EvaluatedMeshIsTheNodesUntilTheNextEvaluation) {
  vexo::MemoryScene scene;
  auto& node = scene.Root().AddChild("n").SetAnimatedMesh([](TimeValue t) {
    vexo::MeshData mesh = vexo::MakeQuad(static_cast<float>(t), 2);
    mesh.AddFace(0, 1, 3, 9);  // added without texture data
    return mesh;
  });

  const HostMesh& first = Evaluate(node, 4);
  ASSERT_EQ(first.numVerts, 4);
  ASSERT_EQ(first.numFaces, 3);
  ASSERT_EQ(first.numTVerts, 4);
  EXPECT_EQ(first.verts[1].x, 2.0f);
  EXPECT_EQ(first.faces[2].MaterialIndex(), 9u);
  // Every face has a texture face while there are texture vertices.
  EXPECT_EQ(first.tvFace[1].t[2], 3u);
  EXPECT_EQ(first.tvFace[2].t[0], 0u);

  const HostMesh& again = Evaluate(node, 10);
  EXPECT_EQ(&again, &first);
  EXPECT_EQ(first.verts[1].x, 5.0f);

  node.SetMesh(vexo::MeshData{{{0, 0, 0}}, {}, {}, {}});
  const HostMesh& bare = Evaluate(node, 0);
  EXPECT_EQ(bare.numTVerts, 0);
  EXPECT_EQ(bare.tvFace, nullptr);
  EXPECT_EQ(bare.faces, nullptr);

  node.ClearMesh();
  ObjectState helper = node.WorldStateAt(0, 1);
  EXPECT_EQ(helper.obj->CanConvertTo(triObjectClassID), 0);
  EXPECT_EQ(node.evaluationCount(), 4u);
}

TEST(MemoryScene, BuildsAndWalksTrees) {
  vexo::MemoryScene scene;
  EXPECT_STREQ(scene.Root().Name(), "Scene Root");
  auto& a = scene.Root().AddChild("a");
  a.AddChild("a1");
  scene.Root().AddChild("b");
  std::string order;
  scene.ForEachNode([&](vexo::MemoryNode& n) { order += n.name() + " "; });
  EXPECT_EQ(order, "Scene Root a a1 b ");
  EXPECT_EQ(scene.FindNode("a1")->parent(), &a);
  EXPECT_EQ(scene.FindNode("zz"), nullptr);
  EXPECT_EQ(scene.Root().Child(2), nullptr);

  // A deep chain is built, walked and destroyed without recursion.
  vexo::MemoryNode* node = &a;
  for (int i = 0; i < 100000; ++i) node = &node->AddChild("deep");
  EXPECT_EQ(scene.NodeCount(), 100004u);

  // Appended meshes keep their texture faces pointing at their own texture
  // vertices.
  vexo::MeshData plain;
  plain.AddVertex(0, 0, 0);
  plain.AddFace(0, 0, 0);
  plain.Append(vexo::MakeQuad(), vexo::Translate(0, 0, 3));
  plain.Append(vexo::MakeQuad());
  ASSERT_EQ(plain.textureFaces.size(), 5u);
  EXPECT_EQ(plain.faces[4].v[2], 8u);
  EXPECT_EQ(plain.textureFaces[4].t[2], 7u);
  EXPECT_EQ(plain.textureFaces[0].t[0], 0u);
  EXPECT_EQ(plain.vertices[2].z, 3.0f);
}

TEST(MemoryHost, ServesTheSdkWhileItLives) {
  EXPECT_EQ(vexo::sdk::RegisteredHost(), nullptr);
  EXPECT_EQ(GetTicksPerFrame(), 160);
  {
    vexo::MemoryHost outer;
    EXPECT_EQ(GetTicksPerFrame(), 160);
    outer.scene().SetTicksPerFrame(200);
    EXPECT_EQ(GetTicksPerFrame(), 200);
    {
      vexo::MemoryScene scene;
      scene.SetTicksPerFrame(40);
      vexo::MemoryHost inner(std::move(scene));
      EXPECT_EQ(GetTicksPerFrame(), 40);
      EXPECT_EQ(inner.TopNode(), &inner.scene().Root());
      InitCustomControls(nullptr);
      DisableAccelerators();
      EnableAccelerators();
      EXPECT_EQ(inner.calls().initCustomControls, 1);
      EXPECT_EQ(inner.calls().disableAccelerators, 1);
      EXPECT_EQ(inner.calls().enableAccelerators, 1);
      HostInterface& asHost = inner;
      EXPECT_EQ(asHost.AddPanelPage(nullptr, nullptr, nullptr, "Vexo", 0, 0, 4000), nullptr);
      EXPECT_EQ(asHost.AddPanelPage(nullptr, nullptr, nullptr, "Vexo", 0, 0), nullptr);
      asHost.DeletePanelPage(nullptr);
      asHost.ForwardPanelMouse(nullptr, 0, 0, 0);
      EXPECT_EQ(inner.calls().addPanelPage, 1);
      EXPECT_EQ(inner.calls().addPanelPageWithoutCategory, 1);
      EXPECT_EQ(inner.calls().deletePanelPage, 1);
      EXPECT_EQ(inner.calls().forwardPanelMouse, 1);
    }
    EXPECT_EQ(GetTicksPerFrame(), 200);
  }
  EXPECT_EQ(vexo::sdk::RegisteredHost(), nullptr);
}
