// The built-in demo scene: a turning box with a two-part material and a
// waving flag above it, 20 frames long.
//
//   Scene Root
//     demo            group: neither selected nor mapped
//       body          box 16 x 16 x 24; multi-material, sides alternate
//                     between demo_body.bmp and demo_flag.bmp; turns 360
//                     degrees about Z over frames 0-20
//       flag          4 x 2 quads on a pole above the body, demo_flag.bmp;
//                     its mesh waves over time
//       marker        selected but without a material (not exported)
#pragma once

#include <string>

#include "standalone/memory_scene.h"

namespace vexo {

inline constexpr int kDemoFrameCount = 20;

// The scene, naming its bitmaps inside textureDir (which must hold them
// when the scene is exported: see WriteDemoTextures).
MemoryScene MakeDemoScene(const std::string& textureDir);

// Writes demo_body.bmp and demo_flag.bmp (24-bit) into textureDir, which
// must exist. Returns false with a message in error when one fails.
bool WriteDemoTextures(const std::string& textureDir, std::string& error);

}  // namespace vexo
