// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "places_file.h"

#include <array>
#include <limits>
#include <optional>

#include "catalogue.h"
#include "language.h"
#include "numbers.h"
#include "text_encoding.h"

namespace umbrivista {

namespace {

// A signed run of decimal digits: a whole number, however large.
bool IsDigits(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

struct NumberField {
  const char* name;
  long long min, max;
};

constexpr long long kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr long long kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::array<NumberField, 4> kNumberFields = {{
    {"latitude", -9000, 9000},
    {"longitude", -18000, 18000},
    {"height", kInt32Min, kInt32Max},
    {"population", kInt32Min, kInt32Max},
}};

}  // namespace

std::string PlacesFileName(Language language) {
  static const char* const kNames[3] = {"2017_data_DE.txt", "2017_data_EN.txt", "2017_data_FR.txt"};
  return IsKnownLanguage(language) ? kNames[LanguageIndex(language)] : "";
}

PlacesReader::PlacesReader(std::string path) : path_(std::move(path)) {
  try {
    const FileBytes file = ReadWholeFile(path_, kMaxPlacesFileBytes, "a places file");
    Decode(std::string_view(reinterpret_cast<const char*>(file.Bytes().data()),
                            file.Bytes().size()));
  } catch (const std::exception& e) {
    error_ = e.what();
  }
}

PlacesReader::PlacesReader(std::string name, std::string_view bytes) : path_(std::move(name)) {
  if (bytes.size() > kMaxPlacesFileBytes) {
    error_ = path_ + ": " + std::to_string(bytes.size()) + " bytes is more than the " +
             std::to_string(kMaxPlacesFileBytes) + " a places file may have";
    return;
  }
  Decode(bytes);
}

void PlacesReader::Decode(std::string_view bytes) {
  utf8_ = IsValidUtf8(bytes);
  text_ = DecodeTextFile(bytes);
}

bool PlacesReader::Fail(const std::string& what) {
  error_ = path_ + ": line " + std::to_string(line_) + ": " + what;
  pos_ = text_.size();
  return false;
}

bool PlacesReader::Next(Place& place) {
  if (!error_.empty() || pos_ >= text_.size()) return false;
  const std::size_t end = text_.find('\n', pos_);
  std::string_view line(text_.data() + pos_,
                        (end == std::string::npos ? text_.size() : end) - pos_);
  pos_ = end == std::string::npos ? text_.size() : end + 1;
  ++line_;
  if (end == std::string::npos) {
    // Whatever the line holds, its last field may have lost digits ("28" of "2841").
    return Fail("the last line has no line end (the file may be cut short)");
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

  // Fields 1 to 5 end at the next TAB; field 6 is the rest of the line.
  std::array<std::string_view, 6> fields;
  std::size_t start = 0;
  for (int f = 0; f < 5; ++f) {
    const std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      return Fail(std::to_string(f + 1) + (f == 0 ? " field" : " fields") +
                  ", six TAB-separated fields expected");
    }
    fields[f] = line.substr(start, tab - start);
    start = tab + 1;
  }
  fields[5] = line.substr(start);
  if (fields[5].find('\t') != std::string_view::npos) {
    std::size_t count = 6;
    for (const char c : fields[5]) count += c == '\t';
    return Fail(std::to_string(count) + " fields, six TAB-separated fields expected");
  }

  std::int32_t numbers[4];
  for (std::size_t k = 0; k < kNumberFields.size(); ++k) {
    const NumberField& field = kNumberFields[k];
    const std::string_view text = fields[k + 2];
    const std::optional<long long> value = ParseInteger(text);
    const bool int32 = field.min == kInt32Min;
    const std::string outside = int32 ? " lies outside the 32-bit range"
                                      : " lies outside " + std::to_string(field.min) + " … " +
                                            std::to_string(field.max) + " (hundredths of a degree)";
    if (!value) {
      return Fail(std::string(field.name) + ": " + QuoteForMessage(text, 40) +
                  (IsDigits(text) ? outside : " is not a whole number"));
    }
    if (*value < field.min || *value > field.max) {
      return Fail(std::string(field.name) + ": " + std::to_string(*value) + outside);
    }
    numbers[k] = static_cast<std::int32_t>(*value);
  }
  place.country.assign(fields[0]);
  place.name.assign(fields[1]);
  place.latitude100 = numbers[0];
  place.longitude100 = numbers[1];
  place.height = numbers[2];
  place.population = numbers[3];
  return true;
}

CountryList ReadCountries(const std::string& path) {
  CountryList list;
  PlacesReader reader(path);
  Place place;
  std::string previous;
  while (reader.Next(place)) {
    if (place.country != previous) list.countries.push_back(place.country);
    previous = place.country;
  }
  list.error = reader.Error();
  return list;
}

CityList ReadCities(const std::string& path, const std::string& country) {
  CityList list;
  PlacesReader reader(path);
  Place place;
  while (reader.Next(place)) {
    if (place.country == country) list.places.push_back(place);
  }
  list.error = reader.Error();
  return list;
}

PlacesList ReadPlaces(const std::string& path) {
  PlacesList list;
  PlacesReader reader(path);
  Place place;
  while (reader.Next(place)) list.places.push_back(std::move(place));
  list.error = reader.Error();
  return list;
}

std::shared_ptr<const PlacesList> PlacesCache::Get(const std::string& path) {
  std::error_code sizeError, timeError;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
  const auto modified = std::filesystem::last_write_time(path, timeError);
  const bool known = !sizeError && !timeError;
  const std::lock_guard lock(mutex_);
  if (known && places_ && path == path_ && size == size_ && modified == modified_) return places_;
  auto places = std::make_shared<const PlacesList>(ReadPlaces(path));
  if (known) {
    path_ = path;
    size_ = size;
    modified_ = modified;
    places_ = places;
  } else {
    places_.reset();
  }
  return places;
}

void PlacesCache::Clear() {
  const std::lock_guard lock(mutex_);
  places_.reset();
}

}  // namespace umbrivista
