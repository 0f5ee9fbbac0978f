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

// The Hermite basis at fraction f of a span: weights of the value before,
// its out-tangent, the value after and its in-tangent.
struct HermiteWeights {
  double before, out, after, in;
};

HermiteWeights Hermite(double f) {
  const double f2 = f * f, f3 = f2 * f;
  return {2 * f3 - 3 * f2 + 1, f3 - 2 * f2 + f, -2 * f3 + 3 * f2, f3 - f2};
}

// One component of the spline between key a and key b.
double Spline(const HermiteWeights& h, const KeyTangents& a, const KeyTangents& b, int component,
              double before, double after) {
  return h.before * before + h.out * a.out[component] + h.after * after + h.in * b.in[component];
}

// With `hold`, the key at or before `ticks` keeps its value until the next;
// with tangents (one per key), the value follows a cubic spline.
Vec3 SampleVector(const std::vector<VectorKey>& keys, bool hold,
                  const std::vector<KeyTangents>& tangents, double ticks, const Vec3& fallback) {
  if (keys.empty()) return fallback;
  std::size_t a, b;
  double f;
  Bracket(keys, ticks, a, b, f);
  if (a == b || hold) return keys[a].value;
  if (tangents.size() != keys.size()) return Lerp(keys[a].value, keys[b].value, f);
  const HermiteWeights h = Hermite(f);
  const Vec3& p = keys[a].value;
  const Vec3& q = keys[b].value;
  const KeyTangents& ta = tangents[a];
  const KeyTangents& tb = tangents[b];
  return Vec3{Spline(h, ta, tb, 0, p.x, q.x), Spline(h, ta, tb, 1, p.y, q.y),
              Spline(h, ta, tb, 2, p.z, q.z)};
}

Quat SampleRotation(const std::vector<RotationKey>& keys, bool hold,
                    const std::vector<KeyTangents>& tangents, double ticks, const Quat& fallback) {
  if (keys.empty()) return fallback;
  std::size_t a, b;
  double f;
  Bracket(keys, ticks, a, b, f);
  if (a == b || hold) return Normalised(keys[a].value);
  if (tangents.size() != keys.size()) return Slerp(keys[a].value, keys[b].value, f);
  // Tangent components are x, y, z, w as the file stores quaternions.
  const HermiteWeights h = Hermite(f);
  const Quat& p = keys[a].value;
  const Quat& q = keys[b].value;
  const KeyTangents& ta = tangents[a];
  const KeyTangents& tb = tangents[b];
  return Normalised(Quat{Spline(h, ta, tb, 3, p.w, q.w), Spline(h, ta, tb, 0, p.x, q.x),
                         Spline(h, ta, tb, 1, p.y, q.y), Spline(h, ta, tb, 2, p.z, q.z)});
}

void AddWeights(const MorphKey& key, double factor, std::vector<float>& weights) {
  for (const auto& [target, weight] : key.weights) {
    if (target < weights.size()) weights[target] += static_cast<float>(weight * factor);
  }
}

}  // namespace

NodePose SampleNodePose(const NodeChannel& channel, double ticks, const NodePose& bind) {
  return NodePose{SampleVector(channel.positions, channel.positionsHold, channel.positionTangents,
                               ticks, bind.translation),
                  SampleRotation(channel.rotations, channel.rotationsHold,
                                 channel.rotationTangents, ticks, bind.rotation),
                  SampleVector(channel.scalings, channel.scalingsHold, channel.scalingTangents,
                               ticks, bind.scale)};
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
