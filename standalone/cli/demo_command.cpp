// vexo demo [-o DIR]: the built-in demo scene, its bitmaps written into
// DIR, exported through the panel as DIR/tris.md2 with its skin as
// DIR/tris.bmp and DIR/tris.pcx.
#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "standalone/cli/commands.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/panel_export.h"
#include "standalone/demo_scene.h"

namespace vexo::cli {

int RunDemo(const DemoOptions& options, const CommonOptions& common, Reporter& reporter) {
  namespace fs = std::filesystem;
  const fs::path folder = options.folder;
  PanelSettings settings;
  settings.model = (folder / "tris.md2").string();
  settings.skin = (folder / "tris").string();
  settings.bmp = true;
  settings.pcx = true;
  settings.preview = options.preview;
  // The new model is written in a folder of its own first (see below).
  std::string newModels = (folder / ".vexo-demo-XXXXXX").string();
  // Nothing is made for a folder name too long for the panel.
  CheckTextLength("-o", (fs::path(newModels) / "tris.md2").string(), kDialogPathLimit);
  CheckTextLength("-o", settings.skin, kPanelTextLimit);

  // The module is loaded before anything is written.
  const auto session = OpenPanel(MakeDemoScene(folder.string()), common, reporter);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    reporter.Error("cannot make the folder " + folder.string() + ": " + ec.message());
    return kExitFailed;
  }
  CheckPanelSettings(settings);
  WriteDemoTextures(folder.string());
  for (const std::string& name : DemoTextureNames()) {
    const fs::path texture = folder / name;
    std::printf("wrote %s (%ju bytes), a texture of the scene\n", texture.c_str(),
                fs::file_size(texture, ec));
  }
  // A model left by an earlier run would be updated in place, and refused
  // if the scene has changed since: the demo always writes a new one, in a
  // folder of its own, and it replaces the earlier model once complete.
  if (!mkdtemp(newModels.data())) {
    reporter.Error("cannot make a folder in " + folder.string() + ": " + std::strerror(errno));
    return kExitFailed;
  }
  const struct RemovedAtEnd {
    fs::path folder;
    ~RemovedAtEnd() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
    }
  } newModelsRemoved{newModels};
  settings.modelDestination = ModelFileName(settings.model);
  settings.model = (fs::path(newModels) / "tris.md2").string();
  std::printf("exporting the demo scene: %d frames, from stand01 to death308\n", kDemoFrameCount);
  return ExportThroughPanel(*session, settings, reporter);
}

}  // namespace vexo::cli
