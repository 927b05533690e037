// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The settings record: every field at its offset, damaged and foreign files read field by field,
// a version change, UTF-8 texts cut by characters, and files that cannot be written.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "scratch_dir.h"
#include "settings_file.h"
#include "settings_record.h"

namespace umbrivista {
namespace {

// A record in which every field differs from its default.
SettingsRecord Unusual() {
  SettingsRecord r;
  r.version = "9.8.7";
  r.mainState = 2;
  r.mainTop = -12;
  r.mainLeft = 345;
  r.mainHeight = 678;
  r.mainWidth = 901;
  r.language = Language::kFrench;
  r.showLimits = false;
  r.playSpeedIndex = 0;
  r.showNightSide = false;
  r.eclipsePosition = 23456;
  r.ut = true;
  r.textureIndex = 3;
  r.gridIndex = 5;
  r.poiLatitude = "12.25";
  r.poiNorth = false;
  r.poiSouth = true;
  r.poiLongitude = "170.5";
  r.poiEast = false;
  r.poiWest = true;
  r.showPoI = r.showSubSolar = r.showCapitals = true;
  r.timePosition = 12345;
  r.zoomPosition = 333;
  r.originX = -40;
  r.originY = 5000;
  r.historyTop = 11;
  r.historyLeft = 22;
  r.historyHeight = 333;
  r.historyWidth = 444;
  r.historyState = 1;
  r.placeName = "A\u012bbak";
  r.placeLatitude = "36.26";
  r.placeNorth = false;
  r.placeSouth = true;
  r.placeLongitude = "68.02";
  r.placeWest = true;
  r.placeEast = false;
  r.placeHeight = "1100";
  r.firstYearIndex = 7;
  r.lastYearIndex = 13;
  r.listTop = 55;
  r.listLeft = 66;
  r.listHeight = 777;
  r.listWidth = 888;
  r.listState = 2;
  r.populationIndex = 8;
  return r;
}

constexpr SettingsLimits kLimits{28504};

std::int32_t IntAt(const std::array<std::uint8_t, kSettingsSize>& b, std::size_t at) {
  return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                   static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(SettingsRecord, EveryFieldAtItsOffsetAndBack) {
  const SettingsRecord r = Unusual();
  const auto b = EncodeSettings(r);
  ASSERT_EQ(b.size(), 243u);
  EXPECT_EQ(b[0], 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[1]), 5), "9.8.7");
  EXPECT_EQ(b[17], 2);
  EXPECT_EQ(IntAt(b, 18), -12);
  EXPECT_EQ(IntAt(b, 22), 345);
  EXPECT_EQ(IntAt(b, 26), 678);
  EXPECT_EQ(IntAt(b, 30), 901);
  EXPECT_EQ(b[34], 2);
  EXPECT_EQ(b[35], 1);  // the path limits switched off
  EXPECT_EQ(b[36], 1);  // the play speed ×1: its index + 1
  EXPECT_EQ(b[37], 1);  // the night side not shaded
  EXPECT_EQ(b[38], 0);
  EXPECT_EQ(IntAt(b, 39), 23456);
  EXPECT_EQ(b[43], 1);
  EXPECT_EQ(IntAt(b, 44), 3);
  EXPECT_EQ(IntAt(b, 48), 5);
  EXPECT_EQ(b[52], 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[53]), 5), "12.25");
  EXPECT_EQ(b[69], 0);
  EXPECT_EQ(b[70], 1);
  EXPECT_EQ(b[71], 5);
  EXPECT_EQ(b[88], 0);
  EXPECT_EQ(b[89], 1);
  EXPECT_EQ(b[90] + b[91] + b[92], 3);
  EXPECT_EQ(IntAt(b, 93), 12345);
  EXPECT_EQ(IntAt(b, 97), 333);
  EXPECT_EQ(IntAt(b, 101), -40);
  EXPECT_EQ(IntAt(b, 105), 5000);
  EXPECT_EQ(IntAt(b, 109), 11);
  EXPECT_EQ(IntAt(b, 121), 444);
  EXPECT_EQ(b[125], 1);
  EXPECT_EQ(b[126], 6);  // "Aībak" is 6 bytes of UTF-8
  EXPECT_EQ(b[159], 5);
  EXPECT_EQ(b[176], 0);
  EXPECT_EQ(b[177], 1);
  EXPECT_EQ(b[178], 5);
  EXPECT_EQ(b[195], 1);  // west
  EXPECT_EQ(b[196], 0);  // east
  EXPECT_EQ(b[197], 4);
  EXPECT_EQ(IntAt(b, 214), 7);
  EXPECT_EQ(IntAt(b, 218), 13);
  EXPECT_EQ(IntAt(b, 222), 55);
  EXPECT_EQ(IntAt(b, 234), 888);
  EXPECT_EQ(b[238], 2);
  EXPECT_EQ(IntAt(b, 239), 8);
  int problems = 0;
  EXPECT_EQ(DecodeSettings(b, kLimits, &problems), r);
  EXPECT_EQ(problems, 0);
}

