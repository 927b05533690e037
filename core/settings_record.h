// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program remembers between runs: one 243-byte record, packed little-endian, in
// "Umbrivista.ini" in the user's application-data folder. All three windows take their start
// values from it; the main window writes it back when it closes.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "language.h"

namespace umbrivista {

inline constexpr std::size_t kSettingsSize = 243;
inline constexpr const char* kSettingsFileName = "Umbrivista.ini";
// The play speeds the main window offers (×1, ×60, ×300, ×1200) and the one chosen at first.
inline constexpr int kPlaySpeedCount = 4;
inline constexpr int kDefaultPlaySpeedIndex = 2;

struct SettingsRecord {
  std::string version;  // up to 16 bytes
  // Main window.
  int mainState = 0;  // 0 normal, 1 minimised, 2 maximised
  int mainTop = 169, mainLeft = 232, mainHeight = 773, mainWidth = 1024;
  Language language = kDefaultLanguage;
  bool showLimits = true;  // kept in the record's spare bytes: 0 there means shown
  int playSpeedIndex = kDefaultPlaySpeedIndex;  // also kept there: 0 means the default speed
  bool showNightSide = true;  // kept there too: 0 means shaded
  int eclipsePosition = 16690;
  bool ut = false;
  int textureIndex = 0;
  int gridIndex = 2;
  std::string poiLatitude = "47.5";
  bool poiNorth = true, poiSouth = false;
  std::string poiLongitude = "7.53";
  bool poiEast = true, poiWest = false;
  bool showPoI = false, showSubSolar = false, showCapitals = false;
  int timePosition = 6300;
  int zoomPosition = 140;
  int originX = 222, originY = 222;
  // Place-history window.
  int historyTop = 155, historyLeft = 0, historyHeight = 773, historyWidth = 1222;
  int historyState = 0;
  std::string placeName, placeLatitude, placeLongitude, placeHeight;  // 32, 16, 16, 16 bytes
  bool placeNorth = true, placeSouth = false, placeWest = false, placeEast = true;
  int firstYearIndex = 0, lastYearIndex = 0;
  // City-list window.
  int listTop = 155, listLeft = 67, listHeight = 773, listWidth = 1222;
  int listState = 0;
  int populationIndex = 0;

  bool operator==(const SettingsRecord&) const = default;
};

// Limits a stored value must keep; anything else takes its default when read.
struct SettingsLimits {
  int recordCount = 1;  // eclipse positions 1 … recordCount
};

// The record as the file holds it. Strings are cut to their capacity on a character boundary.
std::array<std::uint8_t, kSettingsSize> EncodeSettings(const SettingsRecord& record);

// Reads a record field by field: a field that lies beyond the end of `bytes` or holds a value out
// of its range (a length above the capacity, text that is not UTF-8, a flag other than 0 or 1, a
// language above 2, a list index out of its list, a position, slider or zoom out of range, a
// window size below 100 pixels, a play speed beyond the list) takes its default. `problems` (when
// given) counts such fields.
SettingsRecord DecodeSettings(std::span<const std::uint8_t> bytes, const SettingsLimits& limits,
                              int* problems = nullptr);

// The record of a first run for a program of `version`.
SettingsRecord DefaultSettings(const std::string& version);

// After an update: the defaults of `version`, keeping what the old record says about the UT
// switch, the place-history place and years, and the population threshold.
SettingsRecord SettingsAfterVersionChange(const SettingsRecord& old, const std::string& version);

// `text` cut to at most `capacity` bytes without splitting a UTF-8 character.
std::string CutUtf8(const std::string& text, std::size_t capacity);

}  // namespace umbrivista
