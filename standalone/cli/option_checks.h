// Checks of the command line's values, made before the panel sees them:
// the panel would turn a scale or frame number that is no number into 0
// without a word, so the command refuses such values itself.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "standalone/error.h"

namespace vexo::cli {

// A value the command refuses; the message names the option and the value.
// The command ends with exit code 2 and has written nothing.
class UsageError : public Error {
 public:
  using Error::Error;
};

// Longest text the panel reads from its Scale and Skin Name boxes.
inline constexpr std::size_t kPanelTextLimit = 255;
// Longest path the Save dialog hands back (its buffer holds 260 bytes).
inline constexpr std::size_t kDialogPathLimit = 259;

// The whole text must be one finite decimal number (as the panel reads it,
// ReadDecimalNumber); "1", "0.5", "-2", "1e-2" pass; "", "x", "1,5", "0x2",
// "inf", "nan", "1e39" do not.
float CheckScale(const std::string& text);

// An unsigned decimal host frame that fits 32 bits.
std::uint32_t CheckHostFrame(const std::string& option, const std::string& text);

// A model frame given by name or by number: a name of the table first (the
// first line with that name), else a decimal index into it.
int ResolveFrame(const std::string& option, const std::string& nameOrIndex,
                 const std::vector<std::string>& frameNames);

// Model frames start..end are sampled at host frames first .. first +
// (end - start); the last one's time in ticks must fit the host's 32-bit
// time. Throws UsageError naming the last host frame that fits.
void CheckFrameTimes(std::uint32_t firstFrame, int startFrame, int endFrame, int ticksPerFrame);

// A file vexo writes itself: a name, in a folder that exists.
void CheckFileToWrite(const std::string& option, const std::string& file);

// Texts handed to the panel's boxes and the Save dialog must fit them.
void CheckTextLength(const std::string& option, const std::string& text, std::size_t limit);

}  // namespace vexo::cli
