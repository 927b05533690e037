// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The animation's run in the model: eclipse time follows wall time at the chosen speed however the
// wall time is cut up, and a run ends at either end of the range.

#include <gtest/gtest.h>

#include <limits>

#include "navigation.h"
#include "session.h"
#include "shipped_catalogue.h"
#include "window_texts.h"

namespace umbrivista {
namespace {

struct PlayRecorder : SessionObserver {
  int playChanges = 0;
  void SessionChanged(SessionChanges c) override { playChanges += (c & kPlayChanged) ? 1 : 0; }
};

class PlaySpeedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(session_.LoadCatalogue(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName),
              "");
    session_.ApplySettings(DefaultSettings("0.1.0"));
    session_.Subscribe(&recorder_);
  }
  Session session_{"0.1.0"};
  PlayRecorder recorder_;
};

TEST_F(PlaySpeedTest, EclipseTimeFollowsWallTimeWhateverTheTicks) {
  const struct {
    int speed;
    bool forward, fast;
    double rate;  // eclipse seconds per wall second
  } runs[] = {{0, true, false, 1},    {1, true, false, 60},    {2, true, false, 300},
              {3, true, false, 1200}, {2, false, false, -300}, {1, true, true, 360},
              {2, false, true, -1800}};
  // Four seconds of wall time in long, short and very short ticks.
  const struct {
    int ticks;
    double seconds;
  } cuts[] = {{4, 1.0}, {40, 0.1}, {4000, 0.001}};
  for (const auto& run : runs) {
    for (const auto& cut : cuts) {
      SCOPED_TRACE(testing::Message() << run.rate << " per second, " << cut.ticks << " ticks");
      session_.SetTimePosition(kTimeSliderCentre);
      const double start = session_.TimeOffset();
      session_.SetPlaySpeedIndex(run.speed);
      ASSERT_TRUE(session_.StartPlaying(run.forward, run.fast));
      EXPECT_DOUBLE_EQ(session_.PlayRate(), run.rate);
      for (int i = 0; i < cut.ticks; ++i) session_.PlayAdvance(cut.seconds);
      // Within one slider step (2 s) of the eclipse time that passed.
      EXPECT_NEAR((session_.TimeOffset() - start) * 3600, run.rate * 4, 2.0);
      EXPECT_TRUE(session_.Playing());
      session_.StopPlaying();
    }
  }
}

TEST_F(PlaySpeedTest, ARunEndsAtEitherEndOfTheRange) {
  const struct {
    int from;
    bool forward;
    int end;
  } runs[] = {{kTimeSliderMax - 10, true, kTimeSliderMax}, {10, false, 0}};
  for (const auto& run : runs) {
    session_.SetTimePosition(run.from);
    ASSERT_TRUE(session_.StartPlaying(run.forward));
    const int before = recorder_.playChanges;
    EXPECT_TRUE(session_.PlayAdvance(1.0));
    EXPECT_EQ(session_.TimePosition(), run.end);
    EXPECT_FALSE(session_.Playing());
    EXPECT_EQ(recorder_.playChanges, before + 1);
    EXPECT_FALSE(session_.PlayAdvance(1.0));
    // From the end it would run towards, a run does not begin; the other way it does.
    EXPECT_FALSE(session_.StartPlaying(run.forward));
    EXPECT_TRUE(session_.StartPlaying(!run.forward));
    session_.StopPlaying();
  }
}

TEST_F(PlaySpeedTest, WallTimeThatIsNoAdvanceMovesNothingAndAStallCountsAsOneSecond) {
  session_.SetPlaySpeedIndex(2);
  session_.SetTimePosition(1000);
  ASSERT_TRUE(session_.StartPlaying(true));
  for (double wall : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(),
                      -std::numeric_limits<double>::infinity()})
    EXPECT_FALSE(session_.PlayAdvance(wall)) << wall;
  EXPECT_EQ(session_.TimePosition(), 1000);
  // An hour's stall moves as one second: 300 s of eclipse time, 150 steps.
  EXPECT_TRUE(session_.PlayAdvance(3600));
  EXPECT_EQ(session_.TimePosition(), 1150);
  EXPECT_TRUE(session_.PlayAdvance(std::numeric_limits<double>::infinity()));
  EXPECT_EQ(session_.TimePosition(), 1300);
}

TEST_F(PlaySpeedTest, RunsTurnStopAndEndWithANewEclipse) {
  session_.SetTimePosition(5000);
  session_.SetPlaySpeedIndex(1);
  ASSERT_TRUE(session_.StartPlaying(true));
  session_.PlayAdvance(0.05);  // 1.5 steps: one taken, half a step kept
  EXPECT_EQ(session_.TimePosition(), 5001);
  // Turning drops what was gathered the other way.
  EXPECT_TRUE(session_.StartPlaying(false, true));
  EXPECT_DOUBLE_EQ(session_.PlayRate(), -360);
  session_.PlayAdvance(0.01);  // 1.8 steps back: one taken
  EXPECT_EQ(session_.TimePosition(), 5000);
  // A new speed applies to the run under way.
  session_.SetPlaySpeedIndex(3);
  EXPECT_DOUBLE_EQ(session_.PlayRate(), -7200);
  session_.StopPlaying();
  EXPECT_FALSE(session_.PlayAdvance(1.0));
  EXPECT_EQ(session_.PlayRate(), 0);
  ASSERT_TRUE(session_.StartPlaying(true));
  const int before = recorder_.playChanges;
  session_.SelectPosition(16634);
  EXPECT_FALSE(session_.Playing());
  EXPECT_EQ(recorder_.playChanges, before + 1);
  EXPECT_FALSE(session_.PlayAdvance(1.0));
}

// The list says what the run does: each item begins with its speed's factor.
TEST(PlaySpeedTexts, EachItemNamesItsSpeed) {
  for (Language language : kLanguages) {
    const auto items = PlaySpeedItems(language);
    for (int i = 0; i < kPlaySpeedCount; ++i) {
      const std::string factor = "×" + std::to_string(static_cast<int>(kPlaySpeeds[i])) + " ";
      EXPECT_EQ(items[i].rfind(factor, 0), 0u) << items[i];
    }
  }
}

}  // namespace
}  // namespace umbrivista
