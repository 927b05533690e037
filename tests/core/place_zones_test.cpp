// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The clock of a point: the zone of the nearest world place within 100 km, nautical time beyond,
// the checks of the zone file, and the texts of a civil time.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "julian_day.h"
#include "place_zones.h"

namespace umbrivista {
namespace {

const std::string kDataDir = UMBRIVISTA_DATA_DIR;

// Zones as GeoNames and tzdata give them; longitude alone would be wrong by an hour in Madrid and
// Kolkata and by a day in Wallis and Tonga. Egvekinot (−179.12°) lies across the grid's seam from
// the point west of 180°. Nautical hours are longitude/15 rounded.
TEST(PlaceZones, ShippedFileGivesTheZoneOfTheNearestPlaceElseNauticalTime) {
  static const PlaceZones zones = PlaceZones::Load(kDataDir + "/" + kPlaceZonesFileName);
  struct Case {
    double lat, lon;
    const char* label;
    bool nautical;
  };
  const Case cases[] = {
      {40.4168, -3.7038, "Europe/Madrid", false},
      {32.7767, -96.7970, "America/Chicago", false},
      {22.5726, 88.3639, "Asia/Kolkata", false},
      {-34.9285, 138.6007, "Australia/Adelaide", false},
      {-43.95, -176.56, "Pacific/Chatham", false},
      {-21.14, -175.20, "Pacific/Tongatapu", false},
      {66.30, 179.80, "Asia/Anadyr", false},
      {-14.30, -178.40, "Pacific/Wallis", false},
      {30, -40, "UT\u22123 (nautical)", true},
      {-48.88, -123.39, "UT\u22128 (nautical)", true},
      {0, 172.6, "UT+12 (nautical)", true},
      {0, -172.6, "UT\u221212 (nautical)", true},
      {90, 0, "UT+0 (nautical)", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const PointZone found = zones.Find(c.lat, c.lon);
    EXPECT_EQ(found.Label(), c.label);
    EXPECT_EQ(found.nautical, c.nautical);
    EXPECT_LE(found.distanceKm, kZoneSearchKm);
  }
  EXPECT_EQ(CivilOffsetAt(zones.Find(30, -40), 2461265.3, -40, nullptr)->seconds, -3 * 3600);
  EXPECT_THROW(zones.Find(std::nan(""), 0), std::invalid_argument);
}

// The zone file lists exactly the coordinates of the places files.
TEST(PlaceZones, ShippedFileHoldsThePlacesOfThePlacesFiles) {
  const auto coordinates = [](const std::string& name, int skipFields, bool afterPlacesLine) {
    std::ifstream in(kDataDir + "/" + name, std::ios::binary);
    std::vector<std::pair<int, int>> out;
    bool reading = !afterPlacesLine;
    for (std::string line; std::getline(in, line);) {
      if (reading) {
        std::istringstream fields(line);
        std::string skipped;
        for (int n = 0; n < skipFields; ++n) std::getline(fields, skipped, '\t');
        int lat = 0, lon = 0;
        fields >> lat >> lon;
        out.emplace_back(lat, lon);
      }
      reading = reading || line.rfind("places\t", 0) == 0;
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  const auto places = coordinates("2017_data_EN.txt", 2, false);
  EXPECT_EQ(places.size(), 118841u);
  EXPECT_TRUE(places == coordinates(kPlaceZonesFileName, 0, true));
}

// 1° of a great circle is 111.19 km on the sphere of 6371 km: 0.89° away is within 100 km, 0.91°
// is not, whichever way the circle runs (across 180°, over a pole).
TEST(PlaceZones, SearchReachesOneHundredKilometresEveryWay) {
  const PlaceZones zones = PlaceZones::Parse(
      "zones\t3\nA/Equator\nB/Seam\nC/Pole\nplaces\t4\n0\t0\t0\n-8900\t-8900\t0\n1000\t17995\t1\n"
      "8990\t0\t2\n",
      "test");
  struct Case {
    double lat, lon;
    const char* zone;  // "": nautical
    double km;
  };
  const Case cases[] = {
      {0, 0.89, "A/Equator", 98.96},
      {0.89, 0, "A/Equator", 98.96},
      {0, 0.91, "", 0},
      {-0.91, 0, "", 0},
      {0, 360.5, "A/Equator", 55.60},
      {10, -179.97, "B/Seam", 8.76},
      {10, 179.1, "B/Seam", 93.08},
      {89.5, 180, "C/Pole", 66.72},
      {88.1, 0, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lat << ", " << c.lon);
    const PointZone found = zones.Find(c.lat, c.lon);
    EXPECT_EQ(found.zone, c.zone);
    EXPECT_NEAR(found.distanceKm, c.km, 0.05);
  }
}

TEST(PlaceZones, DamagedFileNamesLineAndField) {
  const std::string head = "zones\t2\nEurope/Madrid\nEurope/Paris\nplaces\t2\n";
  const std::pair<std::string, const char*> cases[] = {
      {"", "f: the file is empty"},
      {"zones\t2\nEurope/Paris\nEurope/Madrid\n", "f: line 3: zone name: \"Europe/Madrid\" does"},
      {"zones\t2\nUTC\n../etc/passwd\n", "f: line 3: zone name: \"../etc/passwd\" is not a time"},
      {head + "4042\t-370\t0\n", "f: line 6: the file ends before place 2 of 2"},
      {head + "9001\t-370\t0\n", "f: line 5: latitude: 9001 lies outside -9000 … 9000"},
      {head + "4042\t-37x\t0\n", "f: line 5: longitude: \"-37x\" is not a whole number"},
      {head + "4042\t-370\t2\n", "f: line 5: zone number: 2 lies outside 0 … 1"},
      {head + "0\t0\t0\n0\t0\t0\n0\t0\t0\n", "f: line 7: text after the last of the 2 places"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(message);
    try {
      PlaceZones::Parse(text, "f");
      ADD_FAILURE() << "accepted";
    } catch (const PlaceZonesError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(PlaceZones::Parse("zones\t1\r\nUTC\r\nplaces\t1\r\n0\t0\t0\r\n", "f").Find(0, 0).zone,
            "UTC");
  EXPECT_THROW(PlaceZones::Load("/nonexistent/place_zones.txt"), PlaceZonesError);
}

// Offsets with minutes and seconds; the local date past midnight in the east, before it in the
// west, and 23:59:59.6 rounded into the next day.
TEST(CivilTimeText, OffsetsAndDatesOnTheLocalClock) {
  EXPECT_EQ(FormatUtOffset(45900), "UT+12:45");
  EXPECT_EQ(FormatUtOffset(-884), "UT\u22120:14:44");
  const double madrid = CalendarToJD(2026, 8, 12, 18, 28, 15);
  EXPECT_EQ(FormatCivilTime(madrid, {20700, "", false}, true), "2026-08-13 00:13:15 UT+5:45");
  EXPECT_EQ(FormatCivilTime(CalendarToJD(2024, 1, 1, 3, 0, 0), {-18000, "EST", false}, true),
            "2023-12-31 22:00:00 EST, UT\u22125");
  EXPECT_EQ(FormatCivilTime(CalendarToJD(2024, 2, 28, 23, 59, 59.6), {0, "GMT", false}, true),
            "2024-02-29 00:00:00 GMT, UT+0");
  EXPECT_EQ(FormatCivilTime(madrid, NauticalOffset(-40)), "15:28:15 UT\u22123 (nautical)");
}

}  // namespace
}  // namespace umbrivista
