#include "standalone/import/animation_sampler.h"

#include <algorithm>

namespace vexo {
namespace {

// The keys around `ticks` and how far between them it lies.
template <typename Key>
void Bracket(const std::vector<Key>& keys, double ticks, std::size_t& a, std::size_t& b,
             double& f) {
  auto it = std::upper_bound(keys.begin(), keys.end(), ticks,
                             [](double t, const Key& key) { return t < key.time; });
  if (it == keys.begin()) {
    a = b = 0;
    f = 0;
    return;
  }
  if (it == keys.end()) {
    a = b = keys.size() - 1;
    f = 0;
    return;
  }
  b = static_cast<std::size_t>(it - keys.begin());
  a = b - 1;
  const double span = keys[b].time - keys[a].time;
  f = span > 0 ? (ticks - keys[a].time) / span : 0;
}

// With `hold`, the key at or before `ticks` keeps its value until the next.
Vec3 SampleVector(const std::vector<VectorKey>& keys, bool hold, double ticks,
                  const Vec3& fallback) {
  if (keys.empty()) return fallback;
  std::size_t a, b;
  double f;
  Bracket(keys, ticks, a, b, f);
  return a == b || hold ? keys[a].value : Lerp(keys[a].value, keys[b].value, f);
}

Quat SampleRotation(const std::vector<RotationKey>& keys, bool hold, double ticks,
                    const Quat& fallback) {
  if (keys.empty()) return fallback;
  std::size_t a, b;
  double f;
  Bracket(keys, ticks, a, b, f);
  return a == b || hold ? Normalised(keys[a].value) : Slerp(keys[a].value, keys[b].value, f);
}

void AddWeights(const MorphKey& key, double factor, std::vector<float>& weights) {
  for (const auto& [target, weight] : key.weights) {
    if (target < weights.size()) weights[target] += static_cast<float>(weight * factor);
  }
}

}  // namespace

NodePose SampleNodePose(const NodeChannel& channel, double ticks, const NodePose& bind) {
  return NodePose{
      SampleVector(channel.positions, channel.positionsHold, ticks, bind.translation),
      SampleRotation(channel.rotations, channel.rotationsHold, ticks, bind.rotation),
      SampleVector(channel.scalings, channel.scalingsHold, ticks, bind.scale)};
}

Mat4 SampleNodeTransform(const NodeChannel& channel, double ticks, const NodePose& bind) {
  const NodePose pose = SampleNodePose(channel, ticks, bind);
  return ComposeTrs(pose.translation, pose.rotation, pose.scale);
}

void SampleMorphWeights(const MorphChannel& channel, double ticks, std::vector<float>& weights) {
  std::fill(weights.begin(), weights.end(), 0.0f);
  if (channel.keys.empty()) return;
  std::size_t a, b;
  double f;
  Bracket(channel.keys, ticks, a, b, f);
  if (channel.keysHold) f = 0;
  AddWeights(channel.keys[a], 1 - f, weights);
  if (a != b && f != 0) AddWeights(channel.keys[b], f, weights);
}

}  // namespace vexo
