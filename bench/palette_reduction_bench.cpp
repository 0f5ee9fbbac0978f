// Reducing a 480 x 480 skin to the PCX palette: the grid search against the
// full scan of all 256 entries, on two skins, with the speed-up printed at
// the end. Both must give the same index for every pixel; that is checked
// before timing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "texture/skin/palette_search.h"

namespace {

constexpr int kSide = 480;
constexpr std::size_t kPixels = static_cast<std::size_t>(kSide) * kSide;

// Smooth gradients with noise, as painted textures look.
std::vector<std::uint8_t> VariedSkin() {
  std::vector<std::uint8_t> bgr(3 * kPixels);
  std::mt19937 random(42);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      std::uint8_t* p = &bgr[3 * (static_cast<std::size_t>(y) * kSide + x)];
      const int noise = static_cast<int>(random() % 16);
      p[0] = static_cast<std::uint8_t>((x * 255 / kSide + noise) & 0xFF);
      p[1] = static_cast<std::uint8_t>((y * 255 / kSide + noise) & 0xFF);
      p[2] = static_cast<std::uint8_t>(((x + y) * 127 / kSide + noise * 3) & 0xFF);
    }
  }
  return bgr;
}

// Every pixel a different colour: 230400 distinct colours spread over the
// whole cube, in scrambled order.
std::vector<std::uint8_t> DistinctSkin() {
  std::vector<std::uint8_t> bgr(3 * kPixels);
  for (std::size_t i = 0; i < kPixels; ++i) {
    // 2^24 / 72 ~ 233016 > 230400, so colours i * 72 are all different;
    // multiplying by an odd constant mod 2^24 keeps them so and scatters them.
    const std::uint32_t colour = (static_cast<std::uint32_t>(i) * 72u * 2654435761u) & 0xFFFFFFu;
    bgr[3 * i] = static_cast<std::uint8_t>(colour);
    bgr[3 * i + 1] = static_cast<std::uint8_t>(colour >> 8);
    bgr[3 * i + 2] = static_cast<std::uint8_t>(colour >> 16);
  }
  return bgr;
}

const std::vector<std::uint8_t>& Skin(int which) {
  static const std::vector<std::uint8_t> varied = VariedSkin();
  static const std::vector<std::uint8_t> distinct = DistinctSkin();
  return which == 0 ? varied : distinct;
}

void BM_Scan(benchmark::State& state) {
  const std::vector<std::uint8_t>& bgr = Skin(static_cast<int>(state.range(0)));
  std::vector<std::uint8_t> indices(kPixels);
  for (auto _ : state) {
    ReducePixelsToPaletteByScan(bgr.data(), kPixels, indices.data());
    benchmark::DoNotOptimize(indices.data());
  }
}

void BM_Grid(benchmark::State& state) {
  const std::vector<std::uint8_t>& bgr = Skin(static_cast<int>(state.range(0)));
  std::vector<std::uint8_t> indices(kPixels);
  for (auto _ : state) {
    ReducePixelsToPalette(bgr.data(), kPixels, indices.data());
    benchmark::DoNotOptimize(indices.data());
  }
}

BENCHMARK(BM_Scan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Keeps the CPU time per iteration of every run to print the ratios (CPU
// time, as other work on the machine stretches wall time unevenly).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const char* names[2] = {"varied colours", "all colours distinct"};
    for (int which = 0; which < 2; ++which) {
      const std::string arg = "/" + std::to_string(which);
      const auto scan = times_.find("BM_Scan" + arg);
      const auto grid = times_.find("BM_Grid" + arg);
      if (scan == times_.end() || grid == times_.end() || grid->second <= 0) continue;
      std::printf("480 x 480 skin, %s: grid search %.1fx faster than the full scan (CPU time)\n",
                  names[which], scan->second / grid->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

bool SameIndices() {
  for (int which = 0; which < 2; ++which) {
    std::vector<std::uint8_t> scan(kPixels), grid(kPixels);
    ReducePixelsToPaletteByScan(Skin(which).data(), kPixels, scan.data());
    ReducePixelsToPalette(Skin(which).data(), kPixels, grid.data());
    if (scan != grid) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!SameIndices()) {
    std::fprintf(stderr, "the grid search and the full scan disagree\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
