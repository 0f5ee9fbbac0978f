#include "standalone/md2/frame_animations.h"

namespace vexo::md2 {

std::string AnimationName(const std::string& frameName) {
  std::size_t end = frameName.size();
  while (end > 0 && frameName[end - 1] >= '0' && frameName[end - 1] <= '9') --end;
  return end == 0 ? frameName : frameName.substr(0, end);
}

std::vector<FrameAnimation> FrameAnimations(const std::vector<std::string>& frameNames) {
  std::vector<FrameAnimation> animations;
  for (std::size_t i = 0; i < frameNames.size(); ++i) {
    const std::string name = AnimationName(frameNames[i]);
    if (animations.empty() || animations.back().name != name)
      animations.push_back({name, int(i), int(i)});
    else
      animations.back().last = int(i);
  }
  return animations;
}

std::vector<int> FramesOfAnimation(const std::vector<std::string>& frameNames,
                                   const std::string& name) {
  std::vector<int> frames;
  for (std::size_t i = 0; i < frameNames.size(); ++i) {
    const std::string& frame = frameNames[i];
    if (name.empty() || frame.size() <= name.size() || frame.compare(0, name.size(), name) != 0)
      continue;
    if (frame.find_first_not_of("0123456789", name.size()) == std::string::npos)
      frames.push_back(int(i));
  }
  return frames;
}

}  // namespace vexo::md2
