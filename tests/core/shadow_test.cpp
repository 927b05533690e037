// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "deltat.h"
#include "eclipse_fixtures.h"
#include "numbers.h"
#include "shadow.h"
#include "shipped_catalogue.h"

using namespace umbrivista;

namespace {

double WrapDeg(double deg) {
  return NonNegativeRemainder(deg + 180, 360) - 180;
}

TEST(EvaluateElements, ConstantTermsAtT0AndExactRates) {
  const EclipseRecord r = Eclipse2024Apr08();
  ShadowState s;
  EvaluateElements(r, 0, s);
  EXPECT_EQ(s.x, r.x[0]);
  EXPECT_EQ(s.y, r.y[0]);
  EXPECT_EQ(s.d, static_cast<float>(r.d[0] * kDegToRad));
  EXPECT_EQ(s.mu, static_cast<float>(r.mu[0] * kDegToRad));
  EXPECT_EQ(s.l2, r.l2[0]);
  EXPECT_EQ(s.tanF2, r.tanF2[0]);
  EXPECT_EQ(s.xRate, r.x[1]);
  EXPECT_EQ(s.yRate, r.y[1]);

  ShadowState a, b;
  EvaluateElements(r, 2.5 - 1e-4, a);
  EvaluateElements(r, 2.5 + 1e-4, b);
  EvaluateElements(r, 2.5, s);
  EXPECT_NEAR(s.xRate, (double(b.x) - a.x) / 2e-4, 1e-3);
  EXPECT_NEAR(s.yRate, (double(b.y) - a.y) / 2e-4, 1e-3);
  EXPECT_DOUBLE_EQ(s.sinD, std::sin(double(s.d)));
}

// Greatest eclipse of 2024-04-08 as NASA publishes it: 18:18:29 TD (least distance of the axis from
// the Earth's centre), 25°17'N 104°08'W, 4m28s, 198 km, Sun at 70°.
TEST(InstantUpdate, GreatestEclipseOf2024MatchesPublishedCircumstances) {
  const EclipseRecord r = Eclipse2024Apr08();
  ShadowState s;
  s.deltaT = DeltaT(2024, 4);
  const double t = (18 + 29.0 / 60) / 60;
  const InstantResult at = UpdateInstant(r, t, false, s);
  ASSERT_TRUE(at.onEarth);
  EXPECT_TRUE(s.axisOnEarth);
  EXPECT_NEAR(at.point.latitude * kRadToDeg, 25.29, 0.05);
  EXPECT_NEAR(at.point.longitude * kRadToDeg, -104.13, 0.05);
  EXPECT_NEAR(at.quantities.durationSeconds, 268, 1.5);
  EXPECT_NEAR(at.quantities.pathWidthKm, 197.5, 2);
  EXPECT_NEAR(at.quantities.sunAltitude * kRadToDeg, 69.8, 0.3);
  EXPECT_LT(at.quantities.l2Local, 0);  // total
  EXPECT_DOUBLE_EQ(s.zeta, at.point.zeta1);
  EXPECT_DOUBLE_EQ(s.axisLongitudeWest, -at.point.longitude);
  EXPECT_NEAR(s.motionAngle, std::atan2(s.yRate, s.xRate), 1e-15);
}

TEST(InstantUpdate, UniversalTimeTurnsTheEarthEast) {
  const EclipseRecord r = Eclipse2024Apr08();
  ShadowState tt, ut;
  ut.deltaT = 69.0;
  const InstantResult a = UpdateInstant(r, 1.0, false, tt);
  const InstantResult b = UpdateInstant(r, 1.0, false, ut);
  ASSERT_TRUE(a.onEarth && b.onEarth);
  EXPECT_NEAR(WrapDeg((b.point.longitude - a.point.longitude) * kRadToDeg), 0.00417807 * 69.0,
              1e-9);
  EXPECT_DOUBLE_EQ(b.point.latitude, a.point.latitude);
  const GeoPosition s1 = SubSolarPoint(tt), s2 = SubSolarPoint(ut);
  EXPECT_NEAR(WrapDeg((s2.longitude - s1.longitude) * kRadToDeg), 0.00417807 * 69.0, 1e-9);
  EXPECT_EQ(s1.latitude, tt.d);
}

TEST(InstantUpdate, BackViewGivesTheNightSideExit) {
  const EclipseRecord r = Eclipse2024Apr08();
  ShadowState front, back;
  const InstantResult f = UpdateInstant(r, 0.3, false, front);
  const InstantResult b = UpdateInstant(r, 0.3, true, back);
  ASSERT_TRUE(f.onEarth && b.onEarth);
  EXPECT_GT(front.zeta, 0);
  EXPECT_DOUBLE_EQ(back.zeta, -front.zeta);
  EXPECT_LT(b.point.zeta1, 0);
  EXPECT_GT(f.quantities.sunAltitude, 0);
  EXPECT_NEAR(b.quantities.sunAltitude, -f.quantities.sunAltitude, 0.01);
  // The two points are the ends of a chord of length 2ζ1 along the axis.
  const double chord = 2 * std::sin(AngularDistance(f.point.latitude, f.point.longitude,
                                                    b.point.latitude, b.point.longitude) /
                                    2);
  EXPECT_NEAR(chord, 2 * f.point.zeta1, 0.01);
}

TEST(InstantUpdate, AxisOffTheEarth) {
  const EclipseRecord r = Eclipse2024Apr08();
  ShadowState s;
  const InstantResult at = UpdateInstant(r, 3.5, false, s);  // x ≈ 1.47
  EXPECT_FALSE(at.onEarth);
  EXPECT_FALSE(s.axisOnEarth);
  EXPECT_EQ(s.zeta, 0);
}

TEST(AxisPoint, FiniteAtThePoles) {
  EclipseRecord r;
  r.d[0] = 90;  // axis through the north pole
  ShadowState s;
  const InstantResult at = UpdateInstant(r, 0, false, s);
  ASSERT_TRUE(at.onEarth);
  EXPECT_NEAR(at.point.latitude, kPi / 2, 1e-6);
  EXPECT_TRUE(std::isfinite(at.point.hourAngle));
  EXPECT_TRUE(std::isfinite(at.point.longitude));
  EXPECT_TRUE(std::isfinite(at.quantities.sunAzimuth));
  EXPECT_TRUE(std::isfinite(at.quantities.pathWidthKm));
  r.d[0] = -90;
  const InstantResult south = UpdateInstant(r, 0, false, s);
  EXPECT_NEAR(south.point.latitude, -kPi / 2, 1e-6);
  EXPECT_TRUE(std::isfinite(south.point.longitude));
}

TEST(PoIDistances, ZeroAtTheAxisPoint) {
  const EclipseRecord r = Eclipse2024Apr08();
  ShadowState s;
  const InstantResult at = UpdateInstant(r, 0.5, false, s);
  ASSERT_TRUE(at.onEarth);
  // The axis point is given as geodetic latitude; the point of interest is reduced the same way.
  const PoIDistances d =
      ComputePoIDistances(s, at.point.latitude * kRadToDeg, at.point.longitude * kRadToDeg);
  EXPECT_NEAR(d.toAxisPointKm, 0, 1e-6);
  EXPECT_NEAR(d.toShadowAxisKm, 0, 0.05);
  const PoIDistances far =
      ComputePoIDistances(s, -at.point.latitude * kRadToDeg, at.point.longitude * kRadToDeg + 180);
  EXPECT_NEAR(far.toAxisPointKm, kPi * 6378, 1e-6);
}

// With ΔT ≠ 0 both distances still vanish at the axis point; were ΔT left out of the place's hour
// angle, the place would sit 0.29° (about 25 km here) off the axis.
TEST(PoIDistances, FollowTheEarthTurnedByDeltaT) {
  const EclipseRecord r = Eclipse2024Apr08();
  ShadowState s;
  s.deltaT = 70;
  const InstantResult at = UpdateInstant(r, 0.5, false, s);
  ASSERT_TRUE(at.onEarth);
  const double lat = at.point.latitude * kRadToDeg, lon = at.point.longitude * kRadToDeg;
  PoIDistances d = ComputePoIDistances(s, lat, lon);
  EXPECT_NEAR(d.toAxisPointKm, 0, 1e-6);
  EXPECT_NEAR(d.toShadowAxisKm, 0, 0.05);
  const double turned = 70 * 0.00417807;
  d = ComputePoIDistances(s, lat, lon - turned);
  EXPECT_NEAR(d.toAxisPointKm, 6378 * turned * kDegToRad * std::cos(at.point.latitude), 0.01);
  EXPECT_GT(d.toShadowAxisKm, 20);
  // A place 10° of latitude due north, against the haversine formula on the 6378 km sphere.
  d = ComputePoIDistances(s, lat + 10, lon);
  EXPECT_NEAR(d.toAxisPointKm, 6378 * 10 * kDegToRad, 1e-6);
  const double dLon = 40 * kDegToRad, lat2 = -30 * kDegToRad, lat1 = at.point.latitude;
  const double h = std::pow(std::sin((lat2 - lat1) / 2), 2) +
                   std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(dLon / 2), 2);
  d = ComputePoIDistances(s, -30, lon + 40);
  EXPECT_NEAR(d.toAxisPointKm, 6378 * 2 * std::asin(std::sqrt(h)), 1e-6);
}

