// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The world-places files of the reports: one place per line, six TAB-separated fields (country,
// place, latitude ×100, longitude ×100 east positive, height in metres, population), CR LF line
// ends, grouped by country. One file per interface language.
//
// Text is UTF-8; a file that is not valid UTF-8 is read as Windows-1252 and converted, so every
// name handed out is UTF-8. Every read opens the file afresh, and PlacesCache reads it again once it
// changed: an edited file takes effect at the next read.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "language.h"

namespace umbrivista {

// One line of a places file.
struct Place {
  std::string country;
  std::string name;
  std::int32_t latitude100 = 0;   // hundredths of a degree, north positive, |·| ≤ 9000
  std::int32_t longitude100 = 0;  // hundredths of a degree, EAST positive, |·| ≤ 18000
  std::int32_t height = 0;        // metres above sea level
  std::int32_t population = 0;

  double LatitudeDegrees() const { return latitude100 / 100.0; }
  double LongitudeDegrees() const { return longitude100 / 100.0; }
};

// "2017_data_DE.txt", "2017_data_EN.txt" or "2017_data_FR.txt"; empty for any other language.
std::string PlacesFileName(Language language);

// No places file is larger (the shipped ones hold about 5 MB).
inline constexpr std::size_t kMaxPlacesFileBytes = std::size_t{1} << 28;

// Reads a places file line by line. The whole file is read and decoded when the reader is made;
// Next() then hands out one place per line. Every line, the last one too, ends with LF (or
// CR LF): a last line without its line end is a file cut short, and is refused rather than read
// with its last number cut.
class PlacesReader {
 public:
  explicit PlacesReader(std::string path);
  // Reads places from `bytes` already in memory; `name` stands for the file in messages.
  PlacesReader(std::string name, std::string_view bytes);

  // The next place; false at the end of the file and at the first line that cannot be used, which
  // sets Error(). Places handed out before stay valid.
  bool Next(Place& place);

  // Empty, or "FILE: what is wrong" / "FILE: line N: what is wrong".
  const std::string& Error() const { return error_; }
  // The number of the line last read (1 for the first).
  int LineNumber() const { return line_; }
  // False when the file was not valid UTF-8 and was read as Windows-1252.
  bool WasUtf8() const { return utf8_; }

 private:
  bool Fail(const std::string& what);
  void Decode(std::string_view bytes);

  std::string path_;
  std::string text_;  // the file as UTF-8
  std::size_t pos_ = 0;
  int line_ = 0;
  bool utf8_ = true;
  std::string error_;
};

// The country list of the place-history window: field 1 of every line, where it differs from
// field 1 of the line before (the first line is compared with the empty text). A country whose
// lines come in two groups is listed twice. `error` as PlacesReader::Error(); the countries read
// before an error are kept.
struct CountryList {
  std::vector<std::string> countries;
  std::string error;
};
CountryList ReadCountries(const std::string& path);

// Every place whose country is exactly `country`, in file order.
struct CityList {
  std::vector<Place> places;
  std::string error;
};
CityList ReadCities(const std::string& path, const std::string& country);

// Every place of a places file in file order; `error` as PlacesReader::Error(), the places read
// before an error are kept.
struct PlacesList {
  std::vector<Place> places;
  std::string error;
};
PlacesList ReadPlaces(const std::string& path);

// The places of the file last asked for, read once and handed out again while the file keeps its
// path, size and modification time; an edited or another file is read afresh. A file that cannot
// be looked at is read each time. Safe to use from several threads.
class PlacesCache {
 public:
  std::shared_ptr<const PlacesList> Get(const std::string& path);
  // Lets go of the places held.
  void Clear();

 private:
  std::mutex mutex_;
  std::string path_;
  std::uintmax_t size_ = 0;
  std::filesystem::file_time_type modified_{};
  std::shared_ptr<const PlacesList> places_;
};


}  // namespace umbrivista
