// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Choosing the eclipse: the year and Saros boxes, steps along a Saros series, and the time
// slider's scale of hours from T0.

#include <optional>
#include <string>
#include <string_view>

#include <vector>

#include "catalogue.h"
#include "eclipse_date.h"  // EstimatedMaximum, where the slider starts
#include "language.h"

namespace umbrivista {

// The time slider: 0 … 12600, 1,800 steps per hour (one step is 2 seconds), 6300 is T0.
inline constexpr int kTimeSliderMax = 12600;
inline constexpr int kTimeSliderCentre = 6300;
inline constexpr double kTimeSliderHalfRangeHours = 3.5;

// Hours from T0 of a slider position.
double TimeForSliderPosition(int position);
// The slider position nearest to t hours from T0, kept within 0 … 12600 (a t that is not a
// number gives T0).
int SliderPositionForTime(double t);


// What Enter in the year or Saros box does: the position to show (0: nothing changes) and the
// text the box shows afterwards.
struct BoxSelection {
  int position = 0;
  std::string boxText;
};

// A date typed in the year box: "YYYY", "YYYY-MM" or "YYYY-MM-DD", the year with an optional
// sign (astronomical numbering: 0 is 1 BC). month and day are 0 where the text leaves them out.
// nullopt for any other text, a month outside 1–12 or a day the month does not have.
struct DateEntry {
  long long year = 0;
  int month = 0, day = 0;
};
std::optional<DateEntry> ParseDateEntry(std::string_view text);

// Year box: nullopt when the text is not such a date (nothing happens, the text stays; the box
// shows YearBoxHint). Otherwise the year is clamped to −4999 … 7000 and the first eclipse whose
// greatest eclipse falls on or after that year, month or day, in UT when `ut` and else in TT, is
// chosen; the box then shows the year, or the date of the chosen eclipse when one was typed.
std::optional<BoxSelection> SelectByYear(const EclipseCatalogue& catalogue, std::string_view text,
                                         bool ut = false);

// The short hint beside the year box after a text it cannot use.
std::string YearBoxHint(Language language);

// The date of greatest eclipse of the record at `position` in the shown scale, "YYYY-MM-DD".
std::string EclipseDateText(const EclipseCatalogue& catalogue, int position, bool ut);

// The year's eclipses for the list beside the year box: the catalogue position and a line with
// the date of greatest eclipse, the kind and where greatest eclipse happens, e.g.
// "2026-08-12  total  65.2° N 25.2° W". The year is that of greatest eclipse in the shown scale.
struct YearEclipse {
  int position = 0;
  std::string text;
};
std::vector<YearEclipse> EclipsesOfYear(const EclipseCatalogue& catalogue, int year, bool ut,
                                        Language language);

// A time of day typed in the time box, "HH:MM" or "HH:MM:SS" (hours 0–23): seconds since 0 h;
// nullopt for any other text.
std::optional<int> ParseClockTime(std::string_view text);

// The slider position whose instant shows that time of day (in the shown scale: `deltaT` seconds
// for UT, 0 for TT) on the eclipse's slider range; nullopt when no instant of the ±3.5 hours
// has it.
std::optional<int> SliderPositionForClockTime(const EclipseRecord& record, double deltaT,
                                              int secondsOfDay);

// The short hint beside the time box after a text it cannot use, or a time outside the range.
std::string TimeBoxHint(Language language);

// Saros box: a text that is not a whole number counts as 139; the number is clamped to the
// catalogue's least and greatest Saros numbers and the series' earliest member is chosen. A
// number without a member in the catalogue changes nothing and the box shows `currentSaros`.
BoxSelection SelectBySaros(const EclipseCatalogue& catalogue, std::string_view text,
                           int currentSaros);

// The position `members` members further along the Saros series of the eclipse at `position`
// (forward: later), or 0 when the series or the catalogue ends before that member.
int StepInSeries(const EclipseCatalogue& catalogue, int position, bool forward, int members);

}  // namespace umbrivista
