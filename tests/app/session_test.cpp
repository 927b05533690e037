// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The model under the main window, driven without any widget.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "angles.h"
#include "deltat.h"
#include "navigation.h"
#include "session.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

// Records every change the session reports.
struct Recorder : SessionObserver {
  std::vector<SessionChanges> changes;
  void SessionChanged(SessionChanges c) override { changes.push_back(c); }
};

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(session_.LoadCatalogue(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName),
              "");
    session_.ApplySettings(DefaultSettings("0.1.0"));
    session_.Subscribe(&recorder_);
  }
  Session session_{"0.1.0"};
  Recorder recorder_;
};

TEST_F(SessionTest, ChoosesEclipsesByYearSarosAndSteps) {
  EXPECT_EQ(session_.Position(), 16690);
  EXPECT_TRUE(session_.EnterYear("1999"));
  EXPECT_EQ(session_.Position(), 16634);
  EXPECT_TRUE(session_.EnterYear("8000"));
  EXPECT_EQ(session_.YearText(), "7000");
  EXPECT_FALSE(session_.EnterYear("abc"));
  EXPECT_EQ(session_.YearText(), "7000");
  EXPECT_TRUE(session_.EnterSaros("x"));  // counts as 139
  EXPECT_EQ(session_.Position(), 15444);
  EXPECT_EQ(session_.SarosText(), "139");
  // From the eclipse of 2024: one and three members (one exeligmos) either way.
  const struct {
    bool forward;
    int members;
    int expected;
  } steps[] = {{true, 1, 16730}, {false, 1, 16650}, {true, 3, 16812}, {false, 3, 16571}};
  for (const auto& step : steps) {
    session_.SelectPosition(16690);
    session_.StepSeries(step.forward, step.members);
    EXPECT_EQ(session_.Position(), step.expected) << step.forward << step.members;
  }
  // The last member of Saros 139 and the first of the catalogue stay where they are.
  session_.SelectPosition(18432);
  session_.StepSeries(true, 1);
  EXPECT_EQ(session_.Position(), 18432);
  session_.SelectPosition(1);
  for (int members : {1, 3}) session_.StepSeries(false, members);
  EXPECT_EQ(session_.Position(), 1);
  // Positions outside the catalogue are clamped.
  session_.SelectPosition(0);
  EXPECT_EQ(session_.Position(), 1);
  session_.SelectPosition(1 << 30);
  EXPECT_EQ(session_.Position(), session_.Catalogue().RecordCount());
}

TEST_F(SessionTest, UniversalTimeIsTerrestrialTimeLessDeltaT) {
  session_.SetLanguage(Language::kEnglish);
  session_.SetTimePosition(kTimeSliderCentre);
  const double tt = session_.JulianDayTT();
  session_.SetUt(true);
  const double deltaT = DeltaT(2024, 4);
  EXPECT_NEAR(deltaT, 71.8, 0.05);
  EXPECT_DOUBLE_EQ(session_.DeltaTInUse(), deltaT);
  EXPECT_NEAR((tt - session_.JulianDayUT()) * 86400, deltaT, 1e-4);
  EXPECT_EQ(session_.DeltaTCaptionText(), "UT (DeltaT = 71.8 secs)");
  EXPECT_EQ(session_.DateTimeText(), "2024-04-08  17:58:48 UT");
  // The switch keeps the instant but turns the Earth under the shadow by ΔT.
  EXPECT_EQ(session_.TimePosition(), kTimeSliderCentre);
  EXPECT_DOUBLE_EQ(session_.State().deltaT, deltaT);
  session_.SetUt(false);
  EXPECT_EQ(session_.DeltaTInUse(), 0);
  EXPECT_EQ(session_.DateTimeText(), "2024-04-08  18:00:00 TT");
}

TEST_F(SessionTest, TheBackViewMirrorsAndReturnsToTheEstimatedMaximum) {
  session_.SetTimePosition(100);
  session_.SetBackView(true);
  EXPECT_NE(session_.TimePosition(), 100);
  session_.SetTimePosition(kTimeSliderCentre);
  EXPECT_LT(session_.State().zeta, 0);
  EXPECT_EQ(session_.Rows()[13].value, "Anti");
  EXPECT_EQ(session_.SubSolarCaptionText(), "Anti-Subsolarer Punkt");
  const GlobeRotation back = session_.Orientation();
  session_.SetBackView(false);
  session_.SetTimePosition(kTimeSliderCentre);
  EXPECT_NEAR(session_.Orientation().y + 180, back.y, 1e-9);
  EXPECT_NEAR(session_.Orientation().x, -back.x, 1e-9);
  EXPECT_GT(session_.State().zeta, 0);
}

