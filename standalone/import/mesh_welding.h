// Joins the importer's meshes of one node into one mesh as a modelling host
// keeps it.
//
// The importer splits a vertex wherever any of its attributes differ (a UV
// seam, a material boundary). Here vertices that share their position, their
// bone weights and their morph-target offsets become one vertex again, while
// texture coordinates stay on the face corners (texture vertices and texture
// faces). Welding looks at the bind pose only, so every pose of the mesh has
// the same vertices. Vertices that no triangle uses are left out.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <functional>
#include <string>
#include <vector>

#include "standalone/import/texture_transform.h"
#include "standalone/import/transform_math.h"
#include "standalone/memory_scene.h"

struct aiMesh;

namespace vexo {

struct Influence {
  std::uint32_t bone = 0;  // index into WeldedMesh::bones
  float weight = 0;
};

// A bone as one mesh sees it: the node that moves it and the matrix from the
// mesh's bind pose into that node's space.
struct SkinBone {
  int node = -1;
  Mat4 offset;
};

struct WeldedMesh {
  // Bind-pose positions in the node's space, faces (material slot in the
  // flag word) and the texture vertices and faces.
  MeshData topology;
  // Skinning: the influences of vertex v are influences[influenceStart[v]]
  // up to influences[influenceStart[v + 1]], weights summing to 1. Empty
  // when the mesh has no bones. A vertex without influences stays with the
  // node.
  std::vector<SkinBone> bones;
  std::vector<std::uint32_t> influenceStart;
  std::vector<Influence> influences;
  // Morph targets: offset of vertex v in target k at
  // morphDeltas[k * vertexCount + v]; defaultWeights when no clip drives them.
  std::size_t morphTargets = 0;
  std::vector<Point3> morphDeltas;
  std::vector<float> defaultWeights;
  // The vertex colours of each face's corners (3 a face, in face order) as
  // the file stores them; empty when no part has any.
  std::vector<std::array<float, 3>> cornerColours;

  std::size_t VertexCount() const { return topology.vertices.size(); }
  bool Skinned() const { return !bones.empty(); }
};

struct MeshPart {
  const aiMesh* mesh = nullptr;
  std::uint16_t materialSlot = 0;
  // The texture-coordinate set the part's picture uses, and how its
  // material moves those coordinates.
  unsigned uvChannel = 0;
  std::optional<TextureTransform> transform;
};

// nodeIndex maps a bone name to its node (-1: no such node; that bone's
// weights are dropped).
WeldedMesh WeldMeshes(const std::vector<MeshPart>& parts,
                      const std::function<int(const std::string&)>& nodeIndex);

}  // namespace vexo
