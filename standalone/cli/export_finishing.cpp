#include "standalone/cli/export_finishing.h"

#include <cstdio>
#include <filesystem>

#include "standalone/check/check_model.h"
#include "standalone/check/player_folder.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/panel_export.h"
#include "standalone/finish/player_icon.h"
#include "standalone/finish/skin_names.h"
#include "standalone/md2/read_md2.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

void Warn(const check::ModelCheck& result, Reporter& reporter) {
  for (const check::Finding& finding : result.findings)
    reporter.Warning(check::FindingLine(finding));
}

// Runs the finishing steps; prints what was done. Throws FinishError or
// std::runtime_error.
void Finish(const std::string& model, const std::string& skin,
            const finish::FinishOptions& options) {
  if (!options.Any()) return;
  for (const std::string& line : finish::FinishFiles(model, skin, options))
    std::printf("finished %s: %s\n", model.c_str(), line.c_str());
}

std::string IconOf(const std::string& skin) {
  const fs::path path(skin);
  return (path.parent_path() / (path.stem().string() + check::kPlayerIconSuffix + ".pcx"))
      .string();
}

void WritePlayerIcon(const std::string& model, const std::string& skin) {
  const std::string icon = IconOf(skin);
  skin::WritePcx(icon, finish::DrawPlayerIcon(md2::LoadMd2(model), skin::ReadPcx(skin)));
  std::error_code ec;
  std::printf("wrote %s (%ju bytes), the skin's icon for the player setup menu\n", icon.c_str(),
              fs::file_size(icon, ec));
}

}  // namespace

MadeFolder::MadeFolder(std::string path) {
  std::error_code ec;
  for (fs::path p = path; !p.empty() && !fs::exists(p, ec); p = p.parent_path())
    made_.push_back(p.string());
  fs::create_directories(path, ec);
  if (ec) throw UsageError("cannot make the folder " + path + ": " + ec.message());
}

MadeFolder::~MadeFolder() {
  std::error_code ec;
  for (const std::string& folder : made_)
    if (fs::is_empty(folder, ec)) fs::remove(folder, ec);
}

std::unique_ptr<MadeFolder> PrepareFinishing(const ExportOptions& options,
                                             PanelSettings& settings) {
  if (!options.finish.skinPaths.empty()) {
    const std::string problem = finish::SkinNamesProblem(options.finish.skinPaths);
    if (!problem.empty()) throw UsageError("--skin-path: " + problem);
  }
  if (!options.player) {
    if (options.output.empty()) throw UsageError("-o MODEL names the model to write (or --player DIR)");
    if (options.finish.safePalette && !settings.pcx)
      throw UsageError("--safe-palette works on the PCX skin: add --pcx");
    return nullptr;
  }
  if (!options.output.empty())
    throw UsageError("--player writes DIR/tris.md2 itself: leave out -o");
  const fs::path folder(*options.player);
  const std::string name = options.skin ? fs::path(*options.skin).filename().string()
                                        : folder.filename().string();
  settings.model = (folder / check::kPlayerModelName).string();
  settings.skin = (folder / name).string();
  settings.pcx = true;
  CheckTextLength("--player", settings.model, kDialogPathLimit);
  return std::make_unique<MadeFolder>(folder.string());
}

int FinishExport(const ExportOptions& options, const PanelSettings& settings, Reporter& reporter) {
  const std::string model = ModelFileName(settings.model);
  const std::string pcx = settings.pcx ? SkinFileName(settings.skin, ".pcx") : "";
  std::vector<std::string> skins;
  if (settings.pcx) skins.push_back(pcx);
  else if (settings.bmp) skins.push_back(SkinFileName(settings.skin, ".bmp"));
  try {
    Finish(model, pcx, options.finish);
    if (options.player) {
      WritePlayerIcon(model, pcx);
      Warn(check::CheckPlayerFolder(*options.player), reporter);
    } else {
      Warn(check::CheckModel(model, skins, false), reporter);
    }
  } catch (const std::runtime_error& e) {
    reporter.Error(e.what());
    return kExitFailed;
  }
  return kExitDone;
}

int FinishWrittenFiles(const std::string& model, const std::string& skin,
                       const finish::FinishOptions& options, Reporter& reporter) {
  try {
    Finish(model, skin, options);
  } catch (const finish::FinishError& e) {
    reporter.Error(e.what());
    return kExitUsage;
  } catch (const std::runtime_error& e) {
    reporter.Error(e.what());
    return kExitFailed;
  }
  Warn(check::CheckModel(model, skin.empty() ? std::vector<std::string>{} : std::vector{skin}),
       reporter);
  return kExitDone;
}

}  // namespace vexo::cli
