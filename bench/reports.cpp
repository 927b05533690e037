// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The two report runs on the shipped data, each beside the pure computation it is made of, timed
// in the same benchmark so that their ratio comes from one run whatever the machine's load:
//  - the city list of 2024-04-08 over every place of the English places file (read once, as the
//    window keeps it), on one thread and on two; the floor is the local circumstances alone for
//    the same places, no rows formatted, on one thread;
//  - the place history of one place over the whole catalogue, its floor likewise.
// The CPU column is the process's CPU time (all threads); "Time" is the wall time.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "angles.h"
#include "catalogue.h"
#include "city_list_run.h"
#include "deltat.h"
#include "julian_day.h"
#include "local_circumstances.h"
#include "place_history_run.h"
#include "places_file.h"
#include "string_table.h"

#include "bench_catalogue.h"

using namespace umbrivista;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPosition = 16690;  // 2024-04-08

const EclipseCatalogue* CatalogueWith2024(benchmark::State& state) {
  const EclipseCatalogue* cat = Catalogue();
  if (!cat || cat->RecordCount() < kPosition || cat->RecordAt(kPosition).year != 2024) {
    state.SkipWithError("catalogue file missing or without 2024-04-08 at position 16690");
    return nullptr;
  }
  return cat;
}

const PlacesList& EnglishPlaces() {
  static const PlacesList places =
      ReadPlaces(std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish));
  return places;
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The local circumstances alone of every place: the floor of the city list.
int PureCityList(const EclipseRecord& record, const PlacesList& places) {
  const double deltaT = DeltaT(record.year, record.month);
  int seen = 0;
  for (const Place& place : places.places) {
    const double latitude = place.LatitudeDegrees() * kDegToRad;
    const auto lc = ComputeLocalCircumstances(record, deltaT, latitude,
                                              -place.LongitudeDegrees() * kDegToRad,
                                              ObserverGeocentric(place.height, latitude));
    seen += lc.has_value();
  }
  return seen;
}

PlaceHistoryInputs Basel(int threads) {
  PlaceHistoryInputs inputs;
  inputs.name = "Basel";
  inputs.country = "Schweiz";
  inputs.latitude = 47.55;
  inputs.longitude = 7.59;
  inputs.height = 254;
  inputs.firstYear = -4999;
  inputs.lastYear = 7000;
  inputs.language = Language::kGerman;
  inputs.threads = threads;
  return inputs;
}

// The work of the place history without its rows: the floor of the place history.
int PurePlaceHistory(const EclipseCatalogue& catalogue, const PlaceHistoryInputs& in) {
  const double latitude = in.latitude * kDegToRad;
  const ObserverConstants observer = ObserverGeocentric(in.height, latitude);
  int seen = 0;
  for (const EclipseRecord& record : catalogue.Records()) {
    const double deltaT = DeltaT(record.year, record.month);
    const int year = JDToCalendar(static_cast<double>(record.julianDay) - deltaT / 86400).year;
    if (year < in.firstYear || year > in.lastYear) continue;
    seen += ComputeLocalCircumstances(record, deltaT, latitude, -in.longitude * kDegToRad, observer)
                .has_value();
  }
  return seen;
}

// The floor alone.
void BM_PureCircumstancesEveryPlace(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueWith2024(state);
  if (!cat) return;
  for (auto _ : state) benchmark::DoNotOptimize(PureCityList(cat->RecordAt(kPosition), EnglishPlaces()));
  state.counters["places"] = static_cast<double>(EnglishPlaces().places.size());
}
BENCHMARK(BM_PureCircumstancesEveryPlace)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->MeasureProcessCPUTime();

// The city list on `threads` threads (arg), and in the same iterations the floor on one thread:
// "ratio" is the run's wall time over the floor's.
void BM_CityListEveryPlace(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueWith2024(state);
  if (!cat) return;
  CityListInputs inputs{kPosition, 9, Language::kEnglish, {}, static_cast<int>(state.range(0))};
  ReportRun run;
  double runMs = 0, floorMs = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    run = ComputeCityListOf(*cat, inputs, EnglishPlaces());
    benchmark::DoNotOptimize(run.rows.data());
    runMs += Milliseconds(Clock::now() - start);
    state.PauseTiming();
    const Clock::time_point floorStart = Clock::now();
    benchmark::DoNotOptimize(PureCityList(cat->RecordAt(kPosition), EnglishPlaces()));
    floorMs += Milliseconds(Clock::now() - floorStart);
    state.ResumeTiming();
  }
  if (!run.error.empty()) state.SkipWithError(run.error.c_str());
  state.counters["places"] = run.scanned;
  state.counters["rows"] = static_cast<double>(run.rows.size());
  state.counters["floor_ms"] = floorMs / static_cast<double>(state.iterations());
  state.counters["ratio"] = runMs / floorMs;
}
BENCHMARK(BM_CityListEveryPlace)->ArgName("threads")->Arg(1)->Arg(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The place history on `threads` threads (arg) beside its floor on one thread, as above.
void BM_PlaceHistoryWholeCatalogue(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueOrSkip(state);
  if (!cat) return;
  const PlaceHistoryInputs inputs = Basel(static_cast<int>(state.range(0)));
  ReportRun run;
  double runMs = 0, floorMs = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    run = ComputePlaceHistory(*cat, inputs);
    benchmark::DoNotOptimize(run.rows.data());
    runMs += Milliseconds(Clock::now() - start);
    state.PauseTiming();
    const Clock::time_point floorStart = Clock::now();
    benchmark::DoNotOptimize(PurePlaceHistory(*cat, inputs));
    floorMs += Milliseconds(Clock::now() - floorStart);
    state.ResumeTiming();
  }
  state.counters["records"] = run.scanned;
  state.counters["rows"] = static_cast<double>(run.rows.size());
  state.counters["floor_ms"] = floorMs / static_cast<double>(state.iterations());
  state.counters["ratio"] = runMs / floorMs;
}
BENCHMARK(BM_PlaceHistoryWholeCatalogue)->ArgName("threads")->Arg(1)->Arg(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace
