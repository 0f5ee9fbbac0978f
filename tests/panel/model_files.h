// Model files made byte by byte for the frame-list import: a header and
// frames with names, with the faults a damaged file can have.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bytes.h"
#include "tests/support/md2_file.h"

namespace panel_test {

using test_support::NumberedNames;

struct ModelFileOptions {
  std::uint32_t magic = 0x32504449;  // "IDP2"
  std::int32_t vertexCount = 3;
  // The header's frame count when it should not be the number of names.
  std::int64_t frameCount = -1000000;
  // Cut the file after this many bytes (negative: keep it whole).
  long length = -1;
};

// Header, then at offset 68 one frame per name (see Md2FrameListFile).
inline void WriteModel(const std::string& path, const std::vector<std::string>& names,
                       const ModelFileOptions& options) {
  test_support::Md2FrameListFile file;
  file.names = names;
  file.vertexCount = options.vertexCount;
  file.ident = options.magic;
  if (options.frameCount != -1000000) file.frameCount = options.frameCount;
  test_support::Bytes bytes = file.Build();
  if (options.length >= 0) bytes.resize(static_cast<std::size_t>(options.length));
  test_support::WriteFileBytes(path, bytes);
}

}  // namespace panel_test
