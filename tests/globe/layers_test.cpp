// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Layers and presenters: the stores, resetting a layer, title placement and the title queue.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "gcustomglobe.h"
#include "glabels.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

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

}  // namespace
