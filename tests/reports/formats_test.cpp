// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The column formats of the report rows, the contact blocks of both row layouts, and the legend,
// dash template and header of a saved file.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "angles.h"
#include "city_list_run.h"
#include "core/eclipse_fixtures.h"
#include "place_history_run.h"
#include "report_formats.h"
#include "string_table.h"

using namespace umbrivista;

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

// The saved-file line of a row, of the city list unless told.
std::string File(const std::optional<ReportRow>& row, ReportKind kind = ReportKind::kCityList,
                 Language language = Language::kEnglish) {
  return FileRowText(kind, language, row->values);
}

std::size_t Characters(const std::string& text) {
  std::size_t n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The radians whose degree value the formats see as exactly `degrees`.
double ExactRadians(double degrees) {
  double r = degrees * kDegToRad;
  while (r * kRadToDeg < degrees) r = std::nextafter(r, 10.0);
  while (r * kRadToDeg > degrees) r = std::nextafter(r, -10.0);
  return r;
}

void SetInstant(LocalCircumstances& lc, int slot, double t, double p, double v, double alt) {
  lc.computed[slot] = true;
  lc.contactTime[slot] = t;
  lc.positionAngle[slot] = p * kDegToRad;
  lc.vertexAngle[slot] = v * kDegToRad;
  lc.sunAltitude[slot] = alt * kDegToRad;
}

// A total eclipse seen with every instant above the horizon (T0 = 18 h, ΔT 0 in the tests).
LocalCircumstances TotalSeen() {
  LocalCircumstances lc;
  lc.kind = EclipseKind::kTotal;
  lc.magnitude = 1.0234;
  SetInstant(lc, kC1, -1.0, 123.456, 5.2, 30.2);
  SetInstant(lc, kC2, 0.25, 10, 350.4, 40.6);
  SetInstant(lc, kMax, 0.2625, 200, 359.6, 40.7);
  SetInstant(lc, kC3, 0.275, 190, 180, 40.8);
  SetInstant(lc, kC4, 1.5, 300, 20, 10.1);
  return lc;
}

LocalCircumstances PartialSeen() {
  LocalCircumstances lc;
  lc.kind = EclipseKind::kPartial;
  lc.magnitude = 0.5;
  SetInstant(lc, kC1, -1.0, 100, 100, 20);
  SetInstant(lc, kMax, 0.0, 150, 150, 25);
  SetInstant(lc, kC4, 1.0, 200, 200, 30);
  return lc;
}

Place SomePlace() {
  Place p;
  p.country = "Deutschland";
  p.name = "Aībak-Stadt-Lang";
  p.latitude100 = 4755;
  p.longitude100 = 759;
  p.height = 254;
  p.population = INT32_MAX;
  return p;
}

const std::string kTotalListBlocks =
    "17:00:00 123   5 30 18:15:00  10 350 41 18:15:45 200 360 41 1.023  1:30 "
    "18:16:30 190 180 41 19:30:00 300  20 10 ";
const std::string kTotalFileBlocks =
    "17:00:00\t123.46\t5.20\t30.20\t18:15:00\t10.00\t350.40\t40.60\t"
    "18:15:45\t200.00\t359.60\t40.70\t1.023\t1:30\t18:16:30\t190.00\t180.00\t40.80\t"
    "19:30:00\t300.00\t20.00\t10.10";

TEST(ReportFields, TimesAndDurations) {
  EXPECT_EQ(TimeOfDayText(0), "00:00:00");
  EXPECT_EQ(TimeOfDayText(7.5 + 1.0 / 3600), "07:30:01");
  EXPECT_EQ(TimeOfDayText(23 + 59.0 / 60 + 59.4 / 3600), "23:59:59");
  // Within half a second of midnight the time rounds up to 24:00:00, not to 00:00:00.
  EXPECT_EQ(TimeOfDayText(24 - 0.4 / 3600), "24:00:00");
  EXPECT_EQ(DurationText(4 + 28.4 / 60), "4:28");
  EXPECT_EQ(DurationText(4 + 59.6 / 60), "5:00");
  EXPECT_EQ(DurationText(0.5), "0:30");
  EXPECT_EQ(DurationText(12.25), "12:15");
  EXPECT_EQ(DurationText(-0.01), "");
  EXPECT_EQ(DurationText(NAN), "");
}

TEST(ReportFields, LatitudeAndLongitudeTexts) {
  EXPECT_EQ(LatitudeText(47.55), "47°33'N");
  EXPECT_EQ(LatitudeText(-0.5), "00°30'S");
  EXPECT_EQ(LatitudeText(0), "00°00'N");
  EXPECT_EQ(LatitudeText(-90), "90°00'S");
  EXPECT_EQ(LongitudeText(7.59), "007°35'E");
  EXPECT_EQ(LongitudeText(-74.10), "074°06'W");
  EXPECT_EQ(LongitudeText(180), "180°00'E");
  // Whole arc minutes round ties to even: 0.125° is 7.5'.
  EXPECT_EQ(LatitudeText(0.125), "00°08'N");
  EXPECT_EQ(LatitudeText(0.375), "00°22'N");
  EXPECT_EQ(LatitudeText(59.9999), "60°00'N");
  // The place history names the side by language; a longitude of 0 counts as west.
  EXPECT_EQ(PlaceHistoryLongitudeText(7.5, Language::kGerman), "007°30'O");
  EXPECT_EQ(PlaceHistoryLongitudeText(7.5, Language::kEnglish), "007°30'E");
  EXPECT_EQ(PlaceHistoryLongitudeText(7.5, Language::kFrench), "007°30'E");
  EXPECT_EQ(PlaceHistoryLongitudeText(-7.5, Language::kGerman), "007°30'W");
  EXPECT_EQ(PlaceHistoryLongitudeText(-7.5, Language::kFrench), "007°30'O");
  EXPECT_EQ(PlaceHistoryLongitudeText(0.0, Language::kEnglish), "000°00'W");
  EXPECT_EQ(PlaceHistoryLongitudeText(-0.0, Language::kFrench), "000°00'O");
}

TEST(ReportFields, AnglesRoundTiesToEvenAndAlignByCharacters) {
  EXPECT_EQ(ListAngle(ExactRadians(2.5), 3), "  2");
  EXPECT_EQ(ListAngle(ExactRadians(3.5), 3), "  4");
  EXPECT_EQ(ListAngle(ExactRadians(44.5), 2), "44");
  EXPECT_EQ(ListAngle(ExactRadians(359.6), 3), "360");
  EXPECT_EQ(FileAngle(ExactRadians(123.456)), "123.46");
  EXPECT_EQ(FileAngle(ExactRadians(5.2)), "5.20");

  EXPECT_EQ(RightAlign("42", 5), "   42");
  EXPECT_EQ(RightAlign("2147483647", 8), "47483647");
  // Cut and padded by characters: "ī" is two bytes but one character.
  EXPECT_EQ(LeftFit("Aībak", 3), "Aīb");
  EXPECT_EQ(LeftFit("Aībak", 7), "Aībak  ");
  EXPECT_EQ(Characters(LeftFit("Zürich-Nord-West", 10)), 10u);
  EXPECT_EQ(LeftFit("Zürich-Nord-West", 10), "Zürich-Nor");
  EXPECT_EQ(LeftFit("", 2), "  ");
  EXPECT_EQ(RightAlign("ää", 3), " ää");
  EXPECT_EQ(OneLineText("a\tb\r\nc"), "a b  c");
}

TEST(ReportRows, CityListRowOfATotalEclipse) {
  const EclipseRecord r = Eclipse2024Apr08();
  const auto row = CityListRow(r, 0, SomePlace(), TotalSeen(), Language::kEnglish);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->list,
            " 2024  4  8 t Deutschlan Aībak-Stad 47°33'N 007°35'E 47483647 " + kTotalListBlocks);
  EXPECT_EQ(Characters(row->list), 5 + 3 + 3 + 2 + 11 + 11 + 8 + 9 + 9 + 1 + 112u);
  EXPECT_EQ(File(row),
            "2024\t4\t8\t0.0\tt\t139\t30\t71\tDeutschland\tAībak-Stadt-Lang\t47°33'N\t007°35'E\t"
            "254\t2147483647\t" +
                kTotalFileBlocks);
  EXPECT_EQ(Split(File(row), '\t').size(), 36u);
}

