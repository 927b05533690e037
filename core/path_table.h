// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The path of a central eclipse as a table like the published eclipse bulletins: at instants on
// whole multiples of a step of the clock (UT, or TT without ΔT) while the shadow axis meets the
// Earth, the northern and southern limits of the umbral (antumbral) path, the centre line and
// what is seen on it.

#include <optional>
#include <vector>

#include "eclipse_record.h"
#include "path_limits.h"

namespace umbrivista {

struct PathTableRow {
  double t = 0;                      // hours from T0, TT
  int year = 0, month = 0, day = 0;  // the clock's date of the instant
  int secondOfDay = 0;               // the clock's time of day in seconds, a multiple of the step
  std::optional<GeoPoint> north, south;  // absent where the limit point is not on the Earth
  GeoPoint centre;
  double sunAltitudeDeg = 0;  // geometric, at the centre
  double sunAzimuthDeg = 0;   // from north through east, [0, 360)
  double pathWidthKm = 0;
  double durationSeconds = 0;  // of the central phase on the centre line
  bool total = false;          // total there, else annular
};

inline constexpr int kMinPathTableStepSeconds = 30;
inline constexpr int kMaxPathTableStepSeconds = 3600;

// The rows for ΔT seconds turning the Earth (0 for the TT frame) and a step in seconds (clamped to
// the range above). Empty for a non-central eclipse or one whose axis misses the Earth.
std::vector<PathTableRow> ComputePathTable(const EclipseRecord& record, double deltaT,
                                           int stepSeconds);

}  // namespace umbrivista
