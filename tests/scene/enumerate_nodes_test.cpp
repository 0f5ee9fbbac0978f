#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/enumerate_nodes.h"
#include "standalone/memory_host.h"

namespace {

constexpr int kSelectedAndMapped = kNodeHasMaterial | kNodeIsSelected;

std::vector<std::string> ListedNames(const ExportContext& context) {
  std::vector<std::string> names;
  for (int i = 0; i < context.nodeCount; ++i) names.push_back(context.nodes[i]->Name());
  return names;
}

// A node of a host whose tree may hold null children.
class SparseNode : public SceneNode {
 public:
  SparseNode(const char* name, std::vector<SceneNode*> children)
      : name_(name), children_(std::move(children)) {}
  int ChildCount() override { return static_cast<int>(children_.size()); }
  SceneNode* Child(int index) override { return children_[static_cast<std::size_t>(index)]; }
  const char* Name() override { return name_; }
  int IsSelected() override { return 1; }
  SceneMaterial* Material() override { return &material_; }
  ObjectState WorldStateAt(TimeValue, int) override { return ObjectState(); }
  Matrix3 ObjectTransformAt(TimeValue) override { return Matrix3{}; }

 private:
  const char* name_;
  std::vector<SceneNode*> children_;
  vexo::MemoryMaterial material_{"m"};
};

class SparseHost : public vexo::MemoryHost {
 public:
  explicit SparseHost(SceneNode* top) : top_(top) {}
  SceneNode* TopNode() override { return top_; }

 private:
  SceneNode* top_;
};

}  // namespace

TEST(EnumerateNodes, ListsNodesInPreOrderByTheirOwnProperties) {
  vexo::MemoryHost host;
  auto skin = vexo::BitmapMaterial("skin", "skin.bmp");
  auto& root = host.scene().Root();
  root.Select().SetMaterial(skin);  // the scene root is never listed

  auto& group = root.AddChild("group");  // neither selected nor mapped
  auto& a = group.AddChild("A").Select().SetMaterial(skin);
  a.AddChild("A1").Select().SetMaterial(skin);
  group.AddChild("B").Select().SetMaterial(skin);
  group.AddChild("C").Select().SetMaterial(skin);
  auto& named = root.AddChild("Root").Select().SetMaterial(skin);
  named.AddChild("under Root").Select().SetMaterial(skin);
  root.AddChild("root").Select().SetMaterial(skin);
  root.AddChild("scene root").Select().SetMaterial(skin);
  root.AddChild("selected only").Select();
  root.AddChild("mapped only").SetMaterial(skin);

  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  EXPECT_EQ(ListedNames(context), (std::vector<std::string>{"A", "A1", "B", "C", "under Root",
                                                            "root", "scene root"}));

  ASSERT_EQ(EnumerateNodes(context, &host, kNodeHasMaterial), 1);
  EXPECT_EQ(ListedNames(context), (std::vector<std::string>{"A", "A1", "B", "C", "under Root",
                                                            "root", "scene root", "mapped only"}));

  ASSERT_EQ(EnumerateNodes(context, &host, kNodeIsSelected), 1);
  EXPECT_EQ(ListedNames(context), (std::vector<std::string>{"A", "A1", "B", "C", "under Root",
                                                            "root", "scene root",
                                                            "selected only"}));

  ASSERT_EQ(EnumerateNodes(context, &host, 0), 1);
  EXPECT_EQ(context.nodeCount, 10);  // all but the two root names
  EXPECT_EQ(context.errorRecorded, 0);
}

TEST(EnumerateNodes, EveryEnumerationRebuildsTheList) {
  vexo::MemoryHost host;
  auto skin = vexo::BitmapMaterial("skin", "skin.bmp");
  auto& first = host.scene().Root().AddChild("first").SetMaterial(skin);

  // Nothing selected: success with an empty, valid list.
  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  EXPECT_EQ(context.nodeCount, 0);
  EXPECT_NE(context.nodes, nullptr);

  first.Select();
  host.scene().Root().AddChild("second").Select().SetMaterial(skin);
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  const std::vector<std::string> once = ListedNames(context);
  EXPECT_EQ(once, (std::vector<std::string>{"first", "second"}));
  // The sanitizer build reports the earlier arrays if they were not freed.
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  EXPECT_EQ(ListedNames(context), once);

  first.Select(false);
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  EXPECT_EQ(ListedNames(context), (std::vector<std::string>{"second"}));
}

TEST(EnumerateNodes, WalksVeryDeepTreesWithoutRecursion) {
  constexpr int kDepth = 50000;
  vexo::MemoryHost host;
  auto skin = vexo::BitmapMaterial("skin", "skin.bmp");
  vexo::MemoryNode* node = &host.scene().Root();
  for (int i = 0; i < kDepth; ++i) {
    node = &node->AddChild(std::to_string(i)).SetMaterial(skin).Select(i % 2 == 0);
  }
  node->Select();
  node->AddChild("leaf").Select().SetMaterial(skin);

  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  ASSERT_EQ(context.nodeCount, kDepth / 2 + 2);
  EXPECT_STREQ(context.nodes[0]->Name(), "0");
  EXPECT_STREQ(context.nodes[1]->Name(), "2");
  EXPECT_STREQ(context.nodes[kDepth / 2 - 1]->Name(), "49998");
  EXPECT_STREQ(context.nodes[kDepth / 2]->Name(), "49999");
  EXPECT_STREQ(context.nodes[kDepth / 2 + 1]->Name(), "leaf");
}

TEST(EnumerateNodes, SkipsNullNodesOfTheHost) {
  SparseNode a("a", {});
  SparseNode b("b", {});
  SparseNode top("top", {nullptr, &a, nullptr, &b, nullptr});

  ExportContext context;
  SparseHost host(&top);
  ASSERT_EQ(EnumerateNodes(context, &host, kSelectedAndMapped), 1);
  EXPECT_EQ(ListedNames(context), (std::vector<std::string>{"top", "a", "b"}));

  SparseHost empty(nullptr);
  ASSERT_EQ(EnumerateNodes(context, &empty, kSelectedAndMapped), 1);
  EXPECT_EQ(context.nodeCount, 0);
}
