#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace test_support {

std::string FreshFolder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / ("vexo_" + name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

}  // namespace test_support
