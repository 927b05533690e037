// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe view control: render on request, paint and after-render, updates and resize.

#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "globeview.h"

using namespace umbrivista;

namespace {

struct Counting {
  TGlobeView view;
  int renders = 0;
  int afterRenders = 0;
  Counting() {
    view.OnRender = [this] { ++renders; };
    view.OnAfterRender = [this](QPainter&) {
      ++afterRenders;
      EXPECT_NE(view.Canvas(), nullptr);
    };
  }
  QImage Grab() { return view.grab().toImage(); }
};

TEST(GlobeView, StartsWithTheDocumentedSettings) {
  TGlobeView view;
  EXPECT_EQ(view.width(), 150);
  EXPECT_EQ(view.ClientWidth(), 150);
  EXPECT_EQ(view.Projector().XOrigin(), 75);
  EXPECT_NEAR(static_cast<double>(view.Projector().ScaleFactor()), 2.421271665760815e-07, 1e-18);
  EXPECT_EQ(view.SurfaceColor(), clAqua);
  EXPECT_EQ(view.Color(), clBlack);
  EXPECT_EQ(view.Graticule().DrawMode(), gdBehind);
  EXPECT_EQ(view.Graticule().LatitudeStep(), 10);
  EXPECT_EQ(view.Graticule().GraticulePen().Color(), clSilver);
  EXPECT_TRUE(view.Renderer().DoubleBuffer);
}

TEST(GlobeView, RendersOnlyWhenAsked) {
  Counting c;
  c.Grab();
  EXPECT_EQ(c.renders, 1);
  EXPECT_EQ(c.afterRenders, 1);
  EXPECT_FALSE(c.view.RenderPending());
  EXPECT_EQ(c.view.Canvas(), nullptr);
  c.Grab();
  EXPECT_EQ(c.renders, 1);
  EXPECT_EQ(c.afterRenders, 2);
  c.view.Projector().SetYRotation(40);
  EXPECT_TRUE(c.view.RenderPending());
  c.Grab();
  EXPECT_EQ(c.renders, 2);
}

TEST(GlobeView, AfterRenderDrawsOnTheWindowOnly) {
  TGlobeView view;
  view.OnAfterRender = [](QPainter& p) { p.fillRect(0, 0, 4, 4, Qt::red); };
  const QImage shown = view.grab().toImage();
  EXPECT_EQ(shown.pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(view.Renderer().Picture().Pixel(1, 1) & 0xFFFFFF, 0u);
  EXPECT_EQ(shown.pixel(75, 75), view.Renderer().Picture().Image().pixel(75, 75));
}

TEST(GlobeView, UpdatesHoldRendersBack) {
  Counting c;
  c.Grab();
  c.view.BeginUpdate();
  c.view.BeginUpdate();
  c.view.Projector().SetXRotation(-10);
  c.Grab();
  EXPECT_EQ(c.renders, 1);
  c.view.EndUpdate();
  c.Grab();
  EXPECT_EQ(c.renders, 1);
  c.view.EndUpdate();
  EXPECT_TRUE(c.view.RenderPending());
  c.Grab();
  EXPECT_EQ(c.renders, 2);
  try {
    c.view.EndUpdate();
    ADD_FAILURE() << "unbalanced EndUpdate accepted";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Assertion failure");
  }
  EXPECT_EQ(c.view.UpdateCount(), 0);
}

TEST(GlobeView, AfterRenderFiresEvenWhenRenderingFails) {
  Counting c;
  c.view.OnRender = [] { throw std::runtime_error("layer failed"); };
  c.Grab();
  EXPECT_EQ(c.afterRenders, 1);
  c.view.OnRender = nullptr;
  c.Grab();
  EXPECT_EQ(c.afterRenders, 2);
  EXPECT_FALSE(c.view.RenderPending());
}

TEST(GlobeView, ResizeScalesWithTheDiagonal) {
  TGlobeView view;
  view.show();
  const long double scale = view.Projector().ScaleFactor();
  view.Projector().SetXYOrigin(QPoint(60, 70));
  view.resize(300, 300);
  EXPECT_EQ(view.ClientWidth(), 300);
  EXPECT_EQ(view.Renderer().Picture().Width(), 300);
  EXPECT_NEAR(static_cast<double>(view.Projector().ScaleFactor() / scale), 2, 1e-9);
  EXPECT_EQ(view.Projector().XOrigin(), 120);
  EXPECT_EQ(view.Projector().YOrigin(), 140);
  EXPECT_TRUE(view.RenderPending());
}

TEST(GlobeView, VisibleExtentCoversWhatTheWindowShows) {
  TGCustomGlobeView globe(150, 150);
  globe.Projector().SetXRotation(0);
  globe.Projector().SetYRotation(0);
  TGMER e = globe.ComputeVisibleExtent();
  EXPECT_NEAR(e.Left, -90 * kGUPerDegree, 2 * kGUPerDegree);
  EXPECT_NEAR(e.Width, 180 * kGUPerDegree, 4 * kGUPerDegree);
  EXPECT_LT(e.Top, -60 * kGUPerDegree);
  EXPECT_GT(e.Top + e.Height, 60 * kGUPerDegree);
  // A view of the pole takes in every longitude.
  globe.Projector().SetXRotation(60);
  EXPECT_EQ(globe.ComputeVisibleExtent().Width, kGU360);
  // A globe entirely outside the window yields the whole world.
  globe.Projector().SetXYOrigin(QPoint(5000, 5000));
  EXPECT_EQ(globe.ComputeVisibleExtent(), kWorldMER);
  globe.PaintToImage();
  EXPECT_EQ(globe.VisibleExtent(), kWorldMER);
}

// Settings the main window changes while running take effect through setters that request a render
// when, and only when, the value changes.
TEST(GlobeView, SettingsRequestARenderWhenTheyChange) {
  TGlobeView view;
  view.grab();
  ASSERT_FALSE(view.RenderPending());
  const std::function<void()> changes[] = {
      [&] { view.SetMinObjectPixels(1.0); },         [&] { view.SetCullObjectPixels(0.5); },
      [&] { view.SetMinObjectColor(0x00FF00); },     [&] { view.SetGlobeOptions(goMultiSelect); },
      [&] { view.SetSurfaceColor(clWhite); },        [&] { view.SetColor(0x800000); },
      [&] { view.Graticule().SetLatitudeStep(30); }, [&] { view.Graticule().SetLongitudeStep(30); },
      [&] { view.SetMaxTextHeight(30); },            [&] { view.SetMinTextHeight(9); },
      [&] { view.SetDoubleBuffer(false); },
      [&] { view.SetSelectedPen(TGPen(clRed, gpsSolid, 2, guPixel)); },
      [&] { view.SetSelectedBrush(TGBrush(clRed, clRed, gbsSolid)); },
  };
  for (const auto& change : changes) {
    change();
    EXPECT_TRUE(view.RenderPending());
    view.grab();
    EXPECT_FALSE(view.RenderPending());
    change();  // the same value again
    EXPECT_FALSE(view.RenderPending());
  }
  EXPECT_EQ(view.MinObjectPixels(), 1.0);
  EXPECT_EQ(view.CullObjectPixels(), 0.5);
  EXPECT_EQ(view.MinObjectColor(), 0x00FF00u);
  EXPECT_EQ(view.GlobeOptions(), unsigned{goMultiSelect});
  EXPECT_EQ(view.Renderer().MaxTextHeight, 30);
  EXPECT_EQ(view.Renderer().MinTextHeight, 9);
  EXPECT_FALSE(view.Renderer().DoubleBuffer);
  EXPECT_EQ(view.Renderer().SelectedPen.Color(), clRed);
  EXPECT_EQ(view.Renderer().SelectedBrush.Color(), clRed);
  view.SetDoubleBuffer(true);
  view.grab();
  view.SetMinObjectPixels(std::nan(""));  // ignored
  EXPECT_EQ(view.MinObjectPixels(), 1.0);
  EXPECT_FALSE(view.RenderPending());
}

// The window passes every event on as a Qt signal too, after the callback and with the same timing.
TEST(GlobeView, EventsAreAlsoQtSignals) {
  TGlobeView view;
  std::vector<std::string> order;
  int zoomed = 0, rotated = 0, afterRender = 0;
  view.OnZoomed = [&] { order.push_back("callback"); };
  QObject::connect(&view, &TGlobeView::zoomed, [&] {
    ++zoomed;
    order.push_back("signal");
  });
  QObject::connect(&view, &TGlobeView::rotated, [&] { ++rotated; });
  QObject::connect(&view, &TGlobeView::afterRender, [&](QPainter* window) {
    ++afterRender;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, view.Canvas());  // drawn on while the paint is still in progress
  });
  view.Projector().SetScaleFactor(view.Projector().ScaleFactor() * 2);
  EXPECT_EQ(zoomed, 1);
  EXPECT_EQ(order, (std::vector<std::string>{"callback", "signal"}));
  view.Projector().SetYRotation(33);
  EXPECT_EQ(rotated, 1);
  EXPECT_EQ(afterRender, 0);  // nothing painted yet
  view.grab();
  EXPECT_EQ(afterRender, 1);
}

}  // namespace
