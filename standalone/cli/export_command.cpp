// vexo export SCENE -o MODEL [options]: one export of a scene through the
// plug-in's panel, or one per --map of a scene file's clips.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "standalone/cli/commands.h"
#include "standalone/cli/export_finishing.h"
#include "standalone/cli/isolated_import.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/panel_export.h"
#include "standalone/cli/preview_sheet_export.h"
#include "standalone/cli/printable_text.h"
#include "standalone/cli/scene_source.h"
#include "standalone/cli/written_files.h"
#include "model/md2_format.h"
#include "standalone/import/clip_mapping.h"
#include "standalone/import/scene_info.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

// Takes away what the import added to the texture cache unless the export
// succeeds: a refused or failed export leaves nothing behind in it.
class CacheRollback {
 public:
  explicit CacheRollback(std::shared_ptr<ImportedScene> imported) : imported_(std::move(imported)) {}
  ~CacheRollback() {
    if (imported_ && !kept_) imported_->DiscardCacheAdditions();
  }
  CacheRollback(const CacheRollback&) = delete;
  CacheRollback& operator=(const CacheRollback&) = delete;
  int Keep(int code) {
    kept_ = code == kExitDone;
    return code;
  }

 private:
  std::shared_ptr<ImportedScene> imported_;
  bool kept_ = false;
};

// The frames the model gets: one for each name of the panel's frame list,
// the default names or those of --frames-from (which the panel reads and,
// when it cannot, says so itself).
int FramesWritten(const PanelSettings& settings) {
  if (!settings.framesFrom) return kDefaultFrameNameCount;
  try {
    const auto frames = ReadModelSummary(ModelFileName(*settings.framesFrom)).frameNames.size();
    return static_cast<int>(std::clamp<std::size_t>(frames, 1, static_cast<std::size_t>(kMd2MaxFrames)));
  } catch (const Error&) {
    return kDefaultFrameNameCount;
  }
}

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
  CheckPreviewSheet(options);

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
  import.budget.frames = FramesWritten(settings);
  LoadedScene loaded = LoadScene(options.scene, options.demo, import);
  CacheRollback rollback(loaded.imported);
  if (loaded.imported) {
    for (const std::string& note : loaded.imported->notes()) reporter.Note(note);
  }
  const auto session = OpenPanel(std::move(loaded.scene), common, reporter);
  const int code =
      !mappings.empty()
          ? ExportClipMappings(*session, settings, mappings, *loaded.imported, reporter)
          : ExportThroughPanel(*session, settings, reporter, loaded.imported.get());
  const int finished =
      rollback.Keep(code == kExitDone ? FinishExport(options, settings, reporter) : code);
  if (finished != kExitDone || !options.previewSheet) return finished;
  return WritePreviewSheet(options, settings, session->scene(), loaded.imported.get(), reporter);
}

int RunInfo(const InfoOptions& options) {
  ImportOptions import = options.import;
  import.prepareTextures = false;
  // The report's names come from the scene file; its lines are its own.
  const std::string report = PrintableText(
      ImportIsolated(import.path.string(), import.limits,
                     [&import] { return SceneInfoReport(import); }),
      true);
  std::fputs(report.c_str(), stdout);
  if (!report.empty() && report.back() != '\n') std::fputc('\n', stdout);
  return kExitDone;
}

}  // namespace vexo::cli
