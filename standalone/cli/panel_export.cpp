#include "standalone/cli/panel_export.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "base/file_names.h"
#include "errors/messages.h"
#include "standalone/cli/module_path.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/printable_text.h"
#include "standalone/cli/written_files.h"
#include "standalone/pictures/png_writer.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The folder a file name lies in must exist for the plug-in to write there.
void CheckFolderOf(const std::string& option, const std::string& file) {
  const fs::path folder = fs::path(file).parent_path();
  std::error_code ec;
  if (!folder.empty() && !fs::is_directory(folder, ec))
    throw UsageError(option + ": the folder " + folder.string() + " does not exist");
}

std::uintmax_t FileBytes(const std::string& path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  return ec ? 0 : size;
}

// Prints the files of a finished export, read back from disk, once the
// model has its destination.
int ReportWritten(const PanelSettings& settings, bool modelExisted, int start, int end,
                  Reporter& reporter) {
  std::string model = ModelFileName(settings.model);
  ModelSummary summary;
  try {
    summary = ReadModelSummary(model);
  } catch (const Error& e) {
    reporter.Error(std::string("the plug-in reported success, but ") + e.what());
    return kExitFailed;
  }
  if (!settings.modelDestination.empty()) {
    std::error_code ec;
    fs::rename(model, settings.modelDestination, ec);
    if (ec) {
      reporter.Error("cannot move " + model + " to " + settings.modelDestination + ": " +
                     ec.message());
      return kExitFailed;
    }
    model = settings.modelDestination;
  }
  std::printf("%s %s (%ju bytes): %zu frames of %d vertices and %d triangles, skin %d x %d; "
              "frames %d-%d (%s to %s) exported\n",
              modelExisted ? "updated" : "wrote", model.c_str(), summary.bytes,
              summary.frameNames.size(), summary.vertices, summary.triangles,
              summary.skinWidth, summary.skinHeight, start, end,
              PrintableText(summary.frameNames.at(start)).c_str(),
              PrintableText(summary.frameNames.at(end)).c_str());

  std::string previewSource;
  for (const auto& [ticked, extension] : {std::pair{settings.bmp, ".bmp"}, {settings.pcx, ".pcx"}}) {
    if (!ticked) continue;
    const std::string skin = SkinFileName(settings.skin, extension);
    std::printf("wrote %s (%ju bytes)\n", skin.c_str(), FileBytes(skin));
    // The preview shows what the game shows: the PCX when there is one.
    previewSource = skin;
  }
  if (!settings.preview) return kExitDone;

  const std::string png = SkinFileName(settings.skin, ".png");
  try {
    WritePng(png, ReadSkin(previewSource));
  } catch (const Error& e) {
    reporter.Error(e.what());
    return kExitFailed;
  }
  std::printf("wrote %s (%ju bytes), a preview of %s\n", png.c_str(), FileBytes(png),
              previewSource.c_str());
  return kExitDone;
}

}  // namespace

std::string ModelFileName(const std::string& model) { return NameWithExtension(model, ".md2"); }

std::string SkinFileName(const std::string& skin, const char* extension) {
  return NameWithExtension(skin, extension);
}

void CheckPanelSettings(const PanelSettings& settings) {
  if (StripExtension(fs::path(settings.model).filename().string()).empty())
    throw UsageError("-o: \"" + settings.model + "\" gives the model file no name");
  CheckTextLength("-o", settings.model, kDialogPathLimit);
  CheckFolderOf("-o", ModelFileName(settings.model));
  std::error_code ec;
  if (fs::is_directory(ModelFileName(settings.model), ec))
    throw UsageError("-o: " + ModelFileName(settings.model) + " is a folder");
  if (StripExtension(fs::path(settings.skin).filename().string()).empty())
    throw UsageError("--skin: \"" + settings.skin + "\" gives the skin files no name");
  CheckTextLength("--skin", settings.skin, kPanelTextLimit);
  CheckFolderOf("--skin", settings.skin);
  if (settings.scale) CheckScale(*settings.scale);
  if (settings.firstFrame) CheckHostFrame("--first-frame", *settings.firstFrame);
  if (settings.framesFrom) {
    CheckTextLength("--frames-from", *settings.framesFrom, kDialogPathLimit);
    const std::string read = ModelFileName(*settings.framesFrom);
    if (!IsFile(read)) throw UsageError("--frames-from: there is no model " + read);
  }
  if (settings.preview && !settings.bmp && !settings.pcx)
    throw UsageError("--preview shows the skin the plug-in writes: add --bmp or --pcx");
}

std::unique_ptr<PanelSession> OpenPanel(MemoryScene scene, const CommonOptions& common,
                                        Reporter& reporter) {
  const std::string modulePath = common.plugin.empty() ? DefaultModulePath() : common.plugin;
  return std::make_unique<PanelSession>(std::move(scene), modulePath, reporter);
}

