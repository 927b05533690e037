// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Map objects: data columns as comma text, bounding rectangles (also across 180°), invalidation,
// and the handles of the memory object source.

#include <gtest/gtest.h>

#include <algorithm>

#include "gobjectsource.h"

using namespace umbrivista;

namespace {

constexpr std::int32_t kDeg = kGUPerDegree;

TEST(CommaText, QuotesItemsWithBlanksCommasAndQuotes) {
  EXPECT_EQ(BuildCommaText({"Berlin", "New York", "a,b", "say \"hi\"", "tab\there"}),
            "Berlin,\"New York\",\"a,b\",\"say \"\"hi\"\"\",\"tab\there\"");
  EXPECT_EQ(BuildCommaText({""}), "\"\"");
  EXPECT_EQ(BuildCommaText({}), "");
  EXPECT_EQ(BuildCommaText({"", "x"}), ",x");
  EXPECT_EQ(BuildCommaText({"x", ""}), "x,");
  // UTF-8 letters are no reason to quote.
  EXPECT_EQ(BuildCommaText({"Zürich", "Bogotá"}), "Zürich,Bogotá");
}

TEST(CommaText, BlanksAndCommasOutsideQuotesSeparate) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ParseCommaText("a b"), (V{"a", "b"}));
  EXPECT_EQ(ParseCommaText("  a ,  b  "), (V{"a", "b"}));
  EXPECT_EQ(ParseCommaText("a,,b"), (V{"a", "", "b"}));
  EXPECT_EQ(ParseCommaText("a,"), (V{"a", ""}));
  EXPECT_EQ(ParseCommaText(""), V{});
  EXPECT_EQ(ParseCommaText("\"\""), V{""});
  EXPECT_EQ(ParseCommaText("\"New York\",x"), (V{"New York", "x"}));
  EXPECT_EQ(ParseCommaText("\"say \"\"hi\"\"\""), V{"say \"hi\""});
  // Every list survives the round trip.
  for (const V& items : {V{"", "", "x"}, V{"a b", ""}, V{"\"", ",", " "}, V{""}, V{"x"}}) {
    EXPECT_EQ(ParseCommaText(BuildCommaText(items)), items);
  }
}

TEST(MapPoint, ColumnsGrowAndKeepTheirNeighbours) {
  TGMapPoint p;
  p.SetColumn(2, "third");
  EXPECT_EQ(p.ObjectDataCSL(), ",,third");
  p.SetColumn(0, "St. George's");
  EXPECT_EQ(p.ObjectDataCSL(), "\"St. George's\",,third");
  EXPECT_EQ(p.GetColumn(0), "St. George's");
  EXPECT_EQ(p.GetColumn(1), "");
  EXPECT_EQ(p.GetColumn(2), "third");
  EXPECT_EQ(p.GetColumn(3), "");
  EXPECT_EQ(p.GetColumn(-1), "");
  p.SetColumn(-1, "ignored");
  EXPECT_EQ(p.ObjectDataCSL(), "\"St. George's\",,third");
  p.SetObjectDataCSL("");
  p.SetColumn(0, "");
  EXPECT_EQ(p.ObjectDataCSL(), "\"\"");
  // Column texts are cut to 255 characters, not bytes.
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += "é";
  p.SetColumn(0, longName);
  EXPECT_EQ(p.GetColumn(0).size(), 510u);
}

TEST(MapPoint, CentroidGivesAOneByOneRectangleThatSurvivesInvalidate) {
  TGMapPoint p;
  p.SetCentroid({10 * kDeg, 20 * kDeg, 0});
  EXPECT_EQ(p.MER(), (TGMER{10 * kDeg, 20 * kDeg, 1, 1}));
  p.SetModified(false);
  p.Invalidate();
  EXPECT_TRUE(p.Modified());
  EXPECT_EQ(p.Centroid(), (TGGlobePoint{10 * kDeg, 20 * kDeg, 0}));
  EXPECT_EQ(p.MER(), (TGMER{10 * kDeg, 20 * kDeg, 1, 1}));
}

