// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Projector and projection models: view state, projection, unprojection and zoom.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>

#include "gcustomglobe.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

constexpr std::int32_t kDeg = kGUPerDegree;

TGGlobePoint Deg(double lon, double lat) {
  return {DegreesToGU(lon), DegreesToGU(lat), 0};
}

// A globe of 400 × 300 pixels looking at (lon, lat) with the disc radius about 120 pixels.
struct View {
  TGCustomGlobeView globe{400, 300};
  TGProjector& prj = globe.Projector();
  View(double lon = 0, double lat = 0) {
    prj.SetScaleFactor(120 / kGlobeSphereRadius);
    prj.SetXRotation(lat);
    prj.SetYRotation(lon);
  }
};

TEST(Units, NormalizeLongitudeIsOneStepIntoTheHalfOpenRange) {
  EXPECT_EQ(NormalizeLongitudeGU(972000000), 972000000);
  EXPECT_EQ(NormalizeLongitudeGU(-972000000), 972000000);
  EXPECT_EQ(NormalizeLongitudeGU(-971999999), -971999999);
  EXPECT_EQ(NormalizeLongitudeGU(972000001), -971999999);
  EXPECT_EQ(NormalizeLongitudeGU(0), 0);
}

TEST(Units, NormalizeDegreeAndGuardedRounding) {
  EXPECT_EQ(NormalizeDegree(180), -180);
  EXPECT_EQ(NormalizeDegree(-180), -180);
  EXPECT_EQ(NormalizeDegree(190), -170);
  EXPECT_EQ(NormalizeDegree(-190), 170);
  EXPECT_EQ(NormalizeDegree(1e6L), NormalizeDegree(1e6L - 2777 * 360.0L));
  EXPECT_EQ(RoundToInt(2.5), 2);
  EXPECT_EQ(RoundToInt(3.5), 4);
  EXPECT_EQ(RoundToInt(-2.5), -2);
  EXPECT_EQ(RoundToInt(std::nan("")), 0);
  EXPECT_EQ(RoundToInt(1e30), INT32_MAX);
  EXPECT_EQ(RoundToInt(-INFINITY), INT32_MIN);
  EXPECT_EQ(MulDiv(7, 1, 2), 4);
  EXPECT_EQ(MulDiv(-7, 1, 2), -4);
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(Units, PointListRectangleTakesTheNarrowWayAcross180) {
  const TGGlobePoint across[] = {Deg(170, 10), Deg(179, 12), Deg(-175, 14), Deg(-170, 11)};
  const TGMER r = PointListMER(across);
  EXPECT_EQ(r.Left, 170 * kDeg);
  EXPECT_EQ(r.Width, 20 * kDeg + 1);
  EXPECT_EQ(r.Top, 10 * kDeg);
  EXPECT_EQ(r.Height, 4 * kDeg + 1);
  const TGGlobePoint plain[] = {Deg(-10, 0), Deg(20, 5)};
  EXPECT_EQ(PointListMER(plain), (TGMER{-10 * kDeg, 0, 30 * kDeg + 1, 5 * kDeg + 1}));
  EXPECT_TRUE(PointListMER({}).Empty());
}

TEST(Projector, ConstructionFitsTheDiscAndCentresIt) {
  TGCustomGlobeView globe(150, 150);
  TGProjector& prj = globe.Projector();
  EXPECT_NEAR(static_cast<double>(prj.ScaleFactor()), 2.421271665760815e-07, 1e-18);
  EXPECT_EQ(prj.XOrigin(), 75);
  EXPECT_EQ(prj.YOrigin(), 75);
  EXPECT_EQ(prj.XRotation(), 23.5L);
  EXPECT_EQ(prj.ProjectionClass(), "TGSphericalPrj");
  EXPECT_THROW(TGProjector(nullptr), std::invalid_argument);
}

// A projector needs no globe, only a host: a renderer to project into and a receiver of the view
// changes it makes.
TEST(Projector, WorksWithABareHostAndReportsViewChangesToIt) {
  struct Host : TGProjectorHost {
    TGDefaultRenderer renderer;
    int renders = 0, rotated = 0, panned = 0, zoomed = 0;
    std::int32_t viewWidth = 0, viewHeight = 0;
    TGRenderer& Renderer() override { return renderer; }
    void RequestRender() override { ++renders; }
    void NotifyRotated() override { ++rotated; }
    void NotifyPanned() override { ++panned; }
    void NotifyZoomed() override { ++zoomed; }
    void SetViewRect(std::int32_t width, std::int32_t height) override {
      viewWidth = width;
      viewHeight = height;
    }
  } host;
  host.renderer.ResizeSurface(200, 100);
  TGProjector prj(&host);
  EXPECT_EQ(prj.XOrigin(), 100);
  EXPECT_EQ(prj.YOrigin(), 50);
  host.renders = 0;
  prj.SetScaleFactor(1e-6L);
  EXPECT_EQ(host.zoomed, 1);
  EXPECT_EQ(host.viewWidth, RoundToInt(200 / 1e-6));
  EXPECT_EQ(host.viewHeight, RoundToInt(100 / 1e-6));
  EXPECT_GT(host.renders, 0);
  prj.SetXRotation(0);
  prj.SetYRotation(10);
  EXPECT_EQ(host.rotated, 2);
  prj.SetXOrigin(120);
  EXPECT_EQ(host.panned, 1);
  // Projections go to the host renderer's point buffer.
  EXPECT_TRUE(prj.Model().PointLLToXY(Deg(10, 0), 3));
  EXPECT_EQ(host.renderer.Points()[3], QPoint(120, 50));
}

// A rectangle from 170° E across the date line to 170° W, in a view zoomed in on 173° W: only its
// eastern part (−180° … −170°) is on screen, and that is enough to draw it.
TEST(Projector, RectangleAcrossTheDateLineSeenByItsEasternPart) {
  View v(-173, 0);
  v.prj.SetScaleFactor(2865 / kGlobeSphereRadius);  // about 50 pixels per degree
  TGCustomProjectionModel& model = v.prj.Model();
  unsigned flags = 0;
  const TGMER across{170 * kDeg, -kDeg, 20 * kDeg, 2 * kDeg};
  EXPECT_TRUE(model.RectVisible(across, flags));
  EXPECT_TRUE(flags & kRectVisibleFlag);
  EXPECT_FALSE(flags & kRectPartlyVisibleFlag);  // every sample faces the viewer
  // Its western part alone, and a rectangle wholly west of the meridian, are off screen.
  EXPECT_FALSE(model.RectVisible(TGMER{170 * kDeg, -kDeg, 10 * kDeg - 1, 2 * kDeg}, flags));
  EXPECT_FALSE(flags & kRectVisibleFlag);
  EXPECT_FALSE(model.RectVisible(TGMER{150 * kDeg, -kDeg, 15 * kDeg, 2 * kDeg}, flags));
  // Looking at 173° E instead, the same rectangle is seen by its western part.
  View west(173, 0);
  west.prj.SetScaleFactor(2865 / kGlobeSphereRadius);
  EXPECT_TRUE(west.prj.Model().RectVisible(across, flags));
  EXPECT_FALSE(west.prj.Model().RectVisible(TGMER{-178 * kDeg, -kDeg, 8 * kDeg, 2 * kDeg}, flags));
}

TEST(Projector, UnprojectsTheCentreLimbAndBeyond) {
  View v(-89.6, 23.5);
  TGGlobePoint g;
  ASSERT_TRUE(v.prj.XYToLL(v.prj.XOrigin(), v.prj.YOrigin(), g));
  EXPECT_NEAR(g.Longitude, -89.6 * kDeg, 2);
  EXPECT_NEAR(g.Latitude, 23.5 * kDeg, 2);

  // A disc radius of exactly 100 pixels: the pixel at that distance is still on the globe.
  double scale = 100 / kGlobeSphereRadius;
  while (scale * kGlobeSphereRadius < 100) scale = std::nextafter(scale, 1.0);
  while (scale * kGlobeSphereRadius > 100) scale = std::nextafter(scale, 0.0);
  ASSERT_EQ(scale * kGlobeSphereRadius, 100.0);
  v.prj.SetScaleFactor(scale);
  ASSERT_EQ(dynamic_cast<TGSphericalPrj&>(v.prj.Model()).DiscRadius(), 100.0);
  const int x0 = v.prj.XOrigin(), y0 = v.prj.YOrigin();
  EXPECT_TRUE(v.prj.XYToLL(x0 + 100, y0, g));
  EXPECT_TRUE(v.prj.XYToLL(x0, y0 - 100, g));
  EXPECT_TRUE(v.prj.XYToLL(x0 + 60, y0 + 80, g));
  EXPECT_FALSE(v.prj.XYToLL(x0 + 101, y0, g));
  EXPECT_EQ(g, kNoPoint);
  EXPECT_FALSE(v.prj.XYToLL(x0 + 71, y0 + 71, g));
}

TEST(Projector, NorthIsUpEastIsRightAndZRotationTurnsClockwise) {
  View v(0, 0);
  QPoint c, n, e;
  ASSERT_TRUE(v.prj.LLToXY(Deg(0, 0), c));
  EXPECT_EQ(c, QPoint(v.prj.XOrigin(), v.prj.YOrigin()));
  ASSERT_TRUE(v.prj.LLToXY(Deg(0, 30), n));
  ASSERT_TRUE(v.prj.LLToXY(Deg(30, 0), e));
  EXPECT_EQ(n.x(), c.x());
  EXPECT_LT(n.y(), c.y());
  EXPECT_GT(e.x(), c.x());
  EXPECT_EQ(e.y(), c.y());
  v.prj.SetZRotation(90);
  ASSERT_TRUE(v.prj.LLToXY(Deg(0, 30), n));
  EXPECT_GT(n.x(), c.x());
  EXPECT_NEAR(n.y(), c.y(), 1);
}

TEST(Projector, PointsNinetyDegreesFromTheCentreAreHidden) {
  for (const auto& [lon, lat] : {std::pair{0.0, 0.0}, {-89.6, 7.6}, {135.0, -40.0}}) {
    View v(lon, lat);
    QPoint p;
    // The pole of the view circle and three points on the great circle 90° away.
    const double sign = lat >= 0 ? 1 : -1;
    EXPECT_FALSE(v.prj.LLToXY(Deg(lon + 90, 0), p)) << lon << " " << lat;
    EXPECT_FALSE(v.prj.LLToXY(Deg(lon - 90, 0), p)) << lon << " " << lat;
    EXPECT_FALSE(v.prj.LLToXY(Deg(lon + 180, sign * (90 - std::fabs(lat))), p)) << lon;
    EXPECT_TRUE(v.prj.LLToXY(Deg(lon + 89.99, 0), p));
    EXPECT_FALSE(v.prj.LLToXY(Deg(lon + 90.01, 0), p));
  }
  // A raised point behind the limb but outside the disc stands out and is visible.
  View v(0, 0);
  QPoint p;
  EXPECT_TRUE(v.prj.LLToXY({95 * kDeg, 0, 50000000}, p));
  EXPECT_FALSE(v.prj.LLToXY({95 * kDeg, 0, 0}, p));
}

TEST(Projector, ProjectionAndUnprojectionAgree) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> lon(-180, 180), lat(-90, 90), z(-180, 180);
  for (int view = 0; view < 20; ++view) {
    View v(lon(rng), lat(rng));
    v.prj.SetZRotation(z(rng));
    const double guPerPixel = 1 / static_cast<double>(v.prj.ScaleFactor());
    for (int i = 0; i < 50; ++i) {
      const TGGlobePoint g = Deg(lon(rng), lat(rng));
      QPoint p;
      TGGlobePoint back;
      if (!v.prj.LLToXY(g, p)) continue;
      if (!v.prj.XYToLL(p.x(), p.y(), back)) {
        // Only a pixel rounded outward at the limb may fall off the disc.
        const double r = dynamic_cast<TGSphericalPrj&>(v.prj.Model()).DiscRadius();
        EXPECT_GT(std::hypot(p.x() - v.prj.XOrigin(), p.y() - v.prj.YOrigin()), r);
        EXPECT_LT(std::hypot(p.x() - v.prj.XOrigin(), p.y() - v.prj.YOrigin()), r + 1);
        continue;
      }
      // Points far from the centre lose accuracy where the sphere turns away; compare the
      // projected pixels instead of the angles.
      QPoint again;
      v.prj.LLToXY(back, again);
      EXPECT_LE(std::abs(again.x() - p.x()) + std::abs(again.y() - p.y()), 1)
          << g.Longitude << " " << g.Latitude << " " << guPerPixel;
    }
  }
}

