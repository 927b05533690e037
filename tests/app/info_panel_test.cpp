// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The information panel's texts: the TT/UT caption, the date/time line, the window caption and
// the element grid, the grid checked against umbrivista-cli elements.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "deltat.h"
#include "info_panel.h"
#include "julian_day.h"
#include "numbers.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

TEST(DeltaTCaption, DecimalsByCenturyAndUnitsByLanguage) {
  EXPECT_EQ(DeltaTCaption(false, 71.8, 2024, Language::kEnglish), "TT");
  EXPECT_EQ(DeltaTCaption(true, DeltaT(2024, 4), 2024, Language::kEnglish),
            "UT (DeltaT = 71.8 secs)");
  EXPECT_EQ(DeltaTCaption(true, 71.84, 2024, Language::kGerman), "UT (DeltaT = 71.8 Sek. )");
  EXPECT_EQ(DeltaTCaption(true, 71.84, 2024, Language::kFrench), "TU (DeltaT = 71.8 sec.)");
  EXPECT_EQ(DeltaTCaption(true, -3.6, 1899, Language::kEnglish), "UT (DeltaT = -4 secs)");
  EXPECT_EQ(DeltaTCaption(true, -2.72, 1900, Language::kEnglish), "UT (DeltaT = -2.7 secs)");
  EXPECT_EQ(DeltaTCaption(true, 17190.4, -500, Language::kEnglish), "UT (DeltaT = 17190 secs)");
}

TEST(DateTimeLine, RoundsToTheSecondWithCarriesAndSignedYears) {
  EXPECT_EQ(DateTimeLine(CalendarToJD(2024, 4, 8, 18, 0, 0), false), "2024-04-08  18:00:00 TT");
  EXPECT_EQ(DateTimeLine(CalendarToJD(2024, 4, 8, 18, 0, 71.6), true), "2024-04-08  18:01:12 UT");
  EXPECT_EQ(DateTimeLine(CalendarToJD(2024, 4, 8, 18, 0, 71.6), true, Language::kFrench),
            "2024-04-08  18:01:12 TU");
  // 59.6 s rounds up into the next minute, hour and day; never "60".
  EXPECT_EQ(DateTimeLine(CalendarToJD(2024, 4, 8, 18, 59, 59.6), false), "2024-04-08  19:00:00 TT");
  EXPECT_EQ(DateTimeLine(CalendarToJD(1999, 12, 31, 23, 59, 59.7), true), "2000-01-01  00:00:00 UT");
  EXPECT_EQ(DateTimeLine(CalendarToJD(-500, 3, 1, 6, 5, 4.4), false), "-0500-03-01  06:05:04 TT");
  EXPECT_EQ(DateTimeLine(CalendarToJD(-4999, 1, 1, 0, 0, 0), false), "-4999-01-01  00:00:00 TT");
  EXPECT_EQ(DateTimeLine(CalendarToJD(1582, 10, 15, 0, 0, -0.7), false),
            "1582-10-04  23:59:59 TT");  // the last Julian-calendar day
}

TEST(WindowCaption, BaseDateAndTypeJoinedByDashes) {
  const std::string base = CaptionBase("0.1.0", Language::kEnglish);
  EXPECT_EQ(base, "Umbrivista 0.1.0 \u2013 Besselian elements of solar eclipses");
  EXPECT_EQ(WindowCaption(base, "2024-04-08  18:00:00 TT", 2, Language::kEnglish),
            "Umbrivista 0.1.0 \u2013 Besselian elements of solar eclipses \u2013 2024-04-08  "
            "18:00:00 TT \u2013 Total solar eclipse");
  for (Language language : {Language::kGerman, Language::kFrench}) {
    const std::string other = CaptionBase("0.1.0", language);
    EXPECT_EQ(other.rfind("Umbrivista 0.1.0 \u2013 ", 0), 0u) << other;
    EXPECT_NE(other, base);
  }
}

// `umbrivista-cli elements POS T [flags]` as name → value.
std::map<std::string, std::string> CliElements(const std::string& arguments) {
  const std::string command = std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli elements " +
                              arguments + " --catalogue " + UMBRIVISTA_DATA_DIR + "/" +
                              kCatalogueFileName;
  std::map<std::string, std::string> values;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return values;
  char line[256];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string text(line);
    const auto tab = text.find('\t');
    if (tab == std::string::npos) continue;
    values[text.substr(0, tab)] = text.substr(tab + 1, text.find_last_not_of("\r\n") - tab);
  }
  ::pclose(pipe);
  return values;
}

// Elements that the command line prints as single-precision numbers are read back as such, so
// that rounding to the grid's decimals sees the same value.
bool SinglePrecision(const std::string& name) {
  return name == "x" || name == "y" || name == "l1" || name == "l2" || name == "tanf1" ||
         name == "tanf2";
}

