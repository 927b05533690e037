// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue file shipped in data/, loaded once per test program.

#include <stdexcept>
#include <string>

#include "catalogue.h"

namespace umbrivista {

inline const EclipseCatalogue& ShippedCatalogue() {
  static const EclipseCatalogue catalogue = [] {
    EclipseCatalogue c;
    c.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
    return c;
  }();
  return catalogue;
}

// The shipped record of the eclipse on that date (TT); fails the calling test when none.
inline EclipseRecord ShippedRecord(int year, int month, int day) {
  for (const EclipseRecord& r : ShippedCatalogue().Records()) {
    if (r.year == year && r.month == month && r.day == day) return r;
  }
  throw std::runtime_error("no shipped eclipse on " + std::to_string(year) + "-" +
                           std::to_string(month) + "-" + std::to_string(day));
}

}  // namespace umbrivista
