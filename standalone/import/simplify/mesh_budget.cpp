#include "standalone/import/simplify/mesh_budget.h"

#include <algorithm>
#include <utility>

#include "model/md2_format.h"
#include "standalone/md2/md2_model.h"
#include "standalone/check/engine_limits.h"

namespace vexo {
namespace {

using check::Engine;
using check::EngineSet;

const std::pair<const char*, EngineSet> kFitEngines[] = {
    // Both renderers of id's release: the software renderer holds fewer vertices.
    {"id", {Engine::kIdGl, Engine::kIdSoft}},
    {"id-gl", {Engine::kIdGl}},
    {"id-soft", {Engine::kIdSoft}},
    {"yamagi", {Engine::kYamagi}},
    {"q2pro", {Engine::kQ2pro}},
    {"kmq2", {Engine::kKmq2}},
};

int Smaller(int have, int limit) { return limit > 0 && (have == 0 || limit < have) ? limit : have; }

// The bytes the loader takes of a model of these counts, with room for the
// most skin names the game reads (finishing may add them).
std::int64_t ModelBytes(std::int64_t vertices, std::int64_t triangles, std::int64_t frames) {
  const Md2Header header = MakeMd2Header(0, 0, static_cast<std::int32_t>(vertices),
                                         static_cast<std::int32_t>(triangles),
                                         static_cast<std::int32_t>(frames));
  return check::ModelBlockBytes(std::int64_t{header.ofsEnd} + check::kGameMaxSkins * md2::kSkinNameSize);
}

}  // namespace

bool FitEngine(MeshBudget& budget, const std::string& engine) {
  for (const auto& [name, engines] : kFitEngines) {
    if (engine != name) continue;
    const check::EngineLimits limits = check::LimitsOf(engines);
    budget.maxVertices = Smaller(budget.maxVertices, limits.vertices);
    budget.maxTriangles = Smaller(budget.maxTriangles, limits.triangles);
    if (limits.modelBlock > 0) budget.modelBlock = limits.modelBlock;
    budget.fit = engine;
    return true;
  }
  return false;
}

const char* FitEngineNames() { return "id|yamagi|q2pro|kmq2"; }

BudgetTargets TargetsOf(const MeshBudget& budget, std::int64_t triangles) {
  BudgetTargets targets;
  targets.vertices = std::min<int>(budget.maxVertices > 0 ? budget.maxVertices : kMd2MaxVertices,
                                   kMd2MaxVertices);
  targets.triangles = std::min<int>(
      budget.maxTriangles > 0 ? budget.maxTriangles : kMd2MaxTriangles, kMd2MaxTriangles);
  // The limits that were set: the format's own need no mention.
  std::string limits;
  if (budget.maxVertices > 0) limits = std::to_string(targets.vertices) + " vertices";
  if (budget.maxTriangles > 0) {
    limits += (limits.empty() ? "" : ", ") + std::to_string(targets.triangles) + " triangles";
  }
  targets.reason = budget.fit.empty() || limits.empty() ? limits : budget.fit + ": " + limits;
  if (budget.modelBlock <= 0) return targets;
  // The most vertices whose frames, with the triangles, fit the block.
  const std::int64_t kept = std::min<std::int64_t>(triangles, targets.triangles);
  int low = 0, high = targets.vertices;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (ModelBytes(middle, kept, budget.frames) <= budget.modelBlock) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  if (low < targets.vertices) {
    targets.vertices = low;
    targets.reason += (targets.reason.empty() ? "" : "; ") + std::to_string(low) + " vertices in " + std::to_string(budget.frames) +
                      " frames fill the loader's " + std::to_string(budget.modelBlock) + "-byte block";
  }
  return targets;
}

}  // namespace vexo
