// Windows BMP: the reader is BitmapImage::LoadBmp; the writer is here.
#pragma once

#include <cstdint>
#include <string>

// Writes a 24-bit BMP of width x height pixels from rows of 3 * width bytes
// (blue, green, red), top row first; the file stores them bottom row first,
// each padded to 4 bytes. Whole or nothing: 1 when the file was written,
// else 0 with no file left (and an earlier file of the name untouched).
int WriteBmp24(const std::string& path, const std::uint8_t* bgrRows, std::int32_t width,
               std::int32_t height);
