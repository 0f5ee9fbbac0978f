// Model files made byte by byte for the frame-list import: a header and
// frames with names, with the faults a damaged file can have.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace panel_test {

struct ModelFileOptions {
  std::uint32_t magic = 0x32504449;  // "IDP2"
  std::int32_t vertexCount = 3;
  // The header's frame count when it should not be the number of names.
  std::int64_t frameCount = -1000000;
  // Cut the file after this many bytes (negative: keep it whole).
  long length = -1;
};

inline std::vector<std::string> NumberedNames(const std::string& stem, int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back(stem + (i < 10 ? "0" : "") + std::to_string(i));
  return names;
}

// Header, then at offset 68 one frame per name: 40 bytes (six floats and
// the 16-byte name, copied without its zero when it has 16 characters)
// and 4 bytes a vertex.
inline void WriteModel(const std::string& path, const std::vector<std::string>& names,
                       const ModelFileOptions& options) {
  std::vector<std::uint8_t> bytes(68, 0);
  const auto put = [&bytes](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const std::int32_t frameSize = 40 + 4 * options.vertexCount;
  const auto frames = static_cast<std::uint32_t>(
      options.frameCount == -1000000 ? static_cast<std::int64_t>(names.size()) : options.frameCount);
  put(0, options.magic);
  put(4, 8);
  put(16, static_cast<std::uint32_t>(frameSize));
  put(24, static_cast<std::uint32_t>(options.vertexCount));
  put(40, frames);
  put(56, 68);
  for (const std::string& name : names) {
    // A negative vertex count still leaves each frame its 40-byte header.
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(std::max(frameSize, 40)), 0x5A);
    for (std::size_t i = 0; i < 16; ++i) frame[24 + i] = i < name.size() ? name[i] : 0;
    bytes.insert(bytes.end(), frame.begin(), frame.end());
  }
  put(64, static_cast<std::uint32_t>(bytes.size()));
  if (options.length >= 0) bytes.resize(static_cast<std::size_t>(options.length));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace panel_test
