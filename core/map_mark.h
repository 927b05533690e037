// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A point of interest to draw on the globe.

#include <string>

namespace umbrivista {

// Its title and position (degrees, north and east positive).
struct MapMark {
  std::string title;
  double latitude = 0;
  double longitude = 0;
};

}  // namespace umbrivista
