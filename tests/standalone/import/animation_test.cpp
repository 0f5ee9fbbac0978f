// Animated scenes sampled through the plug-in: node keys, skinning, morph
// weights, and the clip on the timeline.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "gltf_writer.h"
#include "import_test_support.h"
#include "standalone/import/gltf_interpolation.h"
#include "standalone/import/imported_scene.h"
#include "rigged_character.h"

namespace vexo {
namespace {

using testing::GltfWriter;
using testing::PluginSample;
using testing::SampleThroughPlugin;
using testing::ScratchFolder;

void ExpectNear(const Point3& p, float x, float y, float z) {
  EXPECT_NEAR(p.x, x, 1e-5f);
  EXPECT_NEAR(p.y, y, 1e-5f);
  EXPECT_NEAR(p.z, z, 1e-5f);
}

std::string Quad(GltfWriter& gltf, const std::string& more = "") {
  const int position = gltf.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, "VEC3");
  const int indices = gltf.Indices({0, 1, 2, 0, 2, 3});
  return "{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(position) +
         "},\"indices\":" + std::to_string(indices) + more + "}]}";
}

std::string Sampler(int input, int output, const std::string& interpolation = "LINEAR") {
  return "{\"input\":" + std::to_string(input) + ",\"output\":" + std::to_string(output) +
         ",\"interpolation\":\"" + interpolation + "\"}";
}

TEST(Animation, NodeKeysMoveTheSampledPositionsFrameByFrame) {
  ScratchFolder folder;
  GltfWriter gltf;
  const std::string mesh = Quad(gltf);
  const int times = gltf.Floats({0, 1}, "SCALAR");
  // Up along glTF's y by 3 in one second, and a quarter turn about y.
  const int moves = gltf.Floats({0, 0, 0, 0, 3, 0}, "VEC3");
  const float h = std::sqrt(0.5f);
  const int turns = gltf.Floats({0, 0, 0, 1, 0, h, 0, h}, "VEC4");
  gltf.Write(folder / "moving.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
             "\"nodes\":[{\"name\":\"Mover\",\"mesh\":0}],\"meshes\":[" + mesh + "],"
             "\"animations\":[{\"name\":\"Rise\",\"samplers\":[" + Sampler(times, moves) + "," +
                 Sampler(times, turns) + "],\"channels\":["
                 "{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"translation\"}},"
                 "{\"sampler\":1,\"target\":{\"node\":0,\"path\":\"rotation\"}}]}]");

  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "moving.gltf";
  ImportedScene imported = ImportScene(options);
  ASSERT_EQ(imported.clips().size(), 1u);
  EXPECT_EQ(imported.clips()[0].name, "Rise");
  EXPECT_DOUBLE_EQ(imported.clips()[0].durationSeconds, 1.0);
  EXPECT_FALSE(imported.clips()[0].loops);
  EXPECT_EQ(imported.ticksPerFrame(), 160);
  MemoryHost host(imported.TakeScene());

  // Vertex 1 is glTF (1, 0, 0). Turned about glTF's y by angle a it lies at
  // (cos a, 0, -sin a); raised by 3f; then Z-up: (x, -z, y).
  for (int frame : {0, 15, 30, 45}) {
    const PluginSample sample = SampleThroughPlugin(host, frame * imported.ticksPerFrame(), false);
    ASSERT_EQ(sample.result, 1);
    ASSERT_EQ(sample.positions.size(), 4u);
    const double f = std::min(frame / 30.0, 1.0);
    const double a = f * M_PI / 2;
    ExpectNear(sample.positions[1], static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)),
               static_cast<float>(3 * f));
  }

  // fps 10: frame 5 is half a second in. "none" is the bind pose.
  options.fps = 10;
  ImportedScene slow = ImportScene(options);
  EXPECT_EQ(slow.ticksPerFrame(), 480);
  MemoryHost slowHost(slow.TakeScene());
  ExpectNear(SampleThroughPlugin(slowHost, 5 * 480, false).positions[0], 0, 0, 1.5f);
  options.animation = "none";
  MemoryHost still(ImportScene(options).TakeScene());
  ExpectNear(SampleThroughPlugin(still, 30 * 480, false).positions[1], 1, 0, 0);
}

