// The two report runs on the shipped data: the city list of 2024-04-08 over every place of the
// English places file (the file is read by each run, as in the window), and the place history of
// one place over the whole catalogue.

#include <benchmark/benchmark.h>

#include <string>

#include "catalogue.h"
#include "city_list_run.h"
#include "place_history_run.h"
#include "places_file.h"
#include "string_table.h"

#include "bench_catalogue.h"

using namespace umbrivista;

namespace {

void BM_CityListEveryPlace(benchmark::State& state) {
  const EclipseCatalogue* cat = Catalogue();
  constexpr int kPosition = 16690;
  if (!cat || cat->RecordCount() < kPosition || cat->RecordAt(kPosition).year != 2024) {
    state.SkipWithError("catalogue file missing or without 2024-04-08 at position 16690");
    return;
  }
  const CityListInputs inputs{
      kPosition, 9, Language::kEnglish,
      std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish)};
  ReportRun run;
  for (auto _ : state) {
    run = ComputeCityList(*cat, inputs);
    benchmark::DoNotOptimize(run.rows.data());
  }
  if (!run.error.empty()) state.SkipWithError(run.error.c_str());
  state.counters["places"] = run.scanned;
  state.counters["rows"] = static_cast<double>(run.rows.size());
}
BENCHMARK(BM_CityListEveryPlace)->Unit(benchmark::kMillisecond);

void BM_PlaceHistoryWholeCatalogue(benchmark::State& state) {
  const EclipseCatalogue* cat = CatalogueOrSkip(state);
  if (!cat) return;
  PlaceHistoryInputs inputs;
  inputs.name = "Basel";
  inputs.country = "Schweiz";
  inputs.latitude = 47.55;
  inputs.longitude = 7.59;
  inputs.height = 254;
  inputs.firstYear = -4999;
  inputs.lastYear = 7000;
  inputs.language = Language::kGerman;
  ReportRun run;
  for (auto _ : state) {
    run = ComputePlaceHistory(*cat, inputs);
    benchmark::DoNotOptimize(run.rows.data());
  }
  state.counters["records"] = run.scanned;
  state.counters["rows"] = static_cast<double>(run.rows.size());
}
BENCHMARK(BM_PlaceHistoryWholeCatalogue)->Unit(benchmark::kMillisecond);

}  // namespace
