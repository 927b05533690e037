// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list of points of interest as the program keeps it: the list file the user edits, and the
// lines of it drawn on the globe, which are kept beside the settings between runs.

#include <cstdint>
#include <string>
#include <vector>

#include "language.h"
#include "poi_list.h"

namespace umbrivista {

// A list holds a few hundred places; anything far beyond is not such a list (and would take the
// editor minutes to show).
inline constexpr std::uintmax_t kMaxPoIListBytes = 1 << 20;
inline constexpr std::size_t kMaxPoILineCharacters = 1000;

// The list file: `exists` false when there is none (or no path); `readable` false when it exists
// but cannot be used, with `problem` saying why ("FILE: line N: …" or "FILE: …"): not a regular
// file, no permission, larger than kMaxPoIListBytes, a line longer than kMaxPoILineCharacters.
// Otherwise its lines.
struct PoIListFile {
  bool exists = false;
  bool readable = true;
  std::string problem;
  std::vector<std::string> lines;
};
PoIListFile ReadPoIListFile(const std::string& path);

// The lines, each ended by a line feed, written safely (the old file stays on failure; throws).
void WriteLinesFile(const std::string& path, const std::vector<std::string>& lines);

// The points drawn on the globe and the list lines they came from.
struct PoISelection {
  std::vector<MapMark> marks;
  std::vector<std::string> lines;
  bool Contains(const std::string& line) const;
};

// The points among the checked lines; a line with a bad field is left out and its message (in
// `language`) added to `problems`.
PoISelection SelectPoIs(const std::vector<std::string>& checkedLines, Language language,
                        std::vector<std::string>& problems);

// The check marks of the lines `now` offered after the list was edited and saved: a line is
// checked when an equal line was checked `before`, each checked line lending its mark to one line
// only (a line typed twice keeps as many marks as it had). Lines changed or added come unchecked.
std::vector<bool> CarriedCheckMarks(const std::vector<std::string>& before,
                                    const std::vector<bool>& checkedBefore,
                                    const std::vector<std::string>& now);

// The selection kept from the last run: the point lines of the file; none when it is missing or
// cannot be read.
PoISelection ReadPoISelection(const std::string& path);

}  // namespace umbrivista
