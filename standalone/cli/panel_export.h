// One export through the panel, as `vexo export` and `vexo demo` make it:
// the options checked, the frame list imported, the controls set, "Save
// md2" pressed, and what was written read back and listed on stdout.
#pragma once

#include <memory>
#include <string>

#include "standalone/cli/commands.h"
#include "standalone/cli/panel_session.h"
#include "standalone/import/clip_mapping.h"
#include "standalone/import/imported_scene.h"
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
// frame that the frame list does not have. With the imported scene file
// behind the panel's scene (null for the demo), its meshes are posed ahead
// of the plug-in, and when the textures do not fit the skin its hint is
// printed after the panel's message.
int ExportThroughPanel(PanelSession& session, const PanelSettings& settings, Reporter& reporter,
                       ImportedScene* imported = nullptr);

// Exports one clip per mapping through the open panel: for each, in order,
// the clip spread over its frame range (First Frame 0, Start and End the
// range) and "Save md2" pressed; the first save of a new model fills every
// frame. Every clip and frame is checked before anything is written
// (UsageError or ImportError). Stops at the first failure; closes the
// panel and returns the exit code.
int ExportClipMappings(PanelSession& session, const PanelSettings& settings,
                       const std::vector<ClipMapping>& mappings, ImportedScene& imported,
                       Reporter& reporter);

}  // namespace vexo::cli
