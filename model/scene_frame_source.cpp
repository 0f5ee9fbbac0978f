#include "model/scene_frame_source.h"

#include "scene/sample_mesh.h"

int SceneFrameSource::SampleFrame(TimeValue time, const SampledVertex** vertices,
                                  std::int32_t* count) {
  *count = 0;
  const int sampled = SampleMeshPositions(context_, time, &vertices_, &capacity_, count);
  *vertices = vertices_;
  return sampled;
}
