// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "place_zones.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "catalogue.h"
#include "julian_day.h"
#include "numbers.h"

namespace umbrivista {

namespace {

constexpr double kEarthRadiusKm = 6371.0;  // mean radius
constexpr double kDegToRad = 3.14159265358979323846 / 180;
constexpr int kCellsPerDegree = 2;
constexpr int kRows = 180 * kCellsPerDegree;
constexpr int kColumns = 360 * kCellsPerDegree;
constexpr long long kMaxZones = 65535;  // zone numbers are stored in 16 bits
constexpr long long kMaxPlaces = 10'000'000;
constexpr std::size_t kMaxZoneNameLength = 64;

// Longitude in −180 … 180; values already there stay as they are.
double WrapLongitude(double lon) {
  if (lon >= -180 && lon <= 180) return lon;
  const double wrapped = std::fmod(lon + 180, 360);
  return (wrapped < 0 ? wrapped + 360 : wrapped) - 180;
}

int Row(double lat) {
  return std::clamp(static_cast<int>(std::floor((lat + 90) * kCellsPerDegree)), 0, kRows - 1);
}

int Column(double lon) {
  const int c = static_cast<int>(std::floor((lon + 180) * kCellsPerDegree));
  return ((c % kColumns) + kColumns) % kColumns;
}

// Reads the zone file line by line; every failure names the file and the line.
class LineReader {
 public:
  LineReader(std::string_view text, const std::string& name) : text_(text), name_(name) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  int Number() const { return line_; }

  // The next line. A file that ends before it fails naming what is missing: the line
  // "KEYWORD<TAB>count", or item n of the `count` ones of that kind.
  std::string_view Next(const char* what, long long n = 0, long long count = 0) {
    ++line_;
    if (AtEnd()) {
      Fail("the file ends before " +
           (count == 0
                ? std::string("the line \"") + what + "<TAB>count\""
                : std::string(what) + " " + std::to_string(n) + " of " + std::to_string(count)) +
           " (it may be cut short)");
    }
    const std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) {
      // Whatever the line holds, its last number may have lost digits.
      Fail("the last line has no line end (the file may be cut short)");
    }
    std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw PlaceZonesError(name_ + ": line " + std::to_string(line_) + ": " + what);
  }

  long long Integer(std::string_view text, const char* field, long long lo, long long hi) const {
    const std::optional<long long> value = ParseInteger(text);
    if (!value)
      Fail(std::string(field) + ": " + QuoteForMessage(text, 40) + " is not a whole number");
    if (*value < lo || *value > hi) {
      Fail(std::string(field) + ": " + std::to_string(*value) + " lies outside " +
           std::to_string(lo) + " … " + std::to_string(hi));
    }
    return *value;
  }

  // "KEYWORD<TAB>count".
  long long Count(const char* keyword, const char* field, long long hi) {
    const std::string_view line = Next(keyword);
    const std::string prefix = std::string(keyword) + "\t";
    if (line.substr(0, prefix.size()) != prefix) {
      Fail(std::string(field) + ": \"" + keyword + "<TAB>count\" expected, not " +
           QuoteForMessage(line, 40));
    }
    return Integer(line.substr(prefix.size()), field, 1, hi);
  }

 private:
  std::string_view text_;
  const std::string& name_;
  std::size_t pos_ = 0;
  int line_ = 0;
};

struct RawPlace {
  float x, y, z;
  std::uint16_t zone;
  std::uint32_t cell;
};

}  // namespace

bool IsTimeZoneName(std::string_view name) {
  if (name.empty() || name.size() > kMaxZoneNameLength) return false;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (!letter(name.front())) return false;
  char previous = '/';
  for (const char c : name) {
    const bool part = letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '+' || c == '-';
    if (!part && !(c == '/' && previous != '/')) return false;
    previous = c;
  }
  return previous != '/';
}

std::string PointZone::Label() const {
  return nautical ? FormatUtOffset(nauticalHours * 3600) + " (nautical)" : zone;
}

PlaceZones PlaceZones::Load(const std::string& path) {
  const FileBytes file = [&] {
    try {
      return ReadWholeFile(path, kMaxPlaceZonesFileBytes, "a zone file");
    } catch (const CatalogueError& e) {
      throw PlaceZonesError(e.what());
    }
  }();
  const auto bytes = file.Bytes();
  return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
}

