// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Lines of the points-of-interest list and the text files it is read from.

#include <gtest/gtest.h>

#include <sstream>

#include "poi_list.h"
#include "poi_selection.h"

namespace umbrivista {
namespace {

TEST(PoIList, DefaultLinesAndTheirTitles) {
  const auto& lines = DefaultPoILines();
  ASSERT_EQ(lines.size(), 39u);
  const PoILine orleans = ParsePoILine(lines[19]);
  ASSERT_EQ(orleans.kind, PoILine::kPoint);
  EXPECT_DOUBLE_EQ(orleans.mark.latitude, 29.95);
  EXPECT_DOUBLE_EQ(orleans.mark.longitude, -90.45);
  EXPECT_EQ(orleans.mark.title, " New Orleans");
  const PoILine putre = ParsePoILine("+1994 11 03 18.74 S 068.40 W Putre (Chile, 1994)");
  ASSERT_EQ(putre.kind, PoILine::kPoint);
  EXPECT_DOUBLE_EQ(putre.mark.latitude, -18.74);
  EXPECT_DOUBLE_EQ(putre.mark.longitude, -68.40);
  EXPECT_EQ(putre.mark.title, "Putre");
  // Every default line but the format line gives a point.
  for (std::size_t i = 1; i < lines.size(); ++i)
    EXPECT_EQ(ParsePoILine(lines[i]).kind, PoILine::kPoint) << lines[i];
  const PoILine format = ParsePoILine(lines[0]);
  EXPECT_EQ(format.kind, PoILine::kBadField);
  EXPECT_EQ(format.field, "latitude");
  EXPECT_EQ(PoIErrorMessage(format, Language::kEnglish),
            "Error in coordinate point: Latitude (degrees 0 to 90 such as 29.95, then N or S): " +
                format.repaired);
  EXPECT_EQ(PoIErrorMessage(format, Language::kGerman)
                .rfind("Fehler in der Koordinatenangabe: Geogr.Breite (Grad 0 bis 90", 0),
            0u);
  EXPECT_EQ(ParsePoILine(lines[1]).date, (PoIDate{1954, 6, 30}));
}

TEST(PoIList, FreeSpacingIsReadWhenItIsUnambiguous) {
  const struct {
    const char* line;
    double latitude, longitude;
    const char* title;
  } accepted[] = {
      {"+2017 8 21 29.95 N 90.45 W New Orleans", 29.95, -90.45, " New Orleans"},
      {"2017 08 21  29.95N  90.45w   New Orleans", 29.95, -90.45, " New Orleans"},
      {"-0584 5 28\t38.5 n\t27.1 E Miletus (Thales)", 38.5, 27.1, "Miletus"},
      {"+2024 4 8 32 N 96 W Dallas", 32, -96, " Dallas"},
  };
  for (const auto& c : accepted) {
    const PoILine line = ParsePoILine(c.line);
    ASSERT_EQ(line.kind, PoILine::kPoint) << c.line << ": " << line.field;
    EXPECT_DOUBLE_EQ(line.mark.latitude, c.latitude) << c.line;
    EXPECT_DOUBLE_EQ(line.mark.longitude, c.longitude) << c.line;
    EXPECT_EQ(line.mark.title, c.title) << c.line;
  }
  EXPECT_EQ(ParsePoILine(accepted[2].line).date, (PoIDate{-584, 5, 28}));

  const struct {
    const char* line;
    const char* field;
    const char* form;  // part of the English message
  } refused[] = {
      {"+2017 13 21 29.95 N 90.45 W Month thirteen", "date", "Date (+YYYY MM DD"},
      {"Total eclipse seen from the ferry to Rhodes", "date", "Date (+YYYY MM DD"},
      {"+2017 8 21 95.5 N 90.45 W Beyond the pole", "latitude", "Latitude (degrees 0 to 90"},
      {"+2017 8 21 29,95 N 90,45 W Decimal comma", "latitude", "such as 29.95"},
      {"+2017 8 21 29.95 90.45 W Hemisphere left out", "N/S", "N/S (N or S after"},
      {"+2017 8 21 29.95 N 190 W Beyond the date line", "longitude", "Longitude (degrees 0 to 180"},
      // "O" is east in German and west in French.
      {"+2017 8 21 29.95 N 90.45 O Ost oder Ouest", "E/W", "E/W (E or W after"},
      // In the fixed columns east (column 28 blank), read word by word west.
      {"+2000 01 01 10.00 N 020.00   W Which side", "longitude", "then E or W"},
      // Blanks in the fixed columns' numbers are filled ("32.70", "0.9608"), and so filled the
      // line reads word by word west.
      {"+2024 04 08 32 7  N 0.96 8  w Dallas, Texas", "longitude", "then E or W"},
  };
  for (const auto& c : refused) {
    const PoILine line = ParsePoILine(c.line);
    ASSERT_EQ(line.kind, PoILine::kBadField) << c.line;
    EXPECT_EQ(line.field, c.field) << c.line;
    const std::string english = PoIErrorMessage(line, Language::kEnglish);
    EXPECT_NE(english.find(c.form), std::string::npos) << english;
    for (Language language : {Language::kGerman, Language::kFrench}) {
      const std::string message = PoIErrorMessage(line, language);
      EXPECT_NE(message, english);
      EXPECT_NE(message.find(c.line), std::string::npos) << message;
    }
  }
  EXPECT_EQ(PoIErrorMessage(ParsePoILine(refused[4].line), Language::kFrench),
            std::string("Erreur de coordonnées: N/S (N ou S après la latitude): ") + refused[4].line);
  // Short lines that are no point at all stay quiet, as they always did.
  for (const char* line : {"", "   ", "Trips 2017", "+2017 8 21 29.95 N 90.45 W"})
    EXPECT_EQ(ParsePoILine(line).kind, PoILine::kSkipped) << line;
}

TEST(PoIList, AnAddedPointReadsBackToTheSamePoint) {
  const struct {
    PoIDate date;
    double latitude, longitude;
    const char* name;
    const char* line;
    double readLatitude, readLongitude;
    const char* title;
  } points[] = {
      {{2017, 8, 21}, 36.97, -86.47, "Hopkinsville", "+2017 08 21 36.97 N 086.47 W Hopkinsville",
       36.97, -86.47, "Hopkinsville"},
      {{-584, 5, 28}, 37.53, 27.28, "Milet (Thales)", "-0584 05 28 37.53 N 027.28 E Milet (Thales)",
       37.53, 27.28, "Milet"},
      {{7000, 11, 15}, -7.5, 180, " A\u012bbak\n", "+7000 11 15 07.50 S 180.00 E A\u012bbak", -7.5,
       180, "A\u012bbak"},
      // Rounded to 0.01°: a hair south of the equator is the equator, with no hemisphere.
      {{2024, 4, 8}, -0.001, -179.996, "Line\tIslands", "+2024 04 08 00.00 N 180.00 W Line Islands",
       0, -180, "Line Islands"},
  };
  for (const auto& p : points) {
    const std::string line = PoIListLine(p.date, p.latitude, p.longitude, p.name);
    EXPECT_EQ(line, p.line);
    const PoILine read = ParsePoILine(line);
    ASSERT_EQ(read.kind, PoILine::kPoint) << line;
    EXPECT_EQ(read.date, p.date) << line;
    EXPECT_DOUBLE_EQ(read.mark.latitude, p.readLatitude) << line;
    EXPECT_DOUBLE_EQ(read.mark.longitude, p.readLongitude) << line;
    // The fixed layout keeps the blank before a title without comment.
    const std::string title = read.mark.title.front() == ' ' ? read.mark.title.substr(1) : read.mark.title;
    EXPECT_EQ(title, p.title) << line;
  }
  for (const char* name : {"", " \t\r\n "}) EXPECT_EQ(PoIListLine({2024, 4, 8}, 1, 2, name), "");
  EXPECT_EQ(PoIListLine({2024, 4, 8}, 90.5, 2, "Beyond"), "");
  EXPECT_EQ(PoIListLine({2024, 4, 8}, 1, -181, "Beyond"), "");
}

TEST(PoIList, EveryDefaultLineGivesTheNumbersItsFieldsSay) {
  // The fields split at blanks, read independently of the character columns: a column read one
  // place off turns "177.40 W" (Midway) into -77.40 or a latitude into nonsense.
  const auto& lines = DefaultPoILines();
  int eastOf100 = 0, westOf100 = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::istringstream fields(lines[i]);
    std::string date, month, day, ns, ew;
    double latitude = 0, longitude = 0;
    fields >> date >> month >> day >> latitude >> ns >> longitude >> ew;
    ASSERT_TRUE(fields) << lines[i];
    const PoILine line = ParsePoILine(lines[i]);
    ASSERT_EQ(line.kind, PoILine::kPoint) << lines[i];
    EXPECT_DOUBLE_EQ(line.mark.latitude, ns == "S" ? -latitude : latitude) << lines[i];
    EXPECT_DOUBLE_EQ(line.mark.longitude, ew == "W" ? -longitude : longitude) << lines[i];
    if (longitude >= 100) ++(ew == "W" ? westOf100 : eastOf100);
  }
  // The list does hold three-digit longitudes on both sides.
  EXPECT_GE(eastOf100, 3);
  EXPECT_GE(westOf100, 3);
  EXPECT_DOUBLE_EQ(ParsePoILine("+2012 05 20 28.25 N 177.40 W Midway").mark.longitude, -177.40);
}

TEST(PoIList, RepairsCasesAndCharacterColumns) {
  // "48" and three blanks read as 48.00; "90" and a blank as 90.0.
  const PoILine repaired = ParsePoILine("+2000 01 01 48    n 090  0 w Somewhere");
  ASSERT_EQ(repaired.kind, PoILine::kPoint);
  EXPECT_DOUBLE_EQ(repaired.mark.latitude, 48.0);
  EXPECT_DOUBLE_EQ(repaired.mark.longitude, -90.0);
  EXPECT_EQ(repaired.repaired, "+2000 01 01 48.00 n 090.00 w Somewhere");
  EXPECT_DOUBLE_EQ(ParsePoILine("+2000 01 01 10.00 s 010.00 e Lower case").mark.latitude, -10.0);
  EXPECT_DOUBLE_EQ(ParsePoILine("+2000 01 01 10.00 X 010.00 Q Other letters").mark.longitude,
                   10.0);
  // Columns count characters: a two-byte character early in the line moves no column.
  const PoILine wide = ParsePoILine("+2017\u00e908 21 36.26 N 068.02 E A\u012bbak (Afghanistan)");
  ASSERT_EQ(wide.kind, PoILine::kPoint);
  EXPECT_DOUBLE_EQ(wide.mark.latitude, 36.26);
  EXPECT_DOUBLE_EQ(wide.mark.longitude, 68.02);
  EXPECT_EQ(wide.mark.title, "A\u012bbak");
  // Under 30 characters: skipped. A "(" as the title's first character stays in it.
  EXPECT_EQ(ParsePoILine("+2000 01 01 10.00 N 010.00 E").kind, PoILine::kSkipped);
  EXPECT_EQ(ParsePoILine("+2000 01 01 10.00 N 010.00 E(x)").mark.title, "(x)");
  const PoILine badLongitude = ParsePoILine("+2000 01 01 10.00 N 0x0.00 E Bad");
  EXPECT_EQ(badLongitude.kind, PoILine::kBadField);
  EXPECT_EQ(badLongitude.field, "longitude");
}

TEST(PoIList, CheckMarksFollowTheirLinesThroughAnEdit) {
  using Lines = std::vector<std::string>;
  const struct {
    Lines before;
    std::vector<bool> checked;
    Lines now;
    std::vector<bool> expected;
  } cases[] = {
      // A line inserted above moves the marks with their lines.
      {{"a", "b", "c"}, {false, true, true}, {"new", "a", "b", "c"}, {false, false, true, true}},
      // An edited line loses its mark; the others keep theirs.
      {{"a", "b", "c"}, {true, true, false}, {"a", "b (edited)", "c"}, {true, false, false}},
      // Deleted lines take their marks with them; a line typed twice keeps as many as it had.
      {{"a", "a", "b"}, {true, false, true}, {"a", "a", "a"}, {true, false, false}},
      {{"a", "a"}, {true, true}, {"a", "a", "a"}, {true, true, false}},
      {{}, {}, {"a"}, {false}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CarriedCheckMarks(c.before, c.checked, c.now), c.expected);
  }
}

TEST(PoIList, TextFilesInUtf8OrWindows1252) {
  EXPECT_EQ(DecodeTextFile("A\xC4\xAB" "bak"), "A\u012bbak");
  EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBFok"), "ok");
  EXPECT_EQ(DecodeTextFile("Caf\xE9 \x80"), "Caf\u00e9 \u20ac");
  EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitLines("a\n"), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace umbrivista
