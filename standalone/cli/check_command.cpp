// vexo check MODEL [--skin FILE]... [--target ENGINE|all] [--json], or
// vexo check --player DIR: the rules each engine holds a model and its
// skins to. Exit 0 when clean for the targets, 1 with findings, 2 when the
// model cannot be read.
#include <cstdio>
#include <filesystem>

#include "standalone/check/check_model.h"
#include "standalone/check/player_folder.h"
#include "standalone/cli/commands.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/printable_text.h"
#include "standalone/md2/read_md2.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

void PrintText(const std::string& subject, const std::string& targets,
               const check::ModelCheck& result) {
  // Findings and skins carry names read from the model.
  for (const check::Finding& finding : result.findings)
    std::printf("%s\n", PrintableText(check::FindingLine(finding)).c_str());
  std::string skins;
  for (const std::string& skin : result.skins)
    skins += (skins.empty() ? "" : ", ") + PrintableText(skin);
  std::printf("checked %s%s for %s: %s\n", subject.c_str(),
              skins.empty() ? " (no skin found; --skin names one)" : (" with " + skins).c_str(),
              targets.c_str(),
              result.findings.empty()
                  ? "clean"
                  : (std::to_string(result.findings.size()) + " finding" +
                     (result.findings.size() == 1 ? "" : "s"))
                        .c_str());
}

}  // namespace

int RunCheck(const CheckOptions& options) {
  const auto targets = check::ParseTarget(options.target);
  if (!targets)
    throw UsageError("--target: \"" + options.target + "\" is not one of " +
                     check::TargetNames());
  std::error_code ec;
  if (options.player && (!options.model.empty() || !options.skins.empty()))
    throw UsageError("--player checks the folder's tris.md2 and skins: leave out MODEL and --skin");
  if (!options.player && options.model.empty())
    throw UsageError("name the MODEL to check (or a player folder with --player DIR)");
  if (options.player && !fs::is_directory(*options.player, ec))
    throw UsageError("--player: there is no folder " + *options.player);
  for (const std::string& skin : options.skins)
    if (!fs::is_regular_file(skin, ec)) throw UsageError("--skin: there is no file " + skin);

  check::ModelCheck result;
  try {
    result = options.player ? check::CheckPlayerFolder(*options.player)
                            : check::CheckModel(options.model, options.skins);
  } catch (const md2::ReadError& e) {
    std::fprintf(stderr, "vexo: %s\n", e.what());
    return kExitUsage;
  }
  result.findings = check::ForTargets(result.findings, *targets);
  const std::string subject = options.player ? *options.player : options.model;
  if (options.json)
    std::printf("%s\n", check::CheckJson(subject, *targets, result).c_str());
  else
    PrintText(subject, targets->Names(), result);
  return result.findings.empty() ? kExitDone : kExitFailed;
}

}  // namespace vexo::cli
