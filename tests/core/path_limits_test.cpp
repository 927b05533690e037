// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Limits of the central path and of the partial eclipse, the distance from a place to the path's
// limit, and the obscuration, against NASA's published tables.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

#include "angles.h"
#include "deltat.h"
#include "eclipse_fixtures.h"
#include "local_circumstances.h"
#include "path_limits.h"
#include "shadow.h"
#include "shipped_catalogue.h"

using namespace umbrivista;

namespace {

// Degrees and arc minutes as printed in the tables; the sign of the degrees applies to both.
double Dm(double degrees, double minutes) {
  return std::signbit(degrees) ? degrees - minutes / 60 : degrees + minutes / 60;
}

double Km(const GeoPoint& a, double latitude, double longitude) {
  return kEarthRadiusKm * AngularDistance(a.latitude * kDegToRad, a.longitude * kDegToRad,
                                          latitude * kDegToRad, longitude * kDegToRad);
}

std::vector<const LimitCurve*> OfKind(const std::vector<LimitCurve>& curves, LimitKind kind) {
  std::vector<const LimitCurve*> out;
  for (const LimitCurve& c : curves) {
    if (c.kind == kind) out.push_back(&c);
  }
  return out;
}

// The one piece of a kind; fails the calling test when there is not exactly one.
const LimitCurve& Only(const std::vector<LimitCurve>& curves, LimitKind kind) {
  const auto found = OfKind(curves, kind);
  if (found.size() != 1) {
    ADD_FAILURE() << LimitKindName(kind) << ": " << found.size() << " pieces";
    static const LimitCurve empty;
    return empty;
  }
  return *found[0];
}

// The total eclipse of 2017-08-21 with NASA's published elements (F. Espenak, NASA GSFC,
// Besselian elements of the Total Solar Eclipse of 2017 Aug 21, T0 = 18 h TDT).
EclipseRecord Eclipse2017Aug21() {
  EclipseRecord r;
  r.year = 2017;
  r.month = 8;
  r.day = 21;
  r.typeCode = 2;
  r.t0Hour = 18;
  const float x[4] = {-0.1295710f, 0.5406426f, -0.0000294f, -0.0000081f};
  const float y[4] = {0.4854160f, -0.1416400f, -0.0000905f, 0.0000020f};
  const float d[4] = {11.8669596f, -0.0136220f, -0.0000020f, 0};
  const float mu[4] = {89.245430f, 15.003940f, 0, 0};
  const float l1[4] = {0.5420930f, 0.0001241f, -0.0000118f, 0};
  const float l2[4] = {-0.0040250f, 0.0001234f, -0.0000117f, 0};
  for (int i = 0; i < 4; ++i) {
    r.x[i] = x[i];
    r.y[i] = y[i];
    r.d[i] = d[i];
    r.mu[i] = mu[i];
    r.l1[i] = l1[i];
    r.l2[i] = l2[i];
  }
  r.tanF1[0] = 0.0046222f;
  r.tanF2[0] = 0.0045992f;
  return r;
}

// NASA's path table of the total eclipse of 2024-04-08 (F. Espenak, eclipse.gsfc.nasa.gov/SEpath/
// SEpath2001/SE2024Apr08Tpath.html), every row from 18:32 to 19:52 UT: northern and southern
// limit, degrees and minutes north and west.
struct LimitRow {
  int hour, minute;
  double nLatD, nLatM, nLonD, nLonM, sLatD, sLatM, sLonD, sLonM;
};
const LimitRow kPath2024[] = {
    {18, 32, 30, 06.5, 100, 35.3, 28, 48.8, 99, 13.9},
    {18, 34, 30, 40.8, 99, 57.9, 29, 22.4, 98, 37.4},
    {18, 36, 31, 15.0, 99, 19.9, 29, 56.0, 98, 00.1},
    {18, 38, 31, 49.3, 98, 41.0, 30, 29.6, 97, 22.1},
    {18, 40, 32, 23.5, 98, 01.3, 31, 03.1, 96, 43.3},
    {18, 42, 32, 57.6, 97, 20.6, 31, 36.6, 96, 03.6},
    {18, 44, 33, 31.8, 96, 38.8, 32, 10.0, 95, 23.0},
    {18, 46, 34, 05.9, 95, 56.0, 32, 43.4, 94, 41.3},
    {18, 48, 34, 40.0, 95, 12.1, 33, 16.8, 93, 58.5},
    {18, 50, 35, 14.1, 94, 26.9, 33, 50.1, 93, 14.6},
    {18, 52, 35, 48.1, 93, 40.3, 34, 23.4, 92, 29.5},
    {18, 54, 36, 22.1, 92, 52.3, 34, 56.6, 91, 43.0},
    {18, 56, 36, 56.0, 92, 02.8, 35, 29.8, 90, 55.0},
    {18, 58, 37, 29.9, 91, 11.6, 36, 02.9, 90, 05.6},
    {19, 0, 38, 03.8, 90, 18.7, 36, 36.0, 89, 14.5},
    {19, 2, 38, 37.5, 89, 23.9, 37, 09.0, 88, 21.6},
    {19, 4, 39, 11.2, 88, 27.0, 37, 41.9, 87, 26.9},
    {19, 6, 39, 44.8, 87, 27.9, 38, 14.7, 86, 30.1},
    {19, 8, 40, 18.2, 86, 26.5, 38, 47.4, 85, 31.1},
    {19, 10, 40, 51.6, 85, 22.6, 39, 19.9, 84, 29.8},
    {19, 12, 41, 24.8, 84, 15.9, 39, 52.4, 83, 26.0},
    {19, 14, 41, 57.8, 83, 06.3, 40, 24.7, 82, 19.4},
    {19, 16, 42, 30.6, 81, 53.4, 40, 56.8, 81, 09.9},
    {19, 18, 43, 03.2, 80, 37.0, 41, 28.7, 79, 57.1},
    {19, 20, 43, 35.6, 79, 16.9, 42, 00.4, 78, 40.9},
    {19, 22, 44, 07.6, 77, 52.5, 42, 31.8, 77, 20.8},
    {19, 24, 44, 39.3, 76, 23.6, 43, 02.9, 75, 56.5},
    {19, 26, 45, 10.6, 74, 49.6, 43, 33.7, 74, 27.6},
    {19, 28, 45, 41.4, 73, 10.0, 44, 04.0, 72, 53.5},
    {19, 30, 46, 11.6, 71, 24.2, 44, 33.8, 71, 13.8},
    {19, 32, 46, 41.1, 69, 31.3, 45, 03.0, 69, 27.7},
    {19, 34, 47, 09.8, 67, 30.4, 45, 31.6, 67, 34.4},
    {19, 36, 47, 37.5, 65, 20.4, 45, 59.3, 65, 32.8},
    {19, 38, 48, 04.0, 62, 59.9, 46, 26.0, 63, 21.8},
    {19, 40, 48, 29.1, 60, 26.8, 46, 51.5, 60, 59.6},
    {19, 42, 48, 52.2, 57, 38.5, 47, 15.4, 58, 24.0},
    {19, 44, 49, 13.0, 54, 31.6, 47, 37.4, 55, 32.1},
    {19, 46, 49, 30.6, 51, 00.3, 47, 56.9, 52, 19.4},
    {19, 48, 49, 43.5, 46, 55.5, 48, 12.7, 48, 38.8},
    {19, 50, 49, 49.3, 41, 59.5, 48, 23.3, 44, 17.7},
    {19, 52, 49, 41.3, 35, 27.0, 48, 24.7, 38, 48.5},
};

// The published limits lie on the computed ones. The table's ΔT and element set differ slightly
// from the fixture's (its central line sits some 1–2 km along the track from ours at the same
// UT), so the test measures how far each published point lies from the computed curve.
TEST(PathLimits, UmbralLimitsOf2024FollowNasasPathTable) {
  const auto curves = ComputePathLimits(Eclipse2024Apr08(), 69.1);
  const LimitCurve& north = Only(curves, LimitKind::kUmbralNorth);
  const LimitCurve& south = Only(curves, LimitKind::kUmbralSouth);
  for (const LimitRow& row : kPath2024) {
    const double nLat = Dm(row.nLatD, row.nLatM), nLon = -Dm(row.nLonD, row.nLonM);
    const double sLat = Dm(row.sLatD, row.sLatM), sLon = -Dm(row.sLonD, row.sLonM);
    EXPECT_LT(DistanceToCurveKm(north.points, nLat, nLon), 1.0) << row.hour << ":" << row.minute;
    EXPECT_LT(DistanceToCurveKm(south.points, sLat, sLon), 1.0) << row.hour << ":" << row.minute;
    // … and not on the other limit, some 190 km across the path.
    EXPECT_GT(DistanceToCurveKm(south.points, nLat, nLon), 150);
  }
}

// NASA's path table of the total eclipse of 2017-08-21 (F. Espenak, eclipse.gsfc.nasa.gov/SEpath/
// SEpath2001/SE2017Aug21Tpath.html, ΔT = 68.8 s), in thousandths of a degree: 16:50 UT, then every
// 10 minutes from 17:00 to 20:00 UT; and the rows "Limits", where each limit meets the horizon.
struct TimedPoint {
  int hour, minute;
  double latitude, longitude;
};
const TimedPoint kNorth2017[] = {
    {16, 50, 41.495, -164.505}, {17, 0, 44.752, -142.047},  {17, 10, 45.350, -130.560},
    {17, 20, 45.198, -121.843}, {17, 30, 44.612, -114.650}, {17, 40, 43.727, -108.472},
    {17, 50, 42.618, -103.032}, {18, 0, 41.333, -98.148},   {18, 10, 39.902, -93.693},
    {18, 20, 38.342, -89.562},  {18, 30, 36.668, -85.667},  {18, 40, 34.887, -81.927},
    {18, 50, 32.998, -78.260},  {19, 0, 30.998, -74.582},   {19, 10, 28.875, -70.785},
    {19, 20, 26.607, -66.737},  {19, 30, 24.152, -62.225},  {19, 40, 21.430, -56.880},
    {19, 50, 18.247, -49.828},  {20, 0, 13.660, -36.810},
};
const TimedPoint kSouth2017[] = {
    {16, 50, 41.420, -161.407}, {17, 0, 44.048, -140.963},  {17, 10, 44.500, -129.870},
    {17, 20, 44.267, -121.433}, {17, 30, 43.637, -114.468}, {17, 40, 42.732, -108.483},
    {17, 50, 41.620, -103.205}, {18, 0, 40.343, -98.462},   {18, 10, 38.930, -94.122},
    {18, 20, 37.398, -90.088},  {18, 30, 35.757, -86.273},  {18, 40, 34.010, -82.600},
    {18, 50, 32.163, -78.988},  {19, 0, 30.207, -75.355},   {19, 10, 28.132, -71.597},
    {19, 20, 25.917, -67.582},  {19, 30, 23.522, -63.107},  {19, 40, 20.873, -57.808},
    {19, 50, 17.793, -50.857},  {20, 0, 13.477, -38.467},
};

TEST(PathLimits, UmbralLimitsOf2017MatchNasasPathTableAtEachInstant) {
  constexpr double kDeltaT = 68.8;
  const EclipseRecord r = Eclipse2017Aug21();
  const auto curves = ComputePathLimits(r, kDeltaT);
  const LimitCurve& north = Only(curves, LimitKind::kUmbralNorth);
  const LimitCurve& south = Only(curves, LimitKind::kUmbralSouth);
  for (const auto& [kind, curve, table] :
       {std::tuple{LimitKind::kUmbralNorth, &north, kNorth2017},
        std::tuple{LimitKind::kUmbralSouth, &south, kSouth2017}}) {
    for (int i = 0; i < 20; ++i) {
      const TimedPoint& p = table[i];
      EXPECT_LT(DistanceToCurveKm(curve->points, p.latitude, p.longitude), 1.0)
          << p.hour << p.minute;
      // The limit point at the same instant. At 16:50 the Sun stands 7° high and the shadow runs
      // over 3 km/s, so a second of difference in the tables' time base moves it by kilometres.
      if (i == 0) continue;
      const double t = p.hour + p.minute / 60.0 + kDeltaT / 3600 - r.t0Hour;
      const auto at = LimitPointAt(r, kDeltaT, kind, t);
      ASSERT_TRUE(at) << p.hour << ":" << p.minute;
      EXPECT_LT(Km(*at, p.latitude, p.longitude), 2.0) << p.hour << ":" << p.minute;
    }
  }
  // Where the limits meet the horizon: the ends of the curves.
  EXPECT_LT(Km(north.points.front(), 39.995, -171.748), 1.0);
  EXPECT_LT(Km(north.points.back(), 11.260, -27.332), 1.0);
  EXPECT_LT(Km(south.points.front(), 39.480, -171.433), 1.0);
  EXPECT_LT(Km(south.points.back(), 10.782, -27.552), 1.0);
}

// NASA's shadow contact tables give where each limit meets the horizon, in "ephemeris longitude"
// (ΔT = 0): Total Solar Eclipse of 2006 March 29 (F. Espenak and J. Anderson, NASA eclipse
// bulletin, table 3) and Annular and Total Solar Eclipses of 2003 (NASA TP 2002-211618, table 2).
// The 2003-05-31 eclipse, with the shadow axis grazing the Earth near the pole, has one limit of
// each kind, as a partial eclipse has one penumbral limit. The elements are the shipped ones.
TEST(PathLimits, LimitsMeetTheHorizonWhereNasasContactTablesPutThem) {
  auto curves = ComputePathLimits(ShippedRecord(2006, 3, 29), 0);
  const LimitCurve& un = Only(curves, LimitKind::kUmbralNorth);
  const LimitCurve& us = Only(curves, LimitKind::kUmbralSouth);
  const LimitCurve& pn = Only(curves, LimitKind::kPenumbralNorth);
  const LimitCurve& ps = Only(curves, LimitKind::kPenumbralSouth);
  if (un.points.empty() || us.points.empty() || pn.points.empty() || ps.points.empty()) return;
  EXPECT_LT(Km(un.points.front(), Dm(-5, 43.5), Dm(-37, 41.2)), 2.0);
  EXPECT_LT(Km(un.points.back(), Dm(52, 7.5), Dm(98, 43.1)), 2.0);
  EXPECT_LT(Km(us.points.front(), Dm(-6, 52.3), Dm(-37, 24.4)), 2.0);
  EXPECT_LT(Km(us.points.back(), Dm(51, 0.6), Dm(98, 20.2)), 2.0);
  EXPECT_LT(Km(pn.points.front(), Dm(38, 32.0), Dm(-54, 42.3)), 10.0);
  EXPECT_LT(Km(pn.points.back(), Dm(82, 45.0), Dm(-99, 33.9)), 10.0);
  EXPECT_LT(Km(ps.points.front(), Dm(-37, 45.3), Dm(-33, 15.0)), 10.0);
  EXPECT_LT(Km(ps.points.back(), Dm(20, 10.0), Dm(93, 18.9)), 10.0);

  curves = ComputePathLimits(ShippedRecord(2003, 5, 31), 0);
  EXPECT_TRUE(OfKind(curves, LimitKind::kUmbralNorth).empty());
  EXPECT_TRUE(OfKind(curves, LimitKind::kPenumbralNorth).empty());
  const LimitCurve& umbral = Only(curves, LimitKind::kUmbralSouth);
  const LimitCurve& penumbral = Only(curves, LimitKind::kPenumbralSouth);
  if (umbral.points.empty() || penumbral.points.empty()) return;
  EXPECT_LT(Km(umbral.points.front(), Dm(56, 47.1), Dm(-4, 52.0)), 2.0);
  EXPECT_LT(Km(umbral.points.back(), Dm(67, 57.1), Dm(-60, 36.3)), 2.0);
  EXPECT_LT(Km(penumbral.points.front(), Dm(10, 51.5), Dm(51, 44.0)), 10.0);
  EXPECT_LT(Km(penumbral.points.back(), Dm(37, 5.6), Dm(-164, 20.8)), 10.0);
}

// Moves `distanceKm` from a towards b along the great circle (degrees).
GeoPoint Toward(const GeoPoint& a, const GeoPoint& b, double distanceKm) {
  const double lat1 = a.latitude * kDegToRad, lon1 = a.longitude * kDegToRad;
  const double lat2 = b.latitude * kDegToRad, lon2 = b.longitude * kDegToRad;
  const double bearing = std::atan2(
      std::sin(lon2 - lon1) * std::cos(lat2),
      std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(lon2 - lon1));
  const double delta = distanceKm / kEarthRadiusKm;
  const double lat = std::asin(std::sin(lat1) * std::cos(delta) +
                               std::cos(lat1) * std::sin(delta) * std::cos(bearing));
  const double lon = lon1 + std::atan2(std::sin(bearing) * std::sin(delta) * std::cos(lat1),
                                       std::cos(delta) - std::sin(lat1) * std::sin(lat));
  return {lat * kRadToDeg, lon * kRadToDeg};
}

std::optional<LocalCircumstances> SeenFrom(const EclipseRecord& r, double deltaT, GeoPoint p) {
  const double phi = p.latitude * kDegToRad;
  return ComputeLocalCircumstances(r, deltaT, phi, -p.longitude * kDegToRad,
                                   ObserverGeocentric(0, phi));
}

// A place on a limit sees the Moon just cover the Sun at its greatest eclipse; 5 km into the path
// it sees totality, 5 km out of it a partial eclipse; the distance to the limit says the same.
TEST(PathLimits, PlacesOnAndBesideALimit) {
  const EclipseRecord r = Eclipse2024Apr08();
  constexpr double kDeltaT = 69.1;
  for (double t : {-1.2, -0.5, 0.3, 1.0, 1.6}) {
    for (LimitKind kind : {LimitKind::kUmbralNorth, LimitKind::kUmbralSouth}) {
      const LimitKind other =
          kind == LimitKind::kUmbralNorth ? LimitKind::kUmbralSouth : LimitKind::kUmbralNorth;
      const auto edge = LimitPointAt(r, kDeltaT, kind, t);
      const auto across = LimitPointAt(r, kDeltaT, other, t);
      ASSERT_TRUE(edge && across) << t;
      const auto on = SeenFrom(r, kDeltaT, *edge);
      ASSERT_TRUE(on) << t;
      EXPECT_NEAR(on->magnitude, 1, 1e-5) << t;
      EXPECT_NEAR(on->contactTime[kMax], t, 1e-4) << t;
      if (on->kind != EclipseKind::kPartial) {
        EXPECT_LT(CentralDurationMinutes(*on) * 60, 2) << t;
      }
      const auto limit = DistanceToPathLimit(r, kDeltaT, edge->latitude, edge->longitude);
      ASSERT_TRUE(limit);
      EXPECT_LT(limit->km, 0.1);

      for (double km : {5.0, -5.0}) {
        const GeoPoint place = Toward(*edge, *across, km);  // negative: away from the path
        const auto seen = SeenFrom(r, kDeltaT, place);
        ASSERT_TRUE(seen);
        EXPECT_EQ(seen->kind, km > 0 ? EclipseKind::kTotal : EclipseKind::kPartial) << t << km;
        const auto d = DistanceToPathLimit(r, kDeltaT, place.latitude, place.longitude);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->inside, km > 0) << t << " " << km;
        EXPECT_NEAR(d->km, 5, 0.5) << t << " " << km;
      }
    }
  }
}

