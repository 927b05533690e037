// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe control's own mouse actions, driven through its mouse events: the zoom box, the
// rotate drag, selecting and the click report.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <memory>
#include <vector>

#include "globeview.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

class GlobeMouse : public ::testing::Test {
 protected:
  GlobeMouse() {
    view.show();
    view.resize(400, 400);
    view.Projector().SetScaleFactor(0);
    view.Projector().SetXRotation(0);
    view.Projector().SetYRotation(0);
    layer = &view.Layers().GetLayer(view.Layers().Add(NamedLayer("places")));
    auto p = std::make_unique<TGPointPresenter>();
    p->PresenterID = 1;
    p->PointType = ppSquare;
    p->PointSize = 8;
    layer->Presenters().Add(std::move(p));
    view.OnObjectClick = [this](TGMapPoint& o) { clicked.push_back(&o); };
    view.OnSelectionChange = [this] { ++selectionChanges; };
  }

  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(at), view.mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(&view, &e);
  }
  // Press at `from`, move in `steps` steps to `to`, release there.
  void Drag(Qt::MouseButton button, QPoint from, QPoint to, int steps = 4,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Send(QEvent::MouseButtonPress, from, button, button, modifiers);
    for (int i = 1; i <= steps; ++i)
      Send(QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, button, modifiers);
    Send(QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
  }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) { Drag(button, at, at, 0); }
  TGGlobePoint Under(QPoint at) {
    TGGlobePoint p;
    EXPECT_TRUE(view.Projector().XYToLL(at.x(), at.y(), p));
    return p;
  }
  QPoint Pixel(double lon, double lat) {
    QPoint p;
    view.Projector().LLToXY({DegreesToGU(lon), DegreesToGU(lat), 0}, p);
    return p;
  }
  std::shared_ptr<TGMapPoint> AddPoint(double lon, double lat) {
    auto point = std::make_shared<TGMapPoint>();
    point->SetPresenterID(1);
    point->SetCentroid({DegreesToGU(lon), DegreesToGU(lat), 0});
    layer->ObjectSource().Add(point);
    return point;
  }
  double Scale() { return static_cast<double>(view.Projector().ScaleFactor()); }

  TGlobeView view;
  TGLayer* layer;
  std::vector<TGMapPoint*> clicked;
  int selectionChanges = 0;
};

TEST_F(GlobeMouse, ZoomBoxZoomsInOrOutAndSmallBoxesAreDropped) {
  struct Case {
    QPoint from, to;
    double ratio;
  } cases[] = {
      {{150, 150}, {250, 230}, 4.0},  // fills the picture: min(400 / 100, 400 / 80)
      {{100, 100}, {300, 300}, 2.0},
      {{190, 190}, {200, 200}, 40.0},  // 10 pixels is enough
      {{250, 230}, {150, 150}, 0.5},   // dragged back: half the scale
      {{150, 250}, {250, 150}, 0.5},   // bottom to top
      {{150, 150}, {159, 250}, 1.0},   // 9 pixels wide: dropped
      {{150, 150}, {250, 159}, 1.0},
  };
  for (const Case& c : cases) {
    view.Projector().SetScaleFactor(0);
    view.Projector().SetXYOrigin({200, 200});
    const double before = Scale();
    const QPoint centre((c.from.x() + c.to.x()) / 2, (c.from.y() + c.to.y()) / 2);
    const TGGlobePoint target = Under(centre);
    Drag(Qt::RightButton, c.from, c.to);
    EXPECT_NEAR(Scale() / before, c.ratio, 1e-9) << c.to.x() << "," << c.to.y();
    EXPECT_FALSE(view.ZoomBoxActive());
    if (c.ratio > 1) {
      // The box's middle is now the picture's middle.
      const TGGlobePoint now = Under({200, 200});
      EXPECT_NEAR(GUToDegrees(now.Longitude), GUToDegrees(target.Longitude), 0.5 / c.ratio);
      EXPECT_NEAR(GUToDegrees(now.Latitude), GUToDegrees(target.Latitude), 0.5 / c.ratio);
    }
  }
}

