// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list of points of interest, "Umbrivista_PoI.txt" in the user's documents folder: one place
// per line in fixed character columns,
//   +YYYY MM DD nn.nn N nnn.nn E Place or designation (comment)
// latitude in columns 13–17 with N or S in column 19, longitude in columns 21–26 with E or W in
// column 28, the title from column 29 on. The date says which eclipse the place belongs to; the
// program does not read it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language.h"
#include "map_mark.h"
#include "text_encoding.h"

namespace umbrivista {

inline constexpr const char* kPoIFileName = "Umbrivista_PoI.txt";
// The lines of that list drawn on the globe, kept beside the settings between runs.
inline constexpr const char* kPoISelectionFileName = "Umbrivista_PoI_selection.txt";

// The editor's lines while no file exists.
const std::vector<std::string>& DefaultPoILines();

// The date at the front of a line: the eclipse the place belongs to.
struct PoIDate {
  int year = 0;  // astronomical numbering
  int month = 0;
  int day = 0;
  bool operator==(const PoIDate&) const = default;
};

// The fields of a line, in line order, as a bad field names them.
inline constexpr const char* kPoIFields[] = {"date", "latitude", "N/S", "longitude", "E/W"};

struct PoILine {
  enum Kind { kSkipped, kPoint, kBadField };
  Kind kind = kSkipped;
  MapMark mark;                  // kPoint: title and position
  std::optional<PoIDate> date;   // kPoint: the date when the line's front reads as one
  std::string field;             // kBadField: one of kPoIFields
  std::string repaired;          // the line with its number fields repaired
};

// One line (UTF-8; columns count characters), in one of two layouts.
//
// Fixed columns, when columns 18, 20 and 27 are blank: lines under 30 characters are skipped; a
// blank in column 15 or 24 becomes ".", one in 16, 17, 25 or 26 becomes "0"; "s" and "w" count
// like "S" and "W". The title is the text from column 29 on, cut before a "(" that is not its
// first character and then trimmed (without a "(" it keeps its leading blank).
//
// Free spacing otherwise: the same fields separated by any blanks or tabs, "+2017 8 21 29.95 N
// 90.45 W New Orleans"; the letters N, S, E and W are required (they may stand right after their
// number) and the degrees must lie within 0 … 90 and 0 … 180. An "O", which is east in German and
// west in French, is refused. The title is taken as in the fixed layout from the text after the
// E or W; a line without a title is skipped. When a line in the fixed layout also reads in free
// spacing to another place, it is refused as ambiguous.
PoILine ParsePoILine(std::string_view line);

// The message for a bad field: the coordinate error text of the language, the field, the form it
// must have and the line.
std::string PoIErrorMessage(const PoILine& line, Language language);

// The list line of a point in the fixed layout, "+2017 08 21 29.95 N 090.45 W New Orleans": the
// date, the coordinates rounded to 0.01° and the name with control characters turned into blanks
// and trimmed. "" when the name is empty then, or a coordinate is beyond ±90° or ±180°.
std::string PoIListLine(const PoIDate& date, double latitude, double longitude,
                        std::string_view name);

// The lines of a text, without their line ends (LF or CR LF); no empty last line for a final end.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace umbrivista
