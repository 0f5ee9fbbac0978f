#include "scene/export_context.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Copies text into a field of fieldSize bytes, cut to fit, always
// zero-terminated. A null text gives an empty field.
void CopyCut(char* field, std::size_t fieldSize, const char* text) {
  std::size_t n = 0;
  if (text) {
    while (n + 1 < fieldSize && text[n] != '\0') ++n;
    std::memcpy(field, text, n);
  }
  field[n] = '\0';
}

}  // namespace

ExportContext::ExportContext() : errorRecorded(0), nodes(nullptr), nodeCount(0) {
  errorText[0] = '\0';
  errorCaption[0] = '\0';
}

ExportContext::~ExportContext() {
  delete[] nodes;
  nodes = nullptr;
  nodeCount = 0;
}

void ExportContext::RecordError(const char* text, const char* caption) {
  if constexpr (!release::kRecordsErrors) {
    (void)text;
    (void)caption;
    return;
  } else {
    if (errorRecorded) return;
    CopyCut(errorText, sizeof errorText, text);
    CopyCut(errorCaption, sizeof errorCaption, caption);
    errorRecorded = 1;
  }
}

void ExportContext::RecordErrorFormat(const char* caption, const char* format, ...) {
  if (!release::kRecordsErrors || errorRecorded) return;
  char text[sizeof errorText];
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (written < 0) text[0] = '\0';
  RecordError(text, caption);
}
