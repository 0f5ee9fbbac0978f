#include "standalone/import/mesh_welding.h"

#include <assimp/mesh.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace vexo {
namespace {

// Bit pattern of a float, with -0 taken as +0 so that the two weld.
std::uint32_t Bits(float value) {
  value += 0.0f;
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::uint64_t HashWords(const std::vector<std::uint32_t>& words) {
  std::uint64_t hash = 1469598103934665603ull;
  for (std::uint32_t w : words) {
    hash ^= w;
    hash *= 1099511628211ull;
    hash ^= hash >> 29;
  }
  return hash;
}

bool SameMatrix(const Mat4& a, const Mat4& b) { return std::memcmp(a.m, b.m, sizeof a.m) == 0; }

Mat4 FromImporter(const aiMatrix4x4& s) {
  Mat4 m;
  const float* f = &s.a1;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) m.m[i][j] = f[i * 4 + j];
  }
  return m;
}

// Influences of every vertex of one importer mesh, merged per bone,
// normalised and sorted by bone.
std::vector<std::vector<Influence>> ReadInfluences(
    const aiMesh& mesh, std::vector<SkinBone>& bones,
    const std::function<int(const std::string&)>& nodeIndex) {
  std::vector<std::vector<Influence>> perVertex(mesh.mNumBones > 0 ? mesh.mNumVertices : 0);
  for (unsigned b = 0; b < mesh.mNumBones; ++b) {
    const aiBone& bone = *mesh.mBones[b];
    const int node = nodeIndex(bone.mName.C_Str());
    if (node < 0) continue;
    const Mat4 offset = FromImporter(bone.mOffsetMatrix);
    std::uint32_t id = 0;
    while (id < bones.size() && !(bones[id].node == node && SameMatrix(bones[id].offset, offset))) {
      ++id;
    }
    if (id == bones.size()) bones.push_back(SkinBone{node, offset});
    for (unsigned w = 0; w < bone.mNumWeights; ++w) {
      const aiVertexWeight& weight = bone.mWeights[w];
      if (weight.mVertexId >= mesh.mNumVertices || !(weight.mWeight > 0)) continue;
      auto& list = perVertex[weight.mVertexId];
      auto same = std::find_if(list.begin(), list.end(),
                               [id](const Influence& i) { return i.bone == id; });
      if (same != list.end()) {
        same->weight += weight.mWeight;
      } else {
        list.push_back(Influence{id, weight.mWeight});
      }
    }
  }
  for (auto& list : perVertex) {
    float sum = 0;
    for (const Influence& i : list) sum += i.weight;
    for (Influence& i : list) i.weight /= sum;
    std::sort(list.begin(), list.end(),
              [](const Influence& a, const Influence& b) { return a.bone < b.bone; });
  }
  return perVertex;
}

}  // namespace

