// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built umbrivista-cli and checks what it prints and its exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <vector>

#include "catalogue.h"
#include "city_list_run.h"
#include "cli_runner.h"
#include "core/eclipse_fixtures.h"
#include "deltat.h"
#include "place_history_run.h"
#include "places_file.h"
#include "scratch_dir.h"
#include "shipped_catalogue.h"
#include "string_table.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

class Cli : public ScratchDirTest {
 protected:
  Cli() : ScratchDirTest("umbrivista_cli_test") {}
};

TEST(CliDeltaT, PrintsSeconds) {
  EXPECT_EQ(RunCli("deltat 2016 3").out, "68.0\n");
  EXPECT_EQ(RunCli("deltat 2016 4").out, "68.3964\n");
  EXPECT_EQ(RunCli("deltat 2021 1").out.substr(0, 5), "69.95");
  EXPECT_EQ(RunCli("deltat -1000 6").status, 0);
  EXPECT_EQ(RunCli("deltat 2016 13").status, 2);
  EXPECT_EQ(RunCli("deltat 2016.5 3").status, 2);
}

TEST_F(Cli, ConvertShowFindInfo) {
  const std::string text = (dir_ / "cat.txt").string();
  const std::string bin = (dir_ / "cat.bin").string();
  {
    std::ofstream out(text);
    const int years[] = {-4999, -10, 2024, 2024, 7000};
    const int days[] = {10, 1, 1, 29, 1};
    const int saros[] = {5, 139, 120, 139, 200};
    for (int i = 0; i < 5; ++i) {
      out << FormatCatalogueLine(UsableRecord(years[i], 3, days[i], saros[i], i + 1, 71)) << "\n";
    }
  }
  auto r = RunCli("catalogue convert " + text + " " + bin);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "records\t5\n");
  EXPECT_EQ(fs::file_size(bin), 5 * kEclipseRecordSize);

  const std::string cat = " --catalogue " + bin;
  EXPECT_EQ(RunCli("catalogue info" + cat).out,
            "records\t5\nfirst\t-4999-03-10\nlast\t7000-03-01\nsaros_min\t5\nsaros_max\t200\n");
  EXPECT_EQ(RunCli("catalogue find --year 0" + cat).out, "3\n");
  EXPECT_EQ(RunCli("catalogue find --year -20000" + cat).out, "1\n");
  EXPECT_EQ(RunCli("catalogue find --saros 139" + cat).out, "2\n");
  const std::string line = RunCli("catalogue show 2" + cat).out;
  EXPECT_EQ(line.substr(0, 9), "-10 3 1 2");
  EXPECT_EQ(line.substr(line.size() - 6), " 2 71\n");
  EXPECT_EQ(RunCli("catalogue show 0" + cat).status, 2);
  EXPECT_EQ(RunCli("catalogue show 6" + cat).status, 2);

  // A series outside the catalogue's range, or a gap inside it, is said to be missing.
  r = RunCli("catalogue find --saros 400" + cat, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "umbrivista-cli: no eclipse of Saros 400 in the catalogue (it holds series 5 … 200)\n");
  EXPECT_EQ(RunCli("catalogue find --saros 6" + cat).status, 1);
  EXPECT_EQ(RunCli("catalogue find --saros 4" + cat).status, 1);
  // Both or neither option is a usage error, checked before the catalogue is read.
  EXPECT_EQ(RunCli("catalogue find --year 2000 --saros 3" + cat).status, 2);
  EXPECT_EQ(RunCli("catalogue find" + cat).status, 2);
}

TEST_F(Cli, ErrorsNameTheFileAndTheField) {
  const std::string odd = (dir_ / "odd.bin").string();
  std::ofstream(odd, std::ios::binary) << std::string(171, 'x');
  auto r = RunCli("catalogue info --catalogue " + odd, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(odd), std::string::npos) << r.out;

  r = RunCli("catalogue info --catalogue " + dir_.string(), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "umbrivista-cli: " + dir_.string() + ": is a folder, not a file\n");

  const std::string text = (dir_ / "bad.txt").string();
  std::ofstream(text) << "2024 4 x\n";
  r = RunCli("catalogue convert " + text + " " + (dir_ / "out.bin").string(), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(text + ": line 1: field day: not an integer"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(dir_ / "out.bin"));

  // Nothing invalid is written: a record with an impossible date stops the conversion.
  EclipseRecord damaged = UsableRecord(2024, 4, 8);
  damaged.day = 31;
  std::ofstream(text) << FormatCatalogueLine(damaged) << "\n";
  r = RunCli("catalogue convert " + text + " " + (dir_ / "out.bin").string(), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(text + ": line 1: field day: 31 lies outside 1 … 30"), std::string::npos)
      << r.out;
  EXPECT_FALSE(fs::exists(dir_ / "out.bin"));

  // Converting a file onto itself would destroy the only copy of the text form.
  const std::string same = (dir_ / "same.txt").string();
  const std::string sameText = FormatCatalogueLine(UsableRecord(2024, 4, 8)) + "\n";
  std::ofstream(same) << sameText;
  r = RunCli("catalogue convert " + same + " " + same, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(same + ": cannot write: it is the same file as the source"),
            std::string::npos)
      << r.out;
  std::ifstream in(same);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), sameText);

  EXPECT_EQ(RunCli("nonsense").status, 2);
}

