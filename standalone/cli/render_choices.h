// What vexo render draws, from its command line: which frames of a model
// and in which views.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "standalone/render/view.h"

namespace vexo::cli {

// "front,side": the views named, in order; throws UsageError naming the
// option and the views there are.
std::vector<render::View> ParseViews(const std::string& option, const std::string& list);

// The frames of --frames LIST (frames and ranges FIRST-LAST, by name or
// number, separated by commas: "0,run1-run6,40") or of --animation NAME
// (the frames named NAME and a number); with neither, the first frame of
// each of the model's animations. Throws UsageError.
std::vector<int> ChooseFrames(const std::optional<std::string>& frames,
                              const std::optional<std::string>& animation,
                              const std::vector<std::string>& frameNames);

}  // namespace vexo::cli
