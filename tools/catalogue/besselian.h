// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// Besselian elements of a solar eclipse from geocentric positions of Sun and Moon, their cubic
// fit around T0, and the shadow geometry on the Earth's ellipsoid that classifies an eclipse.

#include <array>
#include <optional>
#include <span>

#include "ephemeris.h"

namespace umbrivista {

namespace catalogue_tool {

// Constants of the reduction.
inline constexpr double kPenumbraMoonRadius = 0.272488;  // k1, Earth radii
inline constexpr double kUmbraMoonRadius = 0.272281;     // k2, Earth radii
inline constexpr double kSunRadiusKm = 696000.0;
inline constexpr double kEarthEquatorialRadiusKm = 6378.137;
inline constexpr double kEarthFlattening = 1.0 / 298.257223563;  // WGS84
inline constexpr double kEarthEccentricitySquared = kEarthFlattening * (2.0 - kEarthFlattening);

// The elements at one instant. Lengths in Earth equatorial radii, angles in radians.
struct Elements {
  double x = 0, y = 0, z = 0;  // the Moon's centre in the fundamental frame
  double d = 0;                // declination of the shadow axis (true equator of date)
  double mu = 0;               // Greenwich hour angle of the axis (not reduced)
  double l1 = 0, l2 = 0;       // penumbral and umbral radii on the fundamental plane
  double tanF1 = 0, tanF2 = 0;
};

// Elements from the apparent geocentric positions of Sun and Moon (Earth radii, true equator
// of date) and the Greenwich apparent sidereal time in radians. The axis runs from the Moon to
// the Sun; μ = sidereal time − right ascension of the axis.
Elements ComputeElements(const Vec3& sun, const Vec3& moon, double siderealTime);

// Squared distance of the shadow axis from the Earth's centre, x² + y², from the positions
// alone; it does not depend on the frame.
double AxisDistanceSquared(const Vec3& sun, const Vec3& moon);

// The eight elements as cubics in t (hours from T0): x, y (Earth radii), d, μ (degrees),
// l1, l2 (Earth radii), tan f1, tan f2; each group constant term first.
struct ElementPolynomials {
  std::array<std::array<double, 4>, 8> c{};
  enum Group { kX = 0, kY, kD, kMu, kL1, kL2, kTanF1, kTanF2 };

  double Value(int group, double t) const {
    const auto& p = c[group];
    return ((p[3] * t + p[2]) * t + p[1]) * t + p[0];
  }
  // Elements at t in the units of Elements (z left 0).
  Elements At(double t) const;
};

// Least-squares cubic through samples (t_i, v_i); t in hours.
std::array<double, 4> FitCubic(std::span<const double> t, std::span<const double> v);

// ---- the Earth's ellipsoid seen along the shadow axis ----

// Gap between a shadow cone and the Earth's ellipsoid. The cone has its axis through (x, y) on
// the fundamental plane and radius L(ζ) = l − ζ·tanF at height ζ (toward the Sun). The result is
// the largest value over the cone's tangent planes of (the offset of the ellipsoid's nearest
// point beyond that plane), in Earth equatorial radii measured on the fundamental plane:
// > 0 when the cone misses the Earth, 0 when it grazes, < 0 when it enters it. With l = 0 and
// tanF = 0 it is the distance from the axis to the Earth's outline. d in radians.
double ConeGap(double x, double y, double d, double l, double tanF);

// ζ of the point where the shadow axis at (x, y) enters the Earth's ellipsoid (the sunward
// intersection), or nothing when the axis misses. An axis that misses by less than `slack` (in
// the squared-distance sense of OutlineMeasure) is taken as grazing the limb. d in radians.
std::optional<double> AxisEntryZeta(double x, double y, double d, double slack = 0);

// Outline test: x² + y²/(1 − e²·cos² d), ≤ 1 when the axis meets the ellipsoid.
double OutlineMeasure(double x, double y, double d);

}  // namespace catalogue_tool

}  // namespace umbrivista
