// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc_sketch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "angles.h"
#include "deltat.h"
#include "local_circumstances.h"
#include "shipped_catalogue.h"

using namespace umbrivista;

namespace {

// Direction from the Sun towards the north celestial pole on a zenith-up, y-down picture, worked
// out on the sphere of the horizon (x east, y north, z up): the tangents at the Sun towards the
// zenith and the pole, seen by an observer facing the Sun (right = Sun × up).
void NorthOnSky(double alt, double az, double latitude, double& x, double& y) {
  const double s[3] = {std::cos(alt) * std::sin(az), std::cos(alt) * std::cos(az), std::sin(alt)};
  const double sp = std::cos(latitude) * s[1] + std::sin(latitude) * s[2];
  double up[3], pole[3];
  for (int i = 0; i < 3; ++i) {
    up[i] = (i == 2) - s[2] * s[i];
    pole[i] = (i == 1 ? std::cos(latitude) : i == 2 ? std::sin(latitude) : 0) - sp * s[i];
  }
  const double right[3] = {s[1] * up[2] - s[2] * up[1], s[2] * up[0] - s[0] * up[2],
                           s[0] * up[1] - s[1] * up[0]};
  x = pole[0] * right[0] + pole[1] * right[1] + pole[2] * right[2];
  y = -(pole[0] * up[0] + pole[1] * up[1] + pole[2] * up[2]);
}

}  // namespace

// The discs touch where the contact says, north points where the sphere of the sky puts the pole
// (straight up at a northern noon, straight down at a southern one), and the Moon moves eastwards
// across the Sun.
TEST(DiscSketch, GeometryAgreesWithTheSky) {
  const struct {
    int year, month, day;
    double lat, lonEast;
    const char* name;
    double noonNorthY;  // 0: the Sun is not on the meridian at greatest eclipse
  } places[] = {
      {2024, 4, 8, 32.78, -96.80, "Dallas, total", 0},
      {2024, 4, 8, 40.71, -74.01, "New York, partial", 0},
      {2024, 4, 8, -33.87, 151.21, "Sydney, below the horizon", 0},
      {2024, 4, 8, 45.0, -102.0, "northern noon", -1},
      {2019, 7, 2, -30.0, -110.0, "southern noon", 1},
      {2019, 7, 2, -29.9027, -71.2519, "La Serena, total in the south", 0},
      {2023, 10, 14, 35.08, -106.65, "Albuquerque, annular", 0},
      {2024, 10, 2, -49.31, -67.73, "Puerto San Julian, annular in the south", 0},
      {2026, 8, 12, 40.42, -3.70, "Madrid, at sunset", 0},
  };
  for (const auto& p : places) {
    SCOPED_TRACE(p.name);
    const double phi = p.lat * kDegToRad;
    const LocalEclipse found =
        ComputeLocalEclipse(ShippedRecord(p.year, p.month, p.day), DeltaT(p.year, p.month), phi,
                            -p.lonEast * kDegToRad, ObserverGeocentric(0, phi));
    ASSERT_EQ(found.outcome, LocalOutcome::kEclipse);
    const LocalCircumstances& lc = found.circumstances;
    const DiscSketch sketch = BuildDiscSketch(lc);
    ASSERT_EQ(static_cast<long>(sketch.frames.size()),
              std::count(lc.computed, lc.computed + 5, true));
    const DiscFrame* at[5] = {};
    for (const DiscFrame& f : sketch.frames) {
      SCOPED_TRACE(f.slot);
      at[f.slot] = &f;
      const double k = f.moonRadius;
      const double expected = f.slot == kMax                   ? 1 + k - 2 * lc.magnitude
                              : f.slot == kC1 || f.slot == kC4 ? 1 + k
                                                               : std::fabs(1 - k);
      EXPECT_NEAR(std::hypot(f.moonX, f.moonY), expected, 1e-5);
      EXPECT_EQ(f.hasContact, f.slot != kMax);
      if (f.hasContact) {
        EXPECT_NEAR(std::hypot(f.contactX, f.contactY), 1, 1e-5);
        EXPECT_NEAR(std::hypot(f.contactX - f.moonX, f.contactY - f.moonY), k, 1e-5);
      }
      double nx, ny;
      NorthOnSky(lc.sunAltitude[f.slot], lc.sunAzimuth[f.slot], phi, nx, ny);
      EXPECT_NEAR(std::atan2(f.northX * ny - f.northY * nx, f.northX * nx + f.northY * ny), 0,
                  1 * kDegToRad);
      if (p.noonNorthY != 0 && f.slot == kMax) {
        EXPECT_NEAR(f.northY, p.noonNorthY, 0.01);
      }
      EXPECT_EQ(f.belowHorizon, lc.sunAltitude[f.slot] < 0);
      EXPECT_EQ(f.horizonOffset > 0, !f.belowHorizon);
    }
    // East lies a quarter turn counter-clockwise from north on the sky.
    const auto eastward = [](const DiscFrame* a, const DiscFrame* b) {
      return (b->moonX - a->moonX) * a->northY - (b->moonY - a->moonY) * a->northX;
    };
    ASSERT_TRUE(at[kC1] && at[kMax] && at[kC4]);
    EXPECT_GT(eastward(at[kC1], at[kC4]), 0);
    if (at[kC2] && at[kC3]) {
      EXPECT_GT(eastward(at[kC2], at[kC3]), 0);
    }
  }
}

