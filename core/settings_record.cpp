// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_record.h"

#include <cstring>

#include "text_encoding.h"

namespace umbrivista {

namespace {

// Byte offsets of the fields.
enum Offset : std::size_t {
  kVersion = 0,
  kMainState = 17,
  kMainTop = 18,
  kMainLeft = 22,
  kMainHeight = 26,
  kMainWidth = 30,
  kLanguage = 34,
  kReserved = 35,  // a spare word: the limits switch (35), the play speed (36), the night side
                   // (37); 38 free
  kPlaySpeed = 36,
  kNightSide = 37,
  kPosition = 39,
  kUt = 43,
  kTexture = 44,
  kGrid = 48,
  kPoILatitude = 52,
  kPoINorth = 69,
  kPoISouth = 70,
  kPoILongitude = 71,
  kPoIEast = 88,
  kPoIWest = 89,
  kShowPoI = 90,
  kShowSubSolar = 91,
  kShowCapitals = 92,
  kTime = 93,
  kZoom = 97,
  kOriginX = 101,
  kOriginY = 105,
  kHistoryTop = 109,
  kHistoryLeft = 113,
  kHistoryHeight = 117,
  kHistoryWidth = 121,
  kHistoryState = 125,
  kPlaceName = 126,
  kPlaceLatitude = 159,
  kPlaceNorth = 176,
  kPlaceSouth = 177,
  kPlaceLongitude = 178,
  kPlaceWest = 195,
  kPlaceEast = 196,
  kPlaceHeight = 197,
  kFirstYear = 214,
  kLastYear = 218,
  kListTop = 222,
  kListLeft = 226,
  kListHeight = 230,
  kListWidth = 234,
  kListState = 238,
  kPopulation = 239,
};
static_assert(kPopulation + 4 == kSettingsSize);

constexpr int kMaxCoordinate = 100000;  // window places and the globe's centre, pixels
constexpr int kMinWindowSize = 100;

class Writer {
 public:
  void Int(std::size_t at, int value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  void Byte(std::size_t at, int value) { bytes[at] = static_cast<std::uint8_t>(value); }
  void Text(std::size_t at, std::size_t capacity, const std::string& text) {
    const std::string cut = CutUtf8(text, capacity);
    bytes[at] = static_cast<std::uint8_t>(cut.size());
    std::memcpy(&bytes[at + 1], cut.data(), cut.size());
  }
  std::array<std::uint8_t, kSettingsSize> bytes{};
};

class Reader {
 public:
  Reader(std::span<const std::uint8_t> bytes, int* problems) : bytes_(bytes), problems_(problems) {}
  // The field at `at` when it lies within the file and within lo … hi, else `fallback`.
  int Int(std::size_t at, int lo, int hi, int fallback) {
    if (at + 4 > bytes_.size()) return Bad(fallback);
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes_[at + i]) << (8 * i);
    const auto value = static_cast<std::int32_t>(v);
    return value >= lo && value <= hi ? value : Bad(fallback);
  }
  int Byte(std::size_t at, int hi, int fallback) {
    if (at >= bytes_.size() || bytes_[at] > hi) return Bad(fallback);
    return bytes_[at];
  }
  bool Flag(std::size_t at, bool fallback) { return Byte(at, 1, fallback) != 0; }
  std::string Text(std::size_t at, std::size_t capacity, const std::string& fallback) {
    if (at + 1 + capacity > bytes_.size() || bytes_[at] > capacity) return Bad(fallback);
    std::string text(reinterpret_cast<const char*>(&bytes_[at + 1]), bytes_[at]);
    return IsValidUtf8(text) ? text : Bad(fallback);
  }
  // A radio pair holds exactly one checked button; anything else gives the pair's default.
  void Pair(std::size_t first, std::size_t second, bool& a, bool& b) {
    const bool x = Flag(first, a), y = Flag(second, b);
    if (x != y) {
      a = x;
      b = y;
    } else {
      Bad(0);
    }
  }

