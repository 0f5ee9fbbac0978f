// Where vexo finds the plug-in module unless --plugin names another.
#pragma once

#include <string>

namespace vexo::cli {

// Dorvane.dlu in the folder of the running vexo executable, where the build
// puts it; when there is none, the one in the installed module folder
// relative to the executable (lib/vexo/ beside bin/); "Dorvane.dlu" in the
// current folder when the executable's folder is unknown.
std::string DefaultModulePath();

}  // namespace vexo::cli
