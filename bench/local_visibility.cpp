// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What a place sees: the local circumstances alone, with the part above the horizon, and the
// nearest central path, for one place and for every place of the English places file (the city
// list's places) for the eclipse of 2024-04-08.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "angles.h"
#include "deltat.h"
#include "local_circumstances.h"
#include "path_limits.h"
#include "places_file.h"

#include "bench_catalogue.h"

using namespace umbrivista;

namespace {

constexpr int kPosition = 16690;  // 2024-04-08

const EclipseRecord* Record(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueOrSkip(state);
  if (!cat) return nullptr;
  if (cat->RecordCount() < kPosition || cat->RecordAt(kPosition).year != 2024) {
    state.SkipWithError("no 2024-04-08 at position 16690");
    return nullptr;
  }
  return &cat->RecordAt(kPosition);
}

struct Site {
  double phi, lonWest;
  double latDeg, lonDeg;
  ObserverConstants observer;
};

Site At(double latDeg, double lonDeg, int height) {
  const double phi = latDeg * kDegToRad;
  return {phi, -lonDeg * kDegToRad, latDeg, lonDeg, ObserverGeocentric(height, phi)};
}

const std::vector<Site>& EveryPlace() {
  static const std::vector<Site> sites = [] {
    std::vector<Site> out;
    PlacesReader reader(std::string(UMBRIVISTA_DATA_DIR) + "/" +
                        PlacesFileName(Language::kEnglish));
    Place p;
    while (reader.Next(p)) out.push_back(At(p.LatitudeDegrees(), p.LongitudeDegrees(), p.height));
    return out;
  }();
  return sites;
}

// Dublin sees the eclipse set: the horizon search runs in full.
void BM_CircumstancesOnePlace(benchmark::State& state) {
  const EclipseRecord* r = Record(state);
  if (!r) return;
  const Site s = At(53.35, -6.26, 0);
  const double deltaT = DeltaT(2024, 4);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputeLocalCircumstances(*r, deltaT, s.phi, s.lonWest, s.observer));
  }
}
BENCHMARK(BM_CircumstancesOnePlace);

void BM_VisibilityOnePlace(benchmark::State& state) {
  const EclipseRecord* r = Record(state);
  if (!r) return;
  const Site s = At(53.35, -6.26, 0);
  const double deltaT = DeltaT(2024, 4);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputeLocalEclipse(*r, deltaT, s.phi, s.lonWest, s.observer));
  }
}
BENCHMARK(BM_VisibilityOnePlace);

// The panel's case: the limits computed for the eclipse, then one place (New York).
void BM_NearestCentralOnePlace(benchmark::State& state) {
  const EclipseRecord* r = Record(state);
  if (!r) return;
  const double deltaT = DeltaT(2024, 4);
  for (auto _ : state) {
    benchmark::DoNotOptimize(CentralPath(*r, deltaT).Nearest(40.71, -74.01));
  }
}
BENCHMARK(BM_NearestCentralOnePlace)->Unit(benchmark::kMillisecond);

void BM_NearestCentralQuery(benchmark::State& state) {
  const EclipseRecord* r = Record(state);
  if (!r) return;
  const CentralPath path(*r, DeltaT(2024, 4));
  for (auto _ : state) benchmark::DoNotOptimize(path.Nearest(40.71, -74.01));
}
BENCHMARK(BM_NearestCentralQuery)->Unit(benchmark::kMicrosecond);

// Every place: 0 the circumstances alone (what the city list computes per place), 1 with the
// part above the horizon, 2 with that and the nearest central path.
void BM_EveryPlace(benchmark::State& state) {
  const EclipseRecord* r = Record(state);
  if (!r) return;
  const std::vector<Site>& sites = EveryPlace();
  if (sites.empty()) {
    state.SkipWithError("places file missing");
    return;
  }
  const double deltaT = DeltaT(2024, 4);
  const int level = static_cast<int>(state.range(0));
  int seen = 0;
  for (auto _ : state) {
    const CentralPath path(*r, deltaT);
    seen = 0;
    for (const Site& s : sites) {
      if (level == 0) {
        seen += ComputeLocalCircumstances(*r, deltaT, s.phi, s.lonWest, s.observer).has_value();
        continue;
      }
      const LocalEclipse e = ComputeLocalEclipse(*r, deltaT, s.phi, s.lonWest, s.observer);
      seen += e.visible.visibility != Visibility::kNone;
      if (level == 2 && e.outcome == LocalOutcome::kEclipse) {
        benchmark::DoNotOptimize(path.Nearest(s.latDeg, s.lonDeg));
      }
    }
  }
  state.counters["places"] = static_cast<double>(sites.size());
  state.counters["counted"] = seen;
}
BENCHMARK(BM_EveryPlace)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
