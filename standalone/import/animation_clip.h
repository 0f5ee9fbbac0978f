// One animation clip of an imported scene: key frames per node and morph
// weights per node, in the file's own ticks.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "standalone/import/transform_math.h"

struct aiAnimation;

namespace vexo {

struct VectorKey {
  double time = 0;
  Vec3 value;
};

struct RotationKey {
  double time = 0;
  Quat value;
};

// Weights of the listed morph targets; targets not listed weigh 0.
struct MorphKey {
  double time = 0;
  std::vector<std::pair<unsigned, double>> weights;
};

// The tangents of one key of a cubic spline, already multiplied by the
// span of time to the key before (in) and after (out), so that a sampler
// needs only the fraction of the span; components as in the key's value
// (x, y, z or x, y, z, w).
struct KeyTangents {
  double in[4] = {0, 0, 0, 0};
  double out[4] = {0, 0, 0, 0};
};

// Keys of one node. An empty list leaves that part of the node's own
// transform in place. A part whose keys hold (step interpolation) keeps each
// key's value until the next key instead of blending towards it; a part
// with tangents (one per key) follows a cubic spline through its keys.
struct NodeChannel {
  int node = -1;
  std::vector<VectorKey> positions;
  std::vector<RotationKey> rotations;
  std::vector<VectorKey> scalings;
  bool positionsHold = false;
  bool rotationsHold = false;
  bool scalingsHold = false;
  std::vector<KeyTangents> positionTangents;
  std::vector<KeyTangents> rotationTangents;
  std::vector<KeyTangents> scalingTangents;
};

struct MorphChannel {
  int node = -1;
  std::vector<MorphKey> keys;
  bool keysHold = false;
};

// The animated parts of a node.
enum class AnimatedPart { kTranslation, kRotation, kScale, kWeights };

// A node's transform split into its parts, the pose that channels start from.
struct NodePose {
  Vec3 translation;
  Quat rotation;
  Vec3 scale{1, 1, 1};
};

struct AnimationClip {
  std::string name;
  double ticksPerSecond = 25;
  double durationTicks = 0;
  std::vector<NodeChannel> channels;
  std::vector<MorphChannel> morphs;
  // Per scene node: index into channels / morphs, or -1.
  std::vector<int> channelOfNode;
  std::vector<int> morphOfNode;
  // The pose at the end equals the pose at the start, so the clip can play
  // round and round.
  bool loops = false;

  double DurationSeconds() const { return durationTicks / ticksPerSecond; }
};

// Reads a clip. nodeIndex maps a node name to its index in the scene's node
// list (-1: unknown; the keys of unknown nodes are dropped). bindPoses are
// the nodes' own transforms.
AnimationClip ReadClip(const aiAnimation& animation, int clipNumber,
                       const std::function<int(const std::string&)>& nodeIndex,
                       const std::vector<NodePose>& bindPoses);

// Makes the node's keys of one part hold from key to key. A node without
// keys of that part in the clip is left as it is.
void HoldKeys(AnimationClip& clip, int node, AnimatedPart part);

// Makes the node's keys of one part (not weights) follow a cubic spline.
// times are the keys' times in seconds, inTangents and outTangents their
// tangents per second; nothing changes unless they describe the channel's
// keys (the same number, at the same times).
void SetCubicTangents(AnimationClip& clip, int node, AnimatedPart part,
                      const std::vector<double>& times,
                      const std::vector<std::array<double, 4>>& inTangents,
                      const std::vector<std::array<double, 4>>& outTangents);

// A clip by name, or by its number when no clip has that name. Throws
// ImportError naming the clips of the scene file.
std::size_t FindClip(const std::vector<AnimationClip>& clips, const std::string& nameOrNumber,
                     const std::filesystem::path& sceneFile);

// Whether the clip's pose at its end equals its pose at its start.
bool ClipLoops(const AnimationClip& clip, const std::vector<NodePose>& bindPoses);

}  // namespace vexo
