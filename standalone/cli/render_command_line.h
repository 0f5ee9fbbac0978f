// The command line of vexo render.
#pragma once

#include <CLI/CLI.hpp>

#include "standalone/cli/commands.h"

namespace vexo::cli {

CLI::App* AddRenderVerb(CLI::App& app, RenderOptions& options);

}  // namespace vexo::cli
