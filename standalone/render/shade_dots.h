// How the game's GL renderer lights a model (R_DrawAliasModel and
// GL_DrawAliasFrameLerp, ref_gl/gl_mesh.c): each vertex gets
// shadelight x dot, the dot read from a precomputed table by the entity's
// yaw (16 rows) and the vertex's normal byte. Lighting depends on nothing
// else, so a model whose normal bytes are all 0 is lit flat.
#pragma once

#include "standalone/md2/normal_directions.h"

namespace vexo::render {

inline constexpr int kShadeDotRows = 16;
extern const float kShadeDots[kShadeDotRows][md2::kNormalCount];

// The row for an entity's yaw: (int)(yaw * 16 / 360) & 15.
int ShadeDotRow(double yawDegrees);

// The dot of a normal byte in a row; 1 for bytes past the 162 directions,
// as the renderer's table holds there.
float ShadeDot(int row, int normalIndex);

}  // namespace vexo::render
