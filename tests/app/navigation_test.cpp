// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the eclipse: year and Saros boxes, series steps and the time slider's scale, on the
// shipped catalogue and on small made-up ones for the ends of a series.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "eclipse_fixtures.h"
#include "deltat.h"
#include "eclipse_date.h"
#include "navigation.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

TEST(YearBox, ChoosesTheFirstEclipseOfTheYearAndClamps) {
  const EclipseCatalogue& c = ShippedCatalogue();
  auto s = SelectByYear(c, "1999");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->position, 16634);
  EXPECT_EQ(c.RecordAt(16634).month, 2);
  EXPECT_EQ(c.RecordAt(16634).day, 16);
  s = SelectByYear(c, "8000");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->boxText, "7000");
  EXPECT_EQ(s->position, 28499);
  s = SelectByYear(c, "-99999999999");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->boxText, "-4999");
  EXPECT_EQ(s->position, 1);
  EXPECT_EQ(SelectByYear(c, " 2024 ")->position, 16690);
  for (const char* bad : {"abc", "", "19 99", "1999.5", "99999999999999999999999"})
    EXPECT_FALSE(SelectByYear(c, bad)) << bad;
}

TEST(SarosBox, ClampsToTheCatalogueAndKeepsTheNumberWhenTheSeriesIsMissing) {
  const EclipseCatalogue& c = ShippedCatalogue();
  BoxSelection s = SelectBySaros(c, "139", 1);
  EXPECT_EQ(s.position, 15444);
  EXPECT_EQ(c.RecordAt(15444).year, 1501);
  EXPECT_EQ(s.boxText, "139");
  s = SelectBySaros(c, "500", 1);
  EXPECT_EQ(s.boxText, "327");
  EXPECT_EQ(s.position, 28277);
  s = SelectBySaros(c, "-1000", 1);
  EXPECT_EQ(s.boxText, std::to_string(c.MinSaros()));
  EXPECT_EQ(c.RecordAt(s.position).sarosNumber, c.MinSaros());
  // 325 has no member in the shipped catalogue: nothing changes, the box shows the current one.
  s = SelectBySaros(c, "325", 139);
  EXPECT_EQ(s.position, 0);
  EXPECT_EQ(s.boxText, "139");
  s = SelectBySaros(c, "x", 12);
  EXPECT_EQ(s.position, 15444);
  EXPECT_EQ(s.boxText, "139");
}

TEST(SarosSteps, OneAndThreeMembersFromTheDefaultEclipse) {
  const EclipseCatalogue& c = ShippedCatalogue();
  EXPECT_EQ(StepInSeries(c, 16690, true, 1), 16730);
  EXPECT_EQ(StepInSeries(c, 16690, false, 1), 16650);
  EXPECT_EQ(StepInSeries(c, 16690, true, 3), 16812);
  EXPECT_EQ(StepInSeries(c, 16690, false, 3), 16571);
  const EclipseRecord& next = c.RecordAt(16730);
  EXPECT_EQ(next.year * 10000 + next.month * 100 + next.day, 20420420);
  const EclipseRecord& back3 = c.RecordAt(16571);
  EXPECT_EQ(back3.year * 10000 + back3.month * 100 + back3.day, 19700307);
  // The last member of its series.
  ASSERT_EQ(c.RecordAt(18432).sarosMember, c.RecordAt(18432).sarosMemberCount);
  EXPECT_EQ(StepInSeries(c, 18432, true, 1), 0);
  EXPECT_EQ(StepInSeries(c, 18432, true, 3), 0);
}

// Series 7 with members at positions 1, 3, 4, 6 of six records, and one foreign series between.
EclipseCatalogue SmallCatalogue() {
  std::vector<EclipseRecord> records;
  const int saros[] = {7, 8, 7, 7, 8, 7};
  for (int i = 0; i < 6; ++i) records.push_back(UsableRecord(2000 + i, 1, 1, saros[i], 1, 4));
  EclipseCatalogue c;
  c.Assign(records);
  return c;
}

TEST(SarosSteps, StopAtBothEndsOfSeriesAndCatalogue) {
  const EclipseCatalogue c = SmallCatalogue();
  EXPECT_EQ(StepInSeries(c, 1, true, 1), 3);
  EXPECT_EQ(StepInSeries(c, 1, true, 3), 6);
  EXPECT_EQ(StepInSeries(c, 3, true, 3), 0);  // only two members follow
  EXPECT_EQ(StepInSeries(c, 6, true, 1), 0);  // last record of the catalogue
  EXPECT_EQ(StepInSeries(c, 6, false, 3), 1);
  EXPECT_EQ(StepInSeries(c, 4, false, 3), 0);  // only two members precede
  EXPECT_EQ(StepInSeries(c, 1, false, 1), 0);  // first record
  EXPECT_EQ(StepInSeries(c, 2, true, 1), 5);
  EXPECT_EQ(StepInSeries(c, 5, true, 1), 0);  // no later member of series 8
  EXPECT_EQ(StepInSeries(c, 0, true, 1), 0);
  EXPECT_EQ(StepInSeries(c, 7, false, 1), 0);
}

