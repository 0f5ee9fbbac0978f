#include "texture/skin/skin_layout.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

// Whether a face's bitmap name names the texture. Release 2 keeps a face's
// name cut to its field, so a name that fills the field matches the
// texture whose name starts with it.
bool NamesTexture(const char* faceName, const char* textureName) {
  if (!faceName || !textureName) return false;
  if (std::strcmp(faceName, textureName) == 0) return true;
  if constexpr (release::kCopiesBitmapNames) {
    constexpr std::size_t kept = release::kCopiedFaceBitmapNameSize - 1;
    return std::strlen(faceName) == kept && std::strncmp(faceName, textureName, kept) == 0;
  }
  return false;
}

void Widen(SkinTexture& t, float u, float v) {
  if (u < t.uMin) t.uMin = u;
  if (u > t.uMax) t.uMax = u;
  if (v < t.vMin) t.vMin = v;
  if (v > t.vMax) t.vMax = v;
}

// trunc(side x (high - low)) in double precision; 0 unless it is a finite
// value below 2^31.
std::int32_t PixelSpan(std::int32_t side, float high, float low) {
  const double span = std::trunc(side * (static_cast<double>(high) - static_cast<double>(low)));
  if (!(span > 0.0 && span < 2147483648.0)) return 0;
  return static_cast<std::int32_t>(span);
}

// The sides in 1..kMaxImageSide whose span lies in 1..area, as
// [*from, *to] (empty when *from > *to). The span grows with the side, so
// both ends are found by halving.
void SidesWithSpan(float high, float low, std::int32_t area, std::int32_t* from,
                   std::int32_t* to) {
  const auto raw = [high, low](std::int32_t side) {
    return std::trunc(side * (static_cast<double>(high) - static_cast<double>(low)));
  };
  // Smallest side whose span reaches 1, and largest whose span stays within
  // the area; a range that is no positive finite number gives neither
  // (comparisons with NaN are false).
  std::int32_t lo = 1, hi = kMaxImageSide + 1;
  while (lo < hi) {
    const std::int32_t mid = lo + (hi - lo) / 2;
    if (raw(mid) >= 1.0) hi = mid; else lo = mid + 1;
  }
  *from = lo;
  lo = 0;
  hi = kMaxImageSide;
  while (lo < hi) {
    const std::int32_t mid = lo + (hi - lo + 1) / 2;
    if (raw(mid) <= area) lo = mid; else hi = mid - 1;
  }
  *to = lo;
}

// trunc(side x coordinate) modulo side, 0 for a coordinate that is not finite.
std::int32_t WrappedStart(std::int32_t side, float coordinate) {
  if (side <= 0 || !std::isfinite(coordinate)) return 0;
  double start = std::fmod(std::trunc(side * static_cast<double>(coordinate)), side);
  if (start < 0) start += side;
  return static_cast<std::int32_t>(start);
}

}  // namespace

void LinkFacesToTextures(SkinTexture* textures, std::int32_t textureCount, SampledFace* faces,
                         std::int32_t faceCount, SampledVertex* vertices,
                         std::int32_t vertexCount, int option) {
  for (std::int32_t f = 0; f < faceCount; ++f) {
    SampledFace& face = faces[f];
    for (std::int32_t t = 0; t < textureCount; ++t) {
      if (!NamesTexture(face.bitmapName.get(), textures[t].fileName.get())) continue;
      face.texture = &textures[t];
      for (const std::uint32_t corner : {face.a, face.b, face.c}) {
        if (vertices && corner < static_cast<std::uint32_t>(vertexCount)) {
          vertices[corner].texture = &textures[t];
        }
      }
      break;
    }
  }
  if (option != kLinkWithRanges) return;
  // Every used texture starts from a value inside its range.
  for (std::int32_t f = 0; f < faceCount; ++f) {
    SkinTexture* t = faces[f].texture;
    if (!t) continue;
    t->uMin = t->uMax = faces[f].u[0];
    t->vMin = t->vMax = faces[f].v[0];
  }
  for (std::int32_t f = 0; f < faceCount; ++f) {
    SkinTexture* t = faces[f].texture;
    if (!t) continue;
    for (int corner = 0; corner < 3; ++corner) Widen(*t, faces[f].u[corner], faces[f].v[corner]);
  }
}

SidesToDecode PlaceableSides(const SkinTexture& texture, std::int32_t area) {
  SidesToDecode sides;
  SidesWithSpan(texture.uMax, texture.uMin, area, &sides.widthFrom, &sides.widthTo);
  SidesWithSpan(texture.vMax, texture.vMin, area, &sides.heightFrom, &sides.heightTo);
  return sides;
}

void SizeTexturesFromRanges(SkinTexture* textures, std::int32_t textureCount) {
  for (std::int32_t i = 0; i < textureCount; ++i) {
    SkinTexture& t = textures[i];
    t.width = PixelSpan(t.image.Width(), t.uMax, t.uMin);
    t.height = PixelSpan(t.image.Height(), t.vMax, t.vMin);
  }
}

void MarkUsedTextures(SkinTexture* textures, std::int32_t textureCount, const SampledFace* faces,
                      std::int32_t faceCount) {
  for (std::int32_t i = 0; i < textureCount; ++i) textures[i].state() |= kTextureUseMask;
  for (std::int32_t f = 0; f < faceCount; ++f) {
    if (faces[f].texture) faces[f].texture->state() &= ~std::uint32_t{kTextureUseMask};
  }
}

std::int32_t FindUnplacedUsedTexture(const SkinTexture* textures, std::int32_t textureCount) {
  for (std::int32_t i = 0; i < textureCount; ++i) {
    const std::uint32_t state = textures[i].state();
    if (!(state & kTexturePlaced) && (state & kTextureUseMask) == 0) return i;
  }
  return -1;
}

int MeasureSkin(const SkinTexture* textures, std::int32_t textureCount, std::int32_t* skinWidth,
                std::int32_t* skinHeight) {
  std::int64_t width = 0;
  std::int64_t height = 0;
  for (std::int32_t i = 0; i < textureCount; ++i) {
    const std::int64_t right = static_cast<std::int64_t>(textures[i].x) + textures[i].width;
    const std::int64_t bottom = static_cast<std::int64_t>(textures[i].y) + textures[i].height;
    if (right > width) width = right;
    if (bottom > height) height = bottom;
  }
  width = (width + 3) & ~std::int64_t{3};
  if (width > INT32_MAX || height > INT32_MAX) return 0;
  *skinWidth = static_cast<std::int32_t>(width);
  *skinHeight = static_cast<std::int32_t>(height);
  return 1;
}

void TextureSourceCorner(const SkinTexture& texture, std::int32_t* left, std::int32_t* top) {
  *left = WrappedStart(texture.image.Width(), texture.uMin);
  *top = WrappedStart(texture.image.Height(), texture.vMin);
}
