// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "place_history_run.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>
#include <stdexcept>

#include "angles.h"
#include "captions.h"
#include "deltat.h"
#include "julian_day.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "ordered_chunks.h"
#include "string_table.h"

namespace umbrivista {

namespace {

// Progress is reported at every this many catalogue records.
constexpr int kProgressInterval = 20;
// Catalogue records per share of the work.
constexpr int kRecordsPerChunk = 256;

bool WithinLimits(PlaceField field, double value) {
  switch (field) {
    case PlaceField::kLatitude:
      return std::fabs(value) <= kMaxPlaceLatitude;
    case PlaceField::kLongitude:
      return std::fabs(value) <= kMaxPlaceLongitude;
    case PlaceField::kHeight:
      return value >= kMinPlaceHeight && value <= kMaxPlaceHeight;
  }
  return false;
}

}  // namespace

std::optional<double> ReadPlaceNumber(PlaceField field, std::string_view text) {
  const std::optional<double> value = ParseReal(text);
  if (!value || !WithinLimits(field, *value)) return std::nullopt;
  return value;
}

std::string InvalidPlaceNumberMessage(PlaceField field, std::string_view text, Language language) {
  static const char* const kLabels[3] = {"Label2", "Label3", "Label4"};
  if (!IsKnownLanguage(language)) return {};
  const std::string label =
      Caption(CaptionWindow::kPlaceHistory, kLabels[static_cast<int>(field)], language);
  return label + " " + QuoteForMessage(text, 40) + StringItem(Text::kInvalidNumber, language);
}

std::int32_t RoundHeight(double metres) {
  if (!(metres > INT32_MIN && metres < INT32_MAX)) return metres > 0 ? INT32_MAX : INT32_MIN;
  return static_cast<std::int32_t>(std::nearbyint(metres));
}

std::string PlaceHistoryStatusText(int scanned, int found, Language language) {
  if (!IsKnownLanguage(language)) return {};
  return std::to_string(scanned) + " " + StringItem(Text::kEclipsesScanned, language) + ". " +
         std::to_string(found) + " " + StringItem(Text::kEclipsesFound, language);
}

std::optional<ReportRow> PlaceHistoryRow(const EclipseRecord& record, double deltaT,
                                         const PlaceHistoryInputs& place,
                                         const LocalCircumstances& lc) {
  const RowInstants instants = ShownInstants(record, deltaT, lc);
  if (!instants.visible) return std::nullopt;
  const char kind = EclipseKindLetter(lc.kind, place.language);
  std::string name = OneLineText(place.name);
  std::string country = OneLineText(place.country);
  const double roundedDeltaT = std::nearbyint(deltaT);

  ReportRow row;
  std::string& list = row.list;
  list.reserve(160);
  AppendListDate(instants, list);
  AppendInteger(list, std::fabs(roundedDeltaT) < 1e15 ? static_cast<long long>(roundedDeltaT) : 0,
                6);
  list += ' ';
  list += kind;
  list += ' ';
  AppendLeftFit(name, 5, list);
  list += ' ';
  AppendInteger(list, record.sarosNumber, 4);
  list += ' ';
  AppendInteger(list, record.sarosMember, 2);
  list += ' ';
  AppendInteger(list, record.sarosMemberCount, 2);
  list += ' ';
  AppendListContacts(instants, lc, list);

  row.values = RowValues(instants, deltaT, kind, record, lc);
  row.values.country = std::move(country);
  row.values.place = std::move(name);
  row.values.latitude = place.latitude;
  row.values.longitude = place.longitude;
  row.values.height = place.height;
  row.values.population = place.population;
  return row;
}

ReportRun ComputePlaceHistory(const EclipseCatalogue& catalogue, const PlaceHistoryInputs& inputs,
                              const RunControl& control) {
  if (!IsKnownLanguage(inputs.language)) {
    throw std::invalid_argument("language " + std::to_string(LanguageIndex(inputs.language)) +
                                " outside 0 … 2");
  }
  ReportRun run;
  run.kind = ReportKind::kPlaceHistory;
  run.language = inputs.language;
  const std::pair<PlaceField, double> checks[] = {{PlaceField::kLatitude, inputs.latitude},
                                                  {PlaceField::kLongitude, inputs.longitude},
                                                  {PlaceField::kHeight, inputs.height}};
  for (const auto& [field, value] : checks) {
    if (!std::isfinite(value) || !WithinLimits(field, value)) {
      run.error = InvalidPlaceNumberMessage(field, FormatShortest(value), run.language);
      return run;
    }
  }

  const double latitude = inputs.latitude * kDegToRad;
  const double longitudeWest = -inputs.longitude * kDegToRad;
  const ObserverConstants observer = ObserverGeocentric(inputs.height, latitude);
  const std::span<const EclipseRecord> records = catalogue.Records();
  const int count = static_cast<int>(records.size());
  const int chunks = (count + kRecordsPerChunk - 1) / kRecordsPerChunk;
  std::vector<RowChunk> results(static_cast<std::size_t>(chunks));
  auto compute = [&](int chunk) {
    RowChunk& out = results[static_cast<std::size_t>(chunk)];
    const int first = chunk * kRecordsPerChunk;
    const int last = std::min(count, first + kRecordsPerChunk);
    out.outcomes.reserve(static_cast<std::size_t>(last - first));
    out.rows.reserve(static_cast<std::size_t>(last - first));  // never moved while they come
    for (int index = first; index < last; ++index) {
      const EclipseRecord& record = records[static_cast<std::size_t>(index)];
      const double deltaT = DeltaT(record.year, record.month);
      // The year of greatest eclipse in UT, as far as the coarse Julian day of the record allows.
      const int year = JDToCalendar(static_cast<double>(record.julianDay) - deltaT / 86400).year;
      std::uint8_t outcome = 0;
      if (year >= inputs.firstYear && year <= inputs.lastYear) {
        const auto lc = ComputeLocalCircumstances(record, deltaT, latitude, longitudeWest, observer);
        if (lc) {
          outcome = kInPenumbra;
          if (auto row = PlaceHistoryRow(record, deltaT, inputs, *lc)) {
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
  // The records are taken back one by one in catalogue order, as if computed one after the
  // other: counts, status, progress at every 20th record and the cancel check after each.
  auto take = [&](int chunk, bool whole) {
    RowChunk& in = results[static_cast<std::size_t>(chunk)];
    std::size_t row = 0;
    int position = chunk * kRecordsPerChunk;
    for (const std::uint8_t outcome : in.outcomes) {
      ++position;
      if (position % kProgressInterval == 0 && control.progress) control.progress(run);
      run.scanned = position;
      if (outcome & kRow) {
        ++run.found;
        run.rows.push_back(std::move(in.rows[row++]));
      }
      // Only a window shows the status while the run goes on.
      if ((outcome & kInPenumbra) && control.progress) {
        run.status = PlaceHistoryStatusText(run.scanned, run.found, run.language);
      }
      if (Cancelled(control)) {
        run.cancelled = true;
        break;
      }
    }
    in = RowChunk{};
    // A chunk cut short was cut by a cancel.
    if (!whole) run.cancelled = true;
    return !run.cancelled;
  };
  // Room for a row per record, taken once (see the city list).
  run.rows.reserve(records.size());
  RunChunksInOrder(chunks, inputs.threads, compute, take);
  run.status = PlaceHistoryStatusText(run.scanned, run.found, run.language);
  return run;
}

}  // namespace umbrivista