// --data-dir and UMBRIVISTA_DATA name the first folder of the data-file lookup.
TEST_F(Cli, DataFolderComesFirst) {
  std::ofstream(dir_ / kCatalogueFileName, std::ios::binary) << std::string(171, 'x');
  const std::string expected = (dir_ / kCatalogueFileName).string();
  auto r = RunCli("catalogue info --data-dir " + dir_.string(), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
  r = RunCli("catalogue info", true);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string env = "UMBRIVISTA_DATA=" + dir_.string() + " ";
  const std::string cmd = env + UMBRIVISTA_BIN_DIR + "/umbrivista-cli catalogue info 2>&1";
  FILE* pipe = popen(cmd.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buf[512] = "";
  const std::size_t n = fread(buf, 1, sizeof buf - 1, pipe);
  buf[n] = '\0';
  EXPECT_NE(WEXITSTATUS(pclose(pipe)), 0);
  EXPECT_NE(std::string(buf).find(expected), std::string::npos) << buf;
}

// Records that once made `local` loop for ever, reach undefined behaviour or print nonsense dates
// with success now end at once with an error naming record and field.
TEST_F(Cli, DamagedRecordsAreClearErrors) {
  auto writeBinary = [&](const std::string& name, const EclipseRecord& record) {
    const auto bytes = EncodeCatalogue({record});
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
  };
  EclipseRecord hugeMonth = UsableRecord(100, 4, 8);
  hugeMonth.month = 2147483647;
  EclipseRecord hugeYear = UsableRecord(2024, 4, 8);
  hugeYear.year = INT32_MIN;
  std::mt19937 rng(3);
  std::string random(kEclipseRecordSize, '\0');
  for (char& c : random) c = static_cast<char>(rng());
  const std::string randomPath = (dir_ / "random.bin").string();
  std::ofstream(randomPath, std::ios::binary) << random;

  const std::pair<std::string, std::string> cases[] = {
      {writeBinary("month.bin", hugeMonth), ": record 1: field month: 2147483647 lies outside"},
      {writeBinary("year.bin", hugeYear), ": record 1: field year: -2147483648 lies outside"},
      {randomPath, ": record 1: field "},
  };
  for (const auto& [path, words] : cases) {
    for (const std::string command : {"local 1 --lat 10 --lon 10", "catalogue show 1",
                                      "catalogue info", "elements 1 0", "centreline 1"}) {
      const Result r = RunCli(command + " --catalogue " + path, true);
      EXPECT_EQ(r.status, 1) << command << " " << path;
      EXPECT_EQ(r.out.rfind("umbrivista-cli: " + path + words, 0), 0u) << r.out;
    }
  }
}

TEST(CliNumbers, EveryNumberIsCheckedAgainstItsRange) {
  const std::pair<std::string, std::string> cases[] = {
      {"elements 16690 10.5", "T must lie in -10 … 10 hours, not \"10.5\""},
      {"elements 16690 -inf", "T must lie in -10 … 10 hours, not \"-inf\""},
      {"elements 16690 nan", "T must lie in -10 … 10 hours, not \"nan\""},
      {"elements 16690 1e999", "T must lie in -10 … 10 hours, not \"1e999\""},
      {"render 16690 -11 --out x.png", "T must lie in -10 … 10 hours"},
      {"local 16690 --lat 91 --lon 0", "--lat must lie in -90 … 90 degrees, not \"91\""},
      {"local 16690 --lat -inf --lon 0", "--lat must lie in -90 … 90 degrees, not \"-inf\""},
      {"local 16690 --lat 10 --lon 0 --height 9001", "--height must lie in -500 … 9000, not"},
      {"local 16690 --lat 10 --lon 0 --height -501", "--height must lie in -500 … 9000"},
      {"local 16690 --lat 10 --lon 0 --deltat 2e6", "--deltat must lie in"},
      {"deltat 100000 1", "YEAR must lie in -99999 … 99999, not \"100000\""},
      {"deltat -100000 1", "YEAR must lie in -99999 … 99999"},
      {"deltat 2024 0", "MONTH must lie in 1 … 12, not \"0\""},
      {"catalogue find --year 123456", "--year must lie in -99999 … 99999"},
      {"local 16690 --lat 10 --lon 0 --lang xx", "--lang must be de, en or fr, not \"xx\""},
  };
  for (const auto& [args, message] : cases) {
    const Result r = RunCli(args, true);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out.rfind("umbrivista-cli: " + message, 0), 0u) << args << ": " << r.out;
  }
  EXPECT_EQ(RunCli("deltat -99999 1").status, 0);
  EXPECT_EQ(RunCli("deltat 99999 12").status, 0);
  EXPECT_EQ(RunCli("elements 16690 -10").status, 0);
  EXPECT_EQ(RunCli("local 16690 --lat 10 --lon 0 --height 9000").status, 0);

  // Echoed input is cut to 80 characters.
  const Result r = RunCli("elements 16690 " + std::string(300, '9') + "x", true);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("\"" + std::string(80, '9') + "…\""), std::string::npos) << r.out;
  EXPECT_LT(r.out.size(), 200u);
}

// ---- end to end on the shipped catalogue ----

