// Zoom positions and the globe's size on the screen.

#include <gtest/gtest.h>

#include "globe_settings.h"

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

}  // namespace
}  // namespace umbrivista
