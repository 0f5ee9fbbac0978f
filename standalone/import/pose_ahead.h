// Posing ahead: the plug-in samples an export's frames one after the other,
// and between its questions it quantises and writes what it was given. A
// second thread poses the selected skinned or morphed meshes for the coming
// frames meanwhile, so the answers are ready when asked for.
#pragma once

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "plugin/host/geometry.h"
#include "standalone/import/transform_math.h"

namespace vexo {

class SceneModel;

class PoseAhead {
 public:
  // Starts posing host frames firstFrame ... firstFrame + count - 1, in
  // order. The model must not change until this is destroyed.
  PoseAhead(const SceneModel& model, int firstFrame, int count);
  // Stops the thread and waits for it.
  ~PoseAhead();
  PoseAhead(const PoseAhead&) = delete;
  PoseAhead& operator=(const PoseAhead&) = delete;

  // The node's posed vertices at host time t when this thread has them
  // ready, else null (the caller poses them itself). Valid until a later
  // frame is asked for: asking for frame f gives back the frames before it.
  // Called from one thread only.
  const std::vector<Point3>* Find(int node, TimeValue t);

 private:
  void Run();

  const SceneModel& model_;
  int firstFrame_;
  int count_ = 0;
  std::vector<int> nodes_;       // the nodes posed, each a slot
  std::vector<int> slotOfNode_;  // by node index; -1: not posed here
  // poses_[frame * nodes_.size() + slot]; a frame is read only once done_.
  std::vector<std::vector<Point3>> poses_;
  std::unique_ptr<std::atomic<bool>[]> done_;
  // The latest frame asked for: frames behind it are skipped.
  std::atomic<int> wanted_{0};
  int released_ = 0;  // frames before it are given back (asking thread only)
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace vexo
