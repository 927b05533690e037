// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The orthographic globe model.
//
// A geographic point (λ, φ in globe units, height h) becomes the sphere vector
// X = r·cos φ·sin λ, Y = r·sin φ, Z = r·cos φ·cos λ with r = sphere radius + h (X east at 90°,
// Y north, Z at longitude 0). The forward matrix, scaled to pixels, turns it into screen
// coordinates relative to the origin: x right, y down, z < 0 towards the viewer. The view looks at
// latitude XRotation, longitude YRotation, north up, turned clockwise on screen by ZRotation.

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <exception>

#include "angles.h"
#include "gbitmap.h"
#include "gprojector.h"
#include "grenderer.h"

namespace umbrivista {

namespace {

// A point counts as facing the viewer when z lies below this fraction of the disc radius, so that
// points on the limb itself stay hidden despite rounding in the rotation.
constexpr double kLimbTolerance = 1e-8;

// Sine and cosine of an angle in globe units; the one computation behind the caches and the
// kept sphere positions, so that both give the same point.
void SinCosOf(std::int32_t gu, double& s, double& c) {
  const double a = gu * kRadiansPerGlobeUnit;
  s = std::sin(a);
  c = std::cos(a);
}

}  // namespace

TGSphericalPrj::TGSphericalPrj(TGProjector& projector) : TGProjectionModel(projector) {
  RebuildMatrices();
}

std::unique_ptr<TGCustomProjectionModel> TGSphericalPrj::Clone(TGProjector& owner) const {
  return std::make_unique<TGSphericalPrj>(owner);
}

void TGSphericalPrj::RebuildMatrices() {
  const double a = static_cast<double>(prj_.ZRotation()) * kPi / 180 / 2;
  const double b = (kPi - static_cast<double>(prj_.XRotation()) * kPi / 180) / 2;
  const double c = static_cast<double>(prj_.YRotation()) * kPi / 180 / 2;
  const double e = std::sin(b) * std::cos(c), f = std::cos(b) * std::sin(c);
  const double g = std::cos(b) * std::cos(c), k = std::sin(b) * std::sin(c);
  const double qx = std::cos(a) * e - std::sin(a) * f;
  const double qy = std::sin(a) * e + std::cos(a) * f;
  const double qz = std::sin(a) * g - std::cos(a) * k;
  const double qw = std::cos(a) * g + std::sin(a) * k;
  const double m[3][3] = {
      {1 - 2 * (qy * qy + qz * qz), 2 * qx * qy + 2 * qz * qw, 2 * qx * qz - 2 * qy * qw},
      {2 * qx * qy - 2 * qz * qw, 1 - 2 * (qz * qz + qx * qx), 2 * qy * qz + 2 * qx * qw},
      {2 * qx * qz + 2 * qy * qw, 2 * qy * qz - 2 * qx * qw, 1 - 2 * (qx * qx + qy * qy)},
  };
  const double scale = static_cast<double>(prj_.ScaleFactor());
  const double inverseScale = scale > 0 ? 1 / scale : 0;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      const double fwd = (i < 3 && j < 3) ? m[i][j] : (i == j ? 1.0 : 0.0);
      const double inv = (i < 3 && j < 3) ? m[j][i] : (i == j ? 1.0 : 0.0);
      forward_[i][j] = fwd * scale;
      inverse_[i][j] = inv * inverseScale;
    }
  }
  radius_ = scale * kGlobeSphereRadius;
  radius2_ = radius_ * radius_;
}

void TGSphericalPrj::PropertyChanged(int index) {
  switch (index) {
    case piXRotation:
      prj_.SetByIndex(piXRotation, std::clamp<TGDecimalDegree>(prj_.XRotation(), -90, 90));
      break;
    case piYRotation:
      prj_.SetByIndex(piYRotation, NormalizeDegree(prj_.YRotation()));
      break;
    case piZRotation:
      prj_.SetByIndex(piZRotation, NormalizeDegree(prj_.ZRotation()));
      break;
    case piScaleFactor:
      break;
    default:
      return;
  }
  RebuildMatrices();
}

