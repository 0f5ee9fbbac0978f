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
  const md2::Reading reading = md2::ReadMd2(model);
  ModelCheck check;
  if (reading.model.header.ident != kMd2Ident) {
    CheckModelFile(reading, check.findings);
    return check;
  }
  check.skins = skins.empty() && lookBeside ? SkinsBeside(model, reading.model.skinNames) : skins;
  // The skins are checked beside the model file, on a second thread; their
  // findings still follow the model's.
  std::vector<Findings> skinFindings(check.skins.size());
  std::future<void> skinsChecked;
  if (!check.skins.empty())
    skinsChecked = std::async(std::launch::async, [&] {
      for (std::size_t i = 0; i < check.skins.size(); ++i)
        CheckSkinFile(reading, check.skins[i], skinFindings[i]);
    });
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
