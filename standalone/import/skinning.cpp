#include "standalone/import/skinning.h"

#include <algorithm>

namespace vexo {
namespace {

// Four floats in one register; the compiler turns arithmetic on them into
// packed instructions where the target has them.
typedef float Float4 __attribute__((vector_size(16)));

// A bone matrix by columns: the images of the x, y and z axes and the
// translation, each (x, y, z, 0). Skinning runs in single precision, as the
// positions it produces are single precision.
struct BoneColumns {
  Float4 column[4];
};

BoneColumns ColumnsOf(const Mat4& matrix) {
  BoneColumns bone;
  for (int c = 0; c < 4; ++c) {
    bone.column[c] = Float4{static_cast<float>(matrix.m[0][c]), static_cast<float>(matrix.m[1][c]),
                            static_cast<float>(matrix.m[2][c]), 0.0f};
  }
  return bone;
}

}  // namespace

void PoseVertices(const WeldedMesh& mesh, const std::vector<Mat4>& boneMatrices,
                  const std::vector<float>& morphWeights, std::vector<Point3>& out) {
  const std::vector<Point3>& bind = mesh.topology.vertices;
  const std::size_t n = bind.size();
  const std::size_t targets = std::min(mesh.morphTargets, morphWeights.size());
  bool morphed = false;
  for (std::size_t k = 0; k < targets; ++k) morphed = morphed || morphWeights[k] != 0.0f;
  const bool skinned = mesh.Skinned() && boneMatrices.size() >= mesh.bones.size();
  out.resize(n);
  if (!morphed && !skinned) {
    std::copy(bind.begin(), bind.end(), out.begin());
    return;
  }

  std::vector<BoneColumns> bones;
  if (skinned) {
    bones.reserve(boneMatrices.size());
    for (const Mat4& matrix : boneMatrices) bones.push_back(ColumnsOf(matrix));
  }
  for (std::size_t v = 0; v < n; ++v) {
    float x = bind[v].x, y = bind[v].y, z = bind[v].z;
    for (std::size_t k = 0; morphed && k < targets; ++k) {
      const float w = morphWeights[k];
      if (w == 0) continue;
      const Point3& d = mesh.morphDeltas[k * n + v];
      x += w * d.x;
      y += w * d.y;
      z += w * d.z;
    }
    const std::uint32_t first = skinned ? mesh.influenceStart[v] : 0;
    const std::uint32_t last = skinned ? mesh.influenceStart[v + 1] : 0;
    if (first != last) {
      // The weighted sum of the bone matrices moves the point as the
      // weighted sum of the points each bone moves it to.
      Float4 blend[4] = {};
      for (std::uint32_t i = first; i < last; ++i) {
        const BoneColumns& bone = bones[mesh.influences[i].bone];
        const float w = mesh.influences[i].weight;
        for (int c = 0; c < 4; ++c) blend[c] += w * bone.column[c];
      }
      const Float4 p = blend[0] * x + blend[1] * y + blend[2] * z + blend[3];
      x = p[0];
      y = p[1];
      z = p[2];
    }
    out[v] = Point3{x, y, z};
  }
}

}  // namespace vexo
