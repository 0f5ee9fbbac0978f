#include "standalone/cli/reporter.h"

#include <unistd.h>

#include "standalone/cli/printable_text.h"

namespace vexo::cli {

Reporter::Reporter(std::FILE* out) : out_(out), terminal_(isatty(fileno(out)) == 1) {}

void Reporter::PanelMessage(const std::string& caption, const std::string& text) {
  ClearProgressLine();
  const std::string lead = caption + ": ";
  std::string line;
  bool first = true;
  auto flush = [&]() {
    // The panel's texts end some lines with a space before the break.
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::fprintf(out_, "%s%s\n", first ? lead.c_str() : std::string(lead.size(), ' ').c_str(),
                 PrintableText(line).c_str());
    line.clear();
    first = false;
  };
  for (char c : text) {
    if (c == '\n') flush();
    else if (c != '\r') line += c;
  }
  flush();
  std::fflush(out_);
}

void Reporter::Detail(const std::string& text) {
  ClearProgressLine();
  std::fprintf(out_, "  detail: %s\n", PrintableText(text, true).c_str());
  std::fflush(out_);
}

void Reporter::Note(const std::string& text) { Error(text); }

void Reporter::Error(const std::string& text) {
  ClearProgressLine();
  std::fprintf(out_, "vexo: %s\n", PrintableText(text, true).c_str());
  std::fflush(out_);
}

void Reporter::Warning(const std::string& text) { Error("warning: " + text); }

void Reporter::BeginProgress(const std::string& label, long total) {
  label_ = label;
  total_ = total;
  done_ = 0;
}

void Reporter::Step() {
  ++done_;
  if (!terminal_) return;
  if (total_ > 0 && done_ <= total_)
    std::fprintf(out_, "\r%s: %ld of %ld", label_.c_str(), done_, total_);
  else
    std::fprintf(out_, "\r%s: %ld", label_.c_str(), done_);
  std::fflush(out_);
  shown_ = true;
}

void Reporter::EndProgress() { ClearProgressLine(); }

void Reporter::ClearProgressLine() {
  if (!shown_) return;
  std::fprintf(out_, "\r\033[K");
  std::fflush(out_);
  shown_ = false;
}

}  // namespace vexo::cli
