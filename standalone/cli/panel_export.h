// One export through the panel, as `vexo export` and `vexo demo` make it:
// the options checked, the frame list imported, the controls set, "Save
// md2" pressed, and what was written read back and listed on stdout.
#pragma once

#include <memory>
#include <string>

#include "standalone/cli/commands.h"
#include "standalone/cli/panel_session.h"
#include "standalone/memory_scene.h"

namespace vexo::cli {

// The files the plug-in names from a model path or skin name: the name cut
// at the first "." of its file name, with the extension appended.
std::string ModelFileName(const std::string& model);
std::string SkinFileName(const std::string& skin, const char* extension);

// Refuses, with UsageError, the settings that can be checked before the
// panel opens: numbers, text lengths, folders and files that must exist.
void CheckPanelSettings(const PanelSettings& settings);

// Loads the module (--plugin, or the one beside vexo) and opens its panel
// on the scene. Throws ModuleError when the module cannot be loaded.
std::unique_ptr<PanelSession> OpenPanel(MemoryScene scene, const CommonOptions& common,
                                        Reporter& reporter);

// Exports through the open panel, closes it, prints the written files and
// returns the exit code. Throws UsageError, with nothing written, for a
// frame that the frame list does not have.
int ExportThroughPanel(PanelSession& session, const PanelSettings& settings, Reporter& reporter);

}  // namespace vexo::cli
