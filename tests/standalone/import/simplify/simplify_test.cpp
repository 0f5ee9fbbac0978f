// Meshes reduced to a budget at import: the nearest-surface search that
// measures the error, the limits a budget comes to, and a reduced rigged
// body against the same body unreduced.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "model/md2_format.h"
#include "standalone/check/engine_limits.h"
#include "standalone/import/imported_scene.h"
#include "standalone/import/scene_model.h"
#include "standalone/import/simplify/mesh_budget.h"
#include "standalone/import/simplify/surface_distance.h"
#include "tests/standalone/import/import_test_support.h"
#include "tests/standalone/import/rigged_character.h"

namespace {


using vexo::Triangle;

double Distance(const Point3& a, const Point3& b) {
  return std::sqrt(double(a.x - b.x) * (a.x - b.x) + double(a.y - b.y) * (a.y - b.y) +
                   double(a.z - b.z) * (a.z - b.z));
}

// The distance to a triangle another way: to its plane when p projects
// inside it, else to the nearest of its three edges.
double PlainDistance(const Point3& p, const Point3& a, const Point3& b, const Point3& c) {
  using V = std::array<double, 3>;
  const V P{p.x, p.y, p.z}, A{a.x, a.y, a.z}, B{b.x, b.y, b.z}, C{c.x, c.y, c.z};
  auto sub = [](V x, V y) { return V{x[0] - y[0], x[1] - y[1], x[2] - y[2]}; };
  auto dot = [](V x, V y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; };
  auto cross = [](V x, V y) {
    return V{x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
  };
  auto segment = [&](V s, V e) {
    const V d = sub(e, s);
    const double t = dot(d, d) > 0 ? std::clamp(dot(sub(P, s), d) / dot(d, d), 0.0, 1.0) : 0.0;
    const V q = sub(P, V{s[0] + t * d[0], s[1] + t * d[1], s[2] + t * d[2]});
    return std::sqrt(dot(q, q));
  };
  double best = std::min({segment(A, B), segment(B, C), segment(C, A)});
  const V n = cross(sub(B, A), sub(C, A));
  if (dot(n, n) > 0) {
    const bool inside = dot(cross(sub(B, A), sub(P, A)), n) >= 0 &&
                        dot(cross(sub(C, B), sub(P, B)), n) >= 0 &&
                        dot(cross(sub(A, C), sub(P, C)), n) >= 0;
    if (inside) best = std::min(best, std::fabs(dot(sub(P, A), n)) / std::sqrt(dot(n, n)));
  }
  return best;
}

TEST(Simplify, SurfaceDistanceFindsTheNearestTriangleThatAPlainSearchFinds) {
  // A crumpled sheet of uneven triangles with a few long ones across it,
  // and points on it, near it, inside its box and far outside.
  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(0, 1);
  std::vector<Point3> positions;
  std::vector<Triangle> triangles;
  const int n = 14;
  for (int i = 0; i <= n; ++i) {
    for (int j = 0; j <= n; ++j) {
      positions.push_back(Point3{i + 0.4f * unit(random), j + 0.4f * unit(random),
                                 std::sin(i * 0.7f) * 2 + unit(random)});
    }
  }
  for (std::uint32_t i = 0; i < n; ++i) {
    for (std::uint32_t j = 0; j < n; ++j) {
      const std::uint32_t v = i * (n + 1) + j;
      if ((i + j) % 5 == 3) continue;  // holes
      triangles.push_back({v, v + n + 1, v + 1});
      triangles.push_back({v + 1, v + n + 1, v + n + 2});
    }
  }
  triangles.push_back({0, static_cast<std::uint32_t>(positions.size() - 1), 7});
  const vexo::SurfaceDistance surface(positions, triangles);
  for (int k = 0; k < 300; ++k) {
    const float spread = k < 200 ? 1.0f : 4.0f;
    const Point3 p{(unit(random) * 1.4f - 0.2f) * n * spread, (unit(random) * 1.4f - 0.2f) * n,
                   (unit(random) - 0.5f) * 8 * spread};
    double plain = std::numeric_limits<double>::infinity();
    for (const Triangle& t : triangles) {
      plain = std::min(plain, PlainDistance(p, positions[t[0]], positions[t[1]], positions[t[2]]));
    }
    ASSERT_NEAR(surface.From(p), plain, 1e-6 * (1 + plain)) << "point " << k;
  }
  // A pose that overflowed measures nothing, and nothing is measured
  // against it (under UBSan: no float turned into an int out of range).
  EXPECT_TRUE(std::isinf(surface.From(Point3{std::nanf(""), 0, 0})));
  std::vector<Point3> overflowed = positions;
  overflowed[3].y = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(std::isinf(vexo::SurfaceDistance(overflowed, triangles).From(Point3{1, 1, 1})));
}

TEST(Simplify, TheBudgetTakesTheSmallerLimitAndTheBlockHoldsTheVerticesDown) {
  vexo::MeshBudget budget;
  budget.maxVertices = 500;
  ASSERT_TRUE(vexo::FitEngine(budget, "id"));
  EXPECT_EQ(budget.maxVertices, 500);
  EXPECT_EQ(budget.maxTriangles, vexo::check::kGameMaxTriangles);
  EXPECT_FALSE(vexo::FitEngine(budget, "quake"));

  vexo::MeshBudget q2pro;
  ASSERT_TRUE(vexo::FitEngine(q2pro, "q2pro"));
  EXPECT_EQ(vexo::TargetsOf(q2pro, 9000).vertices, vexo::check::kGameMaxVertices);
  EXPECT_EQ(vexo::TargetsOf(q2pro, 9000).triangles, vexo::check::kQ2proMaxTriangles);

  // 256 frames of 2000 vertices take more than 2 MiB: the block sets the
  // vertices, and a model of that many fits it with every skin name.
  vexo::MeshBudget id;
  ASSERT_TRUE(vexo::FitEngine(id, "id"));
  EXPECT_EQ(vexo::TargetsOf(id, 5000).vertices, vexo::check::kSoftMaxVertices);
  id.frames = 256;
  const vexo::BudgetTargets targets = vexo::TargetsOf(id, 5000);
  ASSERT_LT(targets.vertices, vexo::check::kSoftMaxVertices);
  EXPECT_NE(targets.reason.find("block"), std::string::npos) << targets.reason;
  auto bytes = [](int vertices) {
    return vexo::check::ModelBlockBytes(
        MakeMd2Header(8, 8, vertices, vexo::check::kGameMaxTriangles, 256).ofsEnd + 32 * 64);
  };
  EXPECT_LE(bytes(targets.vertices), vexo::check::kModelBlock);
  EXPECT_GT(bytes(targets.vertices + 1), vexo::check::kModelBlock);
}

vexo::ImportedScene Import(const std::filesystem::path& file, const vexo::MeshBudget& budget) {
  vexo::ImportOptions options;
  options.path = file;
  options.textureCache = file.parent_path() / "vexo-textures";
  options.budget = budget;
  return vexo::ImportScene(options);
}

// A corner as the plug-in sees it: the vertex's bind position, its texture
// coordinates and its material slot, bit for bit.
using Corner = std::tuple<float, float, float, float, float, std::uint32_t>;
Corner CornerOf(const vexo::WeldedMesh& mesh, std::size_t face, int k) {
  const Point3& p = mesh.topology.vertices[mesh.topology.faces[face].v[k]];
  const auto& uv = mesh.topology.textureVertices[mesh.topology.textureFaces[face].t[k]];
  return {p.x, p.y, p.z, uv.x, uv.y, mesh.topology.faces[face].MaterialIndex()};
}

TEST(Simplify, AReducedBodyKeepsCornersMaterialBordersAndEveryPoseOfItsVertices) {
  vexo::testing::ScratchFolder folder;
  vexo::testing::CharacterShape shape;
  shape.around = 50;
  shape.rings = 60;  // 3000 vertices, 5900 triangles
  shape.bones = 4;
  shape.materials = 2;
  shape.bandRings = 30;  // the lower half one material, the upper the other
  vexo::testing::WriteRiggedCharacter(folder.path(), "body", shape);
  vexo::ImportedScene whole = Import(folder / "body.gltf", {});
  vexo::MeshBudget budget;
  vexo::FitEngine(budget, "id");
  vexo::ImportedScene reduced = Import(folder / "body.gltf", budget);

  const vexo::WeldedMesh& before = whole.model().meshes.at(0);
  const vexo::WeldedMesh& after = reduced.model().meshes.at(0);
  ASSERT_EQ(before.VertexCount(), 3000u);
  EXPECT_LE(after.VertexCount(), 2000u);
  EXPECT_GT(after.VertexCount(), 1500u);
  EXPECT_LE(after.topology.faces.size(), 4096u);

  // Every corner of a reduced face is a corner of the body as it was.
  std::set<Corner> corners;
  for (std::size_t f = 0; f < before.topology.faces.size(); ++f) {
    for (int k = 0; k < 3; ++k) corners.insert(CornerOf(before, f, k));
  }
  for (std::size_t f = 0; f < after.topology.faces.size(); ++f) {
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(corners.count(CornerOf(after, f, k))) << "face " << f;
  }
  // Both materials stay, on their own halves: a reduced face's material
  // is that of the body's face nearest its centre.
  std::set<std::uint32_t> materials;
  for (std::size_t f = 0; f < after.topology.faces.size(); ++f) {
    const auto& face = after.topology.faces[f];
    const auto& v = after.topology.vertices;
    const Point3 centre{(v[face.v[0]].x + v[face.v[1]].x + v[face.v[2]].x) / 3,
                        (v[face.v[0]].y + v[face.v[1]].y + v[face.v[2]].y) / 3,
                        (v[face.v[0]].z + v[face.v[1]].z + v[face.v[2]].z) / 3};
    double nearest = std::numeric_limits<double>::infinity();
    std::uint32_t material = 0;
    for (const auto& original : before.topology.faces) {
      const auto& w = before.topology.vertices;
      const Point3 c{(w[original.v[0]].x + w[original.v[1]].x + w[original.v[2]].x) / 3,
                     (w[original.v[0]].y + w[original.v[1]].y + w[original.v[2]].y) / 3,
                     (w[original.v[0]].z + w[original.v[1]].z + w[original.v[2]].z) / 3};
      if (Distance(c, centre) < nearest) {
        nearest = Distance(c, centre);
        material = original.MaterialIndex();
      }
    }
    ASSERT_EQ(face.MaterialIndex(), material) << "face " << f;
    materials.insert(material);
  }
  EXPECT_EQ(materials.size(), 2u);

  // A kept vertex moves in every pose as it did: its skinning came along.
  std::map<std::tuple<float, float, float>, std::size_t> vertexAt;
  for (std::size_t v = 0; v < before.VertexCount(); ++v) {
    const Point3& p = before.topology.vertices[v];
    vertexAt[{p.x, p.y, p.z}] = v;
  }
  auto& wholeModel = const_cast<vexo::SceneModel&>(whole.model());
  auto& reducedModel = const_cast<vexo::SceneModel&>(reduced.model());
  int node = 0;
  while (wholeModel.nodes.at(static_cast<std::size_t>(node)).mesh != 0) ++node;
  for (double seconds : {0.05, 0.2}) {
    const std::vector<Point3> posedBefore = wholeModel.WorldPose(node, 0, seconds);
    const std::vector<Point3> posedAfter = reducedModel.WorldPose(node, 0, seconds);
    for (std::size_t v = 0; v < after.VertexCount(); ++v) {
      const Point3& p = after.topology.vertices[v];
      const Point3& expected = posedBefore[vertexAt.at({p.x, p.y, p.z})];
      ASSERT_EQ(Distance(posedAfter[v], expected), 0.0) << "vertex " << v << " at " << seconds;
    }
  }
  EXPECT_GT(Distance(wholeModel.WorldPose(node, 0, 0.2).back(), wholeModel.WorldPose(node, -1, 0).back()), 0.01)
      << "the clip moves the body";
}

}  // namespace
