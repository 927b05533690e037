// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi_list.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "numbers.h"
#include "string_table.h"
#include "text_encoding.h"

namespace umbrivista {

namespace {

constexpr std::size_t kMinLineCharacters = 30;

// A number field: blanks around it are allowed.
std::optional<double> Number(std::u32string_view field) {
  std::string text;
  for (char32_t c : field) {
    if (c > 0x7F) return std::nullopt;
    text += static_cast<char>(c);
  }
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  return ParseReal(text);
}

}  // namespace

const std::vector<std::string>& DefaultPoILines() {
  static const std::vector<std::string> lines = {
      "+YYYY MM DD dd.dd N ddd.dd E Place... (Comment...) <--- Standard Format",
      "+1954 06 30 48.80 N 002.33 E Paris (Orlimer Eclipse)",
      "+1959 10 02 48.80 N 002.33 E Paris (Orlimer Eclipse)",
      "+2008 08 01 47.63 N 026.25 E Suceava",
      "+2009 01 26 19.66 S 063.40 E Rodrigues",
      "+2009 07 22 24.75 N 141.29 E Iwo-Jima",
      "+2009 07 22 25.42 N 141.28 E Kita Iwo-Jima",
      "+2010 01 15 07.30 S 072.40 E Diego Garcia",
      "+2010 01 15 00.60 S 073.16 E Addu - Gan",
      "+2010 07 11 10.30 N 109.20 W Clipperton",
      "+2012 05 20 28.25 N 177.40 W Midway",
      "+2012 11 13 21.33 S 160.26 W Rarotonga",
      "+2013 05 10 07.15 N 171.20 E Majuro",
      "+2013 11 03 07.90 S 014.46 W Ascension",
      "+2015 03 20 47.63 N 026.25 E Suceava",
      "+2015 09 13 46.45 S 051.75 E Crozet Islands",
      "+2016 03 09 07.40 N 151.80 E Truk",
      "+2016 09 01 04.05 S 039.66 E Mombasa",
      "+2017 02 26 20.33 S 040.30 W Vitoria",
      "+2017 08 21 29.95 N 090.45 W New Orleans",
      "+2018 08 11 47.63 N 026.25 E Suceava",
      "+2019 07 02 10.30 N 109.20 W Clipperton",
      "+2019 12 26 03.80 S 102.25 E Bengkulu",
      "+2020 06 21 27.57 N 080.68 E Sitapur",
      "+2020 12 14 32.90 S 068.85 W Mendoza",
      "+1994 11 03 18.74 S 068.40 W Putre (Chile, 1994)",
      "+1998 02 26 11.14 N 071.69 W Sinamaica (Venezuela, 1998)",
      "+1999 08 11 49.19 N 006.27 E St. Avold (France, 1999)",
      "+2001 06 21 13.60 S 023.40 E Lalafuta (Sambia, 1999)",
      "+2002 12 04 31.30 S 135.67 E Woomera (Australia, 2002)",
      "+2005 10 03 38.70 N 000.15 E Calpe (Spain, 2005)",
      "+2006 03 29 27.00 N 020.30 E Jalu (Libya, 2006)",
      "+2006 09 22 04.86 N 052.33 W Kourou (Fr. Guyana, 2006)",
      "+2008 08 01 46.57 N 091.13 E Bulgan-Gol (Mongolia 2008)",
      "+2009 07 22 30.75 N 114.46 E Wuhan (China 2009)",
      "+2010 07 11 18.15 S 145.24 W Tahiti (Fr. Polynesia 2010)",
      "+2012 11 13 16.73 S 145.65 E Ellis Beach (Australia 2012)",
      "+2016 03 09 02.74 S 107.62 E Belitung (Indonesia 2016)",
      "+2017 08 21 41.43 N 100.50 W Stapleton,NE (USA 2017)",
  };
  return lines;
}

namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t'; }
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// "Title (comment)": the part before a "(" that is not the first character, trimmed; without
// such a "(" the whole rest.
std::u32string TitleOf(std::u32string rest) {
  const auto paren = rest.find(U'(');
  if (paren != std::u32string::npos && paren > 0) {
    rest = rest.substr(0, paren);
    const auto first = rest.find_first_not_of(U' ');
    rest = first == std::u32string::npos ? std::u32string()
                                         : rest.substr(first, rest.find_last_not_of(U' ') - first + 1);
  }
  return rest;
}

// Digits of at most `maxDigits`, read as a whole number.
std::optional<int> WholeNumber(std::u32string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  int value = 0;
  for (char32_t c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + static_cast<int>(c - U'0');
  }
  return value;
}

std::optional<PoIDate> DateOf(std::u32string_view year, std::u32string_view month,
                              std::u32string_view day) {
  int sign = 1;
  if (!year.empty() && (year[0] == U'+' || year[0] == U'-')) {
    sign = year[0] == U'-' ? -1 : 1;
    year.remove_prefix(1);
  }
  const auto y = WholeNumber(year, 4);
  const auto m = WholeNumber(month, 2);
  const auto d = WholeNumber(day, 2);
  if (!y || !m || !d || *m < 1 || *m > 12 || *d < 1 || *d > 31) return std::nullopt;
  return PoIDate{sign * *y, *m, *d};
}

// Unsigned degrees "29.95" or "29": digits with at most one point between digits.
std::optional<double> Degrees(std::u32string_view text, double limit) {
  std::string ascii;
  int points = 0;
  for (char32_t c : text) {
    if (c == U'.') ++points;
    else if (!IsDigit(c)) return std::nullopt;
    ascii += static_cast<char>(c);
  }
  if (ascii.empty() || points > 1 || ascii.front() == '.' || ascii.back() == '.')
    return std::nullopt;
  const auto value = ParseReal(ascii);
  if (!value || *value > limit) return std::nullopt;
  return value;
}

struct FreeReading {
  PoILine line;
  bool pastDate = false;  // the date read; a later field failed
};

// The line in free spacing (see ParsePoILine).
FreeReading ReadFreeSpacing(const std::u32string& line) {
  FreeReading reading;
  PoILine& result = reading.line;
  result.repaired = ToUtf8(line);
  std::size_t at = 0;
  // The next blank-separated word; empty at the end of the line.
  auto word = [&line, &at]() {
    while (at < line.size() && IsBlank(line[at])) ++at;
    const std::size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    return std::u32string_view(line).substr(start, at - start);
  };
  auto refuse = [&result](const char* field) {
    result.kind = PoILine::kBadField;
    result.field = field;
  };
  const auto year = word();
  const auto month = word();
  const auto day = word();
  const auto date = DateOf(year, month, day);
  if (!date) {
    refuse("date");
    return reading;
  }
  reading.pastDate = true;
  // A coordinate and its letter, written "29.95 N" or "29.95N".
  auto coordinate = [&word](double limit, std::u32string_view letters, const char* numberField,
                            const char* letterField, double& value, char32_t& letter) -> const char* {
    std::u32string_view number = word();
    std::u32string_view hemisphere;
    if (!number.empty() && !IsDigit(number.back()) && number.back() != U'.') {
      hemisphere = number.substr(number.size() - 1);
      number.remove_suffix(1);
    } else {
      hemisphere = word();
    }
    const auto degrees = Degrees(number, limit);
    if (!degrees) return numberField;
    if (hemisphere.size() != 1) return letterField;
    const char32_t upper = hemisphere[0] >= U'a' && hemisphere[0] <= U'z' ? hemisphere[0] - 32
                                                                          : hemisphere[0];
    if (letters.find(upper) == std::u32string_view::npos) return letterField;
    value = *degrees;
    letter = upper;
    return nullptr;
  };
  double latitude = 0, longitude = 0;
  char32_t ns = 0, ew = 0;
  if (const char* bad = coordinate(90, U"NS", "latitude", "N/S", latitude, ns)) {
    refuse(bad);
    return reading;
  }
  if (const char* bad = coordinate(180, U"EW", "longitude", "E/W", longitude, ew)) {
    refuse(bad);
    return reading;
  }
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at == line.size()) return reading;  // no title: skipped, as a short line
  result.kind = PoILine::kPoint;
  result.date = date;
  result.mark.latitude = ns == U'S' ? -latitude : latitude;
  result.mark.longitude = ew == U'W' ? -longitude : longitude;
  // Like column 29 of the fixed layout: one blank before the title.
  result.mark.title = ToUtf8(TitleOf(U" " + line.substr(at)));
  return reading;
}

