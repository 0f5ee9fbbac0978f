// Drawing models as the game's GL renderer draws them, checked by
// measurement: silhouettes against an independent projection of the
// triangle list, colours against the skin and the lighting table's own
// numbers, sizes against the model's extents.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

#include "standalone/md2/normal_directions.h"
#include "standalone/md2/read_md2.h"
#include "standalone/render/contact_sheet.h"
#include "standalone/render/model_drawing.h"
#include "standalone/render/skin_texture.h"
#include "tests/support/md2_model_builder.h"
#include "tests/support/scratch_folder.h"

namespace {

using namespace vexo::render;
using test_support::Md2Model;

// The model as the host reads it: written byte by byte, read back through
// the MD2 records.
vexo::md2::Model Load(const Md2Model& model, const std::string& name) {
  const std::string file = test_support::FreshFolder("render_" + name) + "/model.md2";
  test_support::WriteFileBytes(file, model.Build());
  return vexo::md2::LoadMd2(file);
}

Canvas Draw(const vexo::md2::Model& model, const std::string& view, const ViewFit& fit,
            const Texture* skin = nullptr, bool gameLighting = true) {
  Canvas canvas(fit.size, fit.size, kBackground);
  ModelDrawing(model).Draw(canvas, 0, *FindView(view), fit, skin, gameLighting);
  return canvas;
}

Rgb PixelAt(const Canvas& canvas, int x, int y) {
  const auto* p = &canvas.image().pixels[(std::size_t(y) * canvas.image().width + x) * 3];
  return {p[0], p[1], p[2]};
}

// Where a model point lands on the picture plane, as the views are
// documented: front shows +y to the right and z up, side shows -x to the
// right (the model faces left), top shows +y to the right and -x up.
std::array<double, 2> Documented(const std::string& view, const std::array<float, 3>& p) {
  if (view == "front") return {p[1], p[2]};
  if (view == "side") return {-p[0], p[2]};
  return {p[1], -p[0]};
}

TEST(RenderModel, SilhouetteCoversWhatTheTriangleListProjectsTo) {
  // Off the origin, so that a view turned the wrong way shows elsewhere.
  Md2Model sphere = test_support::Sphere(10, 20);
  sphere.frames[0].translate[0] = -95;
  sphere.frames[0].translate[2] = -145;
  const vexo::md2::Model model = Load(sphere, "silhouette");
  const auto& frame = model.frames[0];
  for (const std::string view : {"front", "side", "top"}) {
    const ViewFit fit{96, 0.3, 7, -11};  // off centre, to catch a sign
    const Canvas canvas = Draw(model, view, fit);
    // How far inside the projected triangles (either winding) each pixel
    // centre lies, in pixels; negative outside.
    std::vector<double> inside(96 * 96, -1e9);
    for (const auto& t : model.triangles) {
      std::array<double, 2> c[3];
      for (int k = 0; k < 3; ++k) {
        const auto q = Documented(view, frame.Position(t.vertexIndex[k]));
        c[k] = {96 / 2.0 + (q[0] - 7) * 0.3, 96 / 2.0 - (q[1] + 11) * 0.3};
      }
      const double area =
          (c[1][0] - c[0][0]) * (c[2][1] - c[0][1]) - (c[2][0] - c[0][0]) * (c[1][1] - c[0][1]);
      if (area == 0) continue;
      const int x0 = std::max(0, int(std::min({c[0][0], c[1][0], c[2][0]})) - 2);
      const int x1 = std::min(95, int(std::max({c[0][0], c[1][0], c[2][0]})) + 2);
      const int y0 = std::max(0, int(std::min({c[0][1], c[1][1], c[2][1]})) - 2);
      const int y1 = std::min(95, int(std::max({c[0][1], c[1][1], c[2][1]})) + 2);
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          double nearest = 1e9;
          for (int k = 0; k < 3; ++k) {
            const auto& a = c[k];
            const auto& b = c[(k + 1) % 3];
            const double side = ((b[0] - a[0]) * (y + 0.5 - a[1]) - (b[1] - a[1]) * (x + 0.5 - a[0])) /
                                std::hypot(b[0] - a[0], b[1] - a[1]);
            nearest = std::min(nearest, area > 0 ? side : -side);
          }
          inside[std::size_t(y) * 96 + x] = std::max(inside[std::size_t(y) * 96 + x], nearest);
        }
    }
    int covered = 0;
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 96; ++x) {
        const double depth = inside[std::size_t(y) * 96 + x];
        covered += canvas.Covered(x, y);
        if (depth > 1) {
          EXPECT_TRUE(canvas.Covered(x, y)) << view << " " << x << "," << y;
        } else if (depth < -1) {
          EXPECT_FALSE(canvas.Covered(x, y)) << view << " " << x << "," << y;
        }
      }
    // A disc of radius 125 * 0.3 pixels.
    EXPECT_NEAR(covered, 3.14159 * 37.5 * 37.5, 3.14159 * 2 * 37.5 * 1.5) << view;
  }
}

// A square facing the front, its skin spread over it: 4 x 4 texels, the
// left half (columns 0, 1) at `left`, the right half at 255, the top-left
// texel at `corner`.
struct Quad {
  vexo::md2::Model model;
  vexo::skin::PcxPicture skin;
};
Quad FrontQuad(std::uint8_t corner, std::uint8_t left, std::uint8_t normal, const std::string& name) {
  Md2Model m;
  m.skinWidth = m.skinHeight = 4;
  Md2Model::Frame frame;
  frame.name = "quad1";
  for (float& t : frame.translate) t = -125;
  // Top-left, top-right, bottom-right, bottom-left as the front view shows
  // them (+y right, z up), on the plane x = 125.
  frame.vertices = {{250, 0, 250, normal}, {250, 250, 250, normal}, {250, 250, 0, normal},
                    {250, 0, 0, normal}};
  m.frames.push_back(frame);
  m.texCoords = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  m.triangles = {{{0, 1, 2}, {0, 1, 2}}, {{0, 2, 3}, {0, 2, 3}}};  // clockwise seen from the front
  Quad quad{Load(m, name), {}};
  quad.skin = vexo::skin::MakePcx(4, 4, test_support::GreyPalette(), 255);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) quad.skin.At(x, y) = left;
  quad.skin.At(0, 0) = corner;
  return quad;
}

