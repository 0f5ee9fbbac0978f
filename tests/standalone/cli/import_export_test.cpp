// vexo export and vexo info on scene files: a rigged, textured glTF made
// here, converted by the vexo binary and read back with assimp's MD2 reader,
// frame by frame against the scene's own sampling.
#include <assimp/Exporter.hpp>
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/scene.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "standalone/import/imported_scene.h"
#include "tests/standalone/import/gltf_writer.h"
#include "tests/standalone/import/import_test_support.h"
#include "tests/support/vexo_run.h"
#include "tests/standalone/import/rigged_character.h"
#include "tests/support/assimp_md2_check.h"
#include "tests/support/bytes.h"
#include "tests/support/md2_file.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using vexo::testing::GltfWriter;
using vexo::testing::ScratchFolder;

using test_support::Result;

Result Vexo(const fs::path& folder, const std::string& args) {
  return test_support::Vexo(folder.string(), args);
}

std::string Sampler(int input, int output) {
  return "{\"input\":" + std::to_string(input) + ",\"output\":" + std::to_string(output) + "}";
}

// arm.gltf: a strip up glTF's y skinned to two bones, "Upper" and "Lower"
// (the joint at y = 1), textured with arm.png. Clips: "Bend" turns Lower a
// quarter in one second; "Wave" turns it there and back in two (it loops).
void WriteArm(const fs::path& folder) {
  vexo::testing::WritePng(folder / "arm.png", 64, 64, [](int x, int y) {
    return vexo::testing::Rgb{std::uint8_t(x * 4), std::uint8_t(y * 4), 90};
  });
  GltfWriter gltf;
  const int position = gltf.Floats({-0.5f, 0, 0, 0.5f, 0, 0, -0.5f, 1, 0, 0.5f, 1, 0,
                                    -0.5f, 2, 0, 0.5f, 2, 0}, "VEC3");
  const int uv = gltf.Floats({0, 1, 1, 1, 0, 0.5f, 1, 0.5f, 0, 0, 1, 0}, "VEC2");
  const int joints = gltf.Joints({0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0,
                                  0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
  const int weights = gltf.Floats({1, 0, 0, 0, 1, 0, 0, 0, 0.5f, 0.5f, 0, 0,
                                   0.5f, 0.5f, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
  const int indices = gltf.Indices({0, 1, 3, 0, 3, 2, 2, 3, 5, 2, 5, 4});
  const int inverseBind = gltf.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1,
                                       1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -1, 0, 1}, "MAT4");
  const float h = std::sqrt(0.5f);
  const int bendTimes = gltf.Floats({0, 1}, "SCALAR");
  const int bend = gltf.Floats({0, 0, 0, 1, 0, 0, h, h}, "VEC4");
  const int waveTimes = gltf.Floats({0, 1, 2}, "SCALAR");
  const int wave = gltf.Floats({0, 0, 0, 1, 0, 0, -h, h, 0, 0, 0, 1}, "VEC4");
  gltf.Write(folder / "arm.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],"
             "\"nodes\":[{\"name\":\"Arm\",\"mesh\":0,\"skin\":0},"
             "{\"name\":\"Upper\",\"children\":[2]},"
             "{\"name\":\"Lower\",\"translation\":[0,1,0]}],"
             "\"skins\":[{\"joints\":[1,2],\"inverseBindMatrices\":" + std::to_string(inverseBind) +
                 "}],"
             "\"images\":[{\"uri\":\"arm.png\"}],\"textures\":[{\"source\":0}],"
             "\"materials\":[{\"name\":\"Skin\",\"pbrMetallicRoughness\":"
             "{\"baseColorTexture\":{\"index\":0}}}],"
             "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" +
                 std::to_string(position) + ",\"TEXCOORD_0\":" + std::to_string(uv) +
                 ",\"JOINTS_0\":" + std::to_string(joints) + ",\"WEIGHTS_0\":" +
                 std::to_string(weights) + "},\"indices\":" + std::to_string(indices) +
                 ",\"material\":0}]}],"
             "\"animations\":["
             "{\"name\":\"Bend\",\"samplers\":[" + Sampler(bendTimes, bend) +
                 "],\"channels\":[{\"sampler\":0,\"target\":{\"node\":2,\"path\":\"rotation\"}}]},"
             "{\"name\":\"Wave\",\"samplers\":[" + Sampler(waveTimes, wave) +
                 "],\"channels\":[{\"sampler\":0,\"target\":{\"node\":2,\"path\":\"rotation\"}}]}]");
}

// Model frame `frame` as assimp reads it holds the positions of `expected`,
// each within the frame's quantisation step (coordinates are truncated).
// The file's axes are the scene's turned a quarter: (-y, x, z).
void ExpectFrameHolds(const fs::path& model, int frame, const std::vector<::Point3>& expected) {
  SCOPED_TRACE("model frame " + std::to_string(frame));
  ASSERT_FALSE(expected.empty());
  Assimp::Importer importer;
  importer.SetPropertyInteger(AI_CONFIG_IMPORT_MD2_KEYFRAME, frame);
  const aiScene* scene = importer.ReadFile(model.string(), 0);
  ASSERT_NE(scene, nullptr) << importer.GetErrorString();
  ASSERT_EQ(scene->mNumMeshes, 1u);
  const aiMesh* mesh = scene->mMeshes[0];
  const test_support::Md2FileFrame file =
      test_support::Md2FrameOf(test_support::ReadFileBytes(model.string()), frame);
  const auto& step = file.scale;
  auto near = [&](const aiVector3D& a, const ::Point3& b) {
    return std::fabs(a.x + b.y) <= step[0] * 1.01f + 1e-5f &&
           std::fabs(a.y - b.x) <= step[1] * 1.01f + 1e-5f &&
           std::fabs(a.z - b.z) <= step[2] * 1.01f + 1e-5f;
  };
  std::set<std::size_t> matched;
  for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
    bool found = false;
    for (std::size_t e = 0; e < expected.size(); ++e) {
      if (near(mesh->mVertices[v], expected[e])) {
        found = true;
        matched.insert(e);
      }
    }
    EXPECT_TRUE(found) << "vertex " << v << " at " << mesh->mVertices[v].x << " "
                       << mesh->mVertices[v].y << " " << mesh->mVertices[v].z;
  }
  EXPECT_EQ(matched.size(), expected.size());
}

// The scene's own positions at host frames, sampled as the plug-in samples.
struct SceneSampler {
  explicit SceneSampler(const fs::path& file) {
    vexo::ImportOptions options;
    options.path = file;
    options.textureCache = scratch.path();
    imported = std::make_unique<vexo::ImportedScene>(vexo::ImportScene(options));
    host = std::make_unique<vexo::MemoryHost>(imported->TakeScene());
  }
  std::vector<::Point3> At(int hostFrame) {
    return vexo::testing::SampleThroughPlugin(*host, hostFrame * imported->ticksPerFrame())
        .positions;
  }
  ScratchFolder scratch;
  std::unique_ptr<vexo::ImportedScene> imported;
  std::unique_ptr<vexo::MemoryHost> host;
};

TEST(VexoImport, RiggedGltfConvertsFrameByFrame) {
  ScratchFolder folder;
  WriteArm(folder.path());
  const Result run = Vexo(folder.path(), "export arm.gltf -o arm.md2 --pcx");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("wrote arm.md2"));
  EXPECT_TRUE(fs::exists(folder / "tris.pcx"));
  EXPECT_TRUE(fs::is_directory(folder / "vexo-textures"));
  test_support::ExpectAssimpReadsEveryFrame((folder / "arm.md2").string());

  // Host frame f shows Bend at f / 30 s; it holds its end pose after 30.
  SceneSampler scene(folder / "arm.gltf");
  for (int frame : {0, 7, 15, 30, 60}) ExpectFrameHolds(folder / "arm.md2", frame, scene.At(frame));
  EXPECT_NE(scene.At(0)[5].x, scene.At(30)[5].x);  // it does move
}

