#include "texture/skin/place_textures.h"

#include <cstdint>
#include <new>

namespace {

// A free part of the placement area.
struct FreeRect {
  std::int32_t x, y, width, height;
};

std::int64_t Area(std::int64_t width, std::int64_t height) { return width * height; }

bool Waiting(const SkinTexture& t) {
  return (t.state() & (kTexturePlaced | kTextureDidNotFit)) == 0;
}

// The waiting texture of largest area; the first of equal ones. Textures
// without a positive width and height are never placed.
SkinTexture* LargestWaiting(SkinTexture* textures, std::int32_t count) {
  SkinTexture* chosen = nullptr;
  std::int64_t chosenArea = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    SkinTexture& t = textures[i];
    if (!Waiting(t) || t.width <= 0 || t.height <= 0) continue;
    const std::int64_t area = Area(t.width, t.height);
    if (area > chosenArea) {
      chosen = &t;
      chosenArea = area;
    }
  }
  return chosen;
}

// The smallest free rectangle that holds width x height; the first of equal
// ones; null when none does.
FreeRect* SmallestHolding(FreeRect* rects, std::int32_t count, std::int32_t width,
                          std::int32_t height) {
  FreeRect* chosen = nullptr;
  std::int64_t chosenArea = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    FreeRect& r = rects[i];
    if (r.width < width || r.height < height) continue;
    const std::int64_t area = Area(r.width, r.height);
    if (!chosen || area < chosenArea) {
      chosen = &r;
      chosenArea = area;
    }
  }
  return chosen;
}

// Cuts the rest of rect around a width x height piece taken from its top
// left corner: rect keeps the part to the right, the part below is
// returned. The cut that leaves one clearly largest piece is taken;
// otherwise (ties included) the horizontal one.
FreeRect Split(FreeRect& rect, std::int32_t width, std::int32_t height) {
  const std::int64_t rw = rect.width, rh = rect.height, tw = width, th = height;
  const std::int64_t rightTall = (rw - tw) * rh;    // vertical cut
  const std::int64_t belowNarrow = tw * (rh - th);  // vertical cut
  const std::int64_t rightShort = (rw - tw) * th;   // horizontal cut
  const std::int64_t belowWide = rw * (rh - th);    // horizontal cut
  const bool vertical = (rightTall > rightShort && rightTall > belowWide) ||
                        (belowNarrow > rightShort && belowNarrow > belowWide);
  FreeRect below{rect.x, rect.y + height, vertical ? width : rect.width, rect.height - height};
  rect.x += width;
  rect.width -= width;
  if (!vertical) rect.height = height;
  return below;
}

}  // namespace

int PlaceTextures(SkinTexture* textures, std::int32_t textureCount, int page, int areaWidth,
                  int areaHeight, ErrorRecord& errors) {
  std::int32_t waiting = 0;
  for (std::int32_t i = 0; i < textureCount; ++i) {
    if (!(textures[i].state() & kTexturePlaced)) ++waiting;
  }
  // Every placement adds one rectangle.
  FreeRect* rects = new (std::nothrow) FreeRect[static_cast<std::size_t>(waiting) + 1];
  if (!rects) {
    errors.RecordError(kPlacementNoMemory);
    return 0;
  }
  std::int32_t rectCount = 1;
  rects[0] = FreeRect{0, 0, areaWidth, areaHeight};

  for (std::int32_t pass = 0; pass < textureCount; ++pass) {
    SkinTexture* t = LargestWaiting(textures, textureCount);
    if (!t) break;
    FreeRect* rect = SmallestHolding(rects, rectCount, t->width, t->height);
    if (!rect) {
      t->state() |= kTextureDidNotFit;
      continue;
    }
    t->x = rect->x;
    t->y = rect->y;
    t->state() = (t->state() & ~std::uint32_t{kTextureUseMask}) | kTexturePlaced |
                 (static_cast<std::uint32_t>(page) & kTextureUseMask);
    rects[rectCount++] = Split(*rect, t->width, t->height);
  }

  delete[] rects;
  for (std::int32_t i = 0; i < textureCount; ++i) textures[i].state() &= ~std::uint32_t{kTextureDidNotFit};
  return 1;
}
