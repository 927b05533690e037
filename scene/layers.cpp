// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "layers.h"

#include <memory>
#include <stdexcept>

#include "capitals.h"
#include "central_region.h"
#include "centre_line.h"
#include "gcustomglobe.h"
#include "gmapobjects.h"
#include "gpresenters.h"
#include "gspatialdb.h"
#include "path_limits.h"

namespace umbrivista {

namespace {

constexpr int kCentreLinePresenter = 1;
constexpr int kCapitalsPresenter = 2;
constexpr int kPoIPresenter = 3;
constexpr int kPoIListPresenter = 4;
constexpr int kUmbralLimitPresenter = 5;
constexpr int kOuterLimitPresenter = 6;
constexpr int kDeltaTBandPresenter = 7;

std::unique_ptr<TGPointPresenter> CapitalsPresenter() {
  auto p = std::make_unique<TGPointPresenter>();
  p->PresenterID = kCapitalsPresenter;
  // Squares, unlike the graticule's crossings; the names, in a black halo that reads on every
  // texture, come once the globe is large enough for them and never overlap.
  p->PointType = ppSquare;
  p->PointUnit = guPixel;
  p->PointSize = kCapitalPixels;
  p->PointPen.SetColor(clWhite);
  p->PointBrush.SetColor(clBlack);
  p->PointBrush.SetStyle(gbsSolid);
  p->TitleFont.SetColor(clWhite);
  p->TitleFont.SetBkColor(clBlack);
  p->TitleFont.SetStyle(gfsHalo);
  p->TitleFont.SetSizeUnit(guMinute);
  p->TitleFont.SetSize(60);
  p->TitleAlignment = taTop;
  return p;
}

// A line drawn over a slightly wider line of the edge colour: all edges of the layer on a first
// pass, the lines over them on a second, so that crossing lines keep their colour.
class EdgedLinePresenter : public TGPolylinePresenter {
 public:
  EdgedLinePresenter(int id, const TGPen& pen, TColor edge) : edge_(edge) {
    PresenterID = id;
    PolyPen = pen;
  }
  void BeginLayer(TGLayer& layer) override {
    TGPolylinePresenter::BeginLayer(layer);
    pass_ = layer.Pass();
  }
  bool EndLayer(TGLayer& layer) override {
    TGPolylinePresenter::EndLayer(layer);
    return pass_ == 0;
  }
  void RenderObject(TGMapPoint& object, unsigned state) override {
    if (pass_ != 0) {
      TGPolylinePresenter::RenderObject(object, state);
      return;
    }
    if (!globe_ || !object.IsPoly() || (state & kStateSelected)) return;
    globe_->Renderer().SelectPen(
        TGPen(edge_, gpsSolid, PolyPen.Width() + 2 * kEdgePixels, guPixel));
    globe_->RenderChains(static_cast<TGMapPoly&>(object).Chains(), false);
  }

