// The verbs of the vexo command and what each is given. Every verb returns
// the process's exit code: 0 done, 1 the plug-in or a file operation
// failed (its message was printed), 2 the command line was refused or the
// scene file could not be imported.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "standalone/cli/reporter.h"
#include "standalone/finish/finish_files.h"
#include "standalone/import/import_options.h"

namespace vexo::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CommonOptions {
  std::string plugin;  // --plugin; empty: the module beside vexo
};

// What the panel is told for one export. Unset values keep the panel's
// own defaults (Start 0, End the last frame, First Frame 0, Scale 1).
struct PanelSettings {
  std::string model;  // answer to the Save dialog
  std::string skin;   // typed into Skin Name
  bool bmp = false;
  bool pcx = false;
  bool preview = false;  // not the panel's: a PNG of the skin afterwards
  std::optional<std::string> firstFrame;
  std::optional<std::string> start;
  std::optional<std::string> end;
  std::optional<std::string> scale;
  std::optional<std::string> framesFrom;
  // Where the model goes once complete, replacing any file of that name,
  // when the panel is told to write it elsewhere first; empty: it stays
  // where the panel wrote it.
  std::string modelDestination;
};

struct ExportOptions {
  std::string scene;  // SCENE; "demo" is the built-in demo, else a file
  bool demo = false;  // --demo
  std::string output;
  std::optional<std::string> skin;
  PanelSettings panel;
  ImportOptions import;           // for a scene file
  std::vector<std::string> maps;  // --map CLIP:FIRST-LAST, in order
  finish::FinishOptions finish;   // applied to what was written
  std::optional<std::string> player;  // --player DIR
  std::optional<std::string> previewSheet;  // --preview-sheet OUT.png
};

struct InfoOptions {
  ImportOptions import;
};

struct FramesOptions {
  std::optional<std::string> model;
};

struct CheckOptions {
  std::string model;
  std::vector<std::string> skins;  // --skin, in order
  std::string target = "all";
  bool json = false;
  std::optional<std::string> player;  // --player DIR
};

struct FinishCommandOptions {
  std::string model;
  std::string skin;  // --skin; empty: the PCX beside the model
  finish::FinishOptions finish;
};

struct RenderOptions {
  std::string model;
  std::string skin;  // --skin; empty: the skin beside the model
  std::optional<std::string> frames;     // --frames LIST
  std::optional<std::string> animation;  // --animation NAME
  std::string views = "front,side,three-quarter";
  int size = 128;
  std::string output;    // -o OUT.png
  std::string animated;  // --animated OUT.gif
  bool plain = false;
};

struct DemoOptions {
  std::string folder = "vexo-demo";
  bool preview = false;
};

int RunExport(const ExportOptions& options, const CommonOptions& common, Reporter& reporter);
int RunFrames(const FramesOptions& options, const CommonOptions& common, Reporter& reporter);
int RunDemo(const DemoOptions& options, const CommonOptions& common, Reporter& reporter);
int RunInfo(const InfoOptions& options);
int RunCheck(const CheckOptions& options);
int RunFinish(const FinishCommandOptions& options, Reporter& reporter);
int RunRender(const RenderOptions& options, Reporter& reporter);

// The module's description line for --version; throws ModuleError.
std::string ModuleVersionText(const CommonOptions& common);

// Parses the command line and runs the verb it names.
int RunCommandLine(int argc, char** argv);

}  // namespace vexo::cli
