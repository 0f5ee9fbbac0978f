// The finishing pass through vexo finish, its results read back by the
// tests' own decoding and by independent readers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "standalone/md2/normal_directions.h"
#include "tests/support/md2_model_builder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/vexo_run.h"

namespace {

namespace fs = std::filesystem;
using namespace test_support;
using ::testing::HasSubstr;
using Direction = std::array<double, 3>;

double Dot(const Direction& a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Direction Unit(Direction d) {
  const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  return {d[0] / length, d[1] / length, d[2] / length};
}

// The normal byte of vertex v in frame 0, as the file holds it.
int NormalByte(const std::vector<std::uint8_t>& file, int v) {
  return file.at(std::size_t(I32At(file, kOfsFrames)) + 40 + 4 * std::size_t(v) + 3);
}

// The chosen direction must be the table entry nearest to `expected` (up
// to `slack` in the cosine, for directions between two entries).
void ExpectNearest(int chosen, const Direction& expected, double slack, const std::string& what) {
  double best = -2;
  for (const auto& entry : vexo::md2::kNormalDirections) best = std::max(best, Dot(expected, entry));
  ASSERT_LT(chosen, vexo::md2::kNormalCount) << what;
  EXPECT_GE(Dot(expected, vexo::md2::kNormalDirections[chosen]), best - slack) << what;
}

TEST(FinishNormals, BoxAndSphereVerticesTakeTheEntryNearestTheirTrueNormal) {
  const std::string folder = FreshFolder("finish_normals");
  // The box: each corner's normal is the area-weighted sum of the outward
  // normals of its triangles (all of one area).
  std::vector<Direction> faceNormals;
  const Md2Model box = Box(&faceNormals);
  WriteFileBytes(folder + "/box.md2", box.Build());
  ASSERT_EQ(test_support::Vexo(folder, "finish box.md2 --normals").code, 0);
  const auto boxFile = ReadFileBytes(folder + "/box.md2");
  for (int v = 0; v < 8; ++v) {
    Direction sum{0, 0, 0};
    for (std::size_t t = 0; t < box.triangles.size(); ++t)
      for (std::uint16_t corner : box.triangles[t].vertex)
        if (corner == v)
          for (int k = 0; k < 3; ++k) sum[k] += faceNormals[t][k];
    ExpectNearest(NormalByte(boxFile, v), Unit(sum), 1e-6, "box corner " + std::to_string(v));
  }

  // The sphere: the true normal points from the centre through the vertex.
  const Md2Model sphere = Sphere(9, 16);
  WriteFileBytes(folder + "/sphere.md2", sphere.Build());
  ASSERT_EQ(test_support::Vexo(folder, "finish sphere.md2 --normals").code, 0);
  const auto sphereFile = ReadFileBytes(folder + "/sphere.md2");
  for (std::size_t v = 0; v < sphere.frames[0].vertices.size(); ++v) {
    const Md2Model::Vertex& b = sphere.frames[0].vertices[v];
    const Direction radial = Unit({b.x - 125.0, b.y - 125.0, b.z - 125.0});
    ExpectNearest(NormalByte(sphereFile, int(v)), radial, 0.02, "sphere vertex " + std::to_string(v));
  }
}

TEST(FinishSafePalette, ShownTexelsLeaveIndex255AndTheFloodFillFindsBlack) {
  const std::string folder = FreshFolder("finish_palette");
  WriteFileBytes(folder + "/box.md2", Box().Build());
  // One colour everywhere (a flood fill from the top-left would repaint the
  // texels the box shows, 4 to 12), with 255 inside and outside them.
  std::vector<std::uint8_t> indices(256, 7);
  const std::vector<int> at255 = {8 * 16 + 8, 5 * 16 + 6, 15 * 16 + 15, 1};
  for (int i : at255) indices[i] = 255;
  WriteFileBytes(folder + "/box.pcx", Pcx(16, 16, indices));

  const test_support::Result run = test_support::Vexo(folder, "finish box.md2 --safe-palette");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("5 pixels changed, 4 from index 255"));

  // Pillow decodes the result independently.
  const std::string decoded = test_support::Output(
      "/usr/bin/python3 -c \"from PIL import Image; print(' '.join(map(str, Image.open('" + folder +
      "/box.pcx').getdata())))\"");
  std::vector<int> after;
  for (std::size_t at = 0; at < decoded.size();) {
    std::size_t end;
    after.push_back(std::stoi(decoded.substr(at), &end));
    at += end;
    while (at < decoded.size() && decoded[at] == ' ') ++at;
    if (at < decoded.size() && decoded[at] == '\n') break;
  }
  ASSERT_EQ(after.size(), 256u) << decoded;
  // The nearest other entry to 255's colour, by brute force.
  const Palette palette = GreyPalette();
  int nearest = 0;
  long best = -1;
  for (int i = 0; i < 255; ++i) {
    long d = 0;
    for (int c = 0; c < 3; ++c) d += long(palette[3 * i + c] - palette[765 + c]) * (palette[3 * i + c] - palette[765 + c]);
    if (best < 0 || d < best) best = d, nearest = i;
  }
  for (int i = 0; i < 256; ++i) {
    const int expected = i == 0 ? 0 : indices[i] == 255 ? nearest : indices[i];
    EXPECT_EQ(after[i], expected) << "pixel " << i;
  }
  const test_support::Result check = test_support::Vexo(folder, "check box.md2");
  EXPECT_THAT(check.out, Not(HasSubstr("transparent")));
  EXPECT_THAT(check.out, Not(HasSubstr("flood fill")));
}

// Each drawn triangle as its corners (vertex, s, t) from the one with the
// least vertex, the winding kept; counted.
std::map<std::vector<double>, int> TriangleSet(const nlohmann::json& triangles) {
  std::map<std::vector<double>, int> set;
  for (const auto& t : triangles) {
    int first = 0;
    for (int k = 1; k < 3; ++k)
      if (t[k][0] < t[first][0]) first = k;
    std::vector<double> key;
    for (int k = 0; k < 3; ++k)
      for (int c = 0; c < 3; ++c) key.push_back(t[(first + k) % 3][c].get<double>());
    ++set[key];
  }
  return set;
}

TEST(FinishStrips, TheCommandListDrawsTheSameTrianglesInFewerWords) {
  const std::string folder = FreshFolder("finish_strips");
  ASSERT_EQ(test_support::Vexo(folder, "export demo -o m.md2").code, 0);
  const auto before = nlohmann::json::parse(test_support::NodeReader("quake2ts", folder + "/m.md2"));
  const auto sizeBefore = fs::file_size(folder + "/m.md2");
  const test_support::Result run = test_support::Vexo(folder, "finish m.md2 --strips");
  ASSERT_EQ(run.code, 0) << run.err;
  const auto after = nlohmann::json::parse(test_support::NodeReader("quake2ts", folder + "/m.md2"));
  ASSERT_TRUE(after["loaded"].get<bool>()) << after.dump();
  EXPECT_EQ(TriangleSet(after["glTriangles"]), TriangleSet(before["glTriangles"]));
  EXPECT_EQ(after["glTriangles"].size(), 100u);
  EXPECT_LT(fs::file_size(folder + "/m.md2"), sizeBefore);
  EXPECT_THAT(test_support::Vexo(folder, "check m.md2").out, Not(HasSubstr("GL command")));
}

}  // namespace
