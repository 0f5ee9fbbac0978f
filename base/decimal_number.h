// Numbers typed as text, read as decimal numbers only.
#pragma once

// The whole text, with spaces around it, as one decimal number: an optional
// sign, digits with an optional fraction, an optional exponent ("1",
// "-0.5", ".5", "2.", "1e-3"). False for anything else, hexadecimal ("0x2"),
// "inf" and "nan" among them. *value is the nearest double: infinite when
// the number is too large for one, 0 when it is too small.
bool ReadDecimalNumber(const char* text, double* value);
