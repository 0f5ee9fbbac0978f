// The skins a model names: game paths such as models/monsters/tank/skin.pcx,
// with which the game draws every model but a player's.
#pragma once

#include <string>
#include <vector>

#include "standalone/md2/md2_model.h"

namespace vexo::finish {

// Why the names cannot be written ("" when they can): none, more than 32,
// an empty one, one of more than 63 bytes (64 with its zero) or one with a
// backslash (game paths use "/").
std::string SkinNamesProblem(const std::vector<std::string>& names);

}  // namespace vexo::finish