TEST(PathLimits, DistanceToTheLimitOfThePath) {
  const EclipseRecord r = Eclipse2024Apr08();
  constexpr double kDeltaT = 69.1;
  const auto curves = ComputePathLimits(r, kDeltaT);
  const LimitCurve& north = Only(curves, LimitKind::kUmbralNorth);
  // Dallas lies inside, near the north-western limit; away from the path's ends the distance at
  // the place's greatest eclipse and the nearest distance to the curve agree to a kilometre.
  const auto dallas = DistanceToPathLimit(r, kDeltaT, 32.78, -96.80);
  ASSERT_TRUE(dallas);
  EXPECT_TRUE(dallas->inside);
  EXPECT_NEAR(dallas->km, DistanceToCurveKm(north.points, 32.78, -96.80), 1.0);
  EXPECT_GT(dallas->km, 30);
  EXPECT_LT(dallas->km, 70);
  // New York lies outside, south-east of the path.
  const auto newYork = DistanceToPathLimit(r, kDeltaT, 40.71, -74.01);
  ASSERT_TRUE(newYork);
  EXPECT_FALSE(newYork->inside);
  EXPECT_GT(newYork->km, 250);
  // A place on the far side of the Earth still gets a finite distance.
  const auto sydney = DistanceToPathLimit(r, kDeltaT, -33.87, 151.21);
  ASSERT_TRUE(sydney);
  EXPECT_FALSE(sydney->inside);
  EXPECT_TRUE(std::isfinite(sydney->km));
  // No central path, no distance.
  EclipseRecord partial = r;
  partial.typeCode = 1;
  EXPECT_FALSE(DistanceToPathLimit(partial, kDeltaT, 32.78, -96.80));
  EXPECT_FALSE(DistanceToPathLimit(r, std::nan(""), 32.78, -96.80));
}

