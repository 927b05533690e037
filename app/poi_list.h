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

struct PoILine {
  enum Kind { kSkipped, kPoint, kBadField };
  Kind kind = kSkipped;
  MapMark mark;             // kPoint: title and position
  std::string field;        // kBadField: "latitude" or "longitude"
  std::string repaired;     // the line with its number fields repaired
};

// One line (UTF-8; columns count characters): lines under 30 characters are skipped; a blank in
// column 15 or 24 becomes ".", one in 16, 17, 25 or 26 becomes "0"; "s" and "w" count like "S" and
// "W". The title is the text from column 29 on, cut before a "(" that is not its first character
// and then trimmed (without a "(" it keeps its leading blank).
PoILine ParsePoILine(std::string_view line);

// The message for a bad field: the coordinate error text of the language, the field and the line.
std::string PoIErrorMessage(const PoILine& line, Language language);

// The lines of a text, without their line ends (LF or CR LF); no empty last line for a final end.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace umbrivista