TEST(ReportRows, PlaceHistoryRowOfATotalEclipse) {
  EclipseRecord r = Eclipse2024Apr08();
  PlaceHistoryInputs place;
  place.name = "Aībak-Stadt";
  place.country = "Afghanistan";
  place.latitude = -36.26;
  place.longitude = 68.02;
  place.height = 969;
  place.population = 47823;
  place.language = Language::kGerman;
  const auto row = PlaceHistoryRow(r, 69.4, place, TotalSeen());
  ASSERT_TRUE(row);
  // ΔT moves every UT instant 69.4 s earlier; the list shows it in whole seconds.
  EXPECT_EQ(row->list.substr(0, 38), " 2024  4  8     69 t Aībak  139 30 71");
  EXPECT_EQ(row->list.substr(39, 20), "16:58:51 123   5 30 ");
  const auto fields = Split(File(row, ReportKind::kPlaceHistory, Language::kGerman), '\t');
  ASSERT_EQ(fields.size(), 36u);
  EXPECT_EQ(
      std::vector<std::string>(fields.begin(), fields.begin() + 14),
      (std::vector<std::string>{"2024", "4", "8", "69.4", "t", "139", "30", "71", "Afghanistan",
                                "Aībak-Stadt", "36°16'S", "068°01'O", "969", "47823"}));
  EXPECT_EQ(fields[14], "16:58:51");
}

