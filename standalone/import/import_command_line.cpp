#include "standalone/import/import_command_line.h"

#include <map>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "standalone/import/simplify/budget_command_line.h"

namespace vexo {
namespace {

const char* const kImportOptionNames[] = {"--up",          "--select",        "--animation", "--fps",
                                          "--max-texture", "--import-memory", "--import-time",
                                          "--allow-outside-files"};

}  // namespace

void AddImportOptions(CLI::App& verb, ImportOptions& options) {
  const std::map<std::string, UpAxis> axes{{"y", UpAxis::kY}, {"z", UpAxis::kZ}};
  verb.add_option("--up", options.up,
                  "The scene file's up axis, y or z (default: by format; Y-up is turned Z-up)")
      ->transform(CLI::CheckedTransformer(axes, CLI::ignore_case).description(""))
      ->type_name("y|z");
  verb.add_option("--select", options.select,
                  "Export only this mesh node (repeatable; default: every mesh node)")
      ->allow_extra_args(false)
      ->type_name("NAME");
  verb.add_option("--animation", options.animation,
                  "Clip on the timeline: a name, a number, or none for the bind pose "
                  "(default: the first clip)")
      ->type_name("NAME|INDEX|none");
  verb.add_option("--fps", options.fps, "Host frames a second (default 30)")
      ->check(CLI::Range(1e-3, 4800.0).description(""))
      ->type_name("N");
  verb.add_option_function<std::string>(
          "--max-texture",
          [&options](const std::string& text) {
            if (text == "none") {
              options.maxTexture = kMaxTextureNone;
              return;
            }
            std::size_t used = 0;
            int side = 0;
            try {
              side = std::stoi(text, &used);
            } catch (const std::exception&) {
              used = 0;
            }
            if (used != text.size() || side < 1 || side > (1 << 20)) {
              throw CLI::ValidationError("--max-texture",
                                         "takes a pixel count of at least 1, or none: " + text);
            }
            options.maxTexture = side;
          },
          "Scale textures larger than N pixels on a side down to N; none keeps every size "
          "(default: scaled just enough for the skin to fit)")
      ->type_name("N|none");
  verb.add_flag("--allow-outside-files", options.filesOutsideFolder,
                "Read the animation buffers a glTF file names outside its own folder "
                "(default: only inside it)");
  verb.add_option("--import-memory", options.limits.memoryMiB,
                  "Memory the scene file's import may take, in MiB, before it is stopped "
                  "(default 1024)")
      ->check(CLI::Range(16, 1 << 20).description(""))
      ->type_name("MIB");
  verb.add_option("--import-time", options.limits.seconds,
                  "Seconds the scene file's import may take before it is stopped (default 60)")
      ->check(CLI::Range(1, 86400).description(""))
      ->type_name("SECONDS");
  AddBudgetOptions(verb, options.budget);
}

std::string FirstImportOptionGiven(const CLI::App& verb) {
  for (const char* name : kImportOptionNames) {
    if (verb.count(name) > 0) return name;
  }
  for (const char* name : kBudgetOptionNames) {
    if (verb.count(name) > 0) return name;
  }
  return "";
}

}  // namespace vexo
