// A small software rasterizer for the pictures vexo draws of models: filled
// triangles with a depth test, colours interpolated across each triangle
// and a texture sampled at the nearest texel, as the game's GL renderer
// draws an alias model. Coordinates snap to 1/16 pixel and edges follow
// the top-left rule, so two triangles that share an edge cover every pixel
// along it exactly once, and the same input always gives the same pixels.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "standalone/pictures/picture.h"

namespace vexo::render {

using Rgb = std::array<std::uint8_t, 3>;

// A texture as it is sampled: width x height texels of red, green, blue
// and alpha, top row first. Texels of alpha 0 are cut out (the alpha test).
struct Texture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// A corner on the canvas: x right and y down in pixels, depth growing away
// from the viewer; s and t across the texture (1 is its whole width or
// height, and it repeats); light multiplies the texel's colour.
struct RasterVertex {
  double x = 0, y = 0, depth = 0;
  double s = 0, t = 0;
  double light = 1;
};

class Canvas {
 public:
  Canvas(int width, int height, Rgb background);

  // Draws the triangle when its corners run clockwise on the canvas (the
  // game's front faces), or either way when cullBackFaces is false. A
  // pixel is covered when its centre lies inside; nearer or equal depth
  // wins. Without a texture the triangle is `colour` times the light.
  // Triangles with corners that are not finite numbers are skipped.
  void DrawTriangle(const RasterVertex (&corners)[3], const Texture* texture, Rgb colour,
                    bool cullBackFaces = true);

  // Whether anything was drawn at the pixel.
  bool Covered(int x, int y) const;

  const RgbImage& image() const { return image_; }
  RgbImage TakeImage() { return std::move(image_); }

 private:
  RgbImage image_;
  std::vector<double> depth_;
};

}  // namespace vexo::render
