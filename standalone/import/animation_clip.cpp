#include "standalone/import/animation_clip.h"

#include <assimp/anim.h>

#include <algorithm>
#include <cmath>

#include "standalone/import/animation_sampler.h"
#include "standalone/import/import_options.h"

namespace vexo {
namespace {

template <typename Key>
void SortByTime(std::vector<Key>& keys) {
  std::stable_sort(keys.begin(), keys.end(),
                   [](const Key& a, const Key& b) { return a.time < b.time; });
}

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-4 * std::max(1.0, std::fabs(a)); }

bool Near(const Vec3& a, const Vec3& b) { return Near(a.x, b.x) && Near(a.y, b.y) && Near(a.z, b.z); }

bool SameRotation(const Quat& a, const Quat& b) {
  const double dot = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
  return 1 - std::fabs(dot) <= 1e-6;
}

}  // namespace

AnimationClip ReadClip(const aiAnimation& animation, int clipNumber,
                       const std::function<int(const std::string&)>& nodeIndex,
                       const std::vector<NodePose>& bindPoses) {
  AnimationClip clip;
  clip.name = animation.mName.length > 0 ? animation.mName.C_Str()
                                         : "clip" + std::to_string(clipNumber);
  // The importer's convention: no rate given means 25 ticks a second.
  clip.ticksPerSecond = animation.mTicksPerSecond > 0 ? animation.mTicksPerSecond : 25.0;
  clip.durationTicks = std::max(0.0, animation.mDuration);
  clip.channelOfNode.assign(bindPoses.size(), -1);
  clip.morphOfNode.assign(bindPoses.size(), -1);

  for (unsigned i = 0; i < animation.mNumChannels; ++i) {
    const aiNodeAnim* source = animation.mChannels[i];
    const int node = nodeIndex(source->mNodeName.C_Str());
    if (node < 0 || clip.channelOfNode[node] >= 0) continue;
    NodeChannel channel;
    channel.node = node;
    for (unsigned k = 0; k < source->mNumPositionKeys; ++k) {
      const auto& key = source->mPositionKeys[k];
      channel.positions.push_back({key.mTime, Vec3{key.mValue.x, key.mValue.y, key.mValue.z}});
    }
    for (unsigned k = 0; k < source->mNumRotationKeys; ++k) {
      const auto& key = source->mRotationKeys[k];
      channel.rotations.push_back(
          {key.mTime, Normalised(Quat{key.mValue.w, key.mValue.x, key.mValue.y, key.mValue.z})});
    }
    for (unsigned k = 0; k < source->mNumScalingKeys; ++k) {
      const auto& key = source->mScalingKeys[k];
      channel.scalings.push_back({key.mTime, Vec3{key.mValue.x, key.mValue.y, key.mValue.z}});
    }
    SortByTime(channel.positions);
    SortByTime(channel.rotations);
    SortByTime(channel.scalings);
    clip.channelOfNode[node] = static_cast<int>(clip.channels.size());
    clip.channels.push_back(std::move(channel));
  }

  // Morph channels name the node whose meshes they drive.
  for (unsigned i = 0; i < animation.mNumMorphMeshChannels; ++i) {
    const aiMeshMorphAnim* source = animation.mMorphMeshChannels[i];
    const int node = nodeIndex(source->mName.C_Str());
    if (node < 0 || clip.morphOfNode[node] >= 0) continue;
    MorphChannel channel;
    channel.node = node;
    for (unsigned k = 0; k < source->mNumKeys; ++k) {
      const aiMeshMorphKey& key = source->mKeys[k];
      MorphKey morph;
      morph.time = key.mTime;
      for (unsigned j = 0; j < key.mNumValuesAndWeights; ++j) {
        morph.weights.emplace_back(key.mValues[j], key.mWeights[j]);
      }
      channel.keys.push_back(std::move(morph));
    }
    SortByTime(channel.keys);
    clip.morphOfNode[node] = static_cast<int>(clip.morphs.size());
    clip.morphs.push_back(std::move(channel));
  }

  clip.loops = ClipLoops(clip, bindPoses);
  return clip;
}

namespace {

// The node's channel in the clip, or null when the clip does not move it.
NodeChannel* NodeChannelOf(AnimationClip& clip, int node) {
  if (node < 0 || static_cast<std::size_t>(node) >= clip.channelOfNode.size()) return nullptr;
  const int index = clip.channelOfNode[static_cast<std::size_t>(node)];
  return index < 0 ? nullptr : &clip.channels[static_cast<std::size_t>(index)];
}

MorphChannel* MorphChannelOf(AnimationClip& clip, int node) {
  if (node < 0 || static_cast<std::size_t>(node) >= clip.morphOfNode.size()) return nullptr;
  const int index = clip.morphOfNode[static_cast<std::size_t>(node)];
  return index < 0 ? nullptr : &clip.morphs[static_cast<std::size_t>(index)];
}

template <typename Key>
bool SameTimes(const std::vector<Key>& keys, const std::vector<double>& seconds,
               double ticksPerSecond) {
  if (keys.size() != seconds.size() || keys.empty()) return false;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (!Near(keys[k].time / ticksPerSecond, seconds[k])) return false;
  }
  return true;
}

}  // namespace

