// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The place-history report: every eclipse of the catalogue within a range of years that one
// place sees with the Sun above the horizon at one of its instants.

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue.h"
#include "language.h"
#include "report_run.h"

namespace umbrivista {

// The numbers typed for the place, in the order they are checked.
enum class PlaceField { kLatitude, kLongitude, kHeight };

// Limits of the typed numbers: latitude and longitude in degrees, height in metres.
inline constexpr double kMaxPlaceLatitude = 90;
inline constexpr double kMaxPlaceLongitude = 180;
inline constexpr double kMinPlaceHeight = -500;
inline constexpr double kMaxPlaceHeight = 9000;

// A typed number ("." as decimal separator, an optional "+"), when it is a finite number within
// the field's limits (|latitude| ≤ 90, |longitude| ≤ 180, height −500 … 9000 m).
std::optional<double> ReadPlaceNumber(PlaceField field, std::string_view text);
// The message that refuses `text` for `field`: the field's label, the text quoted, and the
// language's "is not a valid number" (`Latitude (degrees) "91" is not a valid number`).
std::string InvalidPlaceNumberMessage(PlaceField field, std::string_view text, Language language);
// A height in metres rounded to whole metres, ties to even.
std::int32_t RoundHeight(double metres);

struct PlaceHistoryInputs {
  std::string name;         // place name
  std::string country;      // country or region
  double latitude = 0;      // degrees, north positive
  double longitude = 0;     // degrees, EAST positive
  std::int32_t height = 0;  // metres
  std::int32_t population = 0;
  int firstYear = INT_MIN;  // the years of the eclipses taken, UT at greatest eclipse
  int lastYear = INT_MAX;
  Language language = Language::kEnglish;
  int threads = 0;  // threads the records are shared out to; 0: one per core
};

// "1234 eclipses scanned. 56 eclipses found" and its German and French forms.
std::string PlaceHistoryStatusText(int scanned, int found, Language language);

// The list row and file row of one eclipse at the place; nullopt when no instant has the Sun
// above the horizon.
std::optional<ReportRow> PlaceHistoryRow(const EclipseRecord& record, double deltaT,
                                         const PlaceHistoryInputs& place,
                                         const LocalCircumstances& lc);

// Runs the place history over every record of the catalogue, on inputs.threads threads in runs of
// consecutive records; the rows come in catalogue order whatever the number of threads. A
// latitude, longitude or height outside its limits (or not finite) ends the run before it
// starts, with the message of InvalidPlaceNumberMessage in ReportRun::error. Throws
// std::invalid_argument for a language out of range.
ReportRun ComputePlaceHistory(const EclipseCatalogue& catalogue, const PlaceHistoryInputs& inputs,
                              const RunControl& control = {});

}  // namespace umbrivista
