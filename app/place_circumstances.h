// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a place sees of an eclipse, as lines for the point-of-interest panel: kind, magnitude and
// obscuration; the contacts and greatest eclipse in the shown time scale with the Sun's altitude;
// the central duration; and how far the place lies from the nearer limit of the central path.

#include <string>
#include <vector>

#include "eclipse_record.h"
#include "language.h"
#include "place_zones.h"

namespace umbrivista {

// The place's civil clock: its zone (or nautical time) and where the zone's offsets come from.
struct CivilClock {
  PointZone zone;
  CivilOffsetFn offsets;
};

// `latitude`, `longitude` in degrees (north and east positive), at sea level; `deltaT` the ΔT of
// the eclipse (seconds); times in UT when `ut`, else TT. With a `clock`, each instant also on the
// place's civil clock ("19:36:42 CEST, UT+2") after a line naming the zone.
std::vector<std::string> PlaceCircumstancesLines(const EclipseRecord& record, double deltaT,
                                                 bool ut, double latitude, double longitude,
                                                 Language language,
                                                 const CivilClock* clock = nullptr);

}  // namespace umbrivista
