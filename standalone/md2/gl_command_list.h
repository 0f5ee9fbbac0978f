// The GL command list: what the GL renderer draws from. Each command is a
// count (positive: a triangle strip, negative: a fan) and that many
// vertices of three words (s and t as fractions of the skin size, the
// vertex index); a count of 0 ends the list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/md2_format.h"

namespace vexo::md2 {

struct GlCommand {
  bool fan = false;
  std::vector<Md2GlVertex> vertices;
};

struct GlCommandList {
  std::vector<GlCommand> commands;
  bool terminated = false;  // a 0 count was found inside the words
  std::size_t wordsUsed = 0;  // up to and including the closing 0
  std::string problem;      // why decoding stopped early; "" when it did not
};

GlCommandList DecodeGlCommands(const std::vector<std::int32_t>& words);
// The words of the commands and the closing 0.
std::vector<std::int32_t> EncodeGlCommands(const std::vector<GlCommand>& commands);

// The triangles as OpenGL draws them: a strip's odd triangles with their
// first two corners swapped, so every triangle keeps the strip's winding; a
// fan's triangles around its first vertex.
struct GlTriangle {
  Md2GlVertex corners[3];
};
std::vector<GlTriangle> TrianglesOf(const std::vector<GlCommand>& commands);

}  // namespace vexo::md2
