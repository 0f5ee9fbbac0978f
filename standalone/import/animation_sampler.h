// Values of a clip at a moment: node transforms and morph weights,
// interpolated between the keys around it.
//
// Positions and scales blend linearly, rotations along the shorter arc,
// unless the part's keys hold (step interpolation) or carry tangents (a
// cubic spline; rotations are normalised after it). Before the first key and
// after the last the nearest key holds.
#pragma once

#include <vector>

#include "standalone/import/animation_clip.h"

namespace vexo {

// The node's transform at `ticks` (the clip's time unit).
Mat4 SampleNodeTransform(const NodeChannel& channel, double ticks, const NodePose& bind);
NodePose SampleNodePose(const NodeChannel& channel, double ticks, const NodePose& bind);

// Fills weights (one per morph target, sized by the caller) at `ticks`.
void SampleMorphWeights(const MorphChannel& channel, double ticks, std::vector<float>& weights);

}  // namespace vexo
