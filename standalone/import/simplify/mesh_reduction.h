// Reduces a welded mesh with meshoptimizer's simplifier, which keeps a
// subset of the mesh's vertices: every pose of the animation moves the
// kept vertices with their own skinning and morph data, so the reduction is
// made once, at one pose, and holds for all of them.
//
// The simplifier sees one vertex for each distinct corner (mesh vertex,
// texture vertex, material, colour). Corners that share a position but
// differ in the rest are a seam to it: it collapses them only along the
// seam, together. So texture seams and material borders stay where they
// are, and every corner of a reduced face keeps the texture coordinates,
// material and colour it had.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "standalone/import/mesh_welding.h"
#include "standalone/import/simplify/surface_distance.h"

namespace vexo {

// Faces over a subset of a mesh's vertices, in the mesh's own indices.
struct ReducedFaces {
  std::vector<Face> faces;
  std::vector<TVFace> textureFaces;  // parallel to faces when the mesh is textured
  std::vector<std::array<float, 3>> cornerColours;  // 3 a face when the mesh has them
  std::size_t vertices = 0;  // the mesh vertices the faces use
};

// The most the simplifier may move the surface, relative to the mesh's
// largest extent: a target that needs more would destroy the mesh.
inline constexpr float kLargestRelativeError = 0.05f;

class MeshReducer {
 public:
  explicit MeshReducer(const WeldedMesh& mesh);

  // The faces as they are.
  ReducedFaces Unreduced() const;
  // At most `triangles` faces, reduced at the pose given (a position for
  // each mesh vertex); fewer faces only where the simplifier stops short.
  ReducedFaces Reduce(const std::vector<Point3>& pose, std::size_t triangles) const;
  // At most this many vertices and triangles, reduced at the pose given; a
  // result over either target is where the simplifier stalled.
  ReducedFaces Fit(const std::vector<Point3>& pose, std::size_t vertices, std::size_t triangles) const;

  // The mesh's faces as triangles of its vertices.
  std::vector<Triangle> Triangles() const;

 private:
  ReducedFaces FromCorners(const std::vector<unsigned>& corners) const;

  struct Corner {
    std::uint32_t vertex = 0, textureVertex = 0, colour = 0;
    std::uint16_t material = 0;
  };
  const WeldedMesh& mesh_;
  bool textured_ = false, coloured_ = false;
  std::vector<Corner> corners_;          // the simplifier's vertices
  std::vector<unsigned> cornerOfFaces_;  // 3 a face
};

// The mesh with the reduced faces: the vertices they use (in their old
// order, with their skinning and morph offsets), the texture vertices they
// use, and the faces renumbered.
WeldedMesh KeepFaces(const WeldedMesh& mesh, const ReducedFaces& reduced);

}  // namespace vexo
