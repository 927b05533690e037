// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The world-places reader: fields and numbers, line ends and encodings, the errors that name a
// line, and the country and city lists.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "places_file.h"
#include "text_encoding.h"
#include "scratch_dir.h"
#include "string_table.h"

using namespace umbrivista;

namespace {

class PlacesFile : public ScratchDirTest {
 protected:
  PlacesFile() : ScratchDirTest("umbrivista_places_test") {}
  std::string Write(const std::string& bytes, const std::string& name = "places.txt") {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // Every place of the file, and the error that ended the read.
  std::vector<Place> ReadAll(const std::string& path, std::string& error) {
    PlacesReader reader(path);
    std::vector<Place> places;
    Place p;
    while (reader.Next(p)) places.push_back(p);
    error = reader.Error();
    return places;
  }
};

TEST_F(PlacesFile, ReadsSixFieldsPerLine) {
  const std::string path = Write(
      "Schweiz\tBasel\t4755\t759\t254\t166558\r\n"
      "USA\tNew York\t4071\t-7401\t10\t8175133\r\n"
      "Chile\tPunta Arenas\t-5315\t-7092\t-3\t0\n"  // a bare LF is read too
      "Nowhere\t\t0\t0\t0\t-1\n");
  std::string error;
  const auto places = ReadAll(path, error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(places.size(), 4u);
  EXPECT_EQ(places[0].country, "Schweiz");
  EXPECT_EQ(places[0].name, "Basel");
  EXPECT_DOUBLE_EQ(places[0].LatitudeDegrees(), 47.55);
  EXPECT_DOUBLE_EQ(places[0].LongitudeDegrees(), 7.59);
  EXPECT_EQ(places[0].height, 254);
  EXPECT_EQ(places[0].population, 166558);
  // Longitudes are east positive: New York lies at 74.01° W.
  EXPECT_DOUBLE_EQ(places[1].LongitudeDegrees(), -74.01);
  EXPECT_EQ(places[1].name, "New York");
  EXPECT_EQ(places[2].height, -3);
  EXPECT_EQ(places[3].name, "");
  EXPECT_EQ(places[3].population, -1);
}

TEST_F(PlacesFile, MalformedLineIsNamedAndEarlierPlacesStay) {
  const std::string good = "A\tB\t100\t200\t0\t5\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {"A\tB\t100\t200\t0\r\n", "line 3: 5 fields, six TAB-separated fields expected"},
      {"A\tB\t100\t200\t0\t5\t6\r\n", "line 3: 7 fields, six TAB-separated fields expected"},
      {"\r\n", "line 3: 1 field, six TAB-separated fields expected"},
      {"A\tB\t1x\t200\t0\t5\r\n", "line 3: latitude: \"1x\" is not a whole number"},
      {"A\tB\t100\t\t0\t5\r\n", "line 3: longitude: \"\" is not a whole number"},
      {"A\tB\t100\t200\t1.5\t5\r\n", "line 3: height: \"1.5\" is not a whole number"},
      {"A\tB\t100\t200\t0\t2147483648\r\n", "line 3: population: 2147483648 lies outside the"},
      {"A\tB\t100\t200\t0\t99999999999999999999\r\n",
       "line 3: population: \"99999999999999999999\" lies outside the 32-bit range"},
      {"A\tB\t9001\t200\t0\t5\r\n", "line 3: latitude: 9001 lies outside -9000 … 9000"},
      {"A\tB\t100\t-18001\t0\t5\r\n", "line 3: longitude: -18001 lies outside -18000 … 18000"},
  };
  for (const auto& [bad, message] : cases) {
    const std::string path = Write(good + good + bad + good);
    std::string error;
    const auto places = ReadAll(path, error);
    EXPECT_EQ(places.size(), 2u) << message;
    EXPECT_EQ(error.rfind(path + ": " + message, 0), 0u) << error;
  }
}

// A file cut short ends inside its last line: whatever is left of that line ("28" of "2841"
// inhabitants) is not taken for a place.
TEST_F(PlacesFile, ALastLineWithoutItsLineEndIsDamage) {
  const std::string good = "Schweiz\tBasel\t4755\t759\t254\t166558\r\n";
  const std::pair<std::string, int> cases[] = {
      {good + good + "Schweiz\tBern\t4695\t745\t540\t28", 2},  // cut inside the number
      {good + good + "Schweiz\tBern\t4695\t745\t540\t2841\r", 2},  // between CR and LF
      {good + "Schw", 1},
      {"Schweiz\tBern\t4695\t745\t540\t134794", 0},
  };
  for (const auto& [bytes, complete] : cases) {
    const std::string path = Write(bytes);
    std::string error;
    EXPECT_EQ(ReadAll(path, error).size(), static_cast<std::size_t>(complete)) << bytes;
    EXPECT_EQ(error, path + ": line " + std::to_string(complete + 1) +
                         ": the last line has no line end (the file may be cut short)");
  }
  // Bytes in memory are read the same way.
  PlacesReader memory("cut.txt", good + "Schweiz\tBern\t4695");
  Place p;
  EXPECT_TRUE(memory.Next(p));
  EXPECT_FALSE(memory.Next(p));
  EXPECT_EQ(memory.Error(), "cut.txt: line 2: the last line has no line end (the file may be cut short)");
}

TEST_F(PlacesFile, MissingFileAndFolderAreErrors) {
  std::string error;
  EXPECT_TRUE(ReadAll((dir_ / "missing.txt").string(), error).empty());
  EXPECT_EQ(error.rfind((dir_ / "missing.txt").string() + ": cannot open: ", 0), 0u) << error;
  EXPECT_TRUE(ReadAll(dir_.string(), error).empty());
  EXPECT_EQ(error, dir_.string() + ": is a folder, not a file");
  EXPECT_TRUE(ReadAll(Write(""), error).empty());
  EXPECT_EQ(error, "");
}

TEST_F(PlacesFile, Utf8AndWindows1252Files) {
  std::string error;
  // UTF-8 with a byte-order mark.
  PlacesReader utf8(
      Write("\xEF\xBB\xBF"
            "Afghanistan\tA\xC4\xAB"
            "bak\t3626\t6802\t969\t47823\r\n"));
  Place p;
  ASSERT_TRUE(utf8.Next(p));
  EXPECT_TRUE(utf8.WasUtf8());
  EXPECT_EQ(p.country, "Afghanistan");
  EXPECT_EQ(p.name, "Aībak");

  // A file that is not UTF-8 is Windows-1252: "Zürich", "Œuvre €".
  PlacesReader cp1252(
      Write("Schweiz\tZ\xFCrich\t4737\t854\t408\t341730\r\n"
            "France\t\x8Cuvre \x80\t0\t0\t0\t0\r\n"));
  ASSERT_TRUE(cp1252.Next(p));
  EXPECT_FALSE(cp1252.WasUtf8());
  EXPECT_EQ(p.name, "Zürich");
  ASSERT_TRUE(cp1252.Next(p));
  EXPECT_EQ(p.name, "Œuvre €");

  EXPECT_TRUE(IsValidUtf8("Zürich"));
  EXPECT_FALSE(IsValidUtf8("Z\xFCrich"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8C\x91"));  // U+1F311
  EXPECT_EQ(Windows1252ToUtf8("\x81\x9F"),
            "\xC2\x81"
            "\xC5\xB8");
}

TEST_F(PlacesFile, CountryListMergesNeighboursAndCityListTakesEveryGroup) {
  const std::string path = Write(
      "Austria\tWien\t4821\t1637\t171\t1691468\r\n"
      "Austria\tGraz\t4707\t1544\t353\t222326\r\n"
      "Belgium\tGent\t5105\t372\t10\t231493\r\n"
      "Austria\tLinz\t4830\t1429\t266\t181162\r\n"
      "austria\tSalzburg\t4780\t1304\t424\t149201\r\n");
  const CountryList countries = ReadCountries(path);
  EXPECT_EQ(countries.error, "");
  EXPECT_EQ(countries.countries,
            (std::vector<std::string>{"Austria", "Belgium", "Austria", "austria"}));
  const CityList cities = ReadCities(path, "Austria");
  ASSERT_EQ(cities.places.size(), 3u);
  EXPECT_EQ(cities.places[2].name, "Linz");
  EXPECT_EQ(cities.places[2].height, 266);

  // A bad line ends both lists; what came before it stays.
  const std::string bad =
      Write("Austria\tWien\t4821\t1637\t171\t1691468\r\nAustria\tGraz\t47x7\t1544\t353\t222326\r\n",
            "bad.txt");
  const CityList partial = ReadCities(bad, "Austria");
  EXPECT_EQ(partial.places.size(), 1u);
  EXPECT_NE(partial.error.find("bad.txt: line 2: latitude"), std::string::npos);
  EXPECT_EQ(ReadCountries(bad).countries.size(), 1u);
}

// The shipped files are read to their end, with one entry per line.
TEST(ShippedPlaces, EveryLanguageFileReadsCompletely) {
  for (Language language : {Language::kGerman, Language::kEnglish, Language::kFrench}) {
    PlacesReader reader(std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(language));
    Place p;
    int count = 0;
    while (reader.Next(p)) ++count;
    EXPECT_EQ(reader.Error(), "") << LanguageIndex(language);
    EXPECT_TRUE(reader.WasUtf8());
    EXPECT_EQ(count, reader.LineNumber());
    EXPECT_GT(count, 100000);
  }
  EXPECT_EQ(PlacesFileName(static_cast<Language>(3)), "");
}

}  // namespace

namespace {

// The cache reads a file once and again only when it changed or another file is asked for.
TEST_F(PlacesFile, CacheReadsAgainOnlyAChangedOrOtherFile) {
  const std::string path = (dir_ / "cached.txt").string();
  std::ofstream(path, std::ios::binary) << "A\tOne\t100\t200\t3\t4\r\n";
  PlacesCache cache;
  const auto first = cache.Get(path);
  ASSERT_EQ(first->places.size(), 1u);
  EXPECT_EQ(cache.Get(path), first);
  std::ofstream(path, std::ios::binary | std::ios::app) << "A\tTwo\t100\t200\t3\t4\r\n";
  const auto second = cache.Get(path);
  EXPECT_EQ(second->places.size(), 2u);
  EXPECT_EQ(first->places.size(), 1u);  // a run still reading the first keeps it
  const auto missing = cache.Get(path + ".gone");
  EXPECT_TRUE(missing->places.empty());
  EXPECT_NE(missing->error, "");
  EXPECT_NE(cache.Get(path), second);  // the missing file took its place, so read again
}

}  // namespace