TEST(Projector, PixelRectangleIsTheOneOfEveryUnprojectedPixel) {
  std::mt19937 rng(20240408);
  std::uniform_real_distribution<double> lon(-180, 180), lat(-90, 90);
  for (int i = 0; i < 80; ++i) {
    // Views straight at 0° and 180° (pixel columns unproject to the meridian itself), at the
    // poles, zoomed in beyond the window, and at random.
    const double l = i % 4 == 0 ? 0 : i % 4 == 1 ? 180 : lon(rng);
    const double t = i % 5 == 0 ? 90 : i % 5 == 1 ? -90 : i % 5 == 2 ? 0 : lat(rng);
    View v(l, t);
    if (i % 3 == 0) v.prj.SetScaleFactor((i % 2 ? 600 : 2000) / kGlobeSphereRadius);
    std::vector<QPoint> pixels;
    for (int y = 0; y < 300; y += 3)
      for (int x = 0; x < 400; x += 3) pixels.emplace_back(x, y);
    for (int y = 0; y < 300; ++y)
      for (int x = 196; x <= 204; ++x) pixels.emplace_back(x, y);
    TGCustomProjectionModel& model = v.prj.Model();
    int fast = 0, slow = 0;
    const TGMER a = model.PixelsMER(pixels, fast);
    const TGMER b = model.TGCustomProjectionModel::PixelsMER(pixels, slow);
    EXPECT_EQ(fast, slow) << i;
    EXPECT_EQ(a, b) << "view " << i << " at " << l << ", " << t;
  }
  int none = -1;
  View far;
  EXPECT_EQ(far.prj.Model().PixelsMER(std::vector<QPoint>{{0, 0}}, none), TGMER{});
  EXPECT_EQ(none, 0);
}

