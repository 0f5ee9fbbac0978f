#include "standalone/import/import_command_line.h"

#include <map>

#include <CLI/CLI.hpp>

namespace vexo {
namespace {

const char* const kImportOptionNames[] = {"--up", "--select", "--animation", "--fps",
                                          "--max-texture"};

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
  verb.add_option("--max-texture", options.maxTexture,
                  "Scale textures larger than N pixels on a side down to N")
      ->check(CLI::Range(1, 1 << 20).description(""))
      ->type_name("N");
}

std::string FirstImportOptionGiven(const CLI::App& verb) {
  for (const char* name : kImportOptionNames) {
    if (verb.count(name) > 0) return name;
  }
  return "";
}

}  // namespace vexo
