// The first-error record: the scene, texture, model and dump steps write
// their first failure here (text and caption), and nothing shows it to the
// user; the Save command shows its own fixed message instead. A host of
// its own reads it through DorvaneLastError (plugin/exports.h).
//
// Only the first failure since the record was made is kept: every later
// one is ignored, for as long as the plug-in stays loaded. The build for
// host release 2 keeps no record at all.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "errors/messages.h"

struct ErrorRecord {
  ErrorRecord();

  // Keeps the first failure only; texts longer than the fields are cut.
  void RecordError(const char* text, const char* caption);
  void RecordError(const Message& message) { RecordError(message.text, message.caption); }
  // printf-style text; the formatted text is cut to the field.
  void RecordErrorFormat(const char* caption, const char* format, ...)
      __attribute__((format(printf, 3, 4)));
  // The same, with the reason behind the failure where the step knows more
  // than its message says (why a picture's loader refused the file). The
  // reason is kept only with the failure it belongs to.
  void RecordErrorBecause(const char* reason, const char* caption, const char* format, ...)
      __attribute__((format(printf, 4, 5)));

  char errorText[256];
  char errorCaption[512];
  std::int32_t errorRecorded;
  char errorReason[256];  // empty when the step gave none

 private:
  void RecordFormatted(const char* reason, const char* caption, const char* format,
                       va_list args);
};
