// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// One full render of the globe (background, surface, texture at the depth the zoom gives, 10°
// graticule) into an 800 × 800 picture, at the zoom positions 140 and 300 of the main window,
// and the texture and the graticule on their own; and the textured frame against its floor, a
// gather of one texel per visible pixel.

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <vector>

#include "angles.h"
#include "gcustomglobe.h"
#include "globe_bench_support.h"
#include "grenderer.h"

using namespace umbrivista;

namespace {

void BM_RenderGlobe(benchmark::State& state) {
  const int zoom = static_cast<int>(state.range(0));
  const bool texture = state.range(1) & 1, graticule = state.range(1) & 2;
  TGCustomGlobeView globe(800, 800);
  if (texture) globe.SurfaceTexture().Assign(BlueMarbleTexture());
  if (!graticule) {
    globe.Graticule().SetLatitudeStep(0);
    globe.Graticule().SetLongitudeStep(0);
  }
  TurnToEclipse2024(globe.Projector(), zoom);
  state.counters["depth"] = TGSphericalPrj::TextureDepth(globe.Projector().ScaleFactor());
  for (auto _ : state) {
    globe.RenderScene();
    benchmark::DoNotOptimize(globe.Renderer().Picture().Bits());
  }
}

// Arguments: zoom position; 3 = texture and graticule (the full render), 1 = texture only,
// 2 = graticule only.
BENCHMARK(BM_RenderGlobe)
    ->ArgNames({"zoom", "parts"})
    ->Args({140, 3})
    ->Args({300, 3})
    ->Args({140, 1})
    ->Args({300, 1})
    ->Args({140, 2})
    ->Args({300, 2})
    ->Unit(benchmark::kMillisecond);

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The textured frame (parts as above) against its floor in one run, interleaved: the floor
// copies one texel per visible pixel of the same 800 × 800 disc from a table made beforehand
// (no projection maths), reading the texture at the size the frame reads at the centre of the
// disc. Counters: thread CPU time, minimum and median of each, and frame / gather of the medians
// (ratio) and of the minima (ratio_min).
void BM_FrameAgainstGather(benchmark::State& state) {
  const int zoom = static_cast<int>(state.range(0));
  const bool graticule = state.range(1) & 2;
  TGCustomGlobeView globe(800, 800);
  const TGBitmap& texture = BlueMarbleTexture();
  globe.SurfaceTexture().Assign(texture);
  if (!graticule) {
    globe.Graticule().SetLatitudeStep(0);
    globe.Graticule().SetLongitudeStep(0);
  }
  TGProjector& prj = globe.Projector();
  TurnToEclipse2024(prj, zoom);
  globe.RenderScene();
  // The level the frame reads where the texture is magnified most, at the centre of the disc.
  const auto* model = dynamic_cast<const TGSphericalPrj*>(&prj.Model());
  const double radius = model ? model->DiscRadius() : 1.0;
  const int level = TextureLevel(std::min(texture.Width() / (2 * kPi), texture.Height() / kPi) /
                                 radius);
  const TGBitmap& source = texture.Reduced(level);
  std::vector<std::uint32_t> pixels, texels;
  for (int y = 0; y < 800; ++y) {
    for (int x = 0; x < 800; ++x) {
      TGGlobePoint g;
      if (!prj.XYToLL(x, y, g)) continue;
      const QPoint t = TexturePixel(g, texture.Width(), texture.Height());
      const int u = std::min(t.x() >> level, source.Width() - 1);
      const int v = std::min(t.y() >> level, source.Height() - 1);
      pixels.push_back(static_cast<std::uint32_t>(y * 800 + x));
      texels.push_back(static_cast<std::uint32_t>(v * source.Width() + u));
    }
  }
  std::vector<std::uint32_t> out(800 * 800);
  const std::uint32_t* from = source.Bits();
  std::vector<double> gatherMs, frameMs;
  for (auto _ : state) {
    double start = ThreadCpuMs();
    for (std::size_t i = 0; i < pixels.size(); ++i) out[pixels[i]] = from[texels[i]];
    benchmark::DoNotOptimize(out.data());
    gatherMs.push_back(ThreadCpuMs() - start);
    start = ThreadCpuMs();
    globe.RenderScene();
    benchmark::DoNotOptimize(globe.Renderer().Picture().Bits());
    frameMs.push_back(ThreadCpuMs() - start);
  }
  state.counters["pixels"] = static_cast<double>(pixels.size());
  state.counters["level"] = level;
  state.counters["gather_ms_min"] = *std::min_element(gatherMs.begin(), gatherMs.end());
  state.counters["gather_ms_med"] = Median(gatherMs);
  state.counters["frame_ms_min"] = *std::min_element(frameMs.begin(), frameMs.end());
  state.counters["frame_ms_med"] = Median(frameMs);
  state.counters["ratio"] = Median(frameMs) / Median(gatherMs);
  state.counters["ratio_min"] = *std::min_element(frameMs.begin(), frameMs.end()) /
                                *std::min_element(gatherMs.begin(), gatherMs.end());
}

BENCHMARK(BM_FrameAgainstGather)
    ->ArgNames({"zoom", "parts"})
    ->Args({140, 1})
    ->Args({300, 1})
    ->Args({140, 3})
    ->Args({300, 3})
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

}  // namespace