PlaceZones PlaceZones::Parse(std::string_view text, const std::string& name) {
  if (text.empty()) throw PlaceZonesError(name + ": the file is empty");
  if (text.size() > kMaxPlaceZonesFileBytes) {
    throw PlaceZonesError(name + ": " + std::to_string(text.size()) + " bytes is more than the " +
                          std::to_string(kMaxPlaceZonesFileBytes) + " a zone file may have");
  }
  LineReader in(text, name);
  PlaceZones zones;
  const long long zoneCount = in.Count("zones", "zone count", kMaxZones);
  for (long long n = 0; n < zoneCount; ++n) {
    const std::string_view zone = in.Next("zone", n + 1, zoneCount);
    if (!IsTimeZoneName(zone)) {
      in.Fail("zone name: " + QuoteForMessage(zone, 40) + " is not a time zone name");
    }
    if (!zones.names_.empty() && !(zones.names_.back() < zone)) {
      in.Fail("zone name: " + QuoteForMessage(zone, 40) + " does not follow " +
              QuoteForMessage(zones.names_.back(), 40) + " (ascending order, each name once)");
    }
    zones.names_.emplace_back(zone);
  }

  const long long placeCount = in.Count("places", "place count", kMaxPlaces);
  std::vector<RawPlace> places;
  // A line takes at least 6 bytes: the count cannot promise more places than the text holds.
  places.reserve(static_cast<std::size_t>(std::min<long long>(placeCount, text.size() / 6)));
  for (long long n = 0; n < placeCount; ++n) {
    const std::string_view line = in.Next("place", n + 1, placeCount);
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) {
      const auto fields = 1 + std::count(line.begin(), line.end(), '\t');
      in.Fail(std::to_string(fields) + (fields == 1 ? " field" : " fields") +
              ", three TAB-separated fields expected (latitude, longitude, zone number)");
    }
    const double lat = in.Integer(line.substr(0, tab1), "latitude", -9000, 9000) / 100.0;
    const double lon =
        in.Integer(line.substr(tab1 + 1, tab2 - tab1 - 1), "longitude", -18000, 18000) / 100.0;
    const auto zone = in.Integer(line.substr(tab2 + 1), "zone number", 0, zoneCount - 1);
    const double phi = lat * kDegToRad, lambda = lon * kDegToRad;
    places.push_back({static_cast<float>(std::cos(phi) * std::cos(lambda)),
                      static_cast<float>(std::cos(phi) * std::sin(lambda)),
                      static_cast<float>(std::sin(phi)), static_cast<std::uint16_t>(zone),
                      static_cast<std::uint32_t>(Row(lat) * kColumns + Column(lon))});
  }
  if (!in.AtEnd()) {
    in.Next("");
    in.Fail("text after the last of the " + std::to_string(placeCount) + " places");
  }

  // Cell order, file order within a cell.
  std::stable_sort(places.begin(), places.end(),
                   [](const RawPlace& a, const RawPlace& b) { return a.cell < b.cell; });
  zones.cellStart_.assign(kRows * kColumns + 1, 0);
  for (const RawPlace& p : places) ++zones.cellStart_[p.cell + 1];
  std::partial_sum(zones.cellStart_.begin(), zones.cellStart_.end(), zones.cellStart_.begin());
  for (const RawPlace& p : places) {
    zones.x_.push_back(p.x);
    zones.y_.push_back(p.y);
    zones.z_.push_back(p.z);
    zones.zone_.push_back(p.zone);
  }
  return zones;
}

