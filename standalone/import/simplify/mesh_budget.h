// How much mesh the model may hold: the limits --max-vertices,
// --max-triangles and --fit set, and the vertex and triangle counts they
// come to for a model of a given frame count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "plugin/frame_name_table.h"

namespace vexo {

struct MeshBudget {
  int maxVertices = 0;   // 0: no limit
  int maxTriangles = 0;  // 0: no limit
  // The bytes the whole model must fit in, for the frame count written
  // (0: no limit).
  std::int64_t modelBlock = 0;
  std::string fit;  // the engine --fit named; "" when none
  // The frames the model gets: the panel's frame list.
  int frames = kDefaultFrameNameCount;

  bool Limits() const { return maxVertices > 0 || maxTriangles > 0 || modelBlock > 0; }
};

// Sets the budget's limits to an engine's ("id", "id-gl", "id-soft",
// "yamagi", "q2pro", "kmq2"), keeping smaller limits already given. False
// for another name.
bool FitEngine(MeshBudget& budget, const std::string& engine);
// The names FitEngine takes, for help and errors.
const char* FitEngineNames();

// What a model of this many frames may hold at most.
struct BudgetTargets {
  int vertices = 0;
  int triangles = 0;
  // Why: "id: 2000 vertices, 4096 triangles", "--max-vertices 500", and
  // the loader's block when that is what holds the vertices down.
  std::string reason;
};
// The targets for a model that now has this many triangles (the block
// holds more vertices when fewer triangles come with them).
BudgetTargets TargetsOf(const MeshBudget& budget, std::int64_t triangles);

}  // namespace vexo
