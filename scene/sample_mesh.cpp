#include "scene/sample_mesh.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "scene/node_mesh.h"

namespace {

const char* NodeName(SceneNode* node) {
  const char* name = node->Name();
  return name ? name : "";
}

// Four 32-bit words in one register.
typedef std::uint32_t Word4 __attribute__((vector_size(16)));

// Whether the first three words of each of `count` records of kWords
// 32-bit words lie below `limit`. Four records are read at a time, as kWords
// vectors, the other words masked to 0: that changes the answer only for a
// limit of 0, which every index meets too.
template <int kWords>
bool LeadingWordsBelow(const void* records, int count, std::uint32_t limit) {
  const auto* bytes = static_cast<const unsigned char*>(records);
  Word4 masks[kWords];
  for (int j = 0; j < kWords; ++j) {
    for (int lane = 0; lane < 4; ++lane) masks[j][lane] = (4 * j + lane) % kWords < 3 ? ~0u : 0u;
  }
  const Word4 limits = {limit, limit, limit, limit};
  Word4 outside = {0, 0, 0, 0};
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    for (int j = 0; j < kWords; ++j) {
      Word4 words;
      std::memcpy(&words, bytes + 4 * (std::size_t(i) * kWords + 4 * j), sizeof words);
      outside |= reinterpret_cast<Word4>((words & masks[j]) >= limits);
    }
  }
  bool inside = (outside[0] | outside[1] | outside[2] | outside[3]) == 0;
  for (; i < count; ++i) {
    std::uint32_t index[3];
    std::memcpy(index, bytes + 4 * std::size_t(i) * kWords, sizeof index);
    inside &= (index[0] < limit) & (index[1] < limit) & (index[2] < limit);
  }
  return inside;
}

// Every index must lie inside the node's own arrays: a vertex index past
// them would point into another node's vertices or past the combined
// array, a texture-vertex index past them would read outside the host's.
// Checked for all faces at once, without a branch per index; textureFaces
// is null for a mesh without texture.
bool FacesInside(const Face* faces, const TVFace* textureFaces, int faceCount,
                 std::uint32_t vertexLimit, std::uint32_t textureLimit) {
  static_assert(sizeof(Face) == 5 * 4 && offsetof(Face, v) == 0, "three indices, two words more");
  static_assert(sizeof(TVFace) == 3 * 4, "three indices");
  const bool inside = LeadingWordsBelow<5>(faces, faceCount, vertexLimit);
  return textureFaces ? inside & LeadingWordsBelow<3>(textureFaces, faceCount, textureLimit) : inside;
}

// Records the first index outside its array, in face order, corner by
// corner.
void RecordFirstFaceOutside(ExportContext& context, SceneNode* node, const Face* faces,
                            const TVFace* textureFaces, int faceCount, int vertexCount,
                            int textureVertexCount) {
  const auto vertexLimit = static_cast<std::uint32_t>(vertexCount);
  const auto textureLimit = static_cast<std::uint32_t>(textureVertexCount);
  for (int j = 0; j < faceCount; ++j) {
    for (int k = 0; k < 3; ++k) {
      if (faces[j].v[k] >= vertexLimit) {
        context.RecordErrorFormat(kFaceVertexOutside.caption, kFaceVertexOutside.text, j,
                                  NodeName(node), faces[j].v[k], vertexCount);
        return;
      }
      if (textureFaces && textureFaces[j].t[k] >= textureLimit) {
        context.RecordErrorFormat(kFaceTextureVertexOutside.caption, kFaceTextureVertexOutside.text,
                                  j, NodeName(node), textureFaces[j].t[k], textureVertexCount);
        return;
      }
    }
  }
}

// The listed nodes first .. end - 1, checked against the list.
struct NodeRange {
  std::uint32_t first = 0;
  std::uint32_t end = 0;
};

int ListedRange(ExportContext& context, int firstNode, int nodeCount, NodeRange* range) {
  // Compared as unsigned by subtraction, so negative arguments and sums
  // past the int range are refused too.
  const auto first = static_cast<std::uint32_t>(firstNode);
  const auto count = static_cast<std::uint32_t>(nodeCount);
  const auto listed = static_cast<std::uint32_t>(context.nodes ? context.nodeCount : 0);
  if (first > listed || count > listed - first) {
    context.RecordError(kMeshRangeInvalid);
    return 0;
  }
  range->first = first;
  range->end = first + count;
  return 1;
}