// Values that came out of a failed computation leave their frame out instead of drawing garbage,
// and a Sun without a known size still gets its horizon on the right side.
TEST(DiscSketch, UnusableValuesLeaveTheirFrameOut) {
  LocalCircumstances lc;
  for (int i = 0; i < 5; ++i) {
    lc.computed[i] = true;
    lc.radiusRatio[i] = 1.02;
    lc.centreDistance[i] = 0.5;
    lc.sunAltitude[i] = 0.1;
  }
  lc.vertexAngle[kC2] = std::numeric_limits<double>::quiet_NaN();
  lc.radiusRatio[kC3] = 0;
  lc.sunAltitude[kC4] = std::numeric_limits<double>::infinity();
  const DiscSketch sketch = BuildDiscSketch(lc);
  ASSERT_EQ(sketch.frames.size(), 2u);
  EXPECT_EQ(sketch.frames[0].slot, kC1);
  EXPECT_EQ(sketch.frames[1].slot, kMax);
  EXPECT_EQ(sketch.frames[0].horizonOffset, kFarHorizon);
}

// Dallas 2024: totality began at 18:40:40 UT (NASA); TT is ΔT later. The altitude keeps its "."
// in every language.
TEST(DiscSketch, CaptionsGiveTimeScaleAndAltitude) {
  const EclipseRecord r = ShippedRecord(2024, 4, 8);
  const double deltaT = DeltaT(2024, 4);
  const DiscSketch sketch = PlaceDiscSketch(r, deltaT, 32.78, -96.80);
  ASSERT_EQ(sketch.frames.size(), 5u);
  const struct {
    bool ut;
    Language language;
    const char* scaleAndAltitude;
    double c2Seconds;
  } cases[] = {
      {true, Language::kEnglish, " UT\nAlt. ", 18 * 3600 + 40 * 60 + 40},
      {false, Language::kGerman, " TT\nHöhe ", 18 * 3600 + 40 * 60 + 40 + deltaT},
      {false, Language::kFrench, " TT\nHaut. ", 18 * 3600 + 40 * 60 + 40 + deltaT},
  };
  for (const auto& c : cases) {
    const auto captions = DiscSketchCaptions(sketch, r, deltaT, c.ut, c.language);
    ASSERT_EQ(captions.size(), 5u);
    const std::string& c2 = captions[1];
    ASSERT_EQ(c2.substr(0, 4), "C2  ");
    const int seconds = std::stoi(c2.substr(4, 2)) * 3600 + std::stoi(c2.substr(7, 2)) * 60 +
                        std::stoi(c2.substr(10, 2));
    EXPECT_NEAR(seconds, c.c2Seconds, 8);
    for (const std::string& caption : captions) {
      EXPECT_NE(caption.find(c.scaleAndAltitude), std::string::npos) << caption;
      // One decimal after a ".": "64.6°".
      EXPECT_EQ(caption.substr(caption.size() - 4, 1) + caption.substr(caption.size() - 2),
                ".\u00b0")
          << caption;
    }
  }
}