int PositionOf(int year, int month, int day) {
  const auto& records = ShippedCatalogue().Records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].year == year && records[i].month == month && records[i].day == day) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

// "NAME<TAB>value" lines, or the fields of the line starting with NAME.
std::vector<std::string> Fields(const std::string& out, const std::string& name) {
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(name + "\t", 0) != 0) continue;
    std::vector<std::string> fields;
    std::istringstream cells(line.substr(name.size() + 1));
    std::string cell;
    while (std::getline(cells, cell, '\t')) fields.push_back(cell);
    return fields;
  }
  return {};
}

double Seconds(const std::string& hhmmss) {
  return std::stoi(hhmmss.substr(0, 2)) * 3600 + std::stoi(hhmmss.substr(3, 2)) * 60 +
         std::stod(hhmmss.substr(6));
}

// Published facts: the first solar eclipse of 2024 is that of April 8, Saros 139 opened with a
// partial eclipse on 1501-05-17, and NASA gives greatest eclipse of 2024-04-08 at 18:18:29 TD
// (t = 0.3081 h) at 25.29° N, 104.14° W (with ΔT) with 4m28s of totality, a path 197.5 km wide and
// the Sun 69.8° high.
TEST(CliShipped, CatalogueAndElementsMatchPublishedFacts) {
  EXPECT_EQ(RunCli("catalogue info").out,
            "records\t28501\nfirst\t-4999-03-04\nlast\t7000-11-15\nsaros_min\t-108\n"
            "saros_max\t327\n");
  EXPECT_EQ(RunCli("catalogue find --year 2024").out, "16690\n");
  const std::string first139 = RunCli("catalogue find --saros 139").out;
  EXPECT_EQ(RunCli("catalogue show " + first139).out.substr(0, 12), "1501 5 17 1 ");
  EXPECT_EQ(RunCli("catalogue show 16690").out.substr(0, 10), "2024 4 8 2");

  const Result r = RunCli("elements 16690 0.3081");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Fields(r.out, "axis_on_earth"), std::vector<std::string>{"1"});
  EXPECT_NEAR(std::stod(Fields(r.out, "lat_deg").at(0)), 25.29, 0.02);
  EXPECT_NEAR(std::stod(Fields(r.out, "lon_deg").at(0)), -104.14 - 0.30, 0.03);  // TT: no ΔT
  EXPECT_NEAR(std::stod(Fields(r.out, "duration_s").at(0)), 268, 1.5);
  EXPECT_NEAR(std::stod(Fields(r.out, "path_width_km").at(0)), 197.5, 1.5);
  EXPECT_NEAR(std::stod(Fields(r.out, "sun_alt_deg").at(0)), 69.8, 0.1);
  const Result ut = RunCli("elements 16690 0.3081 --ut");
  EXPECT_NEAR(std::stod(Fields(ut.out, "lon_deg").at(0)), -104.14, 0.03);
}

// Dallas, 2024-04-08. Published (NASA, F. Espenak): totality 18:40:43 – 18:44:34 UT, 3m51s;
// the partial phase from 12:23 to 15:02 CDT. Those tables use ΔT = 69.1 s, which --deltat takes.
TEST(CliShipped, LocalAtDallasMatchesThePublishedContacts) {
  const int position = PositionOf(2024, 4, 8);
  ASSERT_EQ(position, 16690);
  const std::string place = "local 16690 --lat 32.78 --lon -96.80 --height 130";
  Result r = RunCli(place + " --deltat 69.1");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Fields(r.out, "kind"), std::vector<std::string>{"t"});
  EXPECT_EQ(Fields(r.out, "duration"), std::vector<std::string>{"3:51"});
  ASSERT_EQ(Fields(r.out, "C2").size(), 8u) << r.out;
  EXPECT_EQ(Fields(r.out, "C2")[0], "2024-04-08");
  EXPECT_NEAR(Seconds(Fields(r.out, "C2")[1]), Seconds("18:40:43"), 1.5);
  EXPECT_NEAR(Seconds(Fields(r.out, "C3")[1]), Seconds("18:44:34"), 1.5);
  EXPECT_NEAR(Seconds(Fields(r.out, "C1")[1]), Seconds("17:23:30"), 30);
  EXPECT_NEAR(Seconds(Fields(r.out, "C4")[1]), Seconds("20:02:30"), 30);
  const double c2Published = Seconds(Fields(r.out, "C2")[1]);

  // With the program's own ΔT (71.8 s) the UT contacts come about the ΔT difference earlier.
  r = RunCli(place);
  const double c2Own = Seconds(Fields(r.out, "C2")[1]);
  EXPECT_NEAR(c2Published - c2Own, DeltaT(2024, 4) - 69.1, 1.0);

  // East longitude is positive: the same numbers east of Greenwich lie in China, where the Sun
  // is below the horizon for the whole eclipse.
  r = RunCli("local 16690 --lat 32.78 --lon 96.80");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(Fields(r.out, "kind"), std::vector<std::string>{"t"}) << r.out;
  for (const char* contact : {"C1", "MAX", "C4"}) {
    const auto fields = Fields(r.out, contact);
    if (!fields.empty()) {
      EXPECT_LT(std::stod(fields.at(4)), 0) << r.out;
    }
  }
}