TGSphericalPrj::SinCosCache::SinCosCache() : entries(new Entry[kSize]) {
  for (int i = 0; i < kSize; ++i) entries[i] = {0, 0.0, 1.0};
}

void TGSphericalPrj::SinCosCache::Get(std::int32_t gu, double& s, double& c) {
  std::uint32_t h = static_cast<std::uint32_t>(gu);
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  Entry& e = entries[h & (kSize - 1)];
  if (e.key != gu) {
    e.key = gu;
    SinCosOf(gu, e.sine, e.cosine);
  }
  s = e.sine;
  c = e.cosine;
}

void TGSphericalPrj::SpherePoint(const TGGlobePoint& point, double sinLon, double cosLon,
                                 double sinLat, double cosLat, double& px, double& py, double& pz) {
  const double r = kGlobeSphereRadius + point.Height;
  px = r * cosLat * sinLon;
  py = r * sinLat;
  pz = r * cosLat * cosLon;
}

void TGSphericalPrj::RotateSphere(double px, double py, double pz, double& x, double& y,
                                  double& z) const {
  x = forward_[0][0] * px + forward_[0][1] * py + forward_[0][2] * pz;
  y = forward_[1][0] * px + forward_[1][1] * py + forward_[1][2] * pz;
  z = forward_[2][0] * px + forward_[2][1] * py + forward_[2][2] * pz;
}

void TGSphericalPrj::Rotate(const TGGlobePoint& point, double& x, double& y, double& z) const {
  double sinLon, cosLon, sinLat, cosLat;
  lonCache_.Get(point.Longitude, sinLon, cosLon);
  latCache_.Get(point.Latitude, sinLat, cosLat);
  double px, py, pz;
  SpherePoint(point, sinLon, cosLon, sinLat, cosLat, px, py, pz);
  RotateSphere(px, py, pz, x, y, z);
}

void TGSphericalPrj::RotateUnit(const double (&v)[3], double& x, double& y, double& z) const {
  RotateSphere(kGlobeSphereRadius * v[0], kGlobeSphereRadius * v[1], kGlobeSphereRadius * v[2], x,
               y, z);
}

bool TGSphericalPrj::FacesViewer(double z) const {
  return z < -kLimbTolerance * radius_;
}

bool TGSphericalPrj::PointLLToXY(const TGGlobePoint& point, int index) {
  double x, y, z;
  Rotate(point, x, y, z);
  return PlaceRotated(point, x, y, z, index);
}

bool TGSphericalPrj::CachedPointLLToXY(const TGGlobePoint& point, TGSpherePosition& kept,
                                       int index) {
  if (!kept.valid || kept.point != point) {
    double sinLon, cosLon, sinLat, cosLat;
    SinCosOf(point.Longitude, sinLon, cosLon);
    SinCosOf(point.Latitude, sinLat, cosLat);
    SpherePoint(point, sinLon, cosLon, sinLat, cosLat, kept.x, kept.y, kept.z);
    kept.point = point;
    kept.valid = true;
  }
  double x, y, z;
  RotateSphere(kept.x, kept.y, kept.z, x, y, z);
  return PlaceRotated(point, x, y, z, index);
}

bool TGSphericalPrj::PlaceRotated(const TGGlobePoint& point, double x, double y, double z,
                                  int index) {
  bool visible = FacesViewer(z);
  if (!visible && point.Height > 0 && std::hypot(x, y) > radius_) visible = true;
  prj_.Points()[index] =
      QPoint(AddOrigin(RoundToInt(x), prj_.XOrigin()), AddOrigin(RoundToInt(y), prj_.YOrigin()));
  return visible;
}

