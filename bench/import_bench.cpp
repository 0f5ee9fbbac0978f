// Import and sampling of a generated rigged model, and its whole export
// with `vexo export`, against the importer's own reading of the same file
// (`assimp info`): wall time, processor time (user and system: what other
// work on a shared machine stretches least) and peak memory of each, as
// separate processes.
//
//   import_bench [runs]        generate the model, time both, print a table
//   import_bench --sample FILE the measured work: import FILE and sample
//                              its 198 frames through the plug-in
//   import_bench --write DIR   write the two characters into DIR, to time
//                              or profile by hand
//
// The model: a cylinder of 20 x 100 = 2000 vertices (2100 before the UV
// seam is welded), 3960 triangles, a 128 x 128 PNG texture, four bones and
// one clip of 198 frames with a key per frame and bone. A second character
// of the same shape carries a 1024 x 1024 JPEG (the common texture size):
// its first export converts the picture (scaled to fit the skin), the
// second finds it in the texture cache.
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "scene/enumerate_nodes.h"
#include "scene/sample_mesh.h"
#include "standalone/import/imported_scene.h"
#include "standalone/memory_host.h"
#include "tests/standalone/import/rigged_character.h"
#include "tests/standalone/import/import_test_support.h"

namespace {

constexpr int kFrames = 198;

vexo::testing::CharacterShape BenchShape() {
  vexo::testing::CharacterShape shape;
  shape.around = 20;
  shape.rings = 100;
  shape.bones = 4;
  shape.frames = kFrames;
  shape.textureSize = 128;
  return shape;
}

// The measured work: import, then every frame through the plug-in.
int Sample(const std::filesystem::path& file) {
  vexo::ImportOptions options;
  options.path = file;
  options.textureCache = file.parent_path() / "vexo-textures";
  vexo::ImportedScene imported = vexo::ImportScene(options);
  vexo::MemoryHost host(imported.TakeScene());
  ExportContext context;
  if (!EnumerateNodes(context, &host, kNodeHasMaterial | kNodeIsSelected)) return 1;
  double checksum = 0;
  for (int frame = 0; frame < kFrames; ++frame) {
    SampledVertex* vertices = nullptr;
    SampledFace* faces = nullptr;
    std::int32_t vertexCount = 0, faceCount = 0;
    if (!SampleMesh(context, 0, context.nodeCount, &vertices, &faces, &vertexCount, &faceCount,
                            frame * imported.ticksPerFrame())) {
      return 1;
    }
    if (vertexCount != vexo::testing::BodyVertexCount(BenchShape())) return 2;
    checksum += vertices[vertexCount - 1].position.x;
    delete[] vertices;
    delete[] faces;
  }
  std::printf("%d frames of %d vertices, checksum %.4f\n", kFrames,
              vexo::testing::BodyVertexCount(BenchShape()), checksum);
  return 0;
}

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system, the same on a busy machine
  long peakKiB = 0;
};

// Runs command with its output discarded, after removing `fresh` (what the
// run must make anew): the removal is not timed, nor is a shell.
Run Measure(const std::vector<std::string>& command, const std::vector<std::string>& fresh) {
  for (const std::string& path : fresh) std::filesystem::remove_all(path);
  std::fflush(stdout);  // or the child would print what is buffered again
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
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
  // vexo's isolated child passes its exit code on and ends after its
  // parent: this process is their subreaper, so it is waited for here and
  // its processor time and memory count too (not its wall time, which the
  // user does not wait for).
  for (;;) {
    run.cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.peakKiB = std::max(run.peakKiB, static_cast<long>(usage.ru_maxrss));
    int orphanStatus = 0;
    if (wait4(-1, &orphanStatus, 0, &usage) <= 0) break;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", command[0].c_str());
    std::exit(1);
  }
  return run;
}

// One measured command: what it runs and what must be made anew first.
struct Timed {
  Timed(std::vector<std::string> what, std::vector<std::string> made)
      : command(std::move(what)), fresh(std::move(made)) {}
  std::vector<std::string> command;
  std::vector<std::string> fresh;
  std::vector<Run> runs;
};

// Runs the commands in rounds, each once a round in the order given, so
// that a machine whose speed drifts (a shared or virtual one) stretches
// them alike; the ratios below are taken round by round.
void Interleave(std::vector<Timed*> commands, int rounds) {
  for (int round = 0; round < rounds; ++round)
    for (Timed* timed : commands) timed->runs.push_back(Measure(timed->command, timed->fresh));
}

