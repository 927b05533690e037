// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "angles.h"
#include "besselian.h"
#include "eclipse_search.h"
#include "ephemeris.h"
#include "saros.h"

using namespace umbrivista;

namespace {

using namespace umbrivista::catalogue_tool;

constexpr double kE2 = kEarthEccentricitySquared;

// The total eclipse of 2024-04-08, T0 = 18 h TT, against the elements NASA publishes for it.
TEST(Elements, TotalEclipseOf2024MatchesPublishedElements) {
  Ephemeris ephemeris(UMBRIVISTA_EPHEMERIS_DIR);
  EclipseFinder finder(ephemeris);
  const GreatestEclipse greatest = finder.FindGreatest(300);
  ASSERT_TRUE(greatest.eclipse);
  const EclipseSolution s = finder.Solve(300, greatest);
  const EclipseRecord& r = s.record;
  EXPECT_EQ(r.year, 2024);
  EXPECT_EQ(r.month, 4);
  EXPECT_EQ(r.day, 8);
  EXPECT_EQ(r.t0Hour, 18);
  EXPECT_EQ(r.typeCode, 2);
  EXPECT_NEAR(r.gamma, 0.3431, 2e-4);
  EXPECT_NEAR(r.reservedReal, 1.0566, 2e-4);  // magnitude
  EXPECT_NEAR(r.julianDay, 2460409.262, 0.25);

  struct Published {
    const char* name;
    const float (&ours)[4];
    double c[4];
    bool degrees;
  };
  const Published published[] = {
      {"x", r.x, {-0.318244, 0.5117116, 0.0000326, -0.0000084}, false},
      {"y", r.y, {0.219764, 0.2709589, -0.0000595, -0.0000047}, false},
      {"d", r.d, {7.5862002, 0.0148440, -0.0000020, 0}, true},
      {"mu", r.mu, {89.591217, 15.004080, 0, 0}, true},
      {"l1", r.l1, {0.535814, 0.0000618, -0.0000128, 0}, false},
      {"l2", r.l2, {-0.010272, 0.0000615, -0.0000127, 0}, false},
      {"tan f1", r.tanF1, {0.0046683, 0, 0, 0}, false},
      {"tan f2", r.tanF2, {0.0046450, 0, 0, 0}, false},
  };
  for (const auto& p : published) {
    double worst = 0;
    for (double t = -3; t <= 3.0001; t += 0.125) {
      const double theirs = ((p.c[3] * t + p.c[2]) * t + p.c[1]) * t + p.c[0];
      double difference = EvaluateCubic(p.ours, t) - theirs;
      if (p.degrees) difference -= 360.0 * std::round(difference / 360.0);
      worst = std::max(worst, std::abs(difference));
    }
    EXPECT_LE(worst, 2e-5) << p.name;
  }
  EXPECT_LE(s.residual[0], 1e-6);
  EXPECT_LE(s.residual[1], 1e-6);
}

TEST(Elements, StateIsKeptPerThread) {
  // The library's state is per thread: a second Ephemeris on another thread must not disturb
  // this one, and both must give the same places.
  Ephemeris here(UMBRIVISTA_EPHEMERIS_DIR);
  const SunMoon before = here.Positions(2460409.25, false);
  SunMoon there{};
  std::thread other([&] {
    Ephemeris ephemeris(UMBRIVISTA_EPHEMERIS_DIR);
    there = ephemeris.Positions(2460409.25, false);
  });
  other.join();
  const SunMoon after = here.Positions(2460409.25, false);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(before.moon.position[i], there.moon.position[i]);
    EXPECT_EQ(before.moon.position[i], after.moon.position[i]);
  }
  // The Moon lies about 60 Earth radii away.
  const auto& m = before.moon.position;
  EXPECT_NEAR(std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]), 58.0, 6.0);
}

TEST(Elements, DatesBeyondTheFilesAreRefused) {
  Ephemeris ephemeris(UMBRIVISTA_EPHEMERIS_DIR);
  // Year 20000: no DE431 file covers it, and the analytical fallback must not be accepted.
  EXPECT_THROW(ephemeris.Positions(9000000.5, false), EphemerisError);
  EXPECT_THROW(Ephemeris("/nonexistent-ephemeris-folder"), EphemerisError);
}

TEST(Geometry, ElementsOfAnAlignedMoonLieOnTheAxis) {
  // Sun and Moon on the same line from the Earth's centre: the axis passes through the centre.
  const Vec3 sun = {23000.0, 0.0, 0.0}, moon = {56.0, 0.0, 0.0};
  const Elements e = ComputeElements(sun, moon, 0.5);
  EXPECT_NEAR(e.x, 0, 1e-12);
  EXPECT_NEAR(e.y, 0, 1e-12);
  EXPECT_NEAR(e.z, 56.0, 1e-12);
  EXPECT_NEAR(e.d, 0, 1e-12);
  EXPECT_NEAR(e.mu, 0.5, 1e-12);  // right ascension 0
  // Penumbra wider than the Moon, umbra narrower; the umbra of a Moon this near reaches the
  // fundamental plane (l2 < 0).
  EXPECT_GT(e.l1, kPenumbraMoonRadius);
  EXPECT_LT(e.l2, 0);
  EXPECT_GT(e.tanF1, e.tanF2);

  // A Moon displaced northward shows up as +y; x grows eastward (towards increasing α).
  const Elements north = ComputeElements(sun, {60.0, 0.0, 0.5}, 0.0);
  EXPECT_GT(north.y, 0.45);
  const Elements east = ComputeElements(sun, {60.0, 0.5, 0.0}, 0.0);
  EXPECT_GT(east.x, 0.45);
  EXPECT_NEAR(
      AxisDistanceSquared(sun, {60.0, 0.3, 0.4}),
      [&] {
        const Elements e = ComputeElements(sun, {60.0, 0.3, 0.4}, 0);
        return e.x * e.x + e.y * e.y;
      }(),
      1e-12);
}

