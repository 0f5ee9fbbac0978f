// vexo: for now one command, "vexo demo [dir]", which builds the demo scene
// (its bitmaps written into dir, default vexo-demo) and shows what the
// plug-in's node enumeration and mesh sampling find in it.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "scene/export_context.h"
#include "standalone/demo_scene.h"
#include "standalone/memory_host.h"

namespace {

// One sampling of list entries [first, first + count) that frees its arrays.
struct Sampled {
  SampledVertex* vertices = nullptr;
  SampledFace* faces = nullptr;
  std::int32_t vertexCount = 0;
  std::int32_t faceCount = 0;
  int ok = 0;
  Sampled(ExportContext& context, int first, int count, TimeValue time) {
    ok = context.SampleMesh(first, count, &vertices, &faces, &vertexCount, &faceCount, time);
  }
  ~Sampled() {
    delete[] vertices;
    delete[] faces;
  }
};

int Fail(const ExportContext& context, const char* what) {
  std::fprintf(stderr, "vexo demo: %s failed: %s (%s)\n", what, context.errorText,
               context.errorCaption);
  return 1;
}

int RunDemo(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::string error;
  if (ec || !vexo::WriteDemoTextures(dir, error)) {
    std::fprintf(stderr, "vexo demo: %s\n", ec ? (dir + ": " + ec.message()).c_str() : error.c_str());
    return 1;
  }

  vexo::MemoryHost host(vexo::MakeDemoScene(dir));
  std::printf("Demo scene: %zu nodes, %d frames at %d ticks per frame, bitmaps in %s\n",
              host.scene().NodeCount(), vexo::kDemoFrameCount, GetTicksPerFrame(), dir.c_str());

  ExportContext context;
  if (!context.EnumerateNodes(&host, kNodeHasMaterial | kNodeIsSelected)) {
    return Fail(context, "node enumeration");
  }
  std::printf("Selected nodes with a material: %d\n", context.nodeCount);
  for (int i = 0; i < context.nodeCount; ++i) {
    Sampled node(context, i, 1, 0);
    if (!node.ok) return Fail(context, "mesh sampling");
    std::printf("  %d %-6s %3d vertices %3d faces, material \"%s\"\n", i, context.nodes[i]->Name(),
                node.vertexCount, node.faceCount, context.nodes[i]->Material()->MaterialName());
  }

  for (int frame : {0, 10}) {
    const TimeValue time = frame * GetTicksPerFrame();
    Sampled all(context, 0, context.nodeCount, time);
    if (!all.ok) return Fail(context, "mesh sampling");
    std::printf("Frame %d (tick %d): %d vertices, %d faces\n", frame, time, all.vertexCount,
                all.faceCount);
    for (int v : {0, 6, 8, 12, 22}) {
      if (v >= all.vertexCount) continue;
      const Point3& p = all.vertices[v].position;
      std::printf("  vertex %2d at (%8.3f, %8.3f, %8.3f)\n", v, p.x, p.y, p.z);
    }
    if (frame == 0) {
      std::map<std::string, int> faces;
      for (int f = 0; f < all.faceCount; ++f) {
        const char* name = all.faces[f].bitmapName.get();
        ++faces[name ? std::filesystem::path(name).filename().string() : "(no bitmap)"];
      }
      for (const auto& [name, count] : faces) std::printf("  %2d faces show %s\n", count, name.c_str());
    }
  }
  return 0;
}

void Usage(std::FILE* out) {
  std::fprintf(out, "usage: vexo demo [dir]   build the demo scene and show what the plug-in finds\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "demo") == 0 && argc <= 3) {
    return RunDemo(argc == 3 ? argv[2] : "vexo-demo");
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    Usage(stdout);
    return 0;
  }
  Usage(stderr);
  return 2;
}
