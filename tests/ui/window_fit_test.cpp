// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// A window's outer rectangle fitted to the screen's free area.

#include <gtest/gtest.h>

#include "window_fit.h"

namespace umbrivista {
namespace {

TEST(WindowFitTest, FramesShrinkAndMoveIntoTheFreeArea) {
  const ScreenBox screen{0, 0, 1024, 768};
  const ScreenBox underPanel{0, 30, 1280, 770};  // a panel along the top
  const struct {
    const char* what;
    ScreenBox frame, area;
    int minWidth, minHeight;
    ScreenBox fitted;
  } cases[] = {
      {"the stored main window on 1024 x 768",
       {232, 169, 1024, 773},
       screen,
       600,
       400,
       {0, 0, 1024, 768}},
      {"a frame that fits stays", {10, 20, 800, 600}, screen, 0, 0, {10, 20, 800, 600}},
      {"off the right and bottom", {900, 700, 400, 300}, screen, 0, 0, {624, 468, 400, 300}},
      {"title bar above the top", {-40, -25, 600, 400}, screen, 0, 0, {0, 0, 600, 400}},
      {"under a panel", {100, 0, 1222, 773}, underPanel, 0, 0, {58, 30, 1222, 770}},
      {"least size larger than the area",
       {300, 200, 1100, 900},
       screen,
       1100,
       900,
       {0, 0, 1100, 900}},
      {"a second screen",
       {1500, 100, 2000, 700},
       {1024, 0, 1280, 1024},
       0,
       0,
       {1024, 100, 1280, 700}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitFrame(c.frame, c.area, c.minWidth, c.minHeight), c.fitted) << c.what;
    if (c.minWidth <= c.area.width && c.minHeight <= c.area.height) {
      EXPECT_TRUE(Inside(FitFrame(c.frame, c.area, c.minWidth, c.minHeight), c.area)) << c.what;
    }
  }
  EXPECT_FALSE(Inside({0, -1, 10, 10}, screen));
  EXPECT_FALSE(Inside({1015, 0, 10, 10}, screen));
}

}  // namespace
}  // namespace umbrivista
