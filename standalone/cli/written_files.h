// What the command reads back from the files the plug-in wrote, to tell the
// user what they hold: the model's header and frame names, and the skins as
// pictures (for the PNG preview).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standalone/error.h"
#include "standalone/pictures/picture.h"

namespace vexo::cli {

struct ModelSummary {
  std::uintmax_t bytes = 0;
  int skinWidth = 0;
  int skinHeight = 0;
  int vertices = 0;
  int triangles = 0;
  std::vector<std::string> frameNames;
};

// Reads an MD2 model's header and frame names, whatever its first bytes say
// (the plug-in updates any file whose counts fit); throws Error when its
// frames do not lie inside the file.
ModelSummary ReadModelSummary(const std::string& path);

// Decodes a skin the plug-in wrote: a 24-bit BMP or an 8-bit run-length PCX
// with its 256-colour palette at the end, chosen by the extension. Throws
// Error naming the file and what is wrong.
RgbImage ReadSkin(const std::string& path);

}  // namespace vexo::cli
