// Run-length coding of PCX rows: a run of 2 to 63 equal bytes, or one byte
// of 0xC0 or more, is written as the pair (0xC0 | length, value); any other
// single byte stands for itself.
#pragma once

#include <cstdint>

#include "base/little_endian_file.h"

// Writes one run; returns the bytes written (0, 1 or 2), 0 for length 0 or
// a write error. length is 0 to 63.
int PutPcxRun(std::uint8_t value, int length, LittleEndianWriter& out);

// Writes one row on its own (runs never cross its end); returns the bytes
// written, 0 on a write error.
int EncodePcxRow(const std::uint8_t* row, int length, LittleEndianWriter& out);
