// vexo export ... --preview-sheet OUT.png: after the export, a few frames of
// each exported range drawn twice, the scene as the host posed it when the
// plug-in sampled the frame beside the model as written (and finished).
#pragma once

#include "standalone/cli/commands.h"
#include "standalone/import/imported_scene.h"
#include "standalone/memory_scene.h"

namespace vexo::cli {

// Refuses, with UsageError, a sheet that cannot be written where asked,
// before anything is exported.
void CheckPreviewSheet(const ExportOptions& options);

// Draws and writes the sheet; returns the exit code. `imported` is the
// scene file's import (null for the demo), which spreads its clips over
// the ranges of --map.
int WritePreviewSheet(const ExportOptions& options, const PanelSettings& settings,
                      MemoryScene& scene, ImportedScene* imported, Reporter& reporter);

}  // namespace vexo::cli
