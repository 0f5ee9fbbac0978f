#include "standalone/md2/md2_model.h"

#include <cstring>

namespace vexo::md2 {

std::string Frame::Name() const { return std::string(header.name, strnlen(header.name, 16)); }

std::array<float, 3> Frame::Position(std::size_t vertex) const {
  std::array<float, 3> p;
  for (int k = 0; k < 3; ++k)
    p[k] = header.translate[k] + header.scale[k] * vertices[vertex].v[k];
  return p;
}

std::vector<std::array<float, 3>> Frame::Positions() const {
  std::vector<std::array<float, 3>> positions;
  positions.reserve(vertices.size());
  for (std::size_t v = 0; v < vertices.size(); ++v) positions.push_back(Position(v));
  return positions;
}

}  // namespace vexo::md2
