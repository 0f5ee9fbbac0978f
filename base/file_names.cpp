#include "base/file_names.h"

#include <cstddef>

namespace {

constexpr std::size_t kLongestFileName = 255;
#ifdef _WIN32
constexpr std::size_t kLongestPath = 259;  // MAX_PATH without its terminator
#endif
constexpr char kTemporarySuffix[] = ".part";
constexpr std::size_t kSuffixLength = sizeof kTemporarySuffix - 1;

// Where the file name starts: behind the last "/" or "\".
std::size_t FileNameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string StripExtension(const std::string& name) {
  const std::size_t fileStart = FileNameStart(name);
  const std::size_t dot = name.find('.', fileStart);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string NameWithExtension(const std::string& name, const char* extension) {
  return StripExtension(name) + extension;
}

std::string TemporaryFileName(const std::string& path) {
  const std::size_t start = FileNameStart(path);
  std::size_t kept = path.size() - start;
  if (kept > kLongestFileName - kSuffixLength) kept = kLongestFileName - kSuffixLength;
#ifdef _WIN32
  if (start + kept + kSuffixLength > kLongestPath)
    kept = start + kSuffixLength < kLongestPath ? kLongestPath - kSuffixLength - start : 0;
#endif
  return path.substr(0, start + kept) + kTemporarySuffix;
}
