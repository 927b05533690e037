// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the object under a pixel for each kind of presenter, the order of layers, and the
// selection list with the selected pen and brush.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gcustomglobe.h"
#include "gselection.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

// A 400 × 400 globe looking at (0°, 0°), one degree ≈ 3.5 pixels near the centre.
class HitTest : public ::testing::Test {
 protected:
  HitTest() {
    globe.Projector().SetXRotation(0);
    globe.Projector().SetYRotation(0);
    layer = &globe.Layers().GetLayer(globe.Layers().Add(NamedLayer("things")));
  }
  QPoint Pixel(double lon, double lat) {
    QPoint p;
    globe.Projector().LLToXY({DegreesToGU(lon), DegreesToGU(lat), 0}, p);
    return p;
  }
  std::shared_ptr<TGMapPoint> AddPoint(TGLayer& to, double lon, double lat, int presenter) {
    auto point = std::make_shared<TGMapPoint>();
    point->SetPresenterID(presenter);
    point->SetCentroid({DegreesToGU(lon), DegreesToGU(lat), 0});
    to.ObjectSource().Add(point);
    return point;
  }
  std::shared_ptr<TGMapPoly> AddPoly(TGLayer& to, bool closed, int presenter,
                                     const std::vector<std::pair<double, double>>& lonLat) {
    auto poly = std::make_shared<TGMapPoly>();
    poly->SetClosed(closed);
    poly->SetPresenterID(presenter);
    for (auto [lon, lat] : lonLat) poly->Chain(0).Points.push_back({DegreesToGU(lon), DegreesToGU(lat), 0});
    poly->Invalidate();
    to.ObjectSource().Add(poly);
    return poly;
  }
  TGMapPoint* At(QPoint p) { return GlobeHitTest(globe, p).object.get(); }

  TGCustomGlobeView globe{400, 400};
  TGLayer* layer;
};

TEST_F(HitTest, PointSymbolsAreHitBySize) {
  struct Case {
    TGPointType type;
    int size;
    QPoint offset;
    bool hit;
  } cases[] = {
      // Half size 5 plus the 3-pixel tolerance.
      {ppSquare, 10, {8, 8}, true},     {ppSquare, 10, {9, 0}, false},
      {ppCircle, 10, {8, 0}, true},     {ppCircle, 10, {6, 6}, false},  // outside the round
      {ppDiamond, 20, {13, 13}, true},  {ppTriangleUp, 20, {14, 0}, false},
      {ppDot, 10, {3, 3}, true},        {ppDot, 10, {4, 0}, false},
      {ppNone, 10, {0, 0}, false},      {ppSquare, 1, {0, 0}, false},  // too small to be drawn
  };
  for (const Case& c : cases) {
    layer->Clear();
    auto p = std::make_unique<TGPointPresenter>();
    p->PresenterID = 1;
    p->PointType = c.type;
    p->PointSize = c.size;
    layer->Presenters().Add(std::move(p));
    AddPoint(*layer, 10, 20, 1);
    EXPECT_EQ(At(Pixel(10, 20) + c.offset) != nullptr, c.hit)
        << "type " << int(c.type) << " size " << c.size << " at " << c.offset.x() << ","
        << c.offset.y();
  }
}

