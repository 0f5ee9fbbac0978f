// The command line of the checking and finishing verbs: vexo check, vexo
// finish, and the finishing options vexo export shares with vexo finish.
#pragma once

#include <CLI/CLI.hpp>

#include "standalone/cli/commands.h"

namespace vexo::cli {

// --normals, --skin-path, --safe-palette, --strict-end, --strips, --game.
void AddFinishingOptions(CLI::App& verb, finish::FinishOptions& finish);

CLI::App* AddCheckVerb(CLI::App& app, CheckOptions& options);
CLI::App* AddFinishVerb(CLI::App& app, FinishCommandOptions& options);

}  // namespace vexo::cli
