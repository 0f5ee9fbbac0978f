#include "standalone/cli/render_command_line.h"

#include "standalone/render/view.h"

namespace vexo::cli {

CLI::App* AddRenderVerb(CLI::App& app, RenderOptions& options) {
  CLI::App* verb = app.add_subcommand(
      "render", "draw a model's frames as the game's GL renderer draws them (lighting from the "
                "normal bytes, the skin flood-filled, index 255 cut out): a contact sheet, a "
                "looping animation, or both");
  verb->add_option("MODEL", options.model, "the MD2 model")->required()->type_name("");
  verb->add_option("-o,--output", options.output,
                   "write a contact sheet of the frames in every view, each labelled with the "
                   "frame's number and name")
      ->type_name("OUT.png");
  verb->add_option("--animated", options.animated,
                   "write a looping animation of the frames (every frame unless --frames or "
                   "--animation choose), the views side by side, at the game's 10 a second")
      ->type_name("OUT.gif");
  verb->add_option("--skin", options.skin,
                   "the skin: an 8-bit PCX, drawn as the game draws it, or another picture, "
                   "drawn as it is (default: the skin the model names, else MODEL.pcx or "
                   "tris.pcx beside it)")
      ->type_name("FILE");
  verb->add_option_function<std::string>(
          "--frames", [&options](const std::string& list) { options.frames = list; },
          "the frames to draw, by number or name, with ranges: 0,run1-run6,40 (default: the "
          "first frame of each animation)")
      ->type_name("LIST");
  verb->add_option_function<std::string>(
          "--animation", [&options](const std::string& name) { options.animation = name; },
          "draw the frames of one animation: those named NAME and a number (run: run1 to run6)")
      ->type_name("NAME");
  verb->add_option("--views", options.views,
                   "the views, separated by commas: " + render::ViewNames() +
                       "; each view turns the model before the camera as the game's player "
                       "setup menu does, and lights it for that turn")
      ->capture_default_str()
      ->type_name("LIST");
  verb->add_option("--size", options.size, "pixels a side of each view")
      ->capture_default_str()
      ->type_name("N");
  verb->add_flag("--plain", options.plain,
                 "draw without the GL renderer's effects: full light, the skin as it is, "
                 "index 255 drawn");
  return verb;
}

}  // namespace vexo::cli
