// vexo export and vexo info with --fit and --max-vertices: generated meshes
// over the game's limits (a subdivided sphere, a rigged cylinder bending
// over its clip, a two-material body with a texture seam) exported reduced
// and unreduced, every frame read back with assimp's MD2 reader.
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/scene.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "standalone/import/simplify/surface_distance.h"
#include "tests/standalone/import/import_test_support.h"
#include "tests/standalone/import/rigged_character.h"
#include "tests/support/bytes.h"
#include "tests/support/md2_file.h"
#include "tests/support/vexo_run.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using vexo::testing::ScratchFolder;

constexpr int kFrames = 20;

test_support::Result Vexo(const fs::path& folder, const std::string& args) {
  return test_support::Vexo(folder.string(), args);
}

// sphere.obj: an icosahedron subdivided four times (2562 vertices, 5120
// triangles), textured with sphere.png from above.
void WriteSphere(const fs::path& folder) {
  std::vector<std::array<float, 3>> v;
  std::vector<std::array<int, 3>> faces;
  const float t = (1 + std::sqrt(5.0f)) / 2;
  v = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
       {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
  faces = {{0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
           {11, 10, 2}, {10, 7, 6}, {7, 1, 8}, {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8},
           {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1}};
  for (int level = 0; level < 4; ++level) {
    std::map<std::pair<int, int>, int> middle;
    auto split = [&](int a, int b) {
      auto [it, added] = middle.emplace(std::minmax(a, b), static_cast<int>(v.size()));
      if (added) v.push_back({(v[a][0] + v[b][0]) / 2, (v[a][1] + v[b][1]) / 2, (v[a][2] + v[b][2]) / 2});
      return it->second;
    };
    std::vector<std::array<int, 3>> finer;
    for (const auto& f : faces) {
      const int ab = split(f[0], f[1]), bc = split(f[1], f[2]), ca = split(f[2], f[0]);
      finer.insert(finer.end(), {{f[0], ab, ca}, {f[1], bc, ab}, {f[2], ca, bc}, {ab, bc, ca}});
    }
    faces = finer;
  }
  std::ofstream obj(folder / "sphere.obj");
  obj << "mtllib sphere.mtl\nusemtl skin\n";
  for (auto& p : v) {
    const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    obj << "v " << p[0] / length << " " << p[1] / length << " " << p[2] / length << "\n";
    obj << "vt " << 0.5f + 0.5f * p[0] / length << " " << 0.5f + 0.5f * p[2] / length << "\n";
  }
  for (const auto& f : faces) {
    obj << "f";
    for (int i : f) obj << " " << i + 1 << "/" << i + 1;
    obj << "\n";
  }
  std::ofstream(folder / "sphere.mtl") << "newmtl skin\nmap_Kd sphere.png\n";
  vexo::testing::WritePng(folder / "sphere.png", 32, 32, [](int x, int y) {
    return vexo::testing::Rgb{std::uint8_t(x * 8), std::uint8_t(y * 8), 100};
  });
}

// A frame as assimp reads it: the corners' positions, three a triangle.
std::vector<Point3> AssimpFrame(const fs::path& file, int frame) {
  Assimp::Importer importer;
  importer.SetPropertyInteger(AI_CONFIG_IMPORT_MD2_KEYFRAME, frame);
  const aiScene* scene = importer.ReadFile(file.string(), 0);
  std::vector<Point3> corners;
  if (!scene || scene->mNumMeshes != 1) return corners;
  const aiMesh& mesh = *scene->mMeshes[0];
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    for (unsigned k = 0; k < 3; ++k) {
      const aiVector3D& p = mesh.mVertices[mesh.mFaces[f].mIndices[k]];
      corners.push_back(Point3{p.x, p.y, p.z});
    }
  }
  return corners;
}

// The furthest a corner of the unreduced model's frame lies from the
// reduced model's surface in the same frame, and the model's size.
double FurthestFrom(const std::vector<Point3>& unreduced, const std::vector<Point3>& reduced,
                    double* size) {
  std::vector<vexo::Triangle> triangles;
  for (std::uint32_t i = 0; i + 2 < reduced.size(); i += 3) triangles.push_back({i, i + 1, i + 2});
  const vexo::SurfaceDistance surface(reduced, triangles);
  double furthest = 0;
  float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
  std::set<std::array<float, 3>> measured;  // corners share vertices
  for (const Point3& p : unreduced) {
    if (measured.insert({p.x, p.y, p.z}).second) furthest = std::max(furthest, surface.From(p));
    const float xyz[3] = {p.x, p.y, p.z};
    for (int a = 0; a < 3; ++a) {
      low[a] = std::min(low[a], xyz[a]);
      high[a] = std::max(high[a], xyz[a]);
    }
  }
  *size = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
  return furthest;
}

// The worst over the frames of how far the unreduced model's corners lie
// from the reduced model's surface, as a share of the model's size.
double WorstFrame(const fs::path& unreducedFile, const fs::path& reducedFile, int frames) {
  double worst = 0;
  for (int frame = 0; frame < frames; ++frame) {
    const auto unreduced = AssimpFrame(unreducedFile, frame);
    const auto reduced = AssimpFrame(reducedFile, frame);
    EXPECT_FALSE(unreduced.empty() || reduced.empty()) << "frame " << frame;
    double size = 0;
    const double furthest = FurthestFrom(unreduced, reduced, &size);
    worst = std::max(worst, size > 0 ? furthest / size : furthest);
  }
  return worst;
}

TEST(FitExport, FitIdMakesModelsEveryEngineLoadsThatMoveLikeTheUnreducedOnes) {
  ScratchFolder folder;
  test_support::Md2FrameListFile list;
  list.names = test_support::NumberedNames("frame", kFrames);
  ASSERT_TRUE(test_support::WriteFileBytes((folder / "list.md2").string(), list.Build()));
  WriteSphere(folder.path());
  vexo::testing::CharacterShape bend;
  bend.around = 50;
  bend.rings = 50;  // 2500 vertices, 4900 triangles
  bend.bones = 4;
  bend.frames = kFrames;
  vexo::testing::WriteRiggedCharacter(folder.path(), "bend", bend);
  vexo::testing::CharacterShape body = bend;
  body.materials = 2;
  body.bandRings = 25;
  vexo::testing::WriteRiggedCharacter(folder.path(), "body", body);

  for (const std::string name : {"sphere", "bend", "body"}) {
    SCOPED_TRACE(name);
    const std::string scene = name == "sphere" ? "sphere.obj" : name + ".gltf";
    const std::string common = " --frames-from list.md2 --pcx --skin " + name;
    const auto whole = Vexo(folder.path(), "export " + scene + " -o " + name + "_whole.md2" + common);
    ASSERT_EQ(whole.code, 0) << whole.err;
    const auto fit = Vexo(folder.path(), "export " + scene + " -o " + name + ".md2" + common + " --fit id");
    ASSERT_EQ(fit.code, 0) << fit.err;
    EXPECT_THAT(fit.err, HasSubstr("reduced the selected meshes to fit (id: 2000 vertices, 4096 triangles)"));
    EXPECT_THAT(fit.err, HasSubstr("largest position error"));
    // Within the limits of every engine: no finding on the counts or the size.
    for (const char* rule : {"vertex-count", "triangle-count", "model-size"}) {
      EXPECT_THAT(fit.err, Not(HasSubstr(rule)));
    }
    const auto check = Vexo(folder.path(), "check " + name + ".md2 --json");
    EXPECT_THAT(check.out, Not(HasSubstr("-count\"")));
    test_support::Md2File model;
    ASSERT_TRUE(test_support::ParseMd2(test_support::ReadFileBytes((folder / (name + ".md2")).string()), &model));
    EXPECT_LE(model.numVertices, 2000);
    EXPECT_LE(model.numTriangles, 4096);
    EXPECT_EQ(model.numFrames, kFrames);

    // Every frame: the unreduced surface within 1% of the model's size of
    // the reduced one, beside the frames' quantisation (a 255th of the
    // size, in both files).
    EXPECT_LT(WorstFrame(folder / (name + "_whole.md2"), folder / (name + ".md2"), kFrames), 0.01 + 2.0 / 255);

    // The same reduction every time.
    const auto again = Vexo(folder.path(), "export " + scene + " -o " + name + "_again.md2" + common + " --fit id");
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(test_support::ReadFileBytes((folder / (name + ".md2")).string()),
              test_support::ReadFileBytes((folder / (name + "_again.md2")).string()));
  }
}

TEST(FitExport, InfoTellsWhatTheFitDoesAndAStalledReductionStopsTheExport) {
  ScratchFolder folder;
  WriteSphere(folder.path());
  const auto info = Vexo(folder.path(), "info sphere.obj --fit id");
  ASSERT_EQ(info.code, 0) << info.err;
  EXPECT_THAT(info.out, HasSubstr("2562 vertices, 5120 triangles -> "));
  EXPECT_THAT(info.out, HasSubstr("largest position error"));
  EXPECT_THAT(info.out, Not(HasSubstr("Warnings:")));

  // Ten vertices would flatten the sphere: the simplifier stops short.
  const auto stalled = Vexo(folder.path(), "export sphere.obj -o sphere.md2 --pcx --max-vertices 10");
  EXPECT_EQ(stalled.code, 2);
  EXPECT_THAT(stalled.err, HasSubstr("cannot be reduced to 10 vertices"));
  EXPECT_THAT(stalled.err, HasSubstr("stops at "));
  EXPECT_FALSE(fs::exists(folder / "sphere.md2"));
  EXPECT_FALSE(fs::exists(folder / "tris.pcx"));
  const auto stalledInfo = Vexo(folder.path(), "info sphere.obj --max-vertices 10");
  EXPECT_EQ(stalledInfo.code, 0);
  EXPECT_THAT(stalledInfo.out, HasSubstr("Problems (the export would stop):\n  the selected meshes cannot be reduced"));

  const auto unknown = Vexo(folder.path(), "export sphere.obj -o sphere.md2 --fit quake");
  EXPECT_EQ(unknown.code, 2);
  EXPECT_THAT(unknown.err, HasSubstr("id|yamagi|q2pro|kmq2"));
  EXPECT_EQ(Vexo(folder.path(), "export demo -o demo.md2 --fit id").code, 2);
  EXPECT_EQ(Vexo(folder.path(), "export sphere.obj -o sphere.md2 --max-triangles 0").code, 2);
  EXPECT_FALSE(fs::exists(folder / "sphere.md2"));
}

// A public rigged character over the limits, from Debian's assimp-testmodels
// (scripts/packages-broad-set.txt installs it): within every limit of id's
// release after --fit id, every frame like the unreduced model's.
TEST(FitExport, APublicRiggedCharacterFitsAndAnimatesLikeItsSource) {
  const fs::path source = "/usr/share/assimp/models/X/BCN_Epileptic.X";
  if (!fs::exists(source)) GTEST_SKIP() << source << " is not installed";
  ScratchFolder folder;
  ASSERT_EQ(Vexo(folder.path(), "export " + source.string() + " -o whole.md2 --pcx --game").code, 0);
  const auto fit = Vexo(folder.path(), "export " + source.string() + " -o fit.md2 --pcx --game --fit id");
  ASSERT_EQ(fit.code, 0) << fit.err;
  for (const char* target : {"id-gl", "id-soft"}) {
    const auto fitCheck = Vexo(folder.path(), std::string("check fit.md2 --json --target ") + target);
    const auto wholeCheck = Vexo(folder.path(), std::string("check whole.md2 --json --target ") + target);
    for (const char* rule : {"vertex-count", "triangle-count", "model-size"}) {
      EXPECT_THAT(fitCheck.out, Not(HasSubstr(rule))) << target;
      EXPECT_THAT(wholeCheck.out, HasSubstr(rule)) << target;
    }
  }
  const double worst = WorstFrame(folder / "whole.md2", folder / "fit.md2", 198);
  EXPECT_LT(worst, 0.01 + 2.0 / 255);
  std::printf("worst frame: %.2f%% of the model's size\n", 100 * worst);
}

}  // namespace