// Every piece of every kind for eclipses across the globe: enough points, nothing invalid, no step
// longer than 100 km (no jump across the globe), the limits ending with the Sun on the horizon and
// the rise/set loops closed.
TEST(PathLimits, PiecesAreUnbrokenAndEndOnTheHorizon) {
  struct Case {
    int year, month, day;
  };
  for (const Case c : {Case{2024, 4, 8}, Case{2021, 6, 10}, Case{2021, 12, 4}, Case{2022, 4, 30},
                       Case{2023, 4, 20}, Case{2003, 5, 31}}) {
    const EclipseRecord r = ShippedRecord(c.year, c.month, c.day);
    const double deltaT = DeltaT(r.year, r.month);
    const auto curves = ComputePathLimits(r, deltaT);
    EXPECT_EQ(OfKind(curves, LimitKind::kUmbralNorth).empty() &&
                  OfKind(curves, LimitKind::kUmbralSouth).empty(),
              r.typeCode == 1)
        << c.year;
    EXPECT_FALSE(OfKind(curves, LimitKind::kRiseSet).empty()) << c.year;
    for (const LimitCurve& curve : curves) {
      const auto& pts = curve.points;
      ASSERT_GE(pts.size(), static_cast<std::size_t>(kMinLimitCurvePoints)) << c.year;
      for (std::size_t i = 0; i < pts.size(); ++i) {
        ASSERT_TRUE(std::fabs(pts[i].latitude) <= 90 && pts[i].longitude >= -180 &&
                    pts[i].longitude < 180)
            << c.year << " " << LimitKindName(curve.kind) << " " << i;
        if (i > 0) {
          ASSERT_LE(Km(pts[i - 1], pts[i].latitude, pts[i].longitude), 100.5)
              << c.year << " " << LimitKindName(curve.kind) << " " << i;
        }
      }
      if (curve.kind == LimitKind::kRiseSet) {
        EXPECT_LT(Km(pts.front(), pts.back().latitude, pts.back().longitude), 1e-6);
        continue;
      }
      // A place at the end of an umbral limit sees its greatest eclipse at sunrise or sunset (at
      // the end of a penumbral limit its magnitude is 0 and it may count as outside the penumbra).
      if (curve.kind != LimitKind::kUmbralNorth && curve.kind != LimitKind::kUmbralSouth) continue;
      for (const GeoPoint& end : {pts.front(), pts.back()}) {
        const auto seen = SeenFrom(r, deltaT, end);
        ASSERT_TRUE(seen) << c.year << " " << LimitKindName(curve.kind);
        EXPECT_LT(std::fabs(seen->sunAltitude[kMax]) * kRadToDeg, 0.5)
            << c.year << " " << LimitKindName(curve.kind);
      }
    }
  }
}

