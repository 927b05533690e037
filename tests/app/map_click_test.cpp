// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What a click on a place of the main globe shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capitals.h"
#include "deltat.h"
#include "map_click.h"
#include "place_circumstances.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

TEST(MapClick, CapitalsAreNamedWithTheirCountryAndPointsOfInterestWithWhatTheySee) {
  const EclipseRecord record = ShippedRecord(2026, 8, 12);
  const City_Type& berlin = *std::find_if(Capitals().begin(), Capitals().end(), [](const auto& c) {
    return std::string(c.country) == "Germany";
  });
  struct Case {
    std::string title;
    double latitude, longitude;
    std::string expected;
  } capitals[] = {
      {berlin.capital, berlin.latitude, berlin.longitude,
       std::string(berlin.capital) + " (Germany)"},
      // A title the table does not hold there is shown as it stands.
      {berlin.capital, berlin.latitude + 1, berlin.longitude, berlin.capital},
      {"Atlantis", 0, 0, "Atlantis"},
  };
  for (const Case& c : capitals) {
    EXPECT_EQ(ClickedPlaceLines(ClickedPlaceKind::kCapital, c.title, c.latitude, c.longitude,
                                record, true, Language::kEnglish),
              std::vector<std::string>{c.expected});
  }
  const auto lines = ClickedPlaceLines(ClickedPlaceKind::kPoI, "Hut", 47.5, 8.25, record, false,
                                       Language::kFrench);
  std::vector<std::string> expected{"Hut"};
  for (const std::string& line : PlaceCircumstancesLines(
           record, DeltaT(record.year, record.month), false, 47.5, 8.25, Language::kFrench))
    expected.push_back(line);
  EXPECT_EQ(lines, expected);
  EXPECT_GT(lines.size(), 2u);
}

}  // namespace
}  // namespace umbrivista