// Counting pass: the combined sizes. Totals are kept in 64 bits and must
// fit the 32-bit counts, which follow the totals node by node. On overflow
// `overflowed` is set beside the recorded failure.
int CountMesh(ExportContext& context, NodeRange range, TimeValue time, std::int64_t* totalVertices,
              std::int64_t* totalFaces, std::int32_t* vertexCount, std::int32_t* faceCount,
              bool* overflowed) {
  *totalVertices = 0;
  *totalFaces = 0;
  *vertexCount = 0;
  *faceCount = 0;
  for (std::uint32_t i = range.first; i < range.end; ++i) {
    const HostMesh* mesh = MeshAtTime(context.nodes[i], time);
    if (!mesh) {
      context.RecordError(kNodeGivesNoMesh);
      return 0;
    }
    *totalVertices += mesh->numVerts;
    *totalFaces += mesh->numFaces;
    if (mesh->numVerts < 0 || mesh->numFaces < 0 || *totalVertices > INT32_MAX ||
        *totalFaces > INT32_MAX) {
      *overflowed = true;
      context.RecordError(kMeshNoMemory);
      return 0;
    }
    *vertexCount = static_cast<std::int32_t>(*totalVertices);
    *faceCount = static_cast<std::int32_t>(*totalFaces);
  }
  return 1;
}

// Fill pass: node after node, each node's vertex indices shifted past the
// vertices of the nodes before it. The faces are checked and stored only
// when `faces` is given.
int FillMesh(ExportContext& context, NodeRange range, TimeValue time, std::int64_t totalVertices,
             std::int64_t totalFaces, SampledVertex* vertices, SampledFace* faces,
             std::int32_t* vertexCount, std::int32_t* faceCount) {
  *vertexCount = 0;
  *faceCount = 0;
  for (std::uint32_t i = range.first; i < range.end; ++i) {
    SceneNode* node = context.nodes[i];
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

    // Only faces that are stored are read, and only they are checked: the
    // model writer's positions-only sampling reads no face of the frame.
    if (faces && !FacesInside(hostFaces, textured ? textureFaces : nullptr, numFaces, vertexLimit,
                              textureLimit)) {
      RecordFirstFaceOutside(context, node, hostFaces, textured ? textureFaces : nullptr, numFaces,
                             numVerts, numTVerts);
      return 0;
    }

    // Neighbouring faces mostly share their material index, and the bitmap
    // a face names depends on nothing else: the last answer is kept. Indices
    // have 16 bits, so the first face always asks.
    std::uint32_t lastMaterialIndex = 0xFFFFFFFFu;
    const char* lastBitmapName = nullptr;
    int lastFound = 0;
    SampledFace* const nodeFaces = faces ? faces + *faceCount : nullptr;
    for (int j = 0; nodeFaces && j < numFaces; ++j) {
      const Face& hostFace = hostFaces[j];
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
    SampledVertex* const nodeVertices = vertices + *vertexCount;
    for (int j = 0; j < numVerts; ++j) {
      const Point3 p = VectorTransform(toWorld, hostVertices[j]);
      Point3& position = nodeVertices[j].position;
      position.x = p.x + translation.x;
      position.y = p.y + translation.y;
      position.z = p.z + translation.z;
    }
    *vertexCount += numVerts;
  }
  return 1;
}

}  // namespace

int SampleMesh(ExportContext& context, int firstNode, int nodeCountToSample,
               SampledVertex** vertices, SampledFace** faces, std::int32_t* vertexCount,
               std::int32_t* faceCount, TimeValue time) {
  NodeRange range;
  if (!ListedRange(context, firstNode, nodeCountToSample, &range)) return 0;

  std::int64_t totalVertices = 0;
  std::int64_t totalFaces = 0;
  bool overflowed = false;
  if (!CountMesh(context, range, time, &totalVertices, &totalFaces, vertexCount, faceCount,
                 &overflowed)) {
    if (overflowed) {
      *vertices = nullptr;
      *faces = nullptr;
    }
    return 0;
  }

  *vertices = new (std::nothrow) SampledVertex[static_cast<std::size_t>(totalVertices)];
  *faces = new (std::nothrow) SampledFace[static_cast<std::size_t>(totalFaces)];
  if (!*vertices || !*faces) {
    delete[] * vertices;
    delete[] * faces;
    *vertices = nullptr;
    *faces = nullptr;
    context.RecordError(kMeshNoMemory);
    return 0;
  }
  return FillMesh(context, range, time, totalVertices, totalFaces, *vertices, *faces, vertexCount,
                  faceCount);
}

int SampleMeshPositions(ExportContext& context, TimeValue time, SampledVertex** vertices,
                        std::int32_t* capacity, std::int32_t* vertexCount) {
  NodeRange range;
  if (!ListedRange(context, 0, context.nodeCount, &range)) return 0;

  std::int64_t totalVertices = 0;
  std::int64_t totalFaces = 0;
  std::int32_t faceCount = 0;
  bool overflowed = false;
  if (!CountMesh(context, range, time, &totalVertices, &totalFaces, vertexCount, &faceCount,
                 &overflowed))
    return 0;

  if (!*vertices || totalVertices > *capacity) {
    delete[] * vertices;
    *capacity = 0;
    *vertices = new (std::nothrow) SampledVertex[static_cast<std::size_t>(totalVertices)];
    if (!*vertices) {
      context.RecordError(kMeshNoMemory);
      return 0;
    }
    *capacity = static_cast<std::int32_t>(totalVertices);
  }
  return FillMesh(context, range, time, totalVertices, totalFaces, *vertices, nullptr, vertexCount,
                  &faceCount);
}
