#include "standalone/memory_scene.h"

#include <cmath>
#include <utility>

#include "standalone/scene_building.h"

namespace vexo {

std::uint32_t MeshData::AddVertex(float x, float y, float z) {
  vertices.push_back(Point3{x, y, z});
  return static_cast<std::uint32_t>(vertices.size() - 1);
}

std::uint32_t MeshData::AddTextureVertex(float u, float v) {
  textureVertices.push_back(UVVert{u, v, 0.0f});
  return static_cast<std::uint32_t>(textureVertices.size() - 1);
}

void MeshData::AddFace(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                       std::uint16_t materialIndex) {
  Face face;
  face.v[0] = a;
  face.v[1] = b;
  face.v[2] = c;
  face.flags = static_cast<std::uint32_t>(materialIndex) << 16;
  faces.push_back(face);
}

void MeshData::AddTexturedFace(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                               std::uint32_t ta, std::uint32_t tb, std::uint32_t tc,
                               std::uint16_t materialIndex) {
  AddFace(a, b, c, materialIndex);
  // Faces added before without texture data get texture face (0, 0, 0).
  textureFaces.resize(faces.size() - 1);
  TVFace tv;
  tv.t[0] = ta;
  tv.t[1] = tb;
  tv.t[2] = tc;
  textureFaces.push_back(tv);
}

void MeshData::SetMaterialIndex(std::uint16_t materialIndex) {
  for (Face& face : faces) {
    face.flags = (face.flags & 0xFFFFu) | (static_cast<std::uint32_t>(materialIndex) << 16);
  }
}

void MeshData::Append(const MeshData& other, const Matrix3& transform) {
  const auto vertexBase = static_cast<std::uint32_t>(vertices.size());
  const auto tvertBase = static_cast<std::uint32_t>(textureVertices.size());
  const bool textured = !textureVertices.empty() || !other.textureVertices.empty();
  if (textured) textureFaces.resize(faces.size());

  for (const Point3& p : other.vertices) vertices.push_back(TransformPoint(transform, p));
  for (const Face& f : other.faces) {
    Face shifted = f;
    for (std::uint32_t& v : shifted.v) v += vertexBase;
    faces.push_back(shifted);
  }
  textureVertices.insert(textureVertices.end(), other.textureVertices.begin(),
                         other.textureVertices.end());
  if (textured) {
    for (std::size_t i = 0; i < other.faces.size(); ++i) {
      TVFace tv = i < other.textureFaces.size() ? other.textureFaces[i] : TVFace{};
      if (!other.textureVertices.empty()) {
        for (std::uint32_t& t : tv.t) t += tvertBase;
      }
      textureFaces.push_back(tv);
    }
  }
}

namespace {

// The host keeps one texture face per face whenever there are texture
// vertices; faces the builder left without one map to texture vertex 0.
void NormaliseTextureFaces(MeshData& mesh) {
  if (mesh.textureVertices.empty()) {
    mesh.textureFaces.clear();
  } else {
    mesh.textureFaces.resize(mesh.faces.size());
  }
}

}  // namespace

MemoryTextureMap::MemoryTextureMap(Class_ID classId, std::string fileName)
    : classId_(classId), fileName_(std::move(fileName)) {}

MemoryMaterial::MemoryMaterial(std::string name) : name_(std::move(name)) {}

MemoryMaterial& MemoryMaterial::SetMap(int slot, std::shared_ptr<TextureMap> map) {
  if (slot < 0) return *this;  // no such slot: SubMap answers null for it
  const auto index = static_cast<std::size_t>(slot);
  if (index >= maps_.size()) maps_.resize(index + 1);
  maps_[index] = std::move(map);
  return *this;
}

MemoryMaterial& MemoryMaterial::AddSubMaterial(std::shared_ptr<SceneMaterial> sub) {
  subs_.push_back(std::move(sub));
  return *this;
}

SceneMaterial* MemoryMaterial::SubMaterial(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= subs_.size()) return nullptr;
  return subs_[static_cast<std::size_t>(index)].get();
}

TextureMap* MemoryMaterial::SubMap(int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= maps_.size()) return nullptr;
  return maps_[static_cast<std::size_t>(slot)].get();
}

MemoryNode::MemoryNode(std::string name, MemoryNode* parent)
    : name_(std::move(name)), parent_(parent) {}

// Children are taken apart level by level so that a very deep tree does
// not recurse once per level.
MemoryNode::~MemoryNode() {
  std::vector<std::unique_ptr<MemoryNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<MemoryNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
  }
}

MemoryNode& MemoryNode::AddChild(std::string name) {
  children_.push_back(std::make_unique<MemoryNode>(std::move(name), this));
  return *children_.back();
}

