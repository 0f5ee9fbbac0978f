// Files for the skin tests: a scratch folder per test and small 24-bit BMP
// textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bytes.h"
#include "tests/texture/picture/image_test_files.h"

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
  const auto size = static_cast<std::uint32_t>(54 + stride * height);
  test_support::ByteBuilder file;
  file.U8s({'B', 'M'}).U32(size).U32(0).U32(54).U32(40).I32(width).I32(height);
  file.U16s({1, 24}).Fill(24);
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c)
      file.U8s({static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(r), 7});
    file.Fill(static_cast<std::size_t>(stride - 3 * width));
  }
  image_test::Write(path, file.data);
}

}  // namespace skin_test
