// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "map_view.h"

#include <strings.h>
#include <QPainter>
#include <QPoint>
#include <cmath>

#include "angles.h"
#include "gcustomglobe.h"
#include "gunits.h"
#include "overlay.h"

namespace umbrivista {

namespace {

// The axis point: a dark red dot with a black rim.
constexpr int kAxisDotRadius = 5;

bool MapPixel(const TGProjector& projector, double latitudeRad, double longitudeRad, QPoint& at) {
  const TGGlobePoint point{DegreesToGU(longitudeRad / kDegToRad),
                           DegreesToGU(latitudeRad / kDegToRad), 0};
  return projector.LLToXY(point, at);
}

}  // namespace

const char* MapProjectionClass(MapProjection projection) {
  return projection == MapProjection::kFlat ? "TGCartesianPrj" : "TGMercatorPrj";
}

std::optional<MapProjection> ParseMapProjection(std::string_view text) {
  const std::string s(text);
  if (!strcasecmp(s.c_str(), "mercator")) return MapProjection::kMercator;
  if (!strcasecmp(s.c_str(), "flat")) return MapProjection::kFlat;
  return std::nullopt;
}

double MapCentralMeridian(const ShadowState& stateAtT0) {
  const double lon = SubSolarPoint(stateAtT0).longitude / kDegToRad;
  if (!std::isfinite(lon)) return 0;
  const double whole = std::round(lon);
  return whole >= 180 ? whole - 360 : whole < -180 ? whole + 360 : whole;
}

void ShowMap(TGCustomGlobeView& globe, MapProjection projection, double centralMeridian) {
  TGProjector& projector = globe.Projector();
  // The rotations the instant sets must neither pan the map nor move its central meridian.
  projector.XAxisChanges = xaNoAction;
  projector.YAxisChanges = yaNoAction;
  projector.SetProjectionClass(MapProjectionClass(projection));
  projector.SetZRotation(0);
  projector.SetByIndex(piCentralMeridian, centralMeridian);
  FitMap(globe);
}

void FitMap(TGCustomGlobeView& globe) {
  TGProjector& projector = globe.Projector();
  const TGExtent e = projector.ModelExtent();
  const int w = globe.Renderer().SurfaceWidth(), h = globe.Renderer().SurfaceHeight();
  const long double ew = static_cast<long double>(e.Right) - e.Left;
  const long double eh = static_cast<long double>(e.Bottom) - e.Top;
  if (w <= 0 || h <= 0 || ew <= 0 || eh <= 0) return;
  projector.SetScaleFactor(std::min(w / ew, h / eh));
  projector.SetXYOrigin(QPoint(w / 2, h / 2));
}

void ShowGlobe(TGCustomGlobeView& globe) {
  TGProjector& projector = globe.Projector();
  projector.SetProjectionClass("TGSphericalPrj");
  projector.XAxisChanges = xaYOrigin;
  projector.YAxisChanges = yaCentralMeridian;
}

bool ShowsMap(TGCustomGlobeView& globe) {
  return !globe.Projector().IsSeamless();
}

void DrawMapOverlay(QPainter& painter, const TGProjector& projector, const MapOverlayInput& in) {
  QPoint at;
  if (in.instant.onEarth &&
      MapPixel(projector, in.instant.point.latitude, in.instant.point.longitude, at)) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(QColor(0xC0, 0, 0));
    painter.drawEllipse(at, kAxisDotRadius, kAxisDotRadius);
    painter.restore();
  }
  if (in.showSubSolar && MapPixel(projector, in.subSolar.latitude, in.subSolar.longitude, at))
    DrawSubSolarMarker(painter, at.x(), at.y(), in.language);
  if (in.showPoI &&
      MapPixel(projector, in.poiLatitude * kDegToRad, in.poiLongitude * kDegToRad, at))
    DrawPoIRing(painter, at.x(), at.y());
}

}  // namespace umbrivista