int TGSphericalPrj::PointStoreToXY(std::span<const TGGlobePoint> points, int) {
  QPoint* out = prj_.Points();
  int n = 0;
  std::int32_t lastX = kGU180, lastY = kGU180;
  for (const auto& p : points) {
    if (n >= TGRenderer::kPointBufferSize) break;
    double x, y, z;
    Rotate(p, x, y, z);
    if (z > 0) {
      // Far side: onto the limb circle, so that outlines follow the horizon.
      const double h = std::hypot(x, y);
      if (h > 0) {
        x *= radius_ / h;
        y *= radius_ / h;
      } else {
        x = radius_;
        y = 0;
      }
    }
    const std::int32_t px = RoundToInt(x), py = RoundToInt(y);
    if (px == lastX && py == lastY) continue;
    lastX = px;
    lastY = py;
    out[n++] = QPoint(AddOrigin(px, prj_.XOrigin()), AddOrigin(py, prj_.YOrigin()));
  }
  return n;
}

bool TGSphericalPrj::XYToLLIndex(int x, int y, int index) {
  const double dx = static_cast<double>(x) - prj_.XOrigin();
  const double dy = static_cast<double>(y) - prj_.YOrigin();
  const double c = radius2_ - dx * dx - dy * dy;
  if (!(c >= 0)) return false;
  const double dz = -std::sqrt(c);
  const double px = inverse_[0][0] * dx + inverse_[0][1] * dy + inverse_[0][2] * dz;
  const double py = inverse_[1][0] * dx + inverse_[1][1] * dy + inverse_[1][2] * dz;
  const double pz = inverse_[2][0] * dx + inverse_[2][1] * dy + inverse_[2][2] * dz;
  const double lat = std::asin(std::clamp(py / kGlobeSphereRadius, -1.0, 1.0));
  const double lon = std::atan2(px, pz);
  prj_.Points()[index] =
      QPoint(RoundToInt(lon * kGlobeUnitsPerRadian), RoundToInt(lat * kGlobeUnitsPerRadian));
  return true;
}

bool TGSphericalPrj::XYOnMap(int x, int y) {
  const double dx = static_cast<double>(x) - prj_.XOrigin();
  const double dy = static_cast<double>(y) - prj_.YOrigin();
  return radius2_ - dx * dx - dy * dy >= 0;
}

TGMER TGSphericalPrj::PixelsMER(std::span<const QPoint> pixels, int& onMap) {
  // Longitude and latitude exactly as XYToLLIndex and XYToLL give them.
  auto longitude = [](double px, double pz) {
    return NormalizeLongitudeGU(RoundToInt(std::atan2(px, pz) * kGlobeUnitsPerRadian));
  };
  auto latitude = [](double py) {
    return RoundToInt(std::asin(std::clamp(py / kGlobeSphereRadius, -1.0, 1.0)) *
                      kGlobeUnitsPerRadian);
  };
  // Pseudo-angle of (px, pz): in [−2, 2], growing with atan2(px, pz) over (−π, π].
  auto pseudo = [](double px, double pz) {
    const double s = std::fabs(px) + std::fabs(pz);
    if (s == 0) return 0.0;
    const double q = 1 - pz / s;
    return px >= 0 ? q : -q;
  };
  // Pixels this close to 0° from below, or to −180°, may round to the other side; they are
  // converted one by one.
  constexpr double kBand = 1e-6;
  TGLongitudeExtremes e;
  bool any = false;
  double minPy = 0, maxPy = 0;
  double minQ = 0, maxQ = 0, minNonNegQ = 0, maxNegQ = 0;
  double lowest[2] = {}, highest[2] = {}, lowestNonNeg[2] = {}, highestNeg[2] = {};
  bool haveRegular = false, haveNonNegQ = false, haveNegQ = false;
  auto fold = [&](std::int32_t lon) {
    if (!any) {
      e.minLon = e.maxLon = lon;
      any = true;
    }
    e.minLon = std::min(e.minLon, lon);
    e.maxLon = std::max(e.maxLon, lon);
    if (lon >= 0) {
      e.minNonNegative = e.haveNonNegative ? std::min(e.minNonNegative, lon) : lon;
      e.haveNonNegative = true;
    } else {
      e.maxNegative = e.haveNegative ? std::max(e.maxNegative, lon) : lon;
      e.haveNegative = true;
    }
  };
  onMap = 0;
  for (const QPoint& pixel : pixels) {
    const double dx = static_cast<double>(pixel.x()) - prj_.XOrigin();
    const double dy = static_cast<double>(pixel.y()) - prj_.YOrigin();
    const double c = radius2_ - dx * dx - dy * dy;
    if (!(c >= 0)) continue;
    const double dz = -std::sqrt(c);
    const double px = inverse_[0][0] * dx + inverse_[0][1] * dy + inverse_[0][2] * dz;
    const double py = inverse_[1][0] * dx + inverse_[1][1] * dy + inverse_[1][2] * dz;
    const double pz = inverse_[2][0] * dx + inverse_[2][1] * dy + inverse_[2][2] * dz;
    if (onMap++ == 0) minPy = maxPy = py;
    minPy = std::min(minPy, py);
    maxPy = std::max(maxPy, py);
    const double q = pseudo(px, pz);
    if ((q < 0 && q > -kBand) || q < -2 + kBand) {
      fold(longitude(px, pz));
      continue;
    }
    if (!haveRegular || q < minQ) {
      minQ = q;
      lowest[0] = px;
      lowest[1] = pz;
    }
    if (!haveRegular || q > maxQ) {
      maxQ = q;
      highest[0] = px;
      highest[1] = pz;
    }
    haveRegular = true;
    if (q >= 0) {
      if (!haveNonNegQ || q < minNonNegQ) {
        minNonNegQ = q;
        lowestNonNeg[0] = px;
        lowestNonNeg[1] = pz;
      }
      haveNonNegQ = true;
    } else {
      if (!haveNegQ || q > maxNegQ) {
        maxNegQ = q;
        highestNeg[0] = px;
        highestNeg[1] = pz;
      }
      haveNegQ = true;
    }
  }
  if (onMap == 0) return {};
  if (haveRegular) {
    fold(longitude(lowest[0], lowest[1]));
    fold(longitude(highest[0], highest[1]));
  }
  if (haveNonNegQ) fold(longitude(lowestNonNeg[0], lowestNonNeg[1]));
  if (haveNegQ) fold(longitude(highestNeg[0], highestNeg[1]));
  e.minLat = latitude(minPy);
  e.maxLat = latitude(maxPy);
  return ExtremesMER(e);
}