// Samplers say how keys are interpolated: "STEP" holds each key until the
// next, "CUBICSPLINE" follows the tangents stored around each key, and the
// default blends. The held node has no name of its own. The binary file
// keeps its data in its own chunk.
TEST(Animation, StepAndCubicSplineKeysFollowTheFileInGltfAndGlb) {
  ScratchFolder folder;
  GltfWriter gltf;
  const std::string mesh = Quad(gltf);
  const int times = gltf.Floats({0, 1}, "SCALAR");
  const int moves = gltf.Floats({0, 0, 0, 0, 3, 0}, "VEC3");
  // In-tangent, value and out-tangent per key: leaving at 6 a second.
  const int curve = gltf.Floats({0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0}, "VEC3");
  auto channel = [](int sampler, int node) {
    return "{\"sampler\":" + std::to_string(sampler) + ",\"target\":{\"node\":" +
           std::to_string(node) + ",\"path\":\"translation\"}}";
  };
  const std::string members =
      "\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2]}],"
      "\"nodes\":[{\"mesh\":0},{\"name\":\"Glider\",\"mesh\":0},{\"name\":\"Curver\",\"mesh\":0}],"
      "\"meshes\":[" + mesh + "],"
      "\"animations\":[{\"samplers\":[" + Sampler(times, moves, "STEP") + "," +
      Sampler(times, moves) + "," + Sampler(times, curve, "CUBICSPLINE") + "],\"channels\":[" + channel(0, 0) + "," +
      channel(1, 1) + "," + channel(2, 2) + "]}]";
  gltf.Write(folder / "keys.gltf", members);
  gltf.WriteBinary(folder / "keys.glb", members);

  for (const char* file : {"keys.gltf", "keys.glb"}) {
    SCOPED_TRACE(file);
    ImportOptions options;
    options.textureCache = folder / "cache";
    options.path = folder / file;
    ImportedScene imported = ImportScene(options);
    MemoryHost host(imported.TakeScene());
    // Vertex 0 of each quad; glTF y becomes z.
    for (int frame : {0, 15, 29, 30}) {
      const PluginSample sample = SampleThroughPlugin(host, frame * 160, false);
      ASSERT_EQ(sample.result, 1);
      ASSERT_EQ(sample.positions.size(), 12u);
      const double f = frame / 30.0;
      ExpectNear(sample.positions[0], 0, 0, frame < 30 ? 0.0f : 3.0f);
      ExpectNear(sample.positions[4], 0, 0, static_cast<float>(3 * f));
      // Hermite: 6 f (f^3 - 2 f^2 + f) + 3 (3 f^2 - 2 f^3).
      const double hermite = 6 * (f * f * f - 2 * f * f + f) + 3 * (3 * f * f - 2 * f * f * f);
      ExpectNear(sample.positions[8], 0, 0, static_cast<float>(hermite));
    }
  }
}

// Buffer files named by a glTF file are read only when they are regular
// files inside its folder, and only as far as the buffer's byteLength.
TEST(Animation, SamplerReaderReadsOnlyBufferFilesItMay) {
  ScratchFolder folder;
  std::filesystem::create_directories(folder / "scene");
  std::filesystem::create_directories(folder / "elsewhere");
  float data[20] = {0, 1};  // two key times, then tangents and values (6 x VEC3)
  const std::string bytes(reinterpret_cast<const char*>(data), sizeof data);
  testing::WriteText(folder / "scene" / "keys.bin", bytes);
  testing::WriteText(folder / "elsewhere" / "keys.bin", bytes);
  ASSERT_EQ(mkfifo((folder / "scene" / "fifo.bin").c_str(), 0600), 0);
  auto write = [&](const std::string& uri, int byteLength) {
    testing::WriteText(
        folder / "scene" / "keys.gltf",
        "{\"asset\":{\"version\":\"2.0\"},\"nodes\":[{}],"
        "\"buffers\":[{\"uri\":\"" + uri + "\",\"byteLength\":" + std::to_string(byteLength) + "}],"
        "\"bufferViews\":[{\"buffer\":0,\"byteLength\":80}],"
        "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":2,\"type\":\"SCALAR\"},"
        "{\"bufferView\":0,\"byteOffset\":8,\"componentType\":5126,\"count\":6,\"type\":\"VEC3\"}],"
        "\"animations\":[{\"samplers\":[{\"input\":0,\"output\":1,\"interpolation\":\"CUBICSPLINE\"}],"
        "\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"translation\"}}]}]}");
  };
  const std::filesystem::path file = folder / "scene" / "keys.gltf";
  std::vector<std::string> notes;
  write("keys.bin", 80);
  EXPECT_EQ(ReadGltfChannelKeys(file, false, &notes).size(), 1u);
  write("keys.bin", 40);  // the values reach past the buffer's end
  EXPECT_EQ(ReadGltfChannelKeys(file, false, &notes).size(), 0u);
  EXPECT_TRUE(notes.empty());

  write("../elsewhere/keys.bin", 80);
  EXPECT_EQ(ReadGltfChannelKeys(file, false, &notes).size(), 0u);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("outside the scene's folder"), std::string::npos) << notes[0];
  EXPECT_EQ(ReadGltfChannelKeys(file, true, &notes).size(), 1u);

  notes.clear();
  write("fifo.bin", 80);  // would block a reader that opened it
  EXPECT_EQ(ReadGltfChannelKeys(file, false, &notes).size(), 0u);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("not a regular file"), std::string::npos) << notes[0];
}

