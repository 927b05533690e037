// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Renderer: texture triangles and spans, pixel blending, parts queue and clipping.

#include <gtest/gtest.h>

#include <stdexcept>

#include "gcustomglobe.h"
#include "gprojector.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

struct Surface {
  RecordingRenderer r;
  explicit Surface(int w = 100, int h = 50) {
    r.ResizeSurface(w, h);
    r.ClearSurface(clBlack);
  }
  std::uint32_t At(int x, int y) const { return r.Picture().Pixel(x, y) & 0xFFFFFF; }
};

// A one-row texture whose texel i has the value i.
TGBitmap RampTexture(int width) {
  TGBitmap t(width, 1);
  for (int i = 0; i < width; ++i) t.SetPixel(i, 0, static_cast<std::uint32_t>(i));
  return t;
}

TEST(TextureMapping, CornersOfTheWorldMapOntoTheCornersOfTheTexture) {
  EXPECT_EQ(TexturePixel({-972000000, 486000000, 0}, 2048, 1024), QPoint(0, 0));
  EXPECT_EQ(TexturePixel({972000000, -486000000, 0}, 2048, 1024), QPoint(2047, 1023));
  EXPECT_EQ(TexturePixel({971999999, 0, 0}, 2048, 1024).x(), 2047);
  EXPECT_EQ(TexturePixel({-971999999, 0, 0}, 2048, 1024).x(), 0);
  EXPECT_EQ(TexturePixel({0, 0, 0}, 5, 3), QPoint(2, 1));
}

TEST(TextureTriangle, DrawsEveryRowButTheBottomOne) {
  Surface s;
  const TGBitmap tex = RampTexture(16);
  const QPoint t[3] = {{0, 0}, {15, 0}, {8, 0}};
  s.r.TextureTriangle(t, {QPoint(10, 10), QPoint(30, 10), QPoint(20, 30)}, tex);
  ASSERT_EQ(s.r.spans.size(), 20u);
  EXPECT_EQ(s.r.spans.front().y, 10);
  EXPECT_EQ(s.r.spans.back().y, 29);
  // A triangle with a flat bottom and a corner in between steps over to the third edge.
  s.r.spans.clear();
  s.r.TextureTriangle(t, {QPoint(40, 0), QPoint(60, 20), QPoint(40, 10)}, tex);
  ASSERT_EQ(s.r.spans.size(), 20u);
  EXPECT_EQ(std::min(s.r.spans[19].x1, s.r.spans[19].x2), 58);
  EXPECT_EQ(std::max(s.r.spans[19].x1, s.r.spans[19].x2), 59);
}

TEST(TextureTriangle, OffSurfaceTrianglesDrawNothing) {
  Surface s;
  const TGBitmap tex = RampTexture(16);
  const QPoint t[3] = {{0, 0}, {15, 0}, {8, 0}};
  s.r.TextureTriangle(t, {QPoint(10, -40), QPoint(30, -30), QPoint(20, -1)}, tex);
  s.r.TextureTriangle(t, {QPoint(100, 10), QPoint(130, 10), QPoint(120, 40)}, tex);
  s.r.TextureTriangle(t, {QPoint(10, 50), QPoint(30, 60), QPoint(20, 70)}, tex);
  EXPECT_TRUE(s.r.spans.empty());
}

TEST(TextureTriangle, HugeTrianglesOnlyVisitTheSurfaceRows) {
  Surface s;
  const TGBitmap tex = RampTexture(16);
  const QPoint t[3] = {{0, 0}, {15, 0}, {8, 0}};
  s.r.TextureTriangle(
      t, {QPoint(50, -1000000000), QPoint(-1000000000, 1000000000), QPoint(1000000000, 1000000000)},
      tex);
  ASSERT_EQ(s.r.spans.size(), 50u);
  EXPECT_EQ(s.r.spans.front().y, 0);
  EXPECT_EQ(s.r.spans.back().y, 49);
}

TEST(TextureSpan, StartsLeftClippedSpansTheirStepsIn) {
  Surface s;
  const TGBitmap tex = RampTexture(16);
  s.r.TextureSpan(0, -5, tex, 0, 0, 8, 0, 3);
  EXPECT_EQ(s.At(0, 0), 5u);
  EXPECT_EQ(s.At(1, 0), 6u);
  EXPECT_EQ(s.At(2, 0), 7u);
  EXPECT_EQ(s.At(3, 0), 0u);
  // Reversed ends are swapped together with their texture coordinates.
  s.r.TextureSpan(1, 14, tex, 4, 0, 0, 0, 10);
  EXPECT_EQ(s.At(10, 1), 0u);
  EXPECT_EQ(s.At(13, 1), 3u);
  EXPECT_EQ(s.At(14, 1), 0u);
}