TEST(TimeSlider, ScaleAndEnds) {
  EXPECT_DOUBLE_EQ(TimeForSliderPosition(0), -3.5);
  EXPECT_DOUBLE_EQ(TimeForSliderPosition(12600), 3.5);
  EXPECT_NEAR(TimeForSliderPosition(6301) * 3600, 2.0, 1e-9);
  EXPECT_EQ(SliderPositionForTime(0), 6300);
  EXPECT_EQ(SliderPositionForTime(1), 8100);  // 1,800 steps per hour
  EXPECT_EQ(SliderPositionForTime(-3.5), 0);
  EXPECT_EQ(SliderPositionForTime(7.2), 12600);
  EXPECT_EQ(SliderPositionForTime(-1e300), 0);
  EXPECT_EQ(SliderPositionForTime(std::numeric_limits<double>::quiet_NaN()), 6300);
  for (int p : {0, 1, 4711, 6300, 12599, 12600})
    EXPECT_EQ(SliderPositionForTime(TimeForSliderPosition(p)), p);
}

TEST(EstimatedMaximum, NearThePublishedGreatestEclipse) {
  // Greatest eclipse (NASA's Five Millennium Canon) of 2024 April 8 at 18:18:29 TT and of 2017
  // August 21 at 18:26:40 TT, both with T0 = 18h TT; the linear estimate lies within two minutes.
  EXPECT_NEAR(EstimatedMaximum(ShippedRecord(2024, 4, 8)), 18.0 / 60 + 29.0 / 3600, 2.0 / 60);
  EXPECT_NEAR(EstimatedMaximum(ShippedRecord(2017, 8, 21)), 26.0 / 60 + 40.0 / 3600, 2.0 / 60);
  EclipseRecord still = Eclipse2024Apr08();
  still.x[1] = still.y[1] = 0;
  EXPECT_EQ(EstimatedMaximum(still), 0);
}

