#include "standalone/import/simplify/fit_to_budget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "standalone/import/simplify/fit_report.h"
#include "standalone/import/simplify/mesh_reduction.h"
#include "standalone/import/simplify/reduction_error.h"
#include "standalone/import/skin_preparation.h"

namespace vexo {
namespace {

// Animation poses the error is measured at, spread over the clips.
constexpr int kSampledPoses = 6;
// Poses the mesh is reduced at: the bind pose, then the worst pose of
// that reduction.
constexpr int kReductionRounds = 2;

struct SampledPose {
  int clip = -1;  // -1: the bind pose
  double seconds = 0;
};

std::vector<SampledPose> SamplePoses(const SceneModel& model) {
  std::vector<SampledPose> poses{SampledPose{}};
  const int clips = static_cast<int>(model.clips.size());
  if (clips == 0) return poses;
  const int perClip = std::max(1, kSampledPoses / clips);
  for (int i = 0; i < std::min(clips, kSampledPoses); ++i) {
    const int clip = clips <= kSampledPoses ? i : i * clips / kSampledPoses;
    const double duration = model.clips[static_cast<std::size_t>(clip)].DurationSeconds();
    for (int j = 0; j < perClip; ++j) poses.push_back(SampledPose{clip, duration * (j + 0.5) / perClip});
  }
  return poses;
}

std::string PoseName(const SceneModel& model, const SampledPose& pose) {
  if (pose.clip < 0) return "the bind pose";
  char time[32];
  std::snprintf(time, sizeof time, "%.3f s", pose.seconds);
  return "clip \"" + model.clips[static_cast<std::size_t>(pose.clip)].name + "\" at " + time;
}

// Each count's share of the total: counts within an even share keep what
// they have, the rest share what is left by their size.
std::vector<std::size_t> Shares(const std::vector<std::size_t>& counts, std::size_t total) {
  std::vector<std::size_t> shares(counts.size(), 0);
  std::vector<bool> settled(counts.size(), false);
  std::size_t left = total;
  for (bool changed = true; changed;) {
    changed = false;
    std::size_t open = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) open += settled[i] ? 0 : counts[i];
    for (std::size_t i = 0; i < counts.size(); ++i) {
      if (settled[i]) continue;
      shares[i] = open == 0 ? 0 : static_cast<std::size_t>(static_cast<double>(left) * counts[i] / open);
      if (counts[i] <= shares[i]) {
        shares[i] = counts[i];
        settled[i] = true;
        left -= counts[i];
        changed = true;
        break;
      }
    }
  }
  return shares;
}

double LongestSide(const std::vector<std::vector<Point3>>& meshes) {
  float low[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::max()};
  float high[3] = {-low[0], -low[1], -low[2]};
  for (const auto& mesh : meshes) {
    for (const Point3& p : mesh) {
      const float xyz[3] = {p.x, p.y, p.z};
      for (int a = 0; a < 3; ++a) {
        low[a] = std::min(low[a], xyz[a]);
        high[a] = std::max(high[a], xyz[a]);
      }
    }
  }
  double side = 0;
  for (int a = 0; a < 3; ++a) side = std::max(side, static_cast<double>(high[a]) - low[a]);
  return side;
}

struct Candidate {
  ReducedFaces faces;
  double error = 0;
  std::size_t worstPose = 0;
};

class NodeFit {
 public:
  NodeFit(SceneModel& model, int node, const std::vector<SampledPose>& poses)
      : mesh_(model.meshes[static_cast<std::size_t>(model.nodes[static_cast<std::size_t>(node)].mesh)]),
        reducer_(mesh_) {
    // A mesh that neither bones nor morph targets move keeps its shape:
    // one pose tells all.
    const bool deforms = mesh_.Skinned() || mesh_.morphTargets > 0;
    for (std::size_t i = 0; i < (deforms ? poses.size() : 1); ++i) {
      std::vector<Point3> pose = model.WorldPose(node, poses[i].clip, poses[i].seconds);
      // A file's transforms may overflow; such a pose says nothing.
      const bool finite = std::all_of(pose.begin(), pose.end(), [](const Point3& p) {
        return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
      });
      if (!finite) continue;
      poses_.push_back(std::move(pose));
      sample_.push_back(i);
    }
    if (poses_.empty()) {
      poses_.push_back(mesh_.topology.vertices);
      sample_.push_back(0);
    }
  }

  const std::vector<Point3>& BindPose() const { return poses_.front(); }

  // The reduction with the smallest worst error over the sampled poses,
  // or a stalled one (over a target) when no pose reaches the targets.
  Candidate Reduce(std::size_t vertices, std::size_t triangles) {
    std::vector<SurfaceDistance> originals;
    for (const auto& pose : poses_) originals.emplace_back(pose, reducer_.Triangles());
    std::vector<bool> tried(poses_.size(), false);
    std::optional<Candidate> best;
    std::size_t at = 0;
    for (int round = 0; round < kReductionRounds && !tried[at]; ++round) {
      tried[at] = true;
      Candidate candidate;
      candidate.faces = reducer_.Fit(poses_[at], vertices, triangles);
      if (candidate.faces.vertices > vertices || candidate.faces.faces.size() > triangles) {
        if (!best) best = std::move(candidate);
        break;
      }
      for (std::size_t p = 0; p < poses_.size(); ++p) {
        const double error = ReductionError(poses_[p], originals[p], candidate.faces);
        if (error > candidate.error) {
          candidate.error = error;
          candidate.worstPose = p;
        }
      }
      at = candidate.worstPose;
      candidate.worstPose = sample_[at];
      const bool better = !best || best->faces.vertices > vertices ||
                          best->faces.faces.size() > triangles || candidate.error < best->error;
      if (better) best = std::move(candidate);
    }
    return std::move(*best);
  }

