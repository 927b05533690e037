// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The two report runs on small catalogues and places files: thresholds, counts and status texts,
// progress and cancelling, places-file errors, the language a run keeps, and saving.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "city_list_run.h"
#include "core/eclipse_fixtures.h"
#include "place_history_run.h"
#include "safe_file.h"
#include "scratch_dir.h"
#include "string_table.h"

using namespace umbrivista;

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

EclipseCatalogue CatalogueOf(std::vector<EclipseRecord> records) {
  EclipseCatalogue catalogue;
  catalogue.Assign(std::move(records));
  return catalogue;
}

// The total eclipse of 2024-04-08 with the umbral cone turned into an antumbral one: annular on
// the centre line.
EclipseRecord Annular() {
  EclipseRecord r = UsableRecord(2024, 4, 8);
  r.l2[0] = -r.l2[0];
  return r;
}

const char* const kPlaces =
    "USA\tDallas\t3278\t-9680\t130\t1197816\r\n"
    "USA\tNew York\t4071\t-7401\t10\t8175133\r\n"
    "Japan\tTokyo\t3569\t13969\t40\t8336599\r\n"
    "USA\tSmall\t3278\t-9680\t130\t2000\r\n"
    "USA\tEmpty\t3278\t-9680\t130\t0\r\n"
    "USA\tOdd\t3278\t-9680\t130\t-5\r\n";

class Runs : public ScratchDirTest {
 protected:
  Runs() : ScratchDirTest("umbrivista_runs_test") {}
  std::string Write(const std::string& bytes, const std::string& name = "places.txt") {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  CityListInputs Inputs(int index, Language language = Language::kEnglish) {
    return {1, index, language, Write(kPlaces)};
  }
  const EclipseCatalogue catalogue_ = CatalogueOf({UsableRecord(2024, 4, 8)});
};

TEST_F(Runs, CityListTakesPlacesFromTheThresholdOn) {
  int calls = 0;
  RunControl control;
  control.progress = [&](const ReportRun&) { ++calls; };
  const ReportRun big = ComputeCityList(catalogue_, Inputs(0), control);
  EXPECT_EQ(calls, 6);  // once per line of the file
  EXPECT_EQ(big.scanned, 3);
  EXPECT_EQ(big.found, 2);  // Tokyo is outside the penumbra
  ASSERT_EQ(big.rows.size(), 2u);
  EXPECT_EQ(big.rows[0].list.substr(0, 31), " 2024  4  8 t USA        Dallas");
  EXPECT_EQ(big.rows[1].list.substr(12, 21), "p USA        New York");
  EXPECT_EQ(big.status, "3 Places scanned. 2 Places found");
  EXPECT_FALSE(big.cancelled);
  EXPECT_EQ(big.error, "");

  // A population equal to the threshold counts; the last item takes population 0 too.
  EXPECT_EQ(ComputeCityList(catalogue_, Inputs(8)).scanned, 4);
  const ReportRun all = ComputeCityList(catalogue_, Inputs(9));
  EXPECT_EQ(all.scanned, 5);
  EXPECT_EQ(all.found, 4);

  EXPECT_THROW(ComputeCityList(catalogue_, Inputs(10)), std::invalid_argument);
  EXPECT_THROW(ComputeCityList(catalogue_, Inputs(0, static_cast<Language>(3))),
               std::invalid_argument);
  CityListInputs outside = Inputs(0);
  outside.position = 2;
  EXPECT_THROW(ComputeCityList(catalogue_, outside), std::out_of_range);
}

TEST_F(Runs, CancelledCityListKeepsItsRowsForSaving) {
  std::atomic<bool> cancel{false};
  RunControl control;
  control.cancel = &cancel;
  control.progress = [&](const ReportRun& run) {
    if (run.found == 1) cancel = true;
  };
  const ReportRun run = ComputeCityList(catalogue_, Inputs(9), control);
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.scanned, 2);  // the line after the one that asked to stop is still finished
  ASSERT_EQ(run.rows.size(), 2u);
  EXPECT_EQ(run.status, "2 Places scanned. 2 Places found");
  const std::string text = SavedReportText(run);
  EXPECT_NE(text.find("\r\n" + FileRowText(run.kind, run.language, run.rows[1].values) + "\r\n"),
            std::string::npos);
}

