#include "standalone/finish/gl_strips.h"

#include <meshoptimizer.h>

#include <cstring>
#include <array>
#include <map>
#include <stdexcept>
#include <tuple>

#include "standalone/md2/gl_command_list.h"

namespace vexo::finish {
namespace {

// A corner as the GL renderer sends it: the vertex and its place in the
// skin, compared bit for bit.
using CornerKey = std::tuple<std::int32_t, std::uint32_t, std::uint32_t>;
CornerKey KeyOf(const Md2GlVertex& v) {
  std::uint32_t s, t;
  std::memcpy(&s, &v.s, 4);
  std::memcpy(&t, &v.t, 4);
  return {v.vertexIndex, s, t};
}

bool SameCorner(const Md2GlVertex& a, const Md2GlVertex& b) { return KeyOf(a) == KeyOf(b); }

constexpr unsigned kRestart = ~0u;
using Triangle = std::array<unsigned, 3>;

// The triangles of the stripifier's strips, in order and with their
// windings. It repeats a corner to turn a strip's winding; those triangles
// have no area and are left out.
std::vector<Triangle> TrianglesInOrder(const std::vector<unsigned>& strip) {
  std::vector<Triangle> triangles;
  std::size_t begin = 0;
  for (std::size_t i = 0; i + 2 < strip.size(); ++i) {
    if (strip[i] == kRestart) begin = i + 1;
    if (strip[i] == kRestart || strip[i + 1] == kRestart || strip[i + 2] == kRestart) continue;
    const Triangle t = (i - begin) % 2 == 0 ? Triangle{strip[i], strip[i + 1], strip[i + 2]}
                                            : Triangle{strip[i + 1], strip[i], strip[i + 2]};
    if (t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) triangles.push_back(t);
  }
  return triangles;
}

bool SameTriangle(const Triangle& a, const Triangle& b) {
  for (int r = 0; r < 3; ++r)
    if (a[0] == b[r] && a[1] == b[(r + 1) % 3] && a[2] == b[(r + 2) % 3]) return true;
  return false;
}

// Adds the triangle to the strip when it is the one the strip's next vertex
// would make, winding included (triangle n - 2 of a strip of n vertices).
bool Extend(std::vector<unsigned>& strip, const Triangle& t) {
  const std::size_t n = strip.size();
  for (unsigned x : t) {
    const Triangle next = n % 2 == 0 ? Triangle{strip[n - 2], strip[n - 1], x}
                                     : Triangle{strip[n - 1], strip[n - 2], x};
    if (SameTriangle(next, t)) {
      strip.push_back(x);
      return true;
    }
  }
  return false;
}

std::vector<std::vector<unsigned>> Strips(const std::vector<Triangle>& triangles) {
  std::vector<std::vector<unsigned>> strips;
  for (const Triangle& t : triangles)
    if (strips.empty() || !Extend(strips.back(), t)) strips.push_back({t[0], t[1], t[2]});
  return strips;
}

}  // namespace

StripReport RebuildGlStrips(md2::Model& model) {
  const md2::GlCommandList list = md2::DecodeGlCommands(model.glCommands);
  if (!list.problem.empty() || !list.terminated)
    throw std::runtime_error("its GL command list cannot be read: " +
                             (list.problem.empty() ? std::string("it has no closing 0")
                                                   : list.problem));
  StripReport report;
  report.commandsBefore = list.commands.size();
  report.wordsBefore = model.glCommands.size();

  // Number the distinct corners; the stripifier works on their numbers.
  std::map<CornerKey, unsigned> numbers;
  std::vector<Md2GlVertex> corners;
  std::vector<unsigned> indices;
  std::vector<md2::GlCommand> commands;
  for (const md2::GlTriangle& t : md2::TrianglesOf(list.commands)) {
    const Md2GlVertex* c = t.corners;
    if (SameCorner(c[0], c[1]) || SameCorner(c[1], c[2]) || SameCorner(c[0], c[2])) {
      commands.push_back({true, {c[0], c[1], c[2]}});
      continue;
    }
    for (int k = 0; k < 3; ++k) {
      const auto [at, added] = numbers.emplace(KeyOf(c[k]), unsigned(corners.size()));
      if (added) corners.push_back(c[k]);
      indices.push_back(at->second);
    }
  }

  if (!indices.empty()) {
    std::vector<unsigned> ordered(indices.size());
    meshopt_optimizeVertexCacheStrip(ordered.data(), indices.data(), indices.size(),
                                     corners.size());
    std::vector<unsigned> strip(meshopt_stripifyBound(ordered.size()));
    strip.resize(meshopt_stripify(strip.data(), ordered.data(), ordered.size(), corners.size(),
                                  kRestart));
    for (const std::vector<unsigned>& run : Strips(TrianglesInOrder(strip))) {
      md2::GlCommand command;
      for (unsigned number : run) command.vertices.push_back(corners[number]);
      commands.push_back(std::move(command));
    }
  }
  model.glCommands = md2::EncodeGlCommands(commands);
  report.commandsAfter = commands.size();
  report.wordsAfter = model.glCommands.size();
  return report;
}

}  // namespace vexo::finish
