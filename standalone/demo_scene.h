// The built-in demo scene: a small robot that acts out the game's player
// animations, one after another, over host frames 0-197 — the frames that
// the default frame names give a model (stand, run, attack, pain, jump,
// flip, salute, taunt, wave, point, the crouched set, the deaths).
//
//   Scene Root
//     demo            group: neither selected nor mapped
//       body          torso box; plain material, demo_body.bmp; carries the
//                     whole figure (moves, leans, turns, falls)
//         head        box; multi-material: demo_face.tga in front (-Y),
//                     demo_body.bmp on the other sides
//         arm_left, arm_right, leg_left, leg_right
//                     boxes hanging from their joints; demo_body.bmp
//         flag        a pennant above the right shoulder, demo_flag.bmp;
//                     its mesh waves over time
//       marker        selected but without a material (not exported)
//
// The figure faces -Y, which is the model's forward direction once the
// export has turned the axes. Its feet stand at z = -24, the hips near 0,
// the head's top at +32, like the game's player models. Frames past 197
// start the sequence again.
#pragma once

#include <string>
#include <vector>

#include "standalone/memory_scene.h"

#include "standalone/error.h"

namespace vexo {

// Host frames of one pass through every animation.
inline constexpr int kDemoFrameCount = 198;

// The scene, naming its bitmaps inside textureDir (which must hold them
// when the scene is exported: see WriteDemoTextures).
MemoryScene MakeDemoScene(const std::string& textureDir);

// The bitmap files the scene names, in the order WriteDemoTextures writes
// them: demo_body.bmp (24-bit BMP), demo_face.tga (24-bit run-length TGA),
// demo_flag.bmp (24-bit BMP).
std::vector<std::string> DemoTextureNames();

// Writes the demo's bitmaps into textureDir, which must exist. Throws Error
// naming the bitmap that could not be written.
void WriteDemoTextures(const std::string& textureDir);

}  // namespace vexo
