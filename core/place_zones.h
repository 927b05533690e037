// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Local civil time at a point: the IANA time zone of the nearest world place, or nautical time
// far from every place; and the texts that show a time on that clock ("20:28:15 CEST, UT+2").
//
// The zone file (place_zones.txt, LF or CR LF line ends, every line ended):
//   zones<TAB>N        then N lines, one zone name each, in strictly ascending byte order;
//   places<TAB>M       then M lines "latitude×100<TAB>longitude×100<TAB>zone number", latitude
//                      −9000 … 9000, longitude −18000 … 18000 (east positive), zone 0 … N − 1.
// Nothing may follow the last place. The offsets of a zone come from outside (CivilOffsetFn), so
// that this part needs no time-zone database.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace umbrivista {

inline constexpr const char* kPlaceZonesFileName = "place_zones.txt";
// A point farther than this from every place keeps nautical time.
inline constexpr double kZoneSearchKm = 100;
// No zone file is larger (the shipped one holds about 1.7 MB).
inline constexpr std::size_t kMaxPlaceZonesFileBytes = std::size_t{1} << 27;

// The offset of civil time from UT at one instant.
struct CivilOffset {
  int seconds = 0;           // local time − UT
  std::string abbreviation;  // "CEST", "LMT"; empty where the zone has only a numeric one
  bool nautical = false;     // longitude/15 rounded to whole hours, away from every place
};

// The offset of zone `zone` (an IANA name) at `julianDayUT`, for a place at `longitudeDeg` (east
// positive; before the zone's first standard time its offset is the place's own mean time);
// nullopt for a zone the time-zone database does not know. See ui/civil_time.h for the one that
// reads the system's tzdata.
using CivilOffsetFn = std::function<std::optional<CivilOffset>(
    const std::string& zone, double julianDayUT, double longitudeDeg)>;

// A zone file that cannot be used; what() is "FILE: line N: FIELD: what is wrong" (or
// "FILE: what is wrong").
class PlaceZonesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The clock of a point.
struct PointZone {
  std::string zone;       // IANA name of the nearest place's zone; empty for nautical time
  bool nautical = false;  // no place within kZoneSearchKm
  int nauticalHours = 0;  // round(longitude / 15), −12 … 12, for nautical time
  double distanceKm = 0;  // to the nearest place (not for nautical time)

  // "Europe/Madrid", or "UT+2 (nautical)".
  std::string Label() const;
};

class PlaceZones {
 public:
  // Reads and checks a whole zone file; throws PlaceZonesError.
  static PlaceZones Load(const std::string& path);
  // The same from text in memory; `name` stands for the file in messages.
  static PlaceZones Parse(std::string_view text, const std::string& name);

  std::size_t PlaceCount() const { return zone_.size(); }
  const std::vector<std::string>& ZoneNames() const { return names_; }

  // The zone of the place nearest to latitude/longitude (degrees, east positive; any finite
  // longitude, latitude clamped to ±90) along the great circle, when it lies within
  // kZoneSearchKm; nautical time otherwise. Of places equally near, the first in the file.
  // Throws std::invalid_argument for a coordinate that is not finite.
  PointZone Find(double latitudeDeg, double longitudeDeg) const;

 private:
  std::vector<std::string> names_;
  // The places ordered by grid cell; cellStart_[c] … cellStart_[c + 1] are those of cell c.
  std::vector<float> x_, y_, z_;  // unit vectors
  std::vector<std::uint16_t> zone_;
  std::vector<std::uint32_t> cellStart_;
};

// Whether `name` has the form of an IANA zone name: "Europe/Madrid",
// "America/Argentina/Buenos_Aires", "Etc/GMT-2", "UTC" (ASCII letters, digits, "_", "+", "-" in
// parts split by "/", at most 64 characters). No empty part, no "." (so no "..") and no leading
// "/": such a name never leads out of a zone folder.
bool IsTimeZoneName(std::string_view name);

// Nautical time at a longitude: whole hours round(longitude / 15), no abbreviation.
CivilOffset NauticalOffset(double longitudeDeg);

// The offset at `where` and `julianDayUT`: the zone's through `offsets`, or nautical time.
// nullopt when `offsets` does not know the zone.
std::optional<CivilOffset> CivilOffsetAt(const PointZone& where, double julianDayUT,
                                         double longitudeDeg, const CivilOffsetFn& offsets);

// "UT+2", "UT+5:30", "UT+5:45", "UT−5" (a minus sign, U+2212), "UT+0", "UT−0:14:44".
std::string FormatUtOffset(int seconds);

// The instant `julianDayUT` on the clock of `offset`, to the whole second: "20:28:15 CEST, UT+2",
// "20:28:15 UT+5:45" without an abbreviation, "20:28:15 UT+2 (nautical)"; with `withDate` the
// local date first, "2026-08-12 20:28:15 CEST, UT+2" (astronomical year numbering, Julian calendar
// before 1582-10-15). Empty for a day that is not finite or beyond kMaxJulianDayMagnitude.
std::string FormatCivilTime(double julianDayUT, const CivilOffset& offset, bool withDate = false);

}  // namespace umbrivista
