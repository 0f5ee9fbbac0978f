#include "standalone/import/scene_model.h"

#include "standalone/import/animation_sampler.h"
#include "standalone/import/skinning.h"

namespace vexo {

double SceneModel::ClipTicks(TimeValue t) const {
  if (activeClip < 0) return 0;
  const double frame = static_cast<double>(t) / ticksPerFrame;
  return frame * secondsPerFrame * clips[static_cast<std::size_t>(activeClip)].ticksPerSecond;
}

Mat4 SceneModel::LocalAt(int node, double ticks) const {
  const ModelNode& n = nodes[static_cast<std::size_t>(node)];
  if (activeClip >= 0) {
    const AnimationClip& clip = clips[static_cast<std::size_t>(activeClip)];
    const int channel = clip.channelOfNode[static_cast<std::size_t>(node)];
    if (channel >= 0) {
      return SampleNodeTransform(clip.channels[static_cast<std::size_t>(channel)], ticks, n.pose);
    }
  }
  return n.local;
}

Matrix3 SceneModel::LocalTransformAt(int node, TimeValue t) {
  Mat4 local = LocalAt(node, ClipTicks(t));
  if (nodes[static_cast<std::size_t>(node)].parent < 0) local = rootCorrection * local;
  return ToHostMatrix(local);
}

// World transforms in the file's own axes; the turn to Z-up cancels out of
// every mesh, which lives in its node's space.
void SceneModel::ComputeWorld(double ticks, std::vector<Mat4>& world) const {
  world.resize(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const Mat4 local = LocalAt(static_cast<int>(i), ticks);
    const int parent = nodes[i].parent;
    world[i] = parent < 0 ? local : world[static_cast<std::size_t>(parent)] * local;
  }
}

const std::vector<Mat4>& SceneModel::WorldAt(double ticks) {
  if (cachedClip_ == activeClip && cachedTicks_ == ticks && !cachedWorld_.empty()) {
    return cachedWorld_;
  }
  ComputeWorld(ticks, cachedWorld_);
  cachedClip_ = activeClip;
  cachedTicks_ = ticks;
  return cachedWorld_;
}

const std::vector<Point3>& SceneModel::PosedVertices(int node, TimeValue t) {
  if (ahead_) {
    if (const std::vector<Point3>* posed = ahead_->Find(node, t)) return *posed;
  }
  return PosedAtTicks(node, ClipTicks(t));
}

void SceneModel::StartPosingAhead(int firstFrame, int count) {
  StopPosingAhead();
  ahead_ = std::make_unique<PoseAhead>(*this, firstFrame, count);
}

void SceneModel::StopPosingAhead() { ahead_.reset(); }

std::vector<Point3> SceneModel::WorldPose(int node, int clip, double seconds) {
  StopPosingAhead();
  const int active = activeClip;
  activeClip = clip;
  const double ticks = clip < 0 ? 0 : seconds * clips[static_cast<std::size_t>(clip)].ticksPerSecond;
  std::vector<Point3> pose = PosedAtTicks(node, ticks);
  const Mat4& world = WorldAt(ticks)[static_cast<std::size_t>(node)];
  activeClip = active;
  // The caller may change the node's mesh: nothing of it stays cached.
  if (static_cast<std::size_t>(node) < posed_.size()) posed_[static_cast<std::size_t>(node)] = PosedMesh{};
  for (Point3& p : pose) {
    const Vec3 q = TransformPoint(world, Vec3{p.x, p.y, p.z});
    p = Point3{static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z)};
  }
  return pose;
}

bool SceneModel::NeedsPosing(int node) const {
  const ModelNode& n = nodes[static_cast<std::size_t>(node)];
  if (n.mesh < 0) return false;
  const WeldedMesh& mesh = meshes[static_cast<std::size_t>(n.mesh)];
  return mesh.Skinned() || mesh.morphTargets > 0;
}

const std::vector<Point3>& SceneModel::PosedAtTicks(int node, double ticks) {
  static const std::vector<Point3> kNoVertices;
  const ModelNode& n = nodes[static_cast<std::size_t>(node)];
  if (n.mesh < 0) return kNoVertices;
  if (!NeedsPosing(node)) return meshes[static_cast<std::size_t>(n.mesh)].topology.vertices;

  posed_.resize(nodes.size());
  PosedMesh& posed = posed_[static_cast<std::size_t>(node)];
  if (posed.clip == activeClip && posed.ticks == ticks && !posed.vertices.empty()) {
    return posed.vertices;
  }
  static const std::vector<Mat4> kNoWorld;
  ComputePose(node, ticks,
              meshes[static_cast<std::size_t>(n.mesh)].Skinned() ? WorldAt(ticks) : kNoWorld,
              posed.vertices);
  posed.clip = activeClip;
  posed.ticks = ticks;
  return posed.vertices;
}

void SceneModel::ComputePose(int node, double ticks, const std::vector<Mat4>& world,
                             std::vector<Point3>& out) const {
  const WeldedMesh& mesh =
      meshes[static_cast<std::size_t>(nodes[static_cast<std::size_t>(node)].mesh)];
  std::vector<float> weights = mesh.defaultWeights;
  if (activeClip >= 0 && mesh.morphTargets > 0) {
    const AnimationClip& clip = clips[static_cast<std::size_t>(activeClip)];
    const int morph = clip.morphOfNode[static_cast<std::size_t>(node)];
    if (morph >= 0) SampleMorphWeights(clip.morphs[static_cast<std::size_t>(morph)], ticks, weights);
  }

  std::vector<Mat4> boneMatrices;
  if (mesh.Skinned()) {
    const Mat4 toNode = AffineInverse(world[static_cast<std::size_t>(node)]);
    boneMatrices.reserve(mesh.bones.size());
    for (const SkinBone& bone : mesh.bones) {
      boneMatrices.push_back(toNode * world[static_cast<std::size_t>(bone.node)] * bone.offset);
    }
  }
  PoseVertices(mesh, boneMatrices, weights, out);
}

}  // namespace vexo
