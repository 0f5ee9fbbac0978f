// Vertex normals for lighting: per frame, each vertex's normal is the sum
// of the face normals of its triangles in that frame's decoded positions
// (so larger triangles weigh more), facing out, written as the index of
// the nearest of the game's 162 directions.
#pragma once

#include "standalone/md2/md2_model.h"

namespace vexo::finish {

// The model must be usable as a whole (md2::UnusableReason). A vertex that
// no triangle with an area touches keeps its byte.
void SetVertexNormals(md2::Model& model);

}  // namespace vexo::finish