TEST(CliShipped, UniversalTimeTurnsTheEarthUnderTheAxisPoint) {
  const Result tt = RunCli("elements 16690 0.3");
  const Result ut = RunCli("elements 16690 0.3 --ut");
  ASSERT_EQ(tt.status, 0);
  ASSERT_EQ(ut.status, 0);
  const double shift =
      std::stod(Fields(ut.out, "lon_deg").at(0)) - std::stod(Fields(tt.out, "lon_deg").at(0));
  EXPECT_NEAR(shift, DeltaT(2024, 4) * 0.00417807, 2e-6);
  EXPECT_NEAR(shift, 0.30009, 1e-4);
  EXPECT_EQ(Fields(ut.out, "lat_deg"), Fields(tt.out, "lat_deg"));
  EXPECT_EQ(Fields(ut.out, "duration_s"), Fields(tt.out, "duration_s"));
}

// The path of 2012-11-13 runs from Australia across the 180° meridian into the South Pacific:
// the GeoJSON line is cut there into two pieces that meet on it, every longitude within ±180°.
TEST(CliShipped, GeoJsonCentreLineIsCutAtTheDateLine) {
  const int position = PositionOf(2012, 11, 13);
  ASSERT_GT(position, 0);
  const Result r = RunCli("centreline " + std::to_string(position) + " --format geojson");
  ASSERT_EQ(r.status, 0);
  ASSERT_NE(r.out.find("\"type\":\"MultiLineString\""), std::string::npos) << r.out;
  const std::size_t cut = r.out.find("]],[[");
  ASSERT_NE(cut, std::string::npos);
  const std::size_t endOfFirst = r.out.rfind('[', cut);
  const std::string last = r.out.substr(endOfFirst + 1, cut - endOfFirst - 1);
  const std::string first = r.out.substr(cut + 5, r.out.find(']', cut + 5) - cut - 5);
  EXPECT_EQ(last.substr(0, 11), "180.000000,");
  EXPECT_EQ(first.substr(0, 12), "-180.000000,");
  EXPECT_EQ(last.substr(11), first.substr(12));
  EXPECT_EQ(r.out.find("]],[[", cut + 1), std::string::npos);
  // The TSV keeps every longitude within ±180°.
  const Result tsv = RunCli("centreline " + std::to_string(position));
  std::istringstream lines(tsv.out);
  double lon, lat;
  int count = 0, west = 0;
  while (lines >> lon >> lat) {
    ++count;
    EXPECT_LE(std::fabs(lon), 180);
    west += lon < 0;
  }
  EXPECT_EQ(count, 201);
  EXPECT_GT(west, 0);
}

TEST(CliShipped, NonCentralCentreLineIsAValidEmptyDocument) {
  const auto& records = ShippedCatalogue().Records();
  int position = 0;
  while (records[position].typeCode != 1) ++position;
  const std::string pos = std::to_string(position + 1);
  Result r = RunCli("centreline " + pos + " --format geojson");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("{\"type\":\"Feature\",\"properties\":{\"name\":\"Centre line ", 0), 0u);
  EXPECT_NE(r.out.find("\"geometry\":null}\n"), std::string::npos) << r.out;
  r = RunCli("centreline " + pos + " --format kml");
  EXPECT_NE(r.out.find("<Document>\n<name>Centre line "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("</Document>\n</kml>\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Placemark"), std::string::npos);
  r = RunCli("centreline " + pos + " --format tsv", true);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("not central"), std::string::npos) << r.out;
}

// ---- the reports ----

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ShippedPlaces(Language language) {
  return std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(language);
}

// The file written is what the reports' "Save as" writes for the same inputs, byte for byte, and
// "--out -" prints the same bytes.
TEST_F(Cli, CityListWritesTheSavedReport) {
  const fs::path out = dir_ / "cities.txt";
  Result r = RunCli("citylist 16690 --threshold-index 0 --out " + out.string());
  ASSERT_EQ(r.status, 0);
  const ReportRun run = ComputeCityList(
      ShippedCatalogue(), {16690, 0, Language::kEnglish, ShippedPlaces(Language::kEnglish)});
  ASSERT_GT(run.rows.size(), 10u);
  EXPECT_EQ(ReadFile(out), SavedReportText(run));
  EXPECT_EQ(RunCli("citylist 16690 --threshold-index 0 --out -").out, SavedReportText(run));

  r = RunCli("citylist 16690 --threshold-index 1 --lang fr --out -");
  EXPECT_EQ(r.out.rfind("La légende\r\n", 0), 0u);
  const ReportRun french = ComputeCityList(
      ShippedCatalogue(), {16690, 1, Language::kFrench, ShippedPlaces(Language::kFrench)});
  EXPECT_EQ(r.out, SavedReportText(french));
}