TEST(Projector, RotationSettersNormaliseAndClamp) {
  View v;
  int rotations = 0;
  v.globe.OnRotated = [&] { ++rotations; };
  v.prj.SetByIndex(piYRotation, 190);
  EXPECT_EQ(v.prj.YRotation(), -170);
  v.prj.SetByIndex(piYRotation, -190);
  EXPECT_EQ(v.prj.YRotation(), 170);
  v.prj.SetByIndex(piYRotation, 3600.5L);
  EXPECT_NEAR(static_cast<double>(v.prj.YRotation()), 0.5, 1e-9);
  v.prj.SetByIndex(piXRotation, 95);
  EXPECT_EQ(v.prj.XRotation(), 90);
  v.prj.SetByIndex(piZRotation, 270);
  EXPECT_EQ(v.prj.ZRotation(), -90);
  EXPECT_GT(rotations, 0);
  // NaN, infinity and unchanged values do nothing at all.
  v.globe.PaintToImage();
  ASSERT_FALSE(v.globe.RenderPending());
  rotations = 0;
  v.prj.SetByIndex(piXRotation, std::nanl(""));
  v.prj.SetByIndex(piYRotation, INFINITY);
  v.prj.SetByIndex(piXRotation, 90);
  EXPECT_EQ(v.prj.XRotation(), 90);
  EXPECT_EQ(rotations, 0);
  EXPECT_FALSE(v.globe.RenderPending());
  // Limits are kept inside their ranges.
  v.prj.SetByIndex(piMaxLatitude, 95);
  v.prj.SetByIndex(piMinZoom, 1e-9L);
  v.prj.SetByIndex(piMaxZoom, 5);
  EXPECT_EQ(v.prj.MaxLatitude(), 90);
  EXPECT_EQ(v.prj.MinZoom(), 5e-8L);
  EXPECT_EQ(v.prj.MaxZoom(), 1);
}