TEST(RenderModel, SkinColoursHolesAndTheFloodFillShowAsTheGlRendererMakesThem) {
  const ViewFit fit{64, 0.2, 0, 0};  // the quad spans pixels 7 to 57
  const auto palette = test_support::GreyPalette();
  const Rgb grey7 = {7, 7, 7}, red255 = {palette[765], palette[766], palette[767]};

  // Texel (1, 1) at full light (normal 0: row 8 holds 1.97) shows its
  // colour; the texels at 255 are holes; plain draws them.
  Quad quad = FrontQuad(0, 7, 0, "colour");
  const Texture game = EightBitSkin(quad.skin, true), plain = EightBitSkin(quad.skin, false);
  const Canvas lit = Draw(quad.model, "front", fit, &game);
  EXPECT_EQ(PixelAt(lit, 23, 29), grey7);
  EXPECT_EQ(PixelAt(lit, 44, 30), kBackground);
  EXPECT_FALSE(lit.Covered(44, 30));
  EXPECT_EQ(PixelAt(Draw(quad.model, "front", fit, &plain, false), 44, 30), red255);

  // With index 7 at the top-left, the flood fill turns the left half black.
  quad = FrontQuad(7, 7, 0, "fill");
  const Texture filled = EightBitSkin(quad.skin, true), unfilled = EightBitSkin(quad.skin, false);
  EXPECT_EQ(PixelAt(Draw(quad.model, "front", fit, &filled), 23, 29), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(Draw(quad.model, "front", fit, &unfilled, false), 23, 29), grey7);

  // Seen from behind, the quad is culled as the game culls back faces.
  EXPECT_FALSE(Draw(quad.model, "back", fit, &filled).Covered(32, 32));
}

TEST(RenderModel, LightComesFromTheNormalBytesThroughTheViewsRowOfTheTable) {
  const ViewFit fit{96, 0.3, 0, 0};
  // Normal 40 in row 8 (the front view's yaw of 180 degrees) is 0.83.
  const Quad dim = FrontQuad(0, 7, 40, "dim");
  EXPECT_EQ(PixelAt(Draw(dim.model, "front", fit), 48, 48)[0], std::lround(176 * 0.83));

  // All normals 0: one light level in each view. Normals of the sphere's
  // own directions: several.
  Md2Model sphere = test_support::Sphere(10, 20);
  const vexo::md2::Model flat = Load(sphere, "flat");
  for (auto& v : sphere.frames[0].vertices) {
    const double d[3] = {v.x - 125.0, v.y - 125.0, v.z - 125.0};
    double best = -2;
    for (int n = 0; n < vexo::md2::kNormalCount; ++n) {
      const float* e = vexo::md2::kNormalDirections[n];
      const double dot = (d[0] * e[0] + d[1] * e[1] + d[2] * e[2]) / std::hypot(d[0], d[1], d[2]);
      if (dot > best) best = dot, v.normal = std::uint8_t(n);
    }
  }
  const vexo::md2::Model shaded = Load(sphere, "shaded");
  for (const std::string view : {"front", "side", "back", "three-quarter"}) {
    std::set<Rgb> flatLevels, shadedLevels;
    const Canvas a = Draw(flat, view, fit), b = Draw(shaded, view, fit);
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 96; ++x) {
        if (a.Covered(x, y)) flatLevels.insert(PixelAt(a, x, y));
        if (b.Covered(x, y)) shadedLevels.insert(PixelAt(b, x, y));
      }
    EXPECT_EQ(flatLevels.size(), 1u) << view;
    EXPECT_GE(shadedLevels.size(), 6u) << view;
  }
}

TEST(RenderModel, FrontAndSideOfAnUprightModelAreAsWideAsItsExtents) {
  // A box 40 deep (x), 120 wide (y) and 200 tall (z).
  Md2Model box = test_support::Box();
  for (auto& v : box.frames[0].vertices) {
    v.x = v.x ? 40 : 0;
    v.y = v.y ? 120 : 0;
    v.z = v.z ? 200 : 0;
  }
  const vexo::md2::Model model = Load(box, "extents");
  const std::vector<View> views = {*FindView("front"), *FindView("side")};
  const std::vector<ViewFit> fits = FitViews(views, model.frames[0].Positions(), 128);
  std::array<int, 2> width{}, height{};
  for (int i = 0; i < 2; ++i) {
    const Canvas canvas = Draw(model, views[i].name, fits[i]);
    int x0 = 128, x1 = -1, y0 = 128, y1 = -1;
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x)
        if (canvas.Covered(x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    width[i] = x1 - x0 + 1;
    height[i] = y1 - y0 + 1;
  }
  // One scale for both views, the tallest extent filling the picture but
  // for its margins.
  const double scale = double(height[0]) / 200;
  EXPECT_NEAR(height[0], 128 * 0.88, 1.5);
  EXPECT_EQ(height[0], height[1]);
  EXPECT_NEAR(width[0], 120 * scale, 1.5);
  EXPECT_NEAR(width[1], 40 * scale, 1.5);
}

}  // namespace
