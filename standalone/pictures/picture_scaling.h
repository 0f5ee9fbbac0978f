// Scaling pictures down: a box filter that takes the rows as a decoder
// delivers them, so that a large picture never needs its full size in
// memory, followed by an exact resize.
#pragma once

#include <cstdint>
#include <vector>

#include "standalone/pictures/picture.h"

namespace vexo {

// The size a width x height picture gets when neither side may exceed
// maxSide, keeping its proportions (each side at least one pixel); the
// same size when it fits or maxSide is 0.
void FittedSize(int width, int height, int maxSide, int& fittedWidth, int& fittedHeight);

// Takes the rows of a width x height picture, top row first, and makes a
// targetWidth x targetHeight picture of them (at most the picture's size).
// Whole blocks of rows and columns are averaged as the rows arrive; the
// rest of the way is an exact resize at the end.
class RowReducer {
 public:
  RowReducer(int width, int height, int targetWidth, int targetHeight);

  // One row of width RGB pixels; called height times.
  void AddRow(const std::uint8_t* rgb);
  RgbImage Finish();

 private:
  void FlushBlock();

  int width_, targetWidth_, targetHeight_;
  int factor_;               // rows and columns averaged into one pixel
  int rowsInBlock_ = 0;
  RgbImage reduced_;         // ceil(width / factor) x ceil(height / factor)
  std::vector<std::uint32_t> sums_;  // the block being summed
};

// The picture resized to exactly width x height (a copy when it has that
// size already).
RgbImage Resize(const RgbImage& image, int width, int height);

}  // namespace vexo
