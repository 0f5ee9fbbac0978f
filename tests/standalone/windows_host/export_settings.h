// The export that the Windows panel test makes through the panel and the
// native reference export makes directly: same scene, same settings, so
// the files must match byte for byte.
#pragma once

#include <cstdint>

namespace vexo::reference {

// The panel lines picked with Start and End ("run1" and "run6").
inline constexpr int kStartLine = 40;
inline constexpr int kEndLine = 45;
// What the user types into First Frame, Scale and Skin Name.
inline constexpr char kFirstFrameText[] = "2";
inline constexpr std::uint32_t kFirstFrame = 2;
inline constexpr char kScaleText[] = "0.5";
inline constexpr float kScale = 0.5f;
inline constexpr char kSkinName[] = "skin";
// The name typed into the Save dialog, in the current folder.
inline constexpr char kModelName[] = "model";

// Files the export writes, all in the current folder.
inline constexpr const char* kWrittenFiles[] = {"model.md2", "skin.bmp", "skin.pcx"};

}  // namespace vexo::reference