TEST(PathLimits, UnusableElementsGiveNoCurves) {
  EXPECT_TRUE(ComputePathLimits(EclipseRecord{}, 0).empty());  // no motion, no shadow
  EclipseRecord broken = Eclipse2024Apr08();
  broken.y[0] = std::nanf("");
  EXPECT_TRUE(ComputePathLimits(broken, 0).empty());
  EXPECT_TRUE(ComputePathLimits(Eclipse2024Apr08(), std::nan("")).empty());
  EclipseRecord far = Eclipse2024Apr08();
  far.y[0] = 4;  // the shadow passes far north of the Earth
  EXPECT_TRUE(ComputePathLimits(far, 0).empty());
  EXPECT_FALSE(LimitPointAt(Eclipse2024Apr08(), 0, LimitKind::kRiseSet, 0));
  EXPECT_FALSE(LimitPointAt(far, 0, LimitKind::kUmbralNorth, 0));
  EXPECT_FALSE(LimitPointAt(Eclipse2024Apr08(), 0, LimitKind::kUmbralNorth, std::nan("")));
  EXPECT_DOUBLE_EQ(DistanceToCurveKm({}, 10, 10) / kEarthRadiusKm, kPi);
}

// The covered fraction against a count of grid cells of the Sun's disc that the Moon's covers.
TEST(Obscuration, EqualsTheOverlapOfTheDiscs) {
  constexpr int kCells = 800;
  for (double k : {0.95, 1.0, 1.06}) {
    for (double m : {0.05, 0.3, 0.5, 0.8, 0.97}) {
      const double centres = 1 + k - 2 * m;
      int covered = 0, sun = 0;
      for (int i = 0; i < kCells; ++i) {
        for (int j = 0; j < kCells; ++j) {
          const double x = -1 + (i + 0.5) * 2 / kCells, y = -1 + (j + 0.5) * 2 / kCells;
          if (x * x + y * y > 1) continue;
          ++sun;
          covered += (x - centres) * (x - centres) + y * y <= k * k;
        }
      }
      EXPECT_NEAR(Obscuration(m, k), static_cast<double>(covered) / sun, 5e-4) << k << " " << m;
    }
  }
  // Two equal discs one radius apart overlap by (2π/3 − √3/2)/π.
  EXPECT_NEAR(Obscuration(0.5, 1), (2 * kPi / 3 - std::sqrt(3.0) / 2) / kPi, 1e-12);
  EXPECT_DOUBLE_EQ(Obscuration(0.96, 0.95), 0.95 * 0.95);  // the Moon inside the Sun
  EXPECT_EQ(Obscuration(1.02, 1.03), 1);
  EXPECT_EQ(Obscuration(0, 1.0), 0);
  EXPECT_EQ(Obscuration(-0.2, 1.0), 0);
  EXPECT_EQ(Obscuration(0.5, std::nan("")), 0);
}

