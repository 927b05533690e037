// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "shadow.h"

#include "julian_day.h"

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "deltat.h"

namespace umbrivista {

double InstantJulianDay(const EclipseRecord& record, double t, double secondsEarlier) {
  return CalendarToJD(record.year, record.month, record.day, record.t0Hour, 0,
                      t * 3600 - secondsEarlier);
}

namespace {

double DeltaTRotation(double deltaT) {
  return kEarthRotationDegPerSecond * deltaT * kDegToRad;
}

double ClampUnit(double v) {
  return std::clamp(v, -1.0, 1.0);
}

}  // namespace

void EvaluateElements(const EclipseRecord& r, double t, ShadowState& s) {
  s.t = t;
  s.x = static_cast<float>(EvaluateCubic(r.x, t));
  s.y = static_cast<float>(EvaluateCubic(r.y, t));
  s.d = static_cast<float>(EvaluateCubic(r.d, t) * kDegToRad);
  s.mu = static_cast<float>(EvaluateCubic(r.mu, t) * kDegToRad);
  s.l1 = static_cast<float>(EvaluateCubic(r.l1, t));
  s.l2 = static_cast<float>(EvaluateCubic(r.l2, t));
  s.tanF1 = static_cast<float>(EvaluateCubic(r.tanF1, t));
  s.tanF2 = static_cast<float>(EvaluateCubic(r.tanF2, t));
  s.xRate = r.x[1] + 2.0 * r.x[2] * t + 3.0 * r.x[3] * t * t;
  s.yRate = r.y[1] + 2.0 * r.y[2] * t + 3.0 * r.y[3] * t * t;
  s.sinD = std::sin(static_cast<double>(s.d));
  s.cosD = std::cos(static_cast<double>(s.d));
}

double rhoFactor(const ShadowState& s) {
  return 1 / std::sqrt(1 - kEarthE2 * s.cosD * s.cosD);
}

bool ComputeAxisPoint(const ShadowState& s, bool back, bool throughLimb, AxisPoint& p) {
  const double rho = rhoFactor(s);
  const double x = s.x;
  const double y1 = s.y * rho;
  const double sinD1 = rho * s.sinD;
  const double cosD1 = kEarthAxisRatio * rho * s.cosD;
  double zeta2 = 1 - x * x - y1 * y1;
  if (zeta2 < 0) {
    if (!throughLimb) return false;
    zeta2 = -zeta2;
  }
  p.zeta1 = std::sqrt(zeta2);
  if (back) p.zeta1 = -p.zeta1;
  p.phi1 = std::asin(ClampUnit(p.zeta1 * sinD1 + y1 * cosD1));
  // cos φ1 ≥ 0 scales both arguments alike, so it can be left out; this keeps the hour angle
  // finite at the poles.
  p.hourAngle = ArcTan2(x, p.zeta1 * cosD1 - y1 * sinD1);
  p.latitude = std::atan(kEarthAxisRatioInverse * std::tan(p.phi1));
  p.longitude =
      NonNegativeRemainder(p.hourAngle - s.mu + DeltaTRotation(s.deltaT) + kPi, kTwoPi) - kPi;
  return true;
}

AxisQuantities ComputeAxisQuantities(const EclipseRecord& r, const ShadowState& s,
                                     const AxisPoint& p) {
  AxisQuantities q;
  const double x = s.x, y = s.y, zeta1 = p.zeta1;
  const double muRate = r.mu[1] / 57.2957795;
  const double a = s.xRate + muRate * y * s.sinD - muRate * zeta1 * s.cosD;
  const double b = s.yRate - muRate * x * s.sinD;
  const double n = std::sqrt(a * a + b * b) + 1e-10;
  q.l2Local = s.l2 - zeta1 * s.tanF2;
  q.durationSeconds = 7200 * std::fabs(q.l2Local) / n;
  const double along = (x * a + y * b) / n;
  q.pathWidthKm =
      kEarthDiameterKm * std::fabs(q.l2Local) / std::sqrt(zeta1 * zeta1 + along * along);
  if (!(q.pathWidthKm <= kPathWidthCapKm)) q.pathWidthKm = kPathWidthCapKm;
  const double sinPhi = std::sin(p.latitude), cosPhi = std::cos(p.latitude);
  const double cosH = std::cos(p.hourAngle);
  q.sunAltitude = std::asin(ClampUnit(sinPhi * s.sinD + cosPhi * s.cosD * cosH));
  q.sunAzimuth = ArcTan2(std::sin(p.hourAngle), sinPhi * cosH - cosPhi * s.sinD / s.cosD);
  q.localSolarTime = NonNegativeRemainder(p.hourAngle * 12 / kPi + 12, 24);
  return q;
}

InstantResult UpdateInstant(const EclipseRecord& r, double t, bool back, ShadowState& s) {
  InstantResult result;
  EvaluateElements(r, t, s);
  result.onEarth = ComputeAxisPoint(s, back, false, result.point);
  if (result.onEarth) {
    result.quantities = ComputeAxisQuantities(r, s, result.point);
    s.axisLatitude = result.point.latitude;
    s.axisLongitudeWest = -result.point.longitude;
  }
  const double x = s.x, y1 = rhoFactor(s) * s.y;
  if (x * x + y1 * y1 > 1) {
    s.axisOnEarth = false;
    s.zeta = 0;
  } else {
    s.axisOnEarth = true;
    s.zeta = std::sqrt(std::fabs(1 - x * x - y1 * y1));
    if (back) s.zeta = -s.zeta;
  }
  s.motionAngle = ArcTan2(s.yRate, s.xRate);
  return result;
}

GeoPosition SubSolarPoint(const ShadowState& s) {
  return {s.d, NonNegativeRemainder(-s.mu + DeltaTRotation(s.deltaT) + kPi, kTwoPi) - kPi};
}

PoIDistances ComputePoIDistances(const ShadowState& s, double latitudeDeg,
                                 double longitudeEastDeg) {
  const double phi = latitudeDeg * kDegToRad;
  const double lonWest = -longitudeEastDeg * kDegToRad;
  const double u = std::atan(kEarthAxisRatio * std::sin(phi) / std::cos(phi));
  const double rhoSin = kEarthAxisRatio * std::sin(u);
  const double rhoCos = std::cos(u);
  const double h = s.mu - lonWest - DeltaTRotation(s.deltaT);
  const double xi = rhoCos * std::sin(h);
  const double eta = rhoSin * s.cosD - rhoCos * std::cos(h) * s.sinD;
  PoIDistances dist;
  dist.toShadowAxisKm = kEarthRadiusKm * std::hypot(s.x - xi, s.y - eta);
  dist.toAxisPointKm =
      kEarthRadiusKm * AngularDistance(s.axisLatitude, s.axisLongitudeWest, phi, lonWest);
  return dist;
}

}  // namespace umbrivista
