// The in-memory scene: vexo's own implementation of the host's scene
// objects (nodes, materials, texture maps, evaluated meshes).
//
// Usage (two textured quads under a parent; see scene_building.h for the
// helpers and memory_host.h for the host that hands the scene to the
// plug-in):
//
//   vexo::MemoryHost host;                       // registers itself
//   auto& body = host.scene().Root().AddChild("body");
//   body.AddChild("left")
//       .SetMesh(vexo::MakeQuad(2, 2))
//       .SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp"))
//       .SetTransform(vexo::Translate(-2, 0, 0))
//       .Select();
//   body.AddChild("right")
//       .SetAnimatedMesh([](TimeValue t) { return vexo::MakeQuad(1 + t / 4800.0f, 1); })
//       .SetMaterial(vexo::BitmapMaterial("face", "face.bmp"))
//       .Select();
//   SceneNode* top = host.TopNode();             // what the plug-in walks
//
// Transforms are relative to the parent node; ObjectTransformAt answers
// the composed mesh-to-world matrix. A node without a mesh evaluates to an
// object that cannot become a triangle mesh (like a helper object).
//
// Evaluation: WorldStateAt(t) calls the node's mesh function and keeps the
// result inside the node (or, for a posed mesh, asks for the positions at t
// beside its fixed topology); the TriObject it hands out points into that
// data and stays valid until the same node is evaluated again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/host/scene_objects.h"

namespace vexo {

// The host's default time base: 4800 ticks a second at 30 frames a second.
inline constexpr int kDefaultTicksPerFrame = 160;

// A triangle mesh as the scene stores it. textureFaces runs parallel to
// faces whenever textureVertices is not empty.
struct MeshData {
  std::vector<Point3> vertices;
  std::vector<Face> faces;
  std::vector<UVVert> textureVertices;
  std::vector<TVFace> textureFaces;

  std::uint32_t AddVertex(float x, float y, float z);
  std::uint32_t AddTextureVertex(float u, float v);
  // The material index goes into the upper 16 bits of the face's flag word.
  void AddFace(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint16_t materialIndex = 0);
  void AddTexturedFace(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t ta,
                       std::uint32_t tb, std::uint32_t tc, std::uint16_t materialIndex = 0);
  void SetMaterialIndex(std::uint16_t materialIndex);
  // Appends other's vertices (moved by transform), faces and texture data,
  // with the indices shifted past what is already here.
  void Append(const MeshData& other, const Matrix3& transform = Matrix3{});
};

using MeshFunction = std::function<MeshData(TimeValue)>;
// The positions of a fixed topology's vertices at a time. The returned
// vector belongs to the function and must stay valid, unchanged, until the
// function is called again.
using PoseFunction = std::function<const std::vector<Point3>&(TimeValue)>;
using TransformFunction = std::function<Matrix3(TimeValue)>;

class MemoryTextureMap : public TextureMap {
 public:
  MemoryTextureMap(Class_ID classId, std::string fileName);
  Class_ID ClassOf() override { return classId_; }
  const char* BitmapFileName() override { return fileName_.c_str(); }
  const std::string& fileName() const { return fileName_; }

 private:
  Class_ID classId_;
  std::string fileName_;
};

// A plain material (no sub-materials) or a multi-material. Multi-material
// slots may be empty (null).
class MemoryMaterial : public SceneMaterial {
 public:
  explicit MemoryMaterial(std::string name);

  MemoryMaterial& SetMap(int slot, std::shared_ptr<TextureMap> map);
  MemoryMaterial& SetDiffuseMap(std::shared_ptr<TextureMap> map) { return SetMap(1, std::move(map)); }
  MemoryMaterial& AddSubMaterial(std::shared_ptr<SceneMaterial> sub);

  int SubMaterialCount() override { return static_cast<int>(subs_.size()); }
  SceneMaterial* SubMaterial(int index) override;
  TextureMap* SubMap(int slot) override;
  const char* MaterialName() override { return name_.c_str(); }

  const std::string& name() const { return name_; }
  const std::vector<std::shared_ptr<SceneMaterial>>& subMaterials() const { return subs_; }

