// One full render of the globe (background, surface, texture at the depth the zoom gives, 10°
// graticule) into an 800 × 800 picture, at the zoom positions 140 and 300 of the main window,
// and the texture and the graticule on their own.

#include <benchmark/benchmark.h>

#include "gcustomglobe.h"
#include "globe_bench_support.h"

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

}  // namespace
