#include "julian_day.h"

#include <cmath>

namespace umbrivista {

double CalendarToJD(std::int32_t year, std::int32_t month, std::int32_t day, double hours,
                    double minutes, double seconds) {
  // Early years are shifted by whole millennia (365,250 days each) so that every truncation
  // below works on positive numbers.
  double Y = year;
  double M = month;
  int k = 0;
  while (Y < 333) {
    Y += 1000;
    ++k;
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
void DateOfDayNumber(double z, int k, CalendarDate& out) {
  double A = z;
  if (z >= 2299161) {
    const double alpha = std::trunc((z - 1867216.25) / 36524.25);
    A = z + 1 + alpha - std::trunc(alpha / 4);
  }
  const double B = A + 1524;
  const double C = std::trunc((B - 122.1) / 365.25);
  const double Dd = std::trunc(365.25 * C);
  const double E = std::trunc((B - Dd) / 30.60001);
  int month = static_cast<int>(E) - 1;
  if (E >= 14) month -= 12;
  int year = static_cast<int>(C) - 4715;
  if (month >= 3) year -= 1;
  out.day = static_cast<std::int32_t>(B - Dd - std::trunc(30.60001 * E));
  out.month = month;
  out.year = year - 1000 * k;
}

}  // namespace

CalendarDate JDToCalendar(double jd) {
  // Beyond about ±9.8 million years (and for NaN) the date saturates at those limits, so that
  // every conversion to an integer below stays in range.
  constexpr double kLowestJD = -3.6e9, kHighestJD = 3.6e9;
  if (!(jd >= kLowestJD)) jd = kLowestJD;
  if (jd > kHighestJD) jd = kHighestJD;
  // Early instants are shifted by the fewest whole millennia (365,250 days each) that bring them
  // to JD 1,800,000 or later.
  int k = 0;
  if (jd < 1800000) {
    k = static_cast<int>(std::ceil((1800000 - jd) / 365250));
    while (jd + 365250.0 * k < 1800000) ++k;
    while (k > 0 && jd + 365250.0 * (k - 1) >= 1800000) --k;
    jd += 365250.0 * k;
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

}  // namespace umbrivista
