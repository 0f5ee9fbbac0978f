// Which way is up in an imported scene, and the turn that makes Z point up
// as in the host's world.
#pragma once

#include <filesystem>
#include <string>

#include "standalone/import/import_options.h"
#include "standalone/import/transform_math.h"

struct aiScene;

namespace vexo {

// The file's up axis: glTF is Y-up; FBX records its up axis in its header;
// COLLADA's up_axis is applied by the importer, which delivers it Y-up; 3DS
// and MD5 are Z-up files that the importer turns Y-up. Any other format
// records nothing and is taken as Z-up. --up overrides the file's axis.
struct UpAxisDecision {
  // Turns the delivered scene Z-up; applied above the file's top node.
  Mat4 correction;
  std::string note;
};

// Whether the importer must be asked to leave COLLADA's up_axis alone (it
// must when --up overrides it).
bool IgnoresColladaUpAxis(UpAxis option);

UpAxisDecision DecideUpAxis(const aiScene& scene, const std::filesystem::path& file, UpAxis option);

}  // namespace vexo
