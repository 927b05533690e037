// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gprojector.h"

#include <strings.h>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "angles.h"
#include "gglobecontext.h"
#include "grenderer.h"

namespace umbrivista {

namespace {

constexpr long double kMinScale = 5e-8L;
constexpr long double kMaxScale = 1.0L;
constexpr long double kMaxGlobeSpan = 2147483647.0L;

bool ValidRealIndex(int index) {
  return (index >= piXRotation && index <= piZRotation) ||
         (index >= piCentralMeridian && index <= piSecondParallel) ||
         (index >= piMaxLatitude && index <= piMinZoom);
}

}  // namespace

std::unique_ptr<TGCustomProjectionModel> CreateProjectionModel(const std::string& className,
                                                               TGProjector& projector) {
  if (!strcasecmp(className.c_str(), "TGSphericalPrj"))
    return std::make_unique<TGSphericalPrj>(projector);
  if (!strcasecmp(className.c_str(), "TGCartesianPrj"))
    return std::make_unique<TGCartesianPrj>(projector);
  if (!strcasecmp(className.c_str(), "TGMercatorPrj"))
    return std::make_unique<TGMercatorPrj>(projector);
  return nullptr;
}

TGProjector::TGProjector(TGProjectorHost* host) : host_(host) {
  if (!host) throw std::invalid_argument("TGProjector.Create passed nil Globe parameter");
  values_[piXRotation] = 23.5L;
  values_[piMaxLatitude] = 90;
  values_[piMinLatitude] = -90;
  values_[piMaxLongitude] = 180;
  values_[piMinLongitude] = -180;
  xOrigin_ = SurfaceWidth() / 2;
  yOrigin_ = SurfaceHeight() / 2;
  scaleFactor_ = std::min(SurfaceHeight(), SurfaceWidth()) / 972000000.0L;
  model_ = std::make_unique<TGSphericalPrj>(*this);
  for (int i = piXRotation; i <= piMinZoom; ++i) model_->PropertyChanged(i);
}

TGProjector::~TGProjector() = default;

TGRenderer& TGProjector::Renderer() const {
  return host_->Renderer();
}
QPoint* TGProjector::Points() const {
  return host_->Renderer().Points();
}
int TGProjector::SurfaceWidth() const {
  return host_->Renderer().SurfaceWidth();
}
int TGProjector::SurfaceHeight() const {
  return host_->Renderer().SurfaceHeight();
}

TGDecimalDegree TGProjector::GetByIndex(int index) const {
  if (index == piScaleFactor) return scaleFactor_;
  if (index == piXOrigin) return xOrigin_;
  if (index == piYOrigin) return yOrigin_;
  return ValidRealIndex(index) ? values_[index] : 0;
}

void TGProjector::SetByIndex(int index, TGDecimalDegree value) {
  if (!ValidRealIndex(index) || !std::isfinite(value)) return;
  if (value == values_[index]) return;
  switch (index) {
    case piXRotation:
    case piZRotation:
      values_[index] = value;
      host_->NotifyRotated();
      break;
    case piYRotation:
      values_[index] = NormalizeDegree(value);
      host_->NotifyRotated();
      break;
    case piMaxLatitude:
      values_[index] = std::min<TGDecimalDegree>(90, value);
      break;
    case piMinLatitude:
      values_[index] = std::max<TGDecimalDegree>(-90, value);
      break;
    case piMaxLongitude:
      values_[index] = std::min<TGDecimalDegree>(180, value);
      break;
    case piMinLongitude:
      values_[index] = std::max<TGDecimalDegree>(-180, value);
      break;
    case piMaxZoom:
      values_[index] = std::min<TGDecimalDegree>(kMaxScale, value);
      break;
    case piMinZoom:
      values_[index] = std::max<TGDecimalDegree>(kMinScale, value);
      break;
    default:
      values_[index] = value;
      break;
  }
  model_->PropertyChanged(index);
  host_->RequestRender();
}

void TGProjector::SetIntByIndex(int index, std::int32_t value) {
  if (index == piXOrigin) {
    if (value == xOrigin_) return;
    xOrigin_ = value;
    host_->NotifyPanned();
  } else if (index == piYOrigin) {
    if (value == yOrigin_) return;
    yOrigin_ = value;
    host_->NotifyPanned();
  }
  model_->PropertyChanged(index);
  host_->RequestRender();
}

void TGProjector::SetXYOrigin(QPoint origin) {
  if (origin.x() == xOrigin_ && origin.y() == yOrigin_) return;
  xOrigin_ = origin.x();
  yOrigin_ = origin.y();
  host_->RequestRender();
}

void TGProjector::SetScaleFactor(long double value) {
  if (std::isnan(value) || value < 0 || std::fabs(value - scaleFactor_) <= 1e-10L) return;
  if (MaxZoom() > MinZoom()) value = std::clamp(value, MinZoom(), MaxZoom());
  const int w = SurfaceWidth(), h = SurfaceHeight();
  if (value == 0) {
    SetXYOrigin(QPoint(RoundToInt(w / 2.0), RoundToInt(h / 2.0)));
    const TGExtent e = ModelExtent();
    const long double ew = static_cast<long double>(e.Right) - e.Left;
    const long double eh = static_cast<long double>(e.Bottom) - e.Top;
    value = std::min(h / eh, w / ew);
    if (value == 0) value = 1;
  }
  const QPoint centre(w / 2, h / 2);
  if (scaleFactor_ > 0 && std::isfinite(scaleFactor_)) {
    ZoomAbout(centre, value / scaleFactor_);
  } else {
    // No usable scale to take a ratio of: set the new one directly.
    long double p = std::clamp(value, kMinScale, kMaxScale);
    const long double span = std::max(w, h);
    if (span / p > kMaxGlobeSpan) p = span / kMaxGlobeSpan;
    ApplyZoom(centre, p);
  }
}

void TGProjector::ZoomAbout(QPoint fixed, long double ratio) {
  if (!std::isfinite(ratio)) return;
  long double p = scaleFactor_ * ratio;
  if (p > kMaxScale) p = kMaxScale;
  if (p < kMinScale) p = kMinScale;
  const long double span = std::max(SurfaceWidth(), SurfaceHeight());
  if (span / p > kMaxGlobeSpan) p = span / kMaxGlobeSpan;
  if (ratio == 0) return;
  ApplyZoom(fixed, p);
}

void TGProjector::ApplyZoom(QPoint fixed, long double p) {
  if (scaleFactor_ > 0) {
    SetIntByIndex(
        piXOrigin,
        RoundToInt(static_cast<double>((xOrigin_ - fixed.x()) / scaleFactor_ * p + fixed.x())));
    SetIntByIndex(
        piYOrigin,
        RoundToInt(static_cast<double>((yOrigin_ - fixed.y()) / scaleFactor_ * p + fixed.y())));
  }
  const int w = SurfaceWidth(), h = SurfaceHeight();
  viewDistance_ = RoundToInt(static_cast<double>(
      w / p / std::tan(FieldOfViewAngle * static_cast<long double>(kDegToRad))));
  host_->SetViewRect(RoundToInt(static_cast<double>(w / p)),
                     RoundToInt(static_cast<double>(h / p)));
  scaleFactor_ = p;
  model_->PropertyChanged(piScaleFactor);
  host_->RequestRender();
  host_->NotifyZoomed();
}

bool TGProjector::XYToLL(int x, int y, TGGlobePoint& out) const {
  if (model_->XYToLLIndex(x, y, 0)) {
    const QPoint p = Points()[0];
    out = {NormalizeLongitudeGU(p.x()), p.y(), 0};
    return true;
  }
  out = kNoPoint;
  return false;
}

bool TGProjector::LLToXY(const TGGlobePoint& point, QPoint& out) const {
  const bool visible = model_->PointLLToXY(point, 0);
  out = Points()[0];
  return visible;
}

bool TGProjector::TriangleToXY(const TGGlobePoint (&points)[3], QPoint (&out)[3]) const {
  for (int i = 0; i < 3; ++i) {
    if (!model_->PointLLToXY(points[i], i)) return false;
  }
  for (int i = 0; i < 3; ++i) out[i] = Points()[i];
  return true;
}

double TGProjector::CenterLatitude() const {
  TGGlobePoint p;
  if (!XYToLL(SurfaceWidth() / 2, SurfaceHeight() / 2, p)) return 2147483647.0;
  return p.Latitude / double{kGUPerDegree};
}

double TGProjector::CenterLongitude() const {
  TGGlobePoint p;
  if (!XYToLL(SurfaceWidth() / 2, SurfaceHeight() / 2, p)) return 2147483647.0;
  return p.Longitude / double{kGUPerDegree};
}

void TGProjector::SetCenterLongitude(TGDecimalDegree longitude) {
  SetIntByIndex(piXOrigin, SurfaceWidth() / 2);
  SetByIndex(piYRotation, longitude);
}

void TGProjector::SetCenterLatitude(TGDecimalDegree latitude) {
  SetIntByIndex(piYOrigin, SurfaceHeight() / 2);
  TGGlobePoint centre;
  if (!XYToLL(xOrigin_, yOrigin_, centre)) return;
  SetByIndex(piXRotation,
             XRotation() - (centre.Latitude / static_cast<long double>(kGUPerDegree) - latitude));
}

void TGProjector::SetProjectionClass(const std::string& name) {
  if (!strcasecmp(name.c_str(), model_->ClassName())) return;
  auto model = CreateProjectionModel(name.empty() ? "TGSphericalPrj" : name, *this);
  if (!model)
    throw std::invalid_argument("Class " + name + " does not inherit from TProjectionModel");
  TGGlobePoint centre;
  const bool remembered = XYToLL(SurfaceWidth() / 2, SurfaceHeight() / 2, centre);
  model_ = std::move(model);
  values_[piCentralMeridian] = 0;
  for (int i = piXRotation; i <= piMinZoom; ++i) model_->PropertyChanged(i);
  if (remembered) {
    SetXYOrigin(QPoint(SurfaceWidth() / 2, SurfaceHeight() / 2));
    SetCenterLongitude(centre.Longitude / static_cast<long double>(kGUPerDegree));
    SetCenterLatitude(centre.Latitude / static_cast<long double>(kGUPerDegree));
    // A flat map follows the rotations only where they change (and as its axis settings say):
    // the origin is moved so that the point lies under the client centre all the same.
    const QPoint middle(SurfaceWidth() / 2, SurfaceHeight() / 2);
    QPoint at;
    if (LLToXY(centre, at) && at != middle)
      SetXYOrigin(QPoint(xOrigin_ + middle.x() - at.x(), yOrigin_ + middle.y() - at.y()));
  }
  host_->RequestRender();
  if (useMinMaxLimits_ && strcasecmp(model_->ClassName(), "TGCartesianPrj") != 0)
    useMinMaxLimits_ = false;
}

void TGProjector::SetUseMinMaxLimits(bool on) {
  useMinMaxLimits_ = on;
  if (!on) return;
  YAxisChanges = yaXOrigin;
  XAxisChanges = xaYOrigin;
  SetByIndex(piCentralMeridian, 0);
  SetByIndex(piCentralParallel, 0);
  SetProjectionClass("TGCartesianPrj");
}

// ---------------------------------------------------------------------------------------------
// Shared model operations

TGMER TGCustomProjectionModel::PixelsMER(std::span<const QPoint> pixels, int& onMap) {
  std::vector<TGGlobePoint> points;
  points.reserve(pixels.size());
  for (const QPoint& p : pixels) {
    if (!XYToLLIndex(p.x(), p.y(), 0)) continue;
    const QPoint g = prj_.Points()[0];
    points.push_back({NormalizeLongitudeGU(g.x()), g.y(), 0});
  }
  onMap = static_cast<int>(points.size());
  return PointListMER(points);
}

int TGProjectionModel::PointStoreToXY(std::span<const TGGlobePoint> points, int firstIndex) {
  int next = std::max(firstIndex, 0);
  for (const auto& p : points) {
    if (next >= TGRenderer::kPointBufferSize) break;
    if (PointLLToXY(p, next)) ++next;
  }
  return next;
}

TGViewRecord TGProjectionModel::SaveScaleAndOrigin() const {
  TGViewRecord v;
  v.ScaleFactor = prj_.ScaleFactor();
  v.XOrigin = prj_.XOrigin();
  v.YOrigin = prj_.YOrigin();
  v.ClientWidth = prj_.Renderer().SurfaceWidth();
  v.ClientHeight = prj_.Renderer().SurfaceHeight();
  return v;
}

void TGProjectionModel::RestoreScaleAndOrigin(const TGViewRecord& view) {
  const long double saved = std::hypot<long double>(view.ClientHeight, view.ClientWidth);
  const long double f = saved > 0 ? std::hypot<long double>(prj_.Renderer().SurfaceHeight(),
                                                            prj_.Renderer().SurfaceWidth()) /
                                        saved
                                  : 1.0L;
  prj_.SetScaleFactor(f * view.ScaleFactor);
  prj_.SetXYOrigin(QPoint(RoundToInt(static_cast<double>(view.XOrigin * f)),
                          RoundToInt(static_cast<double>(view.YOrigin * f))));
}

int TGProjectionModel::RectPartVisible(std::int64_t left, std::int64_t right, std::int32_t top,
                                       std::int32_t bottom, bool& partly) {
  constexpr std::int64_t kStep = 27000000;  // 5°
  int n = 0, visible = 0;
  auto sample = [&](std::int64_t lon, std::int64_t lat) {
    if (n >= TGRenderer::kPointBufferSize) return;
    const std::int32_t l = SaturateToInt32(lon);
    const std::int32_t b = SaturateToInt32(lat);
    if (LLToXYIndex(l, b, n)) ++visible;
    ++n;
  };
  sample(left, top);
  sample(right, top);
  sample(right, bottom);
  sample(left, bottom);
  for (std::int64_t x = left + kStep; x < right; x += kStep) sample(x, top);
  for (std::int64_t x = left + kStep; x < right; x += kStep) sample(x, bottom);
  for (std::int64_t y = static_cast<std::int64_t>(top) + kStep; y < bottom; y += kStep)
    sample(left, y);
  for (std::int64_t y = static_cast<std::int64_t>(top) + kStep; y < bottom; y += kStep)
    sample(right, y);
  if (visible == 0) return 0;
  if (!prj_.Renderer().PointsVisible(prj_.Points(), n)) return 0;
  partly = visible < n;
  return 1;
}

bool TGProjectionModel::RectVisible(const TGMER& rect, unsigned& flags) {
  flags &= ~(kRectVisibleFlag | kRectPartlyVisibleFlag);
  try {
    if (rect.Width >= kGU360) {
      flags |= kRectVisibleFlag;
      return true;
    }
    const std::int64_t left = rect.Left;
    const std::int64_t right = left + rect.Width;
    const std::int32_t top = rect.Top;
    const auto bottom = static_cast<std::int32_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(rect.Top) + rect.Height, INT32_MAX));
    bool partly = false;
    bool visible;
    if (rect.Width <= kGU180 && right <= kGU180) {
      visible = RectPartVisible(left, right, top, bottom, partly);
    } else {
      visible = RectPartVisible(left, kGU180, top, bottom, partly) ||
                RectPartVisible(-kGU180, right - kGU360, top, bottom, partly);
    }
    if (!visible) return false;
    flags |= kRectVisibleFlag;
    if (partly) flags |= kRectPartlyVisibleFlag;
    return true;
  } catch (const std::exception& e) {
    // An object whose visibility cannot be decided is drawn rather than lost.
    qWarning("globe: visibility test failed: %s", e.what());
    return true;
  }
}

}  // namespace umbrivista