TGExtent TGSphericalPrj::ModelExtent() const {
  constexpr std::int32_t r = 309754585;
  return {-r, -r, r, r};
}

TGViewRecord TGSphericalPrj::SaveView() const {
  TGViewRecord v = SaveScaleAndOrigin();
  v.Rotation[0] = DegreesToGU(static_cast<double>(prj_.XRotation()));
  v.Rotation[1] = DegreesToGU(static_cast<double>(prj_.YRotation()));
  v.Rotation[2] = DegreesToGU(static_cast<double>(prj_.ZRotation()));
  return v;
}

void TGSphericalPrj::RestoreView(const TGViewRecord& view) {
  try {
    RestoreScaleAndOrigin(view);
    for (int i = 0; i < 3; ++i)
      prj_.SetByIndex(i, view.Rotation[i] / static_cast<long double>(kGUPerDegree));
  } catch (const std::exception& e) {
    // A view that cannot be restored leaves the one in place.
    qWarning("globe: cannot restore the saved view: %s", e.what());
  } catch (...) {
    qWarning("globe: cannot restore the saved view");
  }
}

void TGSphericalPrj::PaintSurfaceShape() {
  constexpr int kCount = 180;
  constexpr double kStep = 0.034906585039886591535;  // 2°
  const double cs = std::cos(kStep), sn = std::sin(kStep);
  const double radius = radius_ - 1;
  double vx = radius - 1, vy = 0;
  QPoint* out = prj_.Points();
  for (int i = 0; i < kCount; ++i) {
    out[i] = QPoint(AddOrigin(RoundToInt(vx), prj_.XOrigin()),
                    AddOrigin(RoundToInt(vy), prj_.YOrigin()));
    const double nx = vx * cs - vy * sn;
    vy = vx * sn + vy * cs;
    vx = nx;
  }
  prj_.Renderer().PolygonFromPoints(kCount);
}

}  // namespace umbrivista
