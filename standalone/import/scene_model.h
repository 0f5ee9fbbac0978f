// What an import keeps of the scene file: the node tree, the welded meshes,
// the materials with their textures, the clips, and the timeline that turns
// host time into clip time. The in-memory scene's nodes ask it for their
// transform and mesh at a host time.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standalone/import/animation_clip.h"
#include "standalone/import/mesh_welding.h"
#include "standalone/import/texture_cache.h"
#include "standalone/import/texture_lookup.h"
#include "standalone/memory_scene.h"

namespace vexo {

struct ModelNode {
  std::string name;
  int parent = -1;  // -1 for the file's top node
  int depth = 0;
  Mat4 local;       // the node's own transform as the file gives it
  NodePose pose;    // the same, split into its parts
  int mesh = -1;    // index into SceneModel::meshes
  // Material per slot (index into SceneModel::materials, -1: none); the
  // mesh's faces name their slot.
  std::vector<int> materials;
  bool selected = false;
};

struct ModelMaterial {
  std::string name;
  // The importer's stand-in for faces that have no material.
  bool standIn = false;
  std::string textureReference;  // empty: no diffuse texture
  TextureSource texture;
  TextureHeader header;  // read when a selected node uses the material
  std::optional<PreparedTexture> prepared;
  std::shared_ptr<MemoryMaterial> hostMaterial;
};

class SceneModel {
 public:
  std::filesystem::path source;
  std::string format;          // the importer's name for the file format
  // Applied above the file's top node: turns the scene so that Z is up.
  Mat4 rootCorrection;
  std::string upAxisNote;  // which axis was up, and why it is taken so
  std::vector<ModelNode> nodes;  // pre-order: parents before children
  std::vector<WeldedMesh> meshes;
  std::vector<ModelMaterial> materials;
  std::vector<AnimationClip> clips;
  std::vector<NodePose> bindPoses;
  std::vector<std::string> problems;  // what would stop an export

  // Timeline: host frame f shows clip time f * secondsPerFrame.
  int activeClip = -1;  // -1: bind pose
  double secondsPerFrame = 1.0 / 30.0;
  int ticksPerFrame = kDefaultTicksPerFrame;
  double fps = 30.0;

  // The node's transform relative to its parent at host time t; the file's
  // top node also carries the turn to Z-up.
  Matrix3 LocalTransformAt(int node, TimeValue t);
  // The positions of the node's mesh vertices at host time t, in the
  // node's space (the faces and texture data are those of its welded
  // mesh). The reference stays valid until the node is posed again.
  const std::vector<Point3>& PosedVertices(int node, TimeValue t);
  // The active clip's time in its ticks at host time t.
  double ClipTicks(TimeValue t) const;

 private:
  Mat4 LocalAt(int node, double ticks) const;
  const std::vector<Mat4>& WorldAt(double ticks);

  // The last pose computed, keyed by clip and time.
  int cachedClip_ = -2;
  double cachedTicks_ = 0;
  std::vector<Mat4> cachedWorld_;

  // Each mesh node's last posed vertices, keyed the same way: the host asks
  // for the same time more than once (a counting and a filling pass).
  struct PosedMesh {
    int clip = -2;
    double ticks = 0;
    std::vector<Point3> vertices;
  };
  std::vector<PosedMesh> posed_;
};

}  // namespace vexo
