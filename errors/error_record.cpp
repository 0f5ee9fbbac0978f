#include "errors/error_record.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "plugin/host/host_release.h"

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

ErrorRecord::ErrorRecord() : errorRecorded(0) {
  errorText[0] = '\0';
  errorCaption[0] = '\0';
  errorReason[0] = '\0';
}

void ErrorRecord::RecordError(const char* text, const char* caption) {
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

void ErrorRecord::RecordErrorFormat(const char* caption, const char* format, ...) {
  va_list args;
  va_start(args, format);
  RecordFormatted(nullptr, caption, format, args);
  va_end(args);
}

void ErrorRecord::RecordErrorBecause(const char* reason, const char* caption, const char* format,
                                     ...) {
  va_list args;
  va_start(args, format);
  RecordFormatted(reason, caption, format, args);
  va_end(args);
}

void ErrorRecord::RecordFormatted(const char* reason, const char* caption, const char* format,
                                  va_list args) {
  if (!release::kRecordsErrors || errorRecorded) return;
  char text[sizeof errorText];
  if (std::vsnprintf(text, sizeof text, format, args) < 0) text[0] = '\0';
  RecordError(text, caption);
  CopyCut(errorReason, sizeof errorReason, reason);
}
