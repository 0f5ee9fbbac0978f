#include "standalone/cli/finishing_command_line.h"

#include "standalone/check/engines.h"

namespace vexo::cli {

void AddFinishingOptions(CLI::App& verb, finish::FinishOptions& finish) {
  verb.add_flag("--normals", finish.normals,
                "set every vertex's normal byte from its frame's triangles, so the game lights "
                "the model (the plug-in leaves them 0)");
  verb.add_option("--skin-path", finish.skinPaths,
                  "name the skin inside the model as the game finds it, e.g. "
                  "models/monsters/ogre/skin.pcx (repeatable): monsters, items and weapons need "
                  "it, player models do not")
      ->type_name("GAME/PATH.pcx")
      ->allow_extra_args(false);
  verb.add_flag("--safe-palette", finish.safePalette,
                "in the PCX skin, move pixels at index 255 (transparent in the GL renderer) to "
                "the nearest other colour, and make the top-left pixel black where the GL "
                "renderer's flood fill would repaint the model");
  verb.add_flag("--strict-end", finish.strictEnd,
                "drop the bytes after the model's end, which strict readers (three.js) refuse");
  verb.add_flag("--strips", finish.strips,
                "rebuild the GL command list as triangle strips: the same triangles, smaller "
                "and faster to draw");
  verb.add_flag_callback("--game,--finish", [&finish]() { finish.SetGame(); },
                         "game-ready: --normals --safe-palette --strict-end");
}

CLI::App* AddCheckVerb(CLI::App& app, CheckOptions& options) {
  CLI::App* verb = app.add_subcommand(
      "check", "check a model (any MD2) and its skins against the game engines' own rules; "
               "exit 0 clean, 1 with findings, 2 when the model cannot be read");
  verb->add_option("MODEL", options.model, "the MD2 model")->type_name("");
  verb->add_option("--skin", options.skins,
                   "a skin to check with the model (PCX; repeatable); default: the skins the "
                   "model names, else MODEL.pcx or tris.pcx beside it")
      ->type_name("FILE")
      ->allow_extra_args(false);
  verb->add_option("--target", options.target,
                   "the engine to check for: id-gl and id-soft (id's release, GL and software "
                   "renderer), yamagi, q2pro, kmq2, threejs (the web's MD2 reader), or all")
      ->type_name(check::TargetNames())
      ->capture_default_str();
  verb->add_flag("--json", options.json, "print the findings as JSON");
  verb->add_option_function<std::string>(
          "--player", [&options](const std::string& dir) { options.player = dir; },
          "check a player folder instead: tris.md2 with the 198 player frames, and each "
          "SKIN.pcx with its icon SKIN_i.pcx")
      ->type_name("DIR");
  return verb;
}

CLI::App* AddFinishVerb(CLI::App& app, FinishCommandOptions& options) {
  CLI::App* verb = app.add_subcommand(
      "finish", "finish a written model (and its PCX skin) for the game; run it again after "
                "frames are updated in place");
  verb->add_option("MODEL", options.model, "the MD2 model")->required()->type_name("");
  verb->add_option("--skin", options.skin,
                   "the PCX skin for --safe-palette (default: the one beside the model)")
      ->type_name("FILE");
  AddFinishingOptions(*verb, options.finish);
  return verb;
}

}  // namespace vexo::cli
