#include "scene/mesh_dump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "scene/export_context.h"
#include "tests/support/bytes.h"
#include "texture/skin/skin_texture.h"

using test_support::ReadTextFile;

TEST(MeshDump, ThreeVerticesOneFaceInTheExactFormat) {
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) / "vexo_mesh_dump";
  std::filesystem::create_directories(folder);
  ASSERT_EQ(setenv("TMPDIR", folder.c_str(), 1), 0);
  const std::string path = MeshDumpPath();
  EXPECT_EQ(path, (folder / "tris.asc").string());

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

TEST(MeshDump, FailuresAreRecordedAndGiveZero) {
  SampledVertex vertex;
  ExportContext context;
  const std::string missing = ::testing::TempDir() + "/no/such/folder/tris.asc";
  EXPECT_EQ(WriteMeshDump(missing.c_str(), &vertex, 1, nullptr, 0, FaceTextureName, context), 0);
  EXPECT_STREQ(context.errorText, ("Could not open " + missing + " for writing").c_str());
  EXPECT_STREQ(context.errorCaption, "File Error");

  // A device that takes no bytes: the write fails after the open.
  if (std::filesystem::exists("/dev/full")) {
    ExportContext full;
    EXPECT_EQ(WriteMeshDump("/dev/full", &vertex, 1, nullptr, 0, FaceTextureName, full), 0);
  }
}
