// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts both reports are made of: the column formats of their list rows and file rows, the
// contact columns, and the legend, dash template and header of a saved file, per language.
//
// A list row is fixed-width text for the report window; a file row is the same eclipse as
// TAB-separated fields for the saved file. Widths count characters, not bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "eclipse_record.h"
#include "language.h"
#include "local_circumstances.h"

namespace umbrivista {

enum class ReportKind { kCityList, kPlaceHistory };

// The numbers behind one row: the saved text file, the CSV and the JSON are written from these,
// never read back from a text. Angles in degrees; instants hold their own UT dates.
struct ReportRowValues {
  int year = 0, month = 0, day = 0;  // the row's date, as in the text file
  double deltaT = 0;                 // s
  char kind = 0;                     // the letter of the text file
  int saros = 0, sarosMember = 0, sarosCount = 0;
  std::string country, place;          // as in the text file (one line each)
  double latitude = 0, longitude = 0;  // degrees, north and east positive
  std::int32_t height = 0, population = 0;
  bool shown[5] = {};  // C1, C2, Max, C3, C4: computed with the Sun above the horizon
  UTInstant when[5];
  double positionAngle[5] = {}, vertexAngle[5] = {}, sunAltitude[5] = {};
  // With greatest eclipse shown: magnitude, obscuration and, for a central phase, its duration.
  double magnitude = 0, obscuration = 0;
  bool hasDuration = false;
  double durationSeconds = 0;  // whole seconds, as the text file rounds them
};

// One eclipse seen at one place: its line in the report window (without a line end) and the
// values it is made of, from which its saved-file line is written when needed (FileRowText).
struct ReportRow {
  std::string list;
  ReportRowValues values;
};

// ---- fields ----

// Time "hh:mm:ss" from hours after 0 h of the row's date (0 … 48): whole seconds after adding
// half a second, so that a time within half a second of midnight shows as "24:00:00" and a time
// on the next day as "24:…" to "47:…".
std::string TimeOfDayText(double hours);
// Duration "m:ss" from minutes, rounded to whole seconds; empty for a negative or non-finite
// duration.
std::string DurationText(double minutes);
// "47°33'N": degrees and whole arc minutes (rounded, ties to even) of |latitude|; "N" for ≥ 0.
std::string LatitudeText(double degrees);
// "007°35'E" for an east-positive longitude in degrees: "E" for ≥ 0, else "W".
std::string LongitudeText(double degreesEast);
// The place-history form: the letter by language for the side, west when the east-positive
// longitude is ≤ 0 (a longitude of 0 counts as west): German W/O, English W/E, French O/E.
std::string PlaceHistoryLongitudeText(double degreesEast, Language language);

// An angle (radians) in whole degrees, ties to even, right-aligned in `width`.
std::string ListAngle(double radians, int width);
// An angle (radians) in degrees with two decimals.
std::string FileAngle(double radians);

// `text` right-aligned in `width` characters; a longer text keeps its last `width` characters.
std::string RightAlign(std::string_view text, int width);
// A whole number in decimal appended to `out`; `width` > 0 right-aligns it as RightAlign does.
void AppendInteger(std::string& out, long long value, int width = 0);
// `text` left-aligned in `width` characters, padded with blanks or cut after `width` characters.
std::string LeftFit(std::string_view text, int width);
// LeftFit(text, width) appended to `out`.
void AppendLeftFit(std::string_view text, int width, std::string& out);
// `text` with TAB, CR, LF and the other C0 control characters replaced by blanks, so that a name
// cannot break the columns or the lines of a saved file.
std::string OneLineText(std::string_view text);

// ---- contact columns ----

// The instants of one row that are shown: computed, with the Sun above the horizon there.
//
// A row carries one date, that of the first instant shown; every time of the row counts the hours
// from 0 h UT of that date. An eclipse seen across midnight UT thus keeps its times in order and
// each on its right day: C1 at 23:40:12 and C4 at 01:05:30 of the next day are written
// "23:40:12" and "25:05:30" under the date of C1. Rows that do not straddle midnight are written
// as before (the date of the first instant is that of every instant then).
struct RowInstants {
  bool shown[5] = {};
  UTInstant when[5];
  double hours[5] = {};              // hours from 0 h UT of the row's date, 0 ≤ hours < 48
  bool visible = false;              // some instant is shown; otherwise there is no row
  int year = 0, month = 0, day = 0;  // UT date of the first instant shown (C1, C2, Max, C3, C4)
};
RowInstants ShownInstants(const EclipseRecord& record, double deltaT, const LocalCircumstances& lc);

// Appends the date that opens a list row: year, month and day right-aligned in 5, 2 and 2, each
// followed by a blank.
void AppendListDate(const RowInstants& instants, std::string& out);
// Appends the contact part of a list row: the blocks C1, C2, Max, C3, C4 (widths 20, 20, 32, 20,
// 20), blanks where an instant is not shown.
void AppendListContacts(const RowInstants& instants, const LocalCircumstances& lc,
                        std::string& out);
// Appends the line of a row in the saved file of a `kind` report made in `language`, without a
// line end: date, ΔT, kind letter and Saros fields, then the six place fields (country, name,
// latitude, longitude, height, population), then the contact blocks C1, C2, Max, C3, C4 of 4, 4,
// 6, 4 and 4 fields, empty where an instant is not shown; TAB-separated, with as many fields as
// the header whether C4 is shown or not.
void AppendFileRow(ReportKind kind, Language language, const ReportRowValues& values,
                   std::string& out);
std::string FileRowText(ReportKind kind, Language language, const ReportRowValues& values);

// The values of a row from the same instants and circumstances as its list line; the place fields
// (country, place, latitude, longitude, height, population) are left for the caller.
ReportRowValues RowValues(const RowInstants& instants, double deltaT, char kind,
                          const EclipseRecord& record, const LocalCircumstances& lc);

// ---- saved file ----

// The lines above the rows of a saved file, in order: title, "--------", the 24 column
// explanations (in the place-history file, several end with a full stop), the dash template, an
// empty line and the header.
std::vector<std::string> LegendLines(ReportKind kind, Language language);
std::string DashTemplate(Language language);
std::string HeaderLine(Language language);

// The whole saved file: the legend lines, then the file line of every row, every line ending
// with CR LF.
std::string SavedFileText(ReportKind kind, Language language, const std::vector<ReportRow>& rows);

}  // namespace umbrivista
