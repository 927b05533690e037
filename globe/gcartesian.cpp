// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The flat maps: x = longitude east of the central meridian, y = the latitude (plate carrée) or
// its Mercator ordinate (up), both scaled to pixels and placed at the origin.

#include <QtGlobal>
#include <algorithm>
#include <cmath>

#include "angles.h"
#include "gbitmap.h"
#include "gprojector.h"
#include "grenderer.h"

namespace umbrivista {

namespace {

// One normalisation step of a 64-bit longitude into (−180°, +180°].
std::int64_t NormalizeLongitude64(std::int64_t v) {
  if (v > kGU180) return v - kGU360;
  if (v < -(kGU180 - 1)) return v + kGU360;
  return v;
}

}  // namespace

TGCartesianPrj::TGCartesianPrj(TGProjector& projector)
    : TGProjectionModel(projector),
      previousX_(projector.XRotation()),
      previousY_(projector.YRotation()) {}

std::unique_ptr<TGCustomProjectionModel> TGCartesianPrj::Clone(TGProjector& owner) const {
  return std::make_unique<TGCartesianPrj>(owner);
}

bool TGCartesianPrj::PointLLToXY(const TGGlobePoint& point, int index) {
  const TGExtent e = ModelExtent();
  const std::int32_t limit = LatitudeLimit();
  const bool visible = e.Left <= point.Longitude && point.Longitude < e.Right &&
                       -limit <= point.Latitude && point.Latitude <= limit;
  const std::int64_t cm =
      ignoreCentralMeridian_ ? 0 : DegreesToGU(static_cast<double>(prj_.CentralMeridian()));
  const double scale = static_cast<double>(prj_.ScaleFactor());
  const std::int64_t lon = NormalizeLongitude64(point.Longitude - cm);
  const std::int64_t x = static_cast<std::int64_t>(RoundToInt(lon * scale)) + prj_.XOrigin();
  const std::int64_t y =
      prj_.YOrigin() - static_cast<std::int64_t>(RoundToInt(LatitudeToY(point.Latitude) * scale));
  prj_.Points()[index] = QPoint(SaturateToInt32(x), SaturateToInt32(y));
  return visible;
}

bool TGCartesianPrj::XYToLLIndex(int x, int y, int index) {
  const double scale = static_cast<double>(prj_.ScaleFactor());
  if (!(scale > 0)) return false;
  const double u = (static_cast<double>(x) - prj_.XOrigin()) / scale;
  const double v = -(static_cast<double>(y) - prj_.YOrigin()) / scale;
  const TGExtent e = ModelExtent();
  if (!(u >= e.Left && u <= e.Right && v >= e.Top && v <= e.Bottom)) return false;
  const double cm = static_cast<double>(prj_.CentralMeridian()) * kGUPerDegree;
  prj_.Points()[index] =
      QPoint(SaturateToInt32(NormalizeLongitude64(RoundToInt(cm + u))),
             std::clamp(RoundToInt(YToLatitude(v)), -LatitudeLimit(), LatitudeLimit()));
  return true;
}

void TGCartesianPrj::PropertyChanged(int index) {
  if (index == piYRotation) {
    if (prj_.YAxisChanges == yaXOrigin) {
      PointLLToXY({-DegreesToGU(static_cast<double>(prj_.YRotation() - previousY_)),
                   -DegreesToGU(static_cast<double>(prj_.XRotation())), 0},
                  0);
      prj_.SetXOrigin(prj_.Points()[0].x());
    } else if (prj_.YAxisChanges == yaCentralMeridian) {
      prj_.SetByIndex(piCentralMeridian,
                      NormalizeDegree(prj_.YRotation() - previousY_ + prj_.CentralMeridian()));
    }
  } else if (index == piXRotation) {
    if (prj_.XAxisChanges == xaYOrigin) {
      PointLLToXY({DegreesToGU(static_cast<double>(prj_.YRotation())),
                   -DegreesToGU(static_cast<double>(prj_.XRotation() - previousX_)), 0},
                  0);
      prj_.SetYOrigin(prj_.Points()[0].y());
    } else if (prj_.XAxisChanges == xaCentralParallel) {
      prj_.SetByIndex(piCentralParallel,
                      NormalizeDegree(prj_.XRotation() - previousX_ + prj_.CentralParallel()));
    }
  }
  previousX_ = prj_.XRotation();
  previousY_ = prj_.YRotation();
}

TGViewRecord TGCartesianPrj::SaveView() const {
  TGViewRecord v = SaveScaleAndOrigin();
  v.Rotation[0] = DegreesToGU(prj_.CenterLatitude());
  v.Rotation[1] = DegreesToGU(prj_.CenterLongitude());
  v.Rotation[2] = 0;
  return v;
}

void TGCartesianPrj::RestoreView(const TGViewRecord& view) {
  try {
    RestoreScaleAndOrigin(view);
    prj_.SetCenterLongitude(
        NormalizeDegree(view.Rotation[1] / static_cast<long double>(kGUPerDegree)));
    prj_.SetCenterLatitude(view.Rotation[0] / static_cast<long double>(kGUPerDegree));
    prj_.SetByIndex(piZRotation, 0);
  } catch (const std::exception& e) {
    // A view that cannot be restored leaves the one in place.
    qWarning("globe: cannot restore the saved view: %s", e.what());
  }
}

void TGCartesianPrj::PaintSurfaceShape() {
  constexpr std::int32_t kStep = 10 * kGUPerDegree;
  int n = 0;
  ignoreCentralMeridian_ = true;
  for (int i = 0; i < 36; ++i) PointLLToXY({-(kGU180 - 1) + i * kStep, kGU90, 0}, n++);
  for (int i = 0; i < 18; ++i) PointLLToXY({kGU180, kGU90 - i * kStep, 0}, n++);
  for (int i = 0; i < 36; ++i) PointLLToXY({kGU180 - i * kStep, -kGU90, 0}, n++);
  for (int i = 0; i < 18; ++i) PointLLToXY({-(kGU180 - 1), -kGU90 + i * kStep, 0}, n++);
  ignoreCentralMeridian_ = false;
  prj_.Renderer().PolygonFromPoints(n);
}

void TGCartesianPrj::PaintSurfaceTexture(const TGBitmap& texture) {
  if (texture.GetEmpty()) return;
  constexpr std::int64_t kCell = 10LL * kGUPerDegree;
  const double wm1 = texture.Width() - 1, hm1 = texture.Height() - 1;
  const std::int64_t cm = DegreesToGU(static_cast<double>(prj_.CentralMeridian()));
  auto u = [&](std::int64_t lon) {
    return RoundToInt(static_cast<double>(lon + kGU180) / kGU360 * wm1);
  };
  auto v = [&](std::int64_t lat) {
    return static_cast<int>(hm1) - RoundToInt(static_cast<double>(lat + kGU90) / kGU180 * hm1);
  };
  // Screen x of a longitude given relative to the central meridian.
  auto sx = [&](std::int64_t rel) {
    return SaturateToInt32(
        static_cast<std::int64_t>(RoundToInt(rel * static_cast<double>(prj_.ScaleFactor()))) +
        prj_.XOrigin());
  };
  auto sy = [&](std::int64_t lat) {
    return SaturateToInt32(
        prj_.YOrigin() -
        static_cast<std::int64_t>(RoundToInt(LatitudeToY(static_cast<std::int32_t>(lat)) *
                                             static_cast<double>(prj_.ScaleFactor()))));
  };
  auto drawPiece = [&](std::int64_t absWest, std::int64_t relWest, std::int64_t relEast,
                       std::int64_t south, std::int64_t north) {
    if (relEast <= relWest) return;
    const std::int64_t absEast = absWest + (relEast - relWest);
    const QPoint tl(sx(relWest), sy(north)), tr(sx(relEast), sy(north));
    const QPoint br(sx(relEast), sy(south)), bl(sx(relWest), sy(south));
    const QPoint ttl(u(absWest), v(north)), ttr(u(absEast), v(north));
    const QPoint tbr(u(absEast), v(south)), tbl(u(absWest), v(south));
    const QPoint s1[3] = {tl, tr, br}, t1[3] = {ttl, ttr, tbr};
    const QPoint s2[3] = {tl, br, bl}, t2[3] = {ttl, tbr, tbl};
    prj_.Renderer().TextureTriangle(t1, s1, texture);
    prj_.Renderer().TextureTriangle(t2, s2, texture);
  };
  const std::int64_t limit = LatitudeLimit(), rowHeight = TextureRowHeight();
  for (std::int64_t south = -limit; south < limit; south += rowHeight) {
    const std::int64_t north = std::min(south + rowHeight, limit);
    for (int col = 0; col < 36; ++col) {
      const std::int64_t west = -kGU180 + col * kCell;
      const std::int64_t relWest = NormalizeLongitude64(west - cm);
      const std::int64_t relEast = relWest + kCell;
      if (relEast <= kGU180) {
        drawPiece(west, relWest, relEast, south, north);
      } else {
        // The cell straddles the seam: one piece up to it, one from its other side.
        const std::int64_t cut = (kGU180 - 1) - relWest;
        drawPiece(west, relWest, kGU180 - 1, south, north);
        drawPiece(west + cut + 2, -(kGU180 - 1), relEast - kGU360, south, north);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Mercator

double TGMercatorPrj::MercatorY(double latitude) {
  const double limit = kLatitudeLimit;
  const double phi = std::clamp(latitude, -limit, limit) * kRadiansPerGlobeUnit;
  return kGlobeUnitsPerRadian * std::log(std::tan(kPi / 4 + phi / 2));
}

double TGMercatorPrj::MercatorLatitude(double y) {
  const double phi = 2 * std::atan(std::exp(y / kGlobeUnitsPerRadian)) - kPi / 2;
  const double limit = kLatitudeLimit;
  return std::clamp(phi * kGlobeUnitsPerRadian, -limit, limit);
}

TGExtent TGMercatorPrj::ModelExtent() const {
  const std::int32_t edge = RoundToInt(MercatorY(kLatitudeLimit));
  return {-(kGU180 - 1), -edge, kGU180, edge};
}

std::unique_ptr<TGCustomProjectionModel> TGMercatorPrj::Clone(TGProjector& owner) const {
  return std::make_unique<TGMercatorPrj>(owner);
}

}  // namespace umbrivista
