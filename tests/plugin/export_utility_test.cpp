#include "plugin/export_utility.h"

#include <gtest/gtest.h>

#include <new>

namespace {

// Fills every working buffer the way an export allocates them.
void AllocateWorkingBuffers(ExportUtility& utility) {
  utility.vertexCount = 5;
  utility.faceCount = 3;
  utility.textureCount = 2;
  utility.skinWidth = 8;
  utility.skinHeight = 4;
  utility.vertices = new (std::nothrow) SampledVertex[5]();
  utility.faces = new (std::nothrow) SampledFace[3]();
  utility.textures = new (std::nothrow) SkinTexture[2];
  utility.textures[1].image.pixels = new (std::nothrow) std::uint8_t[16]();  // a loaded picture
  utility.skinRgb = new (std::nothrow) std::uint8_t[8 * 4 * 3];
  utility.skinIndices = new (std::nothrow) std::uint8_t[8 * 4];
  utility.frameVertices = new (std::nothrow) SampledVertex[5]();
}

TEST(ExportUtility, FreeExportBuffersReleasesEveryBufferAndKeepsTheCounts) {
  ExportUtility utility;
  AllocateWorkingBuffers(utility);

  utility.FreeExportBuffers();
  EXPECT_EQ(utility.vertices, nullptr);
  EXPECT_EQ(utility.faces, nullptr);
  EXPECT_EQ(utility.textures, nullptr);
  EXPECT_EQ(utility.skinRgb, nullptr);
  EXPECT_EQ(utility.skinIndices, nullptr);
  EXPECT_EQ(utility.frameVertices, nullptr);
  EXPECT_EQ(utility.vertexCount, 5);
  EXPECT_EQ(utility.faceCount, 3);
  EXPECT_EQ(utility.textureCount, 2);
  EXPECT_EQ(utility.skinWidth, 8);
  EXPECT_EQ(utility.skinHeight, 4);

  // Buffers that an export left behind go with the object; the leak
  // checker of the sanitizer build reports any that stay.
  AllocateWorkingBuffers(utility);
}

}  // namespace
