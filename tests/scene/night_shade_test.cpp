// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The night side's shade and the disc's reach within the panel.

#include <gtest/gtest.h>

#include <vector>

#include "globe_frame.h"
#include "night_shade.h"

namespace umbrivista {
namespace {

constexpr std::uint32_t kGrey = 0xFF808080u;

TEST(NightShade, DarkensANightPlaceAndLeavesADayPlace) {
  constexpr int kSize = 201;
  const FramePoint centre{100, 100};
  const double radius = 90;
  const struct {
    const char* what;
    GlobeRotation view, sun;
    FramePoint day, night;  // pixels; x = -1 where the view shows no such place
  } views[] = {
      // Looking at 0° N 0° E with the Sun over 90° E: the east (right) half is day.
      {"sunset on the limb", {0, 0}, {0, 90}, {150, 100}, {50, 100}},
      // The Sun over 30° N 0° E: the north (top) is day, the far south is night.
      {"tilted", {0, 0}, {30, 10}, {100, 40}, {100, 185}},
      // The back view looks at the anti-sub-solar point: all night.
      {"back view", {-10, 160}, {10, -20}, {-1, -1}, {100, 100}},
      // The normal view looks at the sub-solar point: all day.
      {"normal view", {10, -20}, {10, -20}, {100, 100}, {-1, -1}},
  };
  for (const auto& v : views) {
    SCOPED_TRACE(v.what);
    std::vector<std::uint32_t> pixels(kSize * kSize, kGrey);
    ShadeNightSide(pixels.data(), kSize, kSize, centre, radius, v.view, v.sun);
    auto at = [&](FramePoint p) { return pixels[p.y * kSize + p.x]; };
    if (v.day.x >= 0) {
      EXPECT_EQ(at(v.day), kGrey);
    }
    if (v.night.x >= 0) {
      EXPECT_LT(at(v.night) & 0xFF, 0x80u);
      EXPECT_EQ(at(v.night) >> 24, 0xFFu);  // the alpha byte stays
    }
    EXPECT_EQ(at({0, 0}), kGrey);  // off the disc
    EXPECT_EQ(at({kSize - 1, kSize - 1}), kGrey);
  }
  // Twilight: the shade deepens as the Sun sinks and stays once it is well down.
  EXPECT_EQ(NightShadeFor(0.1), 0);
  EXPECT_GT(NightShadeFor(-0.05), 0);
  EXPECT_LT(NightShadeFor(-0.05), NightShadeFor(-0.15));
  EXPECT_DOUBLE_EQ(NightShadeFor(-0.5), kNightShade);
  EXPECT_DOUBLE_EQ(NightShadeFor(-1), kNightShade);
  // Nothing to draw on does nothing.
  ShadeNightSide(nullptr, kSize, kSize, centre, radius, {}, {0, 180});
}

TEST(DiscReach, KeepsAQuarterOfTheDiscAndLetsALostDiscComeBack) {
  constexpr int kW = 600, kH = 400;
  const double radius = 150;
  const double least = LeastDiscAreaInView(radius, kW, kH);
  EXPECT_NEAR(least, 3.14159265 * radius * radius / 4, radius);
  // A drag far to the right stops where a quarter of the disc is left, beyond the edge.
  const FramePoint right = KeepDiscInReach({300, 200}, {2000, 200}, radius, kW, kH);
  EXPECT_EQ(right.y, 200);
  EXPECT_GT(right.x, kW);
  EXPECT_GE(DiscAreaInPanel(right, radius, kW, kH), least);
  EXPECT_LT(DiscAreaInPanel(right, radius, kW, kH), least + 2 * radius);
  // A diagonal drag keeps the part of the move that fits on each axis.
  const FramePoint corner = KeepDiscInReach({300, 200}, {-900, -900}, radius, kW, kH);
  EXPECT_GE(DiscAreaInPanel(corner, radius, kW, kH), least);
  EXPECT_LT(corner.x, 300);
  EXPECT_LT(corner.y, 200);
  // A disc out of reach (a stored frame) may come back, not go further.
  EXPECT_EQ(KeepDiscInReach({-500, 200}, {-400, 200}, radius, kW, kH), (FramePoint{-400, 200}));
  EXPECT_EQ(KeepDiscInReach({-500, 200}, {-600, 200}, radius, kW, kH), (FramePoint{-500, 200}));
  // A disc larger than the panel: a quarter of what the panel shows of it.
  const double big = 1000;
  const FramePoint far = KeepDiscInReach({300, 200}, {-5000, 200}, big, kW, kH);
  EXPECT_GE(DiscAreaInPanel(far, big, kW, kH), LeastDiscAreaInView(big, kW, kH));
  EXPECT_LT(DiscAreaInPanel(far, big, kW, kH), 0.3 * kW * kH);
  // Before the panel has a size nothing is limited.
  EXPECT_EQ(KeepDiscInReach({0, 0}, {9000, 9000}, radius, 0, 0), (FramePoint{9000, 9000}));
  // Zooming about a point keeps it: offsets from the centre scale with the radius.
  EXPECT_EQ(ZoomCentreAbout({300, 200}, {400, 250}, 100, 200), (FramePoint{200, 150}));
  EXPECT_EQ(ZoomCentreAbout({300, 200}, {400, 250}, 0, 200), (FramePoint{300, 200}));
}

}  // namespace
}  // namespace umbrivista