TEST(Projector, ScaleChangesBelowTheThresholdDoNothing) {
  View v;
  v.globe.PaintToImage();
  ASSERT_FALSE(v.globe.RenderPending());
  int zooms = 0;
  v.globe.OnZoomed = [&] { ++zooms; };
  const long double before = v.prj.ScaleFactor();
  v.prj.SetScaleFactor(before + 5e-11L);
  v.prj.SetScaleFactor(before - 0.9e-10L);
  v.prj.SetScaleFactor(-1);
  v.prj.SetScaleFactor(std::nanl(""));
  EXPECT_EQ(v.prj.ScaleFactor(), before);
  EXPECT_FALSE(v.globe.RenderPending());
  EXPECT_EQ(zooms, 0);
  v.prj.SetScaleFactor(before + 1e-9L);
  EXPECT_NEAR(static_cast<double>(v.prj.ScaleFactor()), static_cast<double>(before + 1e-9L), 1e-20);
  EXPECT_TRUE(v.globe.RenderPending());
  EXPECT_EQ(zooms, 1);
}

TEST(Projector, ScaleIsLimitedAndZeroFitsTheDisc) {
  View v;
  v.prj.SetScaleFactor(5);
  EXPECT_EQ(v.prj.ScaleFactor(), 1);
  // The smallest scale keeps the surface within 2147483647 globe units.
  v.prj.SetScaleFactor(1e-12L);
  EXPECT_EQ(v.prj.ScaleFactor(), 400 / 2147483647.0L);
  v.prj.SetScaleFactor(0);
  EXPECT_NEAR(dynamic_cast<TGSphericalPrj&>(v.prj.Model()).DiscRadius(), 150, 0.01);
  EXPECT_EQ(v.prj.XOrigin(), 200);
  EXPECT_EQ(v.prj.YOrigin(), 150);
  const long double s = v.prj.ScaleFactor();
  v.prj.ZoomAbout(QPoint(10, 10), 0);
  EXPECT_EQ(v.prj.ScaleFactor(), s);
  v.prj.ZoomAbout(QPoint(10, 10), std::nanl(""));
  EXPECT_EQ(v.prj.ScaleFactor(), s);
}

