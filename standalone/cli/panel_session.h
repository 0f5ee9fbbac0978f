// One use of the plug-in's panel, as a user at the modelling host would
// make it: the module loaded, its utility created and its panel opened on
// a scene; controls set and buttons pressed; the Save dialog answered with
// a path given beforehand; every message box printed on stderr.
//
//   vexo::cli::PanelSession session(vexo::MakeDemoScene(dir), modulePath, reporter);
//   session.ChooseStart(40);                  // line "run1", then Start
//   session.SetScale("0.5");
//   Press press = session.SaveModel("out/tris.md2");
//   if (press.failed) ...                     // the panel showed a failure
//
// The panel is closed and the module unloaded when the session ends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "standalone/cli/reporter.h"
#include "standalone/memory_scene.h"
#include "standalone/module_loader.h"
#include "standalone/panel_host.h"

namespace vexo::cli {

// What pressing a button of the panel led to.
struct Press {
  bool askedForFile = false;  // the Save dialog was shown (and answered)
  bool failed = false;        // the panel showed a message box
  std::vector<std::string> messages;  // the texts of the boxes it showed
};

// The host behind the session: the panel host, which also counts how often
// the plug-in asks for the time base while a press runs — once for every
// frame it samples for the model file.
class CliHost : public PanelHost {
 public:
  using PanelHost::PanelHost;
  int TicksPerFrame() override;
  std::function<void()> onFrameTime;
};

class PanelSession {
 public:
  // Loads the module (after the host exists: loading initialises its
  // controls through the host), creates the utility and opens its panel.
  // Throws ModuleError or std::runtime_error when that fails.
  PanelSession(MemoryScene scene, const std::string& modulePath, Reporter& reporter);
  ~PanelSession();
  PanelSession(const PanelSession&) = delete;
  PanelSession& operator=(const PanelSession&) = delete;

  const PluginModule& module() const { return module_; }
  int ticksPerFrame() { return host_.scene().ticksPerFrame(); }
  // The scene the panel exports.
  MemoryScene& scene() { return host_.scene(); }

  // The lines of the frame list, in list order.
  std::vector<std::string> FrameNames() const;

  // "Import new frame list", the Save dialog answered with path.
  Press ImportFrameList(const std::string& path);
  // Selects a line of the frame list and presses Start or End.
  void ChooseStart(int line);
  void ChooseEnd(int line);
  // Types into the First Frame, Scale and Skin Name boxes.
  void SetFirstFrame(const std::string& text);
  void SetScale(const std::string& text);
  void SetSkinName(const std::string& text);
  // Ticks "Save BMP texture" / "Save PCX texture" (they start unticked).
  void TickSaveBmp();
  void TickSavePcx();
  // "Save md2", the Save dialog answered with path. While it runs,
  // onFrame (when set) is called for every frame the plug-in samples.
  Press SaveModel(const std::string& path, std::function<void()> onFrame = nullptr);

  // Closes the panel (also done when the session ends).
  void Close();

 private:
  // Clicks the button and answers its Save dialog with dialogAnswer,
  // calling onAnswer (if any) as it does.
  Press PressButton(int id, const std::string& dialogAnswer,
                    const std::function<void()>& onAnswer = nullptr);
  void Control(bool done, const char* what) const;
  // The failure the module recorded during the last press, if it recorded
  // one then: the record keeps only its first entry while the module stays
  // loaded.
  std::optional<std::string> NewRecordedFailure() const;

  CliHost host_;  // declared first: destroyed after the module is unloaded
  PluginModule module_;
  std::optional<UtilityObject> utility_;
  HWND page_ = nullptr;
  Reporter& reporter_;
  int (*lastError_)(const char**, const char**) = nullptr;
  const char* (*lastErrorReason_)() = nullptr;
  bool recordedBefore_ = false;
};

}  // namespace vexo::cli