TEST(TextureSpan, EmptyAndOffSurfaceSpansDrawNothing) {
  Surface s;
  const TGBitmap tex = RampTexture(16);
  s.r.TextureSpan(0, 10, tex, 3, 0, 3, 0, 10);
  s.r.TextureSpan(0, -9, tex, 3, 0, 3, 0, -1);
  s.r.TextureSpan(0, 101, tex, 3, 0, 3, 0, 140);
  s.r.TextureSpan(-1, 0, tex, 3, 0, 3, 0, 20);
  s.r.TextureSpan(50, 0, tex, 3, 0, 3, 0, 20);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(s.At(x, y), 0u) << x << "," << y;
  // Texture coordinates beyond the texture are skipped, negative ones read texel 0.
  s.r.ClearSurface(clWhite);
  s.r.TextureSpan(0, 0, tex, -3, -1, 40, 0, 4);
  EXPECT_EQ(s.At(0, 0), 0u);
  s.r.TextureSpan(1, 0, tex, 0, 5, 4, 5, 4);
  EXPECT_EQ(s.At(0, 1), 0xFFFFFFu);
}

TEST(TextureSpan, TransparentTexelsAreSkippedAndAlphaBlends) {
  Surface s;
  TGBitmap tex(2, 1);
  tex.SetPixel(0, 0, 0x000006);
  tex.SetPixel(1, 0, 0xC8C8C8);
  tex.TransparentColor = 0x060000;  // $00BBGGRR of the first texel
  s.r.ClearSurface(0x646464);
  s.r.TextureSpan(0, 0, tex, 0, 0, 2, 0, 2);
  EXPECT_EQ(s.At(0, 0), 0x646464u);
  EXPECT_EQ(s.At(1, 0), 0xC8C8C8u);
  tex.AlphaBlend = 128;
  s.r.TextureSpan(1, 0, tex, 1, 0, 1, 0, 1 + 1);
  // (100 × 127 + 200 × 128) shr 8 = 149
  EXPECT_EQ(s.At(0, 1), 0x959595u);
}

TEST(PixelBlending, BlendsChannelsAndIgnoresOutsideWrites) {
  Surface s;
  s.r.ClearSurface(0x0000FF);  // red
  s.r.Alpha = 64;
  s.r.SetPixel(3, 3, 0xFF0000);  // blue at a quarter
  // red: (255 × 191) shr 8 = 190; blue: (255 × 64) shr 8 = 63
  EXPECT_EQ(s.At(3, 3), 0xBE003Fu);
  s.r.Alpha = 255;
  s.r.SetPixel(4, 3, 0x00FF00);
  EXPECT_EQ(s.At(4, 3), 0x00FF00u);
  s.r.SetPixel(-1, 0, 0x00FF00);
  s.r.SetPixel(100, 0, 0x00FF00);
  s.r.SetPixel(0, 50, 0x00FF00);
  EXPECT_EQ(BlendPixel(0xFF102030, 0x405060, 0), 0xFF0F1F2Fu);
}

TEST(Clipping, PolylinesSplitWhereTheyLeaveTheSurface) {
  const QRect box(QPoint(0, 0), QPoint(100, 100));
  std::vector<QPoint> out;
  std::vector<int> counts;
  const QPoint across[] = {{-50, 10}, {150, 10}};
  ClipPolyline(across, 2, box, out, counts);
  ASSERT_EQ(counts, std::vector<int>{2});
  EXPECT_EQ(out[0], QPoint(0, 10));
  EXPECT_EQ(out[1], QPoint(100, 10));
  out.clear();
  counts.clear();
  const QPoint outAndBack[] = {{10, 10}, {200, 10}, {200, 50}, {10, 50}, {20, 60}};
  ClipPolyline(outAndBack, 5, box, out, counts);
  ASSERT_EQ(counts, (std::vector<int>{2, 3}));
  EXPECT_EQ(out[1], QPoint(100, 10));
  EXPECT_EQ(out[2], QPoint(100, 50));
  EXPECT_EQ(out[4], QPoint(20, 60));
  out.clear();
  counts.clear();
  const QPoint outside[] = {{-10, -10}, {-5, 200}, {300, 200}};
  ClipPolyline(outside, 3, box, out, counts);
  EXPECT_TRUE(counts.empty());
  EXPECT_TRUE(out.empty());
}

