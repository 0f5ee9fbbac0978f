// Poses a welded mesh: morph targets first, then linear blend skinning.
#pragma once

#include <vector>

#include "standalone/import/mesh_welding.h"

namespace vexo {

// Writes the mesh's vertex positions for one pose into `out` (resized to
// the vertex count). boneMatrices[i] takes a bind-pose position of bone i
// into the node's space at the moment (inverse node world x bone world x
// bone offset). A mesh without bones ignores them; morphWeights has one
// entry per morph target.
void PoseVertices(const WeldedMesh& mesh, const std::vector<Mat4>& boneMatrices,
                  const std::vector<float>& morphWeights, std::vector<Point3>& out);

}  // namespace vexo
