// What fitting the meshes to a budget did, for the user: counts before and
// after per node, and the largest position error.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexo {

struct NodeReduction {
  std::string node;
  std::size_t verticesBefore = 0, trianglesBefore = 0;
  std::size_t verticesAfter = 0, trianglesAfter = 0;
  double error = 0;  // in scene units, at the pose below
  std::string pose;  // "the bind pose", "clip \"run\" at 0.400 s"
};

struct FitReport {
  std::string limits;  // what the budget allows, and why
  std::size_t verticesBefore = 0, trianglesBefore = 0;
  std::size_t verticesAfter = 0, trianglesAfter = 0;
  std::vector<NodeReduction> nodes;  // the nodes reduced
  double modelSize = 0;  // the longest side of the model's box at the bind pose

  // One line for the limits and the totals, one a reduced node, one for
  // the largest error.
  std::vector<std::string> Lines() const;
};

}  // namespace vexo
