// What the model-file tests share: an export prepared as the save command
// leaves it before the model step, and (from tests/support) byte access to
// written files and the independent checks of what they hold.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugin/export_utility.h"
#include "standalone/memory_host.h"
#include "tests/support/assimp_md2_check.h"
#include "tests/support/bytes.h"
#include "tests/support/md2_file.h"
#include "tests/support/scratch_folder.h"

namespace model_test {

using test_support::ExpectAssimpReadsEveryFrame;
using test_support::F32At;
using test_support::FileExists;
using test_support::FreshFolder;
using test_support::I32At;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;
using FileFrame = test_support::Md2FileFrame;
inline FileFrame FrameOf(const std::vector<std::uint8_t>& file, int frame) {
  return test_support::Md2FrameOf(file, frame);
}

// The utility after node listing, sampling at host time 0 and texture
// placement: every face of the mesh is linked to `texture`.
struct PreparedExport {
  vexo::MemoryHost& host;
  std::unique_ptr<ExportUtility> utility = std::make_unique<ExportUtility>();
  SkinTexture texture;

  // Frame names come from `names` (the table keeps its defaults when empty).
  PreparedExport(vexo::MemoryHost& host, std::vector<std::string> names, int imageWidth,
                 int imageHeight, int skinWidth, int skinHeight);
  // True when the listing and sampling succeeded.
  bool ok = false;
};

}  // namespace model_test
