// Writing a model of 2048 vertices, 4096 triangles and 198 frames from the
// in-memory scene, against writing the same bytes alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/frame_encoding.h"
#include "plugin/export_utility.h"
#include "scene/enumerate_nodes.h"
#include "scene/sample_mesh.h"
#include "standalone/memory_host.h"

namespace {

constexpr int kVertices = 2048;
constexpr int kTriangles = 4096;

// A wavy 64 x 32 sheet with 4096 textured triangles; the animation lifts
// every vertex by the host frame.
vexo::MeshData BaseMesh() {
  vexo::MeshData mesh;
  for (int i = 0; i < kVertices; ++i) {
    const float x = float(i % 64), y = float(i / 64);
    mesh.AddVertex(x, y, std::sin(x * 0.3f) + std::cos(y * 0.2f));
    mesh.AddTextureVertex(x / 64.0f, y / 32.0f);
  }
  for (int i = 0; i < kTriangles; ++i) {
    const std::uint32_t a = i % kVertices, b = (i + 1) % kVertices, c = (i + 65) % kVertices;
    mesh.AddTexturedFace(a, b, c, a, b, c);
  }
  return mesh;
}

std::string BenchFolder() {
  const auto folder = std::filesystem::temp_directory_path() / "vexo_model_bench";
  std::filesystem::create_directories(folder);
  return folder.string();
}

// The utility as the save command leaves it before the model step.
struct Export {
  vexo::MemoryHost host;
  ExportUtility utility;
  SkinTexture texture;

  Export() {
    const vexo::MeshData base = BaseMesh();
    host.scene()
        .Root()
        .AddChild("sheet")
        .SetAnimatedMesh([base](TimeValue t) {
          vexo::MeshData mesh = base;
          for (Point3& p : mesh.vertices) p.z += float(t) / 160.0f;
          return mesh;
        })
        .SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp"))
        .Select();
    EnumerateNodes(utility.context, &host, kNodeHasMaterial | kNodeIsSelected);
    SampleMesh(utility.context, 0, utility.context.nodeCount, &utility.vertices, &utility.faces,
                               &utility.vertexCount, &utility.faceCount, 0);
    texture.image.info.width = 256;
    texture.image.info.height = 256;
    for (int i = 0; i < utility.faceCount; ++i) utility.faces[i].texture = &texture;
    utility.skinWidth = 256;
    utility.skinHeight = 256;
  }
};

void BM_CreateModelFile(benchmark::State& state) {
  Export e;
  const std::string path = BenchFolder() + "/sheet";
  for (auto _ : state) {
    // A new file each time, as an export makes one: replacing a file by
    // rename costs the file system a forced flush of the new data.
    state.PauseTiming();
    std::filesystem::remove(path + ".md2");
    state.ResumeTiming();
    if (!e.utility.CreateModelFile(path.c_str(), 1.0f)) state.SkipWithError("not written");
  }
  state.SetBytesProcessed(state.iterations() *
                          std::int64_t(std::filesystem::file_size(path + ".md2")));
}
BENCHMARK(BM_CreateModelFile)->Unit(benchmark::kMillisecond);

// All 198 frames rewritten in place in an existing file.
void BM_UpdateAllFrames(benchmark::State& state) {
  Export e;
  const std::string path = BenchFolder() + "/sheet";
  if (!e.utility.CreateModelFile(path.c_str(), 1.0f)) state.SkipWithError("not written");
  for (auto _ : state) {
    if (!e.utility.SaveModelFrames(path.c_str(), 0, 197, 0, 1.0f))
      state.SkipWithError("not updated");
  }
}
BENCHMARK(BM_UpdateAllFrames)->Unit(benchmark::kMillisecond);

// The same bytes, written with one call and closed.
void BM_WriteSameBytes(benchmark::State& state) {
  Export e;
  const std::string path = BenchFolder() + "/sheet";
  if (!e.utility.CreateModelFile(path.c_str(), 1.0f)) state.SkipWithError("not written");
  std::ifstream in(path + ".md2", std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  const std::string copy = path + "_copy.md2";
  for (auto _ : state) {
    std::FILE* file = std::fopen(copy.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
      state.SkipWithError("not written");
    if (file) std::fclose(file);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}
BENCHMARK(BM_WriteSameBytes)->Unit(benchmark::kMillisecond);

// The frame encoding alone: 198 frames of 2000 vertices, as an export of
// the benchmark character encodes them.
void BM_EncodeFramePositions(benchmark::State& state) {
  std::vector<SampledVertex> vertices(2000);
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    const float t = float(i);
    vertices[i].position = Point3{std::sin(t) * 20.0f, std::cos(t * 0.7f) * 15.0f, t * 0.03f};
  }
  std::vector<Md2Vertex> out(vertices.size());
  Md2FrameHeader header;
  for (auto _ : state) {
    for (int frame = 0; frame < 198; ++frame) {
      EncodeFramePositions(vertices.data(), std::int32_t(vertices.size()), 1.0f, "frame",
                           &header, out.data());
      benchmark::DoNotOptimize(out.data());
    }
  }
}
BENCHMARK(BM_EncodeFramePositions)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
