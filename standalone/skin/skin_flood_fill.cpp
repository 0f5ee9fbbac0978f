#include "standalone/skin/skin_flood_fill.h"

namespace vexo::skin {
namespace {

// The renderer's queue: a ring of 4096 positions that silently overwrites
// itself when a fill grows past it (FLOODFILL_FIFO_SIZE in gl_image.c).
constexpr int kQueueSize = 0x1000;
constexpr int kQueueMask = kQueueSize - 1;

// The index the renderer fills with: the first opaque black of its palette,
// which its test never finds, so always 0.
constexpr std::uint8_t kFilledColour = 0;
// The transparent index, which the fill also uses to mark queued pixels.
constexpr std::uint8_t kTransparent = 255;

struct Position {
  int x, y;
};

}  // namespace

std::vector<std::uint8_t> FloodFilledSkin(std::vector<std::uint8_t> skin, int width, int height) {
  if (width <= 0 || height <= 0 || skin.size() < std::size_t(width) * height) return skin;
  const std::uint8_t fillColour = skin[0];
  if (fillColour == kFilledColour || fillColour == kTransparent) return skin;

  std::vector<Position> queue(kQueueSize);
  int in = 0, out = 0;
  queue[in] = {0, 0};
  in = (in + 1) & kQueueMask;
  while (out != in) {
    const Position p = queue[out];
    out = (out + 1) & kQueueMask;
    std::uint8_t colour = kFilledColour;
    const std::size_t at = std::size_t(p.y) * width + p.x;
    auto step = [&](std::size_t neighbour, int dx, int dy) {
      if (skin[neighbour] == fillColour) {
        skin[neighbour] = kTransparent;
        queue[in] = {p.x + dx, p.y + dy};
        in = (in + 1) & kQueueMask;
      } else if (skin[neighbour] != kTransparent) {
        colour = skin[neighbour];
      }
    };
    if (p.x > 0) step(at - 1, -1, 0);
    if (p.x < width - 1) step(at + 1, 1, 0);
    if (p.y > 0) step(at - width, 0, -1);
    if (p.y < height - 1) step(at + width, 0, 1);
    skin[at] = colour;
  }
  return skin;
}

}  // namespace vexo::skin
