// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The fifty pattern brushes: all different, and a polygon filled with one shows its picture.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "gattributes.h"
#include "grenderer.h"

using namespace umbrivista;

namespace {

using Pattern = std::array<std::uint8_t, 8>;

bool Bit(const Pattern& p, int x, int y) {
  return p[((y % 8) + 8) % 8] & (0x80 >> (((x % 8) + 8) % 8));
}

// The pattern moved right by dx and down by dy, wrapping around.
Pattern Shifted(const Pattern& p, int dx, int dy) {
  Pattern out{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (Bit(p, x - dx, y - dy)) out[y] |= 0x80 >> x;
  return out;
}

TEST(PatternBrushes, AllFiftyDifferEvenWhenShiftedAgainstEachOther) {
  std::vector<std::set<Pattern>> shifts;
  for (int k = 0; k < kBrushPatternCount; ++k) {
    const Pattern p = BrushPattern(gbsPattern1 + k);
    int set = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) set += Bit(p, x, y);
    EXPECT_GT(set, 0) << "pattern " << k + 1 << " is empty";
    EXPECT_LT(set, 64) << "pattern " << k + 1 << " is solid";
    for (int j = 0; j < k; ++j)
      EXPECT_FALSE(shifts[j].contains(p)) << "pattern " << k + 1 << " repeats pattern " << j + 1;
    shifts.emplace_back();
    for (int dy = 0; dy < 8; ++dy)
      for (int dx = 0; dx < 8; ++dx) shifts.back().insert(Shifted(p, dx, dy));
  }
  // Styles that are no pattern have no picture.
  for (int style : {int{gbsSolid}, int{gbsDiagCross}, gbsPattern1 + kBrushPatternCount, 255})
    EXPECT_EQ(BrushPattern(style), Pattern{}) << style;
}

// A 40 × 40 picture with a square from (4, 4) to (36, 36) filled with a pattern brush.
struct Filled {
  TGDefaultRenderer r;
  Filled(std::uint8_t style, TColor bk, TColor colour) {
    r.ResizeSurface(40, 40);
    r.ClearSurface(clBlack);
    r.PrepareForDrawing();
    r.SelectPen(TGPen(clBlack, gpsClear, 1, guPixel));
    r.SelectBrush(TGBrush(bk, colour, style));
    QPoint* p = r.Points();
    p[0] = {4, 4};
    p[1] = {36, 4};
    p[2] = {36, 36};
    p[3] = {4, 36};
    r.PolygonFromPoints(4);
    r.FinishDrawing();
  }
  std::uint32_t At(int x, int y) const { return r.Picture().Pixel(x, y) & 0xFFFFFF; }
};

TEST(PatternBrushes, AFilledPolygonShowsThePatternInBrushAndBackgroundColours) {
  constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;  // as 0xRRGGBB pixels
  for (int k = 0; k < kBrushPatternCount; ++k) {
    const auto style = static_cast<std::uint8_t>(gbsPattern1 + k);
    const Pattern p = BrushPattern(style);
    Filled f(style, clBlue, clRed);
    int wrong = 0;
    for (int y = 8; y < 32; ++y)
      for (int x = 8; x < 32; ++x) wrong += f.At(x, y) != (Bit(p, x, y) ? kRed : kBlue);
    EXPECT_EQ(wrong, 0) << "pattern " << k + 1;
    EXPECT_EQ(f.At(1, 1), 0u) << "pattern " << k + 1 << " leaks outside the polygon";
  }
}

TEST(PatternBrushes, ATransparentBackgroundLeavesTheClearBitsAsTheyWere) {
  const auto style = static_cast<std::uint8_t>(gbsPattern1 + 12);  // horizontal lines
  const Pattern p = BrushPattern(style);
  Filled f(style, clRed, clRed);
  for (int y = 8; y < 16; ++y)
    for (int x = 8; x < 16; ++x)
      EXPECT_EQ(f.At(x, y), Bit(p, x, y) ? 0xFF0000u : 0u) << x << "," << y;
}

}  // namespace
