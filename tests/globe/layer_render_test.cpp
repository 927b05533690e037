// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// How a layer renders its objects: visibility, minimum size, presenters and their chains, road
// passes, point symbols, titles and events.

#include <gtest/gtest.h>

#include <memory>

#include "gcustomglobe.h"
#include "glabels.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

constexpr std::int32_t kDeg = kGUPerDegree;

// A 200 × 200 globe looking at (0°, 0°) with a recording renderer, no graticule and no surface.
class LayerRender : public ::testing::Test {
 protected:
  void SetUp() override {
    auto recorder = std::make_unique<RecordingRenderer>();
    r_ = recorder.get();
    globe_ = std::make_unique<TGCustomGlobeView>(200, 200, std::move(recorder));
    globe_->SetSurfaceColor(clNone);
    globe_->Graticule().SetLatitudeStep(0);
    globe_->Graticule().SetLongitudeStep(0);
    globe_->Projector().SetXRotation(0);
    globe_->Projector().SetYRotation(0);
    layer_ = &globe_->Layers().GetLayer(globe_->Layers().Add(NamedLayer("test")));
  }

  void Render() {
    r_->parts.clear();
    globe_->RenderScene();
  }

  QPoint Project(TGGlobePoint p) {
    QPoint q;
    globe_->Projector().LLToXY(p, q);
    return q;
  }

  std::shared_ptr<TGMapPoint> AddPoint(TGGlobePoint at, std::int32_t presenter,
                                       const std::string& title = "") {
    auto p = std::make_shared<TGMapPoint>();
    p->SetPresenterID(presenter);
    if (!title.empty()) p->SetColumn(0, title);
    p->SetCentroid(at);
    layer_->ObjectSource().Add(p);
    return p;
  }

  std::shared_ptr<TGMapPoly> AddLine(std::vector<TGGlobePoint> points, std::int32_t presenter) {
    auto line = std::make_shared<TGMapPoly>();
    line->SetPresenterID(presenter);
    line->Chain(0).Points = std::move(points);
    line->Invalidate();
    layer_->ObjectSource().Add(line);
    return line;
  }

  TGPointPresenter& AddPointPresenter(std::int32_t id) {
    auto p = std::make_unique<TGPointPresenter>();
    p->PresenterID = id;
    p->TitleAlignment = taTop;
    p->TitleFont.SetSize(12);
    TGPointPresenter& ref = *p;
    layer_->Presenters().Add(std::move(p));
    return ref;
  }

  std::uint32_t PixelAt(QPoint p) const { return r_->Picture().Pixel(p.x(), p.y()) & 0xFFFFFF; }

  RecordingRenderer* r_ = nullptr;
  std::unique_ptr<TGCustomGlobeView> globe_;
  TGLayer* layer_ = nullptr;
};

TEST_F(LayerRender, APointOnTheFarSideIsNotDrawnAndHasNoTitle) {
  ASSERT_EQ(Project({0, 0, 0}), QPoint(100, 100));
  AddPointPresenter(2).TitleFont.SetColor(clWhite);
  AddPoint({0, 0, 0}, 2, "Front");
  AddPoint({kGU180, 0, 0}, 2, "Back");
  AddPoint({100 * kDeg, 10 * kDeg, 0}, 2, "Beyond the limb");
  Render();
  EXPECT_EQ(layer_->DrawnCount(), 1);
  const auto& labels = globe_->LabelRenderer().Labels();
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0].text, "Front");
  // Placed above the point, centred.
  const QSize extent = r_->TextExtent(labels[0].font, labels[0].text);
  EXPECT_EQ(labels[0].topLeft, QPoint(100 - extent.width() / 2, 100 - extent.height()));
  // The title is drawn in the title font's colour over the black background.
  const QImage& image = r_->Picture().Image();
  int bright = 0;
  for (int y = labels[0].topLeft.y(); y < 100; ++y)
    for (int x = labels[0].topLeft.x(); x < labels[0].topLeft.x() + extent.width(); ++x)
      if (qGray(image.pixel(x, y)) > 128) ++bright;
  EXPECT_GT(bright, 10);
}

