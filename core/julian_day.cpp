// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "julian_day.h"

#include <cmath>

namespace umbrivista {

double CalendarToJD(std::int32_t year, std::int32_t month, std::int32_t day, double hours,
                    double minutes, double seconds) {
  // Early years are shifted by whole millennia (365,250 days each) so that every truncation
  // below works on positive numbers.
  double Y = year;
  double M = month;
  double k = 0;
  if (Y < 333) {
    k = std::ceil((333 - Y) / 1000);
    Y += 1000 * k;
  }
  if (M < 3) {
    Y -= 1;
    M += 12;
  }
  double B = 0;
  if (365.25 * Y + 30 * M + day > 578135.5) {
    const long long A = static_cast<long long>(Y) / 100;
    B = static_cast<double>(2 - A + A / 4);
  }
  double jd = std::trunc(365.25 * (Y + 4716)) + std::trunc(30.60001 * (M + 1)) + day + B - 1524.5;
  jd -= 365250.0 * k;
  return jd + hours / 24 + minutes / 1440 + seconds / 86400;
}

namespace {

// Calendar date of the civil day whose number (JD + 0.5, truncated) is z; k millennia are
// taken off the year again.
void DateOfDayNumber(double z, double k, CalendarDate& out) {
  double A = z;
  if (z >= 2299161) {
    const double alpha = std::trunc((z - 1867216.25) / 36524.25);
    A = z + 1 + alpha - std::trunc(alpha / 4);
  }
  const double B = A + 1524;
  const double C = std::trunc((B - 122.1) / 365.25);
  const double Dd = std::trunc(365.25 * C);
  const double E = std::trunc((B - Dd) / 30.60001);
  // Within the accepted range of day numbers every value below fits an int32.
  double month = E - 1;
  if (E >= 14) month -= 12;
  double year = C - 4715;
  if (month >= 3) year -= 1;
  out.day = static_cast<std::int32_t>(B - Dd - std::trunc(30.60001 * E));
  out.month = static_cast<std::int32_t>(month);
  out.year = static_cast<std::int32_t>(year - 1000 * k);
}

}  // namespace

CalendarDate JDToCalendar(double jd) {
  if (!(std::fabs(jd) <= kMaxJulianDayMagnitude)) return CalendarDate{};
  double k = 0;
  if (jd < 1800000) {
    k = std::ceil((1800000 - jd) / 365250);
    jd += 365250 * k;
  }
  double z = std::trunc(jd + 0.5);
  double f = jd - std::trunc(jd) + 0.5;  // in [0.5, 1.5): 1 is midnight
  if (f == 1) f = 0;
  double ms = std::trunc(f * 86400000 + 0.5);
  if (f < 1 && ms >= 86400000) {
    // Rounded up to midnight: the date is the next day's.
    ms = 0;
    z += 1;
  }
  CalendarDate out;
  DateOfDayNumber(z, k, out);
  double hours = std::trunc(ms / 3600000);
  ms -= hours * 3600000;
  const double minutes = std::trunc(ms / 60000);
  ms -= minutes * 60000;
  if (hours > 23) hours -= 24;
  out.hours = hours;
  out.minutes = minutes;
  out.seconds = ms / 1000;
  return out;
}

int DaysInMonth(std::int32_t year, std::int32_t month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool gregorian = year > 1582 || (year == 1582 && month >= 10);
  const std::int64_t y = year;
  const bool leap = gregorian ? (y % 4 == 0 && y % 100 != 0) || y % 400 == 0 : y % 4 == 0;
  if (month == 2 && leap) return 29;
  return kDays[month - 1];
}

}  // namespace umbrivista
