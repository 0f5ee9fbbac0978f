#include "standalone/render/label_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_easy_font.h>
#pragma GCC diagnostic pop

namespace vexo::render {
namespace {

// The font draws printable ASCII only.
std::vector<char> Printable(const std::string& text) {
  std::vector<char> chars;
  for (const char c : text) chars.push_back(c >= 32 && c < 127 ? c : '?');
  chars.push_back('\0');
  return chars;
}

// stb_easy_font's vertex: x, y, z and a colour, four to a quad.
struct FontVertex {
  float x, y, z;
  unsigned char colour[4];
};
static_assert(sizeof(FontVertex) == 16, "stb_easy_font writes 16-byte vertices");

}  // namespace

int TextWidth(const std::string& text) {
  std::vector<char> chars = Printable(text);
  return stb_easy_font_width(chars.data());
}

void DrawText(RgbImage& picture, int x, int y, const std::string& text, Rgb colour, int maxWidth) {
  std::vector<char> chars = Printable(text);
  // About 270 bytes a character, by the font's own estimate; twice that.
  std::vector<FontVertex> quads(chars.size() * 36 + 64);
  const int count = stb_easy_font_print(float(x), float(y), chars.data(), nullptr, quads.data(),
                                        int(quads.size() * sizeof(FontVertex)));
  const int right = std::min(picture.width, x + maxWidth);
  for (int q = 0; q < count; ++q) {
    const FontVertex* v = &quads[std::size_t(q) * 4];
    // Each quad is an upright rectangle from its first to its third corner.
    const int x0 = std::max(0, int(std::lround(v[0].x)));
    const int y0 = std::max(0, int(std::lround(v[0].y)));
    const int x1 = std::min(right, int(std::lround(v[2].x)));
    const int y1 = std::min(picture.height, int(std::lround(v[2].y)));
    for (int py = y0; py < y1; ++py)
      for (int px = x0; px < x1; ++px)
        std::copy(colour.begin(), colour.end(),
                  picture.pixels.begin() + (std::size_t(py) * picture.width + px) * 3);
  }
}

}  // namespace vexo::render
