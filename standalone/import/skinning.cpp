#include "standalone/import/skinning.h"

namespace vexo {

MeshData DeformMesh(const WeldedMesh& mesh, const std::vector<Mat4>& boneMatrices,
                    const std::vector<float>& morphWeights) {
  MeshData out = mesh.topology;
  const std::size_t n = mesh.VertexCount();
  bool morphed = false;
  for (std::size_t k = 0; k < mesh.morphTargets && k < morphWeights.size(); ++k) {
    morphed = morphed || morphWeights[k] != 0.0f;
  }
  if (!morphed && !mesh.Skinned()) return out;

  for (std::size_t v = 0; v < n; ++v) {
    const Point3& bind = mesh.topology.vertices[v];
    Vec3 p{bind.x, bind.y, bind.z};
    if (morphed) {
      for (std::size_t k = 0; k < mesh.morphTargets && k < morphWeights.size(); ++k) {
        const double w = morphWeights[k];
        if (w == 0) continue;
        const Point3& d = mesh.morphDeltas[k * n + v];
        p.x += w * d.x;
        p.y += w * d.y;
        p.z += w * d.z;
      }
    }
    if (mesh.Skinned() && mesh.influenceStart[v] != mesh.influenceStart[v + 1]) {
      Vec3 skinned;
      for (std::uint32_t i = mesh.influenceStart[v]; i < mesh.influenceStart[v + 1]; ++i) {
        const Influence& influence = mesh.influences[i];
        const Vec3 q = TransformPoint(boneMatrices[influence.bone], p);
        skinned.x += influence.weight * q.x;
        skinned.y += influence.weight * q.y;
        skinned.z += influence.weight * q.z;
      }
      p = skinned;
    }
    out.vertices[v] = Point3{static_cast<float>(p.x), static_cast<float>(p.y),
                             static_cast<float>(p.z)};
  }
  return out;
}

}  // namespace vexo
