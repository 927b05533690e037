// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#include "besselian.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "angles.h"
#include "golden.h"

namespace umbrivista {

namespace catalogue_tool {

namespace {

constexpr double kSunRadius = kSunRadiusKm / kEarthEquatorialRadiusKm;
constexpr double kRadiansPerDegree = kDegToRad;

double Dot(const Vec3& a, const Vec3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

Elements ComputeElements(const Vec3& sun, const Vec3& moon, double siderealTime) {
  const Vec3 g = {sun[0] - moon[0], sun[1] - moon[1], sun[2] - moon[2]};
  const double gLength = std::sqrt(Dot(g, g));
  const double a = std::atan2(g[1], g[0]);
  Elements e;
  e.d = std::atan2(g[2], std::hypot(g[0], g[1]));
  const double sinA = std::sin(a), cosA = std::cos(a);
  const double sinD = std::sin(e.d), cosD = std::cos(e.d);
  e.x = -moon[0] * sinA + moon[1] * cosA;
  e.y = -moon[0] * sinD * cosA - moon[1] * sinD * sinA + moon[2] * cosD;
  e.z = (moon[0] * cosD * cosA + moon[1] * cosD * sinA + moon[2] * sinD);
  e.mu = siderealTime - a;
  const double sinF1 = (kSunRadius + kPenumbraMoonRadius) / gLength;
  const double sinF2 = (kSunRadius - kUmbraMoonRadius) / gLength;
  const double cosF1 = std::sqrt(1.0 - sinF1 * sinF1);
  const double cosF2 = std::sqrt(1.0 - sinF2 * sinF2);
  e.tanF1 = sinF1 / cosF1;
  e.tanF2 = sinF2 / cosF2;
  e.l1 = e.z * e.tanF1 + kPenumbraMoonRadius / cosF1;
  e.l2 = e.z * e.tanF2 - kUmbraMoonRadius / cosF2;
  return e;
}

double AxisDistanceSquared(const Vec3& sun, const Vec3& moon) {
  const Vec3 g = {sun[0] - moon[0], sun[1] - moon[1], sun[2] - moon[2]};
  const double along = Dot(moon, g) / Dot(g, g);
  const Vec3 across = {moon[0] - along * g[0], moon[1] - along * g[1], moon[2] - along * g[2]};
  return Dot(across, across);
}

Elements ElementPolynomials::At(double t) const {
  Elements e;
  e.x = Value(kX, t);
  e.y = Value(kY, t);
  e.d = Value(kD, t) * kRadiansPerDegree;
  e.mu = Value(kMu, t) * kRadiansPerDegree;
  e.l1 = Value(kL1, t);
  e.l2 = Value(kL2, t);
  e.tanF1 = Value(kTanF1, t);
  e.tanF2 = Value(kTanF2, t);
  return e;
}

std::array<double, 4> FitCubic(std::span<const double> t, std::span<const double> v) {
  if (t.size() != v.size() || t.size() < 4) throw std::invalid_argument("FitCubic: bad samples");
  double scale = 0;
  for (double ti : t) scale = std::max(scale, std::abs(ti));
  if (scale == 0) throw std::invalid_argument("FitCubic: no spread in t");
  // Normal equations in u = t / scale, solved by Gaussian elimination with partial pivoting.
  double m[4][5] = {};
  for (std::size_t i = 0; i < t.size(); ++i) {
    const double u = t[i] / scale;
    const double powers[4] = {1.0, u, u * u, u * u * u};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) m[r][c] += powers[r] * powers[c];
      m[r][4] += powers[r] * v[i];
    }
  }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r) {
      if (std::abs(m[r][col]) > std::abs(m[pivot][col])) pivot = r;
    }
    if (pivot != col) {
      for (int c = 0; c < 5; ++c) std::swap(m[col][c], m[pivot][c]);
    }
    for (int r = col + 1; r < 4; ++r) {
      const double factor = m[r][col] / m[col][col];
      for (int c = col; c < 5; ++c) m[r][c] -= factor * m[col][c];
    }
  }
  std::array<double, 4> u{};
  for (int r = 3; r >= 0; --r) {
    double sum = m[r][4];
    for (int c = r + 1; c < 4; ++c) sum -= m[r][c] * u[c];
    u[r] = sum / m[r][r];
  }
  std::array<double, 4> coefficients{};
  double power = 1.0;
  for (int k = 0; k < 4; ++k) {
    coefficients[k] = u[k] / power;
    power *= scale;
  }
  return coefficients;
}

double ConeGap(double x, double y, double d, double l, double tanF) {
  const double sinD = std::sin(d), cosD = std::cos(d);
  const double radial = 1.0 + tanF * tanF;
  auto clearance = [&](double theta) {
    const double c = std::cos(theta), s = std::sin(theta);
    const double alongPole = s * cosD - tanF * sinD;
    return x * c + y * s - std::sqrt(radial - kEarthEccentricitySquared * alongPole * alongPole) -
           l;
  };
  const double r = std::hypot(x, y);
  if (r > 0.1) {
    const double theta = std::atan2(y, x);
    return GoldenMaximumValue(clearance, theta - 0.1, theta + 0.1, 40);
  }
  // Near the centre the best tangent plane is not where the axis points: scan the circle first.
  constexpr int kSteps = 64;
  double best = 0;
  double bestValue = clearance(0.0);
  for (int i = 1; i < kSteps; ++i) {
    const double theta = 2.0 * kPi * i / kSteps;
    const double value = clearance(theta);
    if (value > bestValue) {
      bestValue = value;
      best = theta;
    }
  }
  return GoldenMaximumValue(clearance, best - 2.0 * kPi / kSteps, best + 2.0 * kPi / kSteps, 40);
}

std::optional<double> AxisEntryZeta(double x, double y, double d, double slack) {
  const double q = kEarthEccentricitySquared / (1.0 - kEarthEccentricitySquared);
  const double sinD = std::sin(d), cosD = std::cos(d);
  const double a = 1.0 + q * sinD * sinD;
  const double halfB = q * y * cosD * sinD;
  const double c = x * x + y * y + q * y * y * cosD * cosD - 1.0;
  double discriminant = halfB * halfB - a * c;
  if (discriminant < 0) {
    if (discriminant < -slack * a) return std::nullopt;
    discriminant = 0;
  }
  return (-halfB + std::sqrt(discriminant)) / a;
}

double OutlineMeasure(double x, double y, double d) {
  const double cosD = std::cos(d);
  return x * x + y * y / (1.0 - kEarthEccentricitySquared * cosD * cosD);
}

}  // namespace catalogue_tool

}  // namespace umbrivista
