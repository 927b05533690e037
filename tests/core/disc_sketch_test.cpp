#include "disc_sketch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "angles.h"
#include "deltat.h"
#include "local_circumstances.h"
#include "shipped_catalogue.h"

using namespace umbrivista;

namespace {

struct Place {
  int year, month, day;
  double latDeg, lonEastDeg;
  const char* name;
};

LocalEclipse Compute(const EclipseRecord& r, const Place& p) {
  const double phi = p.latDeg * kDegToRad;
  return ComputeLocalEclipse(r, DeltaT(r.year, r.month), phi, -p.lonEastDeg * kDegToRad,
                             ObserverGeocentric(0, phi));
}

// Direction from the Sun towards the north celestial pole on a zenith-up, y-down picture,
// worked out on the sphere of the horizon: the tangents at the Sun towards the zenith and the
// pole, seen by an observer facing the Sun (right = Sun × up).
void NorthOnSky(double alt, double az, double latitude, double& x, double& y) {
  const double s[3] = {std::cos(alt) * std::sin(az), std::cos(alt) * std::cos(az), std::sin(alt)};
  const double pole[3] = {0, std::cos(latitude), std::sin(latitude)};
  const double zenith[3] = {0, 0, 1};
  double up[3], toPole[3], right[3];
  for (int i = 0; i < 3; ++i) {
    up[i] = zenith[i] - s[2] * s[i];
    toPole[i] = pole[i] - (pole[1] * s[1] + pole[2] * s[2]) * s[i];
  }
  right[0] = s[1] * up[2] - s[2] * up[1];
  right[1] = s[2] * up[0] - s[0] * up[2];
  right[2] = s[0] * up[1] - s[1] * up[0];
  const auto dot = [](const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  };
  x = dot(toPole, right);
  y = -dot(toPole, up);
  const double n = std::hypot(x, y);
  x /= n;
  y /= n;
}

const Place kPlaces[] = {
    {2024, 4, 8, 32.78, -96.80, "Dallas, total"},
    {2024, 4, 8, 40.71, -74.01, "New York, partial"},
    {2024, 4, 8, -33.87, 151.21, "Sydney, below the horizon"},
    {2019, 7, 2, -29.9027, -71.2519, "La Serena, total in the south"},
    {2023, 10, 14, 35.08, -106.65, "Albuquerque, annular"},
    {2024, 10, 2, -49.31, -67.73, "Puerto San Julian, annular in the south"},
    {2026, 8, 12, 40.42, -3.70, "Madrid, at sunset"},
};

}  // namespace

