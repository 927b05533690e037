// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Positions on the globe are whole numbers of globe units: 5,400,000 per degree (1,500 per arc
// second), east and north positive.

#include <cstdint>

namespace umbrivista {

inline constexpr std::int32_t kGUPerDegree = 5400000;

// Radians to the nearest globe unit; values beyond ±180° saturate (0 for non-finite input).
std::int32_t RadiansToGlobeUnits(double radians);

}  // namespace umbrivista
