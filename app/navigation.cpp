// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "navigation.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "eclipse_date.h"
#include "eclipse_types.h"
#include "deltat.h"
#include "julian_day.h"
#include "numbers.h"
#include "shadow.h"

namespace umbrivista {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

}  // namespace

double TimeForSliderPosition(int position) {
  return (position - kTimeSliderCentre) / static_cast<double>(kTimeSliderCentre) *
         kTimeSliderHalfRangeHours;
}

int SliderPositionForTime(double t) {
  const double p = t * kTimeSliderCentre / kTimeSliderHalfRangeHours + kTimeSliderCentre;
  if (std::isnan(p)) return kTimeSliderCentre;
  return static_cast<int>(std::clamp(std::round(p), 0.0, static_cast<double>(kTimeSliderMax)));
}

std::optional<DateEntry> ParseDateEntry(std::string_view text) {
  text = Trimmed(text);
  // The year's sign, then the parts split at the "-" that follow its digits.
  std::size_t start = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
  const std::size_t firstDash = text.find('-', start);
  DateEntry entry;
  const auto year = ParseInteger(text.substr(0, firstDash));
  if (!year) return std::nullopt;
  entry.year = *year;
  if (firstDash == std::string_view::npos) return entry;
  auto twoDigits = [](std::string_view part) -> std::optional<int> {
    if (part.size() != 2 || !std::isdigit(static_cast<unsigned char>(part[0])) ||
        !std::isdigit(static_cast<unsigned char>(part[1]))) {
      return std::nullopt;
    }
    return (part[0] - '0') * 10 + (part[1] - '0');
  };
  const std::string_view rest = text.substr(firstDash + 1);
  const std::size_t secondDash = rest.find('-');
  const auto month = twoDigits(rest.substr(0, secondDash));
  if (!month || *month < 1 || *month > 12) return std::nullopt;
  entry.month = *month;
  if (secondDash == std::string_view::npos) return entry;
  const auto day = twoDigits(rest.substr(secondDash + 1));
  const long long clamped =
      std::clamp<long long>(entry.year, kFirstCatalogueYear, kLastCatalogueYear);
  if (!day || *day < 1 || *day > DaysInMonth(static_cast<int>(clamped), entry.month)) {
    return std::nullopt;
  }
  entry.day = *day;
  return entry;
}

std::optional<BoxSelection> SelectByYear(const EclipseCatalogue& catalogue, std::string_view text,
                                         bool ut) {
  const auto entry = ParseDateEntry(text);
  if (!entry) return std::nullopt;
  const int year = static_cast<int>(
      std::clamp<long long>(entry->year, kFirstCatalogueYear, kLastCatalogueYear));
  const int position = FindByGreatestEclipseDate(catalogue, year, std::max(1, entry->month),
                                                 std::max(1, entry->day), ut);
  if (entry->month == 0 || position == 0) return BoxSelection{position, std::to_string(year)};
  return BoxSelection{position, EclipseDateText(catalogue, position, ut)};
}

std::string YearBoxHint(Language language) {
  switch (language) {
    case Language::kGerman:
      return "Jahr, JJJJ-MM oder JJJJ-MM-TT";
    case Language::kEnglish:
      return "a year, YYYY-MM or YYYY-MM-DD";
    case Language::kFrench:
      return "une année, AAAA-MM ou AAAA-MM-JJ";
  }
  return "";
}

std::string EclipseDateText(const EclipseCatalogue& catalogue, int position, bool ut) {
  if (position < 1 || position > catalogue.RecordCount()) return "";
  const EclipseRecord& r = catalogue.RecordAt(position);
  const CalendarDate d = GreatestEclipseDate(r, ut ? DeltaT(r.year, r.month) : 0);
  return IsoDate(d.year, d.month, d.day);
}

