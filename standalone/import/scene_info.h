// The text of `vexo info SCENE`: what an import makes of a scene file.
#pragma once

#include <string>

#include "standalone/import/imported_scene.h"

namespace vexo {

// Limits a model meets: those of the MD2 format and those of the game.
inline constexpr int kFormatMaxVertices = 65536;
inline constexpr int kFormatMaxTriangles = 21845;
inline constexpr int kGameMaxVertices = 2048;
inline constexpr int kGameMaxTriangles = 4096;

// Node tree (name, selected, material, vertices after welding, triangles),
// materials with their diffuse textures and sizes, clips with their length
// and frame count at the scene's fps, the selection's totals, problems that
// would stop an export and warnings against the limits. maxTexture is the
// --max-texture value the sizes are judged by (0: none).
std::string SceneInfo(const ImportedScene& scene, int maxTexture = 0);

// `vexo info SCENE`: imports without writing anything and reports. Throws
// ImportError when the scene cannot be imported at all.
std::string SceneInfoReport(ImportOptions options);

}  // namespace vexo
