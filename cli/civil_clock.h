// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Civil time for the commands of umbrivista-cli. The offsets come from the system's time-zone
// database through Qt Core (civil_time.h); umbrivista-cli loads that code, a module of its own,
// only when a command asks for a civil clock, so that every other command starts without Qt.

#include <optional>
#include <string>

#include "place_zones.h"

namespace umbrivista {

// What the module hands over: civil_time.h's ZoneOffset and IsKnownZone.
struct CivilTimeFunctions {
  std::optional<CivilOffset> (*zoneOffset)(const std::string& zone, double julianDayUT,
                                           double longitudeDeg);
  bool (*isKnownZone)(const std::string& zone);
};

// The name the module's one entry point is looked up by; it returns the functions.
inline constexpr const char* kCivilTimeEntry = "umbrivista_civil_time_functions";
inline constexpr const char* kCivilTimeModuleName = "umbrivista-civil-time.so";

// ZoneOffset and IsKnownZone of civil_time.h, the module loaded by the first call of either.
// Throws std::runtime_error naming the module when it cannot be loaded.
CivilOffsetFn CivilOffsets();
bool KnownZone(const std::string& zone);

}  // namespace umbrivista