TEST_F(Cli, CityListStopsOnABadPlacesLine) {
  const fs::path places = dir_ / "places.txt";
  std::ofstream(places, std::ios::binary) << "USA\tDallas\t3278\t-9680\t130\t1197816\r\n"
                                          << "USA\tBad\t3278\t-96x0\t130\t1197816\r\n";
  const fs::path out = dir_ / "out.txt";
  std::ofstream(out, std::ios::binary) << "old";
  const Result r = RunCli(
      "citylist 16690 --threshold-index 9 --places " + places.string() + " --out " + out.string(),
      true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "umbrivista-cli: " + places.string() +
                       ": line 2: longitude: \"-96x0\" is not a whole number\n");
  EXPECT_EQ(ReadFile(out), "old");

  const std::pair<std::string, std::string> usage[] = {
      {"citylist 16690 --out -", "missing --threshold-index"},
      {"citylist 16690 --threshold-index 10 --out -", "--threshold-index must lie in 0 … 9"},
      {"citylist 16690 --threshold-index 0", "missing --out FILE"},
      {"citylist 0 --threshold-index 0 --out -", "POS must lie in 1 … 28501"},
      {"citylist 16690 --threshold-index 0 --lang it --out -", "--lang must be de, en or fr"},
  };
  for (const auto& [args, message] : usage) {
    const Result u = RunCli(args, true);
    EXPECT_EQ(u.status, 2) << args;
    EXPECT_EQ(u.out.rfind("umbrivista-cli: " + message, 0), 0u) << args << ": " << u.out;
  }
}

TEST_F(Cli, PlaceHistoryWritesTheSavedReport) {
  const std::string place =
      "placehistory --lat 32.78 --lon -96.80 --height 130.5 --name Dallas --country USA "
      "--population 1197816 --from 2000 --to 2100";
  const fs::path out = dir_ / "history.txt";
  ASSERT_EQ(RunCli(place + " --lang de --out " + out.string()).status, 0);
  PlaceHistoryInputs in;
  in.name = "Dallas";
  in.country = "USA";
  in.latitude = 32.78;
  in.longitude = -96.80;
  in.height = 130;  // 130.5 rounds to the even neighbour
  in.population = 1197816;
  in.firstYear = 2000;
  in.lastYear = 2100;
  in.language = Language::kGerman;
  const ReportRun run = ComputePlaceHistory(ShippedCatalogue(), in);
  ASSERT_GT(run.rows.size(), 10u);
  EXPECT_EQ(ReadFile(out), SavedReportText(run));
  EXPECT_NE(ReadFile(out).find("\r\n2024\t4\t8\t"), std::string::npos);

  // "+1001" to "+1000" finds nothing: the legend and header alone.
  const Result none = RunCli("placehistory --lat 47.5 --lon 7.5 --from 1001 --to 1000 --out -");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, SavedFileText(ReportKind::kPlaceHistory, Language::kEnglish, {}));
}

TEST(CliReports, PlaceHistoryRefusesNumbersNamingTheField) {
  const std::pair<std::string, std::string> cases[] = {
      {"--lat 91 --lon 0", "Latitude (degrees) \"91\" is not a valid number"},
      {"--lat nan --lon 0", "Latitude (degrees) \"nan\" is not a valid number"},
      {"--lat 10 --lon -180.5", "Longitude (degrees) \"-180.5\" is not a valid number"},
      {"--lat 10 --lon 0 --height 1e12", "Height (m) \"1e12\" is not a valid number"},
      {"--lat 10 --lon 0 --height -501", "Height (m) \"-501\" is not a valid number"},
      {"--lat 91 --lon 0 --lang de", "Geogr. Breite (Grad) \"91\" ist kein gültiger Wert"},
      {"--lon 0", "missing --lat"},
      {"--lat 10 --lon 0 --from x", "--from must be a whole number"},
  };
  for (const auto& [args, message] : cases) {
    const Result r = RunCli("placehistory " + args + " --out -", true);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out.rfind("umbrivista-cli: " + message, 0), 0u) << args << ": " << r.out;
  }
}

}  // namespace

// limits, and the obscuration line of local (kept together at the end of the file).
#include <map>

#include "numbers.h"
#include "path_limits.h"

namespace {

std::vector<std::vector<std::string>> TsvRows(const std::string& out) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, '\t')) fields.push_back(cell);
    rows.push_back(fields);
  }
  return rows;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The TSV holds every point of every piece, numbered by kind, as the core computes them; the
// pieces of 2024-04-08 are the two umbral and two penumbral limits and the two rise/set loops.
TEST(CliShipped, LimitsTsvListsEveryPieceOfEveryKind) {
  const Result r = RunCli("limits 16690 --ut");
  ASSERT_EQ(r.status, 0);
  const auto rows = TsvRows(r.out);
  const EclipseRecord& record = ShippedCatalogue().RecordAt(16690);
  const auto curves = ComputePathLimits(record, DeltaT(2024, 4));
  std::size_t points = 0;
  for (const auto& c : curves) points += c.points.size();
  ASSERT_EQ(rows.size(), points);
  std::map<std::string, int> pieces;
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 4u);
    pieces[row[0]] = std::max(pieces[row[0]], std::stoi(row[1]));
    const double lon = std::stod(row[2]), lat = std::stod(row[3]);
    ASSERT_TRUE(lon >= -180 && lon < 180 && std::fabs(lat) <= 90) << row[2] << " " << row[3];
  }
  EXPECT_EQ(pieces, (std::map<std::string, int>{{"penumbral_north", 1},
                                                {"penumbral_south", 1},
                                                {"rise_set", 2},
                                                {"umbral_north", 1},
                                                {"umbral_south", 1}}));
  EXPECT_EQ(rows.front()[2], FormatFixed(curves.front().points.front().longitude, 6));
}

