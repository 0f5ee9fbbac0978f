#include "standalone/import/simplify/fit_report.h"

#include <cstdio>

namespace vexo {
namespace {

std::string Counts(std::size_t vertices, std::size_t triangles) {
  return std::to_string(vertices) + " vertices, " + std::to_string(triangles) + " triangles";
}

std::string Error(double error, double size) {
  char text[96];
  std::snprintf(text, sizeof text, "%.4g scene units (%.2f%% of the model's size)", error,
                size > 0 ? 100 * error / size : 0.0);
  return text;
}

}  // namespace

std::vector<std::string> FitReport::Lines() const {
  std::vector<std::string> lines;
  if (nodes.empty()) {
    lines.push_back("the selected meshes fit (" + limits + "): " +
                    Counts(verticesBefore, trianglesBefore) + ", nothing reduced");
    return lines;
  }
  lines.push_back("reduced the selected meshes to fit (" + limits + "): " +
                  Counts(verticesBefore, trianglesBefore) + " -> " +
                  Counts(verticesAfter, trianglesAfter));
  const NodeReduction* largest = &nodes.front();
  for (const NodeReduction& node : nodes) {
    lines.push_back("  node \"" + node.node + "\": " + Counts(node.verticesBefore, node.trianglesBefore) +
                    " -> " + Counts(node.verticesAfter, node.trianglesAfter) +
                    "; largest position error " + Error(node.error, modelSize) + " in " + node.pose);
    if (node.error > largest->error) largest = &node;
  }
  lines.push_back("  largest position error: " + Error(largest->error, modelSize) + ", node \"" +
                  largest->node + "\" in " + largest->pose);
  return lines;
}

}  // namespace vexo