TEST_F(GlobeMouse, TheZoomBoxShowsWhileDraggedAndGoesOnRelease) {
  view.SetSurfaceColor(clAqua);
  Send(QEvent::MouseButtonPress, {100, 120}, Qt::RightButton, Qt::RightButton);
  Send(QEvent::MouseMove, {300, 260}, Qt::NoButton, Qt::RightButton);
  ASSERT_TRUE(view.ZoomBoxActive());
  EXPECT_EQ(view.ZoomBox(), QRect(QPoint(100, 120), QPoint(300, 260)));
  const QImage shown = view.grab().toImage();
  const QRgb edge = shown.pixel(200, 120) & 0xFFFFFF;
  EXPECT_TRUE(edge == 0xFFFFFF || edge == 0) << std::hex << edge;
  EXPECT_EQ(shown.pixel(213, 187) & 0xFFFFFF, 0x00FFFFu);  // the inside shows the globe
  Send(QEvent::MouseButtonRelease, {300, 260}, Qt::RightButton, Qt::NoButton);
  EXPECT_FALSE(view.ZoomBoxActive());
}

TEST_F(GlobeMouse, RotateDragCarriesTheGrabbedPointWithThePointer) {
  const TGGlobePoint grabbed = Under({200, 200});
  Drag(Qt::LeftButton, {200, 200}, {260, 150}, 6);
  const TGGlobePoint now = Under({260, 150});
  EXPECT_NEAR(GUToDegrees(now.Longitude), GUToDegrees(grabbed.Longitude), 0.5);
  EXPECT_NEAR(GUToDegrees(now.Latitude), GUToDegrees(grabbed.Latitude), 0.5);
  EXPECT_LT(view.Projector().YRotation(), -10);  // the globe turned east-side forward
  EXPECT_LT(view.Projector().XRotation(), -10);
  // A drag is not a click: nothing was selected on the way.
  EXPECT_EQ(selectionChanges, 0);
  // Off the globe the drag grabs nothing.
  const auto y = view.Projector().YRotation();
  Drag(Qt::LeftButton, {2, 2}, {100, 100});
  EXPECT_EQ(view.Projector().YRotation(), y);
}

TEST_F(GlobeMouse, ClicksSelectOneOrManyObjects) {
  auto a = AddPoint(0, 0);
  auto b = AddPoint(20, 10);
  const QPoint nowhere(200, 330);
  struct Step {
    bool multi;
    QPoint at;
    std::vector<TGMapPoint*> selected;
    int changes;
  };
  const std::vector<Step> steps = {
      {false, Pixel(0, 0), {a.get()}, 1},
      {false, Pixel(0, 0), {a.get()}, 1},  // clicking it again keeps it
      {false, Pixel(20, 10), {b.get()}, 2},
      {false, nowhere, {}, 3},
      {true, Pixel(0, 0), {a.get()}, 4},
      {true, Pixel(20, 10), {a.get(), b.get()}, 5},
      {true, nowhere, {a.get(), b.get()}, 5},
      {true, Pixel(0, 0), {b.get()}, 6},  // toggled off
  };
  for (const Step& s : steps) {
    view.SetGlobeOptions(s.multi ? unsigned{goMultiSelect} : 0u);
    Click(s.at);
    std::vector<TGMapPoint*> now;
    for (const auto& o : view.Selection().Objects()) now.push_back(o.get());
    EXPECT_EQ(now, s.selected);
    EXPECT_EQ(selectionChanges, s.changes);
  }
  EXPECT_TRUE(b->Selected());
  EXPECT_FALSE(a->Selected());
}

