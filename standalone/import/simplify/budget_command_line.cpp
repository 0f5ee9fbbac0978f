#include "standalone/import/simplify/budget_command_line.h"

#include <CLI/CLI.hpp>

#include "model/md2_format.h"

namespace vexo {

void AddBudgetOptions(CLI::App& verb, MeshBudget& budget) {
  // CLI11 runs the options' callbacks in the order they are added: --fit
  // comes last and keeps a smaller limit given beside it.
  verb.add_option("--max-vertices", budget.maxVertices,
                  "Reduce the selected meshes to at most N vertices in all")
      ->check(CLI::Range(3, static_cast<int>(kMd2MaxVertices)).description(""))
      ->type_name("N");
  verb.add_option("--max-triangles", budget.maxTriangles,
                  "Reduce the selected meshes to at most N triangles in all")
      ->check(CLI::Range(1, static_cast<int>(kMd2MaxTriangles)).description(""))
      ->type_name("N");
  verb.add_option_function<std::string>(
          "--fit",
          [&budget](const std::string& engine) {
            if (!FitEngine(budget, engine)) {
              throw CLI::ValidationError("--fit", "takes " + std::string(FitEngineNames()) + ", not " + engine);
            }
          },
          "Reduce the selected meshes to what the engine loads: its vertex and triangle limits, and "
          "for id's release (both renderers; id-gl or id-soft for one) the loader's 2 MiB block for "
          "the frames written; the error this costs is printed")
      ->type_name(FitEngineNames());
}

}  // namespace vexo
