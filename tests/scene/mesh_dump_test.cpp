#include "scene/mesh_dump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "scene/export_context.h"
#include "tests/support/bytes.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scratch_folder.h"
#include "texture/skin/skin_texture.h"

using test_support::ReadTextFile;

TEST(MeshDump, ThreeVerticesOneFaceInTheExactFormat) {
  const std::filesystem::path folder = test_support::FreshFolder("vexo_mesh_dump");
  ASSERT_EQ(setenv("XDG_CACHE_HOME", folder.c_str(), 1), 0);
  const std::string path = MeshDumpPath();
  EXPECT_EQ(path, (folder / "vexo" / "tris.asc").string());

  SampledVertex vertices[3];
  vertices[0].position = {1.0f, -2.5f, 0.0f};
  vertices[1].position = {-1234.5f, 0.125f, 99999.0f};
  vertices[2].position = {0.0f, 3.0f, -0.5f};
  vertices[2].u = 0.25f;  // the vertex's own u and v are printed, not the corners'
  SampledFace face;
  face.a = 2;
  face.b = 0;
  face.c = 1;
  SkinTexture texture;
  std::strcpy(texture.image.name, "skin.bmp");
  face.texture = &texture;

  ExportContext context;
  ASSERT_EQ(DumpExportMesh(vertices, 3, &face, 1, FaceTextureName, context), 1);
  EXPECT_EQ(ReadTextFile(path),
            "Named object: \"" + path +
                "\"\n"
                "Tri-mesh, Vertices: 3          Faces: 1\n"
                "Vertex list:\n"
                "Vertex 0:  X:    1.000000 Y:   -2.500000 Z:    0.000000 U:0.000000 V:0.000000\n"
                "Vertex 1:  X:-1234.500000 Y:    0.125000 Z:99999.000000 U:0.000000 V:0.000000\n"
                "Vertex 2:  X:    0.000000 Y:    3.000000 Z:   -0.500000 U:0.250000 V:0.000000\n"
                "Face list:\n"
                "Face 0:  A:2 B:0 C:1 AB:1 BC:1 CA:1\n"
                "Material:\"skin.bmp\"\n");

  // A face without a texture has no material line.
  face.texture = nullptr;
  ASSERT_EQ(WriteMeshDump(path.c_str(), vertices, 1, &face, 1, FaceTextureName, context), 1);
  EXPECT_EQ(ReadTextFile(path),
            "Named object: \"" + path +
                "\"\n"
                "Tri-mesh, Vertices: 1          Faces: 1\n"
                "Vertex list:\n"
                "Vertex 0:  X:    1.000000 Y:   -2.500000 Z:    0.000000 U:0.000000 V:0.000000\n"
                "Face list:\n"
                "Face 0:  A:2 B:0 C:1 AB:1 BC:1 CA:1\n");
  EXPECT_EQ(context.errorRecorded, 0);
}

// The dump formats its numbers itself, and must write exactly what printf
// writes: every kind of float (huge, tiny, negative zero, infinities, NaNs,
// halfway cases), over many blocks of output, and names cut at 255.
TEST(MeshDump, NumbersAndNamesAreWrittenExactlyAsPrintfWritesThem) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  std::vector<float> values = {0.0f, -0.0f, 0.5e-6f, -0.5e-6f, 2.5e-6f, 1e-45f, 1.0f / 3,
                               std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                               kInfinity, -kInfinity, std::nanf(""), -std::nanf(""), 16777217.0f,
                               // Around 2^43, where the writing changes hands.
                               8796093022208.0f, std::nextafter(8796093022208.0f, 0.0f),
                               -std::nextafter(8796093022208.0f, 1e30f), 4.76837158203125e-7f};
  std::mt19937 random(3);
  while (values.size() < 150000) {
    const std::uint32_t bits = random();
    float any;
    std::memcpy(&any, &bits, sizeof any);
    values.push_back(any);
    // Multiples of a small power of two: exact ties at the sixth decimal.
    values.push_back(std::ldexp(float(int(random() % 2000001) - 1000000), -int(random() % 28)));
    // Coordinates as models have them.
    values.push_back(float(int(random() % 2000001) - 1000000) / float(1 + random() % 1000));
  }
  std::vector<SampledVertex> vertices(values.size() / 5);
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    vertices[i].position = {values[5 * i], values[5 * i + 1], values[5 * i + 2]};
    vertices[i].u = values[5 * i + 3];
    vertices[i].v = values[5 * i + 4];
  }
  SampledFace faces[2];
  faces[0].a = 4294967295u;
  faces[1].b = 7;
  const FaceMaterialName longNameForFirst = [](const SampledFace& face) -> const char* {
    static const std::string name(300, 'n');
    return face.b == 7 ? nullptr : name.c_str();
  };

  const std::string path = test_support::FreshFolder("vexo_mesh_dump_numbers") + "/tris.asc";
  ExportContext context;
  ASSERT_EQ(WriteMeshDump(path.c_str(), vertices.data(), std::int32_t(vertices.size()), faces, 2,
                          longNameForFirst, context),
            1);
  std::string expected = "Named object: \"" + path + "\"\nTri-mesh, Vertices: " +
                         std::to_string(vertices.size()) + "          Faces: 2\nVertex list:\n";
  char line[2048];
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    const SampledVertex& v = vertices[i];
    std::snprintf(line, sizeof line, "Vertex %d:  X:%12.6f Y:%12.6f Z:%12.6f U:%8.6f V:%8.6f\n",
                  int(i), double(v.position.x), double(v.position.y), double(v.position.z),
                  double(v.u), double(v.v));
    expected += line;
  }
  expected += "Face list:\n";
  for (int i = 0; i < 2; ++i) {
    std::snprintf(line, sizeof line, "Face %d:  A:%u B:%u C:%u AB:1 BC:1 CA:1\n", i,
                  unsigned(faces[i].a), unsigned(faces[i].b), unsigned(faces[i].c));
    expected += line;
  }
  expected.insert(expected.size() - std::strlen(line),
                  "Material:\"" + std::string(255, 'n') + "\"\n");
  const std::string written = ReadTextFile(path);
  ASSERT_EQ(written.size(), expected.size());
  EXPECT_TRUE(written == expected);  // not printed: megabytes
}