TEST_F(SessionTest, TheMapViewExcludesTheBackViewAndIsNotKept) {
  // From the normal view the map keeps the instant; from the back view it leaves that view and
  // runs the eclipse change as the normal view would.
  session_.SetTimePosition(5000);
  recorder_.changes.clear();
  session_.SetMapView(true);
  EXPECT_TRUE(session_.MapView());
  EXPECT_EQ(session_.TimePosition(), 5000);
  EXPECT_EQ(recorder_.changes, std::vector<SessionChanges>{kViewChanged});
  session_.SetMapView(true);  // unchanged: nothing to tell
  EXPECT_EQ(recorder_.changes.size(), 1u);
  session_.SetBackView(true);
  EXPECT_FALSE(session_.MapView());
  EXPECT_TRUE(session_.BackView());
  session_.SetMapView(true);
  EXPECT_FALSE(session_.BackView());
  EXPECT_GT(session_.State().zeta, 0);
  // The projection changes the view only while the map is shown.
  recorder_.changes.clear();
  session_.SetMapProjection(MapProjection::kFlat);
  EXPECT_EQ(recorder_.changes, std::vector<SessionChanges>{kViewChanged});
  session_.SetMapView(false);
  recorder_.changes.clear();
  session_.SetMapProjection(MapProjection::kMercator);
  EXPECT_TRUE(recorder_.changes.empty());
  // Not part of the settings record: what it holds is the same with the map on or off.
  SettingsRecord off = DefaultSettings("0.1.0"), on = DefaultSettings("0.1.0");
  session_.CollectSettings(off);
  session_.SetMapView(true);
  session_.CollectSettings(on);
  EXPECT_EQ(off, on);
}

TEST_F(SessionTest, TheMapIsCentredOnTheEclipseAndMarksTheInstant) {
  // 2024-04-08, T0 18 h TT: the Sun stands over about 90° W, and so does the map's middle.
  session_.SelectPosition(16690);
  EXPECT_NEAR(session_.MapCentre(), -89, 2);
  const double centre = session_.MapCentre();
  EXPECT_EQ(centre, std::round(centre));
  session_.SetTimePosition(kTimeSliderCentre);
  const MapOverlayInput in = session_.MapOverlay();
  ASSERT_TRUE(in.instant.onEarth);
  EXPECT_NEAR(in.instant.point.latitude / kDegToRad, 25, 10);    // over Mexico and Texas
  EXPECT_NEAR(in.instant.point.longitude / kDegToRad, -104, 15);
  EXPECT_NEAR(in.subSolar.latitude / kDegToRad, 7.5, 0.5);       // declination in April
  EXPECT_FALSE(in.showPoI);
  session_.PlacePoI(48.1, 11.6);
  EXPECT_TRUE(session_.MapOverlay().showPoI);
  EXPECT_DOUBLE_EQ(session_.MapOverlay().poiLongitude, 11.6);
}