TEST_F(GlobeMouse, LeftClicksReportPointsLinesAndPolygons) {
  auto point = AddPoint(-20, 0);
  auto lines = std::make_unique<TGPolyPresenter>();
  lines->PresenterID = 2;
  layer->Presenters().Add(std::move(lines));
  auto line = std::make_shared<TGMapPoly>();
  line->SetPresenterID(2);
  line->Chain(0).Points = {{DegreesToGU(0), DegreesToGU(-30), 0}, {DegreesToGU(0), DegreesToGU(-10), 0}};
  line->Invalidate();
  layer->ObjectSource().Add(line);
  auto area = std::make_shared<TGMapPoly>();
  area->SetClosed(true);
  area->SetPresenterID(2);
  area->Chain(0).Points = {{DegreesToGU(10), DegreesToGU(10), 0},
                           {DegreesToGU(40), DegreesToGU(10), 0},
                           {DegreesToGU(40), DegreesToGU(40), 0},
                           {DegreesToGU(10), DegreesToGU(40), 0}};
  area->Invalidate();
  layer->ObjectSource().Add(area);
  view.SetMouseSelectButton(mzbNone);  // reporting needs no selecting
  Click(Pixel(-20, 0) + QPoint(3, -2));
  Click(Pixel(0, -20) + QPoint(2, 0));
  Click(Pixel(25, 25));
  Click(Pixel(25, -25));                   // nothing there
  Click(Pixel(-20, 0), Qt::RightButton);   // only the left button reports
  EXPECT_EQ(clicked, (std::vector<TGMapPoint*>{point.get(), line.get(), area.get()}));
  EXPECT_EQ(view.Selection().Count(), 0);
}

TEST_F(GlobeMouse, ModifiersDoubleClicksAndUnassignedButtonsDoNothing) {
  auto a = AddPoint(0, 0);
  const double scale = Scale();
  Drag(Qt::RightButton, {100, 100}, {300, 300}, 4, Qt::ShiftModifier);
  Drag(Qt::LeftButton, {200, 200}, {260, 200}, 4, Qt::ControlModifier);
  Drag(Qt::LeftButton, {200, 200}, {200, 200}, 0, Qt::AltModifier);
  EXPECT_EQ(Scale(), scale);
  EXPECT_EQ(view.Projector().YRotation(), 0);
  EXPECT_EQ(view.Selection().Count(), 0);
  // A double click selects once, with its first click.
  Click(Pixel(0, 0));
  Send(QEvent::MouseButtonDblClick, Pixel(0, 0), Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, Pixel(0, 0), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(view.Selection().Count(), 1);
  EXPECT_EQ(selectionChanges, 1);
  EXPECT_EQ(clicked.size(), 1u);
  view.SetMouseZoomButton(mzbNone);
  view.SetMouseRotateButton(mzbNone);
  view.SetMouseSelectButton(mzbNone);
  Drag(Qt::RightButton, {100, 100}, {300, 300});
  Drag(Qt::LeftButton, {200, 200}, {260, 200});
  Click(Pixel(0, 0));
  EXPECT_EQ(Scale(), scale);
  EXPECT_EQ(view.Projector().YRotation(), 0);
  EXPECT_EQ(view.Selection().Count(), 1);
}

TEST(GlobeMouseFocus, APressTakesTheFocusEvenWhenItStartsNothing) {
  QWidget window;
  auto* globe = new TGlobeView(&window);
  auto* other = new QWidget(&window);
  other->setFocusPolicy(Qt::StrongFocus);
  window.show();
  other->setFocus();
  // The window need not be active: the widget that has or will have its focus is asked.
  ASSERT_EQ(window.focusWidget(), other);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), globe->mapToGlobal(QPointF(5, 5)),
                    Qt::MiddleButton, Qt::MiddleButton, Qt::ShiftModifier);
  QApplication::sendEvent(globe, &press);
  EXPECT_EQ(window.focusWidget(), globe);
}

}  // namespace