TEST(MapPoly, RectangleOfALineAcross180DegreesStaysNarrow) {
  TGMapPoly line;
  // A centre line from 170° E across the date line to 170° W.
  for (int lon = 170; lon <= 190; lon += 2) {
    line.Chain(0).Points.push_back({NormalizeLongitudeGU((lon)*kDeg), (lon - 180) * kDeg, 0});
  }
  line.Invalidate();
  const TGMER r = line.MER();
  EXPECT_EQ(r.Left, 170 * kDeg);
  EXPECT_EQ(r.Width, 20 * kDeg + 1);
  EXPECT_EQ(r.Top, -10 * kDeg);
  EXPECT_EQ(r.Height, 20 * kDeg + 1);
  // Its centroid lies on the date line, not at the prime meridian.
  EXPECT_NEAR(std::abs(line.Centroid().Longitude), kGU180, kDeg / 1000);

  // Two chains on either side of 180°: their union also goes the short way.
  TGMapPoly two;
  two.Chain(0).Points = {{170 * kDeg, 0, 0}, {179 * kDeg, 1 * kDeg, 0}};
  two.Chain(1).Points = {{-179 * kDeg, 0, 0}, {-170 * kDeg, 1 * kDeg, 0}};
  EXPECT_EQ(two.MER().Left, 170 * kDeg);
  EXPECT_EQ(two.MER().Width, 20 * kDeg + 1);
  // A line around most of the equator through the prime meridian keeps its direct extent.
  TGMapPoly wide;
  wide.Chain(0).Points = {
      {-170 * kDeg, 0, 0}, {-5 * kDeg, 0, 0}, {5 * kDeg, 0, 0}, {170 * kDeg, 0, 0}};
  EXPECT_EQ(wide.MER().Left, -170 * kDeg);
  EXPECT_EQ(wide.MER().Width, 340 * kDeg + 1);
  // Appending points and invalidating recomputes the rectangle.
  wide.Chain(0).Points.push_back({0, 30 * kDeg, 0});
  wide.Invalidate();
  EXPECT_EQ(wide.MER().Height, 30 * kDeg + 1);
  EXPECT_EQ(TGMapPoly().MER(), TGMER{});
}

TEST(MER, UnionAndIntersectionRoundTheGlobe) {
  const TGMER east{170 * kDeg, 0, 5 * kDeg, kDeg};
  const TGMER west{-178 * kDeg, 0, 3 * kDeg, kDeg};
  EXPECT_EQ(UnionMER(east, west), (TGMER{170 * kDeg, 0, 15 * kDeg, kDeg}));
  EXPECT_EQ(UnionMER(west, east), (TGMER{170 * kDeg, 0, 15 * kDeg, kDeg}));
  EXPECT_EQ(UnionMER({}, east), east);
  EXPECT_EQ(UnionMER(TGMER{0, 0, 10, 10}, TGMER{2, 2, 3, 3}), (TGMER{0, 0, 10, 10}));
  // A rectangle running east across 180° meets one just west of it.
  const TGMER across{175 * kDeg, -kDeg, 10 * kDeg, 2 * kDeg};
  EXPECT_TRUE(MERIntersects(across, TGMER{-178 * kDeg, 0, 1, 1}));
  EXPECT_TRUE(MERIntersects(TGMER{-178 * kDeg, 0, 1, 1}, across));
  EXPECT_FALSE(MERIntersects(across, TGMER{-170 * kDeg, 0, 1, 1}));
  EXPECT_FALSE(MERIntersects(across, TGMER{-178 * kDeg, 5 * kDeg, 1, 1}));
  EXPECT_TRUE(MERIntersects(kWorldMER, TGMER{12345, -6789, 1, 1}));
  EXPECT_FALSE(MERIntersects(kWorldMER, TGMER{}));
}

