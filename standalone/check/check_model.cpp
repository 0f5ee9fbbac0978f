#include "standalone/check/check_model.h"

#include <filesystem>
#include <future>
#include <nlohmann/json.hpp>

#include "standalone/check/model_rules.h"
#include "standalone/check/skin_rules.h"

namespace vexo::check {
namespace {

namespace fs = std::filesystem;

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

}  // namespace

std::vector<std::string> SkinsBeside(const std::string& model,
                                     const std::vector<std::string>& skinNames) {
  const fs::path folder = fs::path(model).parent_path();
  std::vector<std::string> found;
  for (const std::string& name : skinNames) {
    // Names are game paths with "/" (models/monsters/tank/skin.pcx).
    const fs::path file = folder / fs::path(name.substr(name.find_last_of("/\\") + 1));
    if (!name.empty() && IsFile(file)) found.push_back(file.string());
  }
  if (!found.empty()) return found;
  for (const fs::path& file : {fs::path(model).replace_extension(".pcx"), folder / "tris.pcx"})
    if (IsFile(file)) return {file.string()};
  return {};
}

ModelCheck CheckModel(const std::string& model, const std::vector<std::string>& skins,
                      bool lookBeside) {
  // The skins are checked beside the model, on a second thread: skins named
  // up front are read there while the model is read here, which also hides
  // the thread's start. Their findings still follow the model's.
  std::promise<const md2::Reading*> modelRead;  // null: the skins go unchecked
  const std::shared_future<const md2::Reading*> readModel = modelRead.get_future().share();
  md2::Reading reading;
  ModelCheck check;
  std::vector<Findings> skinFindings;
  std::future<void> skinsChecked;  // last, so that it is waited for before what it uses goes
  auto checkSkins = [&] {
    skinFindings.resize(check.skins.size());
    skinsChecked = std::async(std::launch::async, [&] {
      std::vector<SkinFile> files;
      for (const std::string& skin : check.skins) files.push_back(ReadSkinFile(skin));
      if (const md2::Reading* read = readModel.get())
        for (std::size_t i = 0; i < files.size(); ++i)
          CheckSkinFile(*read, files[i], skinFindings[i]);
    });
  };
  check.skins = skins;
  if (!check.skins.empty()) checkSkins();
  try {
    reading = md2::ReadMd2(model);
  } catch (...) {
    modelRead.set_value(nullptr);
    throw;
  }
  if (reading.model.header.ident != kMd2Ident) {
    modelRead.set_value(nullptr);
    if (skinsChecked.valid()) skinsChecked.get();
    check.skins.clear();
    CheckModelFile(reading, check.findings);
    return check;
  }
  modelRead.set_value(&reading);
  if (check.skins.empty() && lookBeside) {
    check.skins = SkinsBeside(model, reading.model.skinNames);
    if (!check.skins.empty()) checkSkins();
  }
  CheckModelFile(reading, check.findings);
  if (skinsChecked.valid()) skinsChecked.get();
  for (Findings& found : skinFindings)
    check.findings.insert(check.findings.end(), found.begin(), found.end());
  return check;
}

Findings ForTargets(const Findings& findings, EngineSet targets) {
  Findings kept;
  for (Finding finding : findings) {
    finding.engines = finding.engines & targets;
    if (!finding.engines.Empty()) kept.push_back(std::move(finding));
  }
  return kept;
}

std::string FindingLine(const Finding& f) {
  std::string line = f.file + ": " + f.engines.Names() + ": " + f.message + "; " + f.fix;
  if (!f.option.empty()) line += " (" + f.option + ")";
  return line;
}

std::string CheckJson(const std::string& model, EngineSet targets, const ModelCheck& check) {
  auto names = [](EngineSet set) {
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < kEngineCount; ++i)
      if (set.Has(Engine(i))) list.push_back(EngineName(Engine(i)));
    return list;
  };
  nlohmann::json findings = nlohmann::json::array();
  for (const Finding& f : check.findings)
    findings.push_back({{"rule", f.rule},
                        {"file", f.file},
                        {"engines", names(f.engines)},
                        {"refused", f.refused},
                        {"message", f.message},
                        {"fix", f.fix},
                        {"option", f.option}});
  const nlohmann::json report = {{"model", model},
                                 {"targets", names(targets)},
                                 {"skins", check.skins},
                                 {"clean", check.findings.empty()},
                                 {"findings", findings}};
  // Names read from the model need not be UTF-8: such bytes become U+FFFD
  // instead of stopping the dump; control characters are escaped by JSON.
  return report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace vexo::check