 private:
  TColor edge_;
  int pass_ = 0;
};

// Points of interest: magenta dots with magenta halo titles.
std::unique_ptr<TGPointPresenter> PoIPresenter(int id) {
  auto p = std::make_unique<TGPointPresenter>();
  p->PresenterID = id;
  p->PointType = ppCircle;
  p->PointUnit = guPixel;
  p->PointSize = kPoIPixels;
  p->PointPen.SetColor(clWhite);
  p->PointBrush.SetColor(kPoIColor);
  p->PointBrush.SetStyle(gbsSolid);
  p->TitleFont.SetColor(kPoIColor);
  p->TitleFont.SetBkColor(clBlack);
  p->TitleFont.SetSizeUnit(guMinute);
  p->TitleFont.SetSize(100);
  p->TitleFont.SetStyle(gfsHalo);
  p->TitleAlignment = taTop;
  return p;
}

}  // namespace

SceneLayers::SceneLayers(TGCustomGlobeView& globe, TGSpatialDatabase* database)
    : globe_(globe), database_(database) {}

TGLayer* SceneLayers::Find(const char* name) const {
  return globe_.Layers().FindByName(name);
}

int SceneLayers::ObjectCount(const char* name) const {
  TGLayer* layer = Find(name);
  return layer ? layer->ObjectSource().ObjectCount() : 0;
}

TGLayer* SceneLayers::Layer(const char* name) {
  if (TGLayer* layer = Find(name)) return layer;
  const QUuid guid = database_->CreateLayer(name);
  if (std::string(name) == kCentreLineLayer) centreLineGuid_ = guid;
  TGLayer* layer = globe_.Layers().FindByGUID(guid);
  if (!layer) throw std::runtime_error(std::string("the layer ") + name + " did not reach the globe");
  return layer;
}

void SceneLayers::RebuildCentreLine(const EclipseRecord& record, double deltaT, bool backView) {
  if (!database_) return;
  database_->ResetCaches();
  if (!centreLineGuid_.isNull()) {
    database_->DeleteLayer(centreLineGuid_);
    centreLineGuid_ = QUuid();
  }
  TGLayer& layer = *Layer(kCentreLineLayer);
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = kCentreLinePresenter;
  road->RoadPen.SetColor(backView ? kNightCentreLine : clYellow);
  road->EdgeColor = backView ? kLightEdge : kDarkEdge;
  road->RoadPen.SetWidth(kCentreLinePixels);
  road->RoadPen.SetWidthUnit(guPixel);
  road->EdgePixels = kEdgePixels;
  layer.Presenters().Add(std::move(road));
  const std::vector<CentreLinePoint> points = BuildCentreLine(record, deltaT, backView);
  if (!points.empty()) {
    std::vector<TGGlobePoint> chain;
    chain.reserve(points.size());
    for (const CentreLinePoint& p : points) chain.push_back({p.longitudeUnits, p.latitudeUnits, 0});
    AddPolyline(layer, kCentreLinePresenter, std::move(chain));
  }
  // The centre line came back as the newest layer; the limits and the marks stay drawn over it.
  for (const char* name : {kPathLimitsLayer, kCapitalsLayer, kPoILayer, kPoIListLayer}) {
    if (TGLayer* layer = Find(name)) {
      TGLayerStore& store = globe_.Layers();
      store.Add(store.Extract(*layer));
    }
  }
  globe_.RequestRender();
}

void SceneLayers::RebuildPathLimits(const EclipseRecord& record, double deltaT, bool backView,
                                    bool shown) {
  if (!database_) return;
  TGLayer& layer = *Layer(kPathLimitsLayer);
  layer.Clear();
  layer.Presenters().Add(std::make_unique<EdgedLinePresenter>(
      kUmbralLimitPresenter,
      TGPen(backView ? kNightUmbralLimit : clYellow, gpsSolid, kUmbralLimitPixels, guPixel),
      backView ? kLightEdge : kDarkEdge));
  layer.Presenters().Add(std::make_unique<EdgedLinePresenter>(
      kOuterLimitPresenter, TGPen(kOuterLimit, gpsDash, 1, guPixel), kDarkEdge));
  if (shown) {
    for (const LimitCurve& curve : ComputePathLimits(record, deltaT)) {
      if (curve.points.size() < 2) continue;
      const bool central =
          curve.kind == LimitKind::kUmbralNorth || curve.kind == LimitKind::kUmbralSouth;
      std::vector<TGGlobePoint> chain;
      chain.reserve(curve.points.size());
      for (const GeoPoint& p : curve.points)
        chain.push_back({DegreesToGU(p.longitude), DegreesToGU(p.latitude), 0});
      AddPolyline(layer, central ? kUmbralLimitPresenter : kOuterLimitPresenter, std::move(chain));
    }
  }
  globe_.RequestRender();
}

void SceneLayers::RebuildDeltaTBand(const EclipseRecord& record,
                                    std::optional<std::pair<double, double>> range) {
  if (!database_) return;
  TGLayer& layer = *Layer(kDeltaTBandLayer);
  layer.Clear();
  auto fill = std::make_unique<TGPolygonPresenter>();
  fill->PresenterID = kDeltaTBandPresenter;
  fill->PolyPen = TGPen(kDeltaTBand, gpsClear, 1, guPixel);
  fill->PolyBrush = TGBrush(kDeltaTBand, kDeltaTBand, gbsSolid);
  fill->AlphaBlend = kDeltaTBandAlpha;
  layer.Presenters().Add(std::move(fill));
  if (range) {
    for (const GeoPolygon& polygon : CentralBand(record, range->first, range->second)) {
      auto area = std::make_shared<TGMapPoly>();
      area->SetClosed(true);
      area->SetPresenterID(kDeltaTBandPresenter);
      layer.ObjectSource().Add(area);
      area->NotifyOwner();
      for (std::size_t k = 0; k < polygon.size(); ++k) {
        std::vector<TGGlobePoint> chain;
        chain.reserve(polygon[k].size());
        for (const GeoPoint& p : polygon[k]) {
          chain.push_back({DegreesToGU(p.longitude), DegreesToGU(p.latitude), 0});
        }
        area->Chain(static_cast<int>(k)).Points = std::move(chain);
      }
      area->Invalidate();
    }
  }
  // Under everything else.
  TGLayerStore& store = globe_.Layers();
  for (const char* name :
       {kCentreLineLayer, kPathLimitsLayer, kCapitalsLayer, kPoILayer, kPoIListLayer}) {
    if (TGLayer* other = Find(name)) store.Add(store.Extract(*other));
  }
  globe_.RequestRender();
}

void SceneLayers::RebuildCapitals() {
  if (!database_) return;
  TGLayer& layer = *Layer(kCapitalsLayer);
  layer.Clear();
  layer.Presenters().Add(CapitalsPresenter());
  std::vector<MapMark> marks;
  marks.reserve(Capitals().size());
  for (const City_Type& city : Capitals()) marks.push_back({city.capital, city.latitude, city.longitude});
  AddPoints(layer, kCapitalsPresenter, marks);
  globe_.RequestRender();
}

void SceneLayers::ClearCapitals() {
  if (TGLayer* layer = Find(kCapitalsLayer)) layer->Clear();
  globe_.RequestRender();
}

void SceneLayers::RebuildPoI(double latitude, double longitude) {
  if (!database_) return;
  TGLayer& layer = *Layer(kPoILayer);
  layer.Clear();
  layer.Presenters().Add(PoIPresenter(kPoIPresenter));
  AddPoints(layer, kPoIPresenter, {{"PoI", latitude, longitude}});
  globe_.RequestRender();
}

void SceneLayers::ClearPoI() {
  if (TGLayer* layer = Find(kPoILayer)) layer->Clear();
  globe_.RequestRender();
}

void SceneLayers::RebuildPoIList(const std::vector<MapMark>& marks) {
  if (!database_) return;
  TGLayer& layer = *Layer(kPoIListLayer);
  layer.Clear();
  layer.Presenters().Add(PoIPresenter(kPoIListPresenter));
  AddPoints(layer, kPoIListPresenter, marks);
  globe_.RequestRender();
}

void SceneLayers::AddPolyline(TGLayer& layer, int presenterId, std::vector<TGGlobePoint> points) {
  auto line = std::make_shared<TGMapPoly>();
  line->SetClosed(false);
  line->SetPresenterID(presenterId);
  layer.ObjectSource().Add(line);
  line->NotifyOwner();
  line->Chain(0).Points = std::move(points);
  line->Invalidate();
}

void SceneLayers::AddPoints(TGLayer& layer, int presenterId, const std::vector<MapMark>& marks) {
  for (const MapMark& mark : marks) {
    auto point = std::make_shared<TGMapPoint>();
    point->SetPresenterID(presenterId);
    point->SetColumn(0, mark.title);
    point->SetCentroid({DegreesToGU(mark.longitude), DegreesToGU(mark.latitude), 0});
    point->Invalidate();
    layer.ObjectSource().Add(point);
  }
}

}  // namespace umbrivista