// Columns 18, 20 and 27 (the blanks after the latitude, after its letter and after the
// longitude) say that a line keeps the fixed layout.
bool InFixedLayout(const std::u32string& line) {
  return line.size() >= kMinLineCharacters && line[17] == U' ' && line[19] == U' ' &&
         line[26] == U' ';
}

PoILine ReadFixedColumns(std::u32string line) {
  PoILine result;
  // Columns are 1-based in the format; index = column − 1.
  if (line[14] == U' ') line[14] = U'.';
  for (int i : {15, 16})
    if (line[i] == U' ') line[i] = U'0';
  if (line[23] == U' ') line[23] = U'.';
  for (int i : {24, 25})
    if (line[i] == U' ') line[i] = U'0';
  result.repaired = ToUtf8(line);
  const auto latitude = Number(std::u32string_view(line).substr(12, 5));
  const auto longitude = Number(std::u32string_view(line).substr(20, 6));
  if (!latitude || !longitude) {
    result.kind = PoILine::kBadField;
    result.field = !latitude ? "latitude" : "longitude";
    return result;
  }
  result.kind = PoILine::kPoint;
  const std::u32string_view front(line);
  result.date = DateOf(front.substr(0, 5), front.substr(6, 2), front.substr(9, 2));
  result.mark.latitude = (line[18] == U'S' || line[18] == U's') ? -*latitude : *latitude;
  result.mark.longitude = (line[27] == U'W' || line[27] == U'w') ? -*longitude : *longitude;
  result.mark.title = ToUtf8(TitleOf(line.substr(28)));
  return result;
}

}  // namespace