// Seen from inside an annular path the Moon covers the square of the Moon/Sun ratio of the Sun:
// less than the magnitude, which counts the diameter.
TEST(Obscuration, AtGreatestEclipseOfAnAnnularPlace) {
  const EclipseRecord annular = ShippedRecord(2023, 10, 14);
  const auto albuquerque = SeenFrom(annular, DeltaT(2023, 10), {35.08, -106.65});
  ASSERT_TRUE(albuquerque);
  ASSERT_EQ(albuquerque->kind, EclipseKind::kAnnular);
  EXPECT_GT(albuquerque->obscuration, 0.85);
  EXPECT_LT(albuquerque->obscuration, albuquerque->magnitude);
}

}  // namespace

// The nearest central phase for places outside the path, each answer checked by other means: the
// point is at the stated distance and bearing (the forward great-circle formula from the place
// lands on it), a kilometre beyond it is central and a kilometre short is not, and the centre
// line's duration is that of the local circumstances at the axis point, which lies across the
// path from the limit point (nearer to it than to the place). Madrid, near sunset, is nearer to
// the limit in the north (Alcobendas) than to the limit point of its own greatest eclipse.
TEST(PathLimits, NearestCentralPhaseOutsideThePath) {
  struct Case {
    const char* label;
    EclipseRecord record;
    double lat, lon;
    double minKm, maxKm;
    const char* compass;
  };
  const Case cases[] = {
      {"Madrid 2026, at sunset", ShippedRecord(2026, 8, 12), 40.42, -3.70, 5, 20, "NNE"},
      {"New York 2024", Eclipse2024Apr08(), 40.71, -74.01, 250, 350, "NNW"},
      {"Santiago 2019, south of the path", ShippedRecord(2019, 7, 2), -33.45, -70.67, 250, 450,
       "NNE"},
      {"Kuala Lumpur, annular 2019-12-26", ShippedRecord(2019, 12, 26), 3.14, 101.69, 100, 250,
       "S"},
      {"South Pacific 2012, across 180°", ShippedRecord(2012, 11, 13), -38, 178, 300, 600, "NNE"},
      {"McMurdo 2021, Antarctica", ShippedRecord(2021, 12, 4), -77.85, 166.67, 1000, 1500, "ESE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const double deltaT = DeltaT(c.record.year, c.record.month);
    const auto near = CentralPath(c.record, deltaT).Nearest(c.lat, c.lon);
    ASSERT_TRUE(near);
    EXPECT_GT(near->km, c.minKm);
    EXPECT_LT(near->km, c.maxKm);
    EXPECT_STREQ(CompassPoint(near->bearing, Language::kEnglish), c.compass);
    EXPECT_NEAR(Km(near->point, c.lat, c.lon), near->km, 1e-6);
    // Forward along the bearing: s km from the place.
    auto along = [&](double km) {
      const double a = km / kEarthRadiusKm, phi = c.lat * kDegToRad;
      const double lat2 = std::asin(std::sin(phi) * std::cos(a) +
                                    std::cos(phi) * std::sin(a) * std::cos(near->bearing));
      const double lon2 =
          c.lon * kDegToRad + std::atan2(std::sin(near->bearing) * std::sin(a) * std::cos(phi),
                                         std::cos(a) - std::sin(phi) * std::sin(lat2));
      return GeoPoint{lat2 * kRadToDeg, lon2 * kRadToDeg};
    };
    EXPECT_LT(Km(along(near->km), near->point.latitude, near->point.longitude), 0.05);
    auto kindAt = [&](const GeoPoint& p) {
      const double phi = p.latitude * kDegToRad;
      const auto lc = ComputeLocalCircumstances(c.record, deltaT, phi, -p.longitude * kDegToRad,
                                                ObserverGeocentric(0, phi));
      return lc ? lc->kind : EclipseKind::kPartial;
    };
    EXPECT_EQ(kindAt(along(near->km - 1)), EclipseKind::kPartial);
    EXPECT_NE(kindAt(along(near->km + 1)), EclipseKind::kPartial);
    const GeoPoint inside = along(near->km + 1);
    EXPECT_FALSE(SeesCentralPhase(c.record, deltaT, c.lat, c.lon));
    EXPECT_TRUE(SeesCentralPhase(c.record, deltaT, inside.latitude, inside.longitude));
    ASSERT_TRUE(near->hasCentreLine);
    EXPECT_LT(Km(near->centreLine, near->point.latitude, near->point.longitude),
              Km(near->centreLine, c.lat, c.lon));
    const double phi = near->centreLine.latitude * kDegToRad;
    const auto axis = ComputeLocalCircumstances(c.record, deltaT, phi,
                                                -near->centreLine.longitude * kDegToRad,
                                                ObserverGeocentric(0, phi));
    ASSERT_TRUE(axis);
    EXPECT_EQ(axis->kind == EclipseKind::kTotal, near->total);
    EXPECT_NEAR(CentralDurationMinutes(*axis) * 60, near->durationSeconds, 1.0);
  }
  // Inside the path, and for a partial eclipse, there is no answer.
  EXPECT_FALSE(CentralPath(Eclipse2024Apr08(), 69.1).Nearest(32.78, -96.80));
  EXPECT_TRUE(SeesCentralPhase(Eclipse2024Apr08(), 69.1, 32.78, -96.80));
  EXPECT_FALSE(CentralPath(ShippedRecord(2019, 12, 26), 69.1).Nearest(1.29, 103.85));  // Singapore
  EclipseRecord partial = Eclipse2024Apr08();
  partial.typeCode = 1;
  EXPECT_FALSE(CentralPath(partial, 69.1).Nearest(40.71, -74.01));
  EXPECT_FALSE(CentralPath(Eclipse2024Apr08(), 69.1).Nearest(std::nan(""), 0));
}

TEST(PathLimits, CompassPointsByLanguage) {
  struct Case {
    double degrees;
    Language language;
    const char* name;
  };
  const Case cases[] = {
      {0, Language::kEnglish, "N"},     {11.2, Language::kEnglish, "N"},
      {11.3, Language::kEnglish, "NNE"}, {359, Language::kEnglish, "N"},
      {90, Language::kGerman, "O"},     {67.5, Language::kGerman, "ONO"},
      {270, Language::kFrench, "O"},    {315, Language::kFrench, "NO"},
      {202.5, Language::kEnglish, "SSW"}, {-90, Language::kEnglish, "W"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(CompassPoint(c.degrees * kDegToRad, c.language), c.name) << c.degrees;
  }
  EXPECT_STREQ(CompassPoint(std::nan(""), Language::kEnglish), "");
}
