// An MD2 model held in memory as its file says, for the host side: any
// model, ours or another tool's. The records are the plug-in's own
// (model/md2_format.h); sections are kept in the order the game reads them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/md2_format.h"

namespace vexo::md2 {

inline constexpr int kSkinNameSize = 64;

struct Frame {
  Md2FrameHeader header;
  std::vector<Md2Vertex> vertices;

  // The name up to its zero (at most 16 characters).
  std::string Name() const;
  // translate + scale * byte on each axis.
  std::array<float, 3> Position(std::size_t vertex) const;
  // Every vertex's position, in order.
  std::vector<std::array<float, 3>> Positions() const;
};

struct Model {
  Md2Header header{};
  std::vector<std::string> skinNames;  // each cut at its zero
  std::vector<Md2TexCoord> texCoords;
  std::vector<Md2Triangle> triangles;
  std::vector<Frame> frames;
  std::vector<std::int32_t> glCommands;  // the words as stored, the closing 0 included
  std::vector<std::uint8_t> trailer;     // the bytes behind ofsEnd
};

}  // namespace vexo::md2
