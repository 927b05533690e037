// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The table view of a report's rows, the window captions and the year choice of the place
// history: sorting by value rather than by text, empty cells last, the country filter, and the
// years typed or chosen.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "city_list_run.h"
#include "julian_day.h"
#include "report_table.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

// A row of a total eclipse seen on 8 April of `year`, greatest at noon, with the given ΔT,
// country, place, population and latitude; C4 at `c4` hours from 0 h of that day (hidden when
// absent, after 24 on the next day) and the central phase `duration` seconds long (none when
// absent).
ReportRow Row(double deltaT, const std::string& country, const std::string& place,
              std::int32_t population, std::optional<double> c4, std::optional<int> duration,
              double latitude, int year) {
  ReportRow row;
  ReportRowValues& v = row.values;
  v.year = year;
  v.month = 4;
  v.day = 8;
  v.deltaT = deltaT;
  v.kind = 't';
  v.country = country;
  v.place = place;
  v.latitude = latitude;
  v.population = population;
  const double midnight = CalendarToJD(year, 4, 8, 0, 0, 0);
  v.shown[kMax] = true;
  v.when[kMax] = {midnight + 0.5, year, 4, 8, 12};
  if (c4) {
    v.shown[kC4] = true;
    v.when[kC4] = {midnight + *c4 / 24, year, 4, *c4 < 24 ? 8 : 9, std::fmod(*c4, 24)};
  }
  v.hasDuration = duration.has_value();
  v.durationSeconds = duration.value_or(0);
  return row;
}

std::vector<std::string> Column(const ReportTable& table, int column) {
  std::vector<std::string> cells;
  for (int r = 0; r < table.RowCount(); ++r) cells.emplace_back(table.Cell(r, column));
  return cells;
}

int ColumnNamed(const ReportTable& table, const std::string& name) {
  for (int c = 0; c < table.ColumnCount(); ++c)
    if (table.ColumnName(c) == name) return c;
  ADD_FAILURE() << "no column " << name;
  return 0;
}

TEST(ReportTableTest, SortsEachKindOfColumnByValueWithEmptyCellsLast) {
  const std::vector<ReportRow> rows = {
      Row(69.2, "Peru", "Lima", 9000, 9 + 5 / 60.0, 245, -12.0, 2024),
      Row(100.5, "\u00d6sterreich", "Wien", 1800000, {}, {}, 48.2, -584),
      Row(9.5, "Norwegen", "Oslo", 5000, 23 + 59 / 60.0 + 59 / 3600.0, 601, 59.9, 1999),
      Row(-3.0, "norwegen", "Bergen", 250000, 25 + 1 / 3600.0, 59, 60.4, 1999),
  };
  ReportTable table;
  table.Assign(rows, ReportKind::kCityList, Language::kGerman);
  ASSERT_EQ(table.ColumnCount(), 34);
  EXPECT_EQ(table.ColumnName(0), "JJJJ-MM-TT");
  EXPECT_EQ(Column(table, 0)[1], "-0584-04-08");
  const struct {
    const char* column;
    bool ascending;
    std::vector<std::string> places;  // the order the place column shows
  } cases[] = {
      {"DeltaT", true, {"Bergen", "Oslo", "Lima", "Wien"}},
      {"DeltaT", false, {"Wien", "Lima", "Oslo", "Bergen"}},
      {"Einw.", true, {"Oslo", "Lima", "Bergen", "Wien"}},
      {"Einw.", false, {"Wien", "Bergen", "Lima", "Oslo"}},
      {"4.K.(UT)", true, {"Lima", "Oslo", "Bergen", "Wien"}},  // past 24 after 23:59:59; none last
      {"mm:ss", false, {"Oslo", "Lima", "Bergen", "Wien"}},
      {"Breite", true, {"Lima", "Wien", "Oslo", "Bergen"}},
      {"JJJJ-MM-TT", true, {"Wien", "Oslo", "Bergen", "Lima"}},  // ties keep the run's order
      {"Land", true, {"Oslo", "Bergen", "Wien", "Lima"}},        // case and umlaut folded
  };
  for (const auto& c : cases) {
    table.Sort(ColumnNamed(table, c.column), c.ascending);
    EXPECT_EQ(Column(table, ColumnNamed(table, "Ort")), c.places)
        << c.column << (c.ascending ? " ascending" : " descending");
  }
  EXPECT_TRUE(table.RightAligned(ColumnNamed(table, "Einw.")));
  EXPECT_FALSE(table.RightAligned(ColumnNamed(table, "Ort")));
  // The filter keeps the order and shows one country's rows; the list of countries is folded
  // alphabetical, each spelling once.
  EXPECT_EQ(table.Countries(),
            (std::vector<std::string>{"Norwegen", "norwegen", "\u00d6sterreich", "Peru"}));
  table.FilterCountry("Norwegen");
  EXPECT_EQ(Column(table, ColumnNamed(table, "Ort")), (std::vector<std::string>{"Oslo"}));
  table.Sort(ColumnNamed(table, "DeltaT"), true);
  table.FilterCountry("");
  EXPECT_EQ(table.RowCount(), 4);
  EXPECT_EQ(table.Cell(0, ColumnNamed(table, "Ort")), "Bergen");
}

