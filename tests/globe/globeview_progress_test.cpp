// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe control while a render is long and while the view is larger than the window: partial
// pictures shown during a slow render, a render abandoned when the view changes under it, and the
// scroll bars that follow the view.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <chrono>
#include <climits>
#include <memory>
#include <vector>

#include "globeview.h"
#include "test_support.h"

using namespace umbrivista;
using namespace std::chrono_literals;

namespace {

constexpr std::int32_t kDeg = kGUPerDegree;

// A shown 200 × 200 control looking at (0°, 0°) with a layer of `count` red dots spread over the
// facing hemisphere, and a clock that moves on 10 ms each time it is read.
struct SlowGlobe {
  TGlobeView view;
  TGLayer* layer = nullptr;
  std::chrono::steady_clock::time_point now{};

  explicit SlowGlobe(int count) {
    view.resize(200, 200);
    view.Projector().SetXRotation(0);
    view.Projector().SetYRotation(0);
    view.Graticule().SetLatitudeStep(0);
    view.Graticule().SetLongitudeStep(0);
    layer = &view.Layers().GetLayer(view.Layers().Add(NamedLayer("dots")));
    auto dots = std::make_unique<TGPointPresenter>();
    dots->PresenterID = 1;
    dots->PointSize = 3;
    dots->PointBrush = TGBrush(clRed, clRed, gbsSolid);
    dots->PointPen = TGPen(clRed, gpsSolid, 1, guPixel);
    layer->Presenters().Add(std::move(dots));
    for (int i = 0; i < count; ++i) {
      auto p = std::make_shared<TGMapPoint>();
      // Rows from south to north, so that a partly drawn layer leaves the north empty.
      p->SetCentroid({(i % 50 - 25) * 3 * kDeg, (i / 50 * 160 / (count / 50) - 80) * kDeg, 0});
      p->SetPresenterID(1);
      layer->ObjectSource().Add(p);
    }
    view.TickSource = [this] { return now += 10ms; };
    view.SetScrollBars(ssNone);
    view.show();
    QCoreApplication::processEvents();
  }
  QImage Shown() {
    return QGuiApplication::primaryScreen()->grabWindow(view.winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
  }
};

int RedPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == 0xFF0000u;
  return n;
}

TEST(GlobePeriodicUpdate, ShowsThePartlyDrawnPictureDuringASlowRender) {
  SlowGlobe g(2000);
  g.view.PeriodicUpdateTime = 5;
  std::vector<QImage> shown, drawn;
  g.view.OnPeriodicUpdate = [&] {
    shown.push_back(g.Shown());
    drawn.push_back(g.view.Renderer().Picture().Image().convertToFormat(QImage::Format_RGB32));
  };
  int emitted = 0;
  QObject::connect(&g.view, &TGlobeView::periodicUpdate, [&] { ++emitted; });
  g.view.RequestRender();
  g.view.repaint();

  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(emitted, static_cast<int>(shown.size()));
  for (size_t i = 0; i < shown.size(); ++i) {
    ASSERT_EQ(shown[i].size(), drawn[i].size()) << i;
    EXPECT_EQ(shown[i], drawn[i]) << "update " << i << " did not reach the window";
  }
  // The pictures are of a render in progress: each shows more dots than the one before, and the
  // first far fewer than the finished picture.
  const int finished = RedPixels(g.view.Renderer().Picture().Image());
  EXPECT_LT(RedPixels(shown.front()), finished / 2);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_GE(RedPixels(shown[i]), RedPixels(shown[i - 1]));
  EXPECT_EQ(RedPixels(g.Shown()), finished);
}

TEST(GlobePeriodicUpdate, IsQuietWhenOffOrOutsideAPaint) {
  SlowGlobe g(600);
  int updates = 0;
  g.view.OnPeriodicUpdate = [&] { ++updates; };
  g.view.RequestRender();
  g.view.repaint();
  EXPECT_EQ(updates, 0);  // PeriodicUpdateTime 0
  g.view.PeriodicUpdateTime = 5;
  g.view.RenderScene();  // no paint in progress: no window to show it on
  EXPECT_EQ(updates, 0);
}

TEST(GlobePeriodicUpdate, AZoomDuringTheRenderEndsItAndTheNewViewIsDrawn) {
  SlowGlobe g(2000);
  g.view.PeriodicUpdateTime = 5;
  int completed = 0, objects = 0, zooms = 0;
  std::vector<int> objectsAtZoom;
  g.view.OnRender = [&] { ++completed; };
  g.view.OnObjectRender = [&](TGLayer&, bool, TGMapPoint&) { ++objects; };
  g.view.OnPeriodicUpdate = [&] {
    if (zooms++ > 0) return;
    objectsAtZoom.push_back(objects);
    g.view.Projector().ZoomAbout(QPoint(100, 100), 1.5L);
  };
  g.view.RequestRender();
  g.view.repaint();
  ASSERT_EQ(objectsAtZoom.size(), 1u);
  EXPECT_EQ(completed, 1);  // the stale render stopped short of its end
  EXPECT_LT(objectsAtZoom[0], 2000);
  const QImage shown = g.Shown();

  // The window shows the zoomed view as an undisturbed render draws it.
  g.view.PeriodicUpdateTime = 0;
  g.view.RequestRender();
  EXPECT_EQ(shown, g.view.PaintToImage().convertToFormat(QImage::Format_RGB32));
}

// ------------------------------------------------------------------------------------------

TEST(GlobeScrollAxis, CoversTheMapAndTheClient) {
  struct Case {
    double low, high;
    std::int32_t origin;
    int client;
    bool needed;
    int minimum, maximum, value;
  } cases[] = {
      // A disc of radius 50 in a 200-pixel client: nothing to scroll.
      {-50, 50, 100, 200, false, -100, -100, -100},
      // A disc of radius 400 centred: the client's left edge at −100 of −400 … 200.
      {-400, 400, 100, 200, true, -400, 200, -100},
      // Dragged far beyond the map to the right: the range reaches back to the client.
      {-50, 50, 1000, 200, true, -1000, -150, -1000},
      // The map's edges go to the nearest pixel: a disc that fits but for rounding needs no bar.
      {-10.4, 10.6, 0, 5, true, -10, 6, 0},
      {-80.0000001, 80.0000001, 80, 160, false, -80, -80, -80},
      // Beyond the int range the numbers are cut instead of wrapping.
      {-1e12, 1e12, INT_MIN, 200, true, INT_MIN, INT_MAX, INT_MAX},
  };
  for (const Case& c : cases) {
    const TGScrollAxis a = ScrollAxisFor(c.low, c.high, c.origin, c.client);
    EXPECT_EQ(a.needed, c.needed) << c.low << " " << c.origin;
    EXPECT_EQ(a.minimum, c.minimum) << c.low << " " << c.origin;
    EXPECT_EQ(a.maximum, c.maximum) << c.low << " " << c.origin;
    EXPECT_EQ(a.value, c.value) << c.low << " " << c.origin;
    EXPECT_EQ(a.pageStep, c.client);
  }
}

struct Scrolling : ::testing::Test {
  TGlobeView view;
  int panned = 0;
  void SetUp() override {
    view.resize(200, 160);
    view.show();
    QCoreApplication::processEvents();
    view.Projector().SetScaleFactor(0);  // the whole disc in the window
    QObject::connect(&view, &TGlobeView::panned, [this] { ++panned; });
  }
  bool Shown(const QWidget* w) { return w->isVisibleTo(&view); }
};

TEST_F(Scrolling, BarsAppearOnlyWhenTheViewIsLargerThanTheWindow) {
  EXPECT_EQ(view.ScrollBars(), ssBoth);
  EXPECT_FALSE(Shown(view.HorizontalScrollBar()));
  EXPECT_FALSE(Shown(view.VerticalScrollBar()));
  view.Projector().ZoomAbout(QPoint(100, 80), 4);
  EXPECT_TRUE(Shown(view.HorizontalScrollBar()));
  EXPECT_TRUE(Shown(view.VerticalScrollBar()));
  // The bars lie along the right and bottom edges.
  EXPECT_EQ(view.HorizontalScrollBar()->geometry().bottom(), 159);
  EXPECT_EQ(view.VerticalScrollBar()->geometry().right(), 199);
  view.Projector().SetScaleFactor(0);
  EXPECT_FALSE(Shown(view.HorizontalScrollBar()));
}

TEST_F(Scrolling, TheStyleChoosesTheBars) {
  view.Projector().ZoomAbout(QPoint(100, 80), 4);
  const struct {
    TGScrollStyle style;
    bool horizontal, vertical;
  } cases[] = {{ssNone, false, false},
               {ssHorizontal, true, false},
               {ssVertical, false, true},
               {ssBoth, true, true}};
  for (const auto& c : cases) {
    view.SetScrollBars(c.style);
    EXPECT_EQ(Shown(view.HorizontalScrollBar()), c.horizontal) << int(c.style);
    EXPECT_EQ(Shown(view.VerticalScrollBar()), c.vertical) << int(c.style);
    // With both bars the square between them is covered, not left to the map.
    const auto* corner = view.findChild<QWidget*>("GlobeScrollCorner");
    ASSERT_TRUE(corner);
    EXPECT_EQ(Shown(corner), c.horizontal && c.vertical) << int(c.style);
    if (Shown(corner)) {
      EXPECT_EQ(corner->geometry().bottomRight(), QPoint(199, 159));
    }
  }
}

TEST_F(Scrolling, BarsTrackAPanAndPanWhenMoved) {
  view.Projector().ZoomAbout(QPoint(100, 80), 4);
  QScrollBar* h = view.HorizontalScrollBar();
  QScrollBar* v = view.VerticalScrollBar();
  const double radius =
      static_cast<double>(view.Projector().ScaleFactor()) * kGlobeSphereRadius;
  EXPECT_NEAR(h->minimum(), -radius, 1.0);
  EXPECT_NEAR(h->maximum(), radius - 200, 1.0);
  EXPECT_EQ(h->pageStep(), 200);
  EXPECT_EQ(v->pageStep(), 160);
  EXPECT_EQ(h->value(), -view.Projector().XOrigin());
  EXPECT_EQ(v->value(), -view.Projector().YOrigin());

  // Dragging the globe 70 pixels left and 30 up moves the bars on by as much.
  const int h0 = h->value(), v0 = v->value();
  view.Projector().SetXYOrigin(
      QPoint(view.Projector().XOrigin() - 70, view.Projector().YOrigin() - 30));
  EXPECT_EQ(h->value(), h0 + 70);
  EXPECT_EQ(v->value(), v0 + 30);

  // Moving a bar moves the globe and says so.
  panned = 0;
  h->setValue(h->value() - 25);
  EXPECT_EQ(view.Projector().XOrigin(), -h->value());
  v->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(view.Projector().YOrigin(), -v->value());
  EXPECT_EQ(panned, 2);
  EXPECT_TRUE(view.RenderPending());
}

}  // namespace
