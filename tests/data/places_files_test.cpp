// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped world-places files, checked line by line with the rules the reports' reader applies:
// six TAB-separated fields, integer numbers, one group per country, CR LF line ends, and the same
// places in all three languages.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "numbers.h"

using namespace umbrivista;

namespace {

struct Place {
  std::string country;
  std::string name;
  long long latitude;   // degrees × 100, north positive
  long long longitude;  // degrees × 100, east positive
  long long height;     // metres
  long long population;
};

struct PlacesFile {
  std::vector<Place> places;
  std::vector<std::string> errors;  // first few problems, with line numbers
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    int extra = 0;
    unsigned min = 0;
    unsigned code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, min = 0x80, code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, min = 0x800, code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000, code = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      code = (code << 6) | (d & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

// Splits like the reader: fields 1–5 end at the next TAB, field 6 is the rest of the line.
bool SplitFields(std::string_view line, std::array<std::string_view, 6>& fields) {
  for (int f = 0; f < 5; ++f) {
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    fields[f] = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  fields[5] = line;
  return true;
}

PlacesFile ReadPlaces(const std::string& name) {
  PlacesFile result;
  auto fail = [&](size_t lineNo, const std::string& what) {
    if (result.errors.size() < 10)
      result.errors.push_back(name + ":" + std::to_string(lineNo) + ": " + what);
  };
  const std::string text = ReadWhole(std::string(UMBRIVISTA_DATA_DIR) + "/" + name);
  if (text.empty()) {
    fail(0, "missing or empty");
    return result;
  }
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) fail(0, "starts with a byte-order mark");
  if (!IsUtf8(text)) fail(0, "not UTF-8");
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
    fail(0, "last line lacks CR LF");

  size_t start = 0;
  size_t lineNo = 0;
  while (start < text.size()) {
    ++lineNo;
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    if (line.empty() || line.back() != '\r') {
      fail(lineNo, "line end is not CR LF");
    } else {
      line.remove_suffix(1);
    }
    if (line.find('\r') != std::string_view::npos) fail(lineNo, "stray CR");
    if (line.empty()) {
      fail(lineNo, "empty line");
      continue;
    }
    std::array<std::string_view, 6> f;
    if (!SplitFields(line, f)) {
      fail(lineNo, "fewer than six fields");
      continue;
    }
    if (f[5].find('\t') != std::string_view::npos) fail(lineNo, "more than six fields");
    if (f[0].empty() || f[1].empty()) fail(lineNo, "empty country or place name");
    std::array<long long, 4> number{};
    bool numeric = true;
    for (int k = 0; k < 4; ++k) {
      // Plain decimal integers: an optional minus sign and digits.
      const std::string_view t = f[2 + k];
      const bool plain = !t.empty() &&
                         t.find_first_not_of("-0123456789") == std::string_view::npos &&
                         t.find('-', 1) == std::string_view::npos;
      const auto value = ParseInteger(t);
      if (!plain || !value) {
        fail(lineNo,
             "field " + std::to_string(3 + k) + " is not an integer: '" + std::string(t) + "'");
        numeric = false;
        break;
      }
      number[k] = *value;
    }
    if (!numeric) continue;
    result.places.push_back(
        {std::string(f[0]), std::string(f[1]), number[0], number[1], number[2], number[3]});
  }
  return result;
}

const std::array<const char*, 3> kFiles = {"2017_data_DE.txt", "2017_data_EN.txt",
                                           "2017_data_FR.txt"};

const std::vector<PlacesFile>& AllFiles() {
  static const std::vector<PlacesFile> files = [] {
    std::vector<PlacesFile> v;
    for (const char* name : kFiles) v.push_back(ReadPlaces(name));
    return v;
  }();
  return files;
}

TEST(PlacesFiles, EveryLineHasSixFieldsWithIntegerNumbersAndCrLf) {
  for (size_t i = 0; i < kFiles.size(); ++i) {
    const PlacesFile& file = AllFiles()[i];
    for (const std::string& error : file.errors) ADD_FAILURE() << error;
    // The whole world above 1000 inhabitants plus the capitals: well over 100,000 places.
    EXPECT_GT(file.places.size(), 100000u) << kFiles[i];
    RecordProperty(kFiles[i], static_cast<int>(file.places.size()));
  }
}

TEST(PlacesFiles, ValuesLieInTheirRanges) {
  for (size_t i = 0; i < kFiles.size(); ++i) {
    int bad = 0;
    for (const Place& p : AllFiles()[i].places) {
      const bool ok = p.latitude >= -9000 && p.latitude <= 9000 && p.longitude >= -18000 &&
                      p.longitude <= 18000 && p.height >= -500 && p.height <= 6000 &&
                      p.population >= 0 && p.population <= 2147483647LL;
      if (!ok && ++bad <= 5) {
        ADD_FAILURE() << kFiles[i] << ": " << p.country << " / " << p.name << " " << p.latitude
                      << " " << p.longitude << " " << p.height << " " << p.population;
      }
    }
    EXPECT_EQ(bad, 0) << kFiles[i];
  }
}

TEST(PlacesFiles, EachCountryFormsOneGroupWithinTheReaderLimit) {
  for (size_t i = 0; i < kFiles.size(); ++i) {
    std::set<std::string> closed;
    std::string current;
    size_t groupSize = 0;
    size_t largest = 0;
    for (const Place& p : AllFiles()[i].places) {
      if (p.country != current) {
        EXPECT_TRUE(closed.insert(p.country).second)
            << kFiles[i] << ": country '" << p.country << "' appears in two groups";
        current = p.country;
        groupSize = 0;
      }
      largest = std::max(largest, ++groupSize);
    }
    EXPECT_GT(closed.size(), 200u) << kFiles[i];
    // The place-history window lists at most 210,000 places of one country.
    EXPECT_LE(largest, 210000u) << kFiles[i];
  }
}

TEST(PlacesFiles, AllThreeLanguagesHoldTheSamePlaces) {
  using Key = std::tuple<long long, long long, long long, long long>;
  std::vector<std::vector<Key>> keys;
  std::vector<std::vector<size_t>> groupSizes;
  for (const PlacesFile& file : AllFiles()) {
    std::vector<Key> k;
    std::map<std::string, size_t> groups;
    for (const Place& p : file.places) {
      k.emplace_back(p.latitude, p.longitude, p.height, p.population);
      ++groups[p.country];
    }
    std::sort(k.begin(), k.end());
    keys.push_back(std::move(k));
    std::vector<size_t> sizes;
    for (const auto& [country, n] : groups) sizes.push_back(n);
    std::sort(sizes.begin(), sizes.end());
    groupSizes.push_back(std::move(sizes));
  }
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].size(), keys[1].size());
  EXPECT_EQ(keys[0].size(), keys[2].size());
  EXPECT_TRUE(keys[0] == keys[1]) << "German and English files differ";
  EXPECT_TRUE(keys[0] == keys[2]) << "German and French files differ";
  EXPECT_TRUE(groupSizes[0] == groupSizes[1] && groupSizes[0] == groupSizes[2])
      << "the countries do not match across the languages";
}

// Known places pin the sign conventions (east and north positive) and the names per language.
TEST(PlacesFiles, KnownPlacesAppearWithTheirLocalNames) {
  struct Expected {
    int file;
    const char* country;
    const char* name;
    long long latitude, longitude;
  };
  const Expected expected[] = {
      {0, "Schweiz", "Bern", 4695, 745},
      {1, "Switzerland", "Bern", 4695, 745},
      {2, "Suisse", "Berne", 4695, 745},
      {0, "Österreich", "Wien", 4821, 1637},
      {2, "Royaume-Uni", "Londres", 5151, -13},
      {1, "Brazil", "Rio de Janeiro", -2291, -4318},
      {1, "New Zealand", "Wellington", -4129, 17478},
      {0, "Vereinigte Staaten", "New York City", 4071, -7401},
  };
  for (const Expected& e : expected) {
    const auto& places = AllFiles()[e.file].places;
    const auto it = std::find_if(places.begin(), places.end(), [&](const Place& p) {
      return p.country == e.country && p.name == e.name;
    });
    ASSERT_NE(it, places.end()) << kFiles[e.file] << ": " << e.country << " / " << e.name;
    EXPECT_EQ(it->latitude, e.latitude) << e.name;
    EXPECT_EQ(it->longitude, e.longitude) << e.name;
  }
}

}  // namespace