// The sampler reader sees files the importer has accepted, but reads their
// buffers itself: cut short anywhere, a file yields fewer channels, never a
// read outside its bytes.
TEST(Animation, SamplerReaderSurvivesFilesCutShort) {
  ScratchFolder folder;
  GltfWriter gltf;
  const std::string mesh = Quad(gltf);
  const int times = gltf.Floats({0, 1}, "SCALAR");
  const int curve = gltf.Floats(std::vector<float>(18, 1.0f), "VEC3");
  const std::string members =
      "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"mesh\":0}],"
      "\"meshes\":[" + mesh + "],\"animations\":[{\"samplers\":[" +
      Sampler(times, curve, "CUBICSPLINE") + "],\"channels\":[{\"sampler\":0,"
      "\"target\":{\"node\":0,\"path\":\"scale\"}}]}]";
  for (const char* name : {"whole.glb", "whole.gltf"}) {
    const std::filesystem::path whole = folder / name;
    if (whole.extension() == ".glb") gltf.WriteBinary(whole, members);
    else gltf.Write(whole, members);
    const std::vector<GltfChannelKeys> all = ReadGltfChannelKeys(whole);
    ASSERT_EQ(all.size(), 1u) << name;
    EXPECT_EQ(all[0].node, "nodes[0]");
    EXPECT_EQ(all[0].inTangents.size(), 2u);

    std::ifstream in(whole, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::filesystem::path cut = folder / (std::string("cut") + whole.extension().string());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
      std::ofstream(cut, std::ios::binary | std::ios::trunc) << bytes.substr(0, length);
      EXPECT_LE(ReadGltfChannelKeys(cut).size(), 1u) << name << " cut to " << length;
    }
  }
}