TEST(SettingsRecord, ShortLongAndDamagedFilesKeepWhatIsInRange) {
  const SettingsRecord r = Unusual();
  const auto b = EncodeSettings(r);
  SettingsRecord expected;
  expected.version = "";
  EXPECT_EQ(DecodeSettings({}, kLimits), expected);
  // 242 bytes: every field but the last.
  SettingsRecord cut = r;
  cut.populationIndex = SettingsRecord{}.populationIndex;
  EXPECT_EQ(DecodeSettings(std::span(b).first(242), kLimits), cut);
  std::vector<std::uint8_t> longer(b.begin(), b.end());
  longer.push_back(0x55);
  EXPECT_EQ(DecodeSettings(longer, kLimits), r);

  auto damaged = b;
  damaged[126] = 200;  // a place name longer than its 32 bytes
  damaged[34] = 7;     // no such language
  damaged[44] = 0xFD;  // texture −3
  damaged[45] = damaged[46] = damaged[47] = 0xFF;
  damaged[48] = 99;    // grid 99
  damaged[239] = 99;   // population 99
  damaged[39] = 0xFF;  // position beyond the catalogue
  damaged[40] = 0xFF;
  damaged[69] = damaged[70] = 1;  // north and south at once
  damaged[97] = 10;               // zoom 10
  damaged[98] = 0;
  int problems = 0;
  const SettingsRecord read = DecodeSettings(damaged, kLimits, &problems);
  const SettingsRecord d;
  EXPECT_EQ(problems, 8);
  EXPECT_EQ(read.placeName, d.placeName);
  EXPECT_EQ(read.language, Language::kGerman);
  EXPECT_EQ(read.textureIndex, 0);
  EXPECT_EQ(read.gridIndex, 2);
  EXPECT_EQ(read.populationIndex, 0);
  EXPECT_EQ(read.eclipsePosition, 16690);
  EXPECT_TRUE(read.poiNorth);
  EXPECT_FALSE(read.poiSouth);
  EXPECT_EQ(read.zoomPosition, 140);
  // The rest stays.
  EXPECT_EQ(read.placeLatitude, r.placeLatitude);
  EXPECT_EQ(read.timePosition, r.timePosition);
  // Text that is not UTF-8 is not taken.
  damaged = b;
  damaged[127] = 0xC3;
  damaged[128] = 0x28;
  EXPECT_EQ(DecodeSettings(damaged, kLimits).placeName, "");
}

