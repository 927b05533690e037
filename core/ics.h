// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An iCalendar (RFC 5545) document with one event: lines ending in CR LF, folded at 75 octets
// without splitting a UTF-8 character, text values escaped.

#include <ctime>
#include <optional>
#include <string>

namespace umbrivista {

struct IcsEvent {
  std::string uid;
  double startJulianDay = 0;  // UT
  double endJulianDay = 0;    // UT
  std::string summary;
  std::string location;
  double latitude = 0, longitude = 0;  // degrees, east positive
  std::string description;             // lines separated by '\n'
};

// "YYYYMMDDTHHMMSSZ" of a UT Julian day rounded to the second, in the Gregorian calendar as
// iCalendar counts dates (also before 1582); nullopt outside the years 1 to 9999, which it cannot
// write.
std::optional<std::string> IcsDateTime(double julianDay);

// A TEXT value: backslash, semicolon and comma escaped, a line break written as \n, other control
// characters as spaces.
std::string IcsText(const std::string& text);

// One content line folded to lines of at most 75 octets, each ending in CR LF.
std::string FoldIcsLine(const std::string& line);

// The calendar with `stamp` as DTSTAMP; nullopt when an instant cannot be written.
std::optional<std::string> FormatIcsCalendar(const IcsEvent& event, std::time_t stamp);

}  // namespace umbrivista
