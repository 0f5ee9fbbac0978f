// vexo render's contact sheet of a model at the game's limits (2048
// vertices, 4096 triangles): 6 frames in 3 views at 256 x 256 pixels,
// drawn as the GL renderer draws them, then encoded as PNG.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

#include "standalone/md2/gl_command_list.h"
#include "standalone/md2/normal_directions.h"
#include "standalone/pictures/png_writer.h"
#include "standalone/render/model_sheet.h"
#include "standalone/render/skin_texture.h"

namespace {

constexpr int kAround = 64, kRings = 32;  // 2048 vertices, 4096 triangles
constexpr int kFrames = 6;

// A torus of kRings x kAround vertices that breathes from frame to frame,
// with the normals the finishing pass would give it, one 3-corner fan per
// triangle as the plug-in writes its GL commands, on a 256 x 256 skin.
vexo::md2::Model Torus() {
  vexo::md2::Model model{};
  model.header.skinWidth = model.header.skinHeight = 256;
  model.header.numVertices = kAround * kRings;
  const double pi = std::acos(-1.0);
  for (int f = 0; f < kFrames; ++f) {
    vexo::md2::Frame frame{};
    for (int k = 0; k < 3; ++k) frame.header.scale[k] = 1, frame.header.translate[k] = -125;
    std::snprintf(frame.header.name, sizeof frame.header.name, "breathe%d", f + 1);
    for (int r = 0; r < kRings; ++r)
      for (int a = 0; a < kAround; ++a) {
        const double u = 2 * pi * a / kAround, v = 2 * pi * r / kRings;
        const double tube = 30 + 4 * f, ring = 80 + tube * std::cos(v);
        const double n[3] = {std::cos(v) * std::cos(u), std::cos(v) * std::sin(u), std::sin(v)};
        frame.vertices.push_back(
            {{std::uint8_t(125 + ring * std::cos(u)), std::uint8_t(125 + ring * std::sin(u)),
              std::uint8_t(125 + tube * std::sin(v))},
             std::uint8_t(vexo::md2::NearestNormalIndex(float(n[0]), float(n[1]), float(n[2])))});
      }
    model.frames.push_back(std::move(frame));
  }
  std::vector<vexo::md2::GlCommand> commands;
  auto corner = [](int r, int a) {
    r %= kRings, a %= kAround;
    return Md2GlVertex{float(a) / kAround, float(r) / kRings, r * kAround + a};
  };
  for (int r = 0; r < kRings; ++r)
    for (int a = 0; a < kAround; ++a) {
      commands.push_back({true, {corner(r, a), corner(r + 1, a), corner(r + 1, a + 1)}});
      commands.push_back({true, {corner(r, a), corner(r + 1, a + 1), corner(r, a + 1)}});
    }
  model.glCommands = vexo::md2::EncodeGlCommands(commands);
  return model;
}

vexo::skin::PcxPicture Skin() {
  std::array<std::uint8_t, vexo::skin::kPcxPaletteSize> palette{};
  for (int i = 0; i < 768; ++i) palette[std::size_t(i)] = std::uint8_t(i * 7);
  vexo::skin::PcxPicture skin = vexo::skin::MakePcx(256, 256, palette, 0);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) skin.At(x, y) = std::uint8_t((x / 8 + y / 8) % 200 + 16);
  return skin;
}

vexo::render::ModelPictureRequest Request(const vexo::render::Texture& skin) {
  vexo::render::ModelPictureRequest request;
  for (int f = 0; f < kFrames; ++f) request.frames.push_back(f);
  for (const char* view : {"front", "side", "three-quarter"})
    request.views.push_back(*vexo::render::FindView(view));
  request.size = 256;
  request.skin = &skin;
  return request;
}

void SheetDrawn(benchmark::State& state) {
  const vexo::md2::Model model = Torus();
  const vexo::skin::PcxPicture pcx = Skin();
  for (auto _ : state) {
    const vexo::render::Texture skin = vexo::render::EightBitSkin(pcx, true);
    std::string problem;
    benchmark::DoNotOptimize(vexo::render::ModelSheet(model, Request(skin), "bench", problem));
  }
}
BENCHMARK(SheetDrawn)->Unit(benchmark::kMillisecond);

void SheetDrawnAndWrittenAsPng(benchmark::State& state) {
  const vexo::md2::Model model = Torus();
  const vexo::skin::PcxPicture pcx = Skin();
  const auto file = std::filesystem::temp_directory_path() / "vexo_render_bench.png";
  for (auto _ : state) {
    const vexo::render::Texture skin = vexo::render::EightBitSkin(pcx, true);
    std::string problem;
    vexo::WritePng(file, vexo::render::ModelSheet(model, Request(skin), "bench", problem));
  }
  std::filesystem::remove(file);
}
BENCHMARK(SheetDrawnAndWrittenAsPng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
