// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The city-list report: one eclipse over every place of a world-places file whose population
// reaches a threshold; a row for each place that sees some phase of it with the Sun above the
// horizon.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "catalogue.h"
#include "language.h"
#include "places_file.h"
#include "report_run.h"

namespace umbrivista {

// Minimum population by item index of the population list, largest first; the last takes every
// place.
inline constexpr std::array<std::int32_t, 10> kPopulationThresholds = {
    1000000, 500000, 250000, 100000, 50000, 25000, 10000, 5000, 2000, -1};

struct CityListInputs {
  int position = 0;         // catalogue position of the eclipse, 1 … RecordCount()
  int thresholdIndex = 0;   // 0 … 9, see kPopulationThresholds
  Language language = Language::kEnglish;
  std::string placesFile;   // path of the world-places file
  int threads = 0;          // threads the places are shared out to; 0: one per core
};

// "5210 Orte getestet. 812 Orte gefunden" and its English and French forms.
std::string CityListStatusText(int scanned, int found, Language language);

// The list row and file row of `place` for local circumstances `lc` of `record` seen with ΔT
// `deltaT` (s); nullopt when no instant has the Sun above the horizon.
std::optional<ReportRow> CityListRow(const EclipseRecord& record, double deltaT, const Place& place,
                                     const LocalCircumstances& lc, Language language);

// Runs the city list. Throws std::invalid_argument for a threshold index or language out of
// range and std::out_of_range for a position outside the catalogue; a places file that cannot
// be read to its end is reported in ReportRun::error.
//
// The places are computed on inputs.threads threads in runs of consecutive places; the rows come
// in file order whatever the number of threads, and progress is called on the caller's thread.
// Progress and the cancel check come after every place as when computed one after the other, so
// a cancel keeps the same rows.
ReportRun ComputeCityList(const EclipseCatalogue& catalogue, const CityListInputs& inputs,
                          const RunControl& control = {});
// The same over the places of inputs.placesFile already read (its error included).
ReportRun ComputeCityListOf(const EclipseCatalogue& catalogue, const CityListInputs& inputs,
                            const PlacesList& places, const RunControl& control = {});

}  // namespace umbrivista
