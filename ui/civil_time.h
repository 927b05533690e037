// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Offsets of civil time from UT out of the system's time-zone database (Debian's tzdata), through
// Qt's QTimeZone. Qt Core only, so that umbrivista-cli uses it as well as the windows.
//
// Three eras per zone:
//  - before the zone's first transition (before the place kept any standard time): the local
//    mean time of the PLACE, longitude × 240 s, "LMT" (tzdata's own LMT is that of the zone's
//    city, minutes off for most places of a zone);
//  - from there on, tzdata's offset and abbreviation, daylight saving included;
//  - from the year 2800 on, the zone's last rule: the instant is moved back by whole 400-year
//    Gregorian cycles (the calendar and its weekdays repeat), so the far future keeps the
//    rule in force today.

#include <optional>
#include <string>

#include "place_zones.h"

namespace umbrivista {

// The offset of IANA zone `zone` ("Europe/Madrid") at `julianDayUT`, for a place at
// `longitudeDeg` (east positive). Numeric tzdata abbreviations ("+0545", "-03") are left out: the
// offset says the same. nullopt for a zone the database does not know, a name that is not a zone
// name (see IsTimeZoneName) and a day or longitude that is not a finite number.
std::optional<CivilOffset> ZoneOffset(const std::string& zone, double julianDayUT,
                                      double longitudeDeg);

// Whether the database knows zone `zone`.
bool IsKnownZone(const std::string& zone);

// ZoneOffset for Qt-free code (CivilOffsetAt, a session model).
CivilOffsetFn QtCivilOffsets();

}  // namespace umbrivista
