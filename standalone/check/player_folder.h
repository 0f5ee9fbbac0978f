// A player model's folder as the game's player setup menu needs it
// (client/menu.c PlayerConfig_ScanDirectories): the folder is listed only
// when it holds tris.md2 and at least one SKIN.pcx whose icon SKIN_i.pcx
// lies beside it.
#pragma once

#include <string>

#include "standalone/check/check_model.h"

namespace vexo::check {

inline constexpr const char* kPlayerModelName = "tris.md2";
inline constexpr const char* kPlayerIconSuffix = "_i";

// The model and every skin and icon of the folder. Throws md2::ReadError
// when tris.md2 is there but cannot be read at all.
ModelCheck CheckPlayerFolder(const std::string& folder);

}  // namespace vexo::check
