// Choosing the eclipse: year and Saros boxes, series steps and the time slider's scale, on the
// shipped catalogue and on small made-up ones for the ends of a series.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "eclipse_fixtures.h"
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

}  // namespace
}  // namespace umbrivista
