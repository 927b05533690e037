// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Chain drawing, seam cutting, the graticule and the textured globe as a whole.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gcustomglobe.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

constexpr std::int32_t kDeg = kGUPerDegree;

TGGlobePoint Deg(double lon, double lat) {
  return {DegreesToGU(lon), DegreesToGU(lat), 0};
}

// A 300 × 300 globe looking at (0°, 0°), disc radius 100 pixels, with a recording renderer.
struct Scene {
  TGCustomGlobeView globe{300, 300, std::make_unique<RecordingRenderer>()};
  TGProjector& prj = globe.Projector();
  RecordingRenderer& r = static_cast<RecordingRenderer&>(globe.Renderer());
  Scene() {
    prj.SetScaleFactor(100 / kGlobeSphereRadius);
    prj.SetXRotation(0);
    prj.SetYRotation(0);
    r.PrepareForDrawing();
  }
  ~Scene() { r.FinishDrawing(); }
  double Radius() const { return dynamic_cast<TGSphericalPrj&>(prj.Model()).DiscRadius(); }
  double Distance(QPoint p) const { return std::hypot(p.x() - 150.0, p.y() - 150.0); }
};

TEST(ChainDrawing, OpenChainsAreDrawnOverTheirVisibleRuns) {
  Scene s;
  const TGChainStore five{{{Deg(-20, 0), Deg(-10, 0), Deg(120, 0), Deg(10, 0), Deg(20, 0)}}};
  s.globe.RenderChains(five, false);
  ASSERT_EQ(s.r.parts.size(), 2u);
  EXPECT_EQ(s.r.parts[0].points.size(), 2u);
  EXPECT_EQ(s.r.parts[1].points.size(), 2u);
  EXPECT_FALSE(s.r.parts[0].closed);
  EXPECT_LT(s.r.parts[0].points[0].x(), 150);
  EXPECT_GT(s.r.parts[1].points[1].x(), 150);

  s.r.parts.clear();
  const TGChainStore lonely{{{Deg(-120, 0), Deg(0, 0), Deg(120, 0)}}};
  s.globe.RenderChains(lonely, false);
  EXPECT_TRUE(s.r.parts.empty());

  // Consecutive points on the same pixel count once; hidden chains are skipped.
  TGChainStore dense{{{Deg(0, 0), Deg(0, 0.0001), Deg(0, 0.0002)}}};
  s.globe.RenderChains(dense, false);
  EXPECT_TRUE(s.r.parts.empty());
  TGChainStore hidden{{{Deg(0, 0), Deg(10, 10)}, true}};
  s.globe.RenderChains(hidden, false);
  EXPECT_TRUE(s.r.parts.empty());
}

TEST(ChainDrawing, ClosedChainsOnTheFarSideFollowTheLimb) {
  Scene s;
  TGChainStore far(1);
  for (int i = 0; i < 36; ++i) {
    const double a = i * 10 * std::numbers::pi / 180;
    far[0].Points.push_back(Deg(180 + 20 * std::cos(a), 20 * std::sin(a)));
  }
  s.globe.RenderChains(far, true);
  ASSERT_EQ(s.r.parts.size(), 1u);
  const auto& pts = s.r.parts[0].points;
  EXPECT_TRUE(s.r.parts[0].closed);
  EXPECT_GE(pts.size(), 3u);
  EXPECT_EQ(pts.front(), pts.back());
  for (const QPoint& p : pts) EXPECT_NEAR(s.Distance(p), s.Radius(), 1.0);

  // The antipode of the view centre has no direction; it still lands on the limb.
  s.r.parts.clear();
  const TGChainStore antipode{{{Deg(180, 0), Deg(170, 5), Deg(170, -5)}}};
  s.globe.RenderChains(antipode, true);
  ASSERT_EQ(s.r.parts.size(), 1u);
  for (const QPoint& p : s.r.parts[0].points) EXPECT_NEAR(s.Distance(p), s.Radius(), 1.0);
}

TEST(ChainDrawing, ChainsAreCutWhereTheyCrossTheSeam) {
  std::vector<std::vector<TGGlobePoint>> pieces;
  CutChainAtSeam({Deg(170, 0), Deg(-170, 10), Deg(-160, 10)}, 0, pieces);
  ASSERT_EQ(pieces.size(), 2u);
  ASSERT_EQ(pieces[0].size(), 2u);
  ASSERT_EQ(pieces[1].size(), 3u);
  EXPECT_EQ(pieces[0][1].Longitude, kGU180 - 1);
  EXPECT_EQ(pieces[1][0].Longitude, -(kGU180 - 1));
  EXPECT_NEAR(pieces[0][1].Latitude, 5 * kDeg, 2);
  EXPECT_EQ(pieces[0][1].Latitude, pieces[1][0].Latitude);
  // With the central meridian at 90° the seam is at −90°.
  pieces.clear();
  CutChainAtSeam({Deg(170, 0), Deg(-170, 10)}, 90 * kDeg, pieces);
  EXPECT_EQ(pieces.size(), 1u);
  pieces.clear();
  CutChainAtSeam({Deg(-80, 0), Deg(-100, 10)}, 90 * kDeg, pieces);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0][1].Longitude, -90 * kDeg + 1);
}