// GeoJSON: the central path as one closed Polygon, then one LineString per piece naming its kind
// and number; KML likewise, with a Placemark each.
TEST(CliShipped, LimitsGeoJsonAndKmlNameEachCurve) {
  Result r = RunCli("limits 16690 --format geojson");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("{\"type\":\"FeatureCollection\",\"name\":\"Path limits 2024-04-08\"", 0),
            0u);
  EXPECT_EQ(r.out.substr(r.out.size() - 4), "\n]}\n");
  EXPECT_EQ(Count(r.out, "\"type\":\"Polygon\""), 1u);
  EXPECT_EQ(Count(r.out, "LineString\""), 6u);
  EXPECT_EQ(Count(r.out, "\"kind\":\"rise_set\",\"piece\":2"), 1u);
  EXPECT_EQ(Count(r.out, "\"kind\":\"umbral_north\",\"piece\":1"), 1u);
  // The ring ends where it starts.
  const std::size_t ring = r.out.find("\"coordinates\":[[[") + 17;
  const std::size_t ringEnd = r.out.find("]]]", ring);
  const std::string first = r.out.substr(ring, r.out.find(']', ring) - ring);
  const std::string last = r.out.substr(r.out.rfind('[', ringEnd) + 1,
                                        ringEnd - r.out.rfind('[', ringEnd) - 1);
  EXPECT_EQ(first, last);

  r = RunCli("limits 16690 --format kml");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Count(r.out, "<Placemark>"), 7u);
  EXPECT_EQ(Count(r.out, "<Polygon>"), 1u);
  EXPECT_EQ(Count(r.out, "<value>penumbral_south</value>"), 1u);
  EXPECT_EQ(r.out.substr(r.out.size() - 19), "</Document>\n</kml>\n");

  // A partial eclipse has no central path, only its penumbral limit and rise/set curve.
  r = RunCli("limits " + std::to_string(PositionOf(2022, 4, 30)) + " --format geojson");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Count(r.out, "Polygon"), 0u);
  EXPECT_EQ(Count(r.out, "umbral_"), Count(r.out, "penumbral_"));
  EXPECT_EQ(Count(r.out, "\"type\":\"LineString\""), 2u);

  EXPECT_EQ(RunCli("limits 16690 --format svg").status, 2);
  EXPECT_EQ(RunCli("limits").status, 2);
  EXPECT_EQ(RunCli("limits 0").status, 2);
}

// A shadow that misses the Earth: valid empty documents, a note on stderr, success.
TEST_F(Cli, LimitsOfAShadowThatMissesTheEarthAreEmptyDocuments) {
  EclipseRecord record = UsableRecord(2024, 4, 8);
  record.y[0] = 4;
  const std::string text = (dir_ / "far.txt").string(), bin = (dir_ / "far.bin").string();
  std::ofstream(text) << FormatCatalogueLine(record) << "\n";
  ASSERT_EQ(RunCli("catalogue convert " + text + " " + bin).status, 0);
  const std::string cat = " --catalogue " + bin;
  Result r = RunCli("limits 1" + cat, true);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("does not reach the Earth"), std::string::npos) << r.out;
  EXPECT_EQ(RunCli("limits 1" + cat).out, "");
  EXPECT_EQ(RunCli("limits 1 --format geojson" + cat).out,
            "{\"type\":\"FeatureCollection\",\"name\":\"Path limits 2024-04-08\",\"features\":[]}\n");
  const std::string kml = RunCli("limits 1 --format kml" + cat).out;
  EXPECT_EQ(kml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/"
                      "kml/2.2\">\n<Document>\n<name>Path limits 2024-04-08</name>\n",
                      0),
            0u);
  EXPECT_EQ(kml.find("<Placemark>"), std::string::npos);
  EXPECT_EQ(kml.substr(kml.size() - 19), "</Document>\n</kml>\n");
}

// The map file's centre line holds the globe's 201 points (the list with --ut), with points
// added between them.
TEST(CliShipped, CentreLineGeoJsonHoldsTheGlobesPoints) {
  const Result r = RunCli("centreline 16690 --format geojson");
  ASSERT_EQ(r.status, 0);
  const Result tsv = RunCli("centreline 16690 --ut");
  std::istringstream lines(tsv.out);
  std::string lon, lat;
  int count = 0;
  std::size_t from = 0;
  while (lines >> lon >> lat) {
    ++count;
    const std::size_t at = r.out.find("[" + lon + "," + lat + "]", from);
    ASSERT_NE(at, std::string::npos) << lon << "," << lat;
    from = at;
  }
  EXPECT_EQ(count, 201);
  EXPECT_GT(Count(r.out, "],["), 250u);
}

// local prints the obscuration right after the magnitude: all of the Sun in Dallas, less of its
// area than of its diameter in New York.
TEST(CliShipped, LocalPrintsTheObscuration) {
  Result r = RunCli("local 16690 --lat 32.78 --lon -96.80 --height 130 --deltat 69.1");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\nmagnitude\t1.0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nobscuration\t1.0000\n"), std::string::npos) << r.out;
  EXPECT_LT(r.out.find("magnitude"), r.out.find("obscuration"));
  r = RunCli("local 16690 --lat 40.71 --lon -74.01 --deltat 69.1");
  const double magnitude = std::stod(Fields(r.out, "magnitude").at(0));
  const double obscuration = std::stod(Fields(r.out, "obscuration").at(0));
  EXPECT_GT(obscuration, 0.85);
  EXPECT_LT(obscuration, magnitude);
}

