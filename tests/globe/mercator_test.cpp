// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The Mercator map: the textbook formulas x = R·λ and y = R·ln tan(π/4 + φ/2) (Snyder, Map
// Projections — A Working Manual, USGS Professional Paper 1395, eqs. 7-1, 7-2 and 7-4), the cut at
// ±85°, the 180° meridian and round trips through the inverse.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gcustomglobe.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

constexpr double kPiD = std::numbers::pi;

TGGlobePoint Deg(double lon, double lat) {
  return {DegreesToGU(lon), DegreesToGU(lat), 0};
}

// A 400 × 300 Mercator map at 1e-6 pixels per globe unit with the origin (0°, 0°) at (200, 150).
struct Map {
  TGCustomGlobeView globe{400, 300};
  TGProjector& prj = globe.Projector();
  Map() {
    prj.SetProjectionClass("TGMercatorPrj");
    prj.SetScaleFactor(1e-6L);
    prj.SetXYOrigin(QPoint(200, 150));
    prj.SetByIndex(piCentralMeridian, 0);
  }
  double Scale() const { return static_cast<double>(prj.ScaleFactor()); }
  // The textbook pixel of a point, unrounded.
  double X(double lonDeg) const {
    return 200 + Scale() * kGlobeUnitsPerRadian * lonDeg * kPiD / 180;
  }
  double Y(double latDeg) const {
    return 150 -
           Scale() * kGlobeUnitsPerRadian * std::log(std::tan(kPiD / 4 + latDeg * kPiD / 360));
  }
};

TEST(MercatorModel, ForwardFollowsTheTextbookFormulas) {
  Map m;
  ASSERT_EQ(m.prj.ProjectionClass(), "TGMercatorPrj");
  EXPECT_FALSE(m.prj.IsSeamless());
  // ln tan(π/4 + φ/2) = asinh(tan φ): 45° gives 0.88137358702; 85° gives 3.13130133147.
  EXPECT_NEAR(TGMercatorPrj::MercatorY(DegreesToGU(45.0)), 0.88137358702 * kGlobeUnitsPerRadian, 2);
  EXPECT_NEAR(TGMercatorPrj::MercatorY(DegreesToGU(85.0)), 3.13130133147 * kGlobeUnitsPerRadian, 2);
  EXPECT_NEAR(TGMercatorPrj::MercatorY(0), 0, 1e-6);
  const struct {
    double lon, lat;
  } cases[] = {{0, 0},       {10, 20},   {-75, 40},   {120, -33.5}, {-179.5, 60},
               {179.5, -70}, {45, 84.9}, {-3, -84.9}, {90, 1e-4}};
  for (const auto& c : cases) {
    QPoint p;
    EXPECT_TRUE(m.prj.LLToXY(Deg(c.lon, c.lat), p)) << c.lon << " " << c.lat;
    EXPECT_NEAR(p.x(), m.X(c.lon), 0.5 + 1e-9) << c.lon << " " << c.lat;
    EXPECT_NEAR(p.y(), m.Y(c.lat), 0.5 + 1e-9) << c.lon << " " << c.lat;
  }
  // Longitude scales as on the plate carrée; latitude is stretched by sec φ.
  TGCustomGlobeView flat(400, 300);
  flat.Projector().SetProjectionClass("TGCartesianPrj");
  flat.Projector().SetScaleFactor(1e-6L);
  flat.Projector().SetXYOrigin(QPoint(200, 150));
  QPoint pm, pf;
  m.prj.LLToXY(Deg(33, 60), pm);
  flat.Projector().LLToXY(Deg(33, 60), pf);
  EXPECT_EQ(pm.x(), pf.x());
  EXPECT_LT(pm.y(), pf.y());
}

