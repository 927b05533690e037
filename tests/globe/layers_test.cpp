// Layers and presenters: the stores, resetting a layer, and how a layer renders its objects
// (visibility, minimum size, presenters and their chains, road passes, titles, events).

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "gcustomglobe.h"
#include "glabels.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

constexpr std::int32_t kDeg = kGUPerDegree;

std::unique_ptr<TGLayer> NamedLayer(const std::string& name) {
  auto layer = std::make_unique<TGLayer>();
  layer->SetName(name);
  return layer;
}

TEST(LayerStore, FindByNameIgnoresCaseButNotSubLayers) {
  TGCustomGlobeView globe(100, 100);
  TGLayerStore& store = globe.Layers();
  store.Add(NamedLayer("Cities Layer"));
  TGLayer& pois = globe.Layers().GetLayer(store.Add(NamedLayer("PoIs Layer")));
  pois.Layers().Add(NamedLayer("Hidden Inside"));
  EXPECT_EQ(store.FindByName("cities layer"), &store.GetLayer(0));
  EXPECT_EQ(store.FindByName("POIS LAYER"), &pois);
  EXPECT_EQ(store.FindByName("Hidden Inside"), nullptr);
  EXPECT_NE(pois.Layers().FindByName("hidden inside"), nullptr);
  EXPECT_EQ(store.FindByName("Cities"), nullptr);
  // A layer without a name of its own goes by its object source's name.
  auto unnamed = std::make_unique<TGLayer>();
  unnamed->ObjectSource().Name = "From Source";
  store.Add(std::move(unnamed));
  EXPECT_NE(store.FindByName("from source"), nullptr);
}

TEST(LayerStore, FindByGUIDSearchesSubLayersAfterTheStoreItself) {
  TGCustomGlobeView globe(100, 100);
  TGLayerStore& store = globe.Layers();
  TGLayer& a = store.GetLayer(store.Add(NamedLayer("a")));
  TGLayer& b = store.GetLayer(store.Add(NamedLayer("b")));
  TGLayer& inner = a.Layers().GetLayer(a.Layers().Add(NamedLayer("inner")));
  TGLayer& deeper = inner.Layers().GetLayer(inner.Layers().Add(NamedLayer("deeper")));
  EXPECT_EQ(store.FindByGUID(b.ObjectSource().GUID()), &b);
  EXPECT_EQ(store.FindByGUID(inner.ObjectSource().GUID()), &inner);
  EXPECT_EQ(store.FindByGUID(deeper.ObjectSource().GUID()), &deeper);
  EXPECT_EQ(store.FindByGUID(QUuid::createUuid()), nullptr);
  EXPECT_EQ(inner.Globe(), &globe);
  EXPECT_EQ(deeper.Index(), 0);
  EXPECT_EQ(b.Index(), 1);
}

TEST(LayerStore, RejectsNilLayersAndBadIndexes) {
  TGCustomGlobeView globe(100, 100);
  try {
    globe.Layers().Add(std::unique_ptr<TGLayer>());
    FAIL();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "TGLayerStore.Add passed nil layer");
  }
  globe.Layers().Add(NamedLayer("only"));
  try {
    globe.Layers().GetLayer(7);
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "TGlobeView.GetLayer: Bad layer index 7");
  }
  EXPECT_THROW(globe.Layers().GetLayer(-1), std::out_of_range);
}

TEST(LayerStore, AddingALayerOfAnotherStoreMovesIt) {
  TGCustomGlobeView globe(100, 100);
  TGLayer& a = globe.Layers().GetLayer(globe.Layers().Add(NamedLayer("a")));
  TGLayer& moving = a.Layers().GetLayer(a.Layers().Add(NamedLayer("moving")));
  EXPECT_EQ(globe.Layers().Add(moving), 1);
  EXPECT_EQ(a.Layers().Count(), 0);
  EXPECT_EQ(moving.Parent(), &globe.RootLayer());
  EXPECT_EQ(globe.Layers().Add(moving), 1);  // already here
  EXPECT_TRUE(globe.Layers().Delete(moving));
  EXPECT_EQ(globe.Layers().Count(), 1);
}

TEST(PresenterStore, IdsFollowTheLargestAndAnEqualIdReplaces) {
  TGPresenterStore store;
  EXPECT_EQ(store.Add(nullptr), 0);
  EXPECT_EQ(store.Add(std::make_unique<TGPointPresenter>()), 1);
  auto five = std::make_unique<TGPolyPresenter>();
  five->PresenterID = 5;
  EXPECT_EQ(store.Add(std::move(five)), 5);
  EXPECT_EQ(store.Add(std::make_unique<TGRoadPresenter>()), 6);
  auto replacement = std::make_unique<TGPointPresenter>();
  replacement->PresenterID = 5;
  TGPresenter* raw = replacement.get();
  EXPECT_EQ(store.Add(std::move(replacement)), 5);
  EXPECT_EQ(store.Count(), 3);
  EXPECT_EQ(store.Find(5), raw);
  EXPECT_EQ(store.Find(4), nullptr);
  EXPECT_TRUE(store.Modified);
  // Only negative ids (the globe's defaults) leave 1 for the next one.
  TGCustomGlobeView globe(50, 50);
  EXPECT_NE(globe.RootLayer().Presenters().Find(-1), nullptr);
  EXPECT_NE(globe.RootLayer().Presenters().Find(-2), nullptr);
  EXPECT_EQ(globe.RootLayer().Presenters().Add(std::make_unique<TGPolyPresenter>()), 1);
  EXPECT_STREQ(globe.RootLayer().Presenters().Find(-1)->ClassName(), "TGPointPresenter");
  EXPECT_EQ(globe.RootLayer().Presenters().Find(-1)->Name, "Point Presenter");
}

