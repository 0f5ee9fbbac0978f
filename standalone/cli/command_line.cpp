// The command line: verbs, their options and help, and the exit codes of
// refused command lines and failures.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>

#include "standalone/cli/commands.h"
#include "standalone/cli/finishing_command_line.h"
#include "standalone/cli/module_path.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/render_command_line.h"
#include "standalone/cli/scene_source.h"
#include "standalone/import/import_command_line.h"
#include "standalone/import/import_options.h"
#include "standalone/module_loader.h"

#ifndef VEXO_VERSION
#define VEXO_VERSION "unknown"
#endif

namespace vexo::cli {
namespace {

// An option given as text and checked by the verb; unset when not given.
struct TextOption {
  std::string value;
  CLI::Option* option = nullptr;
  std::optional<std::string> Get() const {
    return option && option->count() ? std::optional<std::string>(value) : std::nullopt;
  }
};

void AddText(CLI::App& verb, TextOption& text, const std::string& name, const std::string& type,
             const std::string& help) {
  text.option = verb.add_option(name, text.value, help)->type_name(type);
}

// Whether to build a verb: a command line that starts with a verb is
// parsed with that verb alone, as building every verb's options takes ten
// times as long as the parse. Any other (options first, help, a mistyped
// verb) gets every verb, so help and errors name them all; a verb missing
// from this list is always built.
bool Builds(const char* verb, int argc, char** argv) {
  static const char* const kVerbs[] = {"export", "check", "finish", "render",
                                       "frames", "demo", "info"};
  if (argc < 2) return true;
  const std::string first = argv[1];
  return first == verb ||
         std::find(std::begin(kVerbs), std::end(kVerbs), first) == std::end(kVerbs);
}

}  // namespace

std::string ModuleVersionText(const CommonOptions& common) {
  const std::string path = common.plugin.empty() ? DefaultModulePath() : common.plugin;
  const PluginModule module(path);
  return std::string("vexo ") + VEXO_VERSION + "\n" + module.Description() + "\n" + path +
         " (for host release " + std::to_string(module.hostRelease()) + ")";
}

int RunCommandLine(int argc, char** argv) {
  CLI::App app("Exports animated, textured meshes as Quake 2 models (MD2) with their skins, "
               "through the Dorvane plug-in and its panel.",
               "vexo");
  app.require_subcommand(1);
  app.fallthrough();
  app.footer(
      "Examples:\n"
      "  vexo demo                                  the demo scene into ./vexo-demo/\n"
      "  vexo export demo -o ogre.md2 --pcx         a new model with every frame\n"
      "  vexo export demo -o ogre.md2 --start run1 --end run6 --first-frame 40\n"
      "                                             rewrite six frames of it\n"
      "  vexo frames ogre.md2                       the frame list of a model\n"
      "  vexo export hero.gltf -o hero.md2 --pcx --map Idle:stand01-stand40 --map Run:run1-run6\n"
      "                                             two clips of a scene file as two ranges\n"
      "  vexo info hero.gltf                        what an import makes of a scene file\n"
      "  vexo export hero.gltf -o hero.md2 --pcx --game\n"
      "                                             a model finished for the game\n"
      "  vexo export hero.gltf -o hero.md2 --pcx --fit id\n"
      "                                             meshes reduced to what id's release loads\n"
      "  vexo check hero.md2                        the engines' rules, and what breaks them\n"
      "  vexo render hero.md2 -o hero.png           the model as the game draws it\n"
      "Exit codes: 0 done, 1 the export failed (vexo check: it found something), 2 the\n"
      "command line was refused, or the scene file or model could not be read (nothing is\n"
      "written then).");

  CommonOptions common;
  app.add_option("--plugin", common.plugin,
                 "the plug-in module to load (default: Dorvane.dlu beside vexo)")
      ->check(CLI::ExistingFile)
      ->type_name("PATH");
  app.set_version_flag("--version", [&common]() { return ModuleVersionText(common); },
                       "show vexo's version and the plug-in module's description");

  // export
  ExportOptions exportOptions;
  TextOption skin, firstFrame, start, end, scale, framesFrom;
  TextOption player, previewSheet;
  CLI::App* exportVerb = nullptr;
  if (Builds("export", argc, argv)) {
    exportVerb = app.add_subcommand(
        "export", "export a scene through the panel: a new model, or frames of an existing one");
    exportVerb
        ->add_option("SCENE", exportOptions.scene,
                     "the scene: demo (the built-in demo scene) or a scene file (glTF, FBX, "
                     "COLLADA, OBJ, ... anything assimp reads)")
        ->type_name("");
    exportVerb->add_flag("--demo", exportOptions.demo, "export the built-in demo scene");
    exportVerb
        ->add_option("-o,--output", exportOptions.output,
                     "the model file; an existing one of the same mesh is updated in place")
        ->type_name("MODEL");
    AddText(*exportVerb, skin, "--skin", "NAME",
            "the skin's name: it is written as NAME.bmp and NAME.pcx (default: tris beside the "
            "model)");
    exportVerb->add_flag("--bmp", exportOptions.panel.bmp, "write the skin as a 24-bit BMP");
    exportVerb->add_flag("--pcx", exportOptions.panel.pcx,
                         "write the skin as an 8-bit PCX on the game's palette");
    AddText(*exportVerb, firstFrame, "--first-frame", "N",
            "the scene's frame sampled for the start frame (default 0)");
    AddText(*exportVerb, start, "--start", "NAME|INDEX",
            "the first model frame to write, by name or number");
    AddText(*exportVerb, end, "--end", "NAME|INDEX",
            "the last model frame to write, by name or number");
    AddText(*exportVerb, scale, "--scale", "S", "multiplies every coordinate (default 1)");
    AddText(*exportVerb, framesFrom, "--frames-from", "MODEL",
            "take the frame list from this model instead of the default names");
    exportVerb->add_flag("--preview", exportOptions.panel.preview,
                         "also write the skin as NAME.png, to look at");
    AddImportOptions(*exportVerb, exportOptions.import);
    exportVerb
        ->add_option("--map", exportOptions.maps,
                     "export a clip of the scene file as the model frames FIRST to LAST (names or "
                     "numbers), e.g. Run:run1-run6; repeatable, one save per mapping, the first "
                     "creating a new model. The clip's length is spread over the range: a looping "
                     "clip (last pose equals first) over LAST-FIRST+1 equal steps, so the model "
                     "loops without a doubled pose; any other clip over LAST-FIRST steps, from its "
                     "start to its end. Textures are prepared in vexo-textures beside the model.")
        ->allow_extra_args(false)
        ->type_name("CLIP:FIRST-LAST");
    AddFinishingOptions(*exportVerb, exportOptions.finish);
    AddText(*exportVerb, player, "--player", "DIR",
            "write a player folder instead of -o: DIR/tris.md2, the PCX skin and its icon "
            "SKIN_i.pcx, as the game's player setup lists them");
    AddText(*exportVerb, previewSheet, "--preview-sheet", "OUT.png",
            "also write a sheet that shows, for a few frames of each exported range, the scene "
            "as the host posed it beside the written model as the game draws it");
  }

  // check, finish
  CheckOptions checkOptions;
  CLI::App* checkVerb = Builds("check", argc, argv) ? AddCheckVerb(app, checkOptions) : nullptr;
  FinishCommandOptions finishOptions;
  CLI::App* finishVerb =
      Builds("finish", argc, argv) ? AddFinishVerb(app, finishOptions) : nullptr;

  // render
  RenderOptions renderOptions;
  CLI::App* renderVerb =
      Builds("render", argc, argv) ? AddRenderVerb(app, renderOptions) : nullptr;

  // frames
  FramesOptions framesOptions;
  TextOption framesModel;
  CLI::App* framesVerb = nullptr;
  if (Builds("frames", argc, argv)) {
    framesVerb = app.add_subcommand(
        "frames", "list the frame names, numbered as --start and --end take them");
    AddText(*framesVerb, framesModel, "MODEL", "",
            "list this model's frames instead of the defaults");
  }

  // demo
  DemoOptions demoOptions;
  if (Builds("demo", argc, argv)) {
    CLI::App* demoVerb = app.add_subcommand(
        "demo", "export the built-in demo scene: model, BMP and PCX skin, and its textures");
    demoVerb->add_option("-o,--output", demoOptions.folder, "the folder to write into")
        ->capture_default_str()
        ->type_name("DIR");
    demoVerb->add_flag("--preview", demoOptions.preview, "also write the skin as tris.png");
  }

  // info
  InfoOptions infoOptions;
  std::string infoScene;
  CLI::App* infoVerb = nullptr;
  if (Builds("info", argc, argv)) {
    infoVerb = app.add_subcommand(
        "info", "what an import makes of a scene file: nodes, materials and textures, clips, "
                "and what would stop or spoil an export; writes nothing");
    infoVerb->add_option("SCENE", infoScene, "the scene file")->required()->type_name("");
    AddImportOptions(*infoVerb, infoOptions.import);
  }

  Reporter reporter;
  try {
    try {
      app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
      return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
      return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
      return app.exit(e);
    } catch (const CLI::ParseError& e) {
      app.exit(e);
      return kExitUsage;
    }

    if (exportVerb && exportVerb->parsed()) {
      exportOptions.skin = skin.Get();
      exportOptions.panel.firstFrame = firstFrame.Get();
      exportOptions.panel.start = start.Get();
      exportOptions.panel.end = end.Get();
      exportOptions.panel.scale = scale.Get();
      exportOptions.panel.framesFrom = framesFrom.Get();
      exportOptions.player = player.Get();
      exportOptions.previewSheet = previewSheet.Get();
      const std::string importOption = FirstImportOptionGiven(*exportVerb);
      if (!importOption.empty() && IsDemoScene(exportOptions.scene, exportOptions.demo))
        throw UsageError(importOption + " applies to scene files; the demo scene is built in");
      return RunExport(exportOptions, common, reporter);
    }
    if (checkVerb && checkVerb->parsed()) return RunCheck(checkOptions);
    if (finishVerb && finishVerb->parsed()) return RunFinish(finishOptions, reporter);
    if (renderVerb && renderVerb->parsed()) return RunRender(renderOptions, reporter);
    if (infoVerb && infoVerb->parsed()) {
      infoOptions.import.path = infoScene;
      return RunInfo(infoOptions);
    }
    if (framesVerb && framesVerb->parsed()) {
      framesOptions.model = framesModel.Get();
      return RunFrames(framesOptions, common, reporter);
    }
    return RunDemo(demoOptions, common, reporter);
  } catch (const UsageError& e) {
    reporter.Error(e.what());
    return kExitUsage;
  } catch (const ImportError& e) {
    reporter.Error(e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    reporter.Error(e.what());
    return kExitFailed;
  }
}

}  // namespace vexo::cli
