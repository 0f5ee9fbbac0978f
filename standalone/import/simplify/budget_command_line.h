// The options that fit the meshes to a budget: --max-vertices,
// --max-triangles and --fit, on the verbs that import a scene file.
#pragma once

#include "standalone/import/simplify/mesh_budget.h"

namespace CLI {
class App;
}

namespace vexo {

void AddBudgetOptions(CLI::App& verb, MeshBudget& budget);

// The options' names, for refusing them where they do not apply.
inline constexpr const char* kBudgetOptionNames[] = {"--max-vertices", "--max-triangles", "--fit"};

}  // namespace vexo
