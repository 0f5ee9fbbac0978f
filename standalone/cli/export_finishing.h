// What vexo export and vexo finish do after the plug-in has written its
// files: the finishing steps asked for, the player folder's icon, and the
// check of the result, whose findings are printed as warnings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "standalone/cli/commands.h"

namespace vexo::cli {

// A folder made for an export, removed again if the export left it empty.
class MadeFolder {
 public:
  explicit MadeFolder(std::string path);  // makes it when missing; throws UsageError
  ~MadeFolder();
  MadeFolder(const MadeFolder&) = delete;
  MadeFolder& operator=(const MadeFolder&) = delete;

 private:
  std::vector<std::string> made_;  // the folders made, the deepest first
};

// Before the export: refuses, with UsageError, finishing options that
// cannot work; for --player DIR sets the model DIR/tris.md2 and the skin
// DIR/NAME.pcx, NAME the file name of --skin or else the folder's name,
// and makes DIR (kept for as long as the result lives).
std::unique_ptr<MadeFolder> PrepareFinishing(const ExportOptions& options,
                                             PanelSettings& settings);

// After a successful export: finishing, the icon of a player folder, and
// the warnings of the check. Returns the exit code: the export's own (0)
// unless finishing failed.
int FinishExport(const ExportOptions& options, const PanelSettings& settings, Reporter& reporter);

// Finishes the model (and skin, when given) and warns about what the check
// still finds; exit 0, 1 when a file could not be written, 2 when the
// files could not be finished (nothing was written).
int FinishWrittenFiles(const std::string& model, const std::string& skin,
                       const finish::FinishOptions& options, Reporter& reporter);

}  // namespace vexo::cli