// local says how much of the eclipse is above the horizon; found and kind still say whether the
// shadow reaches the place. Munich and Luxor lie in the penumbra of 2024-04-08 after sunset.
TEST(CliShipped, LocalSaysWhatIsAboveTheHorizon) {
  const int y2026 = PositionOf(2026, 8, 12);
  ASSERT_GT(y2026, 0);
  struct Case {
    std::string args;
    const char* kind;
    const char* visible;
    const char* crossing;  // the sunrise or sunset line expected, or nullptr
    bool maximumSeen;
  };
  const Case cases[] = {
      {"16690 --lat 48.14 --lon 11.58", "p", "none", nullptr, false},
      {"16690 --lat 25.70 --lon 32.64", "p", "none", nullptr, false},
      {"16690 --lat 32.78 --lon -96.80", "t", "full", nullptr, true},
      {"16690 --lat 53.35 --lon -6.26", "p", "sunset", "sunset", false},
      {"16690 --lat 5 --lon -175", "p", "sunrise", "sunrise", false},
      {"16690 --lat 10 --lon -160", "p", "sunrise", "sunrise", true},
      {std::to_string(y2026) + " --lat 40.42 --lon -3.70", "p", "sunset", "sunset", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const Result r = RunCli("local " + c.args);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(Fields(r.out, "found"), std::vector<std::string>{"1"});
    EXPECT_EQ(Fields(r.out, "kind"), std::vector<std::string>{c.kind});
    EXPECT_EQ(Fields(r.out, "visible"), std::vector<std::string>{c.visible});
    for (const char* line : {"sunrise", "sunset"}) {
      const bool expected = c.crossing && std::string(line) == c.crossing;
      EXPECT_EQ(Fields(r.out, line).size(), expected ? 2u : 0u) << line << "\n" << r.out;
    }
    const bool partSeen = std::string(c.visible) != "none" && !c.maximumSeen;
    EXPECT_EQ(Fields(r.out, "visible_magnitude").size(), partSeen ? 1u : 0u) << r.out;
    if (partSeen) {
      EXPECT_EQ(Fields(r.out, "visible_max"), Fields(r.out, c.crossing));
      EXPECT_LT(std::stod(Fields(r.out, "visible_magnitude").at(0)),
                std::stod(Fields(r.out, "magnitude").at(0)));
    }
  }
  const Result json = RunCli("local 16690 --lat 48.14 --lon 11.58 --format json");
  EXPECT_NE(json.out.find("\"found\": true, \"kind\": \"p\", \"visible\": \"none\""),
            std::string::npos)
      << json.out;
  const Result dublin = RunCli("local 16690 --lat 53.35 --lon -6.26 --format json");
  EXPECT_NE(dublin.out.find("\"sunset\": {\"date_ut\": \"2024-04-08\", \"time_ut\": "),
            std::string::npos)
      << dublin.out;
  // Every contact of Munich is flagged as one with the Sun down; Dallas's first contact has the
  // Sun up at azimuth 145° (from north through east), refraction adding a few hundredths.
  const Result munich = RunCli("local 16690 --lat 48.14 --lon 11.58");
  for (const char* contact : {"C1", "MAX", "C4"}) EXPECT_EQ(Fields(munich.out, contact).at(7), "down");
  const auto dallasC1 = Fields(RunCli("local 16690 --lat 32.78 --lon -96.80").out, "C1");
  ASSERT_EQ(dallasC1.size(), 8u);
  EXPECT_NEAR(std::stod(dallasC1[6]), 145.3, 0.2);
  EXPECT_NEAR(std::stod(dallasC1[5]) - std::stod(dallasC1[4]), 0.01, 0.015);
  EXPECT_EQ(dallasC1[7], "up");
  // Madrid is 11 km from totality, north-north-east, 1 min 44 s on the centre line across.
  const Result madrid = RunCli("local " + std::to_string(y2026) + " --lat 40.42 --lon -3.70");
  EXPECT_EQ(Fields(madrid.out, "nearest_central_km"), std::vector<std::string>{"11.0"});
  EXPECT_EQ(Fields(madrid.out, "nearest_central_compass"), std::vector<std::string>{"NNE"});
  EXPECT_NEAR(std::stod(Fields(madrid.out, "nearest_central_duration_s").at(0)), 104, 1);
  // No eclipse: the output stays as it was.
  EXPECT_EQ(RunCli("local 16690 --lat -60 --lon -45").out, "found\t0\n");
  EXPECT_EQ(RunCli("local 16690 --lat -60 --lon -45 --format json").out, "{\"found\": false}\n");
}

// Places 0.1 to 1 km either side of the limits of totality: the printed magnitude and obscuration
// never contradict the kind (a partial eclipse below 1, a total one at least 1).
TEST(CliShipped, LocalBesideALimitOfTotalityNeverContradictsTheKind) {
  const EclipseRecord& record = ShippedCatalogue().RecordAt(16690);
  constexpr double kDeltaT = 69.1;
  int partial = 0, total = 0;
  for (LimitKind kind : {LimitKind::kUmbralNorth, LimitKind::kUmbralSouth}) {
    const LimitKind other =
        kind == LimitKind::kUmbralNorth ? LimitKind::kUmbralSouth : LimitKind::kUmbralNorth;
    const auto edge = LimitPointAt(record, kDeltaT, kind, 0.3);
    const auto across = LimitPointAt(record, kDeltaT, other, 0.3);
    ASSERT_TRUE(edge && across);
    for (double km : {-1.0, -0.3, -0.1, 0.1, 0.3, 1.0}) {  // negative: away from the path
      // A step of `km` toward the other limit's point, straight in latitude and longitude (the two
      // lie some 200 km apart).
      const double f = km / DistanceToCurveKm({*across}, edge->latitude, edge->longitude);
      const double lat = edge->latitude + f * (across->latitude - edge->latitude);
      const double lon = edge->longitude + f * (across->longitude - edge->longitude);
      SCOPED_TRACE(testing::Message() << km << " km: " << lat << ", " << lon);
      const Result r = RunCli("local 16690 --deltat 69.1 --lat " + FormatFixed(lat, 7) + " --lon " +
                              FormatFixed(lon, 7));
      ASSERT_EQ(r.status, 0);
      const std::string kindLetter = Fields(r.out, "kind").at(0);
      const double magnitude = std::stod(Fields(r.out, "magnitude").at(0));
      const double obscuration = std::stod(Fields(r.out, "obscuration").at(0));
      if (kindLetter == "t") {
        ++total;
        EXPECT_GE(magnitude, 1) << r.out;
        EXPECT_EQ(obscuration, 1) << r.out;
      } else {
        ++partial;
        EXPECT_EQ(kindLetter, "p");
        EXPECT_LT(magnitude, 1) << r.out;
        EXPECT_LT(obscuration, 1) << r.out;
      }
    }
  }
  EXPECT_GT(partial, 0);
  EXPECT_GT(total, 0);
}

}  // namespace