TEST_F(HitTest, LinesAreHitAlongTheirStrokeAndPolygonsInside) {
  auto lines = std::make_unique<TGPolyPresenter>();
  lines->PresenterID = 1;
  lines->PolyPen.SetWidth(5);  // reaches 2.5 + 3 pixels from the line
  layer->Presenters().Add(std::move(lines));
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = 2;
  road->RoadPen = TGPen(clWhite, gpsSolid, 3, guPixel);
  road->EdgePixels = 2;  // 7 pixels wide: 3.5 + 3
  layer->Presenters().Add(std::move(road));
  auto line = AddPoly(*layer, false, 1, {{-30, 0}, {0, 0}});
  auto highway = AddPoly(*layer, false, 2, {{5, 0}, {35, 0}});
  auto square = AddPoly(*layer, true, 1, {{20, 10}, {40, 10}, {40, 30}, {20, 30}});
  const QPoint onLine = Pixel(-15, 0), onRoad = Pixel(20, 0), inside = Pixel(30, 20);
  struct Case {
    QPoint at;
    TGMapPoint* expected;
  } cases[] = {
      {onLine, line.get()},
      {onLine + QPoint(0, 5), line.get()},
      {onLine + QPoint(0, 6), nullptr},
      {Pixel(-31, 0) + QPoint(-8, 0), nullptr},  // beyond the line's end
      {onRoad + QPoint(0, 6), highway.get()},
      {onRoad + QPoint(0, 7), nullptr},
      {inside, square.get()},
      {Pixel(40, 20) + QPoint(2, 0), square.get()},  // on the outline, just outside
      {Pixel(40, 20) + QPoint(10, 0), nullptr},
  };
  for (const Case& c : cases)
    EXPECT_EQ(At(c.at), c.expected) << c.at.x() << "," << c.at.y();
  // A polygon drawn as an open line is no longer hit inside.
  static_cast<TGPolyPresenter*>(layer->Presenters().Find(1))->PolyRenderMode = prmOpen;
  EXPECT_EQ(At(inside), nullptr);
}

TEST_F(HitTest, WhatIsNotDrawnIsNotHit) {
  auto p = std::make_unique<TGPointPresenter>();
  p->PresenterID = 1;
  layer->Presenters().Add(std::move(p));
  auto shown = AddPoint(*layer, 0, 0, 1);
  auto far = AddPoint(*layer, 180, 0, 1);  // on the far side, behind the centre
  EXPECT_EQ(At(Pixel(0, 0)), shown.get());
  shown->SetHidden(true);
  EXPECT_EQ(At(Pixel(0, 0)), nullptr);
  shown->SetHidden(false);
  layer->Presenters().Find(1)->Hidden = true;
  EXPECT_EQ(At(Pixel(0, 0)), nullptr);
  layer->Presenters().Find(1)->Hidden = false;
  layer->Selectable = false;
  EXPECT_EQ(At(Pixel(0, 0)), nullptr);
  layer->Selectable = true;
  layer->Visible = false;
  EXPECT_EQ(At(Pixel(0, 0)), nullptr);
  layer->Visible = true;
  // An id no store knows: the object draws itself as a small circle, and is hit there.
  shown->SetPresenterID(77);
  EXPECT_EQ(At(Pixel(0, 0) + QPoint(5, 0)), shown.get());
  EXPECT_EQ(At(Pixel(0, 0) + QPoint(8, 0)), nullptr);
}

TEST_F(HitTest, TheObjectOnTopWins) {
  auto p = std::make_unique<TGPointPresenter>();
  p->PresenterID = 1;
  globe.RootLayer().Presenters().Add(std::move(p));
  auto first = AddPoint(*layer, 0, 0, 1);
  auto second = AddPoint(*layer, 0, 0, 1);
  EXPECT_EQ(At(Pixel(0, 0)), second.get());  // drawn later in the same layer
  TGLayer& upper = globe.Layers().GetLayer(globe.Layers().Add(NamedLayer("upper")));
  auto top = AddPoint(upper, 0, 0, 1);
  TGLayer& inner = layer->Layers().GetLayer(layer->Layers().Add(NamedLayer("inner")));
  AddPoint(inner, 0, 0, 1);
  const TGHit hit = GlobeHitTest(globe, Pixel(0, 0));
  EXPECT_EQ(hit.object.get(), top.get());
  EXPECT_EQ(hit.layer, &upper);
  // A filter looks beneath the layers it passes over.
  const TGHit under =
      GlobeHitTest(globe, Pixel(0, 0), kHitTolerance, [&](const TGLayer& l) { return &l == layer; });
  EXPECT_EQ(under.object.get(), second.get());
  upper.Enabled = false;
  EXPECT_EQ(GlobeHitTest(globe, Pixel(0, 0)).layer, &inner);  // sub-layers lie over their layer
}

