// Writing a whole model on the host side, in the order the plug-in writes
// its sections: header, skin names, texture coordinates, triangles, frames,
// GL commands, then the trailer behind ofsEnd.
#pragma once

#include <string>

#include "standalone/md2/md2_model.h"

namespace vexo::md2 {

// The header with the counts and offsets of that order, taken from the
// model's sections; ident, version and skin size stay as they are.
Md2Header LayOut(const Model& model);

// Writes the model laid out as LayOut says, whole or not at all (the file
// that was there stays when writing fails); throws std::runtime_error.
void WriteMd2(const std::string& path, const Model& model);

}  // namespace vexo::md2
