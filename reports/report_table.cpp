// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_table.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "deltat.h"
#include "eclipse_date.h"
#include "numbers.h"
#include "text_encoding.h"

namespace umbrivista {

namespace {

// The saved file's row: year, month, day, then the fields from ΔT on.
constexpr std::size_t kDateFields = 3;
constexpr std::size_t kCountryField = 8;

// Kinds of the saved file's fields from ΔT on (the date is column 0 of the table).
constexpr TableColumnKind kFieldKinds[] = {
    TableColumnKind::kNumber,    // ΔT
    TableColumnKind::kText,      // kind letter
    TableColumnKind::kNumber,    // Saros
    TableColumnKind::kNumber,    // member
    TableColumnKind::kNumber,    // member count
    TableColumnKind::kText,      // country
    TableColumnKind::kText,      // place
    TableColumnKind::kLatitude,  //
    TableColumnKind::kLongitude,
    TableColumnKind::kNumber,  // height
    TableColumnKind::kNumber,  // population
    // C1, C2: time, P, V, altitude
    TableColumnKind::kTime, TableColumnKind::kNumber, TableColumnKind::kNumber,
    TableColumnKind::kNumber, TableColumnKind::kTime, TableColumnKind::kNumber,
    TableColumnKind::kNumber, TableColumnKind::kNumber,
    // Max: time, P, V, altitude, magnitude, duration
    TableColumnKind::kTime, TableColumnKind::kNumber, TableColumnKind::kNumber,
    TableColumnKind::kNumber, TableColumnKind::kNumber, TableColumnKind::kDuration,
    // C3, C4
    TableColumnKind::kTime, TableColumnKind::kNumber, TableColumnKind::kNumber,
    TableColumnKind::kNumber, TableColumnKind::kTime, TableColumnKind::kNumber,
    TableColumnKind::kNumber, TableColumnKind::kNumber};
constexpr std::size_t kFieldCount = kDateFields + std::size(kFieldKinds);

std::vector<std::string> SplitTabs(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t tab = text.find('\t', from);
    parts.emplace_back(text.substr(from, tab == std::string_view::npos ? tab : tab - from));
    if (tab == std::string_view::npos) return parts;
    from = tab + 1;
  }
}

// Decodes one UTF-8 character at `i` (advancing it); an invalid byte stands for itself.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra > 0 && i + static_cast<std::size_t>(extra) >= s.size()) extra = 0;
  char32_t c = extra == 0 ? b : b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += static_cast<std::size_t>(extra) + 1;
  return c;
}

// The base letters of U+00C0 … U+00FF ('*' where there is none: × and ÷).
constexpr char kLatin1Base[] =
    "aaaaaaaceeeeiiii"   // À … Ï
    "dnooooo*ouuuuyts"   // Ð … ß (Þ as t, ß handled apart)
    "aaaaaaaceeeeiiii"   // à … ï
    "dnooooo*ouuuuyty";  // ð … ÿ

const char* Pick(Language language, const char* de, const char* en, const char* fr) {
  switch (language) {
    case Language::kGerman:
      return de;
    case Language::kFrench:
      return fr;
    default:
      return en;
  }
}

constexpr const char* kDash = " \u2013 ";

const std::vector<std::string> kFirstYearItems = {"-4999", "-3999", "-2999", "-1999", "-999",
                                                  "0",     "+1001", "+1901", "+1951", "+2001",
                                                  "+3001", "+4001", "+5001", "+6001"};
const std::vector<std::string> kLastYearItems = {"-4000", "-3000", "-2000", "-1000", "0",
                                                 "+1000", "+2000", "+2050", "+2100", "+3000",
                                                 "+4000", "+5000", "+6000", "+7000"};

int ItemYear(const std::string& item) {
  return static_cast<int>(*ParseInteger(item));
}

}  // namespace

std::string FoldedText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    if (c < 0x80) {
      out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    } else if (c == 0xDF) {
      out += "ss";
    } else if (c >= 0xC0 && c <= 0xFF && kLatin1Base[c - 0xC0] != '*') {
      out += kLatin1Base[c - 0xC0];
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::optional<double> ClockSeconds(std::string_view text) {
  double total = 0;
  int parts = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t colon = text.find(':', from);
    const std::string_view part =
        text.substr(from, colon == std::string_view::npos ? colon : colon - from);
    if (part.empty() || part.front() == '+' || part.front() == '-') return std::nullopt;
    const std::optional<long long> value = ParseInteger(part);
    if (!value || (parts > 0 && (*value > 59 || part.size() != 2))) return std::nullopt;
    total = total * 60 + static_cast<double>(*value);
    ++parts;
    if (colon == std::string_view::npos) break;
    from = colon + 1;
  }
  if (parts < 2 || parts > 3) return std::nullopt;
  return total;
}

