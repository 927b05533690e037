// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "centre_line.h"

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "eclipse_types.h"
#include "shadow.h"

namespace umbrivista {

std::int32_t RadiansToGlobeUnits(double radians) {
  if (!std::isfinite(radians)) return 0;
  const double units = std::round(radians * kRadToDeg * double{kGUPerDegree});
  return static_cast<std::int32_t>(
      std::clamp(units, -180 * double{kGUPerDegree}, 180 * double{kGUPerDegree}));
}

namespace {

// Linear motion of the axis in the y1 system: it crosses the unit circle at
// tau ± halfChord. m (the miss distance) is clamped to 1 so that a grazing axis gives the
// instant of closest approach instead of no solution.
struct Crossing {
  double tau = 0;
  double halfChord = 0;
  bool valid = false;
};

Crossing UnitCircleCrossing(double X, double Xr, double Y, double Yr) {
  Crossing c;
  const double n = std::sqrt(Xr * Xr + Yr * Yr);
  if (!(n > 0) || !std::isfinite(n)) return c;
  const double m = std::min((Xr * Y - X * Yr) / n, 1.0);
  c.tau = -(X * Xr + Y * Yr) / (n * n);
  c.halfChord = std::sqrt(std::max(0.0, 1 - m * m)) / n;
  c.valid = std::isfinite(c.tau) && std::isfinite(c.halfChord);
  return c;
}

Crossing CrossingAt(const EclipseRecord& r, double t, ShadowState& s) {
  EvaluateElements(r, t, s);
  const double rho = rhoFactor(s);
  return UnitCircleCrossing(s.x, s.xRate, rho * s.y, rho * s.yRate);
}

}  // namespace

std::vector<CentreLinePoint> BuildCentreLine(const EclipseRecord& r, double deltaT, bool back) {
  std::vector<CentreLinePoint> line;
  if (!IsCentral(r.typeCode)) return line;

  ShadowState s;
  s.deltaT = deltaT;
  EvaluateElements(r, 0, s);
  const double rho0 = rhoFactor(s);
  const Crossing first = UnitCircleCrossing(r.x[0], r.x[1], rho0 * r.y[0], rho0 * r.y[1]);
  if (!first.valid) return line;
  double t1 = first.tau - first.halfChord;
  double t2 = first.tau + first.halfChord;

  const Crossing c1 = CrossingAt(r, t1, s);
  if (!c1.valid) return line;
  t1 += c1.tau - c1.halfChord;
  const Crossing c2 = CrossingAt(r, t2, s);
  if (!c2.valid) return line;
  t2 += c2.tau + c2.halfChord;

  line.reserve(kCentreLinePoints);
  for (int i = 0; i < kCentreLinePoints; ++i) {
    const double t = t1 + (t2 - t1) * i / (kCentreLinePoints - 1);
    EvaluateElements(r, t, s);
    AxisPoint p;
    ComputeAxisPoint(s, back, true, p);
    if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude)) return {};
    line.push_back({t, p.latitude, p.longitude, RadiansToGlobeUnits(p.latitude),
                    RadiansToGlobeUnits(p.longitude)});
  }
  return line;
}

std::vector<CentreLinePoint> DenseCentreLine(const EclipseRecord& r, double deltaT, bool back,
                                             double maxKm) {
  std::vector<CentreLinePoint> line = BuildCentreLine(r, deltaT, back);
  if (line.size() < 2) return line;
  ShadowState s;
  s.deltaT = deltaT;
  auto at = [&](double t) {
    EvaluateElements(r, t, s);
    AxisPoint p;
    ComputeAxisPoint(s, back, true, p);
    return CentreLinePoint{t, p.latitude, p.longitude, RadiansToGlobeUnits(p.latitude),
                           RadiansToGlobeUnits(p.longitude)};
  };
  // Central angle between two points (radians), by the haversine.
  auto apart = [](const CentreLinePoint& a, const CentreLinePoint& b) {
    const double h = std::pow(std::sin((b.latitude - a.latitude) / 2), 2) +
                     std::cos(a.latitude) * std::cos(b.latitude) *
                         std::pow(std::sin((b.longitude - a.longitude) / 2), 2);
    return 2 * std::asin(std::min(1.0, std::sqrt(h)));
  };
  const double maxAngle = maxKm / kEarthRadiusKm;
  std::vector<CentreLinePoint> out{line.front()};
  for (std::size_t i = 1; i < line.size(); ++i) {
    // Halves the step's time until each piece is short enough; near the ends of the path the
    // axis runs fast over the limb.
    std::vector<CentreLinePoint> pending{line[i]};
    int guard = 0;
    while (!pending.empty()) {
      const CentreLinePoint& a = out.back();
      const CentreLinePoint b = pending.back();
      if (apart(a, b) <= maxAngle || ++guard > 4096) {
        out.push_back(b);
        pending.pop_back();
        continue;
      }
      const CentreLinePoint m = at((a.t + b.t) / 2);
      if (!std::isfinite(m.latitude) || !std::isfinite(m.longitude)) {
        out.push_back(b);
        pending.pop_back();
        continue;
      }
      pending.push_back(m);
    }
  }
  return out;
}

}  // namespace umbrivista
