// What the map layers add to a frame: the full render of an 800 × 800 globe (texture, 10°
// graticule) with and without 200 titled points (the 193 capitals and 7 points of interest with
// haloed titles) and the 201-point centre line of 2024-04-08 drawn as a road, all from layers of
// a spatial database file, as the main window keeps them. The difference of the two is the
// layers' share of the frame.

#include <benchmark/benchmark.h>

#include <QDir>
#include <chrono>
#include <filesystem>
#include <sstream>

#include "capitals.h"
#include "catalogue.h"
#include "centre_line.h"
#include "gcustomglobe.h"
#include "globe_bench_support.h"

using namespace umbrivista;

namespace {

// The total eclipse of 2024-04-08.
EclipseRecord Eclipse2024() {
  std::istringstream text(
      "2024 4 8 2 0 0.3431 2460409.25 0 139 18 -0.318244 0.5117116 0.0000326 -0.0000084 "
      "0.219764 0.2709589 -0.0000595 -0.0000047 7.5862002 0.0148440 -0.0000020 0 89.591217 "
      "15.004080 0 0 0.535814 0.0000618 -0.0000128 0 -0.010272 0.0000615 -0.0000127 0 0.0046683 "
      "0 0 0 0.0046450 0 0 0 30 71\n");
  return ParseCatalogueText(text, "2024").at(0);
}

TGLayer& MapLayer(TGCustomGlobeView& globe, TGSpatialDatabase& db, const std::string& name) {
  if (TGLayer* layer = globe.Layers().FindByName(name)) return *layer;
  return *globe.Layers().FindByGUID(db.CreateLayer(name));
}

std::unique_ptr<TGPointPresenter> PointPresenter(std::int32_t id, int size, TColor brush,
                                                 TColor title, int titleMinutes,
                                                 std::uint8_t style) {
  auto p = std::make_unique<TGPointPresenter>();
  p->PresenterID = id;
  p->PointSize = size;
  p->PointPen.SetColor(clWhite);
  p->PointBrush.SetColor(brush);
  p->TitleFont.SetColor(title);
  p->TitleFont.SetSizeUnit(guMinute);
  p->TitleFont.SetSize(titleMinutes);
  p->TitleFont.SetStyle(style);
  p->TitleAlignment = taTop;
  return p;
}

void BuildLayers(TGCustomGlobeView& globe, TGSpatialDatabase& db) {
  TGLayer& line = MapLayer(globe, db, "CenterLine Layer");
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = 1;
  road->RoadPen = TGPen(clYellow, gpsSolid, 3, guPixel);
  road->EdgePixels = 0;
  line.Presenters().Add(std::move(road));
  auto poly = std::make_shared<TGMapPoly>();
  poly->SetPresenterID(1);
  line.ObjectSource().Add(poly);
  for (const CentreLinePoint& p : BuildCentreLine(Eclipse2024(), 0, false)) {
    poly->Chain(0).Points.push_back({p.longitudeUnits, p.latitudeUnits, 0});
    poly->Invalidate();
  }

  TGLayer& cities = MapLayer(globe, db, "Cities Layer");
  cities.Presenters().Add(PointPresenter(2, 4, clBlack, clWhite, 60, 0));
  for (const City_Type& c : Capitals()) {
    auto p = std::make_shared<TGMapPoint>();
    p->SetPresenterID(2);
    p->SetColumn(0, c.capital);
    p->SetCentroid({DegreesToGU(c.longitude), DegreesToGU(c.latitude), 0});
    p->Invalidate();
    cities.ObjectSource().Add(p);
  }
  TGLayer& pois = MapLayer(globe, db, "PoIs Layer");
  pois.Presenters().Add(PointPresenter(4, 9, clRed, clRed, 100, gfsHalo));
  const double places[7][2] = {{-104.1, 25.3}, {-96.8, 32.8}, {-87.6, 41.9}, {-73.6, 45.5},
                               {-99.1, 19.4},  {-80.2, 25.8}, {-58.4, -34.6}};
  for (int i = 0; i < 7; ++i) {
    auto p = std::make_shared<TGMapPoint>();
    p->SetPresenterID(4);
    p->SetColumn(0, "Place " + std::to_string(i + 1));
    p->SetCentroid({DegreesToGU(places[i][0]), DegreesToGU(places[i][1]), 0});
    p->Invalidate();
    pois.ObjectSource().Add(p);
  }
}

// A globe as the main window sets it up, with its scratch database, at a zoom position.
struct Scene {
  explicit Scene(int zoom, const std::string& path) : path_(path) {
    std::filesystem::remove(path_);
    db.SetDataSourceName(path_);
    db.SetActive(true);
    globe.SetMaxTextHeight(40);
    globe.SetMinTextHeight(8);
    globe.SetMinObjectPixels(1.0);
    globe.SetSpatialDatabase(&db);
    globe.SurfaceTexture().Assign(BlueMarbleTexture());
    TurnToEclipse2024(globe.Projector(), zoom);
  }
  ~Scene() {
    globe.SetSpatialDatabase(nullptr);
    db.SetActive(false);
    std::filesystem::remove(path_);
  }
  std::string path_;
  TGSpatialDatabase db;
  TGCustomGlobeView globe{800, 800};
};

// Frames of the globe without and with its layers, in turns (the root layer switched off and
// on); the counters give the mean frame time of each (ms) and their difference, the layers'
// share of a frame.
void BM_FrameWithLayers(benchmark::State& state) {
  EnsureApplication();
  const int zoom = static_cast<int>(state.range(0));
  const bool cold = state.range(1) != 0;
  Scene layered(zoom, QDir::tempPath().toStdString() + "/Temporary_BENCHLYR.tmp");
  layered.db.ResetCaches();
  BuildLayers(layered.globe, layered.db);
  TGLayer& root = layered.globe.RootLayer();
  using Clock = std::chrono::steady_clock;
  Clock::duration without{}, with{};
  for (auto _ : state) {
    root.Enabled = false;
    const auto t0 = Clock::now();
    layered.globe.RenderScene();
    const auto t1 = Clock::now();
    root.Enabled = true;
    if (cold) layered.globe.Renderer().ForgetTexts();
    layered.globe.RenderScene();
    const auto t2 = Clock::now();
    without += t1 - t0;
    with += t2 - t1;
    benchmark::DoNotOptimize(layered.globe.Renderer().Picture().Bits());
  }
  const double n = static_cast<double>(state.iterations());
  const auto ms = [n](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() / n;
  };
  state.counters["plain_ms"] = ms(without);
  state.counters["layers_ms"] = ms(with);
  state.counters["added_ms"] = ms(with) - ms(without);
  int drawn = 0;
  for (int i = 0; i < layered.globe.Layers().Count(); ++i)
    drawn += layered.globe.Layers().GetLayer(i).DrawnCount();
  state.counters["labels"] = static_cast<double>(layered.globe.LabelRenderer().Labels().size());
  state.counters["objects"] = drawn;
}

// Arguments: zoom position of the main window (140: titles readable, part of the globe; 250: most
// of the hemisphere with titles; 300: the whole disc, capital titles too small to draw); 1 to
// draw every title anew as after a change of zoom, 0 to take them as kept from the frame before.
BENCHMARK(BM_FrameWithLayers)
    ->ArgNames({"zoom", "cold"})
    ->Args({140, 0})
    ->Args({250, 0})
    ->Args({300, 0})
    ->Args({140, 1})
    ->Args({250, 1})
    ->Args({300, 1})
    ->Unit(benchmark::kMillisecond);

// The visible geographic rectangle that the layers are enumerated with.
void BM_VisibleExtent(benchmark::State& state) {
  EnsureApplication();
  TGCustomGlobeView globe(800, 800);
  TurnToEclipse2024(globe.Projector(), static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(globe.ComputeVisibleExtent());
}
BENCHMARK(BM_VisibleExtent)
    ->ArgName("zoom")
    ->Arg(140)
    ->Arg(250)
    ->Arg(300)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