TEST_F(HitTest, PresenterChainsAreHitByAnyOfTheirPresenters) {
  auto line = std::make_unique<TGPolyPresenter>();
  line->PresenterID = 1;
  line->NextPresenterID = 2;
  layer->Presenters().Add(std::move(line));
  auto vertices = std::make_unique<TGPointPresenter>();
  vertices->PresenterID = 2;
  vertices->PointType = ppSquare;
  vertices->PointSize = 20;
  layer->Presenters().Add(std::move(vertices));
  auto poly = AddPoly(*layer, false, 1, {{0, 0}, {0, 20}});
  EXPECT_EQ(At(Pixel(0, 0) + QPoint(12, 0)), poly.get());  // by the vertex square
  EXPECT_EQ(At(Pixel(0, 10) + QPoint(12, 0)), nullptr);    // the line alone is thin
}

TEST(Selection, TogglesMarksObjectsAndForgetsThoseOfClearedLayers) {
  TGCustomGlobeView globe(100, 100);
  TGLayer& layer = globe.Layers().GetLayer(globe.Layers().Add(NamedLayer("l")));
  auto a = std::make_shared<TGMapPoint>();
  auto b = std::make_shared<TGMapPoint>();
  auto loose = std::make_shared<TGMapPoint>();
  layer.ObjectSource().Add(a);
  layer.ObjectSource().Add(b);
  TGSelection selection;
  EXPECT_FALSE(selection.Add(loose));  // in no source
  EXPECT_TRUE(selection.Add(a));
  EXPECT_FALSE(selection.Add(a));
  EXPECT_TRUE(selection.Toggle(b));
  EXPECT_TRUE(a->Selected());
  EXPECT_EQ(selection.Count(), 2);
  EXPECT_TRUE(selection.Toggle(a));
  EXPECT_FALSE(a->Selected());
  EXPECT_EQ(selection.Objects().front(), b);
  EXPECT_FALSE(selection.Remove(*a));
  layer.Clear();
  EXPECT_EQ(selection.Count(), 0);
  EXPECT_FALSE(selection.Clear());
}

TEST_F(HitTest, SelectedObjectsAreDrawnWithTheSelectedPenAndBrush) {
  auto p = std::make_unique<TGPointPresenter>();
  p->PresenterID = 1;
  p->PointType = ppSquare;
  p->PointSize = 12;
  p->PointBrush = TGBrush(clBlue, clBlue, gbsSolid);
  layer->Presenters().Add(std::move(p));
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = 2;
  road->RoadPen = TGPen(clWhite, gpsSolid, 5, guPixel);
  road->EdgePixels = 0;
  layer->Presenters().Add(std::move(road));
  auto point = AddPoint(*layer, 0, 0, 1);
  auto line = AddPoly(*layer, false, 2, {{10, -20}, {10, 0}, {10, 20}});
  globe.SetSurfaceColor(clBlack);
  globe.Graticule().SetDrawMode(gdNone);
  auto pixel = [&](QPoint at) { return globe.PaintToImage().pixel(at) & 0xFFFFFF; };
  EXPECT_EQ(pixel(Pixel(0, 0)), 0x0000FFu);
  EXPECT_EQ(pixel(Pixel(10, 0)), 0xFFFFFFu);
  TGSelection selection;
  selection.Add(point);
  selection.Add(line);
  globe.RequestRender();
  EXPECT_EQ(pixel(Pixel(0, 0)), 0xFFFF00u);   // yellow brush
  EXPECT_EQ(pixel(Pixel(10, 0)), 0xFF0000u);  // a road without an edge takes the red pen
}

}  // namespace
