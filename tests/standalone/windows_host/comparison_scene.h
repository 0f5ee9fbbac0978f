// The scene of the export that the Windows test compares with the native
// build's: the demo's bitmaps and kinds of material (plain, multi-material,
// run-length TGA), but moved by plain arithmetic only. Sines and cosines
// differ in their last bit between C libraries, which would make the two
// builds sample different meshes; sums and products do not.
//
//   Scene Root
//     figure      group, not exported
//       body      box 16 x 16 x 24, multi-material (demo_body.bmp,
//                 demo_face.tga); steps, grows and turns in quarter turns
//         head    box 8 x 8 x 8, demo_face.tga; bobs
//       flag      4 x 2 quads, demo_flag.bmp; its mesh bends over time
//       marker    selected, no material: not exported
//       spare     mapped but not selected: not exported
#pragma once

#include <string>

#include "standalone/memory_scene.h"

namespace vexo {

// Names its bitmaps inside textureDir (see WriteDemoTextures).
MemoryScene MakeComparisonScene(const std::string& textureDir);

}  // namespace vexo
