// Lines of the points-of-interest list and the text files it is read from.

#include <gtest/gtest.h>

#include <sstream>

#include "poi_list.h"

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
            "Error in coordinate point: Latitude: " + format.repaired);
  EXPECT_EQ(PoIErrorMessage(format, Language::kGerman)
                .rfind("Fehler in der Koordinatenangabe: Geogr.Breite: ", 0),
            0u);
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