// Characters of several shapes: bone counts, a body of two materials, a
// morph-animated part, and a Z-up source (an FBX made from a glTF by the
// importer's own exporter, its header saying Z-up). Each converts, and every
// model frame read back holds the scene's own positions at that host frame.
TEST(VexoImport, RiggedCharactersOfSeveralShapesConvertFrameByFrame) {
  ScratchFolder folder;
  struct Case {
    const char* name;
    vexo::testing::CharacterShape shape;
  };
  std::vector<Case> cases(3);
  cases[0].name = "pole";
  cases[1].name = "tail";
  cases[1].shape.bones = 6;
  cases[1].shape.rings = 12;
  cases[1].shape.frames = 16;
  cases[2].name = "knight";
  cases[2].shape.bones = 3;
  cases[2].shape.materials = 2;
  cases[2].shape.morphPart = true;
  std::vector<std::string> files;
  for (const Case& c : cases) {
    vexo::testing::WriteRiggedCharacter(folder.path(), c.name, c.shape);
    files.push_back(std::string(c.name) + ".gltf");
  }

  Assimp::Importer importer;
  const aiScene* pole = importer.ReadFile((folder / "pole.gltf").string(), 0);
  ASSERT_NE(pole, nullptr) << importer.GetErrorString();
  ASSERT_EQ(Assimp::Exporter().Export(pole, "fbxa", (folder / "pole.fbx").string()),
            aiReturn_SUCCESS);
  std::string fbx = test_support::ReadTextFile((folder / "pole.fbx").string());
  const std::string yUp = "P: \"UpAxis\", \"int\", \"Integer\", \"\", 1";
  ASSERT_NE(fbx.find(yUp), std::string::npos);
  fbx.replace(fbx.find(yUp), yUp.size(), "P: \"UpAxis\", \"int\", \"Integer\", \"\", 2");
  vexo::testing::WriteText(folder / "pole_z.fbx", fbx);
  files.push_back("pole_z.fbx");

  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const std::string model = fs::path(file).stem().string() + ".md2";
    const Result run = Vexo(folder.path(), "export " + file + " -o " + model);
    ASSERT_EQ(run.code, 0) << run.err;
    test_support::ExpectAssimpReadsEveryFrame((folder / model).string());
    SceneSampler scene(folder / file);
    for (int frame : {0, 3, 9, 15, 100, 197}) ExpectFrameHolds(folder / model, frame, scene.At(frame));
    // It does move. (The exporter's FBX stretches the clip, so the last
    // model frame is compared with the first.)
    const std::vector<::Point3> first = scene.At(0), later = scene.At(197);
    ASSERT_EQ(first.size(), later.size());
    float moved = 0;
    for (std::size_t v = 0; v < first.size(); ++v) {
      moved = std::max({moved, std::fabs(first[v].x - later[v].x), std::fabs(first[v].y - later[v].y),
                        std::fabs(first[v].z - later[v].z)});
    }
    EXPECT_GT(moved, 0.01f);
  }
  EXPECT_THAT(Vexo(folder.path(), "info pole_z.fbx").out, HasSubstr("Z-up"));
  EXPECT_THAT(Vexo(folder.path(), "info knight.gltf").out, HasSubstr("knight_face"));
}

