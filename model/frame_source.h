// Where the model writer gets the vertex positions of each frame.
#pragma once

#include <cstdint>

#include "plugin/host/geometry.h"
#include "scene/sampled_mesh.h"

// The export's source samples the scene at a host time (SceneFrameSource);
// tests hand in frames of their own, without a host.
class FrameSource {
 public:
  // The frame at host time `time`: 1 with its vertices and their count (the
  // vertices stay valid until the next call), or 0 when it cannot be had
  // (the source records why).
  virtual int SampleFrame(TimeValue time, const SampledVertex** vertices, std::int32_t* count) = 0;

 protected:
  ~FrameSource() = default;
};