TEST(MercatorModel, LatitudesBeyond85DegreesAreCutAtTheEdge) {
  Map m;
  const TGExtent e = m.prj.ModelExtent();
  EXPECT_EQ(e.Left, -971999999);
  EXPECT_EQ(e.Right, 972000000);
  EXPECT_EQ(e.Bottom, 968815894);
  EXPECT_EQ(e.Top, -968815894);
  const int north = static_cast<int>(std::lround(m.Y(85))),
            south = static_cast<int>(std::lround(m.Y(-85)));
  const struct {
    double lat;
    bool visible;
    int y;
  } cases[] = {{85, true, north},  {85.0001, false, north}, {89, false, north},
               {90, false, north}, {-85, true, south},      {-90, false, south}};
  for (const auto& c : cases) {
    QPoint p;
    EXPECT_EQ(m.prj.LLToXY(Deg(20, c.lat), p), c.visible) << c.lat;
    EXPECT_EQ(p.y(), c.y) << c.lat;  // hidden points are placed on the edge
  }
  // Beyond the edge the inverse fails; just inside it gives at most 85°.
  TGGlobePoint g;
  EXPECT_FALSE(m.prj.XYToLL(200, north - 2, g));
  EXPECT_FALSE(m.prj.XYToLL(200, south + 2, g));
  ASSERT_TRUE(m.prj.XYToLL(200, north + 1, g));
  EXPECT_LE(g.Latitude, TGMercatorPrj::kLatitudeLimit);
  EXPECT_GT(g.Latitude, DegreesToGU(84.5));
  EXPECT_DOUBLE_EQ(TGMercatorPrj::MercatorLatitude(1e12), TGMercatorPrj::kLatitudeLimit);
  EXPECT_DOUBLE_EQ(TGMercatorPrj::MercatorY(DegreesToGU(90.0)),
                   TGMercatorPrj::MercatorY(TGMercatorPrj::kLatitudeLimit));
  // Fitting shows the whole map, ±180° and ±85°, on a square surface (on a wider one the
  // projector's limit of 2³¹ globe units across the surface cuts it a little).
  TGCustomGlobeView square(400, 400);
  square.Projector().SetProjectionClass("TGMercatorPrj");
  square.Projector().SetScaleFactor(0);
  QPoint nw, se;
  square.Projector().LLToXY(Deg(-179.99, 85), nw);
  square.Projector().LLToXY(Deg(179.99, -85), se);
  EXPECT_GE(nw.x(), 0);
  EXPECT_GE(nw.y(), 0);
  EXPECT_LE(se.x(), 400);
  EXPECT_LE(se.y(), 400);
  EXPECT_GE(se.x() - nw.x(), 398);
}

TEST(MercatorModel, The180DegreeMeridianIsTheSeam) {
  Map m;
  QPoint east, west, seam;
  EXPECT_TRUE(m.prj.LLToXY(Deg(179.9, 10), east));
  EXPECT_TRUE(m.prj.LLToXY(Deg(-179.9, 10), west));
  EXPECT_NEAR(east.x(), m.X(179.9), 0.5 + 1e-9);
  EXPECT_NEAR(west.x(), m.X(-179.9), 0.5 + 1e-9);
  // +180° itself lies on the right edge and is not on the map; −180° is the same meridian.
  EXPECT_FALSE(m.prj.LLToXY({kGU180, 0, 0}, seam));
  EXPECT_NEAR(seam.x(), m.X(180), 0.5 + 1e-9);
  EXPECT_TRUE(m.prj.LLToXY({-(kGU180 - 1), 0, 0}, seam));
  EXPECT_NEAR(seam.x(), m.X(-180), 0.5 + 1e-9);
  // With the central meridian at 180° the seam moves to 0°: the Pacific is in the middle.
  m.prj.SetByIndex(piCentralMeridian, 180);
  QPoint p;
  EXPECT_TRUE(m.prj.LLToXY(Deg(180 - 1e-6, 0), p));
  EXPECT_NEAR(p.x(), 200, 1);
  EXPECT_TRUE(m.prj.LLToXY(Deg(-170, 0), p));
  EXPECT_NEAR(p.x(), m.X(10), 0.5 + 1e-9);
  TGGlobePoint g;
  ASSERT_TRUE(m.prj.XYToLL(static_cast<int>(std::lround(m.X(10))), 150, g));
  EXPECT_NEAR(g.Longitude, DegreesToGU(-170.0), 1 / 1e-6);
}

