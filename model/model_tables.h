// The sections of a new model file that do not change from frame to frame:
// texture coordinates, triangles and GL commands, from the faces sampled at
// host time 0 and their places in the skin.
#pragma once

#include <cstdint>

#include "model/md2_format.h"
#include "scene/sampled_mesh.h"

// Fills 3 * faceCount texture coordinates and faceCount triangles and GL
// triangles. Each face's winding is reversed, (a, b, c) -> (a, c, b), and
// every corner keeps its own texture coordinate. A corner's skin position
// is Width * (u - uMin) + x and Height * (v - vMin) + y of the face's
// texture, truncated to pixels and, divided by the skin size, as a fraction.
// Returns 0 (outputs undefined) when a face has no texture, a corner
// indexes no vertex, the skin size is not positive, or a skin position is
// not finite or does not fit 16 bits.
int BuildModelTables(const SampledFace* faces, std::int32_t faceCount, std::int32_t vertexCount,
                     std::int32_t skinWidth, std::int32_t skinHeight, Md2TexCoord* texCoords,
                     Md2Triangle* triangles, Md2GlTriangle* glTriangles);
