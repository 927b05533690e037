// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "city_list_run.h"

#include <algorithm>
#include <iterator>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "angles.h"
#include "deltat.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "ordered_chunks.h"
#include "string_table.h"

namespace umbrivista {

namespace {

// Places per share of the work: small enough for the list to fill evenly and a cancel to end
// soon, large enough for the threads to meet seldom.
constexpr int kPlacesPerChunk = 512;

}  // namespace

std::string CityListStatusText(int scanned, int found, Language language) {
  if (!IsKnownLanguage(language)) return {};
  return std::to_string(scanned) + " " + StringItem(Text::kPlacesScanned, language) + ". " +
         std::to_string(found) + " " + StringItem(Text::kPlacesFound, language);
}

std::optional<ReportRow> CityListRow(const EclipseRecord& record, double deltaT, const Place& place,
                                     const LocalCircumstances& lc, Language language) {
  const RowInstants instants = ShownInstants(record, deltaT, lc);
  if (!instants.visible) return std::nullopt;
  const char kind = EclipseKindLetter(lc.kind, language);
  std::string country = OneLineText(place.country);
  std::string name = OneLineText(place.name);

  ReportRow row;
  std::string& list = row.list;
  list.reserve(200);
  AppendListDate(instants, list);
  list += kind;
  list += ' ';
  AppendLeftFit(country, 10, list);
  list += ' ';
  AppendLeftFit(name, 10, list);
  list += ' ';
  list += LatitudeText(place.LatitudeDegrees());
  list += ' ';
  list += LongitudeText(place.LongitudeDegrees());
  list += ' ';
  AppendInteger(list, place.population, 8);
  list += ' ';
  AppendListContacts(instants, lc, list);

  row.values = RowValues(instants, deltaT, kind, record, lc);
  row.values.country = std::move(country);
  row.values.place = std::move(name);
  row.values.latitude = place.LatitudeDegrees();
  row.values.longitude = place.LongitudeDegrees();
  row.values.height = place.height;
  row.values.population = place.population;
  return row;
}

ReportRun ComputeCityList(const EclipseCatalogue& catalogue, const CityListInputs& inputs,
                          const RunControl& control) {
  return ComputeCityListOf(catalogue, inputs, ReadPlaces(inputs.placesFile), control);
}

ReportRun ComputeCityListOf(const EclipseCatalogue& catalogue, const CityListInputs& inputs,
                            const PlacesList& places, const RunControl& control) {
  if (inputs.thresholdIndex < 0 ||
      inputs.thresholdIndex >= static_cast<int>(kPopulationThresholds.size())) {
    throw std::invalid_argument("population threshold index " +
                                std::to_string(inputs.thresholdIndex) + " outside 0 … 9");
  }
  if (!IsKnownLanguage(inputs.language)) {
    throw std::invalid_argument("language " + std::to_string(LanguageIndex(inputs.language)) +
                                " outside 0 … 2");
  }
  const EclipseRecord record = catalogue.RecordAt(inputs.position);
  const std::int32_t threshold =
      kPopulationThresholds[static_cast<std::size_t>(inputs.thresholdIndex)];
  const double deltaT = DeltaT(record.year, record.month);

  ReportRun run;
  run.kind = ReportKind::kCityList;
  run.language = inputs.language;
  const std::vector<Place>& list = places.places;
  const int count = static_cast<int>(list.size());
  const int chunks = (count + kPlacesPerChunk - 1) / kPlacesPerChunk;
  std::vector<RowChunk> results(static_cast<std::size_t>(chunks));
  const Language language = run.language;
  auto compute = [&](int chunk) {
    RowChunk& out = results[static_cast<std::size_t>(chunk)];
    const int first = chunk * kPlacesPerChunk;
    const int last = std::min(count, first + kPlacesPerChunk);
    out.outcomes.reserve(static_cast<std::size_t>(last - first));
    // Room for a row per place tested, as for the run's rows below.
    out.rows.reserve(static_cast<std::size_t>(
        std::count_if(list.begin() + first, list.begin() + last,
                      [&](const Place& place) { return place.population >= threshold; })));
    for (int i = first; i < last; ++i) {
      const Place& place = list[static_cast<std::size_t>(i)];
      std::uint8_t outcome = 0;
      if (place.population >= threshold) {
        outcome = kTested;
        const double latitude = place.LatitudeDegrees() * kDegToRad;
        const double longitudeWest = -place.LongitudeDegrees() * kDegToRad;
        const auto lc = ComputeLocalCircumstances(record, deltaT, latitude, longitudeWest,
                                                  ObserverGeocentric(place.height, latitude));
        if (lc) {
          outcome |= kInPenumbra;
          if (auto row = CityListRow(record, deltaT, place, *lc, language)) {
            outcome |= kRow;
            out.rows.push_back(std::move(*row));
          }
        }
      }
      out.outcomes.push_back(outcome);
      if (Cancelled(control)) return false;
    }
    return true;
  };
  // The places are taken back one by one in file order, as if read one after the other: counts,
  // status, progress after every line and the cancel check after it.
  auto take = [&](int chunk, bool whole) {
    RowChunk& in = results[static_cast<std::size_t>(chunk)];
    std::size_t row = 0;
    for (const std::uint8_t outcome : in.outcomes) {
      if (outcome & kTested) {
        ++run.scanned;
        if (outcome & kRow) {
          ++run.found;
          run.rows.push_back(std::move(in.rows[row++]));
        }
        // Only a window shows the status while the run goes on.
        if ((outcome & kInPenumbra) && control.progress) {
          run.status = CityListStatusText(run.scanned, run.found, run.language);
        }
      }
      if (Cancelled(control)) {
        run.cancelled = true;
        break;
      }
      if (control.progress) control.progress(run);
    }
    in = RowChunk{};
    // A chunk cut short was cut by a cancel.
    if (!whole) run.cancelled = true;
    return !run.cancelled;
  };
  // Room for a row per place tested, taken once: growing the rows as they come would move every
  // row again and again. Pages of the room never written are never touched.
  std::size_t tested = 0;
  for (const Place& place : list) tested += place.population >= threshold;
  run.rows.reserve(tested);
  RunChunksInOrder(chunks, inputs.threads, compute, take);
  // A run cancelled never reached the line that stopped the reading.
  if (!run.cancelled) run.error = places.error;
  run.status = CityListStatusText(run.scanned, run.found, run.language);
  return run;
}

}  // namespace umbrivista
