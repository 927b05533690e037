// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi_selection.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <span>

#include "safe_file.h"
#include "text_encoding.h"

namespace umbrivista {

PoIListFile ReadPoIListFile(const std::string& path) {
  PoIListFile file;
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) return file;
  file.exists = true;
  const auto refuse = [&file, &path](const std::string& why) {
    file.readable = false;
    file.problem = path + ": " + why;
    return file;
  };
  // Only a regular file is opened: a pipe or a device would block or never end.
  if (!std::filesystem::is_regular_file(path, ec)) return refuse("not a regular file");
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return refuse("cannot be read: " + ec.message());
  if (size > kMaxPoIListBytes)
    return refuse("larger than " + std::to_string(kMaxPoIListBytes >> 20) + " MiB");
  std::ifstream in(path, std::ios::binary);
  std::string bytes;
  if (in.is_open()) bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (!in.is_open() || in.bad()) return refuse("cannot be read");
  file.lines = SplitLines(DecodeTextFile(bytes));
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    if (ToCodePoints(file.lines[i]).size() > kMaxPoILineCharacters) {
      file.lines.clear();
      return refuse("line " + std::to_string(i + 1) + ": longer than " +
                    std::to_string(kMaxPoILineCharacters) + " characters");
    }
  }
  return file;
}

void WriteLinesFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  WriteFileSafely(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool PoISelection::Contains(const std::string& line) const {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

PoISelection SelectPoIs(const std::vector<std::string>& checkedLines, Language language,
                        std::vector<std::string>& problems) {
  PoISelection selection;
  for (const std::string& text : checkedLines) {
    const PoILine line = ParsePoILine(text);
    if (line.kind == PoILine::kPoint) {
      selection.marks.push_back(line.mark);
      selection.lines.push_back(text);
    }
    if (line.kind == PoILine::kBadField) problems.push_back(PoIErrorMessage(line, language));
  }
  return selection;
}

std::vector<bool> CarriedCheckMarks(const std::vector<std::string>& before,
                                    const std::vector<bool>& checkedBefore,
                                    const std::vector<std::string>& now) {
  std::map<std::string, int> marks;
  for (std::size_t i = 0; i < before.size() && i < checkedBefore.size(); ++i)
    if (checkedBefore[i]) ++marks[before[i]];
  std::vector<bool> checked(now.size(), false);
  for (std::size_t i = 0; i < now.size(); ++i) {
    const auto mark = marks.find(now[i]);
    if (mark == marks.end() || mark->second == 0) continue;
    --mark->second;
    checked[i] = true;
  }
  return checked;
}

PoISelection ReadPoISelection(const std::string& path) {
  const PoIListFile file = ReadPoIListFile(path);
  std::vector<std::string> ignored;
  return SelectPoIs(file.lines, kDefaultLanguage, ignored);
}

}  // namespace umbrivista
