// Text read from files (frame names, skin names, node and texture names)
// made safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace vexo::cli {

// The text with every byte that is not printable written as "\xHH" (control
// bytes, DEL, bytes that are not UTF-8) and every code point that steers
// the terminal or the text's direction as "\uHHHH" (C1 controls, line and
// paragraph separators, bidirectional overrides and isolates); printable
// ASCII and UTF-8 pass as they are. With keepLineBreaks, "\n" passes too,
// for texts whose lines are the command's own.
std::string PrintableText(std::string_view text, bool keepLineBreaks = false);

}  // namespace vexo::cli