// Blocks of instants below the horizon stay blank (list) or empty (file); the row date is that of
// the last instant shown.
TEST(ReportRows, BlanksOfHiddenInstantsAndPartialRows) {
  const EclipseRecord r = Eclipse2024Apr08();
  const Place place = SomePlace();

  const auto partial = CityListRow(r, 0, place, PartialSeen(), Language::kEnglish);
  ASSERT_TRUE(partial);
  const std::string blocks = partial->list.substr(partial->list.size() - 112);
  EXPECT_EQ(blocks.substr(20, 20), std::string(20, ' '));     // no C2
  EXPECT_EQ(blocks.substr(40 + 26, 6), std::string(6, ' '));  // no duration
  EXPECT_EQ(blocks.substr(40, 26), "18:00:00 150 150 25 0.500 ");
  EXPECT_EQ(blocks.substr(72, 20), std::string(20, ' '));  // no C3
  const std::string contacts =
      "\t17:00:00\t100.00\t100.00\t20.00\t\t\t\t\t18:00:00\t150.00\t150.00\t25.00\t0.500\t"
      "\t\t\t\t\t19:00:00\t200.00\t200.00\t30.00";
  EXPECT_EQ(File(partial).substr(File(partial).size() - contacts.size()), contacts);

  // Greatest eclipse below the horizon, C4 above: only C1 and C4 blocks, 32 blanks for Max.
  LocalCircumstances sunrise = PartialSeen();
  sunrise.sunAltitude[kC1] = -0.01;
  sunrise.sunAltitude[kMax] = -0.001;
  const auto late = CityListRow(r, 0, place, sunrise, Language::kEnglish);
  ASSERT_TRUE(late);
  EXPECT_EQ(late->list.substr(late->list.size() - 112, 92), std::string(92, ' '));
  const auto fields = Split(File(late), '\t');
  ASSERT_EQ(fields.size(), 36u);
  for (int i = 14; i < 32; ++i) EXPECT_EQ(fields[i], "") << i;
  EXPECT_EQ(fields[32], "19:00:00");

  // C4 below the horizon: four empty fields close the line, the last without a TAB after it.
  LocalCircumstances sunset = PartialSeen();
  sunset.sunAltitude[kC4] = 0;
  const auto early = CityListRow(r, 0, place, sunset, Language::kEnglish);
  ASSERT_TRUE(early);
  // magn, then nine empty fields: the duration, C3 and C4.
  EXPECT_EQ(File(early).substr(File(early).size() - 14), "0.500" + std::string(9, '\t'));
  EXPECT_EQ(Split(File(early), '\t').size(), 36u);
  EXPECT_EQ(early->list.substr(early->list.size() - 20), std::string(20, ' '));

  // Nothing above the horizon: no row at all.
  LocalCircumstances night = PartialSeen();
  for (double& alt : night.sunAltitude) alt = -0.2;
  EXPECT_FALSE(CityListRow(r, 0, place, night, Language::kEnglish));
}

