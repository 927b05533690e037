// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The machine-readable forms of a report's rows: CSV and JSON with stable English column names.
//
// Both are written from the values of the rows (ReportRow::values), never from their text, with
// "." as decimal separator whatever the locale. Instants are ISO 8601 UT rounded to whole seconds
// as the text file rounds them ("2024-04-08T18:40:40Z"; astronomical years, those before 1 with a
// minus sign, "-0584-05-28T…"); angles, latitude and longitude in decimal degrees
// (north and east positive); the duration of the central phase in seconds. A value the row does
// not have (an instant below the horizon, the duration of a partial eclipse) is an empty CSV field
// or a JSON null.

#include <string>
#include <string_view>
#include <vector>

#include "place_zones.h"
#include "report_formats.h"

namespace umbrivista {

enum class ReportFileFormat { kText, kCsv, kJson };

// The column names in file order: date_ut, delta_t_s, kind, saros, saros_member, saros_count,
// country, place, latitude_deg, longitude_deg, height_m, population, then for c1, c2, max, c3 and
// c4 the instant (…_ut), position angle (…_p_deg), vertex angle (…_v_deg) and the Sun's altitude
// (…_alt_deg), with magnitude, obscuration and duration_s after the max block; last the place's
// clock: time_zone (the IANA zone, or "UT+2 (nautical)" far from every place), utc_offset_s (at
// greatest eclipse, else at the first instant shown) and c1_local … c4_local, the instants as
// local civil date and time "2024-04-08T13:40:40" (each with its own offset: daylight saving may
// begin during an eclipse), empty where the clock is not known.
const std::vector<std::string>& ReportColumnNames();

// Where the local civil times come from: the places' zones and the offsets of a zone (see
// ui/civil_time.h). Without zones the clock's columns stay empty.
struct ReportClock {
  const PlaceZones* zones = nullptr;
  CivilOffsetFn offsets;
};

// An instant as "YYYY-MM-DDThh:mm:ssZ", its time rounded to whole seconds (23:59:59.6 gives
// 00:00:00 of the next day).
std::string IsoInstantText(const UTInstant& when);

// One CSV field as RFC 4180 writes it: in double quotes, quotes doubled, when it holds a comma,
// a quote, CR or LF; otherwise as it is.
std::string CsvField(std::string_view text);

// The CSV file: the header row of column names, then one record per row, every record ending with
// CR LF as RFC 4180 has it. A text field (country, place) that a spreadsheet would take for a
// formula (starting with =, +, -, @) gets a leading apostrophe.
std::string ReportCsvText(const std::vector<ReportRow>& rows, const ReportClock& clock = {});

// The JSON file: an array of one object per row, keys in column order, numbers as in the CSV,
// null for an absent value; one object per line.
std::string ReportJsonText(const std::vector<ReportRow>& rows, const ReportClock& clock = {});

}  // namespace umbrivista
