// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "eclipse_date.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "angles.h"
#include "deltat.h"
#include "numbers.h"
#include "shadow.h"

namespace umbrivista {

namespace {

constexpr double kSecondsPerDay = 86400;

double Rate(const float (&c)[4], double t) {
  return c[1] + 2.0 * c[2] * t + 3.0 * c[3] * t * t;
}

double Acceleration(const float (&c)[4], double t) {
  return 2.0 * c[2] + 6.0 * c[3] * t;
}

}  // namespace

double EstimatedMaximum(const EclipseRecord& record) {
  const double x0 = record.x[0], x1 = record.x[1], y0 = record.y[0], y1 = record.y[1];
  const double speed2 = x1 * x1 + y1 * y1;
  if (!(speed2 > 0)) return 0;
  return (-x0 * x1 - y0 * y1) / speed2;
}

double GreatestEclipseTime(const EclipseRecord& r) {
  const double estimate = EstimatedMaximum(r);
  if (!std::isfinite(estimate)) return 0;
  // f(t) = x·x′ + y·y′ is half the rate of x² + y²; its root is the least distance.
  double t = estimate;
  for (int step = 0; step < 20; ++step) {
    const double x = EvaluateCubic(r.x, t), y = EvaluateCubic(r.y, t);
    const double xr = Rate(r.x, t), yr = Rate(r.y, t);
    const double f = x * xr + y * yr;
    const double df = xr * xr + yr * yr + x * Acceleration(r.x, t) + y * Acceleration(r.y, t);
    const double dt = f / df;
    if (!std::isfinite(dt)) break;
    t -= dt;
    if (std::fabs(t) > kMaxHoursFromT0) break;
    if (std::fabs(dt) < 1e-7) return t;
  }
  return std::clamp(estimate, -kMaxHoursFromT0, kMaxHoursFromT0);
}

double GreatestEclipseJulianDay(const EclipseRecord& r, double deltaT) {
  return InstantJulianDay(r, GreatestEclipseTime(r), deltaT);
}

CalendarDate GreatestEclipseDate(const EclipseRecord& r, double deltaT) {
  // The date of the instant rounded to the second, as the program shows instants.
  const double jd = GreatestEclipseJulianDay(r, deltaT);
  return JDToCalendar(std::floor(jd * 86400 + 0.5) / 86400);
}

std::string IsoDate(int year, int month, int day) {
  char buf[48];
  const long long y = year;  // |INT32_MIN| does not fit an int
  std::snprintf(buf, sizeof buf, "%s%04lld-%02d-%02d", y < 0 ? "-" : "", y < 0 ? -y : y, month,
                day);
  return buf;
}

const char* TimeScaleName(bool ut, Language language) {
  return !ut ? "TT" : language == Language::kFrench ? "TU" : "UT";
}

std::string DateTimeLine(double julianDay, bool ut, Language language) {
  // Rounded to the second before the conversion, so that a carry reaches the minutes, hours and
  // the date instead of showing 60 seconds.
  const double rounded = std::floor(julianDay * kSecondsPerDay + 0.5) / kSecondsPerDay;
  const CalendarDate c = JDToCalendar(rounded);
  const long long year = c.year;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s%04lld-%02d-%02d  %02d:%02d:%02d %s", year < 0 ? "-" : "",
                year < 0 ? -year : year, c.month, c.day, static_cast<int>(c.hours),
                static_cast<int>(c.minutes), static_cast<int>(std::lround(c.seconds)),
                TimeScaleName(ut, language));
  return buf;
}

std::string DeltaTSecondsText(double deltaTSeconds, int year) {
  return FormatFixed(deltaTSeconds, year < 1900 ? 0 : 1);
}

GreatestEclipsePlace GreatestEclipsePoint(const EclipseRecord& r, double deltaT) {
  ShadowState s;
  s.deltaT = deltaT;
  EvaluateElements(r, GreatestEclipseTime(r), s);
  AxisPoint p;
  if (!ComputeAxisPoint(s, false, false, p)) {
    // The axis misses: the limb point in the direction of the axis, on the fundamental plane
    // scaled for the Earth's flattening.
    const double rho = rhoFactor(s);
    const double y1 = s.y * rho;
    const double length = std::hypot(static_cast<double>(s.x), y1);
    if (length > 0) {
      s.x = static_cast<float>(s.x / length);
      s.y = static_cast<float>(y1 / length / rho);
    }
    ComputeAxisPoint(s, false, true, p);
  }
  return {p.latitude * kRadToDeg, p.longitude * kRadToDeg};
}

int FindByGreatestEclipseDate(const EclipseCatalogue& catalogue, int year, int month, int day,
                              bool ut) {
  const int count = catalogue.RecordCount();
  if (count == 0) return 0;
  const double target = CalendarToJD(year, month, day, 0, 0, 0);
  auto greatest = [ut](const EclipseRecord& r) {
    return GreatestEclipseJulianDay(r, ut ? DeltaT(r.year, r.month) : 0);
  };
  // The records run in time order by T0, which lies within hours of greatest eclipse: bisect for
  // the first record at most two days before the date and walk forward. By position, so only the
  // records looked at are decoded; by hand, as clang 14 (the fuzzers' compiler) cannot build
  // libstdc++ 12's iota view.
  int low = 1, high = count + 1;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    const EclipseRecord& r = catalogue.RecordAt(middle);
    if (CalendarToJD(r.year, r.month, r.day, r.t0Hour, 0, 0) < target - 2) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  for (int p = low; p <= count; ++p) {
    if (greatest(catalogue.RecordAt(p)) >= target) return p;
  }
  return count;
}

}  // namespace umbrivista
