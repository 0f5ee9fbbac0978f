#include "standalone/cli/module_path.h"

#include <filesystem>
#include <system_error>

#ifndef VEXO_MODULE_DIR_FROM_BIN
#define VEXO_MODULE_DIR_FROM_BIN "../lib/vexo"
#endif

namespace vexo::cli {

std::string DefaultModulePath() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec || self.empty()) return "Dorvane.dlu";
  const fs::path beside = self.parent_path() / "Dorvane.dlu";
  const fs::path installed =
      (self.parent_path() / VEXO_MODULE_DIR_FROM_BIN / "Dorvane.dlu").lexically_normal();
  if (!fs::exists(beside, ec) && fs::exists(installed, ec)) return installed.string();
  return beside.string();
}

}  // namespace vexo::cli
