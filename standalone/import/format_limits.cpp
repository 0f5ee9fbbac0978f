#include "standalone/import/format_limits.h"

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
         ", more than an MD2 model can hold; select fewer nodes (--select) or simplify the meshes";
}

}  // namespace vexo