TEST_F(SessionTest, EachChangeWorksTheInstantOutOnceAndSaysWhatChanged) {
  const struct {
    const char* what;
    std::function<void(Session&)> change;
    int computations;
    SessionChanges reported;
  } cases[] = {
      {"eclipse", [](Session& s) { s.SelectPosition(16634); }, 1,
       kEclipseChanged | kTimeScaleChanged | kInstantChanged | kPathChanged},
      {"same eclipse", [](Session& s) { s.SelectPosition(16634); }, 0, 0},
      {"year", [](Session& s) { s.EnterYear("2024"); }, 1,
       kEclipseChanged | kTimeScaleChanged | kInstantChanged | kPathChanged},
      {"no date", [](Session& s) { s.EnterYear("2026-13"); }, 0, kHintsChanged},
      {"date after a hint", [](Session& s) { s.EnterYear("2026-08-12"); }, 1,
       kEclipseChanged | kTimeScaleChanged | kInstantChanged | kPathChanged | kHintsChanged},
      {"no time", [](Session& s) { s.EnterTime("25:00"); }, 0, kHintsChanged},
      {"time after a hint", [](Session& s) { s.EnterTime("18:00"); }, 1,
       kInstantChanged | kHintsChanged},
      {"instant", [](Session& s) { s.SetTimePosition(7000); }, 1, kInstantChanged},
      {"UT", [](Session& s) { s.SetUt(true); }, 1,
       kTimeScaleChanged | kInstantChanged | kPathChanged},
      {"back view", [](Session& s) { s.SetBackView(true); }, 1,
       kViewChanged | kEclipseChanged | kTimeScaleChanged | kInstantChanged | kPathChanged},
      {"map from the back view", [](Session& s) { s.SetMapView(true); }, 1,
       kViewChanged | kEclipseChanged | kTimeScaleChanged | kInstantChanged | kPathChanged},
      {"globe from the map", [](Session& s) { s.SetMapView(false); }, 0, kViewChanged},
      {"language", [](Session& s) { s.SetLanguage(Language::kFrench); }, 0, kLanguageChanged},
      {"point", [](Session& s) { s.SetPoILatitudeText("12"); }, 0, kPointChanged},
      {"zoom", [](Session& s) { s.SetZoom(200); }, 0, kFrameChanged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    recorder_.changes.clear();
    const int before = session_.InstantComputations();
    c.change(session_);
    EXPECT_EQ(session_.InstantComputations() - before, c.computations);
    if (c.reported == 0) {
      EXPECT_TRUE(recorder_.changes.empty());
    } else {
      ASSERT_EQ(recorder_.changes.size(), 1u);
      EXPECT_EQ(recorder_.changes[0], c.reported);
    }
  }
}

TEST_F(SessionTest, ClampsWhatIsOutOfRange) {
  session_.SetTimePosition(-5);
  EXPECT_EQ(session_.TimePosition(), 0);
  EXPECT_DOUBLE_EQ(session_.TimeOffset(), -3.5);
  session_.SetTimePosition(99999);
  EXPECT_DOUBLE_EQ(session_.TimeOffset(), 3.5);
  session_.SetZoom(1000);
  EXPECT_EQ(session_.Zoom(), 350);
  session_.SetZoom(-1);
  EXPECT_EQ(session_.Zoom(), 60);
  session_.SetTextureIndex(9);
  EXPECT_EQ(session_.TextureIndex(), kTextureCount - 1);
  session_.SetGridIndex(-3);
  EXPECT_EQ(session_.GridIndex(), 0);
}

TEST_F(SessionTest, PointOfInterestTextsAndHemispheres) {
  const struct {
    const char* typed;
    const char* kept;
    double value;
  } latitudes[] = {{" 47.5 ", "47.5", 47.5}, {"", "", 0},     {"abc", "", 0},
                   {"90.1", "", 0},          {"-3", "", 0},   {"90", "90", 90}};
  for (const auto& l : latitudes) {
    session_.SetPoILatitudeText(l.typed);
    EXPECT_EQ(session_.PoILatitudeText(), l.kept) << l.typed;
    EXPECT_EQ(session_.PoILatitude(), l.value) << l.typed;
    EXPECT_TRUE(session_.ShowPoI());
  }
  session_.SetPoILongitudeText("180.5");
  EXPECT_EQ(session_.PoILongitudeText(), "");
  session_.SetPoILongitudeText("151.2");
  session_.SetPoIWest(true);
  EXPECT_EQ(session_.PoILongitude(), -151.2);
  EXPECT_TRUE(session_.PoIWest());
  EXPECT_FALSE(session_.PoIEast());
  // A point set on the globe keeps the three decimals its boxes show, in the southern and western
  // hemispheres and across the 180th meridian.
  session_.PlacePoI(-33.86882, -179.99961);
  EXPECT_EQ(session_.PoILatitudeText(), "33.869");
  EXPECT_EQ(session_.PoILongitudeText(), "180.000");
  EXPECT_EQ(session_.PoILatitude(), -33.869);
  EXPECT_EQ(session_.PoILongitude(), -180.0);
  EXPECT_TRUE(session_.PoISouth() && session_.PoIWest());
  ASSERT_FALSE(session_.PoILines().empty());
  EXPECT_EQ(session_.PoILines()[0], "33.869 S  180.000 W");
  session_.SetShowPoI(false);
  EXPECT_TRUE(session_.PoILines().empty());
  EXPECT_EQ(session_.PoIDistanceTexts(), (std::pair<std::string, std::string>{}));
}

TEST_F(SessionTest, SettingsComeBackAsTheyWere) {
  SettingsRecord in = DefaultSettings("0.1.0");
  in.language = Language::kFrench;
  in.eclipsePosition = 16634;
  in.ut = true;
  in.textureIndex = 3;
  in.gridIndex = 5;
  in.poiLatitude = "12.5";
  in.poiNorth = false;
  in.poiSouth = true;
  in.poiLongitude = "";
  in.showPoI = in.showSubSolar = in.showCapitals = true;
  in.showLimits = false;
  in.timePosition = 123;
  in.zoomPosition = 222;
  in.originX = -40;
  in.originY = 900;
  session_.ApplySettings(in);
  session_.Start();
  EXPECT_EQ(session_.Position(), 16634);
  EXPECT_EQ(session_.TimePosition(), 123);
  EXPECT_EQ(session_.PoILatitude(), -12.5);
  SettingsRecord out = DefaultSettings("0.1.0");
  session_.CollectSettings(out);
  EXPECT_EQ(out, in);
}

TEST(SessionWithoutCatalogue, RefusesEveryEclipseChangeAndKeepsTheSavedOne) {
  Session session("0.1.0");
  EXPECT_NE(session.LoadCatalogue(std::string(UMBRIVISTA_DATA_DIR) + "/no-such-file.bin"), "");
  SettingsRecord saved = DefaultSettings("0.1.0");
  saved.eclipsePosition = 20000;
  session.ApplySettings(saved);
  session.Start();
  EXPECT_FALSE(session.EnterYear("1999"));
  EXPECT_FALSE(session.EnterSaros("139"));
  session.SelectPosition(5);
  session.StepSeries(true, 1);
  session.SetUt(true);
  session.SetTimePosition(10);
  EXPECT_EQ(session.Position(), 0);
  EXPECT_EQ(session.DateTimeText(), "");
  EXPECT_EQ(session.WindowTitle(), session.CaptionBaseText());
  SettingsRecord out;
  session.CollectSettings(out);
  EXPECT_EQ(out.eclipsePosition, 20000);
}

}  // namespace
}  // namespace umbrivista
