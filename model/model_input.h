// What the model writer is given besides the frames: the mesh sampled at
// host time 0 (its faces, each linked to its placed texture), the skin size
// and the frame list.
#pragma once

#include <cstdint>

#include "scene/sampled_mesh.h"

struct ModelInput {
  const SampledFace* faces = nullptr;
  std::int32_t faceCount = 0;
  std::int32_t vertexCount = 0;
  std::int32_t skinWidth = 0;
  std::int32_t skinHeight = 0;
  // Frame k of every model file is named frameNames[k] (at most 15
  // characters and a zero); frameCount is the number of frames.
  const char (*frameNames)[16] = nullptr;
  std::int32_t frameCount = 0;
};