TEST(VexoImport, ClipMappingsWriteTheirRanges) {
  ScratchFolder folder;
  WriteArm(folder.path());
  const Result run =
      Vexo(folder.path(), "export arm.gltf -o arm.md2 --map Bend:stand01-stand10 --map 1:run1-run6");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("wrote arm.md2"));
  EXPECT_THAT(run.out, HasSubstr("frames 0-9 (stand01 to stand10) exported"));
  EXPECT_THAT(run.out, HasSubstr("updated arm.md2"));
  EXPECT_THAT(run.out, HasSubstr("frames 40-45 (run1 to run6) exported"));

  SceneSampler scene(folder / "arm.gltf");
  // Bend ends on its last pose; Wave loops, so run6 stops short of its end.
  scene.imported->MapClipToFrames(0, 10);
  for (int k = 0; k < 10; ++k) ExpectFrameHolds(folder / "arm.md2", k, scene.At(k));
  scene.imported->MapClipToFrames(1, 6);
  for (int k = 0; k < 6; ++k) ExpectFrameHolds(folder / "arm.md2", 40 + k, scene.At(k));
  EXPECT_NE(scene.At(5)[5].x, scene.At(0)[5].x);
}

TEST(VexoImport, BadInputIsRefusedAndWritesNothing) {
  ScratchFolder folder;
  WriteArm(folder.path());
  GltfWriter empty;
  empty.Write(folder / "empty.gltf",
              "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"name\":\"Alone\"}]");
  // A grid of 105 x 105 squares: 22050 triangles, more than a model holds.
  std::ostringstream grid;
  for (int y = 0; y <= 105; ++y) {
    for (int x = 0; x <= 105; ++x) grid << "v " << x << " " << y << " 0\n";
  }
  for (int y = 0; y < 105; ++y) {
    for (int x = 0; x < 105; ++x) {
      const int a = y * 106 + x + 1, b = a + 1, c = a + 106, d = c + 1;
      grid << "f " << a << " " << b << " " << d << "\nf " << a << " " << d << " " << c << "\n";
    }
  }
  vexo::testing::WriteText(folder / "grid.obj", grid.str());
  const Result overInfo = Vexo(folder.path(), "info grid.obj");
  EXPECT_EQ(overInfo.code, 0) << overInfo.err;
  const std::string over = "the selected meshes have 22050 triangles (the most is 21845)";
  EXPECT_THAT(overInfo.out, HasSubstr("Problems (the export would stop):\n  " + over));
  const auto before = test_support::FilesIn(folder.path().string());
  struct Case {
    const char* args;
    const char* message;
  };
  const Case cases[] = {
      {"export missing.gltf -o m.md2", "cannot open missing.gltf: no such file"},
      {"export arm.gltf -o m.md2 --animation Jump", "no animation named \"Jump\""},
      {"export arm.gltf -o m.md2 --map Jump:stand01-stand02", "no animation named \"Jump\""},
      {"export arm.gltf -o m.md2 --map Bend:stand01-nothing", "no frame is named \"nothing\""},
      {"export arm.gltf -o m.md2 --map Bend:stand05-stand01", "runs backwards"},
      {"export arm.gltf -o m.md2 --map Bend", "expected CLIP:FIRST-LAST"},
      {"export arm.gltf -o m.md2 --map Bend:stand01-stand02 --start 3", "leave out --start"},
      {"export demo -o m.md2 --map Bend:stand01-stand02", "the demo has none"},
      {"export --demo -o m.md2 --fps 24", "--fps applies to scene files"},
      {"export arm.gltf -o m.md2 --select Nobody", "no node named"},
      {"export empty.gltf -o m.md2", "holds no triangle mesh"},
      {"export arm.gltf -o m.md2 --up x", "--up"},
      {"export grid.obj -o m.md2 --pcx", over.c_str()},
      {"info missing.gltf", "cannot open missing.gltf: no such file"},
  };
  for (const Case& c : cases) {
    const Result run = Vexo(folder.path(), c.args);
    EXPECT_EQ(run.code, 2) << c.args << "\n" << run.err;
    EXPECT_THAT(run.err, HasSubstr(c.message)) << c.args;
    EXPECT_EQ(run.out, "") << c.args;
    EXPECT_EQ(test_support::FilesIn(folder.path().string()), before) << c.args;
  }
}

TEST(VexoImport, InfoListsNodesClipsAndProblems) {
  ScratchFolder folder;
  WriteArm(folder.path());
  const auto before = test_support::FilesIn(folder.path().string());
  const Result run = Vexo(folder.path(), "info arm.gltf");
  ASSERT_EQ(run.code, 0) << run.err;
  for (const char* text : {"Arm", "Upper", "Lower", "Bend", "Wave", "arm.png"})
    EXPECT_THAT(run.out, HasSubstr(text)) << run.out;
  EXPECT_EQ(test_support::FilesIn(folder.path().string()), before);

  // A texture that is not there is shown as its material's colour, and
  // both info and the export say so.
  fs::remove(folder / "arm.png");
  const Result missing = Vexo(folder.path(), "info arm.gltf");
  EXPECT_EQ(missing.code, 0) << missing.err;
  EXPECT_THAT(missing.out, HasSubstr("texture \"arm.png\" of material \"Skin\" is not found"));
  const Result swatched = Vexo(folder.path(), "export arm.gltf -o arm.md2");
  EXPECT_EQ(swatched.code, 0) << swatched.err;
  EXPECT_THAT(swatched.err, HasSubstr("its faces show the material's colour #FFFFFF"));
}

}  // namespace
