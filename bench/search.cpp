// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue search over the whole shipped catalogue: criteria on the records and the
// greatest-eclipse quantities alone, a point seeing the eclipse, and the central phase over the
// United States (the English places file's places).

#include <benchmark/benchmark.h>

#include <string>

#include "eclipse_search.h"
#include "places_file.h"

#include "bench_catalogue.h"

using namespace umbrivista;

namespace {

void Run(benchmark::State& state, const SearchCriteria& c, const std::vector<Place>& places = {}) {
  const EclipseCatalogue* cat = CatalogueOrSkip(state);
  if (!cat) return;
  std::size_t found = 0;
  for (auto _ : state) {
    const SearchResult result = SearchCatalogue(*cat, c, places);
    found = result.rows.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = static_cast<double>(found);
}

// Total eclipses lasting at least 6 minutes: every record's duration and magnitude.
void BM_SearchLongTotals(benchmark::State& state) {
  SearchCriteria c;
  c.typeMask = *TypeMaskFromKinds({"total"});
  c.minDurationSeconds = 360;
  Run(state, c);
}
BENCHMARK(BM_SearchLongTotals)->Unit(benchmark::kMillisecond);

// Every eclipse of the catalogue with its quantities (no criterion at all).
void BM_SearchEverything(benchmark::State& state) { Run(state, SearchCriteria{}); }
BENCHMARK(BM_SearchEverything)->Unit(benchmark::kMillisecond);

// Every eclipse seen from Paris.
void BM_SearchVisibleFromPoint(benchmark::State& state) {
  SearchCriteria c;
  c.placeMode = SearchPlaceMode::kVisibleFrom;
  c.latitude = 48.85;
  c.longitude = 2.35;
  Run(state, c);
}
BENCHMARK(BM_SearchVisibleFromPoint)->Unit(benchmark::kMillisecond);

// Every eclipse whose total or annular phase some place of the United States sees.
void BM_SearchCentralOverCountry(benchmark::State& state) {
  const CityList list = ReadCities(
      std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish), "United States");
  if (list.places.empty()) {
    state.SkipWithError("places file missing");
    return;
  }
  SearchCriteria c;
  c.placeMode = SearchPlaceMode::kCountry;
  c.country = "United States";
  state.counters["places"] = static_cast<double>(list.places.size());
  Run(state, c, list.places);
}
BENCHMARK(BM_SearchCentralOverCountry)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
