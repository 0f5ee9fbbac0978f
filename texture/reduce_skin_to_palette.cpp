#include <cstddef>
#include <cstdint>
#include <new>

#include "plugin/export_utility.h"
#include "texture/palette_search.h"

int ExportUtility::ReduceSkinToPalette() {
  delete[] skinIndices;
  skinIndices = nullptr;
  if (skinWidth < 0 || skinHeight < 0) return 0;
  const std::size_t pixelCount = static_cast<std::size_t>(skinWidth) * static_cast<std::size_t>(skinHeight);
  // At least one byte, so an empty skin still has a buffer to write from.
  skinIndices = new (std::nothrow) std::uint8_t[pixelCount ? pixelCount : 1];
  if (!skinIndices) return 0;
  if (pixelCount) {
    if (!skinRgb) return 0;
    ReducePixelsToPalette(skinRgb, pixelCount, skinIndices);
  }
  return 1;
}
