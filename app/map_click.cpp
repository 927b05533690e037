// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "map_click.h"

#include <cmath>

#include "capitals.h"
#include "deltat.h"
#include "place_circumstances.h"

namespace umbrivista {

std::vector<std::string> ClickedPlaceLines(ClickedPlaceKind kind, const std::string& title,
                                           double latitude, double longitude,
                                           const EclipseRecord& record, bool ut,
                                           Language language) {
  if (kind == ClickedPlaceKind::kCapital) {
    for (const City_Type& city : Capitals()) {
      // The globe holds the table's position to a fraction of an arc second.
      if (title == city.capital && std::fabs(city.latitude - latitude) < 1e-3 &&
          std::fabs(city.longitude - longitude) < 1e-3)
        return {title + " (" + city.country + ")"};
    }
    return {title};
  }
  std::vector<std::string> lines{title};
  for (std::string& line : PlaceCircumstancesLines(record, DeltaT(record.year, record.month), ut,
                                                   latitude, longitude, language))
    lines.push_back(std::move(line));
  return lines;
}

}  // namespace umbrivista
