// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Civil time from tzdata: daylight saving in both hemispheres, half- and quarter-hour zones, the
// place's own mean time before standard time, and the last rule in the far future.

#include <gtest/gtest.h>

#include <cmath>

#include "civil_time.h"
#include "julian_day.h"

namespace umbrivista {
namespace {

TEST(CivilTime, OffsetsOfKnownZonesAndInstants) {
  struct Case {
    const char* zone;
    int year, month, day, hour, minute, second;
    double lon;
    int offset;
    const char* abbreviation;
    const char* shown;  // FormatCivilTime, or nullptr
  };
  const Case cases[] = {
      {"Europe/Madrid", 2026, 8, 12, 18, 28, 15, -3.70, 7200, "CEST", "20:28:15 CEST, UT+2"},
      {"Europe/Madrid", 2026, 1, 15, 12, 0, 0, -3.70, 3600, "CET", "13:00:00 CET, UT+1"},
      {"America/Chicago", 2024, 4, 8, 18, 42, 0, -96.80, -18000, "CDT", "13:42:00 CDT, UT\u22125"},
      {"Asia/Kolkata", 2024, 1, 1, 12, 0, 0, 88.36, 19800, "IST", "17:30:00 IST, UT+5:30"},
      {"Asia/Kathmandu", 2024, 1, 1, 12, 0, 0, 85.32, 20700, "", "17:45:00 UT+5:45"},
      {"Australia/Sydney", 2026, 1, 15, 0, 0, 0, 151.21, 39600, "AEDT", "11:00:00 AEDT, UT+11"},
      {"Australia/Sydney", 2026, 7, 15, 0, 0, 0, 151.21, 36000, "AEST", nullptr},
      {"Pacific/Chatham", 2026, 1, 15, 0, 0, 0, -176.56, 49500, "", "13:45:00 UT+13:45"},
      // Before standard time: the mean time of the place, not of Madrid's or Chicago's tzdata
      // city (−0:14:44, −5:50:36): Madrid's total eclipse of 1860, Dallas just before Chicago
      // took CST at noon local, 1883-11-18 18:00 UT.
      {"Europe/Madrid", 1860, 7, 18, 14, 0, 0, -3.7038, -889, "LMT",
       "13:45:11 LMT, UT\u22120:14:49"},
      {"America/Chicago", 1883, 11, 18, 17, 59, 59, -96.797, -23231, "LMT", nullptr},
      {"America/Chicago", 1883, 11, 18, 18, 0, 1, -96.797, -21600, "CST", nullptr},
      {"Europe/Madrid", -4000, 7, 1, 0, 0, 0, 2.0, 480, "LMT", nullptr},
      // The rule of today far ahead: summer and winter time in 6999.
      {"Europe/Madrid", 6999, 7, 1, 0, 0, 0, -3.70, 7200, "CEST", nullptr},
      {"Europe/Madrid", 6999, 1, 15, 0, 0, 0, -3.70, 3600, "CET", nullptr},
  };
  const CivilOffsetFn offsets = QtCivilOffsets();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.zone << " " << c.year << "-" << c.month << "-" << c.day);
    const double jd = CalendarToJD(c.year, c.month, c.day, c.hour, c.minute, c.second);
    const std::optional<CivilOffset> offset = offsets(c.zone, jd, c.lon);
    ASSERT_TRUE(offset.has_value());
    EXPECT_EQ(offset->seconds, c.offset);
    EXPECT_EQ(offset->abbreviation, c.abbreviation);
    EXPECT_FALSE(offset->nautical);
    if (c.shown) {
      EXPECT_EQ(FormatCivilTime(jd, *offset), c.shown);
    }
  }
}

TEST(CivilTime, UnknownZonesAndUnusableInstantsGiveNothing) {
  const double jd = CalendarToJD(2026, 8, 12, 18, 0, 0);
  for (const char* zone : {"Mars/Olympus", "../../etc/passwd", "/etc/localtime", "", "Europe/"}) {
    SCOPED_TRACE(zone);
    EXPECT_FALSE(ZoneOffset(zone, jd, 0).has_value());
    EXPECT_FALSE(IsKnownZone(zone));
  }
  EXPECT_TRUE(IsKnownZone("America/Argentina/Buenos_Aires"));
  EXPECT_FALSE(ZoneOffset("Europe/Madrid", std::nan(""), 0).has_value());
  EXPECT_FALSE(ZoneOffset("Europe/Madrid", jd, INFINITY).has_value());
}

}  // namespace
}  // namespace umbrivista
