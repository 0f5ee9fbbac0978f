#include "standalone/cli/printable_text.h"

#include <cstdint>
#include <cstdio>

namespace vexo::cli {
namespace {

void AppendHex(std::string& out, const char* format, unsigned value) {
  char escaped[12];
  std::snprintf(escaped, sizeof escaped, format, value);
  out += escaped;
}

// The length of the well-formed UTF-8 sequence at text[at] (2 to 4) and its
// code point; 0 when there is none.
int Utf8Sequence(std::string_view text, std::size_t at, std::uint32_t* codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  int length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - at < std::size_t(length)) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  std::uint32_t value = lead & (0xFF >> (length + 1));
  for (int i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  *codePoint = value;
  return length;
}

bool SteersTheTerminal(std::uint32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string PrintableText(std::string_view text, bool keepLineBreaks) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::uint8_t c = static_cast<std::uint8_t>(text[at]);
    if ((c >= 0x20 && c < 0x7F) || (c == '\n' && keepLineBreaks)) {
      out += static_cast<char>(c);
      ++at;
      continue;
    }
    std::uint32_t codePoint = 0;
    const int length = c >= 0x80 ? Utf8Sequence(text, at, &codePoint) : 0;
    if (length == 0) {
      AppendHex(out, "\\x%02X", c);
      ++at;
    } else if (SteersTheTerminal(codePoint)) {
      AppendHex(out, "\\u%04X", codePoint);
      at += std::size_t(length);
    } else {
      out.append(text.substr(at, std::size_t(length)));
      at += std::size_t(length);
    }
  }
  return out;
}

}  // namespace vexo::cli
