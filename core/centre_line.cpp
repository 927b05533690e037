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

}  // namespace umbrivista
