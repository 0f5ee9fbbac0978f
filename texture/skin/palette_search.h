// The nearest SkinPalette entry of a colour: the entry at the smallest
// Euclidean distance in red, green and blue; of several equally near
// entries the one with the lowest index.
#pragma once

#include <cstddef>
#include <cstdint>

// Compares the colour with all 256 entries. The reference for the search
// below, kept for tests and benchmarks.
std::uint8_t NearestPaletteIndexByScan(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// Maps pixelCount pixels of 3 bytes (blue, green, red) to palette indices:
// the full scan's answer for every pixel, from a grid of candidate lists
// built for the colours the pixels meet.
void ReducePixelsToPalette(const std::uint8_t* bgr, std::size_t pixelCount,
                           std::uint8_t* indices);
void ReducePixelsToPaletteByScan(const std::uint8_t* bgr, std::size_t pixelCount,
                                 std::uint8_t* indices);