TEST_F(Runs, BadPlacesLineEndsTheRunAndKeepsEarlierRows) {
  const std::string path = Write(
      "USA\tDallas\t3278\t-9680\t130\t1197816\r\n"
      "USA\tNew York\t4071\t-7401\t10\t8175133\r\n"
      "USA\tBroken\t3278\t-9680\t130\r\n"
      "USA\tAfter\t3278\t-9680\t130\t1197816\r\n");
  const ReportRun run = ComputeCityList(catalogue_, {1, 0, Language::kEnglish, path});
  EXPECT_EQ(run.error, path + ": line 3: 5 fields, six TAB-separated fields expected");
  EXPECT_EQ(run.rows.size(), 2u);
  EXPECT_FALSE(run.cancelled);

  const ReportRun missing = ComputeCityList(catalogue_, {1, 0, Language::kEnglish, path + ".gone"});
  EXPECT_NE(missing.error.find(path + ".gone: cannot open"), std::string::npos);
  EXPECT_TRUE(missing.rows.empty());
}

// The legend, header and letters of a saved file are those of the run's language, whatever runs
// were made after it; saving twice writes the same file, and the rows stay.
TEST_F(Runs, SavedFileKeepsTheRunLanguageAndCanBeSavedAgain) {
  const EclipseCatalogue annular = CatalogueOf({Annular()});
  const std::string path = Write(
      "Mexico\tAxis\t2529\t-10414\t0\t1000000\r\nMexico\tCerca\t2540\t-10400\t0\t1000000\r\n");
  const ReportRun german = ComputeCityList(annular, {1, 0, Language::kGerman, path});
  const ReportRun english = ComputeCityList(annular, {1, 0, Language::kEnglish, path});
  ASSERT_FALSE(german.rows.empty());
  EXPECT_EQ(german.rows[0].list.substr(12, 1), "r");
  EXPECT_EQ(english.rows[0].list.substr(12, 1), "a");

  const std::string first = (dir_ / "first.txt").string();
  SaveReport(german, first);
  SaveReport(german, first);
  const std::string second = (dir_ / "second.txt").string();
  SaveReport(german, second);
  const std::string text = ReadBytes(first);
  EXPECT_EQ(text, ReadBytes(second));
  EXPECT_EQ(text, SavedReportText(german));
  EXPECT_EQ(text.rfind("Legende\r\n", 0), 0u);
  EXPECT_NE(text.find("\r\n" + HeaderLine(Language::kGerman) + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("\tr\t"), std::string::npos);
  EXPECT_EQ(german.rows.size(), english.rows.size());

  EXPECT_THROW(SaveReport(german, (dir_ / "no" / "such" / "folder.txt").string()), FileWriteError);
}

class History : public Runs {
 protected:
  // One eclipse a year on 8 April from 1980 to 2024.
  static EclipseCatalogue Yearly() {
    std::vector<EclipseRecord> records;
    for (int year = 1980; year <= 2024; ++year) records.push_back(UsableRecord(year, 4, 8));
    return CatalogueOf(records);
  }
  static PlaceHistoryInputs Dallas() {
    PlaceHistoryInputs in;
    in.name = "Dallas";
    in.country = "USA";
    in.latitude = 32.78;
    in.longitude = -96.80;
    in.height = 130;
    return in;
  }
  const EclipseCatalogue yearly_ = Yearly();
};

TEST_F(History, YearRangeSelectsAndStatusCountsEveryRecord) {
  int calls = 0;
  RunControl control;
  control.progress = [&](const ReportRun&) { ++calls; };
  const ReportRun all = ComputePlaceHistory(yearly_, Dallas(), control);
  EXPECT_EQ(calls, 2);  // at records 20 and 40
  EXPECT_EQ(all.scanned, 45);
  EXPECT_GT(all.found, 0);
  EXPECT_EQ(all.status, "45 eclipses scanned. " + std::to_string(all.found) + " eclipses found");

  PlaceHistoryInputs in = Dallas();
  in.firstYear = 1001;
  in.lastYear = 1000;
  const ReportRun none = ComputePlaceHistory(yearly_, in);
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.status, "45 eclipses scanned. 0 eclipses found");
  EXPECT_EQ(SavedReportText(none),
            SavedFileText(ReportKind::kPlaceHistory, Language::kEnglish, {}));

  in.firstYear = in.lastYear = 2024;
  const ReportRun one = ComputePlaceHistory(yearly_, in);
  ASSERT_EQ(one.rows.size(), 1u);
  EXPECT_EQ(FileRowText(one.kind, one.language, one.rows[0].values).substr(0, 9), "2024\t4\t8\t");
  EXPECT_EQ(one.rows[0].list.substr(21, 5), "Dalla");
  in.firstYear = -4999;
  in.lastYear = 7000;
  EXPECT_EQ(ComputePlaceHistory(yearly_, in).rows.size(), all.rows.size());
}