TEST(Clipping, PolygonsAreCutToTheBox) {
  const QRect box(QPoint(0, 0), QPoint(100, 100));
  std::vector<QPoint> out;
  const QPoint big[] = {{-1000, -1000}, {1000, -1000}, {1000, 1000}, {-1000, 1000}};
  ClipPolygon(big, 4, box, out);
  ASSERT_EQ(out.size(), 4u);
  for (const QPoint& p : out) {
    EXPECT_TRUE(p.x() == 0 || p.x() == 100);
    EXPECT_TRUE(p.y() == 0 || p.y() == 100);
  }
}

TEST(PartsQueue, ClosedPartsAreClosedAndTinyPartsDropped) {
  Surface s;
  QPoint* pts = s.r.Points();
  s.r.BeginParts(true);
  pts[0] = {10, 10};
  pts[1] = {40, 10};
  pts[2] = {20, 30};
  s.r.AddPart(3, 1);
  pts[0] = {500, 500};
  pts[1] = {600, 500};
  pts[2] = {600, 600};
  s.r.AddPart(3, 1);  // wholly outside
  s.r.AddPart(1, 1);
  EXPECT_EQ(s.r.PendingParts(), 1);
  s.r.EndParts();
  EXPECT_EQ(s.r.PendingParts(), 0);
  ASSERT_EQ(s.r.parts.size(), 1u);
  ASSERT_EQ(s.r.parts[0].points.size(), 4u);
  EXPECT_EQ(s.r.parts[0].points.front(), s.r.parts[0].points.back());
  EXPECT_TRUE(s.r.parts[0].closed);
  // Open parts keep a margin of twice the pen width beyond the surface.
  s.r.parts.clear();
  s.r.BeginParts(false);
  pts[0] = {-1000, 20};
  pts[1] = {50, 20};
  s.r.AddPart(2, 5);
  s.r.EndParts();
  ASSERT_EQ(s.r.parts.size(), 1u);
  EXPECT_EQ(s.r.parts[0].points[0], QPoint(-10, 20));
}

// A failure to draw the queued parts of one object is logged, and the queue is emptied for the
// next object.
TEST(PartsQueue, AFailedDrawIsLoggedAndTheQueueEmptied) {
  struct FailingRenderer : RecordingRenderer {
    int failures = 1;
    void DrawPolyParts(const QPoint* points, const int* counts, int partCount,
                       bool closed) override {
      if (failures-- > 0) throw std::runtime_error("no room for the path");
      RecordingRenderer::DrawPolyParts(points, counts, partCount, closed);
    }
  } r;
  r.ResizeSurface(100, 50);
  LoggedMessages log;
  QPoint* pts = r.Points();
  for (int object = 0; object < 2; ++object) {
    r.BeginParts(false);
    pts[0] = {10, 10};
    pts[1] = {40, 10 + object};
    r.AddPart(2, 1);
    EXPECT_NO_THROW(r.EndParts());
    EXPECT_EQ(r.PendingParts(), 0);
  }
  ASSERT_EQ(r.parts.size(), 1u);  // the second object alone, not the first one again
  EXPECT_EQ(r.parts[0].points[1], QPoint(40, 11));
  ASSERT_EQ(log.All().size(), 1u);
  EXPECT_EQ(log.All()[0],
            "globe: cannot draw the clipped parts of an object: no room for the path");
}

TEST(PartsQueue, PointSetVisibility) {
  Surface s;
  const QPoint inside[] = {{-5, -5}, {3, 3}};
  const QPoint left[] = {{-50, 10}, {-1, 20}};
  const QPoint below[] = {{10, 50}, {20, 90}};
  EXPECT_TRUE(s.r.PointsVisible(inside, 2));
  EXPECT_FALSE(s.r.PointsVisible(inside, 1));
  EXPECT_FALSE(s.r.PointsVisible(left, 2));
  EXPECT_FALSE(s.r.PointsVisible(below, 2));
}

