// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV and JSON files of a report: read back with a small RFC 4180 reader and compared with
// the rows they were written from.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "city_list_run.h"
#include "place_zones.h"
#include "core/eclipse_fixtures.h"
#include "report_export.h"
#include "scratch_dir.h"

using namespace umbrivista;

namespace {

using Record = std::vector<std::string>;

// RFC 4180: records end with CR LF, fields in double quotes may hold commas, doubled quotes and
// line breaks. Fails the test on a quote inside an unquoted field or an unterminated quote.
std::vector<Record> ReadCsv(const std::string& text) {
  std::vector<Record> records;
  Record record;
  std::string field;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) {
          ADD_FAILURE() << "unterminated quote";
          return records;
        }
        if (text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"')) break;
        if (text[i] == '"') ++i;
        field += text[i];
      }
      ++i;
    }
    while (i < text.size() && text[i] != ',' && text[i] != '\r') {
      EXPECT_NE(text[i], '"') << "quote inside an unquoted field at " << i;
      field += text[i++];
    }
    record.push_back(field);
    field.clear();
    if (i < text.size() && text[i] == ',') {
      ++i;
    } else {
      EXPECT_EQ(text.substr(i, 2), "\r\n");
      i += 2;
      records.push_back(record);
      record.clear();
    }
  }
  return records;
}

