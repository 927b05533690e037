// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Angle helpers shared by the shadow geometry and its displays. Radians throughout.

namespace umbrivista {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2 * kPi;
inline constexpr double kDegToRad = kPi / 180;
inline constexpr double kRadToDeg = 180 / kPi;

// Two-argument arc tangent of y/x in (−π, π]; 0 for (0, 0).
double ArcTan2(double y, double x);

// a modulo m for m > 0, in [0, m).
double NonNegativeRemainder(double a, double m);

// Great-circle angle (radians, 0 … π) between two positions given as latitude and longitude in
// radians; the longitudes only need the same sign convention. Accurate for tiny and for nearly
// antipodal separations.
double AngularDistance(double lat1, double lon1, double lat2, double lon2);

}  // namespace umbrivista