MemoryNode& MemoryNode::Select(bool selected) {
  selected_ = selected;
  return *this;
}

MemoryNode& MemoryNode::SetMaterial(std::shared_ptr<SceneMaterial> material) {
  material_ = std::move(material);
  return *this;
}

MemoryNode& MemoryNode::SetMesh(MeshData mesh) {
  mesh_ = [m = std::move(mesh)](TimeValue) { return m; };
  pose_ = nullptr;
  return *this;
}

MemoryNode& MemoryNode::SetAnimatedMesh(MeshFunction mesh) {
  mesh_ = std::move(mesh);
  pose_ = nullptr;
  return *this;
}

MemoryNode& MemoryNode::SetPosedMesh(MeshData topology, PoseFunction pose) {
  mesh_ = nullptr;
  pose_ = std::move(pose);
  evaluated_ = std::move(topology);
  NormaliseTextureFaces(evaluated_);
  return *this;
}

MemoryNode& MemoryNode::ClearMesh() {
  mesh_ = nullptr;
  pose_ = nullptr;
  return *this;
}

MemoryNode& MemoryNode::SetTransform(const Matrix3& transform) {
  transform_ = [transform](TimeValue) { return transform; };
  return *this;
}

MemoryNode& MemoryNode::SetAnimatedTransform(TransformFunction transform) {
  transform_ = std::move(transform);
  return *this;
}

MeshData MemoryNode::MeshAt(TimeValue t) const {
  if (pose_) {
    MeshData mesh = evaluated_;
    mesh.vertices = pose_(t);
    return mesh;
  }
  return mesh_ ? mesh_(t) : MeshData{};
}

Matrix3 MemoryNode::LocalTransformAt(TimeValue t) const {
  return transform_ ? transform_(t) : Matrix3{};
}

Matrix3 MemoryNode::WorldTransformAt(TimeValue t) const {
  Matrix3 world = LocalTransformAt(t);
  for (const MemoryNode* up = parent_; up; up = up->parent_) {
    world = Compose(world, up->LocalTransformAt(t));
  }
  return world;
}

SceneNode* MemoryNode::Child(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= children_.size()) return nullptr;
  return children_[static_cast<std::size_t>(index)].get();
}

ObjectState MemoryNode::WorldStateAt(TimeValue t, int) {
  ++evaluations_;
  const std::vector<Point3>* vertices = &evaluated_.vertices;
  if (pose_) {
    vertices = &pose_(t);
  } else if (mesh_) {
    evaluated_ = mesh_(t);
    NormaliseTextureFaces(evaluated_);
  } else {
    evaluated_ = MeshData{};
    triObject_.mesh = HostMesh{};
    return ObjectState(&opaqueObject_);
  }
  HostMesh& mesh = triObject_.mesh;
  mesh.numVerts = static_cast<int>(vertices->size());
  mesh.numFaces = static_cast<int>(evaluated_.faces.size());
  mesh.numTVerts = static_cast<int>(evaluated_.textureVertices.size());
  // The host's mesh type has mutable arrays; the plug-in only reads them.
  mesh.verts = vertices->empty() ? nullptr : const_cast<Point3*>(vertices->data());
  mesh.faces = evaluated_.faces.empty() ? nullptr : evaluated_.faces.data();
  mesh.tVerts = evaluated_.textureVertices.empty() ? nullptr : evaluated_.textureVertices.data();
  mesh.tvFace = evaluated_.textureFaces.empty() ? nullptr : evaluated_.textureFaces.data();
  return ObjectState(&triObject_);
}

MemoryScene::MemoryScene() : root_(std::make_unique<MemoryNode>("Scene Root")) {}

TimeValue MemoryScene::FrameTime(double frame) const {
  return static_cast<TimeValue>(std::lround(frame * ticksPerFrame_));
}

void MemoryScene::ForEachNode(const std::function<void(MemoryNode&)>& visit) {
  std::vector<MemoryNode*> stack{root_.get()};
  while (!stack.empty()) {
    MemoryNode* node = stack.back();
    stack.pop_back();
    visit(*node);
    const auto& children = node->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(it->get());
  }
}

std::size_t MemoryScene::NodeCount() {
  std::size_t count = 0;
  ForEachNode([&count](MemoryNode&) { ++count; });
  return count;
}

MemoryNode* MemoryScene::FindNode(std::string_view name) {
  MemoryNode* found = nullptr;
  ForEachNode([&](MemoryNode& node) {
    if (!found && node.name() == name) found = &node;
  });
  return found;
}

}  // namespace vexo