 private:
  WeldedMesh& mesh_;
  MeshReducer reducer_;
  std::vector<std::vector<Point3>> poses_;
  std::vector<std::size_t> sample_;  // which sampled pose each is
};

}  // namespace

void FitToBudget(SceneModel& model, const MeshBudget& budget, bool forExport) {
  if (!budget.Limits()) return;
  std::vector<int> nodes;
  std::vector<std::size_t> vertexCounts, triangleCounts;
  FitReport report;
  for (std::size_t i = 0; i < model.nodes.size(); ++i) {
    if (!PluginExports(model.nodes[i])) continue;
    const WeldedMesh& mesh = model.meshes[static_cast<std::size_t>(model.nodes[i].mesh)];
    nodes.push_back(static_cast<int>(i));
    vertexCounts.push_back(mesh.VertexCount());
    triangleCounts.push_back(mesh.topology.faces.size());
    report.verticesBefore += mesh.VertexCount();
    report.trianglesBefore += mesh.topology.faces.size();
  }
  const BudgetTargets targets = TargetsOf(budget, static_cast<std::int64_t>(report.trianglesBefore));
  report.limits = targets.reason;
  report.verticesAfter = report.verticesBefore;
  report.trianglesAfter = report.trianglesBefore;
  if (report.verticesBefore <= static_cast<std::size_t>(targets.vertices) &&
      report.trianglesBefore <= static_cast<std::size_t>(targets.triangles)) {
    for (const std::string& line : report.Lines()) model.notes.push_back(line);
    return;
  }

  const std::vector<SampledPose> poses = SamplePoses(model);
  const std::vector<std::size_t> vertexShares = Shares(vertexCounts, static_cast<std::size_t>(targets.vertices));
  const std::vector<std::size_t> triangleShares = Shares(triangleCounts, static_cast<std::size_t>(targets.triangles));
  std::vector<std::vector<Point3>> bindPoses;
  std::vector<std::pair<int, ReducedFaces>> reduced;
  std::string stalled;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    NodeFit fit(model, nodes[i], poses);
    bindPoses.push_back(fit.BindPose());
    if (vertexCounts[i] <= vertexShares[i] && triangleCounts[i] <= triangleShares[i]) continue;
    Candidate best = fit.Reduce(vertexShares[i], triangleShares[i]);
    const ModelNode& node = model.nodes[static_cast<std::size_t>(nodes[i])];
    NodeReduction line{node.name, vertexCounts[i], triangleCounts[i], best.faces.vertices,
                       best.faces.faces.size(), best.error, PoseName(model, poses[best.worstPose])};
    std::string over;
    if (line.verticesAfter > vertexShares[i]) over = std::to_string(vertexShares[i]) + " vertices";
    if (line.trianglesAfter > triangleShares[i]) {
      over += (over.empty() ? "" : ", ") + std::to_string(triangleShares[i]) + " triangles";
    }
    const std::string named = std::string(stalled.empty() ? "" : "; ") + "node \"" + node.name + "\"";
    if (line.trianglesAfter == 0) {
      // A share so small that nothing of the node would be left.
      stalled += named + " keeps no triangle within its share of " + std::to_string(vertexShares[i]) +
                 " vertices, " + std::to_string(triangleShares[i]) + " triangles";
      continue;
    }
    if (!over.empty()) {
      stalled += named + " stops at " + std::to_string(line.verticesAfter) + " vertices, " +
                 std::to_string(line.trianglesAfter) + " triangles, above its share of " + over;
      continue;
    }
    report.verticesAfter -= line.verticesBefore - line.verticesAfter;
    report.trianglesAfter -= line.trianglesBefore - line.trianglesAfter;
    report.nodes.push_back(std::move(line));
    reduced.emplace_back(node.mesh, std::move(best.faces));
  }
  if (!stalled.empty()) {
    const std::string problem =
        "the selected meshes cannot be reduced to " + targets.reason + " without destroying them: " +
        stalled + " (its seams, material borders and open edges hold it, or more would move the "
        "surface by over " + std::to_string(static_cast<int>(kLargestRelativeError * 100)) +
        "% of its size); select fewer nodes (--select) or allow more (--max-vertices, --max-triangles)";
    if (forExport) throw ImportError(problem);
    model.problems.push_back(problem);
    return;
  }
  for (auto& [mesh, faces] : reduced) {
    WeldedMesh& welded = model.meshes[static_cast<std::size_t>(mesh)];
    welded = KeepFaces(welded, faces);
  }
  report.modelSize = LongestSide(bindPoses);
  for (const std::string& line : report.Lines()) model.notes.push_back(line);
}

}  // namespace vexo
