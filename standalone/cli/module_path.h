// Where vexo finds the plug-in module unless --plugin names another.
#pragma once

#include <string>

namespace vexo::cli {

// Dorvane.dlu in the folder of the running vexo executable, where the build
// puts it; "Dorvane.dlu" in the current folder when that folder is unknown.
std::string DefaultModulePath();

}  // namespace vexo::cli