TEST_F(LayerRender, TitlesNeedTextAReadableFontAndTheRightZoom) {
  TGPointPresenter& p = AddPointPresenter(2);
  AddPoint({0, 0, 0}, 2, "");          // no title
  AddPoint({kDeg, 0, 0}, 2, "A\\nB");  // two lines
  Render();
  ASSERT_EQ(globe_->LabelRenderer().Labels().size(), 1u);
  EXPECT_EQ(globe_->LabelRenderer().Labels()[0].text, "A\nB");
  const QSize one = r_->TextExtent(p.TitleFont, "A");
  EXPECT_GT(r_->TextExtent(p.TitleFont, "A\nB").height(), one.height());

  p.TitleFont.SetSize(4);  // below MinTextHeight (5)
  Render();
  EXPECT_TRUE(globe_->LabelRenderer().Labels().empty());
  p.TitleFont.SetSize(12);
  layer_->ShowTitles = false;
  Render();
  EXPECT_TRUE(globe_->LabelRenderer().Labels().empty());
  layer_->ShowTitles = true;
  // Titles only between the zoom limits (view distance in globe units).
  const double km = globe_->Projector().ViewDistance() / GlobeUnitsPerUnit(guKilometer);
  p.TitleZoomMin = static_cast<std::uint32_t>(km * 0.5);
  p.TitleZoomMax = static_cast<std::uint32_t>(km * 2);
  Render();
  EXPECT_EQ(globe_->LabelRenderer().Labels().size(), 1u);
  p.TitleZoomMax = static_cast<std::uint32_t>(km * 0.9);
  Render();
  EXPECT_TRUE(globe_->LabelRenderer().Labels().empty());
}

TEST_F(LayerRender, ObjectsBelowTheMinimumSizeBecomeOnePixel) {
  globe_->SetMinObjectColor(0x00FF00);
  const double scale = static_cast<double>(globe_->Projector().ScaleFactor());
  const auto size = [&](double pixels) { return RoundToInt(pixels / scale); };
  // 1.2 pixels: between CullObjectPixels (0.75) and MinObjectPixels (1.5).
  AddLine({{10 * kDeg, 0, 0}, {10 * kDeg + size(1.2), size(1.0), 0}}, 0);
  // 0.5 pixels: skipped altogether.
  AddLine({{-10 * kDeg, 0, 0}, {-10 * kDeg + size(0.5), size(0.5), 0}}, 0);
  Render();
  EXPECT_EQ(layer_->DrawnCount(), 0);
  EXPECT_EQ(layer_->PixelCount(), 1);
  EXPECT_TRUE(r_->parts.empty());
  EXPECT_EQ(PixelAt(Project({10 * kDeg, 0, 0})), 0x00FF00u);
  EXPECT_EQ(PixelAt(Project({-10 * kDeg, 0, 0})), 0u);
  // With RenderAllObjects both are drawn as lines.
  layer_->RenderAllObjects = true;
  Render();
  EXPECT_EQ(layer_->DrawnCount(), 2);
  EXPECT_EQ(layer_->PixelCount(), 0);
}

TEST_F(LayerRender, RoadDrawsItsEdgeFirstAndTheRoadOverIt) {
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = 1;
  road->RoadPen.SetColor(clRed);
  road->RoadPen.SetWidth(3);
  road->RoadPen.SetWidthUnit(guPixel);
  TGRoadPresenter& roadRef = *road;
  layer_->Presenters().Add(std::move(road));
  auto line = AddLine({{-20 * kDeg, 0, 0}, {0, 5 * kDeg, 0}, {20 * kDeg, 0, 0}}, 1);
  Render();
  ASSERT_EQ(r_->parts.size(), 2u);
  EXPECT_EQ(r_->parts[0].penWidth, 5);
  EXPECT_EQ(r_->parts[0].penColor, clGray);
  EXPECT_EQ(r_->parts[1].penWidth, 3);
  EXPECT_EQ(r_->parts[1].penColor, clRed);
  EXPECT_FALSE(r_->parts[0].closed);
  EXPECT_EQ(r_->parts[0].points, r_->parts[1].points);
  // The road lies over the edge in the picture.
  const QPoint mid = r_->parts[1].points[1];
  EXPECT_EQ(PixelAt(mid), 0xFF0000u);
  // A selected road's edge takes the selected pen's colour.
  line->SetSelected(true);
  Render();
  ASSERT_EQ(r_->parts.size(), 2u);
  EXPECT_EQ(r_->parts[0].penColor, r_->SelectedPen.Color());
  line->SetSelected(false);
  // Without an edge the road is drawn on both passes.
  roadRef.EdgePixels = 0;
  Render();
  ASSERT_EQ(r_->parts.size(), 2u);
  EXPECT_EQ(r_->parts[0].penWidth, 3);
  EXPECT_EQ(r_->parts[1].penWidth, 3);
  // A road width in metres is far below a pixel here: the edge is 2 × 1 + 1 pixels, no pass 2.
  roadRef.EdgePixels = 1;
  roadRef.RoadPen.SetWidth(8);
  roadRef.RoadPen.SetWidthUnit(guMeter);
  Render();
  ASSERT_EQ(r_->parts.size(), 1u);
  EXPECT_EQ(r_->parts[0].penWidth, 3);
}

