// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What the map layers add to a frame: the full render of an 800 × 800 globe (texture, 10°
// graticule) with and without 200 titled points (the 193 capitals and 7 points of interest with
// haloed titles) and the 201-point centre line of 2024-04-08 drawn as a road, all from layers of
// a spatial database file, as the main window keeps them. The difference of the two is the
// layers' share of the frame.

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "gcustomglobe.h"
#include "globe_bench_support.h"
#include "globe_settings.h"
#include "layers.h"
#include "scratch_database.h"

using namespace umbrivista;

namespace {

// A globe as the main window sets it up, with its scratch database and its layers: the centre
// line, the capitals and seven points of interest.
struct Scene {
  explicit Scene(int zoom) {
    SetUpMainGlobe(globe);
    globe.SetSpatialDatabase(&scratch.database);
    globe.SurfaceTexture().Assign(BlueMarbleTexture());
    TurnToEclipse2024(globe.Projector(), zoom);
  }
  ~Scene() { globe.SetSpatialDatabase(nullptr); }
  void BuildLayers() {
    SceneLayers layers(globe, &scratch.database);
    layers.RebuildCentreLine(Eclipse2024(), 0, false);
    layers.RebuildCapitals();
    std::vector<MapMark> marks;
    const double places[7][2] = {{25.3, -104.1}, {32.8, -96.8}, {41.9, -87.6}, {45.5, -73.6},
                                 {19.4, -99.1},  {25.8, -80.2}, {-34.6, -58.4}};
    for (int i = 0; i < 7; ++i)
      marks.push_back({"Place " + std::to_string(i + 1), places[i][0], places[i][1]});
    layers.RebuildPoIList(marks);
  }
  ScratchDatabase scratch;
  TGCustomGlobeView globe{800, 800};
};

// Frames of the globe without and with its layers, in turns (the root layer switched off and
// on); the counters give the mean frame time of each (ms) and their difference, the layers'
// share of a frame.
void BM_FrameWithLayers(benchmark::State& state) {
  EnsureApplication();
  const int zoom = static_cast<int>(state.range(0));
  const bool cold = state.range(1) != 0;
  Scene layered(zoom);
  layered.BuildLayers();
  TGLayer& root = layered.globe.RootLayer();
  using Clock = std::chrono::steady_clock;
  Clock::duration without{}, with{};
  for (auto _ : state) {
    root.Enabled = false;
    const auto t0 = Clock::now();
    layered.globe.RenderScene();
    const auto t1 = Clock::now();
    root.Enabled = true;
    if (cold) layered.globe.Renderer().ForgetTexts();
    layered.globe.RenderScene();
    const auto t2 = Clock::now();
    without += t1 - t0;
    with += t2 - t1;
    benchmark::DoNotOptimize(layered.globe.Renderer().Picture().Bits());
  }
  const double n = static_cast<double>(state.iterations());
  const auto ms = [n](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() / n;
  };
  state.counters["plain_ms"] = ms(without);
  state.counters["layers_ms"] = ms(with);
  state.counters["added_ms"] = ms(with) - ms(without);
  int drawn = 0;
  for (int i = 0; i < layered.globe.Layers().Count(); ++i)
    drawn += layered.globe.Layers().GetLayer(i).DrawnCount();
  state.counters["labels"] = static_cast<double>(layered.globe.LabelRenderer().Labels().size());
  state.counters["objects"] = drawn;
}

// Arguments: zoom position of the main window (140: titles readable, part of the globe; 250: most
// of the hemisphere with titles; 300: the whole disc, capital titles too small to draw); 1 to
// draw every title anew as after a change of zoom, 0 to take them as kept from the frame before.
BENCHMARK(BM_FrameWithLayers)
    ->ArgNames({"zoom", "cold"})
    ->Args({140, 0})
    ->Args({250, 0})
    ->Args({300, 0})
    ->Args({140, 1})
    ->Args({250, 1})
    ->Args({300, 1})
    ->Unit(benchmark::kMillisecond);

// The visible geographic rectangle that the layers are enumerated with.
void BM_VisibleExtent(benchmark::State& state) {
  EnsureApplication();
  TGCustomGlobeView globe(800, 800);
  TurnToEclipse2024(globe.Projector(), static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(globe.ComputeVisibleExtent());
}
BENCHMARK(BM_VisibleExtent)
    ->ArgName("zoom")
    ->Arg(140)
    ->Arg(250)
    ->Arg(300)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