// The discs touch where the contact says, north points where the sphere of the sky puts the pole,
// and the Moon moves eastwards across the Sun.
TEST(DiscSketch, GeometryAgreesWithTheSky) {
  for (const Place& p : kPlaces) {
    SCOPED_TRACE(p.name);
    const LocalEclipse found = Compute(ShippedRecord(p.year, p.month, p.day), p);
    ASSERT_EQ(found.outcome, LocalOutcome::kEclipse);
    const LocalCircumstances& lc = found.circumstances;
    const DiscSketch sketch = BuildDiscSketch(lc);
    int computed = 0;
    for (bool c : lc.computed) computed += c;
    ASSERT_EQ(static_cast<int>(sketch.frames.size()), computed);
    const DiscFrame* at[5] = {};
    for (const DiscFrame& f : sketch.frames) {
      SCOPED_TRACE(f.slot);
      at[f.slot] = &f;
      const double k = f.moonRadius;
      const double d = std::hypot(f.moonX, f.moonY);
      switch (f.slot) {
        case kC1:
        case kC4:
          EXPECT_NEAR(d, 1 + k, 1e-5);
          break;
        case kC2:
        case kC3:
          EXPECT_NEAR(d, std::fabs(1 - k), 1e-5);
          break;
        case kMax:  // the magnitude is the part of the Sun's diameter covered
          EXPECT_NEAR(d, 1 + k - 2 * lc.magnitude, 1e-6);
          break;
      }
      EXPECT_EQ(f.hasContact, f.slot != kMax);
      if (f.hasContact) {
        EXPECT_NEAR(std::hypot(f.contactX, f.contactY), 1, 1e-5);
        EXPECT_NEAR(std::hypot(f.contactX - f.moonX, f.contactY - f.moonY), k, 1e-5);
      }
      double nx, ny;
      NorthOnSky(lc.sunAltitude[f.slot], lc.sunAzimuth[f.slot], p.latDeg * kDegToRad, nx, ny);
      EXPECT_NEAR(std::atan2(f.northX * ny - f.northY * nx, f.northX * nx + f.northY * ny), 0,
                  1 * kDegToRad);
      EXPECT_EQ(f.belowHorizon, lc.sunAltitude[f.slot] < 0);
      EXPECT_EQ(f.horizonOffset > 0, ApparentAltitude(lc.sunAltitude[f.slot]) > 0);
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

// With the Sun on the meridian the pole lies straight above it in the north, straight below it
// (under the horizon) in the south.
TEST(DiscSketch, NoonSunHasNorthUpInTheNorthAndDownInTheSouth) {
  const struct {
    Place place;
    double azimuthDeg, northY;
  } cases[] = {
      {{2024, 4, 8, 45.0, -102.0, "northern noon"}, 180, -1},
      {{2019, 7, 2, -30.0, -110.0, "southern noon"}, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.place.name);
    const LocalEclipse found =
        Compute(ShippedRecord(c.place.year, c.place.month, c.place.day), c.place);
    ASSERT_EQ(found.outcome, LocalOutcome::kEclipse);
    const double az = found.circumstances.sunAzimuth[kMax] * kRadToDeg;
    ASSERT_NEAR(std::remainder(az - c.azimuthDeg, 360), 0, 2);
    const DiscSketch sketch = BuildDiscSketch(found.circumstances);
    for (const DiscFrame& f : sketch.frames) {
      if (f.slot != kMax) continue;
      EXPECT_NEAR(f.northY, c.northY, 0.01);
      EXPECT_NEAR(f.northX, 0, 0.1);
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
    lc.centreDistance[i] = i == kMax ? 0.5 : i == kC1 || i == kC4 ? 2.02 : 0.02;
    lc.sunAltitude[i] = 0.1;
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  lc.vertexAngle[kC2] = nan;
  lc.radiusRatio[kC3] = 0;
  lc.sunAltitude[kC4] = std::numeric_limits<double>::infinity();
  lc.sunSemidiameter = 0;
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
  const LocalEclipse found = Compute(r, kPlaces[0]);
  ASSERT_EQ(found.outcome, LocalOutcome::kEclipse);
  const DiscSketch sketch = BuildDiscSketch(found.circumstances);
  ASSERT_EQ(sketch.frames.size(), 5u);
  const double deltaT = DeltaT(2024, 4);
  const auto seconds = [](const std::string& caption, std::size_t at) {
    return std::stoi(caption.substr(at, 2)) * 3600 + std::stoi(caption.substr(at + 3, 2)) * 60 +
           std::stoi(caption.substr(at + 6, 2));
  };
  const struct {
    bool ut;
    Language language;
    const char* scale;
    const char* altitude;
    double c2Seconds;
  } cases[] = {
      {true, Language::kEnglish, " UT\n", "Alt. ", 18 * 3600 + 40 * 60 + 40},
      {false, Language::kGerman, " TT\n", "Höhe ", 18 * 3600 + 40 * 60 + 40 + deltaT},
      {false, Language::kFrench, " TT\n", "Haut. ", 18 * 3600 + 40 * 60 + 40 + deltaT},
  };
  for (const auto& c : cases) {
    const auto captions = DiscSketchCaptions(sketch, r, deltaT, c.ut, c.language);
    ASSERT_EQ(captions.size(), 5u);
    EXPECT_EQ(captions[1].substr(0, 4), "C2  ");
    EXPECT_NEAR(seconds(captions[1], 4), c.c2Seconds, 8);
    for (const std::string& caption : captions) {
      SCOPED_TRACE(caption);
      EXPECT_NE(caption.find(c.scale), std::string::npos);
      const auto line = caption.find('\n');
      EXPECT_EQ(caption.substr(line + 1, std::string(c.altitude).size()), c.altitude);
      // "Alt. 64.6°": one decimal after a ".".
      const std::string degrees = "\u00b0";
      ASSERT_GT(caption.size(), 4 + degrees.size());
      EXPECT_EQ(caption.substr(caption.size() - degrees.size()), degrees);
      EXPECT_EQ(caption[caption.size() - degrees.size() - 2], '.');
    }
  }
}
