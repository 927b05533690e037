// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Local circumstances over random places and catalogue eclipses, and one centre-line build.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "angles.h"
#include "catalogue.h"
#include "centre_line.h"
#include "deltat.h"
#include "eclipse_types.h"
#include "local_circumstances.h"

#include "bench_catalogue.h"

using namespace umbrivista;

namespace {

struct Job {
  const EclipseRecord* record;
  double deltaT, latitude, longitudeWest;
  ObserverConstants observer;
};

void BM_LocalCircumstances(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueOrSkip(state);
  if (!cat) return;
  std::mt19937_64 rng(42);
  std::uniform_int_distribution<int> position(1, cat->RecordCount());
  std::uniform_real_distribution<double> unit(-1, 1);
  std::vector<Job> jobs(4096);
  for (auto& j : jobs) {
    j.record = &cat->RecordAt(position(rng));
    j.deltaT = DeltaT(j.record->year, j.record->month);
    j.latitude = std::asin(unit(rng));
    j.longitudeWest = kPi * unit(rng);
    j.observer = ObserverGeocentric(static_cast<int>(1000 + 1000 * unit(rng)), j.latitude);
  }
  std::size_t i = 0, found = 0;
  for (auto _ : state) {
    const Job& j = jobs[i++ & (jobs.size() - 1)];
    const auto lc =
        ComputeLocalCircumstances(*j.record, j.deltaT, j.latitude, j.longitudeWest, j.observer);
    found += lc.has_value();
    benchmark::DoNotOptimize(lc);
  }
  state.counters["found_share"] = static_cast<double>(found) / static_cast<double>(i);
  state.counters["per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LocalCircumstances);

void BM_CentreLine(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueOrSkip(state);
  if (!cat) return;
  std::vector<const EclipseRecord*> central;
  for (const auto& r : cat->Records()) {
    if (IsCentral(r.typeCode)) central.push_back(&r);
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const EclipseRecord& r = *central[i++ % central.size()];
    auto line = BuildCentreLine(r, 60, false);
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_CentreLine)->Unit(benchmark::kMicrosecond);

}  // namespace
