// Files for the skin tests: a scratch folder per test and small 24-bit BMP
// textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/texture/image_test_files.h"

namespace skin_test {

// A fresh folder for the running test, ending in "/".
inline std::string Folder() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  return image_test::ScratchDir(std::string("skin-") + test->test_suite_name() + "-" + test->name())
             .string() + "/";
}

// A 24-bit BMP whose stored row r (row 0 is the bottom of the picture) has
// blue = column, green = r, red = 7 at each column.
inline void WriteBmp24(const std::string& path, int width, int height) {
  const int stride = (3 * width + 3) & ~3;
  std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(stride) * height, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) file[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
  };
  file[0] = 'B', file[1] = 'M', file[26] = 1, file[28] = 24;
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54), put32(14, 40), put32(18, width), put32(22, height);
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      std::uint8_t* at = &file[54 + static_cast<std::size_t>(r) * stride + 3 * c];
      at[0] = static_cast<std::uint8_t>(c), at[1] = static_cast<std::uint8_t>(r), at[2] = 7;
    }
  }
  image_test::Write(path, file);
}

}  // namespace skin_test
