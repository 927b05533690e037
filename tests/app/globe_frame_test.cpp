// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe's frame as the session keeps it, checked against the projector that draws the globe:
// zooming about the pointer, bringing the point of interest to the panel's centre, and drags that
// keep the disc within reach.

#include <gtest/gtest.h>

#include <cmath>

#include "globe_frame.h"
#include "gglobecontext.h"
#include "gprojector.h"
#include "grenderer.h"
#include "gunits.h"
#include "session.h"
#include "settings_record.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

constexpr int kWidth = 700, kHeight = 500;

struct Host : TGProjectorHost {
  TGDefaultRenderer renderer;
  TGRenderer& Renderer() override { return renderer; }
  void RequestRender() override {}
  void NotifyRotated() override {}
  void NotifyPanned() override {}
  void NotifyZoomed() override {}
  void SetViewRect(std::int32_t, std::int32_t) override {}
};

// Degrees east within −180 … 180.
double Longitude(double east) { return std::remainder(east, 360.0); }

class GlobeFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(session_.LoadCatalogue(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName),
              "");
    session_.ApplySettings(DefaultSettings("0.1.0"));
    session_.Start();
    session_.PanelResized(kWidth, kHeight);
    session_.CentreGlobe(kWidth, kHeight);
    host_.renderer.ResizeSurface(kWidth, kHeight);
  }
  // The projector as the main window sets it from the session.
  TGProjector& Projector() {
    projector_.SetScaleFactor(ZoomScaleFactor(session_.Zoom()));
    projector_.SetXOrigin(session_.CentreX());
    projector_.SetYOrigin(session_.CentreY());
    projector_.SetXRotation(session_.Orientation().x);
    projector_.SetYRotation(session_.Orientation().y);
    return projector_;
  }
  Session session_{"0.1.0"};
  Host host_;
  TGProjector projector_{&host_};
};

TEST_F(GlobeFrameTest, WheelZoomKeepsThePlaceUnderThePointer) {
  const struct {
    int zoom, to, x, y;
  } turns[] = {{300, 290, 350, 250}, {300, 290, 420, 180}, {140, 130, 300, 300},
               {140, 150, 380, 200}, {200, 60, 330, 260},  {100, 110, 360, 240}};
  for (const auto& t : turns) {
    SCOPED_TRACE(testing::Message() << t.zoom << " → " << t.to << " at " << t.x << "," << t.y);
    session_.CentreGlobe(kWidth, kHeight);
    session_.SetZoom(t.zoom);
    TGGlobePoint place;
    ASSERT_TRUE(Projector().XYToLL(t.x, t.y, place));
    session_.ZoomAt(t.to, t.x, t.y);
    EXPECT_EQ(session_.Zoom(), t.to);
    QPoint at;
    ASSERT_TRUE(Projector().LLToXY(place, at));
    EXPECT_LE(std::abs(at.x() - t.x), 1);
    EXPECT_LE(std::abs(at.y() - t.y), 1);
  }
  // The zoom bar still zooms about the globe's centre.
  session_.CentreGlobe(kWidth, kHeight);
  session_.SetZoom(250);
  EXPECT_EQ(session_.CentreX(), kWidth / 2);
  EXPECT_EQ(session_.CentreY(), kHeight / 2);
}

TEST_F(GlobeFrameTest, CentreCommandBringsThePointOfInterestToThePanelCentre) {
  // Places given by their offset from the point the globe looks at.
  const struct {
    double north, east;
    int zoom;
    bool back;
  } places[] = {{30, -40, 300, false},
                {-50, 70, 120, false},
                {0, 88, 200, false},  // near the limb, where the Sun sets
                {20, -60, 150, true}};
  for (const auto& p : places) {
    SCOPED_TRACE(testing::Message() << p.north << " " << p.east << (p.back ? " back" : ""));
    session_.SetBackView(p.back);
    session_.SetZoom(p.zoom);
    const GlobeRotation view = session_.Orientation();
    session_.PlacePoI(view.x + p.north, Longitude(view.y + p.east));
    ASSERT_TRUE(session_.CentreOnPoI());
    QPoint at;
    ASSERT_TRUE(Projector().LLToXY(TGGlobePoint{DegreesToGU(session_.PoILongitude()),
                                                DegreesToGU(session_.PoILatitude()), 0},
                                   at));
    EXPECT_LE(std::abs(at.x() - kWidth / 2), 1);
    EXPECT_LE(std::abs(at.y() - kHeight / 2), 1);
  }
  // A point on the far side cannot come to the centre: nothing moves.
  session_.SetBackView(false);
  session_.CentreGlobe(kWidth, kHeight);
  const GlobeRotation view = session_.Orientation();
  session_.PlacePoI(-view.x, Longitude(view.y + 180));
  EXPECT_FALSE(session_.CentreOnPoI());
  EXPECT_EQ(session_.CentreX(), kWidth / 2);
  EXPECT_EQ(session_.CentreY(), kHeight / 2);
}

TEST_F(GlobeFrameTest, ADragNeverLeavesLessThanAQuarterOfTheDiscInView) {
  const struct {
    int zoom, dx, dy;
  } drags[] = {{300, 5000, 0}, {300, -5000, 3000}, {300, 0, -900}, {140, 4000, 4000},
               {60, -9000, 200}, {300, 30, -20}};
  for (const auto& d : drags) {
    SCOPED_TRACE(testing::Message() << d.zoom << ": " << d.dx << "," << d.dy);
    session_.SetZoom(d.zoom);
    session_.CentreGlobe(kWidth, kHeight);
    // In many small steps, as a mouse drag comes.
    for (int i = 0; i < 20; ++i) session_.MoveGlobe(d.dx / 20, d.dy / 20);
    const double radius = DiscRadiusPixels(d.zoom);
    const double shown =
        DiscAreaInPanel({session_.CentreX(), session_.CentreY()}, radius, kWidth, kHeight);
    EXPECT_GE(shown, LeastDiscAreaInView(radius, kWidth, kHeight));
  }
  // A short drag goes exactly where the mouse went.
  session_.SetZoom(300);
  session_.CentreGlobe(kWidth, kHeight);
  session_.MoveGlobe(30, -20);
  EXPECT_EQ(session_.CentreX(), kWidth / 2 + 30);
  EXPECT_EQ(session_.CentreY(), kHeight / 2 - 20);
}

}  // namespace
}  // namespace umbrivista
