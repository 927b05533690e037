// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Calendar date ↔ Julian day. Julian calendar before 1582-10-15, Gregorian from then on;
// astronomical year numbering (year 0 exists). The time scale is whatever the caller uses.
// Algorithm: J. Meeus, Astronomical Algorithms, 2nd ed. (1998), ch. 7, with early years moved
// by whole millennia of 365,250 days so that every truncation works on positive numbers.

#include <cstdint>

namespace umbrivista {

struct CalendarDate {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
  double hours = 0;    // whole number 0–23
  double minutes = 0;  // whole number 0–59
  double seconds = 0;  // millisecond resolution
};

// Julian day of year-month-day plus the given hours, minutes and seconds (any of which may lie
// outside their usual ranges, e.g. seconds = 3600·t).
double CalendarToJD(std::int32_t year, std::int32_t month, std::int32_t day, double hours,
                    double minutes, double seconds);

// Julian days beyond ±1e9 (years beyond about ±2.7 million) have no calendar date here.
inline constexpr double kMaxJulianDayMagnitude = 1e9;

// Calendar date and time of day of a Julian day, rounded to the millisecond; an instant that
// rounds up to 24:00 gives 00:00 of the next day. A non-finite jd or one beyond
// ±kMaxJulianDayMagnitude gives the all-zero date (month 0).
CalendarDate JDToCalendar(double jd);

// Days of a month (1–12) in the same calendar: Julian before 1582-10-15, Gregorian from then on
// (October 1582 counts 31 days, of which the 5th to the 14th do not exist).
int DaysInMonth(std::int32_t year, std::int32_t month);

}  // namespace umbrivista
