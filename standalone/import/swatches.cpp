#include "standalone/import/swatches.h"

#include <algorithm>
#include <cmath>

namespace vexo {
namespace {

// A cell is kCell pixels a side; its faces keep one pixel from its edges.
constexpr int kCell = 4;

RgbImage Filled(int width, int height, const Rgb8& colour) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.pixels.reserve(static_cast<std::size_t>(width) * height * 3);
  for (int i = 0; i < width * height; ++i) image.pixels.insert(image.pixels.end(), colour.begin(), colour.end());
  return image;
}

}  // namespace

RgbImage SwatchPicture(const Rgb8& colour) { return Filled(kSwatchSide, kSwatchSide, colour); }

ColourCells MakeColourCells(std::vector<Rgb8> colours) {
  ColourCells cells;
  cells.colours = std::move(colours);
  const std::size_t n = std::max<std::size_t>(1, cells.colours.size());
  cells.columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
  cells.rows = static_cast<int>((n + cells.columns - 1) / cells.columns);
  return cells;
}

RgbImage ColourCells::Picture() const {
  RgbImage image = Filled(columns * kCell, rows * kCell, {0, 0, 0});
  for (std::size_t k = 0; k < colours.size(); ++k) {
    // Cell rows count from the bottom, as texture coordinate v does; the
    // picture's rows from the top.
    const int left = static_cast<int>(k % columns) * kCell;
    const int top = (rows - 1 - static_cast<int>(k / columns)) * kCell;
    for (int y = top; y < top + kCell; ++y) {
      for (int x = left; x < left + kCell; ++x) {
        std::copy(colours[k].begin(), colours[k].end(),
                  image.pixels.begin() + 3 * (static_cast<std::size_t>(y) * image.width + x));
      }
    }
  }
  return image;
}

std::array<UVVert, 3> ColourCells::Corners(std::size_t cell) const {
  const float width = static_cast<float>(columns * kCell), height = static_cast<float>(rows * kCell);
  const float left = static_cast<float>(cell % columns) * kCell;
  const float bottom = static_cast<float>(cell / columns) * kCell;
  const float near = 1, far = kCell - 1;
  return {UVVert{(left + near) / width, (bottom + near) / height, 0},
          UVVert{(left + far) / width, (bottom + near) / height, 0},
          UVVert{(left + near) / width, (bottom + far) / height, 0}};
}

void AssignMadeCoordinates(MeshData& mesh, const std::vector<bool>& swatch,
                           const std::vector<int>& cell, const ColourCells* cells) {
  const std::size_t faces = mesh.faces.size();
  if (mesh.textureVertices.empty()) {
    // One corner at (0, 0) for every face that keeps its coordinates.
    mesh.textureVertices.push_back(UVVert{0, 0, 0});
    mesh.textureFaces.assign(faces, TVFace{{0, 0, 0}});
  }
  std::uint32_t swatchCorners = 0;
  bool swatchAdded = false;
  std::vector<std::uint32_t> cellCorners(cells ? cells->colours.size() : 0, UINT32_MAX);
  for (std::size_t f = 0; f < faces; ++f) {
    std::uint32_t first = UINT32_MAX;
    if (swatch[f]) {
      if (!swatchAdded) {
        swatchCorners = mesh.AddTextureVertex(0, 0);
        mesh.AddTextureVertex(1, 0);
        mesh.AddTextureVertex(0, 1);
        swatchAdded = true;
      }
      first = swatchCorners;
    } else if (cells && cell[f] >= 0) {
      std::uint32_t& corners = cellCorners[static_cast<std::size_t>(cell[f])];
      if (corners == UINT32_MAX) {
        const auto uv = cells->Corners(static_cast<std::size_t>(cell[f]));
        corners = mesh.AddTextureVertex(uv[0].x, uv[0].y);
        mesh.AddTextureVertex(uv[1].x, uv[1].y);
        mesh.AddTextureVertex(uv[2].x, uv[2].y);
      }
      first = corners;
    }
    if (first != UINT32_MAX) mesh.textureFaces[f] = TVFace{{first, first + 1, first + 2}};
  }
}

}  // namespace vexo