TEST(MemoryObjectSource, HandlesAreListPositionsAndFreeSlotsAreReused) {
  TGMemoryObjectSource source;
  EXPECT_FALSE(source.GUID().isNull());
  EXPECT_NE(TGMemoryObjectSource().GUID(), source.GUID());
  std::vector<std::shared_ptr<TGMapPoint>> points;
  for (int i = 0; i < 4; ++i) {
    points.push_back(std::make_shared<TGMapPoint>());
    points.back()->SetCentroid({i * kDeg, 0, 0});
    EXPECT_EQ(source.Add(points.back()), i + 1);
  }
  EXPECT_TRUE(source.Remove(2));
  EXPECT_FALSE(source.Remove(2));
  EXPECT_EQ(points[1]->Owner(), nullptr);
  EXPECT_TRUE(source.Remove(3));
  EXPECT_EQ(source.ObjectCount(), 2);
  auto again = std::make_shared<TGMapPoint>();
  EXPECT_EQ(source.Add(again), 2);
  EXPECT_EQ(source.Get(2), again);
  EXPECT_EQ(source.Get(3), nullptr);
  EXPECT_EQ(source.Get(0), nullptr);
  EXPECT_EQ(source.Add(nullptr), 0);

  // Enumeration by rectangle, in handle order, until the callback stops it.
  std::vector<std::int32_t> seen;
  source.Enumerate({-kDeg / 2, -kDeg, 5 * kDeg, 2 * kDeg}, [&](const auto& o) {
    seen.push_back(o->Handle());
    return true;
  });
  EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 2, 4}));
  seen.clear();
  source.Enumerate(kWorldMER, [&](const auto& o) {
    seen.push_back(o->Handle());
    return false;
  });
  EXPECT_EQ(seen, std::vector<std::int32_t>{1});
  source.Clear();
  EXPECT_EQ(source.ObjectCount(), 0);
  EXPECT_EQ(points[0]->Owner(), nullptr);
}

TEST(MemoryObjectSource, SmallObjectsAreSkippedButPointsNever) {
  TGMemoryObjectSource source;
  auto tiny = std::make_shared<TGMapPoly>();
  tiny->Chain(0).Points = {{0, 0, 0}, {100, 100, 0}};
  auto point = std::make_shared<TGMapPoint>();
  point->SetCentroid({50, 50, 0});
  source.Add(tiny);
  source.Add(point);
  source.MinObjectExtent = 1000;
  int count = 0;
  source.Enumerate(kWorldMER, [&](const auto& o) {
    EXPECT_FALSE(o->IsPoly());
    ++count;
    return true;
  });
  EXPECT_EQ(count, 1);
}

}  // namespace

namespace {

// Handles of the objects a source enumerates for `extent`, in enumeration order.
std::vector<std::int32_t> Found(TGMemoryObjectSource& source, const TGMER& extent) {
  std::vector<std::int32_t> seen;
  source.Enumerate(extent, [&](const auto& o) {
    seen.push_back(o->Handle());
    return true;
  });
  return seen;
}

// Handles of the objects whose rectangle meets `extent`, by looking at every one.
std::vector<std::int32_t> Meeting(TGMemoryObjectSource& source, const TGMER& extent) {
  std::vector<std::int32_t> handles;
  for (std::int32_t h = 1; h <= source.ObjectCount() + 64; ++h) {
    if (auto o = source.Get(h); o && MERIntersects(o->MER(), extent)) handles.push_back(h);
  }
  return handles;
}

}  // namespace

