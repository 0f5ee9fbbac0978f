// Import and sampling of a generated rigged model, and its whole export
// with `vexo export`, against the importer's own reading of the same file
// (`assimp info`): wall time and peak memory of each, as separate processes.
//
//   import_bench [runs]        generate the model, time both, print a table
//   import_bench --sample FILE the measured work: import FILE and sample
//                              its 198 frames through the plug-in
//
// The model: a cylinder of 20 x 100 = 2000 vertices (2100 before the UV
// seam is welded), 3960 triangles, a 128 x 128 PNG texture, four bones and
// one clip of 198 frames with a key per frame and bone.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "scene/export_context.h"
#include "standalone/import/imported_scene.h"
#include "standalone/memory_host.h"
#include "tests/import/gltf_writer.h"
#include "tests/import/import_test_support.h"

namespace {

constexpr int kAround = 20;
constexpr int kRings = 100;
constexpr int kBones = 4;
constexpr int kFrames = 198;
constexpr float kHeight = 4.0f;

void GenerateModel(const std::filesystem::path& folder) {
  vexo::testing::WritePng(folder / "skin.png", 128, 128, [](int x, int y) {
    return vexo::testing::Rgb{static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 2), 90};
  });
  std::vector<float> positions, uvs, weights;
  std::vector<std::uint8_t> joints;
  std::vector<std::uint16_t> indices;
  const float boneLength = kHeight / kBones;
  for (int ring = 0; ring < kRings; ++ring) {
    const float y = kHeight * ring / (kRings - 1);
    // The two bones nearest to the ring, blended by distance.
    const float along = std::clamp(y / boneLength - 0.5f, 0.0f, kBones - 1.0f);
    const int lower = std::min(static_cast<int>(along), kBones - 2);
    const float blend = std::clamp(along - lower, 0.0f, 1.0f);
    for (int column = 0; column <= kAround; ++column) {
      const float a = 2 * static_cast<float>(M_PI) * (column % kAround) / kAround;
      positions.insert(positions.end(), {0.3f * std::cos(a), y, 0.3f * std::sin(a)});
      uvs.insert(uvs.end(), {static_cast<float>(column) / kAround, static_cast<float>(ring) / (kRings - 1)});
      joints.insert(joints.end(), {static_cast<std::uint8_t>(lower), static_cast<std::uint8_t>(lower + 1), 0, 0});
      weights.insert(weights.end(), {1 - blend, blend, 0, 0});
    }
  }
  for (int ring = 0; ring + 1 < kRings; ++ring) {
    for (int column = 0; column < kAround; ++column) {
      const auto i = static_cast<std::uint16_t>(ring * (kAround + 1) + column);
      const auto up = static_cast<std::uint16_t>(i + kAround + 1);
      indices.insert(indices.end(), {i, up, static_cast<std::uint16_t>(i + 1),
                                     static_cast<std::uint16_t>(i + 1), up,
                                     static_cast<std::uint16_t>(up + 1)});
    }
  }
  std::vector<float> inverseBind, times;
  for (int b = 0; b < kBones; ++b) {
    inverseBind.insert(inverseBind.end(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0,
                                           -b * boneLength, 0, 1});
  }
  for (int f = 0; f < kFrames; ++f) times.push_back(f / 30.0f);

  vexo::testing::GltfWriter gltf;
  const int position = gltf.Floats(positions, "VEC3");
  const int uv = gltf.Floats(uvs, "VEC2");
  const int joint = gltf.Joints(joints);
  const int weight = gltf.Floats(weights, "VEC4");
  const int index = gltf.Indices(indices);
  const int ibm = gltf.Floats(inverseBind, "MAT4");
  const int input = gltf.Floats(times, "SCALAR");
  std::string samplers, channels, nodes;
  for (int b = 0; b < kBones; ++b) {
    std::vector<float> rotations;
    for (int f = 0; f < kFrames; ++f) {
      const float angle = 0.4f * std::sin(2 * static_cast<float>(M_PI) * f / kFrames + b);
      rotations.insert(rotations.end(), {0, 0, std::sin(angle / 2), std::cos(angle / 2)});
    }
    const int output = gltf.Floats(rotations, "VEC4");
    samplers += std::string(b ? "," : "") + "{\"input\":" + std::to_string(input) +
                ",\"output\":" + std::to_string(output) + "}";
    channels += std::string(b ? "," : "") + "{\"sampler\":" + std::to_string(b) +
                ",\"target\":{\"node\":" + std::to_string(b + 1) + ",\"path\":\"rotation\"}}";
    nodes += ",{\"name\":\"bone" + std::to_string(b) + "\"" +
             (b ? ",\"translation\":[0," + std::to_string(boneLength) + ",0]" : "") +
             (b + 1 < kBones ? ",\"children\":[" + std::to_string(b + 2) + "]" : "") + "}";
  }
  gltf.Write(folder / "rigged.gltf",
             "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],"
             "\"nodes\":[{\"name\":\"body\",\"mesh\":0,\"skin\":0}" + nodes + "],"
             "\"skins\":[{\"joints\":[1,2,3,4],\"inverseBindMatrices\":" + std::to_string(ibm) + "}],"
             "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                 ",\"TEXCOORD_0\":" + std::to_string(uv) + ",\"JOINTS_0\":" + std::to_string(joint) +
                 ",\"WEIGHTS_0\":" + std::to_string(weight) + "},\"indices\":" + std::to_string(index) +
                 ",\"material\":0}]}],"
             "\"materials\":[{\"name\":\"skin\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}}],"
             "\"textures\":[{\"source\":0}],\"images\":[{\"uri\":\"skin.png\"}],"
             "\"animations\":[{\"name\":\"sway\",\"samplers\":[" + samplers + "],\"channels\":[" +
                 channels + "]}]");
}

