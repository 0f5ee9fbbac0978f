// Reduces the meshes an export takes so that the model fits a budget,
// before the plug-in sees them: the plug-in exports the reduced mesh as it
// exports any mesh.
#pragma once

#include "standalone/import/scene_model.h"
#include "standalone/import/simplify/mesh_budget.h"

namespace vexo {

// Reduces the meshes of the nodes the plug-in exports to the budget (each
// node its share, by its counts), at the pose whose reduction moves the
// surface least over a handful of sampled poses of every clip. Adds the
// report's lines to the model's notes. When the simplifier stalls above a
// target: throws ImportError naming the counts reached for an export, or
// lists that as a problem for the scene report.
void FitToBudget(SceneModel& model, const MeshBudget& budget, bool forExport);

}  // namespace vexo
