// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Report rows of the shipped catalogue against published local circumstances of the total solar
// eclipses of 2017-08-21 and 2024-04-08, and the city list of the shipped English places file.
//
// Sources:
//  - F. Espenak, EclipseWise.com: SE2017Aug21Tcirc (section 3) and the interactive map
//    SE2024Apr08Tgmapx: UT of the contacts to the second and the Sun's altitude, at sea level.
//    Their times agree with the program's own ΔT to about a second, so they are checked through
//    the place-history run as it stands.
//  - F. Espenak, NASA GSFC, the Besselian element pages of both eclipses: the instant, place,
//    central duration and magnitude of greatest eclipse (ΔT 70.3 s and 74.0 s there). The
//    published magnitude of a central eclipse is the ratio R of the apparent diameters; the report
//    gives the fraction of the Sun's diameter covered, which on the shadow axis is (1 + R) / 2.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "angles.h"
#include "city_list_run.h"
#include "deltat.h"
#include "local_circumstances.h"
#include "place_history_run.h"
#include "places_file.h"
#include "shipped_catalogue.h"
#include "string_table.h"

using namespace umbrivista;

namespace {

std::vector<std::string> Fields(const std::string& row) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(row);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

double Seconds(const std::string& hhmmss) {
  return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 +
         std::stoi(hhmmss.substr(6, 2));
}

struct Published {
  const char* label;
  int year, month, day;
  double latitude, longitude;  // degrees, east positive
  char kind;
  // C1, C2, Max, C3, C4: UT "hh:mm:ss" ("" where the eclipse has none) and the Sun's altitude.
  const char* times[5];
  double altitudes[5];
  double altitudeTolerance;
};

constexpr int kTimeField[5] = {14, 18, 22, 28, 32};
constexpr int kAltitudeField[5] = {17, 21, 25, 31, 35};

// clang-format off
const Published kEclipseWise[] = {
    {"Orlando 2017", 2017, 8, 21, 28.553160, -81.364510, 'p',
     {"17:19:28", "", "18:51:17", "", "20:14:57"}, {73, 0, 64, 0, 48}, 0.6},
    {"Florida 2024", 2024, 4, 8, 29.0181, -80.9481, 'p',
     {"17:48:08", "", "19:04:48", "", "20:18:34"}, {67.9, 0, 58.3, 0, 44.0}, 0.1},
    {"Ohio 2024", 2024, 4, 8, 41.0341, -83.6523, 't',
     {"17:55:52", "19:10:42", "19:12:34", "19:14:27", "20:26:37"},
     {56.3, 50.5, 50.3, 50.1, 39.6}, 0.1},
    {"Bermuda 2024", 2024, 4, 8, 32.3066, -64.7503, 'p',
     {"18:26:16", "", "19:34:26", "", "20:37:34"}, {51.8, 0, 38.8, 0, 25.8}, 0.1},
};
// clang-format on

TEST(KnownAnswers, PlaceHistoryRowsMatchEclipseWise) {
  for (const Published& p : kEclipseWise) {
    PlaceHistoryInputs in;
    in.name = p.label;
    in.latitude = p.latitude;
    in.longitude = p.longitude;
    in.firstYear = in.lastYear = p.year;
    const ReportRun run = ComputePlaceHistory(ShippedCatalogue(), in);
    const std::string date = std::to_string(p.year) + "\t" + std::to_string(p.month) + "\t" +
                             std::to_string(p.day) + "\t";
    std::vector<std::string> fields;
    for (const ReportRow& row : run.rows) {
      const std::string file = FileRowText(run.kind, run.language, row.values);
      if (file.rfind(date, 0) == 0) fields = Fields(file);
    }
    ASSERT_GE(fields.size(), 36u) << p.label;
    EXPECT_EQ(fields[4], std::string(1, p.kind)) << p.label;
    for (int i = 0; i < 5; ++i) {
      if (!*p.times[i]) {
        EXPECT_EQ(fields[kTimeField[i]], "") << p.label << " " << i;
        continue;
      }
      EXPECT_NEAR(Seconds(fields[kTimeField[i]]), Seconds(p.times[i]), 2) << p.label << " " << i;
      EXPECT_NEAR(std::stod(fields[kAltitudeField[i]]), p.altitudes[i], p.altitudeTolerance)
          << p.label << " " << i;
    }
  }
}

struct Greatest {
  const char* label;
  int year, month, day;
  double latitude, longitude, deltaT;
  const char* time;  // UT; "" when the published place is too coarse to time it
  double ratio;      // published magnitude: ratio of the apparent diameters
  const char* duration;
  double altitude;
};

TEST(KnownAnswers, GreatestEclipseMatchesNasa) {
  const Greatest points[] = {
      // 25°17.4'N 104°08.3'W
      {"2024", 2024, 4, 8, 25.29, -(104 + 8.3 / 60), 74.0, "18:17:15", 1.0566, "4:28", 69.8},
      // Published to 0.1° only (about 10 km along the path): the instant is not compared.
      {"2017", 2017, 8, 21, 37.0, -87.7, 70.3, "", 1.0306, "2:40", 63.9},
  };
  for (const Greatest& g : points) {
    const EclipseRecord r = ShippedRecord(g.year, g.month, g.day);
    const double phi = g.latitude * kDegToRad;
    const auto lc = ComputeLocalCircumstances(r, g.deltaT, phi, -g.longitude * kDegToRad,
                                              ObserverGeocentric(0, phi));
    ASSERT_TRUE(lc) << g.label;
    PlaceHistoryInputs place;
    place.latitude = g.latitude;
    place.longitude = g.longitude;
    const auto row = PlaceHistoryRow(r, g.deltaT, place, *lc);
    ASSERT_TRUE(row) << g.label;
    const auto fields = Fields(FileRowText(ReportKind::kPlaceHistory, place.language, row->values));
    ASSERT_EQ(fields.size(), 36u);
    EXPECT_EQ(fields[4], "t");
    if (*g.time) {
      EXPECT_NEAR(Seconds(fields[22]), Seconds(g.time), 2) << g.label;
    }
    EXPECT_NEAR(std::stod(fields[26]), (1 + g.ratio) / 2, 0.001) << g.label;
    EXPECT_NEAR(lc->magnitude, (1 + g.ratio) / 2, 0.001) << g.label;
    EXPECT_EQ(fields[27], g.duration) << g.label;
    EXPECT_NEAR(std::stod(fields[25]), g.altitude, 0.1) << g.label;
  }
}

// The total eclipse of 2016-03-09 began before 0 h UT in Palembang (C1 at sunrise on March 8 UT,
// totality and the end on March 9 UT). The row carries the date of C1, and every contact its
// hours from 0 h UT of that date, worked out here from Julian days alone: JD 2457455.5 is
// 2016-03-08 0 h UT.
TEST(KnownAnswers, RowAcrossMidnightUTGivesEachContactItsDay) {
  const EclipseRecord r = ShippedRecord(2016, 3, 9);
  PlaceHistoryInputs in;
  in.name = "Palembang";
  in.latitude = -2.99;
  in.longitude = 104.76;
  in.firstYear = in.lastYear = 2016;
  const ReportRun run = ComputePlaceHistory(ShippedCatalogue(), in);
  std::vector<std::string> fields;
  std::string list;
  for (const ReportRow& row : run.rows) {
    const std::string file = FileRowText(run.kind, run.language, row.values);
    if (file.rfind("2016\t3\t", 0) == 0) {
      fields = Fields(file);
      list = row.list;
    }
  }
  ASSERT_EQ(fields.size(), 36u);
  EXPECT_EQ((std::vector<std::string>(fields.begin(), fields.begin() + 5)),
            (std::vector<std::string>{"2016", "3", "8", "68.0", "t"}));
  EXPECT_EQ(list.substr(0, 12), " 2016  3  8 ");

  const double phi = in.latitude * kDegToRad;
  const auto lc = ComputeLocalCircumstances(r, 68.0, phi, -in.longitude * kDegToRad,
                                            ObserverGeocentric(0, phi));
  ASSERT_TRUE(lc);
  constexpr double kMarch8 = 2457455.5;
  const double dayOfRecord = kMarch8 + 1;  // the record's T0 lies on March 9
  ASSERT_EQ(r.day, 9);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(lc->computed[i]) << i;
    ASSERT_GT(lc->sunAltitude[i], 0) << i;
    const double jd = dayOfRecord + (r.t0Hour + lc->contactTime[i] - 68.0 / 3600) / 24;
    const auto seconds = static_cast<long long>(std::floor((jd - kMarch8) * 86400 + 0.5));
    char expected[64];
    std::snprintf(expected, sizeof expected, "%02lld:%02lld:%02lld", seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    EXPECT_EQ(fields[kTimeField[i]], expected) << i;
    if (i == kC1) {
      EXPECT_LT(seconds, 86400);  // before midnight: March 8
    } else {
      EXPECT_GT(seconds, 86400);  // after it: March 9, written from 24:00:00 on
    }
  }
}

// The place history computes every eclipse for the observer at the place's height: on Mauna Kea
// (4,200 m) its rows are those of local circumstances at that height, and most of them differ from
// those at sea level in some contact time or angle (so that a run that left the height out would
// show).
TEST(KnownAnswers, PlaceHistoryObservesFromThePlacesHeight) {
  PlaceHistoryInputs in;
  in.name = "Mauna Kea";
  in.latitude = 19.82;
  in.longitude = -155.47;
  in.height = 4200;
  in.firstYear = 1900;
  in.lastYear = 2100;
  const ReportRun high = ComputePlaceHistory(ShippedCatalogue(), in);
  PlaceHistoryInputs sea = in;
  sea.height = 0;
  const ReportRun low = ComputePlaceHistory(ShippedCatalogue(), sea);
  ASSERT_GT(high.rows.size(), 50u);
  ASSERT_EQ(high.rows.size(), low.rows.size());

  const double phi = in.latitude * kDegToRad;
  std::vector<std::string> expected;
  for (const EclipseRecord& r : ShippedCatalogue().Records()) {
    if (r.year < in.firstYear - 1 || r.year > in.lastYear + 1) continue;
    const double deltaT = DeltaT(r.year, r.month);
    const auto lc = ComputeLocalCircumstances(r, deltaT, phi, -in.longitude * kDegToRad,
                                              ObserverGeocentric(4200, phi));
    if (!lc) continue;
    if (const auto row = PlaceHistoryRow(r, deltaT, in, *lc))
      expected.push_back(FileRowText(ReportKind::kPlaceHistory, in.language, row->values));
  }
  std::size_t changed = 0, matched = 0;
  for (std::size_t i = 0; i < high.rows.size(); ++i) {
    const std::string file = FileRowText(high.kind, high.language, high.rows[i].values);
    EXPECT_EQ(Fields(file)[12], "4200");
    matched += std::count(expected.begin(), expected.end(), file) == 1;
    // The contact fields, from C1 on.
    const auto a = Fields(file),
               b = Fields(FileRowText(low.kind, low.language, low.rows[i].values));
    changed += std::vector<std::string>(a.begin() + 14, a.end()) !=
               std::vector<std::string>(b.begin() + 14, b.end());
  }
  EXPECT_EQ(matched, high.rows.size());
  EXPECT_GT(changed * 10, high.rows.size() * 9) << changed << " of " << high.rows.size();
}

// The city list of 2024-04-08 over the shipped English file: the large cities of the path see
// totality, those beside it a partial eclipse, and nothing on the far side of the Earth is listed.
TEST(KnownAnswers, CityListOfTheShippedPlaces) {
  const EclipseCatalogue& catalogue = ShippedCatalogue();
  const int position = catalogue.FindByYear(2024);
  ASSERT_EQ(catalogue.RecordAt(position).month, 4);
  const CityListInputs in{
      position, 0, Language::kEnglish,
      std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish)};
  const ReportRun run = ComputeCityList(catalogue, in);
  EXPECT_EQ(run.error, "");
  EXPECT_GT(run.scanned, 100);
  EXPECT_EQ(run.found, static_cast<int>(run.rows.size()));
  auto kindOf = [&](const std::string& city) {
    for (const ReportRow& row : run.rows) {
      const auto fields = Fields(FileRowText(run.kind, run.language, row.values));
      if (fields[9] == city) return fields[4];
    }
    return std::string("none");
  };
  EXPECT_EQ(kindOf("Dallas"), "t");
  EXPECT_EQ(kindOf("Montreal"), "t");
  EXPECT_EQ(kindOf("Toronto"), "p");
  EXPECT_EQ(kindOf("Havana"), "p");
  EXPECT_EQ(kindOf("Tokyo"), "none");
  EXPECT_EQ(kindOf("Sydney"), "none");
}