double Number(const std::map<std::string, std::string>& values, const std::string& name) {
  const auto it = values.find(name);
  if (it == values.end()) {
    ADD_FAILURE() << "umbrivista-cli printed no " << name;
    return 0;
  }
  if (SinglePrecision(name)) return static_cast<double>(std::stof(it->second));
  return *ParseReal(it->second);
}

InfoRows RowsAt(int position, double t, bool ut, bool back, Language language) {
  const EclipseRecord& r = ShippedCatalogue().RecordAt(position);
  ShadowState s;
  s.deltaT = ut ? DeltaT(r.year, r.month) : 0.0;
  const InstantResult at = UpdateInstant(r, t, back, s);
  return BuildInfoRows(r, s, at, back, language);
}

TEST(InfoRows, ShadowRowsAgreeWithTheCommandLine) {
  const struct {
    const char* args;
    double t;
    bool ut, back;
  } cases[] = {{"16690 0", 0, false, false},
               {"16690 0.25 --ut", 0.25, true, false},
               {"16690 -0.5 --back", -0.5, false, true},
               {"16634 0.3 --ut", 0.3, true, false}};  // 1999-02-16, annular
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const auto cli = CliElements(c.args);
    ASSERT_EQ(cli.count("axis_on_earth"), 1u);
    ASSERT_EQ(cli.at("axis_on_earth"), "1");
    const int position = std::stoi(c.args);
    const InfoRows rows = RowsAt(position, c.t, c.ut, c.back, Language::kEnglish);
    EXPECT_EQ(rows[10].value, FormatFixed(Number(cli, "zeta"), 4));
    EXPECT_EQ(rows[14].value, FormatFixed(Number(cli, "lon_deg"), 3));
    EXPECT_EQ(rows[15].value, FormatFixed(Number(cli, "lat_deg"), 3));
    EXPECT_EQ(rows[16].value, FormatMinSec(1, Number(cli, "duration_s") / 3600));
    EXPECT_EQ(rows[17].value, FormatFixed(Number(cli, "path_width_km"), 1));
    EXPECT_EQ(rows[18].value, FormatFixed(Number(cli, "sun_alt_deg"), 1));
    EXPECT_EQ(rows[19].value, FormatFixed(Number(cli, "sun_az_deg"), 1));
    EXPECT_EQ(rows[20].value, FormatMinSec(0, Number(cli, "local_time_h") / 60));
    EXPECT_EQ(rows[1].value, FormatFixed(Number(cli, "x"), 4));
    EXPECT_EQ(rows[4].value, FormatFixed(Number(cli, "mu_deg"), 1));
    EXPECT_EQ(rows[8].value, FormatFixed(Number(cli, "tanf2"), 5));
    // Row 11: the umbral diameter at the surface, |l2 − ζ·tan f2| Earth diameters.
    const double r2 = Number(cli, "l2") - Number(cli, "zeta") * Number(cli, "tanf2");
    EXPECT_NEAR(std::stod(rows[11].value), std::fabs(r2) * 12756, 0.051);
    EXPECT_EQ(rows[13].value, c.back ? "Anti" : position == 16690 ? "Total" : " Annular");
  }
}

TEST(InfoRows, LabelsUnitsAndEmptyAxisRows) {
  const InfoRows de = RowsAt(16690, 0, false, false, Language::kGerman);
  EXPECT_EQ(de[0], (InfoRow{" T-T0", "0.0000", " Std"}));
  EXPECT_EQ(de[3].label, " BElm.d");
  EXPECT_EQ(de[3].value, "7.6");
  EXPECT_EQ(de[3].unit, " \u00b0");
  EXPECT_EQ(de[7].unit, " ");
  EXPECT_EQ(de[9], (InfoRow{" Gamma", "0.3431", " R(Erde)"}));
  EXPECT_EQ(de[13].label, " Zentrallinie:");
  EXPECT_EQ(de[13].value, "Totale");
  EXPECT_EQ(de[16].unit, " min:sec");
  EXPECT_EQ(de[12], InfoRow{});
  EXPECT_EQ(RowsAt(16690, 0, false, false, Language::kEnglish)[0].unit, " hours");
  EXPECT_EQ(RowsAt(16690, 0, false, false, Language::kFrench)[2].unit, " R(Terre)");
  EXPECT_EQ(RowsAt(16690, 0, false, false, Language::kFrench)[17].label, " larg. de l'ombre");
  // 3.5 hours before T0 the axis passes west of the Earth: ζ is 0 and the axis rows are empty.
  const InfoRows off = RowsAt(16690, -3.5, false, false, Language::kEnglish);
  EXPECT_EQ(off[10].value, "0.0000");
  for (int row = 12; row <= 20; ++row) EXPECT_EQ(off[row], InfoRow{}) << row;
  // The umbral disc then has the radius |l2|.
  ShadowState s;
  EvaluateElements(ShippedCatalogue().RecordAt(16690), -3.5, s);
  EXPECT_EQ(off[11].value, FormatFixed(std::fabs(static_cast<double>(s.l2)) * 12756, 1));
}

}  // namespace
}  // namespace umbrivista