// The measured work: import, then every frame through the plug-in.
int Sample(const std::filesystem::path& file) {
  vexo::ImportOptions options;
  options.path = file;
  options.textureCache = file.parent_path() / "vexo-textures";
  vexo::ImportedScene imported = vexo::ImportScene(options);
  vexo::MemoryHost host(imported.TakeScene());
  ExportContext context;
  if (!context.EnumerateNodes(&host, kNodeHasMaterial | kNodeIsSelected)) return 1;
  double checksum = 0;
  for (int frame = 0; frame < kFrames; ++frame) {
    SampledVertex* vertices = nullptr;
    SampledFace* faces = nullptr;
    std::int32_t vertexCount = 0, faceCount = 0;
    if (!context.SampleMesh(0, context.nodeCount, &vertices, &faces, &vertexCount, &faceCount,
                            frame * imported.ticksPerFrame())) {
      return 1;
    }
    if (vertexCount != kAround * kRings) return 2;
    checksum += vertices[vertexCount - 1].position.x;
    delete[] vertices;
    delete[] faces;
  }
  std::printf("%d frames of %d vertices, checksum %.4f\n", kFrames, kAround * kRings, checksum);
  return 0;
}

struct Run {
  double seconds = 0;
  long peakKiB = 0;
};

Run Measure(const std::vector<std::string>& command) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (!freopen("/dev/null", "w", stdout)) _exit(127);
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKiB = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", command[0].c_str());
    std::exit(1);
  }
  return run;
}

Run Median(const std::vector<std::string>& command, int runs) {
  std::vector<Run> all;
  for (int i = 0; i < runs; ++i) all.push_back(Measure(command));
  std::sort(all.begin(), all.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  Run median = all[all.size() / 2];
  for (const Run& run : all) median.peakKiB = std::max(median.peakKiB, run.peakKiB);
  return median;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--sample") return Sample(argv[2]);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  vexo::testing::ScratchFolder folder;
  GenerateModel(folder.path());
  const std::string file = (folder / "rigged.gltf").string();
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  const Run ours = Median({self, "--sample", file}, runs);
  // Each export makes a new model: the file is removed first, in a shell
  // that then becomes vexo.
  const std::string model = (folder / "out.md2").string();
  const Run exported = Median({"/bin/sh", "-c", "rm -f \"$1\" && exec \"$0\" export \"$2\" -o \"$1\" --pcx",
                               VEXO_BIN_DIR "/vexo", model, file},
                              runs);
  const Run theirs = Median({"assimp", "info", file}, runs);
  std::printf("rigged model: %d vertices, 198 frames; median of %d runs\n", kAround * kRings, runs);
  std::printf("%-34s %10s %12s\n", "", "wall (s)", "peak (KiB)");
  std::printf("%-34s %10.3f %12ld\n", "vexo import + 198 frames sampled", ours.seconds, ours.peakKiB);
  std::printf("%-34s %10.3f %12ld\n", "vexo export (model and PCX skin)", exported.seconds,
              exported.peakKiB);
  std::printf("%-34s %10.3f %12ld\n", "assimp info", theirs.seconds, theirs.peakKiB);
  std::printf("ratio to assimp info (target <= 2)\n");
  std::printf("%-34s %10.2f %12.2f\n", "  import + 198 frames sampled", ours.seconds / theirs.seconds,
              static_cast<double>(ours.peakKiB) / theirs.peakKiB);
  std::printf("%-34s %10.2f %12.2f\n", "  export (model and PCX skin)",
              exported.seconds / theirs.seconds,
              static_cast<double>(exported.peakKiB) / theirs.peakKiB);
  return 0;
}