TEST(Projector, ZoomAboutKeepsTheFixedPoint) {
  View v(20, 10);
  v.prj.SetXYOrigin(QPoint(180, 140));
  QPoint fixed;
  ASSERT_TRUE(v.prj.LLToXY(Deg(0, 0), fixed));
  const long double s = v.prj.ScaleFactor();
  v.prj.ZoomAbout(fixed, 2);
  EXPECT_NEAR(static_cast<double>(v.prj.ScaleFactor() / s), 2, 1e-12);
  QPoint after;
  ASSERT_TRUE(v.prj.LLToXY(Deg(0, 0), after));
  EXPECT_LE(std::abs(after.x() - fixed.x()) + std::abs(after.y() - fixed.y()), 1);
  TGGlobePoint g;
  ASSERT_TRUE(v.prj.XYToLL(fixed.x(), fixed.y(), g));
  EXPECT_NEAR(g.Longitude, 0, 1.0 / static_cast<double>(v.prj.ScaleFactor()));
  EXPECT_NEAR(g.Latitude, 0, 1.0 / static_cast<double>(v.prj.ScaleFactor()));
  EXPECT_EQ(v.prj.ViewDistance(), RoundToInt(400 / static_cast<double>(v.prj.ScaleFactor()) /
                                             std::tan(50 * std::numbers::pi / 180)));
}

TEST(Projector, CentreGettersAndSetters) {
  View v(30, -20);
  EXPECT_NEAR(v.prj.CenterLongitude(), 30, 1e-6);
  EXPECT_NEAR(v.prj.CenterLatitude(), -20, 1e-6);
  v.prj.SetXYOrigin(QPoint(5000, 5000));
  EXPECT_EQ(v.prj.CenterLatitude(), 2147483647.0);
  v.prj.SetCenterLongitude(-45);
  v.prj.SetCenterLatitude(12);
  EXPECT_NEAR(v.prj.CenterLongitude(), -45, 1e-6);
  EXPECT_NEAR(v.prj.CenterLatitude(), 12, 1e-6);
}

