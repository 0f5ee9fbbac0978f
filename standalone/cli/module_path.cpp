#include "standalone/cli/module_path.h"

#include <filesystem>
#include <system_error>

namespace vexo::cli {

std::string DefaultModulePath() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || self.empty()) return "Dorvane.dlu";
  return (self.parent_path() / "Dorvane.dlu").string();
}

}  // namespace vexo::cli