namespace {

// What the command writes to stderr, and its exit status.
std::string StderrOf(const std::string& args, int& status) {
  const std::string cmd =
      std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli " + args + " 2>&1 >/dev/null";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return {};
  std::string err;
  char buf[512];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) err.append(buf, n);
  status = WEXITSTATUS(pclose(pipe));
  return err;
}

// Every command describes itself; a wrong option is one line on stderr and status 2.
TEST(CliHelp, EveryCommandAnswersHelpAndAWrongOptionIsOneLine) {
  for (const char* command : {"catalogue", "deltat", "elements", "centreline", "limits", "local",
                              "render", "citylist", "placehistory"}) {
    SCOPED_TRACE(command);
    const Result help = RunCli(std::string(command) + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find(command), std::string::npos) << help.out;
  }
  const Result version = RunCli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("umbrivista-cli ", 0), 0u);
  for (const char* wrong : {"local 16690 --lat 1 --lon 2 --bogus 3", "elements 16690 0 --frobnicate",
                            "deltat 2024 4 --nope", "elements 16690 0 --format xml"}) {
    SCOPED_TRACE(wrong);
    int status = 0;
    const std::string err = StderrOf(wrong, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  // A missing place is named as missing, not as a bad number.
  for (auto [command, missing] : {std::pair{"local 16690 --lon 2", "missing --lat"},
                                  std::pair{"placehistory --lat 1 --out -", "missing --lon"}}) {
    int status = 0;
    const std::string err = StderrOf(command, status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find(missing), std::string::npos) << err;
  }
}

TEST(CliJson, LocalAndElementsAsOneObjectEach) {
  const Result local = RunCli("local 16690 --lat 32.78 --lon -96.80 --format json");
  ASSERT_EQ(local.status, 0);
  EXPECT_EQ(local.out.front(), '{');
  EXPECT_EQ(local.out.substr(local.out.size() - 2), "}\n");
  EXPECT_NE(local.out.find("\"found\": true"), std::string::npos);
  EXPECT_NE(local.out.find("\"kind\": \"t\""), std::string::npos);
  EXPECT_NE(local.out.find("\"obscuration\": 1.0000"), std::string::npos);
  std::size_t contacts = 0;
  for (auto at = local.out.find("\"contact\""); at != std::string::npos;
       at = local.out.find("\"contact\"", at + 1))
    ++contacts;
  EXPECT_EQ(contacts, 5u);
  // The same numbers as the TSV lines.
  const Result tsv = RunCli("local 16690 --lat 32.78 --lon -96.80");
  const auto magnitude = tsv.out.find("magnitude\t");
  ASSERT_NE(magnitude, std::string::npos);
  const std::string value = tsv.out.substr(magnitude + 10, 6);
  EXPECT_NE(local.out.find("\"magnitude\": " + value), std::string::npos);
  const Result elements = RunCli("elements 16690 0 --format json");
  EXPECT_NE(elements.out.find("\"axis_on_earth\": true"), std::string::npos) << elements.out;
  EXPECT_NE(elements.out.find("\"lat_deg\": 19.979546"), std::string::npos) << elements.out;
  const Result outside = RunCli("local 16690 --lat 47.5 --lon 7.5 --format json");
  EXPECT_NE(outside.out.find("\"found\""), std::string::npos);
}

}  // namespace
