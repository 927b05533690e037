// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ggraticule.h"

#include <cstdlib>

#include "gglobecontext.h"
#include "gprojector.h"
#include "grenderer.h"

namespace umbrivista {

TGGraticule::TGGraticule(TGGlobeContext* globe) : globe_(globe), line_(1) {}

void TGGraticule::Changed() {
  if (globe_) globe_->RequestRender();
}

void TGGraticule::SetDrawMode(TGGraticuleDrawMode mode) {
  if (mode == drawMode_) return;
  drawMode_ = mode;
  Changed();
}

void TGGraticule::SetLongitudeStep(std::int32_t degrees) {
  if (degrees == longitudeStep_) return;
  longitudeStep_ = degrees;
  Changed();
}

void TGGraticule::SetLatitudeStep(std::int32_t degrees) {
  if (degrees == latitudeStep_) return;
  latitudeStep_ = degrees;
  Changed();
}

void TGGraticule::SetGraticulePen(const TGPen& pen) {
  if (pen.SameAs(pen_)) return;
  pen_ = pen;
  Changed();
}

void TGGraticule::Render() {
  if (!globe_) return;
  globe_->Renderer().SelectPen(pen_);
  if (longitudeStep_ > 0) {
    const std::int64_t step = static_cast<std::int64_t>(longitudeStep_) * kGUPerDegree;
    for (std::int64_t lon = -(kGU180 - 1); lon < kGU180; lon += step) {
      const auto l = static_cast<std::int32_t>(lon);
      RenderLine({l, -89 * kGUPerDegree, 0}, {l, 89 * kGUPerDegree, 0}, 180);
    }
  }
  if (latitudeStep_ > 0) {
    const std::int64_t step = static_cast<std::int64_t>(latitudeStep_) * kGUPerDegree;
    for (std::int64_t lat = 0; lat < 85 * kGUPerDegree; lat += step) {
      for (const std::int64_t signedLat : {lat, -lat}) {
        const auto l = static_cast<std::int32_t>(signedLat);
        RenderLine({kGU180 - 1, l, 0}, {0, l, 0}, 85);
        RenderLine({0, l, 0}, {-(kGU180 - 1), l, 0}, 85);
      }
    }
  }
}

void TGGraticule::RenderLine(TGGlobePoint a, TGGlobePoint b, int n) {
  if (n <= 0) n = 1;
  std::int64_t dLon = static_cast<std::int64_t>(b.Longitude) - a.Longitude;
  if (std::llabs(dLon) > kGU180 - 1) dLon += dLon > 0 ? -kGU360 : kGU360;
  const std::int64_t dLat = static_cast<std::int64_t>(b.Latitude) - a.Latitude;
  auto& points = line_[0].Points;
  points.resize(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) {
    const std::int64_t lon =
        a.Longitude + static_cast<std::int64_t>(MulDiv(static_cast<std::int32_t>(dLon), i, n));
    points[i] = {NormalizeLongitudeGU(static_cast<std::int32_t>(lon)),
                 a.Latitude + MulDiv(static_cast<std::int32_t>(dLat), i, n), 0};
  }
  unsigned flags = 0;
  if (globe_->Projector().Model().RectVisible(PointListMER(points), flags)) {
    globe_->RenderChains(line_, false);
  }
}

}  // namespace umbrivista