void ReportTable::Clear() {
  rows_.clear();
  order_.clear();
  shown_.clear();
}

void ReportTable::Assign(const std::vector<ReportRow>& rows, ReportKind kind, Language language) {
  Clear();
  const std::vector<std::string> header = SplitTabs(HeaderLine(language));
  names_.clear();
  if (header.size() == kFieldCount) {
    names_.push_back(header[0] + "-" + header[1] + "-" + header[2]);
    names_.insert(names_.end(), header.begin() + kDateFields, header.end());
  }
  rows_.reserve(rows.size());
  for (const ReportRow& r : rows) {
    Row row;
    row.text = FileRowText(kind, language, r.values);
    row.start.push_back(0);
    for (std::size_t i = 0; i < row.text.size(); ++i)
      if (row.text[i] == '\t') row.start.push_back(static_cast<std::uint32_t>(i + 1));
    row.start.push_back(static_cast<std::uint32_t>(row.text.size() + 1));
    // A row that does not have the saved file's fields is shown empty rather than misread.
    if (row.start.size() != kFieldCount + 1) {
      row.text.assign(kFieldCount - 1, '\t');
      row.start.clear();
      for (std::uint32_t i = 0; i <= kFieldCount; ++i) row.start.push_back(i);
    }
    row.date = IsoDate(r.values.year, r.values.month, r.values.day);
    row.latitude = r.values.latitude;
    row.longitude = r.values.longitude;
    rows_.push_back(std::move(row));
  }
  order_.resize(rows_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
  Show();
}

std::string_view ReportTable::Field(const Row& row, std::size_t field) const {
  const std::uint32_t from = row.start[field], to = row.start[field + 1] - 1;
  return std::string_view(row.text).substr(from, to - from);
}

TableColumnKind ReportTable::Kind(int column) const {
  if (column <= 0) return TableColumnKind::kDate;
  const auto index = static_cast<std::size_t>(column - 1);
  return index < std::size(kFieldKinds) ? kFieldKinds[index] : TableColumnKind::kText;
}

std::string_view ReportTable::Cell(int row, int column) const {
  const Row& r = rows_[shown_[static_cast<std::size_t>(row)]];
  if (column == 0) return r.date;
  return Field(r, kDateFields - 1 + static_cast<std::size_t>(column));
}

void ReportTable::Sort(int column, bool ascending) {
  if (column < 0 || column >= ColumnCount()) return;
  const TableColumnKind kind = Kind(column);
  const auto field = kDateFields - 1 + static_cast<std::size_t>(column);
  if (kind == TableColumnKind::kText) {
    std::vector<std::string> keys(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) keys[i] = FoldedText(Field(rows_[i], field));
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
      if (keys[a].empty() != keys[b].empty()) return keys[b].empty();
      return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });
  } else {
    // NaN marks an empty cell.
    const double none = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> keys(rows_.size(), none);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      const Row& r = rows_[i];
      switch (kind) {
        case TableColumnKind::kDate: {
          const std::optional<long long> y = ParseInteger(Field(r, 0)),
                                         m = ParseInteger(Field(r, 1)),
                                         d = ParseInteger(Field(r, 2));
          if (y && m && d) keys[i] = static_cast<double>(*y * 10000 + *m * 100 + *d);
          break;
        }
        case TableColumnKind::kTime:
        case TableColumnKind::kDuration:
          keys[i] = ClockSeconds(Field(r, field)).value_or(none);
          break;
        case TableColumnKind::kLatitude:
          keys[i] = r.latitude;
          break;
        case TableColumnKind::kLongitude:
          keys[i] = r.longitude;
          break;
        default:
          keys[i] = ParseReal(Field(r, field)).value_or(none);
          break;
      }
    }
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
      const bool emptyA = std::isnan(keys[a]), emptyB = std::isnan(keys[b]);
      if (emptyA || emptyB) return !emptyA && emptyB;
      return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });
  }
  Show();
}

void ReportTable::FilterCountry(const std::string& country) {
  country_ = country;
  Show();
}

void ReportTable::Show() {
  shown_.clear();
  for (std::size_t i : order_)
    if (country_.empty() || Field(rows_[i], kCountryField) == country_) shown_.push_back(i);
}

std::vector<std::string> ReportTable::Countries() const {
  std::vector<std::string> countries;
  for (const Row& r : rows_) {
    const std::string_view c = Field(r, kCountryField);
    if (!c.empty() && std::find(countries.begin(), countries.end(), c) == countries.end())
      countries.emplace_back(c);
  }
  std::stable_sort(
      countries.begin(), countries.end(),
      [](const std::string& a, const std::string& b) { return FoldedText(a) < FoldedText(b); });
  return countries;
}

