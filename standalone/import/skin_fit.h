// Whether the pictures of an export fit the plug-in's skin, found with the
// plug-in's own placement: the same collection order, sizes, packing and
// skin size it will compute. The size the plug-in reserves for a picture
// is the picture's size times the range of texture coordinates its faces
// use, so a picture repeated six times across its faces needs six times
// its width.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vexo {

// The side of the square skin area that all pictures of a model share.
inline constexpr int kSkinAreaSide = 480;

struct FitPicture {
  std::string label;        // how messages name it
  int width = 0;            // its full size
  int height = 0;
  bool scalable = true;     // a texture of the scene; generated pictures keep their size
  bool used = false;        // some exported face shows it
  // The range of the texture coordinates of those faces, as the plug-in
  // reads them.
  float uMin = 0, uMax = 0, vMin = 0, vMax = 0;
  // The file name the plug-in will be given at a size: the plug-in orders
  // its textures by name, which settles ties in the packing.
  std::function<std::string(int width, int height)> nameAt;
};

struct SkinLayout {
  bool fits = false;
  int maxSide = 0;  // the cap this layout was made with (0: full size)
  // Per picture: its size at the cap, and the size of its region in the skin.
  std::vector<int> widths, heights;
  std::vector<int> regionWidths, regionHeights;
  int skinWidth = 0;
  int skinHeight = 0;
};

// A picture's size when its longer side may not exceed maxSide (0: any).
void SizeAtCap(const FitPicture& picture, int maxSide, int& width, int& height);

// The pictures in the given order (the order in which the plug-in meets
// them), scalable ones scaled to at most maxSide a side (0: full size),
// laid out as the plug-in lays them out.
SkinLayout LayOutSkin(const std::vector<FitPicture>& pictures, int maxSide);

// The largest cap up to limit at which the pictures fit; 0 when none does.
int LargestFittingSide(const std::vector<FitPicture>& pictures, int limit);

// Why no cap makes the pictures fit, for the user: the picture whose faces
// span less than a pixel, or repeat it more often than the skin is wide,
// or that they are too many.
std::string WhyNoSizeFits(const std::vector<FitPicture>& pictures);

}  // namespace vexo
