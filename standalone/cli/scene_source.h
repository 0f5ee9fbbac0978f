// The scene that a command exports, as named on the command line.
#pragma once

#include <memory>
#include <string>

#include "standalone/memory_scene.h"

namespace vexo::cli {

// A scene ready for the host, with whatever must outlive the export (the
// bitmaps the scene names, for instance).
struct LoadedScene {
  MemoryScene scene;
  std::shared_ptr<void> keepAlive;
};

// True when the SCENE argument names the built-in demo.
bool IsDemoScene(const std::string& argument, bool demoFlag);

// The scene for `vexo export`. The built-in demo's bitmaps are written into
// a temporary folder that is removed when the result is dropped. Throws
// UsageError for a scene that cannot be read.
LoadedScene LoadScene(const std::string& argument, bool demoFlag);

}  // namespace vexo::cli