TEST(Animation, TwoBoneSkinBendsWithItsBonesInWorldCoordinates) {
  ScratchFolder folder;
  GltfWriter gltf;
  // A strip up glTF's y: rows at y = 0, 1, 2. Row 0 follows "Upper", row 2
  // "Lower", row 1 both equally.
  const int position = gltf.Floats({-0.5f, 0, 0, 0.5f, 0, 0, -0.5f, 1, 0, 0.5f, 1, 0,
                                    -0.5f, 2, 0, 0.5f, 2, 0}, "VEC3");
  const int joints = gltf.Joints({0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0,
                                  0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
  const int weights = gltf.Floats({1, 0, 0, 0, 1, 0, 0, 0, 0.5f, 0.5f, 0, 0,
                                   0.5f, 0.5f, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
  const int indices = gltf.Indices({0, 1, 3, 0, 3, 2, 2, 3, 5, 2, 5, 4});
  const int inverseBind = gltf.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1,
                                       1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -1, 0, 1}, "MAT4");
  const int times = gltf.Floats({0, 1}, "SCALAR");
  const float h = std::sqrt(0.5f);
  // "Lower" turns a quarter about glTF's z.
  const int bend = gltf.Floats({0, 0, 0, 1, 0, 0, h, h}, "VEC4");
  gltf.Write(folder / "bend.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],"
             "\"nodes\":[{\"name\":\"Arm\",\"mesh\":0,\"skin\":0},"
             "{\"name\":\"Upper\",\"children\":[2]},"
             "{\"name\":\"Lower\",\"translation\":[0,1,0]}],"
             "\"skins\":[{\"joints\":[1,2],\"inverseBindMatrices\":" + std::to_string(inverseBind) +
                 "}],"
             "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" +
                 std::to_string(position) + ",\"JOINTS_0\":" + std::to_string(joints) +
                 ",\"WEIGHTS_0\":" + std::to_string(weights) + "},\"indices\":" +
                 std::to_string(indices) + "}]}],"
             "\"animations\":[{\"name\":\"Bend\",\"samplers\":[" + Sampler(times, bend) +
                 "],\"channels\":[{\"sampler\":0,\"target\":{\"node\":2,\"path\":\"rotation\"}}]}]");

  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "bend.gltf";
  ImportedScene imported = ImportScene(options);
  MemoryHost host(imported.TakeScene());
  EXPECT_FALSE(host.scene().FindNode("Upper")->selected());

  const PluginSample rest = SampleThroughPlugin(host, 0, false);
  ASSERT_EQ(rest.result, 1);
  ASSERT_EQ(rest.positions.size(), 6u);
  ExpectNear(rest.positions[5], 0.5f, 0, 2);

  // At one second: row 2 turned about the joint at glTF (0, 1): glTF
  // (0.5, 2) -> (-1, 1.5); row 1 halfway between staying and turning:
  // (0.5, 1) and (0, 1.5) blend to (0.25, 1.25). Then Z-up.
  const PluginSample bent = SampleThroughPlugin(host, 30 * imported.ticksPerFrame(), false);
  ASSERT_EQ(bent.positions.size(), 6u);
  ExpectNear(bent.positions[0], -0.5f, 0, 0);
  ExpectNear(bent.positions[3], 0.25f, 0, 1.25f);
  ExpectNear(bent.positions[4], -1, 0, 0.5f);
  ExpectNear(bent.positions[5], -1, 0, 1.5f);
}

TEST(Animation, MorphWeightsFollowTheClipOrTheMeshDefaults) {
  ScratchFolder folder;
  GltfWriter gltf;
  const int target = gltf.Floats({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3");
  const std::string mesh =
      Quad(gltf, ",\"targets\":[{\"POSITION\":" + std::to_string(target) + "}]");
  const int times = gltf.Floats({0, 1, 2}, "SCALAR");
  const int weights = gltf.Floats({0, 1, 0.5f}, "SCALAR");
  gltf.Write(folder / "morph.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
             "\"nodes\":[{\"name\":\"Face\",\"mesh\":0}],\"meshes\":[" +
                 mesh.substr(0, mesh.size() - 1) + ",\"weights\":[0.25]}]," +
                 "\"animations\":[{\"samplers\":[" + Sampler(times, weights) +
                 "],\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"weights\"}}]}]");

  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "morph.gltf";
  ImportedScene imported = ImportScene(options);
  MemoryHost host(imported.TakeScene());
  // The target pushes along glTF's z, which is -y after the turn.
  const std::pair<int, float> expected[] = {{0, 0}, {30, 1}, {45, 0.75f}, {60, 0.5f}};
  for (const auto& [frame, weight] : expected) {
    const PluginSample sample = SampleThroughPlugin(host, frame * 160, false);
    ASSERT_EQ(sample.positions.size(), 4u);
    ExpectNear(sample.positions[2], 1, -weight, 1);
  }
  options.animation = "none";
  MemoryHost still(ImportScene(options).TakeScene());
  ExpectNear(SampleThroughPlugin(still, 0, false).positions[2], 1, -0.25f, 1);
}

TEST(Animation, ClipsSwitchAndSpreadOverFrameRanges) {
  ScratchFolder folder;
  GltfWriter gltf;
  const std::string mesh = Quad(gltf);
  const int times = gltf.Floats({0, 0.5f, 1}, "SCALAR");
  const int walk = gltf.Floats({0, 0, 0, 4, 0, 0, 0, 0, 0}, "VEC3");  // out and back: loops
  const int die = gltf.Floats({0, 0, 0, 1, 0, 0, 2, 0, 0}, "VEC3");   // ends elsewhere
  auto clip = [&](const char* name, int output) {
    return std::string("{\"name\":\"") + name + "\",\"samplers\":[" + Sampler(times, output) +
           "],\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"translation\"}}]}";
  };
  gltf.Write(folder / "clips.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
             "\"nodes\":[{\"name\":\"Body\",\"mesh\":0}],\"meshes\":[" + mesh + "],"
             "\"animations\":[" + clip("Walk", walk) + "," + clip("Die", die) + "]");

  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "clips.gltf";
  options.animation = "Die";
  ImportedScene imported = ImportScene(options);
  ASSERT_EQ(imported.clips().size(), 2u);
  EXPECT_TRUE(imported.clips()[0].loops);
  EXPECT_FALSE(imported.clips()[1].loops);
  EXPECT_EQ(imported.activeClip(), std::optional<std::size_t>(1));
  EXPECT_EQ(imported.FindClip("Walk"), 0u);
  EXPECT_EQ(imported.FindClip("1"), 1u);
  MemoryHost host(imported.TakeScene());
  auto x = [&](int frame) { return SampleThroughPlugin(host, frame * 160, false).positions[0].x; };
  EXPECT_NEAR(x(15), 1, 1e-5);

  // Four frames of the looping walk: a quarter of it apart, the fifth
  // would repeat the first.
  imported.MapClipToFrames(imported.FindClip("Walk"), 4);
  const float walkX[] = {0, 2, 4, 2};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(x(k), walkX[k], 1e-5) << k;
  EXPECT_DOUBLE_EQ(imported.ClipFrameTime(0, 4, 4), 1.0);
  // Five frames of the dying: the last one shows its end.
  imported.MapClipToFrames(1, 5);
  const float dieX[] = {0, 0.5f, 1, 1.5f, 2};
  for (int k = 0; k < 5; ++k) EXPECT_NEAR(x(k), dieX[k], 1e-5) << k;
  // Back to the plain timeline, then no clip at all.
  imported.SetActiveClip(0);
  EXPECT_NEAR(x(15), 4, 1e-5);
  imported.SetActiveClip(std::nullopt);
  EXPECT_NEAR(x(15), 0, 1e-5);
}

// Poses made ahead on the second thread must be the very poses made on
// demand, for the frames they were made for and no others.
TEST(Animation, PosesMadeAheadAreThePosesMadeOnDemand) {
  ScratchFolder folder;
  testing::CharacterShape shape;
  shape.morphPart = true;
  testing::WriteRiggedCharacter(folder.path(), "hero", shape);
  ImportOptions options;
  options.textureCache = folder / "cache";
  options.path = folder / "hero.gltf";
  ImportedScene imported = ImportScene(options);
  MemoryHost host(imported.TakeScene());
  const int tpf = imported.ticksPerFrame();
  // Frames 2 to 7 are made ahead and asked for in order, as the plug-in
  // does; the others, a time between frames and a frame asked for again
  // (given back by then) too.
  const std::vector<TimeValue> times = {2 * tpf, 3 * tpf + 7, 3 * tpf, 0,      5 * tpf,
                                        7 * tpf, 9 * tpf,     2 * tpf, 6 * tpf};
  std::vector<std::vector<Point3>> onDemand;
  for (TimeValue t : times) onDemand.push_back(SampleThroughPlugin(host, t, false).positions);

  imported.StartPosingAhead(2, 6);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // time to make them all
  for (std::size_t i = 0; i < times.size(); ++i) {
    const std::vector<Point3> ahead = SampleThroughPlugin(host, times[i], false).positions;
    ASSERT_EQ(ahead.size(), onDemand[i].size());
    EXPECT_EQ(std::memcmp(ahead.data(), onDemand[i].data(), ahead.size() * sizeof(Point3)), 0)
        << "time " << times[i];
  }
  // A change of the timeline stops it first.
  imported.MapClipToFrames(0, 4);
  EXPECT_EQ(SampleThroughPlugin(host, 0, false).positions.size(), onDemand[0].size());
}

}  // namespace
}  // namespace vexo