TEST(MemoryObjectSource, ManyObjectsAreFoundByRectangleInHandleOrder) {
  TGMemoryObjectSource source;
  // Points on a 7° × 5° lattice over the whole globe, poles and ±180° included, added in a
  // scrambled order, and a line across 180°.
  std::vector<std::shared_ptr<TGMapPoint>> points;
  for (int lat = -90; lat <= 90; lat += 5) {
    for (int lon = -180; lon <= 180; lon += 7) {
      auto p = std::make_shared<TGMapPoint>();
      p->SetCentroid({(((lon * 37) % 360 + 360) % 360 - 180) * kDeg, lat * kDeg, 0});
      points.push_back(p);
      source.Add(p);
    }
  }
  auto line = std::make_shared<TGMapPoly>();
  line->Chain(0).Points = {{175 * kDeg, 10 * kDeg, 0}, {-175 * kDeg, 12 * kDeg, 0}};
  line->Invalidate();
  const std::int32_t lineHandle = source.Add(line);
  const TGMER extents[] = {
      {-10 * kDeg, -10 * kDeg, 25 * kDeg, 30 * kDeg},     // a small window
      {170 * kDeg, 0, 20 * kDeg, 20 * kDeg},              // across 180°
      {-185 * kDeg, 0, 12 * kDeg, 20 * kDeg},             // across 180° from the west
      {-30 * kDeg, 80 * kDeg, 60 * kDeg, 15 * kDeg},      // at the pole
      {-170 * kDeg, -80 * kDeg, 340 * kDeg, 160 * kDeg},  // most of the globe
      kWorldMER,
      {5, 5, 3, 3},  // between the points
  };
  for (const TGMER& e : extents) EXPECT_EQ(Found(source, e), Meeting(source, e));
  EXPECT_EQ(Found(source, extents[1]).back(), lineHandle);
  EXPECT_TRUE(Found(source, extents[6]).empty());

  // A point moved into a window is found there and no longer where it was; a removed one is
  // gone, and its slot's new object is found where that one lies.
  const TGMER window{100 * kDeg + 10, 3 * kDeg + 10, kDeg, kDeg};
  ASSERT_TRUE(Found(source, window).empty());
  const TGMER old = points[3]->MER();
  points[3]->SetCentroid({100 * kDeg + 500, 3 * kDeg + 500, 0});
  EXPECT_EQ(Found(source, window), std::vector<std::int32_t>{points[3]->Handle()});
  EXPECT_TRUE(Found(source, {old.Left, old.Top, 1, 1}).empty());
  const std::int32_t gone = points[3]->Handle();
  EXPECT_TRUE(source.Remove(gone));
  EXPECT_TRUE(Found(source, window).empty());
  auto newcomer = std::make_shared<TGMapPoint>();
  newcomer->SetCentroid({-60 * kDeg, -33 * kDeg, 0});
  EXPECT_EQ(source.Add(newcomer), gone);
  EXPECT_EQ(Found(source, {-61 * kDeg, -34 * kDeg, 2 * kDeg, 2 * kDeg}),
            Meeting(source, {-61 * kDeg, -34 * kDeg, 2 * kDeg, 2 * kDeg}));
  const std::vector<std::int32_t> all = Found(source, kWorldMER);
  EXPECT_NE(std::ranges::find(all, gone), all.end());
}

TEST(MemoryObjectSource, FreedSlotsAreReusedFromTheFront) {
  TGMemoryObjectSource source;
  for (int i = 0; i < 100; ++i) {
    auto p = std::make_shared<TGMapPoint>();
    p->SetCentroid({i * kDeg, 0, 0});
    source.Add(p);
  }
  for (const std::int32_t h : {50, 7, 99, 100, 30}) EXPECT_TRUE(source.Remove(h));
  // 99 and 100 were the last: the list shrank to 98.
  std::vector<std::int32_t> handles;
  for (int i = 0; i < 5; ++i) handles.push_back(source.Add(std::make_shared<TGMapPoint>()));
  EXPECT_EQ(handles, (std::vector<std::int32_t>{7, 30, 50, 99, 100}));
  EXPECT_EQ(source.ObjectCount(), 100);
  // Slots freed, cut off the end and filled again are not handed out twice.
  EXPECT_TRUE(source.Remove(100));
  EXPECT_TRUE(source.Remove(99));
  EXPECT_EQ(source.Add(std::make_shared<TGMapPoint>()), 99);
  EXPECT_EQ(source.Add(std::make_shared<TGMapPoint>()), 100);
  EXPECT_EQ(source.Add(std::make_shared<TGMapPoint>()), 101);
}
