// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The centre line of a central eclipse: the track of the shadow axis on the Earth from its first
// to its last contact, sampled uniformly in time. The first and last contacts come from the
// linear motion of the axis in the y1 system, refined once (Explanatory Supplement to the
// Astronomical Ephemeris, 1961, ch. 9).

#include <cstdint>
#include <vector>

#include "eclipse_record.h"
#include "globe_units.h"

namespace umbrivista {

inline constexpr int kCentreLinePoints = 201;

struct CentreLinePoint {
  double t = 0;                     // hours from T0, TT
  double latitude = 0;              // geodetic, radians
  double longitude = 0;             // east positive, radians in [−π, π)
  std::int32_t latitudeUnits = 0;   // globe units
  std::int32_t longitudeUnits = 0;  // globe units
};

// The 201 points for types 2, 3 and 4 with ΔT (seconds) applied to the Earth's rotation; in the
// back view the points where the axis leaves the night side. Empty for other types and for
// elements that give no real contact times.
std::vector<CentreLinePoint> BuildCentreLine(const EclipseRecord& record, double deltaT, bool back);

// The same line for map files: points added between the 201 (by halving the time between them)
// until no two neighbours lie more than maxKm apart.
std::vector<CentreLinePoint> DenseCentreLine(const EclipseRecord& record, double deltaT, bool back,
                                             double maxKm);

}  // namespace umbrivista
