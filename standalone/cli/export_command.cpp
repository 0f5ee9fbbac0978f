// vexo export SCENE -o MODEL [options]: one export of a scene through the
// plug-in's panel.
#include <filesystem>

#include "standalone/cli/commands.h"
#include "standalone/cli/panel_export.h"
#include "standalone/cli/scene_source.h"

namespace vexo::cli {

int RunExport(const ExportOptions& options, const CommonOptions& common, Reporter& reporter) {
  PanelSettings settings = options.panel;
  settings.model = options.output;
  // The panel's skin name "tris", beside the model unless named.
  settings.skin = options.skin
                      ? *options.skin
                      : (std::filesystem::path(options.output).parent_path() / "tris").string();
  CheckPanelSettings(settings);
  LoadedScene loaded = LoadScene(options.scene, options.demo);
  const auto session = OpenPanel(std::move(loaded.scene), common, reporter);
  return ExportThroughPanel(*session, settings, reporter);
}

}  // namespace vexo::cli
