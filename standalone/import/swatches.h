// Pictures that vexo makes for faces that have no picture of their own: a
// swatch of one colour, and a bake of many colours into cells.
//
// The plug-in reserves for a picture the range of texture coordinates its
// faces span, so a swatch's faces span it whole: every face gets the
// corners (0, 0), (1, 0) and (0, 1). In a bake each face lies inside the
// cell of its colour, on the cell's inner texels, so that no face reaches
// into a neighbouring cell even where a renderer blends texels.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "standalone/import/material_colours.h"
#include "standalone/memory_scene.h"
#include "standalone/pictures/picture.h"

namespace vexo {

// A swatch is this many pixels a side.
inline constexpr int kSwatchSide = 8;
// The most colours a bake holds; a node with more gets a swatch of their
// average.
inline constexpr std::size_t kMostBakedColours = 1024;

RgbImage SwatchPicture(const Rgb8& colour);

// The cells of a bake: one per distinct colour, in a grid.
struct ColourCells {
  std::vector<Rgb8> colours;
  int columns = 0;
  int rows = 0;
  RgbImage Picture() const;
  // The texture coordinates of the three corners of a face in cell k.
  std::array<UVVert, 3> Corners(std::size_t cell) const;
};
ColourCells MakeColourCells(std::vector<Rgb8> colours);

// The faces of a mesh get texture coordinates: those for which swatch[f]
// is set span a swatch, those with cell[f] >= 0 lie in that cell of cells.
// A mesh without texture coordinates gets them, (0, 0) for the others.
void AssignMadeCoordinates(MeshData& mesh, const std::vector<bool>& swatch,
                           const std::vector<int>& cell, const ColourCells* cells);

}  // namespace vexo