// Every row of both saved files has as many TAB-separated fields as the header, whichever blocks
// are empty: the city list of 2024-04-08 over every place, and the place history of Basel over
// the whole catalogue, in each language.
TEST(KnownAnswers, EveryFileRowHasTheHeadersFieldCount) {
  const EclipseCatalogue& catalogue = ShippedCatalogue();
  constexpr int kPosition = 16690;
  ASSERT_EQ(catalogue.RecordAt(kPosition).year, 2024);
  for (const Language language : {Language::kGerman, Language::kEnglish, Language::kFrench}) {
    const std::size_t expected = Fields(HeaderLine(language)).size();
    ASSERT_EQ(expected, 36u);
    PlaceHistoryInputs basel;
    basel.name = "Basel";
    basel.country = "Schweiz";
    basel.latitude = 47.55;
    basel.longitude = 7.59;
    basel.height = 254;
    basel.firstYear = -4999;
    basel.lastYear = 7000;
    basel.language = language;
    const CityListInputs everyPlace{
        kPosition, 9, language, std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(language)};
    for (const ReportRun& run :
         {ComputeCityList(catalogue, everyPlace), ComputePlaceHistory(catalogue, basel)}) {
      EXPECT_EQ(run.error, "");
      EXPECT_GT(run.rows.size(), 100u);
      std::size_t hiddenC4 = 0;
      for (const ReportRow& row : run.rows) {
        // getline drops an empty last field; count the separators instead.
        const std::string file = FileRowText(run.kind, run.language, row.values);
        const auto tabs = static_cast<std::size_t>(std::count(file.begin(), file.end(), '\t'));
        ASSERT_EQ(tabs + 1, expected) << file;
        hiddenC4 += file.back() == '\t';
      }
      EXPECT_GT(hiddenC4, 0u);  // rows ending in an empty C4 block were checked too
    }
  }
}

}  // namespace
