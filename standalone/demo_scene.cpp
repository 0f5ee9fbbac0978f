#include "standalone/demo_scene.h"

#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "standalone/scene_building.h"

namespace vexo {
namespace {

std::string InDir(const std::string& dir, const char* name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// A flag of columns x rows quads, width 16, height 8, hanging in the XZ
// plane from x = 0; its free end waves along Y.
MeshData Flag(TimeValue t, int ticksPerFrame) {
  constexpr int kColumns = 4;
  constexpr int kRows = 2;
  const float phase = 2.0f * 3.14159265f * static_cast<float>(t) /
                      static_cast<float>(ticksPerFrame * kDemoFrameCount);
  MeshData mesh;
  for (int r = 0; r <= kRows; ++r) {
    for (int c = 0; c <= kColumns; ++c) {
      const float x = 16.0f * c / kColumns;
      const float wave = 1.5f * (x / 16.0f) * std::sin(phase + x / 4.0f);
      mesh.AddVertex(x, wave, 8.0f * r / kRows);
      mesh.AddTextureVertex(static_cast<float>(c) / kColumns, static_cast<float>(r) / kRows);
    }
  }
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      const auto i = static_cast<std::uint32_t>(r * (kColumns + 1) + c);
      const std::uint32_t up = i + kColumns + 1;
      mesh.AddTexturedFace(i, i + 1, up + 1, i, i + 1, up + 1);
      mesh.AddTexturedFace(i, up + 1, up, i, up + 1, up);
    }
  }
  return mesh;
}

bool WriteBmp(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgb, std::string& error) {
  if (!stbi_write_bmp(path.c_str(), width, height, 3, rgb.data())) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

MemoryScene MakeDemoScene(const std::string& textureDir) {
  MemoryScene scene;
  const int ticksPerFrame = scene.ticksPerFrame();
  auto body = BitmapMaterial("body", InDir(textureDir, "demo_body.bmp"));
  auto flag = BitmapMaterial("flag", InDir(textureDir, "demo_flag.bmp"));

  auto& demo = scene.Root().AddChild("demo");
  demo.AddChild("body")
      .SetMesh(MakeBox(16, 16, 24))
      .SetMaterial(MultiMaterial("body and flag", {body, flag}))
      .SetAnimatedTransform([ticksPerFrame](TimeValue t) {
        return Compose(RotateZ(360.0f * t / (ticksPerFrame * kDemoFrameCount)),
                       Translate(0, 0, 12));
      })
      .Select();
  demo.AddChild("flag")
      .SetAnimatedMesh([ticksPerFrame](TimeValue t) { return Flag(t, ticksPerFrame); })
      .SetMaterial(flag)
      .SetTransform(Translate(0, 0, 28))
      .Select();
  demo.AddChild("marker").SetMesh(MakeQuad(2, 2)).SetTransform(Translate(20, 0, 0)).Select();
  return scene;
}

bool WriteDemoTextures(const std::string& textureDir, std::string& error) {
  // A red and white checker board, 64 x 64.
  std::vector<std::uint8_t> checker;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool light = ((x / 8) + (y / 8)) % 2 == 0;
      checker.insert(checker.end(), {std::uint8_t(light ? 240 : 200),
                                     std::uint8_t(light ? 240 : 30), std::uint8_t(light ? 240 : 30)});
    }
  }
  // A blue to yellow gradient with a dark stripe, 64 x 32.
  std::vector<std::uint8_t> gradient;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      const auto f = static_cast<std::uint8_t>(x * 4);
      const bool stripe = y >= 14 && y < 18;
      gradient.insert(gradient.end(), {std::uint8_t(stripe ? 20 : f), std::uint8_t(stripe ? 20 : f),
                                       std::uint8_t(stripe ? 20 : 255 - f)});
    }
  }
  return WriteBmp(InDir(textureDir, "demo_body.bmp"), 64, 64, checker, error) &&
         WriteBmp(InDir(textureDir, "demo_flag.bmp"), 64, 32, gradient, error);
}

}  // namespace vexo
