#include "model/scene_frame_source.h"

#include "scene/sample_mesh.h"

int SceneFrameSource::SampleFrame(TimeValue time, const SampledVertex** vertices,
                                  std::int32_t* count) {
  Release();
  std::int32_t faceCount = 0;
  *count = 0;
  const int sampled =
      SampleMesh(context_, 0, context_.nodeCount, &vertices_, &faces_, count, &faceCount, time);
  *vertices = vertices_;
  return sampled;
}

void SceneFrameSource::Release() {
  delete[] vertices_;
  vertices_ = nullptr;
  delete[] faces_;
  faces_ = nullptr;
}