// Medians of the wall and the processor time, and the largest peak.
Run Median(const Timed& timed) {
  std::vector<Run> all = timed.runs;
  std::sort(all.begin(), all.end(), [](const Run& a, const Run& b) { return a.cpuSeconds < b.cpuSeconds; });
  const double cpuSeconds = all[all.size() / 2].cpuSeconds;
  std::sort(all.begin(), all.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  Run median = all[all.size() / 2];
  median.cpuSeconds = cpuSeconds;
  for (const Run& run : all) median.peakKiB = std::max(median.peakKiB, run.peakKiB);
  return median;
}

void PrintHeading() { std::printf("%-34s %10s %10s %12s\n", "", "wall (s)", "cpu (s)", "peak (KiB)"); }

void PrintRow(const char* what, const Run& run) {
  std::printf("%-34s %10.3f %10.3f %12ld\n", what, run.seconds, run.cpuSeconds, run.peakKiB);
}

// The median of the round-by-round ratios of wall and processor time (the
// runs of one round lie closest in time, so a machine whose speed drifts
// stretches both alike), and the ratio of the largest peaks.
void PrintRatio(const char* what, const Timed& ours, const Timed& theirs) {
  std::vector<double> wall, cpu;
  for (std::size_t i = 0; i < ours.runs.size() && i < theirs.runs.size(); ++i) {
    wall.push_back(ours.runs[i].seconds / theirs.runs[i].seconds);
    cpu.push_back(ours.runs[i].cpuSeconds / theirs.runs[i].cpuSeconds);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("%-34s %10.2f %10.2f %12.2f\n", what, wall[wall.size() / 2], cpu[cpu.size() / 2],
              static_cast<double>(Median(ours).peakKiB) / Median(theirs).peakKiB);
}

}  // namespace

vexo::testing::CharacterShape PaintedShape() {
  vexo::testing::CharacterShape shape = BenchShape();
  shape.textureSize = 1024;
  shape.jpegTextures = true;
  return shape;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--sample") return Sample(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "--write") {
    std::filesystem::create_directories(argv[2]);
    vexo::testing::WriteRiggedCharacter(argv[2], "rigged", BenchShape());
    vexo::testing::WriteRiggedCharacter(argv[2], "painted", PaintedShape());
    return 0;
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  prctl(PR_SET_CHILD_SUBREAPER, 1);  // see Measure
  vexo::testing::ScratchFolder folder;
  vexo::testing::WriteRiggedCharacter(folder.path(), "rigged", BenchShape());
  vexo::testing::WriteRiggedCharacter(folder.path(), "painted", PaintedShape());
  const std::string file = (folder / "rigged.gltf").string();
  const std::string painted = (folder / "painted.gltf").string();
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  const std::string vexo = VEXO_BIN_DIR "/vexo";
  // Each export makes a new model: the file is removed before each run; a
  // first export also finds no texture cache.
  const std::string model = (folder / "out.md2").string();
  const std::string cache = (folder / "vexo-textures").string();

  Timed ours{{self, "--sample", file}, {}};
  Timed exported{{vexo, "export", file, "-o", model, "--pcx"}, {model}};
  Timed theirs{{"assimp", "info", file}, {}};
  Interleave({&ours, &exported, &theirs}, runs);
  std::printf("rigged model: %d vertices, 198 frames; median of %d runs, taken in turn\n",
              vexo::testing::BodyVertexCount(BenchShape()), runs);
  PrintHeading();
  PrintRow("vexo import + 198 frames sampled", Median(ours));
  PrintRow("vexo export (model and PCX skin)", Median(exported));
  PrintRow("assimp info", Median(theirs));
  std::printf("ratio to assimp info (target <= 2)\n");
  PrintRatio("  import + 198 frames sampled", ours, theirs);
  PrintRatio("  export (model and PCX skin)", exported, theirs);

  // The character with a 1024 x 1024 JPEG: a first export (no cache, the
  // picture converted) and a warm one (the cache found); vexo's own part of
  // the same: the import with the picture converted (first) or found
  // (warm), and the 198 frames sampled through the plug-in's sampler; the
  // rest of an export is the plug-in's own work.
  Timed first{{vexo, "export", painted, "-o", model, "--pcx"}, {model, cache}};
  Timed warm{{vexo, "export", painted, "-o", model, "--pcx"}, {model}};
  Timed importFirst{{self, "--sample", painted}, {cache}};
  Timed importWarm{{self, "--sample", painted}, {}};
  Timed theirsPainted{{"assimp", "info", painted}, {}};
  Interleave({&first, &warm, &importFirst, &importWarm, &theirsPainted}, runs);
  std::printf("\nthe same with a 1024 x 1024 JPEG texture; median of %d runs, taken in turn\n",
              runs);
  PrintHeading();
  PrintRow("vexo export, first (converts)", Median(first));
  PrintRow("vexo export, warm (cache found)", Median(warm));
  PrintRow("vexo import + sampled, first", Median(importFirst));
  PrintRow("vexo import + sampled, warm", Median(importWarm));
  PrintRow("assimp info", Median(theirsPainted));
  std::printf("ratio to assimp info (targets: first <= 3, warm <= 2)\n");
  PrintRatio("  first export", first, theirsPainted);
  PrintRatio("  warm export", warm, theirsPainted);
  PrintRatio("  import + sampled, first", importFirst, theirsPainted);
  PrintRatio("  import + sampled, warm", importWarm, theirsPainted);
  return 0;
}