std::vector<YearEclipse> EclipsesOfYear(const EclipseCatalogue& catalogue, int year, bool ut,
                                        Language language) {
  std::vector<YearEclipse> out;
  const int first = FindByGreatestEclipseDate(catalogue, year, 1, 1, ut);
  for (int p = std::max(1, first); p >= 1 && p <= catalogue.RecordCount(); ++p) {
    const EclipseRecord& r = catalogue.RecordAt(p);
    const double deltaT = DeltaT(r.year, r.month);
    const CalendarDate d = GreatestEclipseDate(r, ut ? deltaT : 0);
    if (d.year != year) break;
    const GreatestEclipsePlace place = GreatestEclipsePoint(r, deltaT);
    auto coordinate = [](double value, const char* plus, const char* minus) {
      return FormatFixed(std::fabs(value), 1) + "\u00b0 " + (value < 0 ? minus : plus);
    };
    out.push_back({p, IsoDate(d.year, d.month, d.day) + "  " + ShortTypeName(r.typeCode, language) +
                          "  " + coordinate(place.latitude, "N", "S") + " " +
                          coordinate(place.longitude, language == Language::kGerman ? "O" : "E",
                                     language == Language::kFrench ? "O" : "W")});
  }
  return out;
}

std::optional<int> ParseClockTime(std::string_view text) {
  text = Trimmed(text);
  int parts[3] = {0, 0, 0};
  int count = 0;
  while (count < 3) {
    const std::size_t colon = text.find(':');
    const std::string_view part = text.substr(0, colon);
    if (part.empty() || part.size() > 2) return std::nullopt;
    for (const char c : part) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    parts[count++] = std::stoi(std::string(part));
    if (colon == std::string_view::npos) break;
    if (count == 3) return std::nullopt;  // a fourth part
    text.remove_prefix(colon + 1);
  }
  if (count < 2) return std::nullopt;
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::optional<int> SliderPositionForClockTime(const EclipseRecord& record, double deltaT,
                                              int secondsOfDay) {
  // The instant at the slider's start, as seconds of its day in the shown scale; the slider's
  // 7 hours hold each time of day at most once.
  const double start = InstantJulianDay(record, -kTimeSliderHalfRangeHours, deltaT);
  // Rounded to the millisecond, so that the range's own ends are found.
  const double startSeconds =
      std::round((start + 0.5 - std::floor(start + 0.5)) * 86400 * 1000) / 1000;
  double offset = secondsOfDay - startSeconds;
  if (offset < 0) offset += 86400;
  const double t = -kTimeSliderHalfRangeHours + offset / 3600;
  if (t > kTimeSliderHalfRangeHours + 1e-6) return std::nullopt;
  return SliderPositionForTime(t);
}

std::string TimeBoxHint(Language language) {
  switch (language) {
    case Language::kGerman:
      return "HH:MM oder HH:MM:SS innerhalb von ±3.5 h";
    case Language::kEnglish:
      return "HH:MM or HH:MM:SS within the ±3.5 h";
    case Language::kFrench:
      return "HH:MM ou HH:MM:SS dans les ±3.5 h";
  }
  return "";
}

BoxSelection SelectBySaros(const EclipseCatalogue& catalogue, std::string_view text,
                           int currentSaros) {
  constexpr long long kDefaultSaros = 139;
  const long long value = ParseInteger(Trimmed(text)).value_or(kDefaultSaros);
  const int saros = static_cast<int>(
      std::clamp<long long>(value, catalogue.MinSaros(), catalogue.MaxSaros()));
  const int position = catalogue.FindBySaros(saros);
  if (position == 0) return {0, std::to_string(currentSaros)};
  return {position, std::to_string(saros)};
}

int StepInSeries(const EclipseCatalogue& catalogue, int position, bool forward, int members) {
  const int count = catalogue.RecordCount();
  if (position < 1 || position > count || members < 1) return 0;
  const int saros = catalogue.RecordAt(position).sarosNumber;
  const auto& records = catalogue.Records();
  int p = position;
  for (int found = 0; found < members; ++found) {
    do {
      p += forward ? 1 : -1;
      if (p < 1 || p > count) return 0;
    } while (records[p - 1].sarosNumber != saros);
  }
  return p;
}

}  // namespace umbrivista
