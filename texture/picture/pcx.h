// 8-bit PCX: the writer of the game's skins and its run-length coding of
// rows. A run of 2 to 63 equal bytes, or one byte of 0xC0 or more, is
// written as the pair (0xC0 | length, value); any other single byte stands
// for itself.
#pragma once

#include <cstdint>
#include <string>

#include "base/little_endian_file.h"

// The colours of a PCX file's trailing 256-colour palette: red, green, blue.
using PcxPalette = std::uint8_t[256][3];

// Writes one run; returns the bytes written (0, 1 or 2), 0 for length 0 or
// a write error. length is 0 to 63.
int PutPcxRun(std::uint8_t value, int length, LittleEndianWriter& out);

// Writes one row on its own (runs never cross its end); returns the bytes
// written, 0 on a write error.
int EncodePcxRow(const std::uint8_t* row, int length, LittleEndianWriter& out);

// Writes an 8-bit, run-length coded, one-plane PCX of width x height
// palette indices (rows of `width` bytes, top row first), followed by the
// marker 12 and the palette. Sides up to 65535; an empty picture gets
// x and y maxima of 0xFFFF. Whole or nothing: 1 when the file was written,
// else 0 with no file left (and an earlier file of the name untouched).
int WritePcx8(const std::string& path, const std::uint8_t* indices, std::int32_t width,
              std::int32_t height, const PcxPalette& palette);
