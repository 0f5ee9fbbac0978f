#include "standalone/import/pose_ahead.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <system_error>

#include "standalone/import/scene_model.h"

namespace vexo {
namespace {

// What the poses of one export may take; a longer run of frames is posed
// ahead only as far as this reaches, the rest as the plug-in asks.
constexpr std::size_t kBudgetBytes = std::size_t(16) << 20;

}  // namespace

PoseAhead::PoseAhead(const SceneModel& model, int firstFrame, int count)
    : model_(model), firstFrame_(firstFrame) {
  slotOfNode_.assign(model.nodes.size(), -1);
  std::size_t frameBytes = 0;
  for (std::size_t i = 0; i < model.nodes.size(); ++i) {
    if (!model.nodes[i].selected || !model.NeedsPosing(static_cast<int>(i))) continue;
    slotOfNode_[i] = static_cast<int>(nodes_.size());
    nodes_.push_back(static_cast<int>(i));
    const WeldedMesh& mesh = model.meshes[static_cast<std::size_t>(model.nodes[i].mesh)];
    frameBytes += mesh.topology.vertices.size() * sizeof(Point3);
  }
  if (nodes_.empty() || count <= 0 || frameBytes == 0) return;
  count_ = static_cast<int>(
      std::min<std::size_t>(static_cast<std::size_t>(count), kBudgetBytes / frameBytes));
  if (count_ == 0) return;
  poses_.resize(static_cast<std::size_t>(count_) * nodes_.size());
  done_.reset(new std::atomic<bool>[static_cast<std::size_t>(count_)]());
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    count_ = 0;  // no thread to be had: every frame is posed on demand
  }
}

PoseAhead::~PoseAhead() {
  stop_.store(true, std::memory_order_relaxed);
  if (thread_.joinable()) thread_.join();
}

const std::vector<Point3>* PoseAhead::Find(int node, TimeValue t) {
  const int ticksPerFrame = model_.ticksPerFrame;
  if (count_ == 0 || node < 0 || static_cast<std::size_t>(node) >= slotOfNode_.size() ||
      slotOfNode_[static_cast<std::size_t>(node)] < 0 || ticksPerFrame <= 0 ||
      t % ticksPerFrame != 0)
    return nullptr;
  const std::int64_t frame = std::int64_t(t / ticksPerFrame) - firstFrame_;
  if (frame < 0 || frame >= count_) return nullptr;
  const int f = static_cast<int>(frame);
  if (f > wanted_.load(std::memory_order_relaxed)) wanted_.store(f, std::memory_order_relaxed);
  // The frames before it are not asked for again (the plug-in samples in
  // order): those made are given back, for what follows the sampling.
  // A frame still being made stays the thread's.
  for (; released_ < f; ++released_) {
    std::atomic<bool>& done = done_[static_cast<std::size_t>(released_)];
    if (!done.load(std::memory_order_acquire)) continue;
    done.store(false, std::memory_order_relaxed);
    for (std::size_t slot = 0; slot < nodes_.size(); ++slot)
      std::vector<Point3>().swap(poses_[static_cast<std::size_t>(released_) * nodes_.size() + slot]);
  }
  if (!done_[static_cast<std::size_t>(f)].load(std::memory_order_acquire)) return nullptr;
  return &poses_[static_cast<std::size_t>(f) * nodes_.size() +
                 static_cast<std::size_t>(slotOfNode_[static_cast<std::size_t>(node)])];
}

void PoseAhead::Run() {
  try {
    std::vector<Mat4> world;
    const TimeValue ticksPerFrame = model_.ticksPerFrame;
    for (int f = 0; f < count_ && !stop_.load(std::memory_order_relaxed); ++f) {
      // A frame the plug-in has passed is not wanted any more.
      f = std::max(f, wanted_.load(std::memory_order_relaxed));
      if (f >= count_) break;
      const double ticks =
          model_.ClipTicks(static_cast<TimeValue>(firstFrame_ + f) * ticksPerFrame);
      model_.ComputeWorld(ticks, world);
      for (std::size_t slot = 0; slot < nodes_.size(); ++slot) {
        model_.ComputePose(nodes_[slot], ticks, world,
                           poses_[static_cast<std::size_t>(f) * nodes_.size() + slot]);
      }
      done_[static_cast<std::size_t>(f)].store(true, std::memory_order_release);
    }
  } catch (const std::bad_alloc&) {
    // Out of memory: the frames not made are posed on demand.
  }
}

}  // namespace vexo
