// The export's frame source: the context's listed nodes sampled at a host
// time.
#pragma once

#include "model/frame_source.h"
#include "scene/export_context.h"

// Samples every listed node with SampleMesh, recording failures in the
// context. The arrays of the frame sampled last stay in the two slots it was
// given (the utility object's frameVertices and frameFaces) until the next
// frame replaces them or the owner frees them.
class SceneFrameSource : public FrameSource {
 public:
  SceneFrameSource(ExportContext& context, SampledVertex*& vertices, SampledFace*& faces)
      : context_(context), vertices_(vertices), faces_(faces) {}
  int SampleFrame(TimeValue time, const SampledVertex** vertices, std::int32_t* count) override;
  // Frees the last frame's arrays.
  void Release();

 private:
  ExportContext& context_;
  SampledVertex*& vertices_;
  SampledFace*& faces_;
};
