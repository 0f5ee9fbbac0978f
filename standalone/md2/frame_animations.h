// A model's frames grouped into animations by name, as the game's tools and
// readers group them: a frame's animation is its name without the digits
// at its end ("run" for run1 ... run6, "pain" for pain101 ... pain304),
// and an animation is a run of consecutive frames of the same name.
#pragma once

#include <string>
#include <vector>

namespace vexo::md2 {

struct FrameAnimation {
  std::string name;
  int first = 0, last = 0;  // frame numbers, inclusive
};

// The name without its trailing digits (all of it when that leaves nothing).
std::string AnimationName(const std::string& frameName);

// The animations in frame order.
std::vector<FrameAnimation> FrameAnimations(const std::vector<std::string>& frameNames);

// The frames named `name` followed by one or more digits, in frame order:
// "death" gives death101 ... death308, "death1" only death101 ... death106.
std::vector<int> FramesOfAnimation(const std::vector<std::string>& frameNames,
                                   const std::string& name);

}  // namespace vexo::md2