 private:
  std::string name_;
  // Indexed by slot; the plug-in asks for one on every face it samples.
  std::vector<std::shared_ptr<TextureMap>> maps_;
  std::vector<std::shared_ptr<SceneMaterial>> subs_;
};

// An object that cannot become a triangle mesh.
class OpaqueObject : public SceneObject {
 public:
  int CanConvertTo(Class_ID) override { return 0; }
  TriObject* ConvertTo(TimeValue, Class_ID) override { return nullptr; }
};

class MemoryNode : public SceneNode {
 public:
  explicit MemoryNode(std::string name, MemoryNode* parent = nullptr);
  ~MemoryNode() override;
  MemoryNode(const MemoryNode&) = delete;
  MemoryNode& operator=(const MemoryNode&) = delete;

  // Building. Each setter returns the node for chaining; AddChild returns
  // the new child.
  MemoryNode& AddChild(std::string name);
  MemoryNode& Select(bool selected = true);
  MemoryNode& SetMaterial(std::shared_ptr<SceneMaterial> material);
  MemoryNode& SetMesh(MeshData mesh);
  MemoryNode& SetAnimatedMesh(MeshFunction mesh);
  // A mesh whose faces and texture data never change while its vertices
  // move: evaluation reads the posed positions in place instead of building
  // a new mesh (a skinned or morphed character).
  MemoryNode& SetPosedMesh(MeshData topology, PoseFunction pose);
  // Makes the node evaluate to an object that cannot become a triangle mesh.
  MemoryNode& ClearMesh();
  // Relative to the parent node.
  MemoryNode& SetTransform(const Matrix3& transform);
  MemoryNode& SetAnimatedTransform(TransformFunction transform);

  const std::string& name() const { return name_; }
  bool selected() const { return selected_; }
  bool hasMesh() const { return mesh_ || pose_; }
  MemoryNode* parent() const { return parent_; }
  const std::vector<std::unique_ptr<MemoryNode>>& children() const { return children_; }
  const std::shared_ptr<SceneMaterial>& material() const { return material_; }
  // The node's mesh at time t, without evaluating the node.
  MeshData MeshAt(TimeValue t) const;
  Matrix3 LocalTransformAt(TimeValue t) const;
  Matrix3 WorldTransformAt(TimeValue t) const;
  // How often WorldStateAt has been called.
  std::size_t evaluationCount() const { return evaluations_; }

  // Host interface.
  int ChildCount() override { return static_cast<int>(children_.size()); }
  SceneNode* Child(int index) override;
  const char* Name() override { return name_.c_str(); }
  int IsSelected() override { return selected_ ? 1 : 0; }
  SceneMaterial* Material() override { return material_.get(); }
  ObjectState WorldStateAt(TimeValue t, int includeHidden) override;
  Matrix3 ObjectTransformAt(TimeValue t) override { return WorldTransformAt(t); }

 private:
  std::string name_;
  MemoryNode* parent_;
  std::vector<std::unique_ptr<MemoryNode>> children_;
  bool selected_ = false;
  std::shared_ptr<SceneMaterial> material_;
  MeshFunction mesh_;
  PoseFunction pose_;
  TransformFunction transform_;

  // The last evaluation, read in place by the plug-in. With a pose function
  // it holds the fixed topology, and the host mesh's vertices point at the
  // posed positions.
  MeshData evaluated_;
  TriObject triObject_;
  OpaqueObject opaqueObject_;
  std::size_t evaluations_ = 0;
};

// A node tree under a top node named "Scene Root", and the scene's time base.
class MemoryScene {
 public:
  MemoryScene();

  MemoryNode& Root() { return *root_; }
  const MemoryNode& Root() const { return *root_; }

  int ticksPerFrame() const { return ticksPerFrame_; }
  void SetTicksPerFrame(int ticks) { ticksPerFrame_ = ticks; }
  TimeValue FrameTime(double frame) const;

  // Every node, the root included, in pre-order (parents before children,
  // children in index order). Works on trees of any depth.
  void ForEachNode(const std::function<void(MemoryNode&)>& visit);
  std::size_t NodeCount();
  // The first node in pre-order with this name, or null.
  MemoryNode* FindNode(std::string_view name);

 private:
  std::unique_ptr<MemoryNode> root_;
  int ticksPerFrame_ = kDefaultTicksPerFrame;
};

}  // namespace vexo