// Each stored list index is kept up to the last item of its list and replaced by its default one
// past it (and below 0): 4 globe textures, 7 grid steps, 10 population thresholds, 14 first and 14
// last years of the place history, 3 languages, and the catalogue's positions.
TEST(SettingsRecord, ListIndicesAreKeptUpToTheLastItemOfTheirList) {
  struct Index {
    const char* name;
    std::size_t offset;
    int items;         // the list's length (positions: the catalogue's record count)
    int first;         // the list's first index
    bool byte;         // stored in one byte rather than four
    int SettingsRecord::*field;
  };
  const Index indices[] = {
      {"texture", 44, 4, 0, false, &SettingsRecord::textureIndex},
      {"grid", 48, 7, 0, false, &SettingsRecord::gridIndex},
      {"population", 239, 10, 0, false, &SettingsRecord::populationIndex},
      {"first year", 214, 14, 0, false, &SettingsRecord::firstYearIndex},
      {"last year", 218, 14, 0, false, &SettingsRecord::lastYearIndex},
      {"position", 39, kLimits.recordCount, 1, false, &SettingsRecord::eclipsePosition},
      {"language", 34, 3, 0, true, nullptr},
  };
  const SettingsRecord defaults;
  for (const Index& index : indices) {
    SCOPED_TRACE(index.name);
    auto stored = [&](int value) {
      auto bytes = EncodeSettings(Unusual());
      if (index.byte) {
        bytes[index.offset] = static_cast<std::uint8_t>(value);
      } else {
        for (int i = 0; i < 4; ++i) {
          bytes[index.offset + i] =
              static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
        }
      }
      int problems = 0;
      const SettingsRecord read = DecodeSettings(bytes, kLimits, &problems);
      const int kept = index.field ? read.*index.field : LanguageIndex(read.language);
      return std::pair{kept, problems};
    };
    const int fallback = index.field ? defaults.*index.field : LanguageIndex(defaults.language);
    const int last = index.first + index.items - 1;
    EXPECT_EQ(stored(index.first), std::pair(index.first, 0));
    EXPECT_EQ(stored(last), std::pair(last, 0));
    EXPECT_EQ(stored(last + 1), std::pair(fallback, 1));
    EXPECT_EQ(stored(index.first - 1), std::pair(fallback, 1));  // a byte of 255 for a language
  }
}

// The play speed shares the spare word with the limits switch: files of older versions hold 0
// there and read as the default speed, a value beyond the list does too and counts as damage.
TEST(SettingsRecord, PlaySpeedLivesInTheSpareWord) {
  for (int index = 0; index < kPlaySpeedCount; ++index) {
    SettingsRecord r = Unusual();
    r.playSpeedIndex = index;
    int problems = 0;
    EXPECT_EQ(DecodeSettings(EncodeSettings(r), kLimits, &problems), r) << index;
    EXPECT_EQ(problems, 0);
  }
  const struct {
    std::uint8_t limits, speed, night;
    bool limitsShown;
    int index, problems;
    bool nightShown;
  } stored[] = {
      {0, 0, 0, true, kDefaultPlaySpeedIndex, 0, true},  // an older file
      {1, 0, 0, false, kDefaultPlaySpeedIndex, 0, true},
      {0, 4, 0, true, 3, 0, true},
      {1, 1, 0, false, 0, 0, true},
      {0, 5, 0, true, kDefaultPlaySpeedIndex, 1, true},
      {1, 255, 0, false, kDefaultPlaySpeedIndex, 1, true},
      {2, 2, 0, true, 1, 1, true},  // a damaged switch leaves the speed
      {0, 0, 1, true, kDefaultPlaySpeedIndex, 0, false},
      {1, 3, 7, false, 2, 1, true},  // a damaged night switch means shaded
  };
  for (const auto& s : stored) {
    auto bytes = EncodeSettings(Unusual());
    bytes[35] = s.limits;
    bytes[36] = s.speed;
    bytes[37] = s.night;
    int problems = 0;
    const SettingsRecord read = DecodeSettings(bytes, kLimits, &problems);
    EXPECT_EQ(read.showLimits, s.limitsShown) << int{s.limits} << " " << int{s.speed};
    EXPECT_EQ(read.playSpeedIndex, s.index) << int{s.limits} << " " << int{s.speed};
    EXPECT_EQ(read.showNightSide, s.nightShown) << int{s.night};
    EXPECT_EQ(problems, s.problems) << int{s.limits} << " " << int{s.speed};
  }
  // A record holding no speed of the list writes 0: the next start takes the default.
  SettingsRecord odd;
  odd.playSpeedIndex = 9;
  EXPECT_EQ(EncodeSettings(odd)[36], 0);
}

