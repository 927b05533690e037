// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shadow at one instant: Besselian elements evaluated at t, the point where the shadow axis
// meets the oblate Earth, and what follows from it.
// Reference: Explanatory Supplement to the Astronomical Ephemeris (HMSO, 1961), ch. 9 (the axis
// point on the spheroid through the y1/d1 system, duration and path width of the central phase);
// J. Meeus, Elements of Solar Eclipses 1951–2200 (Willmann-Bell, 1989).

#include "eclipse_record.h"

namespace umbrivista {

// Earth model (equatorial radius 1).
inline constexpr double kEarthE2 = 0.006694385;        // squared eccentricity
inline constexpr double kEarthAxisRatio = 0.99664719;  // polar / equatorial radius
inline constexpr double kEarthAxisRatioInverse = 1.00336409;
// Equatorial radius and diameter: the fundamental plane is measured in equatorial radii, so
// lengths on it (path width, distance from the shadow axis) and great-circle distances on the
// display sphere convert with these.
inline constexpr double kEarthRadiusKm = 6378;
inline constexpr double kEarthDiameterKm = 12756;
inline constexpr double kPathWidthCapKm = 2500;

struct ShadowState {
  double t = 0;  // hours from T0, TT
  // Elements at t, single precision like the coefficients: Earth radii; d and mu in radians.
  float x = 0, y = 0, d = 0, mu = 0, l1 = 0, l2 = 0, tanF1 = 0, tanF2 = 0;
  double xRate = 0, yRate = 0;  // Earth radii per hour
  double sinD = 0, cosD = 1;
  double deltaT = 0;  // seconds of ΔT applied to the Earth's rotation (0 while showing TT)
  // Set by the instant update:
  double zeta = 0;  // ζ1 of the axis point, 0 when the axis misses; negative in the back view
  bool axisOnEarth = false;
  double motionAngle = 0;        // direction of motion on the fundamental plane, from +x to +y
  double axisLatitude = 0;       // geodetic, radians
  double axisLongitudeWest = 0;  // radians, west positive
};

// Julian day of the instant t hours after the record's T0, less `secondsEarlier` seconds (pass ΔT
// to get Universal Time from the record's Terrestrial Time).
double InstantJulianDay(const EclipseRecord& record, double t, double secondsEarlier = 0);

// Evaluates the record's polynomials at t (hours from T0) into t, x … tanF2, xRate, yRate, sinD
// and cosD; leaves every other field alone.
void EvaluateElements(const EclipseRecord& record, double t, ShadowState& state);

// 1/√(1 − e²·cos²d): scales y of the fundamental plane into the y1 system of the oblate Earth.
double rhoFactor(const ShadowState& state);

struct AxisPoint {
  double zeta1 = 0;      // Earth radii; negative in the back view
  double phi1 = 0;       // auxiliary latitude, radians
  double hourAngle = 0;  // local hour angle of the axis, radians
  double latitude = 0;   // geodetic, radians
  double longitude = 0;  // east positive, radians in [−π, π)
};

// The point where the shadow axis meets the Earth for an evaluated state, with ΔT = state.deltaT.
// When the axis misses (ζ1² < 0) returns false, unless `throughLimb` is set: then |ζ1²| is used,
// which keeps samples that sit on the limb up to rounding.
bool ComputeAxisPoint(const ShadowState& state, bool back, bool throughLimb, AxisPoint& point);

struct AxisQuantities {
  double l2Local = 0;          // L2′ = l2 − ζ1·tan f2, Earth radii: < 0 total, ≥ 0 annular
  double durationSeconds = 0;  // of the central phase at the axis point
  double pathWidthKm = 0;      // capped at 2500 km
  double sunAltitude = 0;      // radians
  double sunAzimuth = 0;       // radians from south, positive towards west, (−π, π]
  double localSolarTime = 0;   // hours in [0, 24)
};

AxisQuantities ComputeAxisQuantities(const EclipseRecord& record, const ShadowState& state,
                                     const AxisPoint& point);

struct InstantResult {
  bool onEarth = false;
  AxisPoint point;            // valid when onEarth
  AxisQuantities quantities;  // valid when onEarth
};

// The instant update: evaluates at t, finds the axis point and its quantities, and sets zeta,
// axisOnEarth, motionAngle and the axis position of `state`. state.deltaT must be set.
InstantResult UpdateInstant(const EclipseRecord& record, double t, bool back, ShadowState& state);

// Latitude and east longitude (radians) of the point with the Sun in the zenith.
struct GeoPosition {
  double latitude = 0;
  double longitude = 0;
};
GeoPosition SubSolarPoint(const ShadowState& state);

struct PoIDistances {
  double toShadowAxisKm = 0;  // on the fundamental plane
  double toAxisPointKm = 0;   // great circle; meaningful only while the axis is on the Earth
};
// Distances of a place at sea level (degrees, east positive) from the shadow at the state's
// instant.
PoIDistances ComputePoIDistances(const ShadowState& state, double latitudeDeg,
                                 double longitudeEastDeg);

}  // namespace umbrivista