PointZone PlaceZones::Find(double latitudeDeg, double longitudeDeg) const {
  if (!std::isfinite(latitudeDeg) || !std::isfinite(longitudeDeg)) {
    throw std::invalid_argument(
        "a time zone is looked up for a point whose coordinates are not "
        "finite numbers");
  }
  const double lat = std::clamp(latitudeDeg, -90.0, 90.0);
  const double lon = WrapLongitude(longitudeDeg);
  const double phi = lat * kDegToRad, lambda = lon * kDegToRad;
  const double qx = std::cos(phi) * std::cos(lambda), qy = std::cos(phi) * std::sin(lambda),
               qz = std::sin(phi);

  // The cells that cover the circle of kZoneSearchKm around the point: its latitude band and,
  // unless it reaches a pole, its longitude extent asin(sin r / cos φ).
  const double radius = kZoneSearchKm / kEarthRadiusKm;
  const double radiusDeg = radius / kDegToRad;
  const int rowLo = Row(lat - radiusDeg), rowHi = Row(lat + radiusDeg);
  int colLo = 0, colHi = kColumns - 1;
  if (lat - radiusDeg > -90 && lat + radiusDeg < 90) {
    const double halfWidth = std::asin(std::min(1.0, std::sin(radius) / std::cos(phi))) / kDegToRad;
    const int lo = static_cast<int>(std::floor((lon - halfWidth + 180) * kCellsPerDegree));
    const int hi = static_cast<int>(std::floor((lon + halfWidth + 180) * kCellsPerDegree));
    if (hi - lo + 1 < kColumns) colLo = lo, colHi = hi;
  }

  // The nearest place has the shortest chord; the search keeps those within the radius.
  const double maxChord = 2 * std::sin(radius / 2);
  double best = maxChord * maxChord;
  std::size_t found = zone_.size();
  for (int row = rowLo; row <= rowHi; ++row) {
    for (int col = colLo; col <= colHi; ++col) {
      const std::size_t cell = static_cast<std::size_t>(row) * kColumns +
                               static_cast<std::size_t>((col % kColumns + kColumns) % kColumns);
      for (std::uint32_t i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i) {
        const double dx = x_[i] - qx, dy = y_[i] - qy, dz = z_[i] - qz;
        const double chord2 = dx * dx + dy * dy + dz * dz;
        if (chord2 < best || (chord2 == best && found == zone_.size())) {
          best = chord2;
          found = i;
        }
      }
    }
  }

  PointZone result;
  if (found == zone_.size()) {
    result.nautical = true;
    result.nauticalHours = NauticalOffset(lon).seconds / 3600;
    return result;
  }
  result.zone = names_[zone_[found]];
  result.distanceKm = 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(best) / 2));
  return result;
}

CivilOffset NauticalOffset(double longitudeDeg) {
  CivilOffset offset;
  offset.nautical = true;
  if (std::isfinite(longitudeDeg)) {
    offset.seconds = static_cast<int>(std::lround(WrapLongitude(longitudeDeg) / 15)) * 3600;
  }
  return offset;
}

std::optional<CivilOffset> CivilOffsetAt(const PointZone& where, double julianDayUT,
                                         double longitudeDeg, const CivilOffsetFn& offsets) {
  if (where.nautical) return NauticalOffset(longitudeDeg);
  if (!offsets) return std::nullopt;
  return offsets(where.zone, julianDayUT, longitudeDeg);
}

std::string FormatUtOffset(int seconds) {
  const long long magnitude = std::llabs(static_cast<long long>(seconds));
  std::string text = seconds < 0 ? "UT\u2212" : "UT+";
  text += std::to_string(magnitude / 3600);
  char buf[8];
  if (magnitude % 3600 != 0) {
    std::snprintf(buf, sizeof buf, ":%02lld", magnitude / 60 % 60);
    text += buf;
  }
  if (magnitude % 60 != 0) {
    std::snprintf(buf, sizeof buf, ":%02lld", magnitude % 60);
    text += buf;
  }
  return text;
}

std::string FormatCivilTime(double julianDayUT, const CivilOffset& offset, bool withDate) {
  if (!std::isfinite(julianDayUT) || std::fabs(julianDayUT) > kMaxJulianDayMagnitude) return "";
  const double local = julianDayUT + offset.seconds / 86400.0;
  // The civil day starts at midnight, half a Julian day before noon; a time that rounds to 24:00
  // is 00:00 of the next day.
  double dayStart = std::floor(local + 0.5) - 0.5;
  long long second = std::llround((local - dayStart) * 86400);
  if (second >= 86400) {
    second -= 86400;
    dayStart += 1;
  }
  char buf[48];
  std::string text;
  if (withDate) {
    const CalendarDate date = JDToCalendar(dayStart + 0.5);
    std::snprintf(buf, sizeof buf, "%s%04d-%02d-%02d ", date.year < 0 ? "-" : "",
                  std::abs(date.year), date.month, date.day);
    text = buf;
  }
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", second / 3600, second / 60 % 60,
                second % 60);
  text += buf;
  const std::string ut = FormatUtOffset(offset.seconds);
  if (offset.nautical) return text + " " + ut + " (nautical)";
  if (offset.abbreviation.empty()) return text + " " + ut;
  return text + " " + offset.abbreviation + ", " + ut;
}

}  // namespace umbrivista
