// The text of `vexo info SCENE`: what an import makes of a scene file.
#pragma once

#include <string>

#include "standalone/import/format_limits.h"
#include "standalone/import/imported_scene.h"

namespace vexo {

// Node tree (name, selected, material, vertices after welding, triangles),
// what the skin shows of each material (a picture as it is or converted, a
// swatch, baked colours), the skin with the region each picture takes,
// clips with their length and frame count at the scene's fps, the
// selection's totals, problems that would stop an export, what vexo does in
// the user's stead, and warnings against the limits.
std::string SceneInfo(const ImportedScene& scene);

// `vexo info SCENE`: imports without writing anything and reports. Throws
// ImportError when the scene cannot be imported at all.
std::string SceneInfoReport(ImportOptions options);

}  // namespace vexo
