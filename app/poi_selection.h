#pragma once
// The list of points of interest as the program keeps it: the list file the user edits, and the
// lines of it drawn on the globe, which are kept beside the settings between runs.

#include <string>
#include <vector>

#include "language.h"
#include "poi_list.h"

namespace umbrivista {

// The list file: `exists` false when there is none (or no path); `readable` false when it exists
// but cannot be read (a folder, a pipe, no permission); otherwise its lines.
struct PoIListFile {
  bool exists = false;
  bool readable = true;
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

// The selection kept from the last run: the point lines of the file; none when it is missing or
// cannot be read.
PoISelection ReadPoISelection(const std::string& path);

}  // namespace umbrivista
