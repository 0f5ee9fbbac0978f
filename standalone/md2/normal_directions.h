// The game's 162 vertex normal directions: a vertex's normal byte is an
// index into this table, which the renderers use for lighting.
#pragma once

namespace vexo::md2 {

inline constexpr int kNormalCount = 162;
extern const float kNormalDirections[kNormalCount][3];

// The index of the direction nearest to (x, y, z), a unit vector: the one
// at the smallest angle (the largest dot product; the lowest index of equals).
int NearestNormalIndex(float x, float y, float z);

}  // namespace vexo::md2