// The direction in which the Sun stands at the axis point is the direction of the great circle
// towards the sub-solar point: azimuth from south, positive towards west = bearing − 180°.
TEST(AxisQuantities, SunAzimuthPointsToTheSubSolarPoint) {
  int checked = 0;
  // 2019-07-02 crosses the South Pacific and Chile, 2012-11-13 the 180° meridian.
  for (EclipseRecord r :
       {Eclipse2024Apr08(), ShippedRecord(2019, 7, 2), ShippedRecord(2012, 11, 13)}) {
    for (double deltaT : {0.0, 70.0}) {
      for (double t = -2.5; t <= 2.5; t += 0.25) {
        ShadowState s;
        s.deltaT = deltaT;
        const InstantResult at = UpdateInstant(r, t, false, s);
        if (!at.onEarth) continue;
        const GeoPosition sun = SubSolarPoint(s);
        const double lat1 = at.point.latitude, lat2 = sun.latitude;
        const double dLon = sun.longitude - at.point.longitude;
        const double bearing = std::atan2(
            std::sin(dLon) * std::cos(lat2),
            std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon));
        const double expected = NonNegativeRemainder(bearing - kPi + kPi, kTwoPi) - kPi;
        const double diff =
            NonNegativeRemainder(at.quantities.sunAzimuth - expected + kPi, kTwoPi) - kPi;
        EXPECT_NEAR(diff, 0, 1e-6) << t;
        // And the Sun's altitude is 90° less the angular distance to the sub-solar point.
        EXPECT_NEAR(at.quantities.sunAltitude,
                    kPi / 2 - AngularDistance(lat1, at.point.longitude, lat2, sun.longitude), 1e-6)
            << t;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 40);
}

// Where the axis only grazes the Earth, moving along the limb, the width formula diverges; the
// width is held at 2500 km.
TEST(AxisQuantities, PathWidthIsCappedWhereTheAxisGrazes) {
  EclipseRecord r = Eclipse2024Apr08();
  ShadowState s;
  const InstantResult mid = UpdateInstant(r, 0.3, false, s);
  ASSERT_TRUE(mid.onEarth);
  EXPECT_NEAR(mid.quantities.pathWidthKm, 197.5, 3);

  // The axis runs along y1 = 0.9999 with d = 0: at t = 0 it touches the Earth tangentially.
  for (float* c : {r.x, r.y, r.d}) std::fill(c, c + 4, 0.0f);
  r.x[1] = 0.5f;
  r.y[0] = static_cast<float>(0.9999 * std::sqrt(1 - 0.006694385));
  const InstantResult grazing = UpdateInstant(r, 0, false, s);
  ASSERT_TRUE(grazing.onEarth);
  EXPECT_LT(grazing.point.zeta1, 0.02);
  EXPECT_EQ(grazing.quantities.pathWidthKm, 2500);
  EXPECT_TRUE(std::isfinite(grazing.quantities.durationSeconds));
  // Shortly after, the axis has left the Earth.
  const InstantResult later = UpdateInstant(r, 0.8, false, s);
  EXPECT_FALSE(later.onEarth);
}

TEST(Angles, AngularDistance) {
  EXPECT_DOUBLE_EQ(AngularDistance(0.3, 1.0, -0.3, 1.0 + kPi), kPi);
  EXPECT_NEAR(AngularDistance(0.5, 0.5, 0.5, 0.5), 0, 1e-300);
  EXPECT_NEAR(AngularDistance(0, 0, 1e-9, 0), 1e-9, 1e-22);
  EXPECT_NEAR(AngularDistance(kPi / 2, 0, kPi / 2, 2.0), 0, 1e-15);  // at the pole
  EXPECT_NEAR(AngularDistance(0, 0, 0, kPi - 1e-9), kPi - 1e-9, 1e-15);
}

TEST(Angles, ArcTan2AndRemainderRanges) {
  EXPECT_EQ(ArcTan2(0, 0), 0);
  EXPECT_EQ(ArcTan2(-0.0, -0.0), 0);
  EXPECT_EQ(ArcTan2(-0.0, -1), kPi);
  EXPECT_EQ(ArcTan2(0, -1), kPi);
  EXPECT_DOUBLE_EQ(ArcTan2(-1, 0), -kPi / 2);
  EXPECT_EQ(NonNegativeRemainder(kTwoPi, kTwoPi), 0);
  EXPECT_EQ(NonNegativeRemainder(-1e-300, kTwoPi), 0);
  EXPECT_DOUBLE_EQ(NonNegativeRemainder(-1, 24), 23);
  EXPECT_DOUBLE_EQ(NonNegativeRemainder(49.5, 24), 1.5);
}

TEST(FormatMinSec, Spans) {
  EXPECT_EQ(FormatMinSec(1, 247.3 / 3600), "  4:07.3");
  EXPECT_EQ(FormatMinSec(1, 3.0 / 3600), "  0:03.0");
  EXPECT_EQ(FormatMinSec(1, 754.0 / 3600), " 12:34.0");
  EXPECT_EQ(FormatMinSec(0, 754.0 / 3600), " 12:34");
  EXPECT_EQ(FormatMinSec(4, -61.23456 / 3600), "- 1:01.2346");
  EXPECT_EQ(FormatMinSec(0, 59.6 / 3600), "  1:00");                // rounds into the next minute
  EXPECT_EQ(FormatMinSec(0, 3725.0 / 3600), "  2:05");              // whole hours dropped
  EXPECT_EQ(FormatMinSec(0, (13 * 60 + 7) / 60.0 / 60), " 13:07");  // a time of day in h:mm
  EXPECT_FALSE(FormatMinSec(2, 1e300).empty());                     // no overflow
}

}  // namespace
