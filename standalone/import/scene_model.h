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
#include "standalone/import/material_colours.h"
#include "standalone/import/mesh_welding.h"
#include "standalone/import/pose_ahead.h"
#include "standalone/import/texture_cache.h"
#include "standalone/import/texture_lookup.h"
#include "standalone/import/texture_transform.h"
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
  // The skin picture each slot shows (index into SceneModel::pictures);
  // filled for the nodes the plug-in exports.
  std::vector<int> pictures;
  bool selected = false;
};

struct ModelMaterial {
  std::string name;
  // The importer's stand-in for faces that have no material.
  bool standIn = false;
  std::string textureReference;  // empty: no diffuse texture
  TextureSource texture;
  MaterialColours colours;
  // The texture-coordinate set of the picture, and its glTF transform.
  unsigned uvChannel = 0;
  std::optional<TextureTransform> transform;
};

// A picture the plug-in loads for the skin.
struct SkinPicture {
  enum class Kind {
    kTexture,       // a picture of the scene, as it is or converted
    kSwatch,        // one colour: a material without a picture, or none
    kBakedColours,  // the vertex colours of a node, one cell a colour
  };
  Kind kind = Kind::kTexture;
  std::string label;  // how messages name it
  // A texture: where it comes from, its header, the factor it is tinted by.
  TextureSource source;
  TextureHeader header;
  LinearRgb tint = {1, 1, 1};
  bool tinted = false;
  // A swatch or bake: the picture, and what names its cache file.
  RgbImage made;
  std::string stem, key;
  std::size_t colourCount = 0;
  // Settled by the fit: the size the plug-in gets, the size it reserves in
  // the skin (the picture times the range its faces use), the file.
  bool used = false;
  int width = 0, height = 0;
  int regionWidth = 0, regionHeight = 0;
  PreparedTexture prepared;
};

// What the fit settled for the whole skin.
struct SkinSummary {
  bool fits = false;
  int skinWidth = 0, skinHeight = 0;
  int maxSide = 0;        // the cap the pictures were scaled to (0: none)
  bool capChosen = false;  // vexo chose it, no --max-texture was given
  std::string why;        // when it does not fit: what to do, or why nothing helps
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
  std::vector<SkinPicture> pictures;
  SkinSummary skin;
  // Lines for the user about what vexo did in the user's stead (a texture
  // replaced by a colour, textures scaled to fit).
  std::vector<std::string> notes;
  // What this import added to the texture cache.
  std::shared_ptr<CacheAdditions> cacheAdditions = std::make_shared<CacheAdditions>();

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
  // The node's mesh vertices posed by a clip (-1: the bind pose) at a time
  // of it, in the file's world space: how the mesh looks at that moment.
  std::vector<Point3> WorldPose(int node, int clip, double seconds);

  // Poses the selected skinned and morphed meshes for host frames
  // firstFrame ... firstFrame + count - 1 on a second thread (PoseAhead),
  // which PosedVertices answers from when it can. Nothing of the model may
  // change until StopPosingAhead, which every change below calls.
  void StartPosingAhead(int firstFrame, int count);
  void StopPosingAhead();

  // Whether the node's mesh moves with the clip (skinned or morphed).
  bool NeedsPosing(int node) const;
  // Every node's world transform at clip time `ticks`, in the file's axes.
  void ComputeWorld(double ticks, std::vector<Mat4>& world) const;
  // The node's mesh posed at clip time `ticks`, in the node's space; world
  // is ComputeWorld's for the same time.
  void ComputePose(int node, double ticks, const std::vector<Mat4>& world,
                   std::vector<Point3>& out) const;

 private:
  Mat4 LocalAt(int node, double ticks) const;
  const std::vector<Point3>& PosedAtTicks(int node, double ticks);
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

  // Last, so that it stops before anything it reads goes.
  std::unique_ptr<PoseAhead> ahead_;
};

}  // namespace vexo