// Greatest eclipse against NASA's published instants and places: 2024-04-08 18:18:29 TT at
// 25.3° N 104.1° W; 2012-05-20 23:53:54 TT (T0 at 0 h of the 21st); the partial eclipse of
// 2025-03-29 10:48:36 TT at 61.1° N 77.1° W (the limb point nearest the axis).
TEST(GreatestEclipse, InstantDateAndPlace) {
  struct Case {
    int year, month, day;  // the catalogue's T0 date
    int hour, minute, second;
    const char* date;  // of greatest eclipse, TT
    double lat, lon;
  };
  const Case cases[] = {
      {2024, 4, 8, 18, 18, 29, "2024-04-08", 25.3, -104.1},
      {2012, 5, 21, 23, 53, 54, "2012-05-20", 49.1, 176.3},
      {2025, 3, 29, 10, 48, 36, "2025-03-29", 61.1, -77.1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    const EclipseRecord r = ShippedRecord(c.year, c.month, c.day);
    const CalendarDate d = GreatestEclipseDate(r, 0);
    EXPECT_EQ(IsoDate(d.year, d.month, d.day), c.date);
    EXPECT_NEAR(d.hours * 3600 + d.minutes * 60 + d.seconds,
                c.hour * 3600 + c.minute * 60 + c.second, 2);
    const GreatestEclipsePlace p = GreatestEclipsePoint(r, DeltaT(r.year, r.month));
    EXPECT_NEAR(p.latitude, c.lat, 0.2);
    EXPECT_NEAR(p.longitude, c.lon, 0.2);
  }
  // Every record whose greatest eclipse falls on another day than T0 has T0 at 0 h and its
  // greatest eclipse in the half hour before.
  int moved = 0;
  for (const EclipseRecord& r : ShippedCatalogue().Records()) {
    const CalendarDate d = GreatestEclipseDate(r, 0);
    if (d.day == r.day && d.month == r.month && d.year == r.year) continue;
    ++moved;
    EXPECT_EQ(r.t0Hour, 0);
    EXPECT_LT(GreatestEclipseTime(r), 0);
    EXPECT_GT(GreatestEclipseTime(r), -0.5);
  }
  EXPECT_NEAR(moved, 578, 5);
}

TEST(YearBox, DatesFindTheEclipseOfThatDayOrTheNext) {
  const EclipseCatalogue& c = ShippedCatalogue();
  const int y2012May = SelectByYear(c, "2012-05-20")->position;
  EXPECT_EQ(c.RecordAt(y2012May).day, 21);  // T0 on the 21st; greatest eclipse on the 20th
  struct Case {
    const char* text;
    bool ut;
    const char* shownDate;  // the box afterwards
  };
  const Case cases[] = {
      {"2012-05-20", false, "2012-05-20"},  // the annular eclipse of that day
      {"2012-05-21", false, "2012-11-13"},  // the day after: the next one
      {"2012-05", false, "2012-05-20"},
      {"2026-08-12", false, "2026-08-12"},
      {"2026-08-12", true, "2026-08-12"},
      {"2026-02", true, "2026-02-17"},
      {" 2026-08 ", false, "2026-08-12"},
      {"-0584-05-28", true, "-0584-05-28"},  // Thales' eclipse
      {"-584-05", true, "-0584-05-28"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    const auto s = SelectByYear(c, k.text, k.ut);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->boxText, k.shownDate);
    EXPECT_EQ(EclipseDateText(c, s->position, k.ut), k.shownDate);
  }
  EXPECT_EQ(SelectByYear(c, "2026-08-12")->position, 16695);
  for (const char* bad : {"2026-13", "2026-00", "2026-02-29", "2024-02-30", "2026-8-12",
                          "2026-08-12-1", "2026/08/12", "2026-08-", "--2026"}) {
    EXPECT_FALSE(SelectByYear(c, bad)) << bad;
  }
  EXPECT_TRUE(SelectByYear(c, "2024-02-29"));  // a leap day
  EXPECT_EQ(YearBoxHint(Language::kEnglish), "a year, YYYY-MM or YYYY-MM-DD");
}

TEST(YearList, TheYearsEclipsesByGreatestEclipse) {
  const EclipseCatalogue& c = ShippedCatalogue();
  const auto y2026 = EclipsesOfYear(c, 2026, true, Language::kEnglish);
  ASSERT_EQ(y2026.size(), 2u);
  EXPECT_EQ(y2026[0].text.rfind("2026-02-17  ", 0), 0u) << y2026[0].text;
  EXPECT_EQ(y2026[1].position, 16695);
  EXPECT_NE(y2026[1].text.find("\u00b0 N"), std::string::npos) << y2026[1].text;
  // 2012 holds the annular eclipse of May 20 although its T0 lies on the 21st.
  const auto y2012 = EclipsesOfYear(c, 2012, false, Language::kGerman);
  ASSERT_EQ(y2012.size(), 2u);
  EXPECT_EQ(y2012[0].text.rfind("2012-05-20  ", 0), 0u) << y2012[0].text;
  EXPECT_EQ(EclipsesOfYear(c, 9000, false, Language::kEnglish).size(), 0u);
}

TEST(TimeBox, ClockTimesInTheSliderRange) {
  for (const char* bad : {"", "24:00", "12:60", "12", "1:2:3:4", "12:3a", "-1:00", "12:00:60"})
    EXPECT_FALSE(ParseClockTime(bad)) << bad;
  EXPECT_EQ(ParseClockTime(" 18:42 "), 18 * 3600 + 42 * 60);
  EXPECT_EQ(ParseClockTime("9:05:07"), 9 * 3600 + 5 * 60 + 7);
  // 2024-04-08: T0 18 h TT; in UT (ΔT = 69.1 s) 18:42:35 is 18:43:44.1 TT, 43.735 minutes after T0.
  const EclipseRecord r = ShippedRecord(2024, 4, 8);
  const auto p = SliderPositionForClockTime(r, 69.1, 18 * 3600 + 42 * 60 + 35);
  ASSERT_TRUE(p);
  EXPECT_NEAR(TimeForSliderPosition(*p), (43 * 60 + 44.1) / 3600, 1.0 / 3600);
  EXPECT_EQ(SliderPositionForClockTime(r, 0, 14 * 3600 + 30 * 60), 0);   // the start, in TT
  EXPECT_EQ(SliderPositionForClockTime(r, 0, 21 * 3600 + 30 * 60), 12600);  // the end
  EXPECT_FALSE(SliderPositionForClockTime(r, 0, 3 * 3600));
  // Across midnight: 2012-05-20's range runs from 20:30 to 03:30 TT.
  const EclipseRecord late = ShippedRecord(2012, 5, 21);
  EXPECT_NEAR(TimeForSliderPosition(*SliderPositionForClockTime(late, 0, 23 * 3600 + 53 * 60)),
              -7.0 / 60, 1.0 / 3600);
  EXPECT_NEAR(TimeForSliderPosition(*SliderPositionForClockTime(late, 0, 1 * 3600)), 1, 1e-9);
}

}  // namespace
}  // namespace umbrivista