TEST(MercatorModel, LinesAcrossTheSeamEndAtBothEdgesAndPolesAreCut) {
  TGCustomGlobeView globe{400, 300, std::make_unique<RecordingRenderer>()};
  auto& r = static_cast<RecordingRenderer&>(globe.Renderer());
  TGProjector& prj = globe.Projector();
  prj.SetProjectionClass("TGMercatorPrj");
  prj.SetScaleFactor(0);
  prj.SetByIndex(piCentralMeridian, 0);
  r.PrepareForDrawing();
  QPoint left, right;
  prj.LLToXY({-(kGU180 - 1), 0, 0}, left);
  prj.LLToXY({kGU180 - 1, 0, 0}, right);
  // A line from 170° E to 170° W: one piece to the right edge, one from the left edge, and no
  // segment across the whole map.
  const TGChainStore across{{{Deg(170, 10), Deg(-170, 20)}}};
  globe.RenderChains(across, false);
  ASSERT_EQ(r.parts.size(), 2u);
  EXPECT_EQ(r.parts[0].points.back().x(), right.x());
  EXPECT_EQ(r.parts[1].points.front().x(), left.x());
  for (const auto& part : r.parts)
    EXPECT_LT(std::abs(part.points.front().x() - part.points.back().x()), 20);
  // A meridian to the pole stops at 85°.
  r.parts.clear();
  const TGChainStore meridian{{{Deg(30, 80), Deg(30, 84), Deg(30, 88), Deg(30, 90)}}};
  globe.RenderChains(meridian, false);
  ASSERT_EQ(r.parts.size(), 1u);
  EXPECT_EQ(r.parts[0].points.size(), 2u);
  r.FinishDrawing();
}

TEST(MercatorModel, InverseUndoesTheForwardProjection) {
  Map m;
  m.prj.SetScaleFactor(1e-5L);  // 0.1 globe units per pixel … about 20 m per pixel
  m.prj.SetXYOrigin(QPoint(200, 150));
  for (double lat : {-84.0, -60.0, -12.5, 0.0, 33.3, 71.0, 84.0}) {
    for (double lon : {-179.0, -90.0, 0.0, 45.5, 179.0}) {
      // Centre the point so that its pixel is inside the coordinate range.
      QPoint p;
      ASSERT_TRUE(m.prj.LLToXY(Deg(lon, lat), p));
      TGGlobePoint g;
      ASSERT_TRUE(m.prj.XYToLL(p.x(), p.y(), g)) << lon << " " << lat;
      // Half a pixel in globe units, stretched by sec φ in latitude.
      const double pixel = 1 / m.Scale();
      EXPECT_NEAR(g.Longitude, DegreesToGU(lon), pixel) << lon << " " << lat;
      EXPECT_NEAR(g.Latitude, DegreesToGU(lat), pixel * std::cos(lat * kPiD / 180) + 2)
          << lon << " " << lat;
      // And back again to the same pixel.
      QPoint q;
      ASSERT_TRUE(m.prj.LLToXY(g, q));
      EXPECT_EQ(q, p) << lon << " " << lat;
    }
  }
  for (double y : {-9e8, -1e8, 0.0, 3e8, 9.6e8})
    EXPECT_NEAR(TGMercatorPrj::MercatorY(TGMercatorPrj::MercatorLatitude(y)), y, 1e-3) << y;
}

TEST(MercatorModel, SwitchingModelsKeepsThePointUnderTheCentre) {
  TGCustomGlobeView globe(400, 300);
  TGProjector& prj = globe.Projector();
  prj.SetScaleFactor(120 / kGlobeSphereRadius);
  prj.SetXRotation(30);
  prj.SetYRotation(-60);
  for (const char* model : {"TGMercatorPrj", "TGCartesianPrj", "tgmercatorprj", "TGSphericalPrj"}) {
    prj.SetProjectionClass(model);
    TGGlobePoint g;
    ASSERT_TRUE(prj.XYToLL(200, 150, g)) << model;
    EXPECT_NEAR(g.Longitude / double{kGUPerDegree}, -60, 0.5) << model;
    EXPECT_NEAR(g.Latitude / double{kGUPerDegree}, 30, 0.5) << model;
  }
  EXPECT_EQ(prj.ProjectionClass(), "TGSphericalPrj");
}

}  // namespace