 private:
  template <typename T>
  T Bad(T fallback) {
    if (problems_) ++*problems_;
    return fallback;
  }
  std::span<const std::uint8_t> bytes_;
  int* problems_;
};

}  // namespace

std::string CutUtf8(const std::string& text, std::size_t capacity) {
  if (text.size() <= capacity) return text;
  std::size_t end = capacity;
  // Back up over continuation bytes to the start of the character that does not fit.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

SettingsRecord DefaultSettings(const std::string& version) {
  SettingsRecord r;
  r.version = CutUtf8(version, 16);
  return r;
}

SettingsRecord SettingsAfterVersionChange(const SettingsRecord& old, const std::string& version) {
  SettingsRecord r = DefaultSettings(version);
  r.ut = old.ut;
  r.placeName = old.placeName;
  r.placeLatitude = old.placeLatitude;
  r.placeNorth = old.placeNorth;
  r.placeSouth = old.placeSouth;
  r.placeLongitude = old.placeLongitude;
  r.placeWest = old.placeWest;
  r.placeEast = old.placeEast;
  r.placeHeight = old.placeHeight;
  r.firstYearIndex = old.firstYearIndex;
  r.lastYearIndex = old.lastYearIndex;
  r.populationIndex = old.populationIndex;
  return r;
}

std::array<std::uint8_t, kSettingsSize> EncodeSettings(const SettingsRecord& r) {
  Writer w;
  w.Text(kVersion, 16, r.version);
  w.Byte(kMainState, r.mainState);
  w.Int(kMainTop, r.mainTop);
  w.Int(kMainLeft, r.mainLeft);
  w.Int(kMainHeight, r.mainHeight);
  w.Int(kMainWidth, r.mainWidth);
  w.Byte(kLanguage, LanguageIndex(r.language));
  // The spare word holds the path limits switch and, one byte on, the play speed's index + 1;
  // 0, as older files have them, means the limits shown and the default speed.
  w.Int(kReserved, r.showLimits ? 0 : 1);
  const bool knownSpeed = r.playSpeedIndex >= 0 && r.playSpeedIndex < kPlaySpeedCount;
  w.Byte(kPlaySpeed, knownSpeed ? r.playSpeedIndex + 1 : 0);
  w.Byte(kNightSide, r.showNightSide ? 0 : 1);
  w.Int(kPosition, r.eclipsePosition);
  w.Byte(kUt, r.ut);
  w.Int(kTexture, r.textureIndex);
  w.Int(kGrid, r.gridIndex);
  w.Text(kPoILatitude, 16, r.poiLatitude);
  w.Byte(kPoINorth, r.poiNorth);
  w.Byte(kPoISouth, r.poiSouth);
  w.Text(kPoILongitude, 16, r.poiLongitude);
  w.Byte(kPoIEast, r.poiEast);
  w.Byte(kPoIWest, r.poiWest);
  w.Byte(kShowPoI, r.showPoI);
  w.Byte(kShowSubSolar, r.showSubSolar);
  w.Byte(kShowCapitals, r.showCapitals);
  w.Int(kTime, r.timePosition);
  w.Int(kZoom, r.zoomPosition);
  w.Int(kOriginX, r.originX);
  w.Int(kOriginY, r.originY);
  w.Int(kHistoryTop, r.historyTop);
  w.Int(kHistoryLeft, r.historyLeft);
  w.Int(kHistoryHeight, r.historyHeight);
  w.Int(kHistoryWidth, r.historyWidth);
  w.Byte(kHistoryState, r.historyState);
  w.Text(kPlaceName, 32, r.placeName);
  w.Text(kPlaceLatitude, 16, r.placeLatitude);
  w.Byte(kPlaceNorth, r.placeNorth);
  w.Byte(kPlaceSouth, r.placeSouth);
  w.Text(kPlaceLongitude, 16, r.placeLongitude);
  w.Byte(kPlaceWest, r.placeWest);
  w.Byte(kPlaceEast, r.placeEast);
  w.Text(kPlaceHeight, 16, r.placeHeight);
  w.Int(kFirstYear, r.firstYearIndex);
  w.Int(kLastYear, r.lastYearIndex);
  w.Int(kListTop, r.listTop);
  w.Int(kListLeft, r.listLeft);
  w.Int(kListHeight, r.listHeight);
  w.Int(kListWidth, r.listWidth);
  w.Byte(kListState, r.listState);
  w.Int(kPopulation, r.populationIndex);
  return w.bytes;
}

SettingsRecord DecodeSettings(std::span<const std::uint8_t> bytes, const SettingsLimits& limits,
                              int* problems) {
  const SettingsRecord d;
  SettingsRecord r;
  Reader in(bytes, problems);
  constexpr int kBig = kMaxCoordinate;
  r.version = in.Text(kVersion, 16, "");
  r.mainState = in.Byte(kMainState, 2, d.mainState);
  r.mainTop = in.Int(kMainTop, -kBig, kBig, d.mainTop);
  r.mainLeft = in.Int(kMainLeft, -kBig, kBig, d.mainLeft);
  r.mainHeight = in.Int(kMainHeight, kMinWindowSize, kBig, d.mainHeight);
  r.mainWidth = in.Int(kMainWidth, kMinWindowSize, kBig, d.mainWidth);
  r.language = LanguageFromIndex(in.Byte(kLanguage, kLanguageCount - 1, LanguageIndex(d.language)))
                   .value_or(d.language);
  r.showLimits = in.Byte(kReserved, 1, 0) == 0;
  const int speed = in.Byte(kPlaySpeed, kPlaySpeedCount, 0);
  r.showNightSide = in.Byte(kNightSide, 1, 0) == 0;
  r.playSpeedIndex = speed > 0 ? speed - 1 : d.playSpeedIndex;
  r.eclipsePosition = in.Int(kPosition, 1, std::max(1, limits.recordCount),
                             std::min(d.eclipsePosition, std::max(1, limits.recordCount)));
  r.ut = in.Flag(kUt, d.ut);
  r.textureIndex = in.Int(kTexture, 0, 3, d.textureIndex);
  r.gridIndex = in.Int(kGrid, 0, 6, d.gridIndex);
  r.poiLatitude = in.Text(kPoILatitude, 16, d.poiLatitude);
  in.Pair(kPoINorth, kPoISouth, r.poiNorth, r.poiSouth);
  r.poiLongitude = in.Text(kPoILongitude, 16, d.poiLongitude);
  in.Pair(kPoIEast, kPoIWest, r.poiEast, r.poiWest);
  r.showPoI = in.Flag(kShowPoI, d.showPoI);
  r.showSubSolar = in.Flag(kShowSubSolar, d.showSubSolar);
  r.showCapitals = in.Flag(kShowCapitals, d.showCapitals);
  r.timePosition = in.Int(kTime, 0, 12600, d.timePosition);
  r.zoomPosition = in.Int(kZoom, 60, 350, d.zoomPosition);
  r.originX = in.Int(kOriginX, -kBig, kBig, d.originX);
  r.originY = in.Int(kOriginY, -kBig, kBig, d.originY);
  r.historyTop = in.Int(kHistoryTop, -kBig, kBig, d.historyTop);
  r.historyLeft = in.Int(kHistoryLeft, -kBig, kBig, d.historyLeft);
  r.historyHeight = in.Int(kHistoryHeight, kMinWindowSize, kBig, d.historyHeight);
  r.historyWidth = in.Int(kHistoryWidth, kMinWindowSize, kBig, d.historyWidth);
  r.historyState = in.Byte(kHistoryState, 2, d.historyState);
  r.placeName = in.Text(kPlaceName, 32, d.placeName);
  r.placeLatitude = in.Text(kPlaceLatitude, 16, d.placeLatitude);
  in.Pair(kPlaceNorth, kPlaceSouth, r.placeNorth, r.placeSouth);
  r.placeLongitude = in.Text(kPlaceLongitude, 16, d.placeLongitude);
  in.Pair(kPlaceEast, kPlaceWest, r.placeEast, r.placeWest);
  r.placeHeight = in.Text(kPlaceHeight, 16, d.placeHeight);
  r.firstYearIndex = in.Int(kFirstYear, 0, 13, d.firstYearIndex);
  r.lastYearIndex = in.Int(kLastYear, 0, 13, d.lastYearIndex);
  r.listTop = in.Int(kListTop, -kBig, kBig, d.listTop);
  r.listLeft = in.Int(kListLeft, -kBig, kBig, d.listLeft);
  r.listHeight = in.Int(kListHeight, kMinWindowSize, kBig, d.listHeight);
  r.listWidth = in.Int(kListWidth, kMinWindowSize, kBig, d.listWidth);
  r.listState = in.Byte(kListState, 2, d.listState);
  r.populationIndex = in.Int(kPopulation, 0, 9, d.populationIndex);
  return r;
}

}  // namespace umbrivista
