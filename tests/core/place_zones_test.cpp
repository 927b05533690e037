// The clock of a point: the zone of the nearest world place within 100 km, nautical time beyond,
// the checks of the zone file, and the texts of a civil time.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#include "julian_day.h"
#include "place_zones.h"

namespace umbrivista {
namespace {

const PlaceZones& Shipped() {
  static const PlaceZones zones =
      PlaceZones::Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kPlaceZonesFileName);
  return zones;
}

// Zones as GeoNames and tzdata give them; the nautical hours are what the longitude alone says,
// which is wrong by a day in Wallis and Tonga and by an hour or more in Madrid and Kolkata.
TEST(PlaceZones, NearestPlaceGivesTheZone) {
  struct Case {
    double lat, lon;
    const char* zone;
  };
  const Case cases[] = {
      {40.4168, -3.7038, "Europe/Madrid"},
      {32.7767, -96.7970, "America/Chicago"},
      {22.5726, 88.3639, "Asia/Kolkata"},
      {-34.9285, 138.6007, "Australia/Adelaide"},
      {27.7172, 85.3240, "Asia/Kathmandu"},
      {-33.8688, 151.2093, "Australia/Sydney"},
      {-43.95, -176.56, "Pacific/Chatham"},
      {-21.14, -175.20, "Pacific/Tongatapu"},
      // West of 180° from Egvekinot (−179.12°): the search runs on across the grid's seam.
      {66.30, 179.80, "Asia/Anadyr"},
      // Wallis keeps UT+12 at 178° west.
      {-14.30, -178.40, "Pacific/Wallis"},
      {-77.85, 166.67, "Antarctica/McMurdo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    const PointZone found = Shipped().Find(c.lat, c.lon);
    EXPECT_FALSE(found.nautical);
    EXPECT_EQ(found.zone, c.zone);
    EXPECT_EQ(found.Label(), c.zone);
    EXPECT_LE(found.distanceKm, kZoneSearchKm);
  }
}

TEST(PlaceZones, FarFromEveryPlaceTheClockIsNautical) {
  struct Case {
    double lat, lon;
    int hours;
    const char* label;
  };
  const Case cases[] = {
      {30, -40, -3, "UT\u22123 (nautical)"},          // mid-Atlantic: −2.67 h
      {-48.88, -123.39, -8, "UT\u22128 (nautical)"},  // Point Nemo
      {0, 172.6, 12, "UT+12 (nautical)"},             // mid-Pacific, west of 180°
      {0, -172.6, -12, "UT\u221212 (nautical)"},      // … and east of it
      {-85, 0, 0, "UT+0 (nautical)"},                 // the Antarctic plateau
      {90, 0, 0, "UT+0 (nautical)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const PointZone found = Shipped().Find(c.lat, c.lon);
    EXPECT_TRUE(found.nautical);
    EXPECT_TRUE(found.zone.empty());
    EXPECT_EQ(found.nauticalHours, c.hours);
    EXPECT_EQ(found.Label(), c.label);
    const auto offset = CivilOffsetAt(found, 2461265.27, c.lon, nullptr);
    ASSERT_TRUE(offset.has_value());
    EXPECT_EQ(offset->seconds, c.hours * 3600);
    EXPECT_TRUE(offset->nautical);
  }
  EXPECT_THROW(Shipped().Find(std::nan(""), 0), std::invalid_argument);
}

// The zone file lists exactly the places of the places files: same count, same coordinates.
TEST(PlaceZones, ShippedFileHoldsThePlacesOfThePlacesFiles) {
  std::ifstream places(std::string(UMBRIVISTA_DATA_DIR) + "/2017_data_EN.txt", std::ios::binary);
  std::ifstream zones(std::string(UMBRIVISTA_DATA_DIR) + "/" + kPlaceZonesFileName,
                      std::ios::binary);
  ASSERT_TRUE(places && zones);
  std::vector<std::pair<int, int>> fromPlaces, fromZones;
  for (std::string line; std::getline(places, line);) {
    std::istringstream fields(line);
    std::string country, name;
    int lat = 0, lon = 0;
    std::getline(fields, country, '\t');
    std::getline(fields, name, '\t');
    fields >> lat >> lon;
    fromPlaces.emplace_back(lat, lon);
  }
  bool inPlaces = false;
  for (std::string line; std::getline(zones, line);) {
    if (inPlaces) {
      std::istringstream fields(line);
      int lat = 0, lon = 0;
      fields >> lat >> lon;
      fromZones.emplace_back(lat, lon);
    }
    inPlaces = inPlaces || line.rfind("places\t", 0) == 0;
  }
  std::sort(fromPlaces.begin(), fromPlaces.end());
  std::sort(fromZones.begin(), fromZones.end());
  EXPECT_EQ(fromPlaces.size(), 118841u);
  EXPECT_EQ(Shipped().PlaceCount(), 118841u);
  EXPECT_TRUE(fromPlaces == fromZones);
}

// 1° of a great circle is 111.19 km on the sphere of 6371 km: a place 0.89° away is within
// 100 km, one 0.91° away is not, whichever way the circle runs (across 180°, over a pole).
TEST(PlaceZones, SearchReachesOneHundredKilometresEveryWay) {
  const PlaceZones zones = PlaceZones::Parse(
      "zones\t3\nA/Equator\nB/Seam\nC/Pole\nplaces\t4\n0\t0\t0\n-8900\t-8900\t0\n1000\t17995\t1\n"
      "8990\t0\t2\n",
      "test");
  struct Case {
    double lat, lon;
    const char* zone;  // nullptr: nautical
    double km;
  };
  const Case cases[] = {
      {0, 0.89, "A/Equator", 98.96},
      {0, -0.89, "A/Equator", 98.96},
      {0.89, 0, "A/Equator", 98.96},
      {0, 0.91, nullptr, 0},
      {-0.91, 0, nullptr, 0},
      {0, 360.5, "A/Equator", 55.60},
      {10, -179.97, "B/Seam", 8.76},
      {10, 179.1, "B/Seam", 93.08},
      {89.5, 180, "C/Pole", 66.72},
      {88.1, 0, nullptr, 0},
      {-0.001, -0.5, "A/Equator", 55.60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lat << ", " << c.lon);
    const PointZone found = zones.Find(c.lat, c.lon);
    EXPECT_EQ(found.nautical, c.zone == nullptr);
    if (c.zone) {
      EXPECT_EQ(found.zone, c.zone);
      EXPECT_NEAR(found.distanceKm, c.km, 0.05);
    }
  }
}

TEST(PlaceZones, DamagedFileNamesLineAndField) {
  const std::string head = "zones\t2\nEurope/Madrid\nEurope/Paris\nplaces\t2\n";
  struct Case {
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"", "f: the file is empty"},
      {"zone\t2\n", "f: line 1: zone count: \"zones<TAB>count\" expected"},
      {"zones\t0\n", "f: line 1: zone count: 0 lies outside 1 … 65535"},
      {"zones\t2\nEurope/Paris\nEurope/Madrid\n",
       "f: line 3: zone name: \"Europe/Madrid\" does "
       "not follow \"Europe/Paris\""},
      {"zones\t2\nEurope/Madrid\n../../etc/passwd\n",
       "f: line 3: zone name: \"../../etc/passwd\" "
       "is not a time zone name"},
      {"zones\t2\nEurope/Madrid\n", "f: line 3: the file ends before zone 2 of 2"},
      {head + "4042\t-370\t0\n", "f: line 6: the file ends before place 2 of 2"},
      {head + "4042\t-370\t0\n4885\t235", "f: line 6: the last line has no line end"},
      {head + "9001\t-370\t0\n", "f: line 5: latitude: 9001 lies outside -9000 … 9000"},
      {head + "4042\t-37x\t0\n", "f: line 5: longitude: \"-37x\" is not a whole number"},
      {head + "4042\t-370\t2\n", "f: line 5: zone number: 2 lies outside 0 … 1"},
      {head + "4042\t-370\n", "f: line 5: 2 fields, three TAB-separated fields expected"},
      {head + "4042\t-370\t0\n4885\t235\t1\n0\t0\t0\n",
       "f: line 7: text after the last of the 2 places"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      PlaceZones::Parse(c.text, "f");
      ADD_FAILURE() << "accepted";
    } catch (const PlaceZonesError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, std::string(c.message).size()), c.message)
          << e.what();
    }
  }
  // CR LF line ends are read as well.
  EXPECT_EQ(PlaceZones::Parse("zones\t1\r\nUTC\r\nplaces\t1\r\n0\t0\t0\r\n", "f").Find(0, 0).zone,
            "UTC");
  try {
    PlaceZones::Load("/nonexistent/place_zones.txt");
    ADD_FAILURE() << "accepted";
  } catch (const PlaceZonesError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/place_zones.txt"), std::string::npos);
  }
}