TEST(Graticule, StepsChooseTheLines) {
  Scene s;
  TGGraticule& g = s.globe.Graticule();
  g.SetLatitudeStep(90);
  g.SetLongitudeStep(0);
  g.Render();
  ASSERT_FALSE(s.r.parts.empty());
  for (const auto& part : s.r.parts)
    for (const QPoint& p : part.points) EXPECT_NEAR(p.y(), 150, 1);
  s.r.parts.clear();
  g.SetLatitudeStep(0);
  g.Render();
  EXPECT_TRUE(s.r.parts.empty());
  // Meridians only: every drawn point lies on one of the visible meridians 90° apart.
  g.SetLongitudeStep(90);
  g.Render();
  ASSERT_FALSE(s.r.parts.empty());
  for (const auto& part : s.r.parts) {
    for (const QPoint& p : part.points) {
      EXPECT_TRUE(std::abs(p.x() - 150) <= 1 || std::abs(s.Distance(p) - s.Radius()) <= 1.5)
          << p.x() << "," << p.y();
    }
  }
}

TEST(Graticule, ChangesRequestARender) {
  Scene s;
  s.globe.PaintToImage();
  ASSERT_FALSE(s.globe.RenderPending());
  s.globe.Graticule().SetLongitudeStep(10);  // unchanged
  EXPECT_FALSE(s.globe.RenderPending());
  s.globe.Graticule().SetLongitudeStep(30);
  EXPECT_TRUE(s.globe.RenderPending());
}

// A texture whose quadrants have their own colours: NW red, NE green, SW blue, SE white.
std::uint32_t Quadrants(int x, int y, int w, int h) {
  const bool east = x >= w / 2, north = y < h / 2;
  if (north) return east ? 0x00FF00 : 0xFF0000;
  return east ? 0xFFFFFF : 0x0000FF;
}

bool Near(std::uint32_t pixel, std::uint32_t rgb) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                 static_cast<int>((rgb >> shift) & 0xFF)) > 40)
      return false;
  }
  return true;
}

TEST(SurfaceTexture, QuadrantsLandWhereTheyBelongUnderTheGraticule) {
  const auto dir = UniqueTestDir("globe_quadrants");
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "quadrants.jpg").string();
  WriteJpeg(path, 360, 180, [](int x, int y) { return Quadrants(x, y, 360, 180); });
  TGCustomGlobeView globe(300, 300);
  TGProjector& prj = globe.Projector();
  globe.SetSurfaceTextureName("  " + path + " ");
  ASSERT_EQ(globe.SurfaceTextureName(), path);
  prj.SetScaleFactor(120 / kGlobeSphereRadius);
  prj.SetXRotation(20);
  prj.SetYRotation(-30);
  globe.Graticule().SetLatitudeStep(30);
  globe.Graticule().SetLongitudeStep(30);
  const QImage image = globe.PaintToImage();
  auto pixelAt = [&](double lon, double lat) {
    QPoint p;
    EXPECT_TRUE(prj.LLToXY(Deg(lon, lat), p));
    return image.pixel(p) & 0xFFFFFF;
  };
  EXPECT_TRUE(Near(pixelAt(-50, 40), 0xFF0000));
  EXPECT_TRUE(Near(pixelAt(10, 40), 0x00FF00));
  EXPECT_TRUE(Near(pixelAt(-50, -20), 0x0000FF));
  EXPECT_TRUE(Near(pixelAt(10, -20), 0xFFFFFF));
  // The graticule is drawn over the texture; the background shows beyond the disc.
  EXPECT_EQ(pixelAt(-30, 15), 0xC0C0C0u);
  EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFF, 0u);
  // The sub-surface colour fills the disc where no texture is drawn.
  globe.SetSurfaceTextureName("   ");
  EXPECT_EQ(globe.SurfaceTextureName(), "");
  EXPECT_TRUE(globe.SurfaceTexture().GetEmpty());
  globe.Graticule().SetLatitudeStep(0);
  globe.Graticule().SetLongitudeStep(0);
  EXPECT_EQ(globe.PaintToImage().pixel(150, 150) & 0xFFFFFF, 0x00FFFFu);
  globe.SetSurfaceColor(clNone);
  EXPECT_EQ(globe.PaintToImage().pixel(150, 150) & 0xFFFFFF, 0u);
  std::filesystem::remove_all(dir);
}

}  // namespace