PoILine ParsePoILine(std::string_view text) {
  const std::u32string line = ToCodePoints(text);
  if (InFixedLayout(line)) {
    PoILine fixed = ReadFixedColumns(line);
    const PoILine free = ReadFreeSpacing(line).line;
    if (fixed.kind == PoILine::kBadField && free.kind == PoILine::kPoint) return free;
    // Read both ways to different places, the line does not say which it means; nor does it when
    // its repaired form (blanks in the numbers filled) does, which would read differently later.
    auto differs = [&fixed](const PoILine& other) {
      return other.kind == PoILine::kPoint && (other.mark.latitude != fixed.mark.latitude ||
                                               other.mark.longitude != fixed.mark.longitude);
    };
    const PoILine freeRepaired = ReadFreeSpacing(ToCodePoints(fixed.repaired)).line;
    if (fixed.kind == PoILine::kPoint && (differs(free) || differs(freeRepaired))) {
      PoILine refused;
      refused.kind = PoILine::kBadField;
      const PoILine& other = differs(free) ? free : freeRepaired;
      refused.field = other.mark.latitude != fixed.mark.latitude ? "latitude" : "longitude";
      refused.repaired = ToUtf8(line);
      return refused;
    }
    return fixed;
  }
  FreeReading free = ReadFreeSpacing(line);
  // A short line that does not begin with a date is no point and no mistake (a note, a blank
  // line), as short lines always were.
  if (free.line.kind == PoILine::kBadField && !free.pastDate && line.size() < kMinLineCharacters)
    return PoILine{};
  return std::move(free.line);
}

namespace {

struct FieldTexts {
  const char* field;
  std::array<const char*, 3> name;  // "" takes the information grid's row label
  std::array<const char*, 3> form;
};

// clang-format off
const FieldTexts kFieldTexts[] = {
  {"date", {"Datum", "Date", "Date"},
   {"+JJJJ MM TT, z. B. +2017 08 21", "+YYYY MM DD, e.g. +2017 08 21", "+AAAA MM JJ, p. ex. +2017 08 21"}},
  {"latitude", {"", "", ""},
   {"Grad 0 bis 90 wie 29.95, dann N oder S", "degrees 0 to 90 such as 29.95, then N or S", "degrés de 0 à 90 comme 29.95, puis N ou S"}},
  {"N/S", {"N/S", "N/S", "N/S"},
   {"N oder S nach der Breite", "N or S after the latitude", "N ou S après la latitude"}},
  {"longitude", {"", "", ""},
   {"Grad 0 bis 180 wie 090.45, dann E oder W", "degrees 0 to 180 such as 090.45, then E or W", "degrés de 0 à 180 comme 090.45, puis E ou W"}},
  {"E/W", {"E/W", "E/W", "E/W"},
   {"E (Osten) oder W (Westen) nach der Länge", "E or W after the longitude", "E (est) ou W (ouest) après la longitude"}},
};
// clang-format on

}  // namespace

std::string PoIErrorMessage(const PoILine& line, Language language) {
  // "Error in coordinate point: Latitude (degrees 0 to 90 …): +2017 …", the coordinates named
  // as in the information grid.
  auto trimmed = [](std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == ':')) text.pop_back();
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
  };
  if (!IsKnownLanguage(language)) return line.repaired;
  const int index = LanguageIndex(language);
  std::string name = line.field, form;
  for (const FieldTexts& texts : kFieldTexts) {
    if (line.field != texts.field) continue;
    name = texts.name[index];
    if (name.empty())
      name = trimmed(StringItem(line.field == "latitude" ? Text::kLatitude : Text::kLongitude,
                                language));
    form = texts.form[index];
  }
  return trimmed(StringItem(Text::kCoordinateError, language)) + ": " + name + " (" + form +
         "): " + line.repaired;
}

std::string PoIListLine(const PoIDate& date, double latitude, double longitude,
                        std::string_view name) {
  if (!(std::fabs(latitude) <= 90) || !(std::fabs(longitude) <= 180)) return {};
  std::u32string title = ToCodePoints(name);
  for (char32_t& c : title)
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029) c = U' ';
  const auto first = title.find_first_not_of(U' ');
  if (first == std::u32string::npos) return {};
  title = title.substr(first, title.find_last_not_of(U' ') - first + 1);
  auto padded = [](std::string text, std::size_t width) {
    return std::string(text.size() < width ? width - text.size() : 0, '0') + text;
  };
  // Rounded first, so that a value that rounds to zero carries no hemisphere of its own.
  const std::string lat = FormatFixed(std::fabs(latitude), 2);
  const std::string lon = FormatFixed(std::fabs(longitude), 2);
  const bool south = latitude < 0 && lat != "0.00";
  const bool west = longitude < 0 && lon != "0.00";
  return std::string(date.year < 0 ? "-" : "+") + padded(std::to_string(std::abs(date.year)), 4) +
         " " + padded(std::to_string(date.month), 2) + " " + padded(std::to_string(date.day), 2) +
         " " + padded(lat, 5) + (south ? " S " : " N ") + padded(lon, 6) + (west ? " W " : " E ") +
         ToUtf8(title);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace umbrivista
