// Names of the model frames: slot k names model frame k, and `count` is the
// number of frames of every model file.
#pragma once

#include <cstdint>

inline constexpr int kFrameNameSlots = 256;
inline constexpr int kFrameNameSize = 16;  // 15 characters and the zero
inline constexpr int kDefaultFrameNameCount = 198;

struct FrameNameTable {
  // Fills slots 0-197 with the default names and sets count to 198.
  FrameNameTable();

  char names[kFrameNameSlots][kFrameNameSize];
  std::int32_t count;
};

// The 198 default names (the game's player-model frame list).
extern const char* const kDefaultFrameNames[kDefaultFrameNameCount];