std::vector<std::string> TabFields(const std::string& row) {
  std::vector<std::string> fields(1);
  for (const char c : row) {
    if (c == '\t') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// Whole seconds as the text file rounds them, carried into the next day and year.
TEST(ReportExport, IsoInstants) {
  struct Case {
    UTInstant when;
    const char* iso;
  };
  const Case instants[] = {
      {{0, 2024, 4, 8, 18 + 40.0 / 60 + 40.4 / 3600}, "2024-04-08T18:40:40Z"},
      {{0, 2024, 4, 8, 24 - 0.4 / 3600}, "2024-04-09T00:00:00Z"},  // rounds up to midnight
      {{0, 2023, 12, 31, 24 - 0.2 / 3600}, "2024-01-01T00:00:00Z"},
      {{0, -584, 5, 28, 12.5}, "-0584-05-28T12:30:00Z"},
  };
  for (const Case& c : instants) EXPECT_EQ(IsoInstantText(c.when), c.iso);
}

class Export : public ScratchDirTest {
 protected:
  Export() : ScratchDirTest("umbrivista_export_test") {}
  ReportRun Run() {
    const std::string path = (dir_ / "places.txt").string();
    std::ofstream(path, std::ios::binary) << "USA\tDallas, TX\t3278\t-9680\t130\t1197816\r\n"
                                             "USA\tThe \"Big Apple\"\t4071\t-7401\t10\t8175133\r\n"
                                             "USA\t=HYPERLINK(1)\t4071\t-7401\t10\t5\r\n";
    EclipseCatalogue catalogue;
    catalogue.Assign({UsableRecord(2024, 4, 8)});
    return ComputeCityList(catalogue, {1, 9, Language::kFrench, path});
  }
};

// Every CSV record has the header's columns; names, instants and angles agree with the rows and
// their text file fields, and absent values are empty.
TEST_F(Export, CsvReadsBackToTheRows) {
  const ReportRun run = Run();
  ASSERT_EQ(run.rows.size(), 3u);
  const std::vector<Record> csv = ReadCsv(ReportCsvText(run.rows));
  ASSERT_EQ(csv.size(), 4u);
  EXPECT_EQ(csv[0], ReportColumnNames());
  const std::size_t columns = ReportColumnNames().size();
  ASSERT_EQ(columns, 42u);

  const char* const names[3] = {"Dallas, TX", "The \"Big Apple\"", "'=HYPERLINK(1)"};
  for (std::size_t r = 0; r < run.rows.size(); ++r) {
    ASSERT_EQ(csv[r + 1].size(), columns) << r;
    std::map<std::string, std::string> got;
    for (std::size_t c = 0; c < columns; ++c) got[csv[0][c]] = csv[r + 1][c];
    const ReportRowValues& v = run.rows[r].values;
    const auto text = TabFields(FileRowText(run.kind, run.language, v));
    EXPECT_EQ(got["place"], names[r]);
    EXPECT_EQ(got["date_ut"], "2024-04-08");
    EXPECT_EQ(got["kind"], text[4]);
    EXPECT_EQ(got["delta_t_s"], text[3]);
    EXPECT_EQ(std::stod(got["latitude_deg"]), v.latitude);
    EXPECT_EQ(std::stod(got["longitude_deg"]), v.longitude);
    // The text file's times and angles (no row crosses midnight here).
    const int block[5] = {14, 18, 22, 28, 32};
    const char* const slots[5] = {"c1", "c2", "max", "c3", "c4"};
    for (int s = 0; s < 5; ++s) {
      const std::string slot = slots[s];
      if (v.shown[s]) {
        EXPECT_EQ(got[slot + "_ut"], "2024-04-08T" + text[block[s]] + "Z") << slot;
        EXPECT_EQ(got[slot + "_p_deg"], text[block[s] + 1]) << slot;
        EXPECT_EQ(got[slot + "_alt_deg"], text[block[s] + 3]) << slot;
      } else {
        EXPECT_EQ(got[slot + "_ut"] + got[slot + "_p_deg"] + got[slot + "_alt_deg"], "") << slot;
      }
    }
    EXPECT_EQ(got["time_zone"] + got["utc_offset_s"] + got["max_local"], "");  // no clock given
    EXPECT_NEAR(std::stod(got["magnitude"]), std::stod(text[26]), 0.0006);
    EXPECT_NEAR(std::stod(got["obscuration"]), v.obscuration, 0.00005);
    if (got["kind"] == "t") {
      const std::string mmss = text[27];
      EXPECT_EQ(std::stoi(got["duration_s"]), std::stoi(mmss.substr(0, mmss.find(':'))) * 60 +
                                                  std::stoi(mmss.substr(mmss.find(':') + 1)));
    } else {
      EXPECT_EQ(got["duration_s"], "");
    }
  }
  EXPECT_EQ(csv[1][2], "t");  // Dallas sees totality, New York a partial eclipse
  EXPECT_EQ(csv[2][2], "p");
}

// The places' clocks: each instant on its zone's clock, the local date where it differs from UT's,
// and empty columns for an instant not shown or a zone the offsets do not know.
TEST_F(Export, LocalCivilTimesFollowEachPlacesZone) {
  const ReportRun run = Run();
  const PlaceZones zones = PlaceZones::Parse(
      "zones\t2\nAmerica/Chicago\nAsia/Tokyo\nplaces\t2\n3278\t-9680\t0\n4071\t-7401\t1\n",
      "zones.txt");
  const ReportClock clock{&zones, [](const std::string& zone, double, double)
                                      -> std::optional<CivilOffset> {
                            if (zone == "America/Chicago") return CivilOffset{-18000, "CDT"};
                            return std::nullopt;  // unknown to this clock
                          }};
  std::vector<Record> csv = ReadCsv(ReportCsvText(run.rows, clock));
  auto field = [&](std::size_t row, const std::string& name) {
    const auto& names = ReportColumnNames();
    return csv[row][std::find(names.begin(), names.end(), name) - names.begin()];
  };
  // Dallas: 18:42:39 UT is 13:42:39 CDT; its C2 likewise.
  EXPECT_EQ(field(1, "time_zone"), "America/Chicago");
  EXPECT_EQ(field(1, "utc_offset_s"), "-18000");
  for (const char* slot : {"c1", "c2", "max", "c3", "c4"}) {
    const std::string ut = field(1, std::string(slot) + "_ut");
    ASSERT_EQ(ut.size(), 20u) << slot;
    const int hour = std::stoi(ut.substr(11, 2)) - 5;
    EXPECT_EQ(field(1, std::string(slot) + "_local"),
              ut.substr(0, 11) + (hour < 10 ? "0" : "") + std::to_string(hour) + ut.substr(13, 6))
        << slot;
  }
  // New York's zone is not known to the offsets: named, no times.
  EXPECT_EQ(field(2, "time_zone"), "Asia/Tokyo");
  EXPECT_EQ(field(2, "utc_offset_s") + field(2, "max_local") + field(2, "c2_local"), "");
  // Nine hours ahead carries the evening's instants into the next day.
  const ReportClock ahead{&zones, [](const std::string&, double, double) {
                            return std::optional<CivilOffset>(CivilOffset{32400, "JST"});
                          }};
  csv = ReadCsv(ReportCsvText(run.rows, ahead));
  EXPECT_EQ(field(1, "max_local").substr(0, 13), "2024-04-09T03");
  EXPECT_NE(ReportJsonText(run.rows, ahead).find("\"utc_offset_s\":32400,"), std::string::npos);
}

TEST_F(Export, JsonHoldsOneObjectPerRowWithNulls) {
  const ReportRun run = Run();
  const std::string json = ReportJsonText(run.rows);
  EXPECT_EQ(json.front(), '[');
  EXPECT_EQ(json.substr(json.size() - 3), "\n]\n");
  EXPECT_EQ(std::count(json.begin(), json.end(), '{'), 3);
  EXPECT_NE(json.find("\"place\":\"The \\\"Big Apple\\\"\""), std::string::npos);
  EXPECT_NE(json.find("\"c2_ut\":null"), std::string::npos);  // New York: partial
  EXPECT_NE(json.find("\"latitude_deg\":32.78,\"longitude_deg\":-96.8,\"height_m\":130"),
            std::string::npos);
  EXPECT_EQ(ReportJsonText({}), "[\n]\n");
}

}  // namespace
