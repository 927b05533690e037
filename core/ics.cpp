// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ics.h"

#include <cmath>
#include <cstdio>

namespace umbrivista {

std::optional<std::string> IcsDateTime(double julianDay) {
  if (!std::isfinite(julianDay)) return std::nullopt;
  // Whole seconds from the Julian day's start at noon, then the Gregorian date of the day
  // (Fliegel and Van Flandern, Communications of the ACM 11, 1968, p. 657).
  const double seconds = std::floor(julianDay * 86400 + 43200 + 0.5);
  if (std::fabs(seconds) > 1e15) return std::nullopt;
  const long long total = static_cast<long long>(seconds);
  long long jdn = total / 86400;
  long long second = total % 86400;
  if (second < 0) {
    second += 86400;
    --jdn;
  }
  const long long l = jdn + 68569;
  const long long n = 4 * l / 146097;
  const long long l2 = l - (146097 * n + 3) / 4;
  const long long i = 4000 * (l2 + 1) / 1461001;
  const long long l3 = l2 - 1461 * i / 4 + 31;
  const long long j = 80 * l3 / 2447;
  const long long day = l3 - 2447 * j / 80;
  const long long l4 = j / 11;
  const long long month = j + 2 - 12 * l4;
  const long long year = 100 * (n - 49) + i + l4;
  if (jdn < 1721426 || year > 9999) return std::nullopt;  // 1721426: 0001-01-01
  char buf[96];
  std::snprintf(buf, sizeof buf, "%04lld%02lld%02lldT%02lld%02lld%02lldZ", year, month, day,
                second / 3600, second / 60 % 60, second % 60);
  return std::string(buf);
}

std::string IcsText(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\' || c == ';' || c == ',') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      // dropped: "\r\n" is one line break
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string FoldIcsLine(const std::string& line) {
  std::string out;
  std::size_t start = 0;
  std::size_t limit = 75;  // octets of the first line; the continuation lines begin with a space
  while (line.size() - start > limit) {
    std::size_t cut = start + limit;
    // Back to the first octet of a UTF-8 character.
    while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    if (cut == start) cut = start + limit;
    out += line.substr(start, cut - start) + "\r\n ";
    start = cut;
    limit = 74;
  }
  return out + line.substr(start) + "\r\n";
}

std::optional<std::string> FormatIcsCalendar(const IcsEvent& event, std::time_t stamp) {
  const auto start = IcsDateTime(event.startJulianDay);
  const auto end = IcsDateTime(event.endJulianDay);
  const auto now = IcsDateTime(static_cast<double>(stamp) / 86400 + 2440587.5);
  if (!start || !end || !now) return std::nullopt;
  char geo[64];
  std::snprintf(geo, sizeof geo, "GEO:%.6f;%.6f", event.latitude, event.longitude);
  std::string out;
  for (const std::string& line : {
           std::string("BEGIN:VCALENDAR"),
           std::string("VERSION:2.0"),
           std::string("PRODID:-//Umbrivista//Solar eclipses//EN"),
           std::string("CALSCALE:GREGORIAN"),
           std::string("BEGIN:VEVENT"),
           "UID:" + IcsText(event.uid),
           "DTSTAMP:" + *now,
           "DTSTART:" + *start,
           "DTEND:" + *end,
           "SUMMARY:" + IcsText(event.summary),
           "LOCATION:" + IcsText(event.location),
           std::string(geo),
           "DESCRIPTION:" + IcsText(event.description),
           std::string("TRANSP:TRANSPARENT"),
           std::string("END:VEVENT"),
           std::string("END:VCALENDAR"),
       }) {
    out += FoldIcsLine(line);
  }
  return out;
}

}  // namespace umbrivista
