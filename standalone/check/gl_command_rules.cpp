// The GL command list: the GL renderer draws only from it (ref_gl/gl_mesh.c
// GL_DrawAliasFrameLerp), as do Yamagi's GL renderers
// (src/client/refresh/gl1/gl1_mesh.c); the software renderer, Q2PRO and
// KMQuake2 draw the triangle list. Both must describe the same triangles.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "standalone/check/model_rules.h"
#include "standalone/md2/gl_command_list.h"

namespace vexo::check {
namespace {

using std::to_string;
const EngineSet kGlList{Engine::kIdGl, Engine::kYamagi};

// A triangle's corners rotated so that the one with the least vertex index
// comes first; the winding stays.
template <typename Corner, typename IndexOf>
std::array<Corner, 3> Rotated(const Corner (&c)[3], IndexOf index) {
  int first = 0;
  for (int k = 1; k < 3; ++k)
    if (index(c[k]) < index(c[first])) first = k;
  return {c[first], c[(first + 1) % 3], c[(first + 2) % 3]};
}

// The GL list's position is s * skin width; the triangle list's is that
// value cut to whole pixels.
bool SamePlace(const Md2GlVertex& gl, const Md2TexCoord& pixel, const Md2Header& h) {
  return std::fabs(double(gl.s) * h.skinWidth - pixel.s) <= 1.001 &&
         std::fabs(double(gl.t) * h.skinHeight - pixel.t) <= 1.001;
}

struct Comparison {
  std::int64_t onlyInTriangles = 0, onlyInGl = 0, otherPlace = 0;
};

Comparison Compare(const md2::Model& m, const std::vector<md2::GlTriangle>& glTriangles) {
  using Key = std::array<std::int64_t, 3>;
  // The triangle list, by the vertices of each triangle in winding order;
  // triangles of one key keep the list's order, and each is taken by one
  // GL triangle at most.
  struct Listed {
    Key key;
    std::array<Md2TexCoord, 3> places;
    bool taken;
  };
  std::vector<Listed> inListOrder;
  inListOrder.reserve(m.triangles.size());
  std::size_t vertexCount = 0;  // past the greatest least vertex
  for (const Md2Triangle& t : m.triangles) {
    struct Corner {
      std::uint16_t vertex, texCoord;
    };
    const Corner corners[3] = {{t.vertexIndex[0], t.texCoordIndex[0]},
                               {t.vertexIndex[1], t.texCoordIndex[1]},
                               {t.vertexIndex[2], t.texCoordIndex[2]}};
    const auto c = Rotated(corners, [](const Corner& x) { return x.vertex; });
    std::array<Md2TexCoord, 3> places{};
    for (int k = 0; k < 3; ++k)
      if (c[k].texCoord < m.texCoords.size()) places[k] = m.texCoords[c[k].texCoord];
    inListOrder.push_back({Key{c[0].vertex, c[1].vertex, c[2].vertex}, places, false});
    vertexCount = std::max(vertexCount, std::size_t(c[0].vertex) + 1);
  }
  // Sorted by key, stably: first by the least vertex, by counting (a bucket
  // a vertex), then each bucket, which holds a few triangles, by the rest.
  std::vector<std::uint32_t> bucket(vertexCount + 1, 0);  // where each vertex's bucket starts
  for (const Listed& entry : inListOrder) ++bucket[std::size_t(entry.key[0]) + 1];
  for (std::size_t v = 0; v < vertexCount; ++v) bucket[v + 1] += bucket[v];
  std::vector<Listed> listed(inListOrder.size());
  {
    std::vector<std::uint32_t> next(bucket.begin(), bucket.end() - 1);
    for (const Listed& entry : inListOrder) listed[next[std::size_t(entry.key[0])]++] = entry;
  }
  auto byKey = [](const Listed& a, const Listed& b) { return a.key < b.key; };
  for (std::size_t v = 0; v < vertexCount; ++v) {
    const auto from = listed.begin() + bucket[v], to = listed.begin() + bucket[v + 1];
    if (to - from > 16) {
      std::stable_sort(from, to, byKey);
      continue;
    }
    for (auto i = from + (from != to); i < to; ++i)  // insertion, stable
      for (auto j = i; j != from && byKey(*j, *(j - 1)); --j) std::iter_swap(j, j - 1);
  }
  // Each key's first triangle not yet taken, kept at the key's first place
  // so that many triangles of one key are not looked through again and again.
  std::vector<std::size_t> firstLeft(listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) firstLeft[i] = i;
  Comparison result;
  std::int64_t taken = 0;
  for (const md2::GlTriangle& g : glTriangles) {
    const auto c = Rotated(g.corners, [](const Md2GlVertex& v) { return v.vertexIndex; });
    const Listed wanted{{c[0].vertexIndex, c[1].vertexIndex, c[2].vertexIndex}, {}, false};
    const std::int64_t least = wanted.key[0];
    const bool inBuckets = least >= 0 && std::uint64_t(least) < vertexCount;
    const auto bucketBegin = listed.begin() + (inBuckets ? bucket[std::size_t(least)] : 0);
    const auto bucketEnd = inBuckets ? listed.begin() + bucket[std::size_t(least) + 1] : bucketBegin;
    auto [from, to] = std::equal_range(bucketBegin, bucketEnd, wanted, byKey);
    if (from != to) {
      std::size_t& left = firstLeft[std::size_t(from - listed.begin())];
      while (left < std::size_t(to - listed.begin()) && listed[left].taken) ++left;
      from = listed.begin() + std::ptrdiff_t(left);
    }
    if (from == to) {
      ++result.onlyInGl;
      continue;
    }
    auto match = std::find_if(from, to, [&](const Listed& entry) {
      if (entry.taken) return false;
      for (int k = 0; k < 3; ++k)
        if (!SamePlace(c[k], entry.places[k], m.header)) return false;
      return true;
    });
    if (match == to) {
      ++result.otherPlace;
      match = from;
    }
    match->taken = true;
    ++taken;
  }
  result.onlyInTriangles = std::int64_t(listed.size()) - taken;
  return result;
}

}  // namespace

void CheckGlCommands(const md2::Reading& r, Findings& out) {
  if (!r.glCommands.inFile) return;  // reported with the sections
  const md2::Model& m = r.model;
  const md2::GlCommandList list = md2::DecodeGlCommands(m.glCommands);
  if (m.glCommands.empty() || list.commands.empty()) {
    Report(out, r.path, "gl-commands", kGlList, true,
           "the GL command list is empty: the GL renderers draw nothing",
           "export the model again (vexo export)");
    return;
  }
  if (!list.problem.empty() || !list.terminated)
    Report(out, r.path, "gl-commands", kGlList, true,
           "the GL command list " +
               (list.problem.empty() ? "has no closing 0" : list.problem) +
               ": the GL renderer reads past it",
           "export the model again (vexo export)");
  std::int64_t badIndex = 0;
  for (const md2::GlCommand& command : list.commands)
    for (const Md2GlVertex& v : command.vertices)
      if (v.vertexIndex < 0 || v.vertexIndex >= m.header.numVertices) ++badIndex;
  if (badIndex)
    Report(out, r.path, "gl-commands", kGlList, true,
           to_string(badIndex) + " GL command vertices name a vertex past the model's " +
               to_string(m.header.numVertices) + ": the GL renderer reads outside the frame",
           "export the model again (vexo export)");

  if (!r.triangles.inFile) return;
  const Comparison c = Compare(m, md2::TrianglesOf(list.commands));
  if (c.onlyInTriangles || c.onlyInGl)
    Report(out, r.path, "gl-triangles", EngineSet::Games(), false,
           "the GL command list and the triangle list differ (" + to_string(c.onlyInTriangles) +
               " triangles only in the triangle list, " + to_string(c.onlyInGl) +
               " only in the GL commands): the GL renderers draw another model than the rest",
           "export the model again (vexo export)");
  if (c.otherPlace)
    Report(out, r.path, "gl-triangles", EngineSet::Games(), false,
           to_string(c.otherPlace) +
               " triangles take another part of the skin in the GL command list than in the "
               "triangle list: the GL renderers texture them differently",
           "export the model again (vexo export)");
}

}  // namespace vexo::check
