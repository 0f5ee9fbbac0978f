#include "standalone/import/skin_fit.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

#include "errors/error_record.h"
#include "standalone/pictures/picture_scaling.h"
#include "texture/skin/place_textures.h"
#include "texture/skin/skin_layout.h"
#include "texture/skin/skin_texture.h"

namespace vexo {
namespace {

// What the plug-in reserves for one side: trunc(size x range), 0 unless a
// finite value below 2^31.
long long Span(int side, float high, float low) {
  const double span = std::trunc(side * (static_cast<double>(high) - static_cast<double>(low)));
  return span > 0.0 && span < 2147483648.0 ? static_cast<long long>(span) : 0;
}

// The plug-in's collection order: first occurrence, then a selection sort
// by name ignoring case, in which of equal names the earlier stays first.
std::vector<std::size_t> PluginOrder(const std::vector<std::string>& names) {
  std::vector<std::size_t> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    std::size_t lowest = i;
    for (std::size_t j = i + 1; j < order.size(); ++j) {
      if (strcasecmp(names[order[j]].c_str(), names[order[lowest]].c_str()) < 0) lowest = j;
    }
    std::swap(order[i], order[lowest]);
  }
  return order;
}

std::string Size(long long w, long long h) { return std::to_string(w) + " x " + std::to_string(h); }

std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

void SizeAtCap(const FitPicture& picture, int maxSide, int& width, int& height) {
  if (picture.scalable) {
    FittedSize(picture.width, picture.height, maxSide, width, height);
  } else {
    width = picture.width;
    height = picture.height;
  }
}

SkinLayout LayOutSkin(const std::vector<FitPicture>& pictures, int maxSide) {
  SkinLayout layout;
  layout.maxSide = maxSide;
  const std::size_t count = pictures.size();
  layout.widths.resize(count);
  layout.heights.resize(count);
  layout.regionWidths.assign(count, 0);
  layout.regionHeights.assign(count, 0);
  std::vector<std::string> names(count);
  for (std::size_t i = 0; i < count; ++i) {
    SizeAtCap(pictures[i], maxSide, layout.widths[i], layout.heights[i]);
    names[i] = pictures[i].nameAt(layout.widths[i], layout.heights[i]);
  }
  const std::vector<std::size_t> order = PluginOrder(names);

  // The plug-in's own records and steps, with sizes instead of pictures.
  std::unique_ptr<SkinTexture[]> textures(new SkinTexture[count]);
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = order[k];
    const FitPicture& picture = pictures[i];
    SkinTexture& t = textures[k];
    t.fileName.set(names[i].c_str());
    t.image.info.width = layout.widths[i];
    t.image.info.height = layout.heights[i];
    t.uMin = picture.uMin;
    t.uMax = picture.uMax;
    t.vMin = picture.vMin;
    t.vMax = picture.vMax;
    t.state() = picture.used ? 0u : kTextureUseMask;
  }
  const auto total = static_cast<std::int32_t>(count);
  SizeTexturesFromRanges(textures.get(), total);
  ErrorRecord errors;
  PlaceTextures(textures.get(), total, 0, kSkinAreaSide, kSkinAreaSide, errors);
  std::int32_t skinWidth = 0, skinHeight = 0;
  layout.fits = FindUnplacedUsedTexture(textures.get(), total) < 0 &&
                MeasureSkin(textures.get(), total, &skinWidth, &skinHeight);
  layout.skinWidth = skinWidth;
  layout.skinHeight = skinHeight;
  for (std::size_t k = 0; k < count; ++k) {
    layout.regionWidths[order[k]] = textures[k].width;
    layout.regionHeights[order[k]] = textures[k].height;
  }
  return layout;
}

int LargestFittingSide(const std::vector<FitPicture>& pictures, int limit) {
  for (int side = limit; side >= 1; --side) {
    // A region wider than the area never fits; skipped without packing.
    bool hopeless = false;
    for (const FitPicture& p : pictures) {
      int w = 0, h = 0;
      SizeAtCap(p, side, w, h);
      hopeless = hopeless || (p.used && (Span(w, p.uMax, p.uMin) > kSkinAreaSide ||
                                         Span(h, p.vMax, p.vMin) > kSkinAreaSide));
    }
    if (!hopeless && LayOutSkin(pictures, side).fits) return side;
  }
  return 0;
}

std::string WhyNoSizeFits(const std::vector<FitPicture>& pictures) {
  for (const FitPicture& p : pictures) {
    if (!p.used) continue;
    for (int axis = 0; axis < 2; ++axis) {
      const float low = axis ? p.vMin : p.uMin, high = axis ? p.vMax : p.uMax;
      const int side = axis ? p.height : p.width;
      const char* name = axis ? "v" : "u";
      if (Span(side, high, low) <= 0) {
        if (!(high > low)) {
          return "every face corner that shows " + p.label + " has the same " + name +
                 " texture coordinate (" + Number(low) +
                 "), so it would take no room in the skin: its faces are not mapped onto it";
        }
        return "the faces that show " + p.label + " use less than one pixel of its " +
               Size(p.width, p.height) + " pixels across " + name;
      }
      int w = 1, h = 1;
      if (!p.scalable) w = p.width, h = p.height;
      const long long least = Span(axis ? h : w, high, low);
      if (least > kSkinAreaSide) {
        return p.label + " repeats " + std::to_string(static_cast<long long>(high - low)) +
               " times across its faces (" + name + " from " + Number(low) + " to " +
               Number(high) + "): even at " + Size(w, h) + " pixels it needs " +
               std::to_string(least) + ", more than the " + std::to_string(kSkinAreaSide) +
               "-pixel skin area";
      }
    }
  }
  return "the " + std::to_string(pictures.size()) + " pictures do not fit the " +
         Size(kSkinAreaSide, kSkinAreaSide) + " skin area together at any size";
}

}  // namespace vexo
