#include "standalone/import/format_limits.h"

#include "standalone/import/skin_preparation.h"

namespace vexo {

std::string FormatLimitProblem(std::size_t vertices, std::size_t triangles) {
  std::string over;
  if (vertices > static_cast<std::size_t>(kFormatMaxVertices)) {
    over = std::to_string(vertices) + " vertices (the most is " + std::to_string(kFormatMaxVertices) + ")";
  }
  if (triangles > static_cast<std::size_t>(kFormatMaxTriangles)) {
    over += (over.empty() ? "" : " and ") + std::to_string(triangles) + " triangles (the most is " +
            std::to_string(kFormatMaxTriangles) + ")";
  }
  if (over.empty()) return over;
  return "the selected meshes have " + over +
         ", more than an MD2 model can hold; select fewer nodes (--select) or reduce the meshes (--fit id, "
         "--max-vertices, --max-triangles)";
}

void CheckFormatLimits(SceneModel& model, bool exporting) {
  std::size_t vertices = 0, triangles = 0;
  for (const ModelNode& node : model.nodes) {
    if (!PluginExports(node)) continue;
    const WeldedMesh& mesh = model.meshes[static_cast<std::size_t>(node.mesh)];
    vertices += mesh.VertexCount();
    triangles += mesh.topology.faces.size();
  }
  const std::string problem = FormatLimitProblem(vertices, triangles);
  if (problem.empty()) return;
  if (exporting) throw ImportError(model.source.string() + ": " + problem);
  model.problems.push_back(problem);
}

}  // namespace vexo
