#include "base/whole_file_reader.h"

#include <new>

#include "base/closing_file.h"

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::uint64_t maxBytes) {
  ClosingFile file(path.c_str(), "rb");
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  const std::int64_t size = FileSize(file.get());
  if (size < 0) {
    error = "cannot read " + path;
    return false;
  }
  if (static_cast<std::uint64_t>(size) > maxBytes) {
    error = path + " holds " + std::to_string(size) + " bytes, more than " + std::to_string(maxBytes);
    return false;
  }
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    error = "not enough memory to read " + path + " (" + std::to_string(size) + " bytes)";
    return false;
  }
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}
