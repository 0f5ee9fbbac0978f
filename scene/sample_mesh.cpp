#include "scene/sample_mesh.h"

#include <cstdint>
#include <new>

#include "scene/node_mesh.h"

namespace {

const char* NodeName(SceneNode* node) {
  const char* name = node->Name();
  return name ? name : "";
}

}  // namespace

int SampleMesh(ExportContext& context, int firstNode, int nodeCountToSample,
               SampledVertex** vertices, SampledFace** faces, std::int32_t* vertexCount,
               std::int32_t* faceCount, TimeValue time) {
  SceneNode* const* const nodes = context.nodes;
  // Compared as unsigned by subtraction, so negative arguments and sums
  // past the int range are refused too.
  const auto first = static_cast<std::uint32_t>(firstNode);
  const auto count = static_cast<std::uint32_t>(nodeCountToSample);
  const auto listed = static_cast<std::uint32_t>(nodes ? context.nodeCount : 0);
  if (first > listed || count > listed - first) {
    context.RecordError(kMeshRangeInvalid);
    return 0;
  }
  const std::uint32_t end = first + count;

  // Counting pass: sizes the arrays exactly. Totals are kept in 64 bits and
  // must fit the 32-bit counts.
  std::int64_t totalVertices = 0;
  std::int64_t totalFaces = 0;
  *vertexCount = 0;
  *faceCount = 0;
  for (std::uint32_t i = first; i < end; ++i) {
    const HostMesh* mesh = MeshAtTime(nodes[i], time);
    if (!mesh) {
      context.RecordError(kNodeGivesNoMesh);
      return 0;
    }
    totalVertices += mesh->numVerts;
    totalFaces += mesh->numFaces;
    if (mesh->numVerts < 0 || mesh->numFaces < 0 || totalVertices > INT32_MAX ||
        totalFaces > INT32_MAX) {
      *vertices = nullptr;
      *faces = nullptr;
      context.RecordError(kMeshNoMemory);
      return 0;
    }
    *vertexCount = static_cast<std::int32_t>(totalVertices);
    *faceCount = static_cast<std::int32_t>(totalFaces);
  }

  *vertices = new (std::nothrow) SampledVertex[static_cast<std::size_t>(totalVertices)];
  *faces = new (std::nothrow) SampledFace[static_cast<std::size_t>(totalFaces)];
  if (!*vertices || !*faces) {
    delete[] *vertices;
    delete[] *faces;
    *vertices = nullptr;
    *faces = nullptr;
    context.RecordError(kMeshNoMemory);
    return 0;
  }

  // Fill pass: node after node, each node's vertex indices shifted past the
  // vertices of the nodes before it.
  *vertexCount = 0;
  *faceCount = 0;
  for (std::uint32_t i = first; i < end; ++i) {
    SceneNode* node = nodes[i];
    const HostMesh* mesh = MeshAtTime(node, time);
    // A host that answers more than it did in the counting pass must not
    // write past the arrays.
    if (!mesh || mesh->numVerts < 0 || mesh->numFaces < 0 ||
        mesh->numVerts > totalVertices - *vertexCount || mesh->numFaces > totalFaces - *faceCount) {
      context.RecordError(kNodeGivesNoMesh);
      return 0;
    }
    // The host's arrays and counts, read once: the stores below could
    // otherwise alias them and force a reload per face.
    const int numVerts = mesh->numVerts;
    const int numFaces = mesh->numFaces;
    const int numTVerts = mesh->numTVerts;
    const Face* const hostFaces = mesh->faces;
    const TVFace* const textureFaces = mesh->tvFace;
    const UVVert* const textureVertices = mesh->tVerts;
    const Point3* const hostVertices = mesh->verts;
    const bool textured = numTVerts > 0;

    const Matrix3 toWorld = node->ObjectTransformAt(time);
    const std::uint32_t vertexBase = static_cast<std::uint32_t>(*vertexCount);
    const auto vertexLimit = static_cast<std::uint32_t>(numVerts);
    const auto textureLimit = static_cast<std::uint32_t>(numTVerts);

    // Neighbouring faces mostly share their material index, and the bitmap
    // a face names depends on nothing else: the last answer is kept. Indices
    // have 16 bits, so the first face always asks.
    std::uint32_t lastMaterialIndex = 0xFFFFFFFFu;
    const char* lastBitmapName = nullptr;
    int lastFound = 0;
    SampledFace* const nodeFaces = *faces + *faceCount;
    for (int j = 0; j < numFaces; ++j) {
      const Face& hostFace = hostFaces[j];
      // Every index must lie inside the node's own arrays: a vertex index
      // past them would point into another node's vertices or past the
      // combined array, a texture-vertex index past them would read outside
      // the host's.
      for (int k = 0; k < 3; ++k) {
        if (hostFace.v[k] >= vertexLimit) {
          context.RecordErrorFormat(kFaceVertexOutside.caption, kFaceVertexOutside.text, j,
                                    NodeName(node), hostFace.v[k], numVerts);
          return 0;
        }
        if (textured && textureFaces[j].t[k] >= textureLimit) {
          context.RecordErrorFormat(kFaceTextureVertexOutside.caption,
                                    kFaceTextureVertexOutside.text, j, NodeName(node),
                                    textureFaces[j].t[k], numTVerts);
          return 0;
        }
      }
      SampledFace& face = nodeFaces[j];
      face.a = hostFace.v[0] + vertexBase;
      face.b = hostFace.v[1] + vertexBase;
      face.c = hostFace.v[2] + vertexBase;
      const std::uint32_t materialIndex = hostFace.flags >> 16;
      if (materialIndex != lastMaterialIndex) {
        lastBitmapName = nullptr;
        lastFound = FaceBitmapName(node, materialIndex, &lastBitmapName);
        lastMaterialIndex = materialIndex;
      }
      if (lastFound) face.bitmapName.set(lastBitmapName);
      if (textured) {
        const TVFace& textureFace = textureFaces[j];
        for (int k = 0; k < 3; ++k) {
          const UVVert& t = textureVertices[textureFace.t[k]];
          face.u[k] = t.x;
          face.v[k] = t.y;
        }
      }
    }
    *faceCount += numFaces;

    const Point3& translation = toWorld.GetRow(3);
    SampledVertex* const nodeVertices = *vertices + *vertexCount;
    for (int j = 0; j < numVerts; ++j) {
      const Point3 p = VectorTransform(toWorld, hostVertices[j]);
      Point3& position = nodeVertices[j].position;
      position.x = p.x + translation.x;
      position.y = p.y + translation.y;
      position.z = p.z + translation.z;
    }
    *vertexCount += mesh->numVerts;
  }
  return 1;
}