TEST(MeshDump, FailuresAreRecordedAndGiveZero) {
  SampledVertex vertex;
  ExportContext context;
  const std::string missing = ::testing::TempDir() + "/no/such/folder/tris.asc";
  EXPECT_EQ(WriteMeshDump(missing.c_str(), &vertex, 1, nullptr, 0, FaceTextureName, context), 0);
  EXPECT_STREQ(context.errorText, ("Could not open " + missing + " for writing").c_str());
  EXPECT_STREQ(context.errorCaption, "File Error");

  // A disk that fills: the write fails after the open, and nothing is left.
  const std::string folder = test_support::FreshFolder("vexo_mesh_dump_full");
  {
    test_support::FileSizeLimit full(10);
    ASSERT_TRUE(full.ok());
    ExportContext failed;
    EXPECT_EQ(WriteMeshDump((folder + "/tris.asc").c_str(), &vertex, 1, nullptr, 0,
                            FaceTextureName, failed),
              0);
    EXPECT_STREQ(failed.errorText, ("Could not write " + folder + "/tris.asc").c_str());
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// The dump lives in the user's own cache folder, made private, and never
// writes through a link someone planted there.
TEST(MeshDump, TheDumpFolderIsTheUsersOwnAndLinksAreNotFollowed) {
  namespace fs = std::filesystem;
  const fs::path cache = test_support::FreshFolder("vexo_mesh_dump_cache");
  ASSERT_EQ(setenv("XDG_CACHE_HOME", (cache / "made" / "here").c_str(), 1), 0);
  SampledVertex vertex;
  ExportContext context;
  ASSERT_EQ(DumpExportMesh(&vertex, 1, nullptr, 0, FaceTextureName, context), 1)
      << context.errorText;
  const fs::path dump = cache / "made" / "here" / "vexo" / "tris.asc";
  EXPECT_TRUE(fs::is_regular_file(dump));
  EXPECT_EQ(fs::status(dump.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(fs::status(dump).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  // A link at the dump's name: the file it names keeps its bytes.
  const fs::path victim = cache / "victim.txt";
  ASSERT_TRUE(test_support::WriteFileBytes(victim.string(), {'k', 'e', 'e', 'p'}));
  fs::remove(dump);
  fs::create_symlink(victim, dump);
  ASSERT_EQ(DumpExportMesh(&vertex, 1, nullptr, 0, FaceTextureName, context), 1);
  EXPECT_EQ(test_support::ReadFileBytes(victim.string()), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_FALSE(fs::is_symlink(dump));
  EXPECT_EQ(ReadTextFile(dump.string()).rfind("Named object: \"" + dump.string() + "\"\n", 0), 0u);

  // A link in place of the folder is refused: nothing is written.
  const fs::path elsewhere = cache / "elsewhere";
  fs::create_directories(elsewhere);
  ASSERT_EQ(setenv("XDG_CACHE_HOME", (cache / "linked").c_str(), 1), 0);
  fs::create_directories(cache / "linked");
  fs::create_symlink(elsewhere, cache / "linked" / "vexo");
  ExportContext refused;
  EXPECT_EQ(DumpExportMesh(&vertex, 1, nullptr, 0, FaceTextureName, refused), 0);
  EXPECT_STREQ(refused.errorCaption, "File Error");
  EXPECT_TRUE(fs::is_empty(elsewhere));

  // Without an absolute XDG_CACHE_HOME the folder is ~/.cache.
  ASSERT_EQ(setenv("XDG_CACHE_HOME", "relative", 1), 0);
  ASSERT_EQ(setenv("HOME", cache.c_str(), 1), 0);
  EXPECT_EQ(MeshDumpPath(), (cache / ".cache" / "vexo" / "tris.asc").string());
}