TEST(ReportTableTest, ShowsTheRunsFullNamesUnderTheSavedFilesColumnNames) {
  CityListInputs inputs;
  inputs.position = 16690;
  inputs.thresholdIndex = 0;
  inputs.language = Language::kEnglish;
  inputs.placesFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish);
  const ReportRun run = ComputeCityList(ShippedCatalogue(), inputs, {});
  ASSERT_GT(run.rows.size(), 10u);
  ReportTable table;
  table.Assign(run.rows, run.kind, run.language);
  ASSERT_EQ(table.ColumnCount(), 34);
  EXPECT_EQ(table.ColumnName(6), "Country");
  EXPECT_EQ(table.ColumnName(33), "H°");
  bool longName = false;
  for (int r = 0; r < table.RowCount(); ++r) {
    EXPECT_EQ(table.Cell(r, 6), run.rows[static_cast<std::size_t>(r)].values.country);
    longName = longName || table.Cell(r, 6).size() > 10;
  }
  EXPECT_TRUE(longName);  // "United States" and the like, cut in the list, whole here
  ASSERT_EQ(table.ColumnName(25), "mm:ss");
  table.Sort(25, false);  // duration, longest first
  EXPECT_GE(ClockSeconds(table.Cell(0, 25)).value_or(-1),
            ClockSeconds(table.Cell(1, 25)).value_or(-1));
}

TEST(ReportTableTest, ClockTextsAndFoldedNames) {
  const struct {
    const char* text;
    std::optional<double> seconds;
  } clocks[] = {{"18:40:40", 67240},     {"25:00:01", 90001},
                {"4:28", 268},           {"0:05", 5},
                {"", std::nullopt},      {"4:7", std::nullopt},
                {"-1:00", std::nullopt}, {"12", std::nullopt},
                {"1:60", std::nullopt},  {"1:2:3:4", std::nullopt}};
  for (const auto& c : clocks) EXPECT_EQ(ClockSeconds(c.text), c.seconds) << c.text;
  EXPECT_EQ(FoldedText("\u00c9le-de-Fran\u00e7e Stra\u00dfe"), "ele-de-france strasse");
  EXPECT_EQ(FoldedText("\u041c\u043e\u0441\u043a\u0432\u0430"),
            "\u041c\u043e\u0441\u043a\u0432\u0430");
}