// A row across midnight UT carries the date of its first instant shown; a later instant counts
// its hours on from 0 h of that date, in the same eight characters.
TEST(ReportRows, RowDateIsThatOfTheFirstInstantShownAndTimesRunOnPastMidnight) {
  EclipseRecord r = Eclipse2024Apr08();
  r.t0Hour = 23;
  LocalCircumstances lc = PartialSeen();  // C1 22:00, Max 23:00 (8 April), C4 00:30 (9 April)
  lc.contactTime[kC4] = 1.5;
  const auto both = CityListRow(r, 0, SomePlace(), lc, Language::kEnglish);
  ASSERT_TRUE(both);
  EXPECT_EQ(File(both).substr(0, 9), "2024\t4\t8\t");
  EXPECT_NE(File(both).find("\t22:00:00\t"), std::string::npos);
  EXPECT_NE(File(both).find("\t24:30:00\t200.00"), std::string::npos);
  EXPECT_EQ(both->list.substr(0, 11), " 2024  4  8");
  EXPECT_EQ(both->list.substr(both->list.size() - 20), "24:30:00 200 200 30 ");
  EXPECT_EQ(Characters(both->list), 5 + 3 + 3 + 2 + 11 + 11 + 8 + 9 + 9 + 1 + 112u);

  // Only C4 seen: the row is of 9 April.
  LocalCircumstances sunrise = lc;
  sunrise.sunAltitude[kC1] = sunrise.sunAltitude[kMax] = -0.1;
  const auto morning = CityListRow(r, 0, SomePlace(), sunrise, Language::kEnglish);
  ASSERT_TRUE(morning);
  EXPECT_EQ(File(morning).substr(0, 9), "2024\t4\t9\t");
  EXPECT_NE(File(morning).find("\t00:30:00\t200.00"), std::string::npos);

  lc.sunAltitude[kC4] = -0.1;
  const auto evening = CityListRow(r, 0, SomePlace(), lc, Language::kEnglish);
  ASSERT_TRUE(evening);
  EXPECT_EQ(File(evening).substr(0, 9), "2024\t4\t8\t");
}

TEST(ReportRows, NegativeDurationIsBlankAndAnnularLetterFollowsTheLanguage) {
  LocalCircumstances lc = TotalSeen();
  lc.kind = EclipseKind::kAnnular;
  std::swap(lc.contactTime[kC2], lc.contactTime[kC3]);  // inner iterations stopped at a guard
  const EclipseRecord r = Eclipse2024Apr08();
  const auto de = CityListRow(r, 0, SomePlace(), lc, Language::kGerman);
  const auto fr = CityListRow(r, 0, SomePlace(), lc, Language::kFrench);
  ASSERT_TRUE(de && fr);
  EXPECT_EQ(de->list.substr(12, 1), "r");
  EXPECT_EQ(fr->list.substr(12, 1), "a");
  const std::string maxBlock = de->list.substr(de->list.size() - 72, 32);
  EXPECT_EQ(maxBlock.substr(20), "1.023       ");
  const auto fields = Split(File(de), '\t');
  EXPECT_EQ(fields[4], "r");
  EXPECT_EQ(fields[26], "1.023");
  EXPECT_EQ(fields[27], "");
}

