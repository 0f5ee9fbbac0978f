#include "standalone/cli/render_choices.h"

#include "standalone/cli/option_checks.h"
#include "standalone/md2/frame_animations.h"

namespace vexo::cli {
namespace {

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const std::size_t first = item.find_first_not_of(' ');
    const std::size_t last = item.find_last_not_of(' ');
    items.push_back(first == std::string::npos ? "" : item.substr(first, last - first + 1));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

bool IsFrame(const std::string& text, const std::vector<std::string>& names) {
  try {
    ResolveFrame("", text, names);
    return true;
  } catch (const UsageError&) {
    return false;
  }
}

// One item of --frames: a frame, or a range at the first "-" that splits
// it into two frames (a name may hold a "-" itself).
void AddFrames(const std::string& item, const std::vector<std::string>& names,
               std::vector<int>& frames) {
  if (item.empty()) throw UsageError("--frames: an empty entry in the list");
  if (IsFrame(item, names)) {
    frames.push_back(ResolveFrame("--frames", item, names));
    return;
  }
  for (std::size_t dash = item.find('-'); dash != std::string::npos; dash = item.find('-', dash + 1)) {
    const std::string first = item.substr(0, dash), last = item.substr(dash + 1);
    if (!IsFrame(first, names) || !IsFrame(last, names)) continue;
    const int from = ResolveFrame("--frames", first, names), to = ResolveFrame("--frames", last, names);
    if (to < from) throw UsageError("--frames: the range " + item + " runs backwards");
    for (int frame = from; frame <= to; ++frame) frames.push_back(frame);
    return;
  }
  ResolveFrame("--frames", item, names);  // throws, naming the item
}

}  // namespace

std::vector<render::View> ParseViews(const std::string& option, const std::string& list) {
  std::vector<render::View> views;
  for (const std::string& name : Split(list)) {
    const auto view = render::FindView(name);
    if (!view)
      throw UsageError(option + ": \"" + name + "\" is not a view; the views are " +
                       render::ViewNames());
    views.push_back(*view);
  }
  return views;
}

std::vector<int> ChooseFrames(const std::optional<std::string>& frames,
                              const std::optional<std::string>& animation,
                              const std::vector<std::string>& frameNames) {
  if (frames && animation) throw UsageError("--frames and --animation both choose frames: give one");
  std::vector<int> chosen;
  if (frames) {
    for (const std::string& item : Split(*frames)) AddFrames(item, frameNames, chosen);
    return chosen;
  }
  const std::vector<md2::FrameAnimation> animations = md2::FrameAnimations(frameNames);
  if (animation) {
    chosen = md2::FramesOfAnimation(frameNames, *animation);
    if (chosen.empty()) {
      std::string known;
      for (const md2::FrameAnimation& a : animations) known += (known.empty() ? "" : ", ") + a.name;
      throw UsageError("--animation: no frame is named " + *animation +
                       " and a number; the model's animations are " + known);
    }
    return chosen;
  }
  for (const md2::FrameAnimation& a : animations) chosen.push_back(a.first);
  return chosen;
}

}  // namespace vexo::cli