TEST(ReportTableTest, CaptionsNameTheReportAndTheEclipseOrPlace) {
  const EclipseRecord& eclipse = ShippedCatalogue().RecordAt(16690);
  EXPECT_EQ(CityListCaption(&eclipse, Language::kEnglish), "City list \u2013 2024-04-08 total");
  EXPECT_EQ(CityListCaption(&eclipse, Language::kGerman),
            "St\u00e4dteliste \u2013 2024-04-08 total");
  EXPECT_EQ(CityListCaption(&eclipse, Language::kFrench),
            "Liste des villes \u2013 2024-04-08 totale");
  EXPECT_EQ(CityListCaption(nullptr, Language::kEnglish), "City list");
  EXPECT_EQ(PlaceHistoryCaption("Abra Pampa", 1901, 2100, Language::kEnglish),
            "Place history \u2013 Abra Pampa, +1901 \u2026 +2100");
  EXPECT_EQ(PlaceHistoryCaption("", -999, 0, Language::kFrench),
            "\u00c9clipses en un lieu \u2013 -999 \u2026 0");
  EXPECT_EQ(PlaceHistoryCaption("A\tB", std::nullopt, 0, Language::kGerman),
            "Finsternisse an einem Ort \u2013 A B");
  for (int type = 1; type <= 6; ++type)
    for (Language l : {Language::kGerman, Language::kEnglish, Language::kFrench})
      EXPECT_FALSE(CaptionTypeWord(type, l).empty());
}

TEST(ReportTableTest, YearsTypedOrChosen) {
  const struct {
    const char* text;
    std::optional<int> year;
  } years[] = {
      {"+2000", 2000},     {" 2000 ", 2000},        {"-4999", -4999},        {"0", 0},
      {"7000", 7000},      {"7001", std::nullopt},  {"-5000", std::nullopt}, {"", std::nullopt},
      {"+", std::nullopt}, {"20 00", std::nullopt}, {"2e3", std::nullopt}};
  for (const auto& y : years) EXPECT_EQ(ParseYearText(y.text), y.year) << y.text;
  EXPECT_EQ(YearText(2000), "+2000");
  EXPECT_EQ(YearText(-999), "-999");
  EXPECT_EQ(YearText(0), "0");
  // The settings keep an item's index: the year's own item, else the nearest.
  ASSERT_EQ(FirstYearItems().size(), 14u);
  ASSERT_EQ(LastYearItems().size(), 14u);
  EXPECT_EQ(YearItemIndex(FirstYearItems(), 1951), 8);
  EXPECT_EQ(YearItemIndex(FirstYearItems(), 2000), 9);  // +2001
  EXPECT_EQ(YearItemIndex(FirstYearItems(), 1976), 8);  // as near to +1951 as +2001: the earlier
  EXPECT_EQ(YearItemIndex(LastYearItems(), 2024), 6);   // +2000
  EXPECT_EQ(YearItemIndex(LastYearItems(), -6000), 0);
  // A first run: the items around the present year.
  const struct {
    int present, first, last;
  } around[] = {{2026, 9, 7}, {2001, 9, 7}, {2000, 8, 6}, {2051, 9, 8}, {7000, 13, 13}};
  for (const auto& a : around) {
    const YearChoice choice = YearsAround(a.present);
    EXPECT_EQ(FirstYearItems()[static_cast<std::size_t>(choice.firstIndex)],
              FirstYearItems()[static_cast<std::size_t>(a.first)])
        << a.present;
    EXPECT_EQ(LastYearItems()[static_cast<std::size_t>(choice.lastIndex)],
              LastYearItems()[static_cast<std::size_t>(a.last)])
        << a.present;
  }
  EXPECT_EQ(InvalidYearMessage(true, "abc", Language::kEnglish),
            "First year \"abc\" is not a year between -4999 and 7000");
}

TEST(ReportTableTest, FindsThePlaceInTheFileOfAnotherLanguage) {
  const std::string de = std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kGerman);
  const std::string en =
      std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish);
  const CityList cities = ReadCities(de, "Vereinigtes K\u00f6nigreich");
  ASSERT_FALSE(cities.places.empty());
  const std::optional<Place> same = FindSamePlace(en, cities.places.front());
  ASSERT_TRUE(same);
  EXPECT_EQ(same->country, "United Kingdom");
  EXPECT_FALSE(FindSamePlace(de + ".missing", cities.places.front()));
}

}  // namespace
}  // namespace umbrivista
