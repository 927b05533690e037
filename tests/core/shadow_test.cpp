#include <gtest/gtest.h>

#include <cmath>

#include "angles.h"
#include "deltat.h"
#include "eclipse_fixtures.h"
#include "numbers.h"
#include "shadow.h"

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
