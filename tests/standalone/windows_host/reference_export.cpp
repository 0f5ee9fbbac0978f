// vexo_windows_reference OUT_DIR [MODULE]: makes, with the native module and
// its panel on the Windows stand-in, the export that the Windows host's
// "export" test makes under Wine, so that the two sets of files can be
// compared byte for byte. Writes the demo bitmaps, model.md2, skin.bmp,
// skin.pcx and the mesh dump tris.asc into OUT_DIR.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "standalone/demo_scene.h"
#include "standalone/module_loader.h"
#include "standalone/panel_host.h"
#include "tests/standalone/windows_host/comparison_scene.h"
#include "tests/standalone/windows_host/export_settings.h"
#include "vexo_win32_host.h"

namespace {

namespace ref = vexo::reference;
namespace win32 = vexo::win32;

int Fail(const std::string& message) {
  std::fprintf(stderr, "vexo_windows_reference: %s\n", message.c_str());
  return 1;
}

// The user's steps, as the Windows test takes them.
bool SetUpAndSave(HWND page) {
  return win32::ClickListLine(page, 1003, ref::kStartLine) && win32::ClickButton(page, 1014) &&
         win32::ClickListLine(page, 1003, ref::kEndLine) && win32::ClickButton(page, 1015) &&
         win32::TypeText(page, 1008, ref::kFirstFrameText) &&
         win32::TypeText(page, 1020, ref::kScaleText) &&
         win32::TypeText(page, 1021, ref::kSkinName) && win32::ClickButton(page, 1005) &&
         win32::ClickButton(page, 1006) && win32::ClickButton(page, 1009);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: vexo_windows_reference OUT_DIR [MODULE]\n");
    return 2;
  }
  namespace fs = std::filesystem;
  try {
    const fs::path module = fs::absolute(argc > 2 ? argv[2] : VEXO_BIN_DIR "/Dorvane.dlu");
    const fs::path out = fs::absolute(argv[1]);
    fs::create_directories(out);
    fs::current_path(out);
    for (const char* name : ref::kWrittenFiles) fs::remove(name);
    // The mesh dump goes to the user's cache folder; keep it with the rest.
    const fs::path cache = out / "cache";
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);

    vexo::WriteDemoTextures(".");
    vexo::PanelHost host(vexo::MakeComparisonScene("."));
    vexo::PluginModule plugin(module.string());
    vexo::UtilityObject utility = plugin.Class(0).CreateUtility();
    utility.OpenPanel(&host, nullptr);
    if (host.pages().empty()) return Fail("the module added no panel page");

    const std::string model = (out / (std::string(ref::kModelName) + ".md2")).string();
    win32::SetSaveFileNameHandler([&model](const OPENFILENAMEA&) { return model; });
    win32::ClearMessageBoxLog();
    const bool done = SetUpAndSave(host.pages().back().window);
    utility.ClosePanel(&host, nullptr);
    if (!done) return Fail("a control of the panel is missing or disabled");
    for (const auto& box : win32::MessageBoxLog()) {
      return Fail("the export showed \"" + box.caption + "\": " + box.text);
    }
    for (const char* name : ref::kWrittenFiles) {
      if (!fs::exists(name)) return Fail(std::string("the export wrote no ") + name);
    }
    fs::rename(cache / "vexo" / "tris.asc", out / "tris.asc");
    fs::remove_all(cache);
    std::printf("reference export written to %s\n", out.c_str());
    return 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
