// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "globe_frame.h"

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "gunits.h"

namespace umbrivista {

namespace {

int RoundedPixel(double value) {
  constexpr double kLimit = 1 << 24;
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::lround(std::clamp(value, -kLimit, kLimit)));
}

}  // namespace

double DiscRadiusPixels(int zoomPosition) {
  return static_cast<double>(ZoomScaleFactor(zoomPosition)) * kGlobeSphereRadius;
}

FramePoint ZoomCentreAbout(FramePoint centre, FramePoint pointer, double oldRadius,
                           double newRadius) {
  if (!(oldRadius > 0) || !(newRadius > 0)) return centre;
  const double f = newRadius / oldRadius;
  return {RoundedPixel(pointer.x - (pointer.x - centre.x) * f),
          RoundedPixel(pointer.y - (pointer.y - centre.y) * f)};
}

double DiscAreaInPanel(FramePoint centre, double radius, int width, int height) {
  if (!(radius > 0) || width < 1 || height < 1) return 0;
  // Column by column (at pixel centres): the part of the disc's chord inside the panel.
  const int first = std::max(0, static_cast<int>(std::floor(centre.x - radius)));
  const int last = std::min(width - 1, static_cast<int>(std::ceil(centre.x + radius)));
  double area = 0;
  for (int column = first; column <= last; ++column) {
    const double dx = column + 0.5 - centre.x;
    const double c = radius * radius - dx * dx;
    if (c <= 0) continue;
    const double h = std::sqrt(c);
    const double top = std::clamp(centre.y - h, 0.0, static_cast<double>(height));
    const double bottom = std::clamp(centre.y + h, 0.0, static_cast<double>(height));
    area += bottom - top;
  }
  return area;
}

double LeastDiscAreaInView(double radius, int width, int height) {
  return DiscAreaInPanel({width / 2, height / 2}, radius, width, height) / 4;
}

FramePoint KeepDiscInReach(FramePoint from, FramePoint to, double radius, int width, int height) {
  if (width < 1 || height < 1 || !(radius > 0)) return to;
  const double least = LeastDiscAreaInView(radius, width, height);
  auto fits = [&](FramePoint p) { return DiscAreaInPanel(p, radius, width, height) >= least; };
  if (fits(to)) return to;
  const double fromArea = DiscAreaInPanel(from, radius, width, height);
  if (fromArea < least) {
    // Out of reach already: a move that shows more of the disc, or as little but nearer to the
    // panel's centre, brings it back; any other leaves it where it is.
    const double toArea = DiscAreaInPanel(to, radius, width, height);
    auto away = [&](FramePoint p) {
      return std::hypot(p.x - width / 2.0, p.y - height / 2.0);
    };
    return toArea > fromArea || (toArea == fromArea && away(to) <= away(from)) ? to : from;
  }
  // Along one axis: the furthest whole-pixel step towards the target that still fits.
  auto furthest = [&](FramePoint start, int FramePoint::*axis, int target) {
    const int span = target - start.*axis;
    int good = 0, bad = span;
    while (std::abs(bad - good) > 1) {
      const int mid = good + (bad - good) / 2;
      FramePoint p = start;
      p.*axis += mid;
      (fits(p) ? good : bad) = mid;
    }
    FramePoint p = start;
    p.*axis += good;
    FramePoint whole = start;
    whole.*axis = target;
    return fits(whole) ? whole : p;
  };
  const FramePoint alongX = furthest(from, &FramePoint::x, to.x);
  return furthest(alongX, &FramePoint::y, to.y);
}

DiscOffset PlaceOnDisc(const GlobeRotation& rotation, double latitude, double longitude) {
  // Orthographic view of the point the rotation looks at (latitude rotation.x, longitude
  // rotation.y), north up.
  const double phi0 = rotation.x * kDegToRad, phi = latitude * kDegToRad;
  const double dl = (longitude - rotation.y) * kDegToRad;
  DiscOffset out;
  out.x = std::cos(phi) * std::sin(dl);
  out.y = -(std::cos(phi0) * std::sin(phi) - std::sin(phi0) * std::cos(phi) * std::cos(dl));
  out.facing =
      std::sin(phi0) * std::sin(phi) + std::cos(phi0) * std::cos(phi) * std::cos(dl) > 0;
  return out;
}

}  // namespace umbrivista
