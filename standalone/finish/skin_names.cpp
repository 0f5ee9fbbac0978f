#include "standalone/finish/skin_names.h"

namespace vexo::finish {

// The game keeps 32 names of 64 bytes (MAX_MD2SKINS, MAX_SKINNAME in
// qcommon/qfiles.h).
std::string SkinNamesProblem(const std::vector<std::string>& names) {
  if (names.empty()) return "no skin path given";
  if (names.size() > 32)
    return std::to_string(names.size()) + " skin paths, more than the game's 32";
  for (const std::string& name : names) {
    if (name.empty()) return "a skin path is empty";
    if (name.size() > md2::kSkinNameSize - 1)
      return "\"" + name + "\" is " + std::to_string(name.size()) +
             " bytes long; the game keeps 63";
    if (name.find('\\') != std::string::npos)
      return "\"" + name + "\" has a backslash; game paths use \"/\"";
  }
  return "";
}

}  // namespace vexo::finish
