#include "base/closing_file.h"

std::int64_t FileSize(std::FILE* file) {
  const long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file);
  if (std::fseek(file, here, SEEK_SET) != 0) return -1;
  return end;
}

std::uint64_t BytesLeft(std::FILE* file) {
  const long here = std::ftell(file);
  const std::int64_t end = FileSize(file);
  if (here < 0 || end < here) return 0;
  return static_cast<std::uint64_t>(end - here);
}