TEST(Geometry, OutlineOfTheFlattenedEarth) {
  // Seen from the equator's plane (d = 0) the outline is an ellipse with semi-axes 1 and
  // √(1 − e²); seen from above a pole (d = 90°) a unit circle.
  const double polar = std::sqrt(1 - kE2);
  EXPECT_NEAR(ConeGap(1.5, 0, 0, 0, 0), 0.5, 1e-9);
  EXPECT_NEAR(ConeGap(0, 1.5, 0, 0, 0), 1.5 - polar, 1e-9);
  EXPECT_NEAR(ConeGap(0, -1.5, 0, 0, 0), 1.5 - polar, 1e-9);
  EXPECT_NEAR(ConeGap(0, 1.5, kPi / 2, 0, 0), 0.5, 1e-9);
  // A cone of radius l is a gap of l less; a cone narrowing toward the Sun meets the limb
  // only 1/cos f beyond a cylinder of the same radius at ζ = 0.
  EXPECT_NEAR(ConeGap(1.5, 0, 0, 0.3, 0), 0.2, 1e-9);
  const double tanF = 0.0047;
  EXPECT_NEAR(ConeGap(1.5, 0, 0, 0.3, tanF), 0.2 - (std::sqrt(1 + tanF * tanF) - 1), 1e-12);
  // Inside the outline the gap is negative.
  EXPECT_LT(ConeGap(0.5, 0.5, 0.3, 0, 0), 0);

  // The axis meets the ellipsoid exactly where the outline test says so, and enters it on the
  // sunward side.
  for (double d : {-0.4, 0.0, 0.2, 0.41}) {
    for (double x = -1.1; x <= 1.1; x += 0.05) {
      for (double y = -1.1; y <= 1.1; y += 0.05) {
        const auto zeta = AxisEntryZeta(x, y, d);
        const double measure = OutlineMeasure(x, y, d);
        if (std::abs(measure - 1) < 1e-9) continue;
        ASSERT_EQ(zeta.has_value(), measure < 1) << x << " " << y << " " << d;
        if (zeta) {
          EXPECT_GE(*zeta, -1e-12);
        }
      }
    }
  }
  EXPECT_NEAR(*AxisEntryZeta(0, 0, 0), 1.0, 1e-12);
  EXPECT_NEAR(*AxisEntryZeta(0, 0, kPi / 2), std::sqrt(1 - kE2), 1e-12);
  // The point found lies on the ellipsoid: |p|² + e²/(1 − e²)·(p·pole)² = 1.
  const double x = 0.3, y = 0.6, d = 0.35;
  const double z = *AxisEntryZeta(x, y, d);
  const double alongPole = y * std::cos(d) + z * std::sin(d);
  EXPECT_NEAR(x * x + y * y + z * z + kE2 / (1 - kE2) * alongPole * alongPole, 1.0, 1e-12);
}

TEST(Geometry, CubicFitRecoversACubicAndAveragesNoise) {
  std::vector<double> t, v;
  for (int i = 0; i <= 48; ++i) {
    t.push_back(-4 + i / 6.0);
    const double x = t.back();
    v.push_back(0.25 - 0.5 * x + 3e-5 * x * x - 8e-6 * x * x * x + (i % 2 ? 1e-9 : -1e-9));
  }
  const auto c = FitCubic(t, v);
  EXPECT_NEAR(c[0], 0.25, 1e-9);
  EXPECT_NEAR(c[1], -0.5, 1e-9);
  EXPECT_NEAR(c[2], 3e-5, 1e-10);
  EXPECT_NEAR(c[3], -8e-6, 1e-10);
}

TEST(Saros, DecompositionKeepsSeriesAndSteps) {
  EXPECT_EQ(DecomposeLunation(kSarosAnchorLunation), (SarosPosition{0, 0}));
  // One saros (223 lunations) later: the next member; one inex (358) later: the next series.
  EXPECT_EQ(DecomposeLunation(kSarosAnchorLunation + 223), (SarosPosition{0, 1}));
  EXPECT_EQ(DecomposeLunation(kSarosAnchorLunation + 358).Series(), 140);
  // 1999-08-11 (lunation −5) and 2017-08-21 (lunation 218) are consecutive members of Saros 145.
  const SarosPosition a = DecomposeLunation(-5), b = DecomposeLunation(218);
  EXPECT_EQ(a.Series(), 145);
  EXPECT_EQ(b.Series(), 145);
  EXPECT_EQ(b.saros, a.saros + 1);
  for (Lunation k = -200000; k <= 200000; k += 997) {
    EXPECT_EQ(LunationOf(DecomposeLunation(k)), k);
  }
}

}  // namespace
