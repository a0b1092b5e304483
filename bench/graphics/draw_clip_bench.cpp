// DrawClipPixels of an opaque 16 x 10-cell clip into a 128 x 80 Bitmap32,
// against std::fill over the same 10,240 pixels.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "cliplib/cliplib.h"

namespace {

using varsk::Bitmap32;
using varsk::ClipRecord;
using varsk::Palette16;

constexpr int kCols = 16;
constexpr int kRows = 10;
constexpr int kWidth = 128;
constexpr int kHeight = 80;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

struct OpaqueScene {
  std::vector<uint8_t> tiles = std::vector<uint8_t>(8192);
  Palette16 palette{};
  ClipRecord clip{};

  OpaqueScene() {
    // Every pixel of every tile has a nonzero colour index.
    for (size_t i = 0; i < tiles.size(); ++i) {
      const uint8_t hi = static_cast<uint8_t>(1 + i % 15);
      const uint8_t lo = static_cast<uint8_t>(1 + (i * 7) % 15);
      tiles[i] = static_cast<uint8_t>((hi << 4) | lo);
    }
    for (int n = 0; n < 16; ++n) palette.colours[n] = static_cast<uint16_t>(n * 0x0842);
    std::memset(&clip, 0, sizeof clip);
    clip.cols = kCols;
    clip.rows = kRows;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c) clip.tile[r * 16 + c] = static_cast<uint8_t>(1 + r * 16 + c);
  }
};

// This thread's CPU time in seconds: on a shared machine it leaves out the
// time the thread waits for a core.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Time per call of the drawing and of the fill, measured in one loop so both
// see the same machine state; reports each as pixels per second and their ratio.
void BM_DrawClipVsFill(benchmark::State& state) {
  OpaqueScene scene;
  Bitmap32 target(kWidth, kHeight);
  uint32_t colour = 0x00102030;
  double drawSeconds = 0;
  double fillSeconds = 0;
  constexpr int kInner = 64;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    for (int i = 0; i < kInner; ++i) {
      varsk::DrawClipPixels(0, 0, scene.tiles, scene.palette, scene.clip, 0, target.pixels.data(),
                            kWidth, kHeight, kWidth * 4);
      benchmark::ClobberMemory();
    }
    const double t1 = ThreadSeconds();
    for (int i = 0; i < kInner; ++i) {
      std::fill(target.pixels.begin(), target.pixels.end(), colour);
      benchmark::ClobberMemory();
      colour ^= 1;
    }
    const double t2 = ThreadSeconds();
    drawSeconds += t1 - t0;
    fillSeconds += t2 - t1;
  }
  benchmark::DoNotOptimize(target.pixels.data());
  const double calls = static_cast<double>(state.iterations()) * kInner;
  state.counters["draw_px_per_s"] = benchmark::Counter(calls * kPixels / drawSeconds);
  state.counters["fill_px_per_s"] = benchmark::Counter(calls * kPixels / fillSeconds);
  state.counters["draw_ns"] = benchmark::Counter(drawSeconds / calls * 1e9);
  state.counters["fill_ns"] = benchmark::Counter(fillSeconds / calls * 1e9);
  state.counters["draw_over_fill"] = benchmark::Counter(drawSeconds / fillSeconds);
}
BENCHMARK(BM_DrawClipVsFill);

void BM_DrawClipPixels(benchmark::State& state) {
  OpaqueScene scene;
  Bitmap32 target(kWidth, kHeight);
  for (auto _ : state) {
    varsk::DrawClipPixels(0, 0, scene.tiles, scene.palette, scene.clip, 0, target.pixels.data(),
                          kWidth, kHeight, kWidth * 4);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_DrawClipPixels);

void BM_FillPixels(benchmark::State& state) {
  Bitmap32 target(kWidth, kHeight);
  uint32_t colour = 0x00102030;
  for (auto _ : state) {
    std::fill(target.pixels.begin(), target.pixels.end(), colour);
    benchmark::ClobberMemory();
    colour ^= 1;
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_FillPixels);

// The same clip with every cell flipped both ways and one pixel past the
// right edge, so the flipped and the edge paths are timed too.
void BM_DrawClipFlippedAtEdge(benchmark::State& state) {
  OpaqueScene scene;
  for (int k = 0; k < 256; ++k) scene.clip.flip[k] = 3;
  Bitmap32 target(kWidth, kHeight);
  for (auto _ : state) {
    varsk::DrawClipPixels(1, 0, scene.tiles, scene.palette, scene.clip, 0, target.pixels.data(),
                          kWidth, kHeight, kWidth * 4);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_DrawClipFlippedAtEdge);

}  // namespace

BENCHMARK_MAIN();