TEST(WideLines, ADiscAlongTheLineGivesRoundEndsAndTheFullWidth) {
  Surface s(40, 20);
  s.r.SelectPen(TGPen(clWhite, gpsSolid, 3, guPixel));
  QPoint* p = s.r.Points();
  p[0] = {10, 10};
  p[1] = {30, 10};
  s.r.BeginParts(false);
  s.r.AddPart(2, 3);
  s.r.EndParts();
  for (int x = 10; x <= 30; ++x) {
    EXPECT_EQ(s.At(x, 9), 0xFFFFFFu) << x;
    EXPECT_EQ(s.At(x, 11), 0xFFFFFFu) << x;
    EXPECT_EQ(s.At(x, 12), 0u) << x;
  }
  EXPECT_EQ(s.At(9, 10), 0xFFFFFFu);
  EXPECT_EQ(s.At(8, 10), 0u);
  // A 5-pixel pen is 5 wide and rounds its corners off.
  s.r.ClearSurface(clBlack);
  s.r.SelectPen(TGPen(clRed, gpsSolid, 5, guPixel));
  s.r.BeginParts(false);
  p[0] = {10, 10};
  p[1] = {30, 10};
  s.r.AddPart(2, 5);
  s.r.EndParts();
  EXPECT_EQ(s.At(20, 8), 0xFF0000u);
  EXPECT_EQ(s.At(20, 12), 0xFF0000u);
  EXPECT_EQ(s.At(20, 13), 0u);
  EXPECT_EQ(s.At(8, 10), 0xFF0000u);
  EXPECT_EQ(s.At(8, 8), 0u);
}

TEST(WideLines, LinesEndingAtTheRightEdgeStopAtTheLastColumn) {
  for (const int width : {3, 7, 16}) {
    Surface s(40, 20);
    s.r.SelectPen(TGPen(clWhite, gpsSolid, width, guPixel));
    QPoint* p = s.r.Points();
    p[0] = {30, 10};
    p[1] = {39, 10};
    p[2] = {39, 19};
    s.r.BeginParts(false);
    s.r.AddPart(3, width);
    s.r.EndParts();
    EXPECT_EQ(s.At(39, 10), 0xFFFFFFu) << width;
    EXPECT_EQ(s.At(39, 19), 0xFFFFFFu) << width;
    // Nothing spills over into the first columns of the rows below.
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(s.At(x, y), 0u) << width << " " << x << "," << y;
  }
}

TEST(SmallEllipses, RimInThePenColourAndInsideInTheBrushColour) {
  Surface s(40, 40);
  s.r.SelectPen(TGPen(clWhite, gpsSolid, 1, guPixel));
  s.r.SelectBrush(TGBrush(clBlack, clRed, gbsSolid));
  s.r.Ellipse(QRect(10, 10, 9, 9));
  EXPECT_EQ(s.At(14, 14), 0xFF0000u);  // centre
  EXPECT_EQ(s.At(14, 10), 0xFFFFFFu);  // top of the rim
  EXPECT_EQ(s.At(18, 14), 0xFFFFFFu);  // right of the rim
  EXPECT_EQ(s.At(10, 10), 0u);         // corner of the rectangle: outside
  EXPECT_EQ(s.At(19, 14), 0u);
  // A clear brush leaves the inside; half alpha blends.
  s.r.ClearSurface(clBlack);
  s.r.SelectBrush(TGBrush(clWhite, clWhite, gbsClear));
  s.r.Alpha = 128;
  s.r.Ellipse(QRect(10, 10, 9, 9));
  s.r.Alpha = 255;
  EXPECT_EQ(s.At(14, 14), 0u);
  EXPECT_EQ(s.At(14, 10), 0x7F7F7Fu);
  // Ellipses across the picture's edges show the same pixels as one drawn whole.
  s.r.ClearSurface(clBlack);
  s.r.SelectBrush(TGBrush(clBlack, clRed, gbsSolid));
  s.r.Ellipse(QRect(20, 20, 7, 6));
  s.r.Ellipse(QRect(-3, -2, 7, 6));
  s.r.Ellipse(QRect(36, 37, 7, 6));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(s.At(x, y), s.At(23 + x, 22 + y)) << x << "," << y;
      EXPECT_EQ(s.At(36 + x, 37 + y), s.At(20 + x, 20 + y)) << x << "," << y;
    }
  }
  EXPECT_EQ(s.At(0, 0), 0xFF0000u);
  EXPECT_EQ(s.At(39, 37), 0xFFFFFFu);
}

