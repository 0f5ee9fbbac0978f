// What the command tells the user on stderr: the panel's message boxes,
// errors, and the progress of long work. Progress is shown only when
// stderr is a terminal, on one line that is rewritten as work goes on.
#pragma once

#include <cstdio>
#include <string>

namespace vexo::cli {

class Reporter {
 public:
  // Progress follows whether `out` is a terminal.
  explicit Reporter(std::FILE* out = stderr);

  // A message box as "Caption: text"; further lines of the text are
  // indented under the first.
  void PanelMessage(const std::string& caption, const std::string& text);
  // A line that explains the message box before it.
  void Detail(const std::string& text);
  // "vexo: text".
  void Error(const std::string& text);
  // "vexo: warning: text".
  void Warning(const std::string& text);
  // "vexo: text", for what vexo did in the user's stead.
  void Note(const std::string& text);

  // "label: k of total", counted by Step; total 0 shows the count alone.
  void BeginProgress(const std::string& label, long total);
  void Step();
  void EndProgress();

 private:
  void ClearProgressLine();

  std::FILE* out_;
  bool terminal_;
  std::string label_;
  long total_ = 0;
  long done_ = 0;
  bool shown_ = false;
};

}  // namespace vexo::cli
