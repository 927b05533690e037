// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "angles.h"
#include "centre_line.h"
#include "eclipse_fixtures.h"
#include "shadow.h"

using namespace umbrivista;

namespace {

TEST(CentreLine, OnlyForCentralTypes) {
  EclipseRecord r = Eclipse2024Apr08();
  for (int type : {1, 5, 6, 0, 7}) {
    r.typeCode = type;
    EXPECT_TRUE(BuildCentreLine(r, 0, false).empty()) << type;
  }
  for (int type : {2, 3, 4}) {
    r.typeCode = type;
    EXPECT_EQ(BuildCentreLine(r, 0, false).size(), 201u) << type;
  }
}

TEST(CentreLine, RunsInTimeFromLimbToLimb) {
  const EclipseRecord r = Eclipse2024Apr08();
  const auto line = BuildCentreLine(r, 0, false);
  ASSERT_EQ(line.size(), 201u);
  for (std::size_t i = 1; i < line.size(); ++i) {
    EXPECT_NEAR(line[i].t - line[i - 1].t, (line.back().t - line.front().t) / 200, 1e-12);
  }
  for (const auto* end : {&line.front(), &line.back()}) {
    ShadowState s;
    EvaluateElements(r, end->t, s);
    AxisPoint p;
    ComputeAxisPoint(s, false, true, p);
    EXPECT_LT(std::fabs(p.zeta1), 2e-3) << end->t;  // on the limb: the Sun on the horizon
    const AxisQuantities q = ComputeAxisQuantities(r, s, p);
    EXPECT_LT(std::fabs(q.sunAltitude * kRadToDeg), 0.2);
  }
  // Globe units: 5,400,000 per degree, rounded.
  EXPECT_EQ(line[100].latitudeUnits, std::lround(line[100].latitude * kRadToDeg * 5400000));
  EXPECT_EQ(line[100].longitudeUnits, std::lround(line[100].longitude * kRadToDeg * 5400000));
  // NASA: the path crosses Mexico near 25°N 104°W half way.
  EXPECT_NEAR(line[100].latitude * kRadToDeg, 25.3, 1.0);
  EXPECT_NEAR(line[100].longitude * kRadToDeg, -104.2, 1.5);
}

TEST(CentreLine, UniversalTimeShiftsEveryVertexEast) {
  const EclipseRecord r = Eclipse2024Apr08();
  const auto tt = BuildCentreLine(r, 0, false);
  const auto ut = BuildCentreLine(r, 71.8, false);
  ASSERT_EQ(tt.size(), ut.size());
  for (std::size_t i = 0; i < tt.size(); ++i) {
    const double shift =
        NonNegativeRemainder((ut[i].longitude - tt[i].longitude) * kRadToDeg + 180, 360) - 180;
    EXPECT_NEAR(shift, 0.00417807 * 71.8, 1e-9);
    EXPECT_EQ(ut[i].latitude, tt[i].latitude);
  }
}

TEST(CentreLine, BackViewSharesTheEndsButCrossesTheNightSide) {
  const EclipseRecord r = Eclipse2024Apr08();
  const auto front = BuildCentreLine(r, 0, false);
  const auto back = BuildCentreLine(r, 0, true);
  ASSERT_EQ(back.size(), 201u);
  EXPECT_LT(
      AngularDistance(front[0].latitude, front[0].longitude, back[0].latitude, back[0].longitude),
      0.1);
  EXPECT_GT(AngularDistance(front[100].latitude, front[100].longitude, back[100].latitude,
                            back[100].longitude),
            2.0);
}

// An axis that passes just outside the Earth in the linear model: the contact estimates are
// clamped to closest approach and the line still holds only valid points.
TEST(CentreLine, GrazingAxisGivesValidPoints) {
  EclipseRecord r = Eclipse2024Apr08();
  r.y[0] = 1.002f;
  r.y[1] = 0;
  r.y[2] = 0;
  r.y[3] = 0;
  r.x[0] = 0;
  const auto line = BuildCentreLine(r, 0, false);
  ASSERT_EQ(line.size(), 201u);
  for (const auto& p : line) {
    ASSERT_TRUE(std::isfinite(p.latitude) && std::isfinite(p.longitude));
    EXPECT_LE(std::fabs(p.longitude), kPi);
  }
  EXPECT_NEAR(line.front().t, line.back().t, 0.05);
}

TEST(CentreLine, DegenerateElementsGiveNoLine) {
  EclipseRecord r;
  r.typeCode = 2;  // no motion at all
  EXPECT_TRUE(BuildCentreLine(r, 0, false).empty());
  r = Eclipse2024Apr08();
  r.x[1] = std::nanf("");
  EXPECT_TRUE(BuildCentreLine(r, 0, false).empty());
}

TEST(CentreLine, GlobeUnitsSaturate) {
  EXPECT_EQ(RadiansToGlobeUnits(kPi), 972000000);
  EXPECT_EQ(RadiansToGlobeUnits(-kPi / 2), -486000000);
  EXPECT_EQ(RadiansToGlobeUnits(1e30), 972000000);
  EXPECT_EQ(RadiansToGlobeUnits(std::nan("")), 0);
}

}  // namespace
