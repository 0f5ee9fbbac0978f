// How far a reduced mesh lies from the original at one pose.
#pragma once

#include <vector>

#include "standalone/import/simplify/mesh_reduction.h"
#include "standalone/import/simplify/surface_distance.h"

namespace vexo {

// The larger of two distances at a pose (a position for each vertex of the
// original mesh): the furthest that a vertex the reduction removed lies
// from the reduced surface, and the furthest that the centre of a reduced
// face lies from the original surface (original: the original faces at
// the same pose).
double ReductionError(const std::vector<Point3>& pose, const SurfaceDistance& original,
                      const ReducedFaces& reduced);

}  // namespace vexo