TEST(SavedFile, LegendDashTemplateAndHeaderPerLanguage) {
  for (Language language : {Language::kGerman, Language::kEnglish, Language::kFrench}) {
    const auto lines = LegendLines(ReportKind::kCityList, language);
    ASSERT_EQ(lines.size(), 29u) << LanguageIndex(language);
    EXPECT_EQ(lines[1], "--------");
    EXPECT_EQ(lines[26], DashTemplate(language));
    EXPECT_EQ(lines[27], "");
    EXPECT_EQ(lines[28], HeaderLine(language));
    // One dash group and one explanation line per column of the rows.
    EXPECT_EQ(Split(DashTemplate(language), '\t').size(), 36u);
    EXPECT_EQ(Split(HeaderLine(language), '\t').size(), 36u);
    for (int i = 2; i < 26; ++i) {
      EXPECT_EQ(Split(lines[i], '\t').size(), 2u) << lines[i];
      EXPECT_NE(lines[i].back(), '.') << lines[i];
    }
  }
  EXPECT_EQ(LegendLines(ReportKind::kCityList, Language::kGerman)[0], "Legende");
  EXPECT_EQ(LegendLines(ReportKind::kCityList, Language::kFrench)[0], "La légende");
  EXPECT_EQ(LegendLines(ReportKind::kCityList, Language::kEnglish)[6],
            "Typ\tType of eclipse (p=partial, a=annular, t=total)");
  EXPECT_EQ(Split(DashTemplate(Language::kGerman), '\t')[12], "----");
  EXPECT_EQ(Split(DashTemplate(Language::kEnglish), '\t')[12], "------");
  EXPECT_EQ(Split(DashTemplate(Language::kFrench), '\t')[12], "------");
  EXPECT_EQ(Split(HeaderLine(Language::kGerman), '\t')[12], "Höhe");
  EXPECT_EQ(Split(HeaderLine(Language::kFrench), '\t')[14], "1.C.(TU)");
}

TEST(SavedFile, PlaceHistoryLegendEndsSomeLinesWithAFullStop) {
  const auto de = LegendLines(ReportKind::kPlaceHistory, Language::kGerman);
  const auto en = LegendLines(ReportKind::kPlaceHistory, Language::kEnglish);
  const auto fr = LegendLines(ReportKind::kPlaceHistory, Language::kFrench);
  EXPECT_EQ(de[7], "Sar\tSaros-Nummer der Finsternis.");
  EXPECT_EQ(de[19], "H°\tHöhe der Sonne über dem Horizont.");
  EXPECT_EQ(en[8], "iS\tnumber of eclipse in the Saros.");
  EXPECT_EQ(en[19], "H°\tHeight of the Sun above the local (mathematical) horizon.");
  EXPECT_EQ(fr[9], "NS\tNombre d'éclipses générées par ce Saros.");
  EXPECT_EQ(fr[19], "H°\tÉlévation du soleil au-dessus de l'horizon");
  int stops = 0;
  for (const auto* lines : {&de, &en, &fr}) {
    for (const std::string& line : *lines) stops += !line.empty() && line.back() == '.';
  }
  EXPECT_EQ(stops, 6 + 6 + 5);
  // Only those lines differ from the city list's.
  const auto city = LegendLines(ReportKind::kCityList, Language::kEnglish);
  int differing = 0;
  for (std::size_t i = 0; i < city.size(); ++i) differing += city[i] != en[i];
  EXPECT_EQ(differing, 6);
}

TEST(SavedFile, EveryLineEndsWithCrLf) {
  const EclipseRecord r = Eclipse2024Apr08();
  std::vector<ReportRow> rows = {
      *CityListRow(r, 0, SomePlace(), TotalSeen(), Language::kEnglish),
      *CityListRow(r, 0, SomePlace(), PartialSeen(), Language::kEnglish)};
  const std::string text = SavedFileText(ReportKind::kCityList, Language::kEnglish, rows);
  const auto lines = Split(text, '\n');
  ASSERT_EQ(lines.size(), 29u + 2 + 1);  // the last "line" is what follows the final line end
  EXPECT_EQ(lines.back(), "");
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    ASSERT_FALSE(lines[i].empty());
    EXPECT_EQ(lines[i].back(), '\r') << i;
    EXPECT_EQ(lines[i].find('\r'), lines[i].size() - 1) << i;
  }
  EXPECT_EQ(lines[29],
            FileRowText(ReportKind::kCityList, Language::kEnglish, rows[0].values) + "\r");
  EXPECT_EQ(text.substr(0, 8), "Legend\r\n");
}

TEST(StatusTexts, CountsInEachLanguage) {
  EXPECT_EQ(CityListStatusText(5210, 812, Language::kGerman),
            "5210 Orte getestet. 812 Orte gefunden");
  EXPECT_EQ(CityListStatusText(3, 1, Language::kEnglish), "3 Places scanned. 1 Places found");
  EXPECT_EQ(PlaceHistoryStatusText(28501, 0, Language::kFrench),
            "28501 éclipses cherchées. 0 éclipses trouvées");
  EXPECT_EQ(CityListStatusText(1, 1, static_cast<Language>(3)), "");
}

}  // namespace
