#include "standalone/import/simplify/mesh_reduction.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

namespace vexo {
namespace {

std::uint32_t Bits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::size_t UsedVertices(const std::vector<Face>& faces, std::size_t vertexCount) {
  std::vector<bool> used(vertexCount, false);
  std::size_t count = 0;
  for (const Face& f : faces) {
    for (std::uint32_t v : f.v) {
      if (!used[v]) {
        used[v] = true;
        ++count;
      }
    }
  }
  return count;
}

}  // namespace

MeshReducer::MeshReducer(const WeldedMesh& mesh) : mesh_(mesh) {
  const MeshData& topology = mesh.topology;
  textured_ = !topology.textureFaces.empty() && topology.textureFaces.size() == topology.faces.size();
  coloured_ = mesh.cornerColours.size() == 3 * topology.faces.size() && !topology.faces.empty();
  using Key = std::tuple<std::uint32_t, std::uint32_t, std::uint16_t, std::uint32_t, std::uint32_t, std::uint32_t>;
  std::map<Key, unsigned> cornerOf;
  cornerOfFaces_.reserve(3 * topology.faces.size());
  for (std::size_t f = 0; f < topology.faces.size(); ++f) {
    for (int k = 0; k < 3; ++k) {
      Corner corner;
      corner.vertex = topology.faces[f].v[k];
      corner.textureVertex = textured_ ? topology.textureFaces[f].t[k] : 0;
      corner.material = static_cast<std::uint16_t>(topology.faces[f].MaterialIndex());
      corner.colour = static_cast<std::uint32_t>(3 * f + k);
      std::array<std::uint32_t, 3> colour = {0, 0, 0};
      if (coloured_) {
        for (int c = 0; c < 3; ++c) colour[c] = Bits(mesh.cornerColours[3 * f + k][c]);
      }
      const Key key{corner.vertex, corner.textureVertex, corner.material, colour[0], colour[1], colour[2]};
      auto [it, added] = cornerOf.emplace(key, static_cast<unsigned>(corners_.size()));
      if (added) corners_.push_back(corner);
      cornerOfFaces_.push_back(it->second);
    }
  }
}

ReducedFaces MeshReducer::FromCorners(const std::vector<unsigned>& corners) const {
  ReducedFaces out;
  for (std::size_t i = 0; i + 2 < corners.size(); i += 3) {
    const Corner* c[3] = {&corners_[corners[i]], &corners_[corners[i + 1]], &corners_[corners[i + 2]]};
    Face face;
    for (int k = 0; k < 3; ++k) face.v[k] = c[k]->vertex;
    face.flags = std::uint32_t{c[0]->material} << 16;
    out.faces.push_back(face);
    if (textured_) {
      TVFace tv;
      for (int k = 0; k < 3; ++k) tv.t[k] = c[k]->textureVertex;
      out.textureFaces.push_back(tv);
    }
    if (coloured_) {
      for (int k = 0; k < 3; ++k) out.cornerColours.push_back(mesh_.cornerColours[c[k]->colour]);
    }
  }
  out.vertices = UsedVertices(out.faces, mesh_.VertexCount());
  return out;
}

ReducedFaces MeshReducer::Unreduced() const { return FromCorners(cornerOfFaces_); }

ReducedFaces MeshReducer::Reduce(const std::vector<Point3>& pose, std::size_t triangles) const {
  std::vector<float> positions;
  positions.reserve(3 * corners_.size());
  for (const Corner& c : corners_) {
    const Point3& p = pose[c.vertex];
    positions.insert(positions.end(), {p.x, p.y, p.z});
  }
  std::vector<unsigned> reduced(cornerOfFaces_.size());
  const std::size_t count = meshopt_simplify(
      reduced.data(), cornerOfFaces_.data(), cornerOfFaces_.size(), positions.data(), corners_.size(),
      3 * sizeof(float), 3 * triangles, kLargestRelativeError, 0, nullptr);
  reduced.resize(count);
  return FromCorners(reduced);
}

ReducedFaces MeshReducer::Fit(const std::vector<Point3>& pose, std::size_t vertices,
                              std::size_t triangles) const {
  ReducedFaces result = Unreduced();
  std::size_t target = std::min(triangles, result.faces.size());
  // The simplifier counts triangles; fewer triangles bring fewer vertices,
  // so the target comes down until the vertices fit too.
  for (int attempt = 0; attempt < 16; ++attempt) {
    if (result.vertices <= vertices && result.faces.size() <= triangles) return result;
    result = Reduce(pose, target);
    if (result.faces.size() > target || result.vertices <= vertices) return result;
    const double share = static_cast<double>(vertices) / static_cast<double>(result.vertices);
    target = std::min(target - 1, static_cast<std::size_t>(static_cast<double>(target) * share * 0.99));
    if (target == 0) return result;
  }
  return result;
}

std::vector<Triangle> MeshReducer::Triangles() const {
  std::vector<Triangle> triangles;
  for (const Face& f : mesh_.topology.faces) triangles.push_back({f.v[0], f.v[1], f.v[2]});
  return triangles;
}

WeldedMesh KeepFaces(const WeldedMesh& mesh, const ReducedFaces& reduced) {
  WeldedMesh out;
  const std::size_t n = mesh.VertexCount();
  std::vector<std::uint32_t> vertexOf(n, UINT32_MAX);
  for (const Face& f : reduced.faces) {
    for (std::uint32_t v : f.v) vertexOf[v] = 0;
  }
  std::vector<std::uint32_t> kept;
  for (std::uint32_t v = 0; v < n; ++v) {
    if (vertexOf[v] == UINT32_MAX) continue;
    vertexOf[v] = static_cast<std::uint32_t>(kept.size());
    kept.push_back(v);
    const Point3& p = mesh.topology.vertices[v];
    out.topology.AddVertex(p.x, p.y, p.z);
  }

  const std::vector<UVVert>& uvs = mesh.topology.textureVertices;
  std::vector<std::uint32_t> textureVertexOf(uvs.size(), UINT32_MAX);
  for (const TVFace& tv : reduced.textureFaces) {
    for (std::uint32_t t : tv.t) textureVertexOf[t] = 0;
  }
  for (std::size_t t = 0; t < uvs.size(); ++t) {
    if (textureVertexOf[t] == UINT32_MAX) continue;
    textureVertexOf[t] = static_cast<std::uint32_t>(out.topology.textureVertices.size());
    out.topology.textureVertices.push_back(uvs[t]);
  }

  for (std::size_t f = 0; f < reduced.faces.size(); ++f) {
    Face face = reduced.faces[f];
    for (std::uint32_t& v : face.v) v = vertexOf[v];
    out.topology.faces.push_back(face);
    if (!reduced.textureFaces.empty()) {
      TVFace tv = reduced.textureFaces[f];
      for (std::uint32_t& t : tv.t) t = textureVertexOf[t];
      out.topology.textureFaces.push_back(tv);
    }
  }
  out.cornerColours = reduced.cornerColours;

  out.bones = mesh.bones;
  if (mesh.Skinned()) {
    out.influenceStart.push_back(0);
    for (std::uint32_t v : kept) {
      out.influences.insert(out.influences.end(), mesh.influences.begin() + mesh.influenceStart[v],
                            mesh.influences.begin() + mesh.influenceStart[v + 1]);
      out.influenceStart.push_back(static_cast<std::uint32_t>(out.influences.size()));
    }
  }
  out.morphTargets = mesh.morphTargets;
  out.defaultWeights = mesh.defaultWeights;
  for (std::size_t k = 0; k < mesh.morphTargets; ++k) {
    for (std::uint32_t v : kept) out.morphDeltas.push_back(mesh.morphDeltas[k * n + v]);
  }
  return out;
}

}  // namespace vexo