TEST(CivilTimeText, OffsetsAndTimesOnTheLocalClock) {
  struct Case {
    int seconds;
    const char* offset;
  };
  const Case offsets[] = {{7200, "UT+2"},
                          {19800, "UT+5:30"},
                          {20700, "UT+5:45"},
                          {45900, "UT+12:45"},
                          {-18000, "UT\u22125"},
                          {0, "UT+0"},
                          {-884, "UT\u22120:14:44"},
                          {-12600, "UT\u22123:30"}};
  for (const Case& c : offsets) EXPECT_EQ(FormatUtOffset(c.seconds), c.offset);

  const double madrid = CalendarToJD(2026, 8, 12, 18, 28, 15);
  EXPECT_EQ(FormatCivilTime(madrid, {7200, "CEST", false}), "20:28:15 CEST, UT+2");
  EXPECT_EQ(FormatCivilTime(madrid, {7200, "CEST", false}, true), "2026-08-12 20:28:15 CEST, UT+2");
  EXPECT_EQ(FormatCivilTime(madrid, {20700, "", false}, true), "2026-08-13 00:13:15 UT+5:45");
  // Past midnight in the east, before it in the west; 23:59:59.6 rounds into the next day.
  EXPECT_EQ(FormatCivilTime(madrid, {39600, "AEDT", false}, true),
            "2026-08-13 05:28:15 AEDT, UT+11");
  EXPECT_EQ(FormatCivilTime(CalendarToJD(2024, 1, 1, 3, 0, 0), {-18000, "EST", false}, true),
            "2023-12-31 22:00:00 EST, UT\u22125");
  EXPECT_EQ(FormatCivilTime(CalendarToJD(2024, 2, 28, 23, 59, 59.6), {0, "GMT", false}, true),
            "2024-02-29 00:00:00 GMT, UT+0");
  EXPECT_EQ(FormatCivilTime(madrid, NauticalOffset(-40)), "15:28:15 UT\u22123 (nautical)");
  EXPECT_EQ(FormatCivilTime(CalendarToJD(-500, 3, 1, 12, 0, 0), {0, "LMT", false}, true),
            "-0500-03-01 12:00:00 LMT, UT+0");
  EXPECT_EQ(FormatCivilTime(std::nan(""), {}), "");
}

// A lookup is a few cells of the grid, not a pass over every place.
TEST(PlaceZones, LookupTakesMicroseconds) {
  const PlaceZones& zones = Shipped();
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat(-60, 70), lon(-180, 180);
  std::vector<std::pair<double, double>> points(20000);
  for (auto& p : points) p = {lat(random), lon(random)};
  int nautical = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const auto& [a, b] : points) nautical += zones.Find(a, b).nautical;
  const double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() /
      points.size();
  RecordProperty("microseconds_per_lookup", std::to_string(us));
  EXPECT_GT(nautical, 0);
  EXPECT_LT(us, 200) << "a lookup took " << us << " µs";
}

}  // namespace
}  // namespace umbrivista
