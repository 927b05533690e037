// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// An animation of 2024-04-08 written as the window's export writes it: 51 globe pictures of
// 800 × 800 (Blue Marble texture, limits, centre line, overlay, zoom 140) two hours around T0,
// each drawn and encoded, the file opened, finished and renamed; `fps` counts frames per second
// of that, and cpu_ms_per_frame the processor time of all threads per frame. The render-only row
// draws the same frames without encoding them.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "animation_export.h"
#include "globe_bench_support.h"
#include "globe_picture.h"

using namespace umbrivista;

namespace {

const AnimationRange kRange{-1, 1, 144};  // 51 frames

std::string OutputPath(const char* ending) {
  return "/tmp/bench_animation_" + std::to_string(::getpid()) + ending;
}

GlobePictureOptions Options() {
  GlobePictureOptions options;
  options.width = 800;
  options.height = 800;
  options.zoom = 140;
  options.texturePath = UMBRIVISTA_DATA_DIR "/BlueMarble_5.4x2.7k.jpg";
  return options;
}

void BM_AnimationExport(benchmark::State& state) {
  EnsureApplication();
  GlobePicture picture(Eclipse2024(), Options(), [](const std::string&) {});
  static const char* const kEndings[] = {".mp4", ".gif", ".webm"};
  const std::string path = OutputPath(kEndings[state.range(0)]);
  const long long frames = AnimationFrameCount(kRange);
  const std::clock_t cpuStart = std::clock();
  for (auto _ : state) {
    if (!WriteGlobeAnimation(picture, kRange, 25, path)) state.SkipWithError("cancelled");
  }
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(frames * state.iterations()), benchmark::Counter::kIsRate);
  // The processor time of every thread (drawing, encoders) per frame: what the machine's other
  // load does not change.
  state.counters["cpu_ms_per_frame"] =
      1000 * cpuSeconds / static_cast<double>(frames * state.iterations());
  state.SetLabel(kEndings[state.range(0)]);
  std::remove(path.c_str());
}
BENCHMARK(BM_AnimationExport)
    ->ArgName("format")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(5);

void BM_AnimationRenderOnly(benchmark::State& state) {
  EnsureApplication();
  GlobePicture picture(Eclipse2024(), Options(), [](const std::string&) {});
  const long long frames = AnimationFrameCount(kRange);
  for (auto _ : state) {
    for (long long i = 0; i < frames; ++i) {
      const QImage image = picture.Render(AnimationFrameTime(kRange, i));
      benchmark::DoNotOptimize(image.constBits());
    }
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(frames * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AnimationRenderOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
