#include "base/decimal_number.h"

#include <cstdlib>
#include <string>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Moves past the digits at *p; true when there was at least one.
bool SkipDigits(const char** p) {
  const char* start = *p;
  while (IsDigit(**p)) ++*p;
  return *p != start;
}

}  // namespace

bool ReadDecimalNumber(const char* text, double* value) {
  if (!text) return false;
  const char* p = text;
  while (*p == ' ') ++p;
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  bool digits = SkipDigits(&p);
  if (*p == '.') {
    ++p;
    digits = SkipDigits(&p) || digits;
  }
  if (!digits) return false;
  if (*p == 'e' || *p == 'E') {
    ++p;
    if (*p == '+' || *p == '-') ++p;
    if (!SkipDigits(&p)) return false;
  }
  const char* end = p;
  while (*p == ' ') ++p;
  if (*p != '\0') return false;
  // strtod reads exactly the checked text, which holds nothing but a
  // decimal number.
  *value = std::strtod(std::string(start, end).c_str(), nullptr);
  return true;
}
