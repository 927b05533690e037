// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language string table: 60 texts, each in German, English and French, entry
// 3·text + language.

#include <string>

#include "language.h"

namespace umbrivista {

inline constexpr int kStringItemCount = 60;

// The texts of the table, in table order.
enum class Text : std::uint8_t {
  // Eclipse type names by type code 1 … 6, long (window caption) and short (type label).
  kPartialName,
  kTotalName,
  kAnnularName,
  kHybridName,
  kNonCentralTotalName,
  kNonCentralAnnularName,
  kPartialShortName,
  kTotalShortName,
  kAnnularShortName,
  kHybridShortName,
  kNonCentralTotalShortName,
  kNonCentralAnnularShortName,
  // "Eclipse in Saros    (" 12 ". of " 73 ")".
  kSarosPrefix,
  kSarosSeparator,
  kSecondsUnit,
  // Overlay: the ecliptic and the two lines of the shadow-axis track label.
  kEcliptic,
  kAxisTrackLabelFirst,
  kAxisTrackLabelSecond,
  kUmbralDiameter,
  // Hints of the play buttons and the time slider.
  kFastReverseHint,
  kReverseHint,
  kStopHint,
  kPlayHint,
  kFastPlayHint,
  kTimeSliderHint,
  kProgramSubtitle,
  // Information panel.
  kHoursUnit,
  kEarthRadii,
  kCentreLine,
  kEclipseWord,
  kCentreLineTotal,
  kCentreLineAnnular,
  kLongitude,
  kLatitude,
  kDuration,
  kPathWidth,
  kSunAltitude,
  kLocalTime,
  // Overlay: the two lines of the sub-solar marker's label.
  kSubSolarLabelFirst,
  kSubSolarLabelSecond,
  kSunAzimuth,
  kSpareEmpty,
  // Place-history status line.
  kEclipsesScanned,
  kEclipsesFound,
  // Distances of the point of interest.
  kDistanceToAxis,
  kDistanceToMaximum,
  // Overlay: the two lines of the anti-sub-solar marker's label (back view).
  kAntiSubSolarLabelFirst,
  kAntiSubSolarLabelSecond,
  // Place-history side buttons.
  kNorth,
  kSouth,
  kEast,
  kWest,
  kInvalidNumber,
  // Place-history year range: "Search between the years" Y "and" Y.
  kSearchBetweenYears,
  kSearchYearsAnd,
  // City-list status line.
  kPlacesScanned,
  kPlacesFound,
  kCoordinateError,
  kSpareBlank1,
  kSpareBlank2,
};

static_assert(static_cast<int>(Text::kSpareBlank2) + 1 == kStringItemCount);

// Entry `index` (0 … 179) of the table; an empty string outside that range.
const std::string& StringEntry(int index);
// `text` in `language` (entry 3·text + language); empty for a language value that names none.
const std::string& StringItem(Text text, Language language);

}  // namespace umbrivista
