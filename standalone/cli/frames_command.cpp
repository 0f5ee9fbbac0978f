// vexo frames [MODEL]: the panel's frame list, numbered as Start and End
// take it: the default names, or a model's imported with "Import new frame
// list".
#include <cstdio>
#include <filesystem>

#include "standalone/cli/commands.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/panel_export.h"
#include "standalone/cli/printable_text.h"

namespace vexo::cli {

int RunFrames(const FramesOptions& options, const CommonOptions& common, Reporter& reporter) {
  if (options.model) {
    CheckTextLength("MODEL", *options.model, kDialogPathLimit);
    const std::string read = ModelFileName(*options.model);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(read, ec))
      throw UsageError("there is no model " + read);
  }
  const auto session = OpenPanel(MemoryScene(), common, reporter);
  if (options.model && session->ImportFrameList(*options.model).failed) return kExitFailed;
  const std::vector<std::string> names = session->FrameNames();
  // The names may come from any file.
  for (std::size_t i = 0; i < names.size(); ++i)
    std::printf("%3zu  %s\n", i, PrintableText(names[i]).c_str());
  return kExitDone;
}

}  // namespace vexo::cli