WeldedMesh WeldMeshes(const std::vector<MeshPart>& parts,
                      const std::function<int(const std::string&)>& nodeIndex) {
  WeldedMesh out;
  bool textured = false, coloured = false;
  for (const MeshPart& part : parts) {
    out.morphTargets = std::max<std::size_t>(out.morphTargets, part.mesh->mNumAnimMeshes);
    textured = textured || part.mesh->HasTextureCoords(part.uvChannel);
    coloured = coloured || part.mesh->HasVertexColors(0);
  }
  out.defaultWeights.assign(out.morphTargets, 0.0f);
  std::vector<bool> weightKnown(out.morphTargets, false);

  // Welded vertices by key: position, influences, morph offsets.
  std::unordered_multimap<std::uint64_t, std::uint32_t> welded;
  std::vector<std::uint32_t> keyPool;
  std::vector<std::size_t> keyStart{0};
  // Morph offsets of welded vertices, vertex-major while welding.
  std::vector<Point3> deltas;
  std::unordered_map<std::uint64_t, std::uint32_t> textureVertexOf;
  std::vector<std::uint32_t> key;
  MeshData& topology = out.topology;

  for (const MeshPart& part : parts) {
    const aiMesh& mesh = *part.mesh;
    const auto influences = ReadInfluences(mesh, out.bones, nodeIndex);
    for (unsigned k = 0; k < mesh.mNumAnimMeshes; ++k) {
      if (!weightKnown[k]) {
        out.defaultWeights[k] = mesh.mAnimMeshes[k]->mWeight;
        weightKnown[k] = true;
      }
    }

    // Only vertices that a triangle uses: files may share one vertex list
    // among meshes, and points and lines have been dropped.
    std::vector<bool> used(mesh.mNumVertices, false);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      if (face.mNumIndices != 3) continue;
      for (unsigned c = 0; c < 3; ++c) {
        if (face.mIndices[c] < mesh.mNumVertices) used[face.mIndices[c]] = true;
      }
    }
    std::vector<std::uint32_t> remap(mesh.mNumVertices, UINT32_MAX);
    // At most one entry a vertex, and about as many texture positions:
    // little or no rehashing while welding.
    welded.reserve(welded.size() + mesh.mNumVertices);
    if (textured) textureVertexOf.reserve(textureVertexOf.size() + mesh.mNumVertices);
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      if (!used[v]) continue;
      const aiVector3D& p = mesh.mVertices[v];
      key.assign({Bits(p.x), Bits(p.y), Bits(p.z)});
      const std::size_t influenceCount = influences.empty() ? 0 : influences[v].size();
      key.push_back(static_cast<std::uint32_t>(influenceCount));
      for (std::size_t i = 0; i < influenceCount; ++i) {
        key.push_back(influences[v][i].bone);
        key.push_back(Bits(influences[v][i].weight));
      }
      const std::size_t deltaStart = key.size();
      for (std::size_t k = 0; k < out.morphTargets; ++k) {
        aiVector3D d(0, 0, 0);
        if (k < mesh.mNumAnimMeshes && mesh.mAnimMeshes[k]->mVertices &&
            mesh.mAnimMeshes[k]->mNumVertices == mesh.mNumVertices) {
          d = mesh.mAnimMeshes[k]->mVertices[v] - p;
        }
        key.insert(key.end(), {Bits(d.x), Bits(d.y), Bits(d.z)});
      }

      const std::uint64_t hash = HashWords(key);
      std::uint32_t found = UINT32_MAX;
      auto range = welded.equal_range(hash);
      for (auto it = range.first; it != range.second; ++it) {
        const std::size_t start = keyStart[it->second];
        const std::size_t length = keyStart[it->second + 1] - start;
        if (length == key.size() &&
            std::equal(key.begin(), key.end(), keyPool.begin() + static_cast<long>(start))) {
          found = it->second;
          break;
        }
      }
      if (found == UINT32_MAX) {
        found = topology.AddVertex(p.x, p.y, p.z);
        welded.emplace(hash, found);
        keyPool.insert(keyPool.end(), key.begin(), key.end());
        keyStart.push_back(keyPool.size());
        for (std::size_t i = 0; i < influenceCount; ++i) out.influences.push_back(influences[v][i]);
        out.influenceStart.push_back(static_cast<std::uint32_t>(out.influences.size()));
        for (std::size_t k = 0; k < out.morphTargets; ++k) {
          const std::uint32_t* d = &key[deltaStart + 3 * k];
          float xyz[3];
          std::memcpy(xyz, d, sizeof xyz);
          deltas.push_back(Point3{xyz[0], xyz[1], xyz[2]});
        }
      }
      remap[v] = found;
    }

    // A vertex's texture position is the same at each of its corners: it is
    // looked up once.
    std::vector<std::uint32_t> knownTextureVertex(textured ? mesh.mNumVertices : 0, UINT32_MAX);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      if (face.mNumIndices != 3) continue;
      const unsigned* idx = face.mIndices;
      if (idx[0] >= mesh.mNumVertices || idx[1] >= mesh.mNumVertices ||
          idx[2] >= mesh.mNumVertices) {
        continue;
      }
      if (coloured) {
        for (int c = 0; c < 3; ++c) {
          const aiColor4D colour =
              mesh.HasVertexColors(0) ? mesh.mColors[0][idx[c]] : aiColor4D(1, 1, 1, 1);
          out.cornerColours.push_back({colour.r, colour.g, colour.b});
        }
      }
      if (!textured) {
        topology.AddFace(remap[idx[0]], remap[idx[1]], remap[idx[2]], part.materialSlot);
        continue;
      }
      std::uint32_t corner[3];
      for (int c = 0; c < 3; ++c) {
        std::uint32_t& known = knownTextureVertex[idx[c]];
        if (known != UINT32_MAX) {
          corner[c] = known;
          continue;
        }
        float u = 0, w = 0;
        if (mesh.HasTextureCoords(part.uvChannel)) {
          u = mesh.mTextureCoords[part.uvChannel][idx[c]].x;
          w = mesh.mTextureCoords[part.uvChannel][idx[c]].y;
          if (part.transform) part.transform->Apply(u, w);
        }
        const std::uint64_t uv = (std::uint64_t{Bits(u)} << 32) | Bits(w);
        // try_emplace makes no node for a position already known (emplace
        // would make one and throw it away).
        auto [it, added] = textureVertexOf.try_emplace(
            uv, static_cast<std::uint32_t>(topology.textureVertices.size()));
        if (added) topology.AddTextureVertex(u, w);
        corner[c] = known = it->second;
      }
      topology.AddTexturedFace(remap[idx[0]], remap[idx[1]], remap[idx[2]], corner[0], corner[1],
                               corner[2], part.materialSlot);
    }
  }

  // Influence starts: one entry per vertex plus the end, or none at all.
  if (out.bones.empty()) {
    out.influences.clear();
    out.influenceStart.clear();
  } else {
    out.influenceStart.insert(out.influenceStart.begin(), 0u);
  }
  // Target-major morph offsets.
  const std::size_t n = out.VertexCount();
  out.morphDeltas.resize(out.morphTargets * n);
  for (std::size_t v = 0; v < n; ++v) {
    for (std::size_t k = 0; k < out.morphTargets; ++k) {
      out.morphDeltas[k * n + v] = deltas[v * out.morphTargets + k];
    }
  }
  return out;
}

}  // namespace vexo
