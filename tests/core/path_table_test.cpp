// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The path table against NASA's published one.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "angles.h"
#include "eclipse_fixtures.h"
#include "path_table.h"
#include "shadow.h"

using namespace umbrivista;

namespace {

double Dm(double degrees, double minutes) {
  return degrees + minutes / 60;
}

double Km(const GeoPoint& a, double latitude, double longitude) {
  return kEarthRadiusKm * AngularDistance(a.latitude * kDegToRad, a.longitude * kDegToRad,
                                          latitude * kDegToRad, longitude * kDegToRad);
}

// NASA's path table of the total eclipse of 2024-04-08 (F. Espenak, "Path of the Total Solar
// Eclipse of 2024 Apr 08", eclipse.gsfc.nasa.gov/SEpath/SEpath2001/SE2024Apr08Tpath.html, ΔT
// 69.1 s): northern limit, southern limit and centre line (degrees and minutes north and west),
// the Sun's altitude and azimuth (whole degrees), path width (km) and central duration.
struct Row {
  int hour, minute;
  double nLat, nLon, sLat, sLon, cLat, cLon, alt, az, widthKm, durationS;
};
const Row kRows[] = {
    {18, 40, Dm(32, 23.5), Dm(98, 1.3), Dm(31, 3.1), Dm(96, 43.3), Dm(31, 43.2), Dm(97, 22.2), 66,
     185, 192, 4 * 60 + 23.7},
    {19, 0, Dm(38, 3.8), Dm(90, 18.7), Dm(36, 36.0), Dm(89, 14.5), Dm(37, 19.7), Dm(89, 46.6), 57,
     208, 186, 4 * 60 + 10.0},
    {19, 20, Dm(43, 35.6), Dm(79, 16.9), Dm(42, 0.4), Dm(78, 40.9), Dm(42, 47.8), Dm(78, 59.2), 46,
     226, 179, 3 * 60 + 45.9},
    {19, 40, Dm(48, 29.1), Dm(60, 26.8), Dm(46, 51.5), Dm(60, 59.6), Dm(47, 40.1), Dm(60, 44.7), 29,
     247, 167, 3 * 60 + 7.7},
};

// The published points lie on the lines through the rows (within 1 km); at the same UT they sit
// 2–4 km along the track from ours, the shadow running 0.8–1.3 km/s: the table's time base differs
// from ΔT = 69.1 s with these elements by about 2.5 s. Width, duration and the Sun's position
// agree to the table's rounding.
TEST(PathTable, RowsOf2024MatchNasasPathTable) {
  const auto rows = ComputePathTable(Eclipse2024Apr08(), 69.1, 30);
  ASSERT_FALSE(rows.empty());
  std::vector<GeoPoint> north, centre, south;
  for (const PathTableRow& r : rows) {
    if (r.north) north.push_back(*r.north);
    if (r.south) south.push_back(*r.south);
    centre.push_back(r.centre);
  }
  for (const Row& want : kRows) {
    const int second = want.hour * 3600 + want.minute * 60;
    const PathTableRow* row = nullptr;
    for (const PathTableRow& r : rows) {
      if (r.secondOfDay == second) row = &r;
    }
    ASSERT_NE(row, nullptr) << want.hour << ":" << want.minute;
    ASSERT_TRUE(row->north && row->south);
    EXPECT_LT(DistanceToCurveKm(north, want.nLat, -want.nLon), 1.0) << want.hour;
    EXPECT_LT(DistanceToCurveKm(south, want.sLat, -want.sLon), 1.0) << want.hour;
    EXPECT_LT(DistanceToCurveKm(centre, want.cLat, -want.cLon), 1.0) << want.hour;
    EXPECT_LT(Km(*row->north, want.nLat, -want.nLon), 4.0) << want.hour << ":" << want.minute;
    EXPECT_LT(Km(*row->south, want.sLat, -want.sLon), 4.0) << want.hour << ":" << want.minute;
    EXPECT_LT(Km(row->centre, want.cLat, -want.cLon), 4.0) << want.hour << ":" << want.minute;
    // The table rounds these to whole degrees and kilometres.
    EXPECT_NEAR(row->sunAltitudeDeg, want.alt, 0.5 + 0.5);
    EXPECT_NEAR(row->sunAzimuthDeg, want.az, 0.5 + 0.5);
    EXPECT_NEAR(row->pathWidthKm, want.widthKm, 1.0 + 0.5);
    EXPECT_NEAR(row->durationSeconds, want.durationS, 1.0);
    EXPECT_TRUE(row->total);
    EXPECT_EQ(row->year * 10000 + row->month * 100 + row->day, 20240408);
  }
}

// Instants on whole multiples of the step, within the time the axis meets the Earth; none for an
// eclipse whose axis misses it.
TEST(PathTable, StepsAndEnds) {
  for (const int step : {30, 300, 3600}) {
    const auto rows = ComputePathTable(Eclipse2024Apr08(), 69.1, step);
    ASSERT_FALSE(rows.empty());
    for (const PathTableRow& r : rows) EXPECT_EQ(r.secondOfDay % step, 0);
    // The axis meets the Earth from about 16:39 to 19:55 UT.
    EXPECT_GE(rows.front().secondOfDay, 16 * 3600 + 38 * 60);
    EXPECT_LE(rows.back().secondOfDay, 19 * 3600 + 56 * 60);
    if (step == 30) {
      EXPECT_GT(rows.size(), 380u);
    }
  }
  // With T0 at 0 h or 23 h TT the path crosses midnight UT: each row's date and time is its
  // instant.
  for (const int t0 : {0, 23}) {
    EclipseRecord shifted = Eclipse2024Apr08();
    shifted.t0Hour = t0;
    const auto rows = ComputePathTable(shifted, 69.1, 600);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().day, t0 == 0 ? 7 : 8);
    EXPECT_EQ(rows.back().day, t0 == 0 ? 8 : 9);
    for (const PathTableRow& r : rows) {
      EXPECT_NEAR((r.day - 8) * 86400 + r.secondOfDay, (t0 + r.t) * 3600 - 69.1, 1e-6);
    }
  }
  EclipseRecord partial = Eclipse2024Apr08();
  partial.typeCode = 1;
  partial.y[0] += 1.2f;
  EXPECT_TRUE(ComputePathTable(partial, 69.1, 300).empty());
}

}  // namespace
