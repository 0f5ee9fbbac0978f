// `--map CLIP:FIRST-LAST`: one clip exported as a range of model frames.
//
// The command presses "Save md2" once per mapping, with the clip on the
// timeline (ImportedScene::MapClipToFrames(clip, LAST - FIRST + 1)), First
// Frame 0, Start FIRST and End LAST. The plug-in samples model frame
// FIRST + k at host frame k, which shows the clip at ClipFrameTime(clip, k,
// LAST - FIRST + 1): a looping clip spreads over the frames so that it
// loops without repeating its first pose, any other clip ends on its last.
#pragma once

#include <string>

namespace vexo {

struct ClipMapping {
  std::string clip;        // name or number
  std::string firstFrame;  // model frame name or number
  std::string lastFrame;
};

// Splits "Run:run1-run6" at its last ':' and at the first '-' after it.
// Throws ImportError naming the text when a part is missing.
ClipMapping ParseClipMapping(const std::string& text);

}  // namespace vexo
