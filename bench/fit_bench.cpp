// vexo export of a rigged character of 20 000 triangles over 198 frames,
// as it is and reduced to id's limits with --fit id (the whole command, a
// new model each time), and the reduction alone in the import.
//
// The character: a column of 100 x 101 = 10 100 vertices (10 201 before
// the UV seam is welded), 20 000 triangles in two materials, four bones
// swaying over one clip of 198 frames.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "standalone/import/imported_scene.h"
#include "tests/standalone/import/import_test_support.h"
#include "tests/standalone/import/rigged_character.h"

namespace {

const vexo::testing::ScratchFolder& Folder() {
  static const vexo::testing::ScratchFolder folder;
  static const bool written = [] {
    vexo::testing::CharacterShape shape;
    shape.around = 100;
    shape.rings = 101;
    shape.bones = 4;
    shape.materials = 2;
    shape.bandRings = 50;
    shape.frames = 198;
    shape.textureSize = 128;
    vexo::testing::WriteRiggedCharacter(folder.path(), "hero", shape);
    return true;
  }();
  (void)written;
  return folder;
}

void Export(benchmark::State& state, const std::string& options) {
  const std::filesystem::path folder = Folder().path();
  const std::string command = "cd '" + folder.string() + "' && rm -f hero.md2 && '" VEXO_BIN_DIR
                              "/vexo' export hero.gltf -o hero.md2 --pcx" + options + " > /dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("vexo export failed");
  }
}

void BM_ExportAsItIs(benchmark::State& state) { Export(state, ""); }
void BM_ExportFitId(benchmark::State& state) { Export(state, " --fit id"); }

// The import with the reduction, against the import alone.
void Import(benchmark::State& state, bool fit) {
  vexo::ImportOptions options;
  options.path = Folder() / "hero.gltf";
  options.textureCache = Folder() / "vexo-textures";
  if (fit) vexo::FitEngine(options.budget, "id");
  for (auto _ : state) benchmark::DoNotOptimize(vexo::ImportScene(options));
}

void BM_ImportAsItIs(benchmark::State& state) { Import(state, false); }
void BM_ImportFitId(benchmark::State& state) { Import(state, true); }

}  // namespace

BENCHMARK(BM_ExportAsItIs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ExportFitId)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ImportAsItIs)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ImportFitId)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
