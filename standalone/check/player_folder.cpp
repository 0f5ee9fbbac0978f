#include "standalone/check/player_folder.h"

#include <algorithm>
#include <filesystem>

#include "standalone/check/model_rules.h"
#include "standalone/check/skin_rules.h"

namespace vexo::check {
namespace {

namespace fs = std::filesystem;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The skins of the folder, by file name, icons left out; sorted.
std::vector<fs::path> Skins(const fs::path& folder) {
  std::vector<fs::path> skins;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const fs::path& p = entry.path();
    if (entry.is_regular_file(ec) && p.extension() == ".pcx" &&
        !EndsWith(p.stem().string(), kPlayerIconSuffix))
      skins.push_back(p);
  }
  std::sort(skins.begin(), skins.end());
  return skins;
}

fs::path IconOf(const fs::path& skin) {
  return skin.parent_path() / (skin.stem().string() + kPlayerIconSuffix + ".pcx");
}

void CheckIcon(const fs::path& icon, Findings& out) {
  try {
    CheckPcxForm(skin::ReadPcx(icon.string()), icon.string(), out);
  } catch (const skin::PcxError& e) {
    Report(out, icon.string(), "pcx-form", EngineSet::Games(), true, e.what(),
           "write the player folder again (vexo export --player)");
  }
}

}  // namespace

ModelCheck CheckPlayerFolder(const std::string& folderName) {
  const fs::path folder(folderName);
  const fs::path model = folder / kPlayerModelName;
  ModelCheck check;
  std::error_code ec;
  if (!fs::is_regular_file(model, ec)) {
    Report(check.findings, folder.string(), "player-folder", EngineSet::Games(), true,
           "the folder holds no tris.md2: the player setup menu does not list it",
           "write the player folder (vexo export --player)");
    return check;
  }
  const md2::Reading reading = md2::ReadMd2(model.string());
  CheckModelFile(reading, check.findings);
  // A player's skin comes from its folder, never from names in the file.
  check.findings.erase(std::remove_if(check.findings.begin(), check.findings.end(),
                                      [](const Finding& f) { return f.rule == "skin-name"; }),
                       check.findings.end());
  if (reading.model.header.ident != kMd2Ident) return check;

  int listed = 0;
  for (const fs::path& skin : Skins(folder)) {
    check.skins.push_back(skin.string());
    CheckSkinFile(reading, skin.string(), check.findings);
    const fs::path icon = IconOf(skin);
    if (!fs::is_regular_file(icon, ec)) {
      Report(check.findings, skin.string(), "player-icon", EngineSet::Games(), false,
             "the skin has no icon " + icon.filename().string() +
                 " beside it: the player setup menu does not offer it",
             "write the player folder (vexo export --player)");
      continue;
    }
    ++listed;
    CheckIcon(icon, check.findings);
  }
  if (listed == 0)
    Report(check.findings, folder.string(), "player-folder", EngineSet::Games(), true,
           "the folder holds no skin SKIN.pcx with its icon SKIN_i.pcx: the player setup menu "
           "does not list it",
           "write the player folder (vexo export --player)");
  return check;
}

}  // namespace vexo::check