void SetCubicTangents(AnimationClip& clip, int node, AnimatedPart part,
                      const std::vector<double>& times,
                      const std::vector<std::array<double, 4>>& inTangents,
                      const std::vector<std::array<double, 4>>& outTangents) {
  NodeChannel* found = NodeChannelOf(clip, node);
  if (!found || inTangents.size() != times.size() || outTangents.size() != times.size()) return;
  NodeChannel& channel = *found;
  std::vector<KeyTangents>* tangents = nullptr;
  bool matches = false;
  switch (part) {
    case AnimatedPart::kTranslation:
      tangents = &channel.positionTangents;
      matches = SameTimes(channel.positions, times, clip.ticksPerSecond);
      break;
    case AnimatedPart::kRotation:
      tangents = &channel.rotationTangents;
      matches = SameTimes(channel.rotations, times, clip.ticksPerSecond);
      break;
    case AnimatedPart::kScale:
      tangents = &channel.scalingTangents;
      matches = SameTimes(channel.scalings, times, clip.ticksPerSecond);
      break;
    case AnimatedPart::kWeights: break;
  }
  if (!tangents || !matches) return;
  tangents->assign(times.size(), KeyTangents{});
  for (std::size_t k = 0; k < times.size(); ++k) {
    const double before = k > 0 ? times[k] - times[k - 1] : 0;
    const double after = k + 1 < times.size() ? times[k + 1] - times[k] : 0;
    for (int c = 0; c < 4; ++c) {
      (*tangents)[k].in[c] = inTangents[k][static_cast<std::size_t>(c)] * before;
      (*tangents)[k].out[c] = outTangents[k][static_cast<std::size_t>(c)] * after;
    }
  }
}

void HoldKeys(AnimationClip& clip, int node, AnimatedPart part) {
  if (part == AnimatedPart::kWeights) {
    if (MorphChannel* channel = MorphChannelOf(clip, node)) channel->keysHold = true;
    return;
  }
  NodeChannel* channel = NodeChannelOf(clip, node);
  if (!channel) return;
  switch (part) {
    case AnimatedPart::kTranslation: channel->positionsHold = true; break;
    case AnimatedPart::kRotation: channel->rotationsHold = true; break;
    case AnimatedPart::kScale: channel->scalingsHold = true; break;
    case AnimatedPart::kWeights: break;
  }
}

std::size_t FindClip(const std::vector<AnimationClip>& clips, const std::string& nameOrNumber,
                     const std::filesystem::path& sceneFile) {
  for (std::size_t i = 0; i < clips.size(); ++i) {
    if (clips[i].name == nameOrNumber) return i;
  }
  const bool digits = !nameOrNumber.empty() &&
                      nameOrNumber.find_first_not_of("0123456789") == std::string::npos;
  if (digits && nameOrNumber.size() < 10) {
    const std::size_t number = std::stoul(nameOrNumber);
    if (number < clips.size()) return number;
    throw ImportError("animation " + nameOrNumber + " is out of range: " + sceneFile.string() +
                      " has " + std::to_string(clips.size()) +
                      (clips.size() == 1 ? " clip" : " clips"));
  }
  std::string names;
  for (const AnimationClip& clip : clips) names += (names.empty() ? "" : ", ") + clip.name;
  throw ImportError("no animation named \"" + nameOrNumber + "\" in " + sceneFile.string() +
                    (clips.empty() ? " (it has no animation)" : " (clips: " + names + ")"));
}

bool ClipLoops(const AnimationClip& clip, const std::vector<NodePose>& bindPoses) {
  if (clip.durationTicks <= 0) return false;
  for (const NodeChannel& channel : clip.channels) {
    const NodePose& bind = bindPoses[static_cast<std::size_t>(channel.node)];
    const NodePose first = SampleNodePose(channel, 0, bind);
    const NodePose last = SampleNodePose(channel, clip.durationTicks, bind);
    if (!Near(first.translation, last.translation) || !Near(first.scale, last.scale) ||
        !SameRotation(first.rotation, last.rotation)) {
      return false;
    }
  }
  for (const MorphChannel& channel : clip.morphs) {
    unsigned targets = 0;
    for (const MorphKey& key : channel.keys) {
      for (const auto& entry : key.weights) targets = std::max(targets, entry.first + 1);
    }
    std::vector<float> first(targets), last(targets);
    SampleMorphWeights(channel, 0, first);
    SampleMorphWeights(channel, clip.durationTicks, last);
    for (unsigned t = 0; t < targets; ++t) {
      if (!Near(first[t], last[t])) return false;
    }
  }
  return true;
}

}  // namespace vexo
