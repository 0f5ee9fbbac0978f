#include "standalone/render/contact_sheet.h"

#include <algorithm>

#include "standalone/render/label_text.h"

namespace vexo::render {
namespace {

constexpr int kGap = 2;                      // between cells and around the sheet
constexpr int kBand = kTextHeight + 4;       // a label's band over its cell
constexpr Rgb kSheetColour = {24, 24, 28};   // the gaps and bands
constexpr Rgb kTextColour = {232, 232, 232};

void Paste(RgbImage& sheet, const RgbImage& picture, int left, int top) {
  for (int y = 0; y < picture.height && top + y < sheet.height; ++y) {
    const int width = std::min(picture.width, sheet.width - left);
    if (width <= 0) return;
    std::copy_n(picture.pixels.begin() + std::size_t(y) * picture.width * 3, std::size_t(width) * 3,
                sheet.pixels.begin() + (std::size_t(top + y) * sheet.width + left) * 3);
  }
}

}  // namespace

RgbImage ContactSheet(const std::string& title, const std::vector<SheetCell>& cells, int columns) {
  columns = std::max(1, std::min(columns, int(std::max<std::size_t>(1, cells.size()))));
  const int side = cells.empty() ? 0 : cells.front().picture.width;
  const int rows = int((cells.size() + columns - 1) / columns);
  const int cellWidth = side + kGap, cellHeight = kBand + side + kGap;
  RgbImage sheet;
  sheet.width = kGap + columns * cellWidth;
  sheet.height = kGap + kBand + rows * cellHeight;
  sheet.pixels.resize(std::size_t(sheet.width) * sheet.height * 3);
  for (std::size_t i = 0; i < sheet.pixels.size(); i += 3)
    std::copy(kSheetColour.begin(), kSheetColour.end(), sheet.pixels.begin() + i);

  DrawText(sheet, kGap, kGap + 2, title, kTextColour, sheet.width - 2 * kGap);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const int left = kGap + int(i % columns) * cellWidth;
    const int top = kGap + kBand + int(i / columns) * cellHeight;
    DrawText(sheet, left + 1, top + 2, cells[i].label, kTextColour, side - 1);
    Paste(sheet, cells[i].picture, left, top + kBand);
  }
  return sheet;
}

}  // namespace vexo::render