namespace {

// The frame list after --frames-from; never empty.
std::vector<std::string> FrameList(PanelSession& session, const PanelSettings& settings,
                                   bool& failed) {
  failed = settings.framesFrom && session.ImportFrameList(*settings.framesFrom).failed;
  if (failed) return {};
  std::vector<std::string> names = session.FrameNames();
  if (names.empty())
    throw UsageError("the frame list is empty: a model needs at least one frame");
  return names;
}

// The controls that stay as they are from one save to the next.
void SetOnce(PanelSession& session, const PanelSettings& settings) {
  if (settings.scale) session.SetScale(*settings.scale);
  session.SetSkinName(settings.skin);
  if (settings.bmp) session.TickSaveBmp();
  if (settings.pcx) session.TickSavePcx();
}

// Stops posing ahead when the press is over, also when it throws.
struct PosingAhead {
  ImportedScene* imported;
  PosingAhead(ImportedScene* scene, int firstFrame, int count) : imported(scene) {
    if (imported) imported->StartPosingAhead(firstFrame, count);
  }
  ~PosingAhead() {
    if (imported) imported->StopPosingAhead();
  }
  PosingAhead(const PosingAhead&) = delete;
  PosingAhead& operator=(const PosingAhead&) = delete;
};

// Presses "Save md2" with Start and End chosen and reports the result;
// the panel stays open.
int Save(PanelSession& session, const PanelSettings& settings, int start, int end,
         std::uint32_t firstFrame, std::size_t frameCount, ImportedScene* imported,
         Reporter& reporter) {
  // Start and End are always chosen, so that the range is the one asked
  // for even after an import of a longer list.
  session.ChooseStart(start);
  session.ChooseEnd(end);
  // A new model is first filled with every frame, then the chosen ones are
  // written again unless they come from the host frames just written.
  const bool modelExisted = IsFile(ModelFileName(settings.model));
  const long chosen = end >= start ? end - start + 1 : 0;
  const long frames = modelExisted ? chosen
                      : long(frameCount) + (firstFrame == std::uint32_t(start) ? 0 : chosen);
  reporter.BeginProgress("writing frames", frames);
  Press press;
  {
    // The frames the plug-in samples first: every frame of a new model,
    // the chosen ones of an existing one.
    const PosingAhead ahead(imported, modelExisted ? int(firstFrame) : 0,
                            modelExisted ? int(chosen) : int(frameCount));
    press = session.SaveModel(settings.model, [&reporter]() { reporter.Step(); });
  }
  reporter.EndProgress();
  const std::string skinHint = imported ? imported->SkinDoesNotFitMessage() : "";

  if (press.failed) {
    for (const std::string& message : press.messages)
      if (message == kCannotPlaceTextures.text && !skinHint.empty()) reporter.Detail(skinHint);
    return kExitFailed;
  }
  if (!press.askedForFile) {
    reporter.Error("the panel did not ask where to save the model");
    return kExitFailed;
  }
  return ReportWritten(settings, modelExisted, start, end, reporter);
}

}  // namespace

int ExportThroughPanel(PanelSession& session, const PanelSettings& settings, Reporter& reporter,
                       ImportedScene* imported) {
  bool failed = false;
  const std::vector<std::string> names = FrameList(session, settings, failed);
  if (failed) return kExitFailed;
  const int start = settings.start ? ResolveFrame("--start", *settings.start, names) : 0;
  const int end = settings.end ? ResolveFrame("--end", *settings.end, names)
                               : static_cast<int>(names.size()) - 1;
  const std::uint32_t firstFrame =
      settings.firstFrame ? CheckHostFrame("--first-frame", *settings.firstFrame) : 0;
  CheckFrameTimes(firstFrame, start, end, session.ticksPerFrame());

  if (settings.firstFrame) session.SetFirstFrame(*settings.firstFrame);
  SetOnce(session, settings);
  const int code = Save(session, settings, start, end, firstFrame, names.size(), imported, reporter);
  session.Close();
  return code;
}

int ExportClipMappings(PanelSession& session, const PanelSettings& settings,
                       const std::vector<ClipMapping>& mappings, ImportedScene& imported,
                       Reporter& reporter) {
  bool failed = false;
  const std::vector<std::string> names = FrameList(session, settings, failed);
  if (failed) return kExitFailed;

  struct Step {
    std::size_t clip;
    int start, end;
  };
  std::vector<Step> steps;
  for (const ClipMapping& mapping : mappings) {
    Step step{imported.FindClip(mapping.clip),
              ResolveFrame("--map " + mapping.clip, mapping.firstFrame, names),
              ResolveFrame("--map " + mapping.clip, mapping.lastFrame, names)};
    if (step.end < step.start)
      throw UsageError("--map " + mapping.clip + ": the range " + mapping.firstFrame + "-" +
                       mapping.lastFrame + " runs backwards");
    CheckFrameTimes(0, step.start, step.end, session.ticksPerFrame());
    steps.push_back(step);
  }

  session.SetFirstFrame("0");
  SetOnce(session, settings);
  int code = kExitDone;
  for (const Step& step : steps) {
    imported.MapClipToFrames(step.clip, step.end - step.start + 1);
    code = Save(session, settings, step.start, step.end, 0, names.size(), &imported, reporter);
    if (code != kExitDone) break;
  }
  session.Close();
  return code;
}

}  // namespace vexo::cli
