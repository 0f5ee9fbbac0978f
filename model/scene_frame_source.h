// The export's frame source: the context's listed nodes sampled at a host
// time.
#pragma once

#include "model/frame_source.h"
#include "scene/export_context.h"

// Samples the positions of every listed node with SampleMeshPositions,
// recording failures in the context. One array, kept in the slot it was
// given (the utility object's frameVertices), serves every frame: it grows
// when a frame needs more and stays until the owner frees it.
class SceneFrameSource : public FrameSource {
 public:
  SceneFrameSource(ExportContext& context, SampledVertex*& vertices)
      : context_(context), vertices_(vertices) {}
  int SampleFrame(TimeValue time, const SampledVertex** vertices, std::int32_t* count) override;

 private:
  ExportContext& context_;
  SampledVertex*& vertices_;
  // What the array holds; 0 until this source has made it, so an array
  // left in the slot by someone else is replaced rather than trusted.
  std::int32_t capacity_ = 0;
};
