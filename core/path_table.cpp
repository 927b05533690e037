// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "path_table.h"

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "centre_line.h"
#include "julian_day.h"
#include "shadow.h"

namespace umbrivista {

std::vector<PathTableRow> ComputePathTable(const EclipseRecord& record, double deltaT,
                                           int stepSeconds) {
  std::vector<PathTableRow> rows;
  const auto line = BuildCentreLine(record, deltaT, false);
  if (line.empty() || !std::isfinite(deltaT)) return rows;
  const int step = std::clamp(stepSeconds, kMinPathTableStepSeconds, kMaxPathTableStepSeconds);
  // Seconds on the clock from 0 h of the record's date: TT less ΔT.
  const double t0Seconds = record.t0Hour * 3600.0 - deltaT;
  const long long first =
      static_cast<long long>(std::ceil((t0Seconds + line.front().t * 3600) / step));
  const long long last =
      static_cast<long long>(std::floor((t0Seconds + line.back().t * 3600) / step));
  const double midnight = CalendarToJD(record.year, record.month, record.day, 0, 0, 0);
  for (long long k = first; k <= last; ++k) {
    const long long clockSeconds = k * step;
    const double t = (clockSeconds - t0Seconds) / 3600;
    ShadowState state;
    state.deltaT = deltaT;
    const InstantResult at = UpdateInstant(record, t, false, state);
    if (!at.onEarth) continue;
    PathTableRow row;
    row.t = t;
    long long days = clockSeconds / 86400;
    long long second = clockSeconds % 86400;
    if (second < 0) {
      second += 86400;
      --days;
    }
    // Noon of the day, so that rounding cannot move the date.
    const CalendarDate date = JDToCalendar(midnight + static_cast<double>(days) + 0.5);
    row.year = date.year;
    row.month = date.month;
    row.day = date.day;
    row.secondOfDay = static_cast<int>(second);
    row.centre = {at.point.latitude * kRadToDeg, at.point.longitude * kRadToDeg};
    row.north = LimitPointAt(record, deltaT, LimitKind::kUmbralNorth, t);
    row.south = LimitPointAt(record, deltaT, LimitKind::kUmbralSouth, t);
    row.sunAltitudeDeg = at.quantities.sunAltitude * kRadToDeg;
    // The shadow computation counts the azimuth from south towards west.
    row.sunAzimuthDeg = std::fmod(at.quantities.sunAzimuth * kRadToDeg + 540, 360);
    row.pathWidthKm = at.quantities.pathWidthKm;
    row.durationSeconds = at.quantities.durationSeconds;
    row.total = at.quantities.l2Local < 0;
    rows.push_back(row);
  }
  return rows;
}

}  // namespace umbrivista
