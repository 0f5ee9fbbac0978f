// Text on pictures, for the labels of contact sheets: stb_easy_font's small
// built-in font (ASCII, about 6 x 7 pixels a character), drawn pixel for
// pixel, so labels need no font file and always come out the same.
#pragma once

#include <string>

#include "standalone/pictures/picture.h"
#include "standalone/render/raster.h"

namespace vexo::render {

// Height in pixels of one line of text, descenders included.
inline constexpr int kTextHeight = 10;

// Width in pixels of the text on one line.
int TextWidth(const std::string& text);

// Draws the text with its top-left corner at (x, y); what falls outside
// the picture, or past maxWidth pixels from x, is cut off. Characters
// outside printable ASCII are drawn as "?".
void DrawText(RgbImage& picture, int x, int y, const std::string& text, Rgb colour, int maxWidth);

}  // namespace vexo::render