TEST_F(History, CancelStopsAtTheNextRecord) {
  std::atomic<bool> cancel{false};
  RunControl control;
  control.cancel = &cancel;
  control.progress = [&](const ReportRun&) { cancel = true; };
  const ReportRun run = ComputePlaceHistory(yearly_, Dallas(), control);
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.scanned, 20);
  EXPECT_LE(run.rows.size(), 20u);
}

TEST_F(History, NumbersOutsideTheirLimitsAreRefusedNamingTheField) {
  EXPECT_EQ(ReadPlaceNumber(PlaceField::kLatitude, "90"), 90);
  EXPECT_EQ(ReadPlaceNumber(PlaceField::kLatitude, "-47.5"), -47.5);
  EXPECT_EQ(ReadPlaceNumber(PlaceField::kLongitude, "+180"), 180);
  EXPECT_EQ(ReadPlaceNumber(PlaceField::kHeight, "-500"), -500);
  for (const char* text : {"91", "nan", "inf", "1e999", "7,5", "", "4O"}) {
    EXPECT_FALSE(ReadPlaceNumber(PlaceField::kLatitude, text)) << text;
  }
  EXPECT_FALSE(ReadPlaceNumber(PlaceField::kLongitude, "180.001"));
  EXPECT_FALSE(ReadPlaceNumber(PlaceField::kHeight, "1e12"));
  EXPECT_FALSE(ReadPlaceNumber(PlaceField::kHeight, "9000.5"));

  EXPECT_EQ(InvalidPlaceNumberMessage(PlaceField::kLatitude, "91", Language::kEnglish),
            "Latitude (degrees) \"91\" is not a valid number");
  EXPECT_EQ(InvalidPlaceNumberMessage(PlaceField::kHeight, "1e12", Language::kGerman),
            "Höhe (m) \"1e12\" ist kein gültiger Wert");
  EXPECT_EQ(InvalidPlaceNumberMessage(PlaceField::kLongitude, "nan", Language::kFrench),
            "Longitude géogr. (°) \"nan\" valeur non valide");

  // The run itself refuses what the window or the command line let through.
  PlaceHistoryInputs in = Dallas();
  in.latitude = 91;
  ReportRun run = ComputePlaceHistory(yearly_, in);
  EXPECT_EQ(run.error, "Latitude (degrees) \"91\" is not a valid number");
  EXPECT_EQ(run.scanned, 0);
  in = Dallas();
  in.longitude = NAN;
  EXPECT_EQ(ComputePlaceHistory(yearly_, in).error,
            "Longitude (degrees) \"nan\" is not a valid number");
  in = Dallas();
  in.height = 9001;
  EXPECT_EQ(ComputePlaceHistory(yearly_, in).error, "Height (m) \"9001\" is not a valid number");

  EXPECT_EQ(RoundHeight(254.5), 254);
  EXPECT_EQ(RoundHeight(255.5), 256);
  EXPECT_EQ(RoundHeight(-0.5), 0);
}

// A name with a TAB or a line break cannot shift the columns or split the line of the file.
TEST_F(History, NamesCannotBreakTheFileLayout) {
  PlaceHistoryInputs in = Dallas();
  in.name = "Dal\tlas\r\nTX";
  in.country = "U\tS\nA";
  in.firstYear = in.lastYear = 2024;
  const ReportRun run = ComputePlaceHistory(yearly_, in);
  ASSERT_EQ(run.rows.size(), 1u);
  const std::string file = FileRowText(run.kind, run.language, run.rows[0].values);
  EXPECT_EQ(file.find_first_of("\r\n"), std::string::npos);
  std::size_t tabs = 0;
  for (const char c : file) tabs += c == '\t';
  EXPECT_EQ(tabs, 35u);
  EXPECT_NE(file.find("\tU S A\tDal las  TX\t"), std::string::npos);
}

}  // namespace
