// A contact sheet: square pictures laid out in rows, each under a band with
// its label, and a title line over them all.
#pragma once

#include <string>
#include <vector>

#include "standalone/pictures/picture.h"
#include "standalone/render/raster.h"

namespace vexo::render {

// Behind what is drawn in every picture of a sheet or an animation.
inline constexpr Rgb kBackground = {48, 56, 64};

struct SheetCell {
  RgbImage picture;  // square, every cell the same size
  std::string label;
};

// `columns` cells to a row (at least one), in order. The sheet is as wide
// as its rows of cells; a longer title or label is cut off.
RgbImage ContactSheet(const std::string& title, const std::vector<SheetCell>& cells, int columns);

}  // namespace vexo::render
