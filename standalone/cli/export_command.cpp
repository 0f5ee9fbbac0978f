// vexo export SCENE -o MODEL [options]: one export of a scene through the
// plug-in's panel, or one per --map of a scene file's clips.
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "standalone/cli/commands.h"
#include "standalone/cli/export_finishing.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/panel_export.h"
#include "standalone/cli/scene_source.h"
#include "standalone/import/clip_mapping.h"
#include "standalone/import/scene_info.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

// Removes the texture cache this export made when the export wrote no
// model: a refused or failed export leaves nothing behind.
class CacheCleanup {
 public:
  CacheCleanup(fs::path folder, std::string model)
      : folder_(std::move(folder)), model_(std::move(model)), existed_(Exists(folder_)) {}
  ~CacheCleanup() {
    if (existed_ || Exists(ModelFileName(model_))) return;
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  CacheCleanup(const CacheCleanup&) = delete;
  CacheCleanup& operator=(const CacheCleanup&) = delete;

 private:
  fs::path folder_;
  std::string model_;
  bool existed_;
};

}  // namespace

int RunExport(const ExportOptions& options, const CommonOptions& common, Reporter& reporter) {
  PanelSettings settings = options.panel;
  settings.model = options.output;
  // The panel's skin name "tris", beside the model unless named.
  settings.skin = options.skin
                      ? *options.skin
                      : (fs::path(options.output).parent_path() / "tris").string();
  const auto playerFolder = PrepareFinishing(options, settings);
  CheckPanelSettings(settings);

  std::vector<ClipMapping> mappings;
  for (const std::string& text : options.maps) mappings.push_back(ParseClipMapping(text));
  if (!mappings.empty()) {
    if (IsDemoScene(options.scene, options.demo))
      throw UsageError("--map spreads a scene file's clips over frames; the demo has none");
    if (settings.start || settings.end || settings.firstFrame)
      throw UsageError("--map sets Start, End and First Frame itself: leave out --start, --end "
                       "and --first-frame");
  }

  ImportOptions import = options.import;
  import.textureCache = TextureCacheFolder(ModelFileName(settings.model));
  CacheCleanup cleanup(import.textureCache, settings.model);
  LoadedScene loaded = LoadScene(options.scene, options.demo, import);
  const auto session = OpenPanel(std::move(loaded.scene), common, reporter);
  const int code =
      !mappings.empty()
          ? ExportClipMappings(*session, settings, mappings, *loaded.imported, reporter)
          : ExportThroughPanel(*session, settings, reporter,
                               loaded.imported ? loaded.imported->SkinDoesNotFitMessage() : "");
  return code == kExitDone ? FinishExport(options, settings, reporter) : code;
}

int RunInfo(const InfoOptions& options) {
  ImportOptions import = options.import;
  import.prepareTextures = false;
  const std::string report = SceneInfoReport(import);
  std::fputs(report.c_str(), stdout);
  if (!report.empty() && report.back() != '\n') std::fputc('\n', stdout);
  return kExitDone;
}

}  // namespace vexo::cli
