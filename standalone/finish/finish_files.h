// The finishing pass over a model file the plug-in (or anyone) wrote: each
// step asked for is applied to the whole file, which is then written again
// in one piece. Running it again after the plug-in has updated frames in
// place finishes those frames too.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "standalone/error.h"

namespace vexo::finish {

struct FinishOptions {
  bool normals = false;      // --normals
  bool safePalette = false;  // --safe-palette
  bool strictEnd = false;    // --strict-end
  bool strips = false;       // --strips
  std::vector<std::string> skinPaths;  // --skin-path, in order

  // --game: every step that is safe for any model.
  void SetGame() { normals = safePalette = strictEnd = true; }
  bool ChangesModel() const { return normals || strictEnd || strips || !skinPaths.empty(); }
  bool Any() const { return ChangesModel() || safePalette; }
};

// A model or skin that cannot be finished; nothing was written.
class FinishError : public Error {
 public:
  using Error::Error;
};

// Finishes the model, and for --safe-palette its PCX skin (skin, or the
// one found beside the model when empty). Everything is read and worked
// out before the first file is written. Returns what was done, a line a
// step. Throws FinishError, or std::runtime_error when a file cannot be
// written.
std::vector<std::string> FinishFiles(const std::string& model, const std::string& skin,
                                     const FinishOptions& options);

}  // namespace vexo::finish
