// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's globe: zoom positions and the globe's size on the screen, the orientation at
// an instant in TT and in UT, and the grid choices as drawn.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <string>

#include "catalogue.h"
#include "gcustomglobe.h"
#include "globe_settings.h"
#include "shadow.h"

namespace umbrivista {
namespace {

// Pixels per Earth radius at a zoom position, written out: (410 − position) · 1e-8 · 310,500,000.
double Radius(int zoom) { return (410 - zoom) * 3.105; }

TEST(FittingZoom, LargestWholeGlobeThatFitsThePanel) {
  // The default window's panel takes the reset position 300 (683 px across 730 px).
  EXPECT_EQ(FittingZoom(802, 730, 300), 300);
  EXPECT_LE(2 * Radius(300), 0.95 * 730);
  // A smaller screen's panel: 578 px high leaves 549 px, which 322 fits and 321 does not.
  EXPECT_EQ(FittingZoom(640, 578, 300), 322);
  EXPECT_LE(2 * Radius(322), 0.95 * 578);
  EXPECT_GT(2 * Radius(321), 0.95 * 578);
  // The narrower side counts, and a larger panel keeps the preferred position.
  EXPECT_EQ(FittingZoom(578, 2000, 300), 322);
  EXPECT_EQ(FittingZoom(4000, 3000, 300), 300);
  // A panel too small for any globe ends at the smallest one; out-of-range inputs are clamped.
  EXPECT_EQ(FittingZoom(100, 100, 300), 350);
  EXPECT_EQ(FittingZoom(0, -5, 300), 350);
  EXPECT_EQ(FittingZoom(4000, 3000, 10), 60);
  EXPECT_DOUBLE_EQ(PixelsPerEarthRadius(ZoomScaleFactor(300)), Radius(300));
}

const EclipseRecord& Record2024() {
  static EclipseCatalogue catalogue;
  if (catalogue.Empty()) {
    catalogue.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
  }
  return catalogue.RecordAt(16690);  // the total eclipse of 2024-04-08
}

double Wrap180(double degrees) {
  return degrees - 360 * std::floor((degrees + 180) / 360);
}

// The place at the middle of the picture, turned as the window turns it for an instant t of the
// 2024 eclipse with ΔT seconds applied (0: TT). About 1000 pixels per degree there.
struct Centre {
  double longitude, latitude;
};
Centre ViewCentre(double t, double deltaT, bool back) {
  ShadowState state;
  state.deltaT = deltaT;
  UpdateInstant(Record2024(), t, back, state);
  const GlobeRotation rotation = DisplayOrientation(state, back);
  TGCustomGlobeView globe(400, 400);
  TGProjector& prj = globe.Projector();
  prj.SetScaleFactor(57296 / kGlobeSphereRadius);
  prj.SetXRotation(rotation.x);
  prj.SetYRotation(rotation.y);
  TGGlobePoint p;
  EXPECT_TRUE(prj.XYToLL(prj.XOrigin(), prj.YOrigin(), p));
  return {GUToDegrees(p.Longitude), GUToDegrees(p.Latitude)};
}

// In UT the Earth has turned less than the elements' TT assumes: by ΔT seconds at 0.00417807° a
// second, so every place, and the view's centre, lies that much further east. The centre is the
// point under the Sun's direction: longitude −μ (+180° in the back view), latitude d (−d), with μ
// and d the elements' cubics at t.
TEST(DisplayOrientation, UniversalTimeTurnsTheGlobeEastByDeltaT) {
  const EclipseRecord& r = Record2024();
  for (const double t : {-2.0, 0.31, 2.5}) {
    const double mu = r.mu[0] + t * (r.mu[1] + t * (r.mu[2] + t * r.mu[3]));
    const double d = r.d[0] + t * (r.d[1] + t * (r.d[2] + t * r.d[3]));
    for (const bool back : {false, true}) {
      const Centre tt = ViewCentre(t, 0, back);
      EXPECT_NEAR(Wrap180(tt.longitude - (-mu + (back ? 180 : 0))), 0, 0.002) << t << back;
      EXPECT_NEAR(tt.latitude, back ? -d : d, 0.002) << t << back;
      for (const double deltaT : {69.2, 3600.0, -5.0}) {
        const Centre ut = ViewCentre(t, deltaT, back);
        EXPECT_NEAR(Wrap180(ut.longitude - tt.longitude), 0.00417807 * deltaT, 0.002)
            << "t " << t << (back ? " back" : " front") << " ΔT " << deltaT;
        EXPECT_NEAR(ut.latitude, tt.latitude, 0.002) << t << back << deltaT;
      }
    }
  }
}

// Each entry of the grid list as drawn on a plain globe looking at 0° N 0° E (radius 180 pixels):
// parallels and meridians appear exactly at the multiples of the entry's steps, "equator" draws
// the equator and no meridian, "none" nothing.
TEST(GridChoices, EachEntryDrawsItsParallelsAndMeridians) {
  const struct {
    int index;
    int latitudeStep, longitudeStep;  // 0: none
  } entries[] = {{0, 0, 0},   {1, 90, 0},  {2, 10, 10}, {3, 20, 20},
                 {4, 30, 30}, {5, 45, 45}, {6, 90, 90}};
  constexpr double kRadius = 180, kDeg = 3.14159265358979323846 / 180;
  for (const auto& entry : entries) {
    TGCustomGlobeView globe(400, 400);
    SetUpMainGlobe(globe);
    TGProjector& prj = globe.Projector();
    prj.SetScaleFactor(kRadius / kGlobeSphereRadius);
    prj.SetXRotation(0);
    prj.SetYRotation(0);
    const GridSteps steps = GridStepsFor(entry.index);
    globe.Graticule().SetLatitudeStep(steps.latitude);
    globe.Graticule().SetLongitudeStep(steps.longitude);
    const QImage picture = globe.PaintToImage();
    const int cx = prj.XOrigin(), cy = prj.YOrigin();
    // A grid line (silver) within two pixels of the place (longitude, latitude) on the picture.
    const auto lineNear = [&](double longitude, double latitude) {
      const double x = cx + kRadius * std::cos(latitude * kDeg) * std::sin(longitude * kDeg);
      const double y = cy - kRadius * std::sin(latitude * kDeg);
      for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
          const QRgb p = picture.pixel(static_cast<int>(std::lround(x)) + dx,
                                       static_cast<int>(std::lround(y)) + dy);
          if (std::abs(qRed(p) - 0xC0) < 0x40 && std::abs(qGreen(p) - 0xC0) < 0x40 &&
              std::abs(qBlue(p) - 0xC0) < 0x40)
            return true;
        }
      }
      return false;
    };
    const auto multiple = [](int angle, int step) { return step > 0 && angle % step == 0; };
    for (const int angle : {0, 10, 20, 30, 40, 45, 60}) {
      for (const int sign : {1, -1}) {
        // Parallels sampled at 7° E, meridians at 7° N: on no line of any entry.
        EXPECT_EQ(lineNear(7, sign * angle), multiple(angle, entry.latitudeStep))
            << "entry " << entry.index << ": parallel " << sign * angle;
        EXPECT_EQ(lineNear(sign * angle, 7), multiple(angle, entry.longitudeStep))
            << "entry " << entry.index << ": meridian " << sign * angle;
      }
    }
  }
}

}  // namespace
}  // namespace umbrivista