TEST_F(LayerRender, PresentersAreFoundUpTheLayersAndChained) {
  // Presenter 7 lives in the root layer, 8 in the object source; 7 hands over to 8.
  auto shared = std::make_unique<TGPolyPresenter>();
  shared->PresenterID = 7;
  shared->NextPresenterID = 8;
  shared->PolyPen = TGPen(clRed, gpsSolid, 1, guPixel);
  globe_->RootLayer().Presenters().Add(std::move(shared));
  auto second = std::make_unique<TGPolyPresenter>();
  second->PresenterID = 8;
  second->PolyPen = TGPen(clYellow, gpsSolid, 2, guPixel);
  TGPolyPresenter& secondRef = *second;
  layer_->ObjectSource().Presenters().Add(std::move(second));
  AddLine({{-10 * kDeg, 0, 0}, {10 * kDeg, 0, 0}}, 7);
  Render();
  ASSERT_EQ(r_->parts.size(), 2u);
  EXPECT_EQ(r_->parts[0].penColor, clRed);
  EXPECT_EQ(r_->parts[1].penColor, clYellow);
  // A hidden presenter ends the chain; one that names itself does not loop for ever.
  secondRef.Hidden = true;
  Render();
  EXPECT_EQ(r_->parts.size(), 1u);
  secondRef.Hidden = false;
  secondRef.NextPresenterID = 8;
  Render();
  EXPECT_GT(r_->parts.size(), 2u);
  EXPECT_LT(r_->parts.size(), 40u);
  // An id that no store knows draws the object with the default black pen.
  layer_->ObjectSource().Clear();
  AddLine({{-10 * kDeg, 0, 0}, {10 * kDeg, 0, 0}}, 99);
  Render();
  ASSERT_EQ(r_->parts.size(), 1u);
  EXPECT_EQ(r_->parts[0].penColor, clBlack);
}

TEST_F(LayerRender, PointSymbolsSitOnThePointAndOnEveryVisibleVertex) {
  TGPointPresenter& p = AddPointPresenter(3);
  p.PointType = ppSquare;
  p.PointSize = 10;
  AddPoint({0, 0, 0}, 3);
  Render();
  ASSERT_EQ(r_->parts.size(), 1u);
  EXPECT_TRUE(r_->parts[0].closed);
  EXPECT_EQ(r_->parts[0].points,
            (std::vector<QPoint>{{95, 95}, {95, 105}, {105, 105}, {105, 95}, {95, 95}}));
  // MaxPointSize is in points: 6 points are 8 pixels at 96 pixels per inch.
  p.PointSize = 40;
  p.MaxPointSize = 6;
  Render();
  ASSERT_EQ(r_->parts.size(), 1u);
  EXPECT_EQ(r_->parts[0].points[0], QPoint(96, 96));
  // A poly gets the symbol at each visible vertex; the far-side vertex gets none.
  layer_->ObjectSource().Clear();
  AddLine({{-10 * kDeg, 0, 0}, {10 * kDeg, 0, 0}, {kGU180, 0, 0}}, 3);
  Render();
  EXPECT_EQ(r_->parts.size(), 2u);
  // A dot is one pixel in the pen's colour.
  layer_->ObjectSource().Clear();
  p.PointType = ppDot;
  p.PointPen.SetColor(0x0000FF);
  AddPoint({0, 0, 0}, 3);
  Render();
  EXPECT_EQ(PixelAt({100, 100}), 0xFF0000u);
}

// A point keeps its place on the sphere from frame to frame; moved, or seen in another view, it is
// drawn where it projects now.
TEST_F(LayerRender, PointsFollowTheirMovesAndTheViewFromFrameToFrame) {
  TGPointPresenter& p = AddPointPresenter(3);
  p.PointType = ppSquare;
  p.PointSize = 4;
  const auto point = AddPoint({0, 0, 0}, 3);
  const auto drawnAt = [&](TGGlobePoint at) {
    Render();
    ASSERT_EQ(r_->parts.size(), 1u);
    EXPECT_EQ(r_->parts[0].points[0], Project(at) - QPoint(2, 2));
  };
  drawnAt({0, 0, 0});
  point->SetCentroid({20 * kDeg, 10 * kDeg, 0});
  drawnAt({20 * kDeg, 10 * kDeg, 0});
  globe_->Projector().SetYRotation(30);
  globe_->Projector().SetXRotation(-15);
  drawnAt({20 * kDeg, 10 * kDeg, 0});
  globe_->Projector().SetYRotation(-160);
  Render();
  EXPECT_TRUE(r_->parts.empty());
}

