// Files for the image loader tests: the fixtures under tests/data/images,
// their expected contents, and scratch folders.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/bytes.h"

namespace image_test {

inline std::string Fixture(const std::string& name) {
  return std::string(VEXO_TEST_DATA_DIR) + "/images/" + name;
}

inline std::vector<std::uint8_t> Bytes(const std::string& path) {
  return test_support::ReadFileBytes(path);
}

inline void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  ASSERT_TRUE(test_support::WriteFileBytes(path, bytes)) << path;
}

// A binary PPM (P6) or PGM (P5) with 8-bit samples, top row first; empty
// when the file does not exist.
struct Pnm {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bytes;
};

inline Pnm ReadPnm(const std::string& path) {
  Pnm pnm;
  std::ifstream in(path, std::ios::binary);
  if (!in) return pnm;
  std::string magic;
  int maxValue = 0;
  in >> magic >> pnm.width >> pnm.height >> maxValue;
  in.get();
  const std::size_t channels = magic == "P6" ? 3 : 1;
  pnm.bytes.resize(channels * pnm.width * pnm.height);
  in.read(reinterpret_cast<char*>(pnm.bytes.data()), static_cast<std::streamsize>(pnm.bytes.size()));
  EXPECT_TRUE(in.good() && maxValue == 255 && (magic == "P6" || magic == "P5")) << path;
  return pnm;
}

// The scratch folders of this process, removed when it ends.
struct ScratchRoot {
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("vexo-images-" + std::to_string(getpid()));
  ~ScratchRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};
inline const ScratchRoot kScratchRoot;

// A fresh folder for one test.
inline std::filesystem::path ScratchDir(const std::string& name) {
  const std::filesystem::path dir = kScratchRoot.path / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace image_test