std::string CaptionTypeWord(int typeCode, Language language) {
  switch (typeCode) {
    case 1:
      return Pick(language, "partiell", "partial", "partielle");
    case 2:
      return Pick(language, "total", "total", "totale");
    case 3:
      return Pick(language, "ringf\u00f6rmig", "annular", "annulaire");
    case 4:
      return Pick(language, "hybrid", "hybrid", "hybride");
    case 5:
      return Pick(language, "total, nicht zentral", "total, non-central", "totale, non centrale");
    case 6:
      return Pick(language, "ringf\u00f6rmig, nicht zentral", "annular, non-central",
                  "annulaire, non centrale");
    default:
      return {};
  }
}

std::string CityListCaption(const EclipseRecord* eclipse, Language language) {
  std::string caption = Pick(language, "St\u00e4dteliste", "City list", "Liste des villes");
  if (!eclipse) return caption;
  const CalendarDate date = GreatestEclipseDate(*eclipse, DeltaT(eclipse->year, eclipse->month));
  caption += kDash + IsoDate(date.year, date.month, date.day);
  const std::string type = CaptionTypeWord(eclipse->typeCode, language);
  if (!type.empty()) caption += " " + type;
  return caption;
}

std::string PlaceHistoryCaption(const std::string& place, std::optional<int> firstYear,
                                std::optional<int> lastYear, Language language) {
  std::string caption =
      Pick(language, "Finsternisse an einem Ort", "Place history", "\u00c9clipses en un lieu");
  std::string about = OneLineText(place);
  if (firstYear && lastYear) {
    if (!about.empty()) about += ", ";
    about += YearText(*firstYear) + " \u2026 " + YearText(*lastYear);
  }
  if (!about.empty()) caption += kDash + about;
  return caption;
}

std::string ReportViewCaption(ReportViewText text, Language language) {
  switch (text) {
    case ReportViewText::kListTab:
      return Pick(language, "Liste", "List", "Liste");
    case ReportViewText::kTableTab:
      return Pick(language, "Tabelle", "Table", "Tableau");
    case ReportViewText::kCountry:
      return Pick(language, "Land:", "Country:", "Pays\u00a0:");
    case ReportViewText::kAllCountries:
      return Pick(language, "Alle L\u00e4nder", "All countries", "Tous les pays");
  }
  return {};
}

const std::vector<std::string>& FirstYearItems() {
  return kFirstYearItems;
}
const std::vector<std::string>& LastYearItems() {
  return kLastYearItems;
}

std::optional<int> ParseYearText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() > 6) return std::nullopt;
  const std::optional<long long> year = ParseInteger(text);
  if (!year || *year < -4999 || *year > 7000) return std::nullopt;
  return static_cast<int>(*year);
}

std::string YearText(int year) {
  return (year > 0 ? "+" : "") + std::to_string(year);
}

int YearItemIndex(const std::vector<std::string>& items, int year) {
  int best = 0;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const long long distance = std::llabs(static_cast<long long>(ItemYear(items[i])) - year);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

YearChoice YearsAround(int presentYear) {
  YearChoice choice;
  for (std::size_t i = 0; i < kFirstYearItems.size(); ++i)
    if (ItemYear(kFirstYearItems[i]) <= presentYear) choice.firstIndex = static_cast<int>(i);
  choice.lastIndex = static_cast<int>(kLastYearItems.size()) - 1;
  for (std::size_t i = kLastYearItems.size(); i-- > 0;)
    if (ItemYear(kLastYearItems[i]) >= presentYear) choice.lastIndex = static_cast<int>(i);
  return choice;
}

std::string InvalidYearMessage(bool firstYear, std::string_view text, Language language) {
  const char* box = firstYear
                        ? Pick(language, "Erstes Jahr", "First year", "Premi\u00e8re ann\u00e9e")
                        : Pick(language, "Letztes Jahr", "Last year", "Derni\u00e8re ann\u00e9e");
  const char* what = Pick(language, " ist kein Jahr zwischen -4999 und 7000",
                          " is not a year between -4999 and 7000",
                          " n'est pas une ann\u00e9e entre -4999 et 7000");
  return std::string(box) + " " + QuoteForMessage(text, 20) + what;
}

std::optional<Place> FindSamePlace(const std::string& path, const Place& place) {
  PlacesReader reader(path);
  Place candidate;
  while (reader.Next(candidate)) {
    if (candidate.latitude100 == place.latitude100 &&
        candidate.longitude100 == place.longitude100 && candidate.height == place.height &&
        candidate.population == place.population)
      return candidate;
  }
  return std::nullopt;
}

}  // namespace umbrivista
