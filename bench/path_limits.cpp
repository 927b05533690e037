// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// All limits of one eclipse (umbral and penumbral limits, rise/set curves), and the distance from a
// place to the limit of the central path.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "catalogue.h"
#include "deltat.h"
#include "eclipse_types.h"
#include "path_limits.h"

#include "bench_catalogue.h"

using namespace umbrivista;

namespace {

const EclipseRecord* Find(int year, int month, int day) {
  const EclipseCatalogue* cat = Catalogue();
  if (!cat) return nullptr;
  for (const auto& r : cat->Records()) {
    if (r.year == year && r.month == month && r.day == day) return &r;
  }
  return nullptr;
}

void BM_PathLimits2024(benchmark::State& state) {
  const EclipseRecord* r = Find(2024, 4, 8);
  if (!r) {
    state.SkipWithError("catalogue file missing");
    return;
  }
  std::size_t points = 0;
  for (auto _ : state) {
    const auto curves = ComputePathLimits(*r, DeltaT(2024, 4));
    for (const auto& c : curves) points += c.points.size();
    benchmark::DoNotOptimize(curves.data());
  }
  state.counters["points"] = static_cast<double>(points) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PathLimits2024)->Unit(benchmark::kMillisecond);

// Eclipses picked at random over the whole catalogue, partial ones included.
void BM_PathLimitsCatalogue(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueOrSkip(state);
  if (!cat) return;
  std::mt19937_64 rng(17);
  std::uniform_int_distribution<int> position(1, cat->RecordCount());
  std::vector<const EclipseRecord*> records(256);
  for (auto& r : records) r = &cat->RecordAt(position(rng));
  std::size_t i = 0;
  for (auto _ : state) {
    const EclipseRecord& r = *records[i++ % records.size()];
    auto curves = ComputePathLimits(r, DeltaT(r.year, r.month));
    benchmark::DoNotOptimize(curves.data());
  }
}
BENCHMARK(BM_PathLimitsCatalogue)->Unit(benchmark::kMillisecond);

void BM_DistanceToPathLimit(benchmark::State& state) {
  const EclipseRecord* r = Find(2024, 4, 8);
  if (!r) {
    state.SkipWithError("catalogue file missing");
    return;
  }
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> lat(25, 50), lon(-110, -60);
  std::vector<std::pair<double, double>> places(1024);
  for (auto& p : places) p = {lat(rng), lon(rng)};
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& [la, lo] = places[i++ & (places.size() - 1)];
    benchmark::DoNotOptimize(DistanceToPathLimit(*r, DeltaT(2024, 4), la, lo));
  }
}
BENCHMARK(BM_DistanceToPathLimit)->Unit(benchmark::kMicrosecond);

}  // namespace
