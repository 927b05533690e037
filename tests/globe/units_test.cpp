// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Globe units: the saturating conversions, the unit table against physical ratios and the
// rectangle overlap convention.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gunits.h"

using namespace umbrivista;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Saturation, NaNGivesZeroAndTheRangeEndsHold) {
  for (const auto f :
       {+[](double v) { return SaturateToInt32(v); }, +[](double v) { return RoundToInt(v); },
        +[](double v) { return TruncToInt(v); }}) {
    EXPECT_EQ(f(std::nan("")), 0);
    EXPECT_EQ(f(kInf), INT32_MAX);
    EXPECT_EQ(f(-kInf), INT32_MIN);
    EXPECT_EQ(f(1e300), INT32_MAX);
    EXPECT_EQ(f(-1e300), INT32_MIN);
    EXPECT_EQ(f(2147483647.0), INT32_MAX);
    EXPECT_EQ(f(-2147483648.0), INT32_MIN);
    EXPECT_EQ(f(2147483648.0), INT32_MAX);
    EXPECT_EQ(f(-2147483649.0), INT32_MIN);
  }
  EXPECT_EQ(SaturateToInt32(std::int64_t{1} << 40), INT32_MAX);
  EXPECT_EQ(SaturateToInt32(-(std::int64_t{1} << 40)), INT32_MIN);
  EXPECT_EQ(SaturateToInt32(std::int64_t{-12345}), -12345);
}

TEST(Saturation, RoundingHalvesToEvenAndTruncationTowardZero) {
  EXPECT_EQ(RoundToInt(0.5), 0);
  EXPECT_EQ(RoundToInt(1.5), 2);
  EXPECT_EQ(RoundToInt(2.5), 2);
  EXPECT_EQ(RoundToInt(-2.5), -2);
  EXPECT_EQ(RoundToInt(-2.6), -3);
  EXPECT_EQ(RoundToInt(2147483646.5), 2147483646);
  EXPECT_EQ(RoundToInt(2147483647.4), INT32_MAX);
  EXPECT_EQ(RoundToInt(-2147483648.4), INT32_MIN);
  EXPECT_EQ(TruncToInt(2.9), 2);
  EXPECT_EQ(TruncToInt(-2.9), -2);
  EXPECT_EQ(SaturateToInt32(-0.9), 0);
  EXPECT_EQ(TruncToInt(2147483647.9), INT32_MAX);
  EXPECT_EQ(TruncToInt(-2147483648.9), INT32_MIN);
}

TEST(UnitTable, SizesMatchTheirPhysicalRatios) {
  auto per = [](TGUnitTypes u) { return GlobeUnitsPerUnit(u); };
  EXPECT_EQ(per(guDegree), kGUPerDegree);
  EXPECT_EQ(per(guMinute) * 60, kGUPerDegree);
  EXPECT_EQ(per(guNauticalMile), per(guMinute));
  EXPECT_EQ(per(guSecond) * 3600, kGUPerDegree);
  EXPECT_EQ(per(guHundreth) * 100, per(guSecond));
  EXPECT_EQ(per(guGlobeUnit), 1.0);
  EXPECT_EQ(per(guPixel), 0.0);
  // 111.19104 km to the degree: a sphere of 6370.78 km, within 0.3 km of the mean Earth radius.
  EXPECT_NEAR(per(guDegree) / per(guKilometer), 111.19104, 1e-9);
  const double radiusKm = 180 / M_PI * per(guDegree) / per(guKilometer);
  EXPECT_NEAR(radiusKm, 6371.0, 0.3);
  // The drawn sphere is the equatorial radius on that scale.
  EXPECT_NEAR(kGlobeSphereRadius / per(guKilometer), 6378.136, 1e-6);
  EXPECT_NEAR(kGlobeUnitsPerRadian * M_PI, 972000000.0, 1e-3);
  auto km = [&](TGUnitTypes u) { return per(u) / per(guKilometer); };
  EXPECT_NEAR(km(guMeter), 0.001, 1e-15);
  EXPECT_NEAR(km(guCentimeter), 0.00001, 1e-17);
  EXPECT_NEAR(km(guMile), 1.609344, 1e-8);
  EXPECT_NEAR(km(guFathom) * 1000, 1.8288, 1e-8);
  EXPECT_NEAR(km(guYard) * 1000, 0.9144, 1e-8);
  EXPECT_NEAR(km(guFeet) * 1000, 0.3048, 1e-8);
  EXPECT_NEAR(km(guInch) * 1000, 0.0254, 1e-9);
  EXPECT_NEAR(per(guMile) / per(guFeet), 5280, 1e-9);
  EXPECT_EQ(UnitsToPixels(1, guDegree, 1e-6), 5);
  EXPECT_EQ(UnitsToPixels(std::nan(""), guPixel, 1), 0);
}

// Rectangles cover [Left, Left + Width) × [Top, Top + Height): sharing an edge is no overlap.
TEST(RectangleOverlap, TouchingRectanglesDoNotIntersect) {
  const TGMER a{0, 0, 100, 100};
  EXPECT_FALSE(MERIntersects(a, {100, 0, 50, 100}));   // east edge
  EXPECT_FALSE(MERIntersects(a, {-50, 0, 50, 100}));   // west edge
  EXPECT_FALSE(MERIntersects(a, {0, 100, 100, 50}));   // south edge
  EXPECT_FALSE(MERIntersects(a, {100, 100, 10, 10}));  // corner
  EXPECT_TRUE(MERIntersects(a, {99, 99, 10, 10}));
  EXPECT_TRUE(MERIntersects(a, {-50, 0, 51, 100}));
  // Round the globe: touching across 180° is no overlap either, one unit more is.
  const TGMER east{kGU180 - 100, 0, 100, 10};
  EXPECT_FALSE(MERIntersects(east, {-kGU180, 0, 100, 10}));
  EXPECT_TRUE(MERIntersects(east, {-kGU180 - 1, 0, 100, 10}));
  EXPECT_TRUE(MERIntersects({kGU180 - 10, 0, 20, 10}, {-kGU180 + 5, 0, 1, 10}));
  EXPECT_FALSE(MERIntersects(a, {50, 50, 0, 10}));  // empty
}

}  // namespace
