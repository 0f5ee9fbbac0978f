// The scene that a command exports, as named on the command line.
#pragma once

#include <memory>
#include <string>

#include "standalone/import/imported_scene.h"
#include "standalone/memory_scene.h"

namespace vexo::cli {

// A scene ready for the host, with whatever must outlive the export (the
// bitmaps the scene names, for instance).
struct LoadedScene {
  MemoryScene scene;
  std::shared_ptr<void> keepAlive;
  // A scene file's import, which keeps driving the scene's animation after
  // the scene is handed to the host; null for the demo.
  std::shared_ptr<ImportedScene> imported;
};

// True when the SCENE argument names the built-in demo.
bool IsDemoScene(const std::string& argument, bool demoFlag);

// The scene for `vexo export`. The built-in demo's bitmaps are written into
// a temporary folder that is removed when the result is dropped. Any other
// argument is a scene file, imported with `import` (its path is set here).
// Throws UsageError for a missing scene and ImportError for a scene file
// that cannot be imported.
LoadedScene LoadScene(const std::string& argument, bool demoFlag, ImportOptions import = {});

}  // namespace vexo::cli