TEST(Layer, ResetAndClearEmptyTheLayer) {
  TGCustomGlobeView globe(100, 100);
  TGLayer& layer = globe.Layers().GetLayer(globe.Layers().Add(NamedLayer("x")));
  layer.Visible = layer.ShowTitles = false;
  layer.ZoomMin = 5;
  layer.ZoomUnits = guMile;
  layer.Presenters().Add(std::make_unique<TGPointPresenter>());
  layer.Layers().Add(NamedLayer("sub"));
  layer.ObjectSource().Add(std::make_shared<TGMapPoint>());
  layer.Clear();
  EXPECT_TRUE(layer.Visible && layer.ShowTitles && layer.Enabled && layer.Selectable);
  EXPECT_EQ(layer.ZoomMin, 0u);
  EXPECT_EQ(layer.ZoomUnits, guKilometer);
  EXPECT_EQ(layer.Presenters().Count(), 0);
  EXPECT_EQ(layer.Layers().Count(), 0);
  EXPECT_EQ(layer.ObjectSource().ObjectCount(), 0);
  EXPECT_EQ(layer.Name(), "x");
}

TEST(TitlePlacement, AlignmentsAndTurnedText) {
  // A 40 × 10 text at 3 pixels' distance.
  EXPECT_EQ(TitleShift(taNone, 40, 10, 3, 0), QPoint(0, 0));
  EXPECT_EQ(TitleShift(taCenter, 40, 10, 3, 0), QPoint(-20, -5));
  EXPECT_EQ(TitleShift(taLeft, 40, 10, 3, 0), QPoint(-43, -5));
  EXPECT_EQ(TitleShift(taRight, 40, 10, 3, 0), QPoint(3, -5));
  EXPECT_EQ(TitleShift(taTopLeft, 40, 10, 3, 0), QPoint(-43, -13));
  EXPECT_EQ(TitleShift(taTop, 41, 11, 3, 0), QPoint(-20, -14));
  EXPECT_EQ(TitleShift(taTopRight, 40, 10, 3, 0), QPoint(3, -13));
  EXPECT_EQ(TitleShift(taBottomLeft, 40, 10, 3, 0), QPoint(-43, 3));
  EXPECT_EQ(TitleShift(taBottom, 40, 10, 3, 0), QPoint(-20, 3));
  EXPECT_EQ(TitleShift(taBottomRight, 40, 10, 3, 0), QPoint(3, 3));
  // Turned by 90°, the text runs upward from the corner and still centres on the rectangle.
  EXPECT_EQ(TitleShift(taNone, 40, 10, 0, 900), QPoint(15, 25));
  EXPECT_EQ(TitleShift(taNone, 40, 10, 0, 1800), QPoint(40, 10));
}

TEST(TitlePlacement, TheProbeColumnLiesInTheTitleWhateverItsWidth) {
  for (int a = taCenter; a <= taBottomRight; ++a) {
    const auto alignment = static_cast<TGTitleAlignment>(a);
    for (const int c : {0, 1, 4}) {
      for (const QSize size : {QSize(1, 1), QSize(2, 1), QSize(1, 2), QSize(37, 14), QSize(8, 9)}) {
        const QPoint at(50, 60);
        const QRect title(at + TitleShift(alignment, size.width(), size.height(), c, 0), size);
        const QPoint probe = TitleProbe(alignment, at, c);
        const int top = at.y() + TitleShift(alignment, 1, size.height(), c, 0).y();
        EXPECT_TRUE(title.contains(QRect(probe.x(), top, 1, size.height())))
            << "alignment " << a << " distance " << c << " size " << size.width() << "x"
            << size.height();
      }
    }
  }
}

TEST(LabelRenderer, LeavesOutLabelsOverlappingEarlierOnes) {
  TGLabelRenderer labels;
  const auto label = [](QRect box) { return TGLabel{nullptr, "x", box.topLeft(), {}, false, box}; };
  EXPECT_TRUE(labels.Add(label({10, 10, 40, 12})));
  EXPECT_FALSE(labels.Add(label({49, 21, 5, 5})));   // shares the corner pixel
  EXPECT_TRUE(labels.Add(label({50, 10, 40, 12})));  // touches without sharing a pixel
  EXPECT_TRUE(labels.Add(label({10, 22, 40, 12})));
  // Boxes reaching beyond the grid, on both sides, still meet.
  EXPECT_TRUE(labels.Add(label({-300, -200, 250, 100})));
  EXPECT_FALSE(labels.Add(label({-60, -110, 5, 5})));
  EXPECT_TRUE(labels.Add(label({-60, -90, 5, 5})));
  EXPECT_TRUE(labels.Add(label({3000, 2500, 400, 20})));
  EXPECT_FALSE(labels.Add(label({3390, 2519, 400, 20})));
  EXPECT_TRUE(labels.Add(label({3390, 2520, 400, 20})));
  EXPECT_TRUE(labels.Occupied({49, 21, 1, 1}));
  EXPECT_FALSE(labels.Occupied({49, 34, 1, 1}));
  EXPECT_EQ(labels.Labels().size(), 7u);
  labels.Clear();
  EXPECT_FALSE(labels.Occupied({20, 15, 1, 1}));
  EXPECT_TRUE(labels.Add(label({49, 21, 5, 5})));
}

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
