// vexo finish MODEL [--skin FILE] [finishing options]: the finishing pass
// over files already written, then the check of the result.
#include <cstdio>
#include <filesystem>

#include "standalone/cli/commands.h"
#include "standalone/cli/export_finishing.h"
#include "standalone/cli/option_checks.h"

namespace vexo::cli {

int RunFinish(const FinishCommandOptions& options, Reporter& reporter) {
  if (!options.finish.Any())
    throw UsageError("name what to finish: --normals, --skin-path, --safe-palette, "
                     "--strict-end, --strips, or --game");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(options.model, ec))
    throw UsageError("there is no model " + options.model);
  if (!options.skin.empty() && !std::filesystem::is_regular_file(options.skin, ec))
    throw UsageError("--skin: there is no file " + options.skin);
  return FinishWrittenFiles(options.model, options.skin, options.finish, reporter);
}

}  // namespace vexo::cli
