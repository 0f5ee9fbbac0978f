#include "standalone/cli/option_checks.h"

#include <cfloat>
#include <cmath>
#include <filesystem>

#include "base/decimal_number.h"

namespace vexo::cli {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool IsDecimal(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

float CheckScale(const std::string& text) {
  CheckTextLength("--scale", text, kPanelTextLimit);
  double value = 0.0;
  if (!ReadDecimalNumber(text.c_str(), &value) || text.front() == ' ' || text.back() == ' ')
    throw UsageError("--scale: " + Quoted(text) + " is not a decimal number");
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
    throw UsageError("--scale: " + Quoted(text) + " is not a finite 32-bit number");
  const float scale = static_cast<float>(value);
  if (scale == 0.0f && value != 0.0)
    throw UsageError("--scale: " + Quoted(text) + " is too small for a 32-bit number");
  return scale;
}

std::uint32_t CheckHostFrame(const std::string& option, const std::string& text) {
  if (!IsDecimal(text))
    throw UsageError(option + ": " + Quoted(text) + " is not a frame number (0 or more)");
  std::uint64_t value = 0;
  for (char c : text) {
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > UINT32_MAX)
      throw UsageError(option + ": " + text + " is beyond the largest frame number, " +
                       std::to_string(UINT32_MAX));
  }
  return static_cast<std::uint32_t>(value);
}

int ResolveFrame(const std::string& option, const std::string& nameOrIndex,
                 const std::vector<std::string>& frameNames) {
  for (std::size_t i = 0; i < frameNames.size(); ++i)
    if (frameNames[i] == nameOrIndex) return static_cast<int>(i);
  const std::string range =
      frameNames.empty() ? "the frame list is empty"
                         : "the frame list has lines 0 to " + std::to_string(frameNames.size() - 1);
  if (!IsDecimal(nameOrIndex))
    throw UsageError(option + ": no frame is named " + Quoted(nameOrIndex) + " (see vexo frames)");
  if (nameOrIndex.size() > 9 || std::stoul(nameOrIndex) >= frameNames.size())
    throw UsageError(option + ": frame " + nameOrIndex + " is out of range: " + range);
  return static_cast<int>(std::stoul(nameOrIndex));
}

void CheckFrameTimes(std::uint32_t firstFrame, int startFrame, int endFrame, int ticksPerFrame) {
  if (ticksPerFrame <= 0 || endFrame < startFrame) return;  // the panel reports the order
  const std::int64_t lastFrame = std::int64_t(firstFrame) + (endFrame - startFrame);
  const std::int64_t latest = INT32_MAX / ticksPerFrame;
  if (lastFrame > latest)
    throw UsageError("--first-frame: host frame " + std::to_string(lastFrame) +
                     " lies beyond the host's time line, which ends at frame " +
                     std::to_string(latest) + " (" + std::to_string(ticksPerFrame) +
                     " ticks a frame)");
}

void CheckTextLength(const std::string& option, const std::string& text, std::size_t limit) {
  if (text.size() > limit)
    throw UsageError(option + ": " + std::to_string(text.size()) +
                     " characters are too many; the panel takes at most " + std::to_string(limit));
}

void CheckFileToWrite(const std::string& option, const std::string& file) {
  const std::filesystem::path path(file);
  std::error_code ec;
  if (path.filename().empty() || std::filesystem::is_directory(path, ec))
    throw UsageError(option + ": " + Quoted(file) + " names no file to write");
  if (!path.parent_path().empty() && !std::filesystem::is_directory(path.parent_path(), ec))
    throw UsageError(option + ": the folder " + path.parent_path().string() + " does not exist");
}

}  // namespace vexo::cli