TEST_F(LayerRender, LayerEventsFramePassesAndSubLayers) {
  std::vector<std::string> events;
  globe_->OnBeforeLayerRender = [&](TGLayer& l) { events.push_back("+" + l.Name()); };
  globe_->OnAfterLayerRender = [&](TGLayer& l) { events.push_back("-" + l.Name()); };
  int objects = 0;
  // What the object hook does to the renderer is undone before the layer goes on.
  globe_->OnObjectRender = [&](TGLayer&, bool, TGMapPoint&) {
    ++objects;
    r_->SelectPen(TGPen(0x123456, gpsSolid, 3, guPixel));
    r_->Alpha = 7;
  };
  layer_->Layers().Add(NamedLayer("sub"));
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = 1;
  road->RoadPen.SetWidthUnit(guPixel);
  layer_->Presenters().Add(std::move(road));
  AddLine({{-10 * kDeg, 0, 0}, {10 * kDeg, 0, 0}}, 1);
  globe_->RootLayer().SetName("root");
  Render();
  // Two passes of the road layer, but the events come once per layer.
  EXPECT_EQ(events, (std::vector<std::string>{"+root", "+test", "+sub", "-sub", "-test", "-root"}));
  EXPECT_EQ(objects, 2);
  EXPECT_NE(r_->Pen().Color(), 0x123456u);
  EXPECT_EQ(r_->Alpha, 255);
  EXPECT_EQ(layer_->Pass(), 1);
  // A layer outside its zoom range, or disabled, draws nothing.
  events.clear();
  layer_->ZoomMax = 1;
  Render();
  EXPECT_TRUE(r_->parts.empty());
  layer_->ZoomMax = 0;
  layer_->Enabled = false;
  Render();
  EXPECT_TRUE(r_->parts.empty());
}

}  // namespace

namespace {

void ExpectNoOverlap(const std::vector<QRect>& boxes) {
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j)
      EXPECT_FALSE(boxes[i].intersects(boxes[j])) << "boxes " << i << " and " << j;
}

}  // namespace

TEST_F(LayerRender, TitlesNeverOverlapAndTheFirstKeepsItsPlace) {
  TGPointPresenter& p = AddPointPresenter(2);
  p.TitleFont.SetColor(clWhite);
  // Sixty points five pixels apart around the centre, and one far from them.
  for (int i = 0; i < 60; ++i)
    AddPoint({(i % 10 - 5) * 3 * kDeg, (i / 10 - 3) * 3 * kDeg, 0}, 2,
             "Place " + std::to_string(i));
  AddPoint({40 * kDeg, -40 * kDeg, 0}, 2, "Alone");
  Render();
  const std::vector<QRect>& boxes = globe_->LabelRenderer().DrawnBoxes();
  const auto& labels = globe_->LabelRenderer().Labels();
  ASSERT_EQ(boxes.size(), labels.size());
  EXPECT_GT(boxes.size(), 2u);
  EXPECT_LT(boxes.size(), 30u);
  ExpectNoOverlap(boxes);
  EXPECT_EQ(labels.front().text, "Place 0");
  EXPECT_EQ(labels.back().text, "Alone");
  // Each box is where the title was drawn: the text's extent at its top-left corner.
  for (const TGLabel& l : labels)
    EXPECT_EQ(l.box, QRect(l.topLeft, r_->TextExtent(l.font, l.text)));
  // The isolated title is drawn in its box.
  const QRect alone = boxes.back();
  int bright = 0;
  for (int y = alone.top(); y <= alone.bottom(); ++y)
    for (int x = alone.left(); x <= alone.right(); ++x)
      if (qGray(r_->Picture().Image().pixel(x, y)) > 128) ++bright;
  EXPECT_GT(bright, 5);

  // Turned titles are kept apart by the box of the turned text.
  p.TitleFont.SetAngle(900);
  Render();
  ExpectNoOverlap(globe_->LabelRenderer().DrawnBoxes());
  const TGLabel& turned = globe_->LabelRenderer().Labels().front();
  const QSize extent = r_->TextExtent(turned.font, turned.text);
  EXPECT_EQ(turned.box.size(), QSize(extent.height(), extent.width()));
  EXPECT_EQ(turned.box.bottomLeft(), turned.topLeft - QPoint(0, 1));
}
