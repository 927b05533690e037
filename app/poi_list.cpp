#include "poi_list.h"

#include <cctype>

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

PoILine ParsePoILine(std::string_view text) {
  PoILine result;
  std::u32string line = ToCodePoints(text);
  if (line.size() < kMinLineCharacters) return result;
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
  result.mark.latitude = (line[18] == U'S' || line[18] == U's') ? -*latitude : *latitude;
  result.mark.longitude = (line[27] == U'W' || line[27] == U'w') ? -*longitude : *longitude;
  std::u32string rest = line.substr(28);
  const auto paren = rest.find(U'(');
  if (paren != std::u32string::npos && paren > 0) {
    rest = rest.substr(0, paren);
    const auto first = rest.find_first_not_of(U' ');
    rest = first == std::u32string::npos ? std::u32string()
                                         : rest.substr(first, rest.find_last_not_of(U' ') - first + 1);
  }
  result.mark.title = ToUtf8(rest);
  return result;
}

std::string PoIErrorMessage(const PoILine& line, Language language) {
  // "Error in coordinate point: Latitude: +2017 …", the field named as in the grid.
  auto trimmed = [](std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == ':')) text.pop_back();
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
  };
  const Text fieldText = line.field == "latitude" ? Text::kLatitude : Text::kLongitude;
  return trimmed(StringItem(Text::kCoordinateError, language)) + ": " +
         trimmed(StringItem(fieldText, language)) + ": " + line.repaired;
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
