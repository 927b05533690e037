// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// A layer of every world place (118,841 titled points from data/2017_data_EN.txt) in a memory
// object source: how long loading them takes, and what the layer adds to the full render of an
// 800 × 800 globe (Blue Marble texture, 10° graticule) at zoom positions 140 and 300 of the main
// window, looking at the 2024-04-08 eclipse as in bench_globe_layers.
//
// With UMBRIVISTA_PLACES_PNG=PREFIX set, the frame benchmark writes the last layered frame of
// each zoom to PREFIX-ZOOM.png.

#include <benchmark/benchmark.h>

#include <QImage>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gcustomglobe.h"
#include "globe_bench_support.h"
#include "globe_settings.h"

using namespace umbrivista;

namespace {

struct Place {
  std::string name;
  std::int32_t latitude = 0, longitude = 0;  // degrees × 100
};

// The places file: country, place, latitude × 100, longitude × 100, height, population, TAB
// separated, CR LF line ends.
std::vector<Place> ReadPlaces() {
  std::ifstream in(UMBRIVISTA_DATA_DIR "/2017_data_EN.txt", std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", UMBRIVISTA_DATA_DIR "/2017_data_EN.txt");
    std::exit(1);
  }
  std::vector<Place> places;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string_view rest(line);
    std::string_view fields[4];
    int n = 0;
    for (; n < 4; ++n) {
      const std::size_t tab = rest.find('\t');
      if (tab == std::string_view::npos) break;
      fields[n] = rest.substr(0, tab);
      rest.remove_prefix(tab + 1);
    }
    if (n < 4) continue;
    Place p;
    p.name = fields[1];
    const auto number = [](std::string_view s, std::int32_t& v) {
      return std::from_chars(s.data(), s.data() + s.size(), v).ec == std::errc();
    };
    if (!number(fields[2], p.latitude) || !number(fields[3], p.longitude)) continue;
    places.push_back(std::move(p));
  }
  return places;
}

const std::vector<Place>& Places() {
  static const std::vector<Place> places = ReadPlaces();
  return places;
}

void SetUpGlobe(TGCustomGlobeView& globe, int zoom) {
  SetUpMainGlobe(globe);
  globe.SurfaceTexture().Assign(BlueMarbleTexture());
  TurnToEclipse2024(globe.Projector(), zoom);
}

// The places as points with white titles above them, as the capitals are shown.
void LoadPlaces(TGCustomGlobeView& globe) {
  auto layer = std::make_unique<TGLayer>();
  layer->SetName("Places Layer");
  auto presenter = std::make_unique<TGPointPresenter>();
  presenter->PresenterID = 1;
  presenter->PointSize = 4;
  presenter->PointPen.SetColor(clWhite);
  presenter->PointBrush.SetColor(clBlack);
  presenter->TitleFont.SetColor(clWhite);
  presenter->TitleFont.SetSizeUnit(guMinute);
  presenter->TitleFont.SetSize(60);
  presenter->TitleAlignment = taTop;
  layer->Presenters().Add(std::move(presenter));
  TGObjectSource& source = layer->ObjectSource();
  for (const Place& place : Places()) {
    auto p = std::make_shared<TGMapPoint>();
    p->SetPresenterID(1);
    p->SetColumn(0, place.name);
    p->SetCentroid({DegreesToGU(place.longitude / 100.0), DegreesToGU(place.latitude / 100.0), 0});
    source.Add(std::move(p));
  }
  globe.Layers().Add(std::move(layer));
}

// Reading is done once beforehand; this is the building of the layer alone.
void BM_LoadPlaces(benchmark::State& state) {
  EnsureApplication();
  Places();
  for (auto _ : state) {
    TGCustomGlobeView globe(800, 800);
    LoadPlaces(globe);
    benchmark::DoNotOptimize(globe.Layers().GetLayer(0).ObjectSource().ObjectCount());
    state.PauseTiming();
    globe.Layers().Clear();
    state.ResumeTiming();
  }
  state.counters["places"] = static_cast<double>(Places().size());
}
BENCHMARK(BM_LoadPlaces)->Unit(benchmark::kMillisecond)->Iterations(3);

// Frames without and with the places layer in turns; the counters give the mean frame time of
// each (ms), their difference, and the objects and titles of the last frame.
void BM_FrameWithPlaces(benchmark::State& state) {
  EnsureApplication();
  const int zoom = static_cast<int>(state.range(0));
  TGCustomGlobeView globe(800, 800);
  SetUpGlobe(globe, zoom);
  LoadPlaces(globe);
  TGLayer& root = globe.RootLayer();
  using Clock = std::chrono::steady_clock;
  Clock::duration without{}, with{};
  for (auto _ : state) {
    root.Enabled = false;
    const auto t0 = Clock::now();
    globe.RenderScene();
    const auto t1 = Clock::now();
    root.Enabled = true;
    globe.RenderScene();
    const auto t2 = Clock::now();
    without += t1 - t0;
    with += t2 - t1;
    benchmark::DoNotOptimize(globe.Renderer().Picture().Bits());
  }
  const double n = static_cast<double>(state.iterations());
  const auto ms = [n](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() / n;
  };
  state.counters["plain_ms"] = ms(without);
  state.counters["layers_ms"] = ms(with);
  state.counters["added_ms"] = ms(with) - ms(without);
  state.counters["objects"] = globe.Layers().GetLayer(0).DrawnCount();
  state.counters["labels"] = static_cast<double>(globe.LabelRenderer().Labels().size());
  if (const char* prefix = std::getenv("UMBRIVISTA_PLACES_PNG")) {
    const std::string path = std::string(prefix) + "-" + std::to_string(zoom) + ".png";
    globe.Renderer().Picture().Image().save(QString::fromStdString(path));
  }
}
BENCHMARK(BM_FrameWithPlaces)->ArgName("zoom")->Arg(140)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace
