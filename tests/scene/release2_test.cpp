// The build for host release 2: bitmap names copied into the faces, no
// error record.
#include <gtest/gtest.h>

#include <string>

#include "scene/enumerate_nodes.h"
#include "scene/sample_mesh.h"
#include "standalone/memory_host.h"

static_assert(release::kCopiesBitmapNames && !release::kRecordsErrors,
              "this test is built against the release-2 plug-in");

TEST(Release2Sampling, CopiesFaceBitmapNamesAndRecordsNoErrors) {
  vexo::MemoryHost host;
  const std::string longName = std::string(60, 'n') + ".bmp";
  auto multi = vexo::MultiMaterial("multi", {vexo::BitmapMaterial("long", longName), nullptr});
  vexo::MeshData mesh = vexo::MakeQuad();
  mesh.faces[1].flags = 1u << 16;  // the empty slot
  host.scene().Root().AddChild("quad").SetMesh(mesh).SetMaterial(multi).Select();

  ExportContext context;
  ASSERT_EQ(EnumerateNodes(context, &host, kNodeHasMaterial | kNodeIsSelected), 1);
  SampledVertex* vertices = nullptr;
  SampledFace* faces = nullptr;
  std::int32_t vertexCount = 0;
  std::int32_t faceCount = 0;
  ASSERT_EQ(SampleMesh(context, 0, 1, &vertices, &faces, &vertexCount, &faceCount, 0), 1);
  multi.reset();
  host.scene().Root().children()[0]->SetMaterial(nullptr);  // the host's text is gone
  EXPECT_EQ(std::string(faces[0].bitmapName.get()), longName.substr(0, 51));
  EXPECT_STREQ(faces[1].bitmapName.get(), "");
  delete[] vertices;
  delete[] faces;
  vertices = nullptr;
  faces = nullptr;

  host.scene().Root().AddChild("helper").SetMaterial(vexo::BitmapMaterial("m", "m.bmp")).Select();
  ASSERT_EQ(EnumerateNodes(context, &host, kNodeHasMaterial | kNodeIsSelected), 1);
  EXPECT_EQ(SampleMesh(context, 0, 1, &vertices, &faces, &vertexCount, &faceCount, 0), 0);
  EXPECT_EQ(SampleMesh(context, 0, 2, &vertices, &faces, &vertexCount, &faceCount, 0), 0);
  EXPECT_EQ(context.errorRecorded, 0);
  EXPECT_STREQ(context.errorText, "");
}