TEST(Texts, DrawnTextsAreTheSameWhereverAndHowOftenTheyAreDrawn) {
  Surface s(200, 60);
  TGFont font;
  font.SetSize(14);
  font.SetBkColor(clBlue);
  const QString text = QStringLiteral("Reykjavík");
  const QSize extent = s.r.TextExtent(font, text);
  ASSERT_GT(extent.width(), 30);
  s.r.DrawText({5, 5}, text, font, clWhite);
  s.r.DrawText({105, 5}, text, font, clWhite);
  int lit = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 95; ++x) {
      ASSERT_EQ(s.At(x, y), s.At(x + 100, y)) << x << "," << y;
      if (s.At(x, y) != 0) ++lit;
    }
  }
  EXPECT_GT(lit, 20);
  // Another colour is another picture.
  s.r.DrawText({5, 30}, text, font, clRed);
  bool red = false;
  for (int y = 30; y < 60; ++y)
    for (int x = 0; x < 95; ++x) red |= s.At(x, y) == 0xFF0000u;
  EXPECT_TRUE(red);
  // A halo surrounds the letters with the background colour; an opaque text fills its box.
  s.r.ClearSurface(clBlack);
  font.SetStyle(gfsHalo);
  s.r.DrawText({5, 5}, text, font, clWhite);
  bool blue = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 95; ++x) blue |= s.At(x, y) == 0x0000FFu;
  EXPECT_TRUE(blue);
  s.r.ClearSurface(clBlack);
  font.SetStyle(gfsOpaque);
  s.r.DrawText({5, 5}, text, font, clWhite);
  EXPECT_EQ(s.At(4, 4), 0x0000FFu);
  EXPECT_EQ(s.At(5 + extent.width(), 5 + extent.height()), 0x0000FFu);
  EXPECT_EQ(s.At(6 + extent.width(), 5), 0u);
}

TEST(Attributes, ChangesCallBackAndZoomDependentObjectsFollowTheView) {
  TGPen pen(clRed, gpsSolid, 1, guPixel);
  int calls = 0;
  pen.OnChange = [&] { ++calls; };
  pen.SetWidth(1);
  EXPECT_EQ(calls, 0);
  pen.SetWidth(2000);
  pen.SetWidthUnit(guMeter);
  EXPECT_EQ(calls, 2);
  // A copy takes the values, not the callback.
  TGPen copy;
  copy = pen;
  copy.SetColor(clWhite);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(copy.Width(), 2000);

  // A 2 km pen is as wide as the zoom makes it; the cached pen follows the view distance.
  TGCustomGlobeView globe(400, 400);
  TGDefaultRenderer& r = globe.Renderer();
  TGProjector& prj = globe.Projector();
  prj.SetScaleFactor(1e-5L);
  const int near = pen.DrawingObject(&r, prj.ViewDistance(), 1e-5).width();
  EXPECT_EQ(near, RoundToInt(RoundToInt(2000 * GlobeUnitsPerUnit(guMeter)) * 1e-5));
  prj.SetScaleFactor(2e-5L);
  EXPECT_EQ(pen.DrawingObject(&r, prj.ViewDistance(), 2e-5).width(), 2 * near);
  // Text heights: sizes in arc minutes grow with the zoom up to MaxTextHeight. The renderer takes
  // the scale of the projector when a render starts and keeps it until the next.
  TGFont font;
  font.SetSizeUnit(guMinute);
  font.SetSize(60);
  EXPECT_EQ(r.ScaleFactor(), 0.0);
  EXPECT_EQ(r.ViewDistance(), 0);
  prj.SetScaleFactor(2e-6L);
  globe.RenderScene();
  EXPECT_EQ(r.ScaleFactor(), 2e-6);
  EXPECT_EQ(r.ViewDistance(), prj.ViewDistance());
  EXPECT_EQ(r.FontPixelHeight(font), 11);
  EXPECT_EQ(r.FontObject(font).pixelSize(), 11);
  prj.SetScaleFactor(2e-5L);
  EXPECT_EQ(r.FontPixelHeight(font), 11);
  globe.RenderScene();
  EXPECT_EQ(r.FontPixelHeight(font), r.MaxTextHeight);
  EXPECT_EQ(r.FontObject(font).pixelSize(), r.MaxTextHeight);
  font.SetStyle(gfsBold | gfsItalic);
  EXPECT_TRUE(r.FontObject(font).bold());
  EXPECT_TRUE(r.FontObject(font).italic());
}

}  // namespace