TEST(Projector, SavedViewsRestoreAndRescale) {
  View v(30, -20);
  v.prj.SetXYOrigin(QPoint(150, 120));
  const TGViewRecord saved = v.prj.Model().SaveView();
  View w(0, 0);
  w.prj.Model().RestoreView(saved);
  EXPECT_EQ(w.prj.XOrigin(), 150);
  EXPECT_NEAR(static_cast<double>(w.prj.YRotation()), 30, 1e-6);
  EXPECT_NEAR(static_cast<double>(w.prj.XRotation()), -20, 1e-6);
  EXPECT_NEAR(static_cast<double>(w.prj.ScaleFactor() / v.prj.ScaleFactor()), 1, 1e-9);
  TGCustomGlobeView big(800, 600);
  big.Projector().Model().RestoreView(saved);
  EXPECT_NEAR(static_cast<double>(big.Projector().ScaleFactor() / v.prj.ScaleFactor()), 2, 1e-9);
  EXPECT_EQ(big.Projector().XOrigin(), 300);
}

// Both projection models log a view they cannot restore (here the receiver of the turn fails)
// rather than pass the failure on or drop it unseen.
TEST(Projector, AViewThatCannotBeRestoredIsLogged) {
  struct Host : TGProjectorHost {
    TGDefaultRenderer renderer;
    bool failTurns = false;
    TGRenderer& Renderer() override { return renderer; }
    void RequestRender() override {}
    void NotifyRotated() override {
      if (failTurns) throw std::runtime_error("the view is gone");
    }
    void NotifyPanned() override {}
    void NotifyZoomed() override {}
    void SetViewRect(std::int32_t, std::int32_t) override {}
  };
  for (const char* model : {"TGSphericalPrj", "TGCartesianPrj"}) {
    Host host;
    host.renderer.ResizeSurface(200, 100);
    TGProjector prj(&host);
    prj.SetProjectionClass(model);
    TGViewRecord view = prj.Model().SaveView();
    view.Rotation[0] = DegreesToGU(10.0);
    view.Rotation[1] = DegreesToGU(30.0);
    host.failTurns = true;
    LoggedMessages log;
    EXPECT_NO_THROW(prj.Model().RestoreView(view)) << model;
    ASSERT_EQ(log.All().size(), 1u) << model;
    EXPECT_EQ(log.All()[0], "globe: cannot restore the saved view: the view is gone") << model;
  }
}

TEST(Projector, ModelSwitchKeepsTheCentrePoint) {
  View v(40, 25);
  EXPECT_THROW(v.prj.SetProjectionClass("TGNoSuchPrj"), std::invalid_argument);
  try {
    v.prj.SetProjectionClass("TGFoo");
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Class TGFoo does not inherit from TProjectionModel");
  }
  EXPECT_EQ(v.prj.ProjectionClass(), "TGSphericalPrj");
  v.prj.SetProjectionClass("tgcartesianprj");
  EXPECT_EQ(v.prj.ProjectionClass(), "TGCartesianPrj");
  EXPECT_FALSE(v.prj.IsSeamless());
  TGGlobePoint g;
  EXPECT_TRUE(v.prj.XYToLL(200, 150, g));
}

TEST(CartesianModel, MapsLongitudeRightAndLatitudeUp) {
  View v;
  v.prj.SetProjectionClass("TGCartesianPrj");
  v.prj.SetScaleFactor(1e-6L);
  v.prj.SetXYOrigin(QPoint(200, 150));
  v.prj.SetByIndex(piCentralMeridian, 0);
  QPoint p;
  EXPECT_TRUE(v.prj.LLToXY(Deg(10, 20), p));
  EXPECT_EQ(p, QPoint(200 + 54, 150 - 108));
  EXPECT_FALSE(v.prj.LLToXY({-972000000, 0, 0}, p));
  TGGlobePoint g;
  ASSERT_TRUE(v.prj.XYToLL(254, 42, g));
  EXPECT_NEAR(g.Longitude, 10 * kDeg, 1e6);
  EXPECT_NEAR(g.Latitude, 20 * kDeg, 1e6);
  EXPECT_FALSE(v.prj.XYToLL(200 + 1000, 150, g));
  // The central meridian moves the map.
  v.prj.SetByIndex(piCentralMeridian, 10);
  EXPECT_TRUE(v.prj.LLToXY(Deg(10, 20), p));
  EXPECT_EQ(p.x(), 200);
}

}  // namespace