TEST(SettingsRecord, VersionChangeKeepsThePlaceHistoryFields) {
  const SettingsRecord old = Unusual();
  const SettingsRecord now = SettingsAfterVersionChange(old, "1.0.0");
  EXPECT_EQ(now.version, "1.0.0");
  EXPECT_EQ(now.mainWidth, 1024);
  EXPECT_EQ(now.eclipsePosition, 16690);
  EXPECT_EQ(now.language, Language::kGerman);
  EXPECT_EQ(now.zoomPosition, 140);
  EXPECT_EQ(now.historyWidth, 1222);
  EXPECT_TRUE(now.ut);
  EXPECT_EQ(now.placeName, old.placeName);
  EXPECT_EQ(now.placeLatitude, old.placeLatitude);
  EXPECT_EQ(now.placeLongitude, old.placeLongitude);
  EXPECT_EQ(now.placeHeight, old.placeHeight);
  EXPECT_TRUE(now.placeSouth && now.placeWest);
  EXPECT_EQ(now.firstYearIndex, 7);
  EXPECT_EQ(now.lastYearIndex, 13);
  EXPECT_EQ(now.populationIndex, 8);
}

TEST(SettingsRecord, TextsAreCutOnCharacterBoundaries) {
  std::string name;
  for (int i = 0; i < 20; ++i) name += "\u012b";  // 40 bytes
  SettingsRecord r;
  r.placeName = name;
  r.poiLatitude = "12345678901234567890";  // 20 characters into 16
  const SettingsRecord back = DecodeSettings(EncodeSettings(r), kLimits);
  EXPECT_EQ(back.placeName, name.substr(0, 32));
  EXPECT_EQ(back.poiLatitude, "1234567890123456");
  EXPECT_EQ(CutUtf8("ab\u012b", 3), "ab");
  EXPECT_EQ(CutUtf8("ab\u012b", 4), "ab\u012b");
  EXPECT_EQ(CutUtf8("\xF0\x9F\x8C\x91x", 3), "");
}

class SettingsFileTest : public ScratchDirTest {
 protected:
  SettingsFileTest() : ScratchDirTest("settings_file") {}
  std::vector<char> Bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

TEST_F(SettingsFileTest, CreatedAtFirstStartRecreatedForANewVersion) {
  const std::string path = (dir_ / "Umbrivista.ini").string();
  LoadedSettings first = LoadOrCreateSettings(path, "0.1.0", kLimits);
  EXPECT_TRUE(first.fileExists);
  EXPECT_TRUE(first.firstRun);
  EXPECT_EQ(first.problem, "");
  EXPECT_EQ(std::filesystem::file_size(path), 243u);
  EXPECT_EQ(first.record, DefaultSettings("0.1.0"));
  EXPECT_TRUE(first.record.placeNorth && first.record.placeEast);

  SettingsRecord saved = Unusual();
  saved.version = "0.1.0";
  ASSERT_EQ(SaveSettings(path, saved), "");
  const LoadedSettings again = LoadOrCreateSettings(path, "0.1.0", kLimits);
  EXPECT_EQ(again.record, saved);
  EXPECT_FALSE(again.firstRun);
  // Another version: the main window starts afresh, the place stays, and the file is rewritten.
  const LoadedSettings upgraded = LoadOrCreateSettings(path, "0.2.0", kLimits);
  EXPECT_EQ(upgraded.record, SettingsAfterVersionChange(saved, "0.2.0"));
  EXPECT_TRUE(upgraded.firstRun);
  EXPECT_EQ(LoadOrCreateSettings(path, "0.2.0", kLimits).record.version, "0.2.0");
}

TEST_F(SettingsFileTest, AFailedSaveKeepsTheOldFile) {
  const std::string path = (dir_ / "Umbrivista.ini").string();
  ASSERT_EQ(SaveSettings(path, DefaultSettings("0.1.0")), "");
  const auto before = Bytes(path);
  ::chmod(path.c_str(), 0444);
  const std::string problem = SaveSettings(path, Unusual());
  EXPECT_NE(problem, "");
  EXPECT_NE(problem.find(path), std::string::npos) << problem;
  EXPECT_EQ(Bytes(path), before);
  // A folder in the way.
  std::filesystem::create_directories(dir_ / "folder.ini");
  EXPECT_NE(SaveSettings((dir_ / "folder.ini").string(), Unusual()), "");
}

}  // namespace
}  // namespace umbrivista
