// One model frame from the vertex positions of a sampled mesh.
#pragma once

#include <cstdint>

#include "model/md2_format.h"
#include "scene/sampled_mesh.h"

// The single-precision constant with the bits 0x3B83126F: a frame's step
// per axis is its extent times this, a little over extent / 250.
inline constexpr float kMd2QuantisationStep = 0.0040000002f;

// Encodes count (at least 1) positions as one frame named `name` (at most
// 15 characters are kept): the axes are turned, (x, y, z) -> (-y, x, z), every
// coordinate is multiplied by `scale`, and each axis is quantised to bytes
// 0..250 over the frame's own extent. An axis without extent gets step 0 and
// bytes 0. Returns 0, leaving the output undefined, when a scaled coordinate
// is not finite.
int EncodeFramePositions(const SampledVertex* vertices, std::int32_t count, float scale,
                         const char* name, Md2FrameHeader* header, Md2Vertex* out);
