// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// citylist and placehistory with --format: the CSV and JSON files are those of the same run's
// rows; the text file stays the default.

#include <gtest/gtest.h>

#include <string>

#include "city_list_run.h"
#include "civil_time.h"
#include "cli_runner.h"
#include "place_history_run.h"
#include "place_zones.h"
#include "places_file.h"
#include "report_export.h"
#include "shipped_catalogue.h"

using namespace umbrivista;

namespace {

TEST(CliFormats, ReportsWriteCsvOrJsonOfTheirRows) {
  const ReportRun cities =
      ComputeCityList(ShippedCatalogue(),
                      {16690, 0, Language::kGerman,
                       std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kGerman)});
  ASSERT_GT(cities.rows.size(), 10u);
  PlaceHistoryInputs basel;
  basel.name = "Basel";
  basel.country = "Schweiz";
  basel.latitude = 47.55;
  basel.longitude = 7.59;
  basel.firstYear = 1900;
  basel.lastYear = 2100;
  const ReportRun history = ComputePlaceHistory(ShippedCatalogue(), basel);
  ASSERT_GT(history.rows.size(), 10u);

  // With each place's local civil time, as the CLI finds it.
  const PlaceZones zones =
      PlaceZones::Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kPlaceZonesFileName);
  const ReportClock clock{&zones, QtCivilOffsets()};
  const std::string city = "citylist 16690 --threshold-index 0 --lang de";
  const std::string place =
      "placehistory --lat 47.55 --lon 7.59 --name Basel --country Schweiz --from 1900 --to 2100";
  const std::pair<std::string, std::string> cases[] = {
      {city + " --format csv", ReportCsvText(cities.rows, clock)},
      {city + " --format json", ReportJsonText(cities.rows, clock)},
      {city + " --format text", SavedReportText(cities)},
      {place + " --format csv", ReportCsvText(history.rows, clock)},
      {place + " --format json", ReportJsonText(history.rows, clock)},
      {place, SavedReportText(history)},
  };
  for (const auto& [args, expected] : cases) {
    const Result r = RunCli(args + " --out -");
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_EQ(r.out, expected) << args;
  }

  const Result bad = RunCli(place + " --format xml --out -", true);
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out.rfind("umbrivista-cli: --format must be text, csv or json", 0), 0u) << bad.out;
}

}  // namespace
