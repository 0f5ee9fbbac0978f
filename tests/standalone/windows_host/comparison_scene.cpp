#include "tests/standalone/windows_host/comparison_scene.h"

#include <cstdint>

#include "standalone/scene_building.h"

namespace vexo {
namespace {

std::string InDir(const std::string& dir, const char* name) {
  if (dir.empty()) return name;
  return dir.back() == '/' || dir.back() == '\\' ? dir + name : dir + "/" + name;
}

// Quarter turns about Z, exactly.
Matrix3 QuarterTurns(int turns) {
  Matrix3 m;
  switch (((turns % 4) + 4) % 4) {
    case 1: m.rows[0] = {0, 1, 0}; m.rows[1] = {-1, 0, 0}; break;
    case 2: m.rows[0] = {-1, 0, 0}; m.rows[1] = {0, -1, 0}; break;
    case 3: m.rows[0] = {0, -1, 0}; m.rows[1] = {1, 0, 0}; break;
    default: break;
  }
  return m;
}

// A 4 x 2 grid of quads, 16 x 8, bending along Y by a polynomial of x and
// the frame.
MeshData Flag(int frame) {
  MeshData mesh;
  const float bend = static_cast<float>(frame % 13 - 6) / 8.0f;
  for (int r = 0; r <= 2; ++r) {
    for (int c = 0; c <= 4; ++c) {
      const float x = 4.0f * c;
      mesh.AddVertex(x, bend * x * x / 16.0f, 4.0f * r);
      mesh.AddTextureVertex(c / 4.0f, r / 2.0f);
    }
  }
  for (std::uint32_t r = 0; r < 2; ++r) {
    for (std::uint32_t c = 0; c < 4; ++c) {
      const std::uint32_t i = r * 5 + c;
      mesh.AddTexturedFace(i, i + 1, i + 6, i, i + 1, i + 6);
      mesh.AddTexturedFace(i, i + 6, i + 5, i, i + 6, i + 5);
    }
  }
  return mesh;
}

}  // namespace

MemoryScene MakeComparisonScene(const std::string& textureDir) {
  MemoryScene scene;
  const int ticks = scene.ticksPerFrame();
  auto frameOf = [ticks](TimeValue t) { return static_cast<int>(t / ticks); };
  auto body = BitmapMaterial("body", InDir(textureDir, "demo_body.bmp"));
  auto face = BitmapMaterial("face", InDir(textureDir, "demo_face.tga"));
  auto flag = BitmapMaterial("flag", InDir(textureDir, "demo_flag.bmp"));

  auto& figure = scene.Root().AddChild("figure");
  auto& torso = figure.AddChild("body")
                    .SetMesh(MakeBox(16, 16, 24))
                    .SetMaterial(MultiMaterial("body and face", {body, face}))
                    .SetAnimatedTransform([frameOf](TimeValue t) {
                      const int f = frameOf(t);
                      const float grow = 1.0f + static_cast<float>(f % 20) / 40.0f;
                      return Compose(Compose(Scale(1, 1, grow), QuarterTurns(f / 10)),
                                     Translate(static_cast<float>(f % 30) * 0.75f, 0, 12));
                    })
                    .Select();
  torso.AddChild("head")
      .SetMesh(MakeBox(8, 8, 8))
      .SetMaterial(face)
      .SetAnimatedTransform([frameOf](TimeValue t) {
        return Translate(0, 0, 16.0f + static_cast<float>(frameOf(t) % 8) * 0.5f);
      })
      .Select();
  figure.AddChild("flag")
      .SetAnimatedMesh([frameOf](TimeValue t) { return Flag(frameOf(t)); })
      .SetMaterial(flag)
      .SetTransform(Translate(-8, 0, 28))
      .Select();
  figure.AddChild("marker").SetMesh(MakeQuad(2, 2)).SetTransform(Translate(30, 0, 0)).Select();
  figure.AddChild("spare").SetMesh(MakeQuad(4, 4)).SetMaterial(body);
  return scene;
}

}  // namespace vexo
