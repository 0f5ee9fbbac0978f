// The GL command list rebuilt as triangle strips: the same triangles, with
// the same corners (vertex, s and t) and windings, in fewer words, so the
// GL renderer sends fewer vertices.
#pragma once

#include "standalone/md2/md2_model.h"

namespace vexo::finish {

struct StripReport {
  std::size_t commandsBefore = 0, commandsAfter = 0;
  std::size_t wordsBefore = 0, wordsAfter = 0;
};

// The list must decode whole (md2::DecodeGlCommands without a problem);
// throws std::runtime_error otherwise. Triangles with a repeated corner are
// kept as fans of their own.
StripReport RebuildGlStrips(md2::Model& model);

}  // namespace vexo::finish
