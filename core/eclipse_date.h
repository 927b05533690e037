// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An eclipse is named by the date of its greatest eclipse, in TT or in UT, not by the date of the
// elements' reference instant T0, which can lie on the next day (T0 at 0 h after a greatest
// eclipse late in the evening). Also where greatest eclipse happens, and finding an eclipse by
// such a date.

#include <string>
#include <vector>

#include "catalogue.h"
#include "julian_day.h"
#include "language.h"

namespace umbrivista {

// The instant (hours from T0) at which the shadow axis passes closest to the centre of the
// fundamental plane, from the linear terms of x and y; 0 when the axis does not move.
double EstimatedMaximum(const EclipseRecord& record);

// The instant (hours from T0, TT) when the shadow axis passes nearest to the Earth's centre
// (x² + y² least), by Newton's method on the elements from the linear estimate; the linear
// estimate itself when that does not settle within 20 steps or leaves ±kMaxHoursFromT0.
double GreatestEclipseTime(const EclipseRecord& record);

// Julian day of greatest eclipse, less `deltaT` seconds (pass ΔT for UT, 0 for TT).
double GreatestEclipseJulianDay(const EclipseRecord& record, double deltaT);

// The calendar date of greatest eclipse in that scale.
CalendarDate GreatestEclipseDate(const EclipseRecord& record, double deltaT);

// "YYYY-MM-DD", the year with at least four digits and a "-" before a negative one.
std::string IsoDate(int year, int month, int day);

// "2024-04-08  18:00:00 TT" (" UT" when ut, " TU" in French) of a Julian day, rounded to the
// whole second; a negative year carries its sign before four digits ("-0500-03-01").
std::string DateTimeLine(double julianDay, bool ut, Language language = Language::kEnglish);

// "UT" ("TU" in French) or "TT".
const char* TimeScaleName(bool ut, Language language);

// ΔT in seconds as shown beside UT: no decimals for an eclipse of a year before 1900 (ΔT is
// known to seconds at best then), one from 1900 on.
std::string DeltaTSecondsText(double deltaTSeconds, int year);

// Where greatest eclipse happens (degrees, geodetic, east positive): the point where the shadow
// axis meets the Earth, or for an axis that misses it, the point of the Earth's limb nearest to
// the axis. ΔT in seconds turns the Earth.
struct GreatestEclipsePlace {
  double latitude = 0;
  double longitude = 0;
};
GreatestEclipsePlace GreatestEclipsePoint(const EclipseRecord& record, double deltaT);

// The position (1 …) of the first eclipse whose greatest eclipse falls on or after 0 h of the
// given date in the given scale (ΔT from the program's table when `ut`); the last position when
// none does, 0 for an empty catalogue.
int FindByGreatestEclipseDate(const EclipseCatalogue& catalogue, int year, int month, int day,
                              bool ut);

}  // namespace umbrivista
