// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the report windows show beside their fixed-pitch lists, without Qt: the rows as a table
// of full fields that sorts by any column and filters by country, the windows' captions, and the
// year choice of the place-history window.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "eclipse_record.h"
#include "language.h"
#include "places_file.h"
#include "report_formats.h"

namespace umbrivista {

// How a column compares: as text (case and accents folded), as a number, a time "hh:mm:ss"
// (hours may pass 24), a duration "m:ss", or a signed angle taken from the row's values.
enum class TableColumnKind { kText, kNumber, kDate, kTime, kDuration, kLatitude, kLongitude };

// The rows of a run as a table: the date as one column "YYYY-MM-DD", then every further field of
// the saved file's row, under the saved file's column names. The cells are the saved file's
// fields, so names are never cut. Sorting is stable (equal keys keep the run's order) and puts
// empty cells last in either direction; the filter keeps the rows of one country.
class ReportTable {
 public:
  void Assign(const std::vector<ReportRow>& rows, ReportKind kind, Language language);
  void Clear();

  int ColumnCount() const { return static_cast<int>(names_.size()); }
  const std::string& ColumnName(int column) const {
    return names_[static_cast<std::size_t>(column)];
  }
  TableColumnKind Kind(int column) const;
  // Numbers, dates, times and angles are right-aligned.
  bool RightAligned(int column) const { return Kind(column) != TableColumnKind::kText; }

  // The rows shown: those of the chosen country, in the chosen order.
  int RowCount() const { return static_cast<int>(shown_.size()); }
  std::string_view Cell(int row, int column) const;
  // The position in the run of the row shown at `row`.
  std::size_t RunIndex(int row) const { return shown_[static_cast<std::size_t>(row)]; }

  void Sort(int column, bool ascending);
  // "" shows every country.
  void FilterCountry(const std::string& country);
  const std::string& Country() const { return country_; }
  // The countries of the rows, each once, in folded alphabetical order.
  std::vector<std::string> Countries() const;

 private:
  struct Row {
    std::string text;                  // the saved file's row
    std::vector<std::uint32_t> start;  // where each field starts; one more for the end
    std::string date;
    double latitude = 0, longitude = 0;
  };
  std::string_view Field(const Row& row, std::size_t field) const;
  void Show();

  std::vector<std::string> names_;
  std::vector<Row> rows_;
  std::vector<std::size_t> order_;  // every row, sorted
  std::vector<std::size_t> shown_;  // the rows of order_ that pass the filter
  std::string country_;
};

// The key a text compares by: lower case, with the accents of Latin letters dropped ("Ö" as "o",
// "ß" as "ss"), so that "Österreich" sorts among the O.
std::string FoldedText(std::string_view text);
// Seconds of "hh:mm:ss" or "m:ss"; nullopt for any other text (an empty cell too).
std::optional<double> ClockSeconds(std::string_view text);

// The window captions: "City list – 2024-04-08 total" (the UT date of greatest eclipse and its
// type), "Place history – Abra Pampa, +1901 … +2100", in the language; a caption without its
// eclipse or place until one is known.
std::string CityListCaption(const EclipseRecord* eclipse, Language language);
std::string PlaceHistoryCaption(const std::string& place, std::optional<int> firstYear,
                                std::optional<int> lastYear, Language language);
// "total", "annular", … in the language, as the caption names the eclipse.
std::string CaptionTypeWord(int typeCode, Language language);

// The texts around the table: the two tabs, the country filter and its first item.
enum class ReportViewText { kListTab, kTableTab, kCountry, kAllCountries };
std::string ReportViewCaption(ReportViewText text, Language language);

// ---- the years of the place history ----

// The 14 items of the two year lists, as the settings record counts them.
const std::vector<std::string>& FirstYearItems();
const std::vector<std::string>& LastYearItems();
// A year as typed into a year box or chosen from its list: "+2000", "2000", "-999", "0", with
// blanks around; nullopt for anything else or a year outside −4999 … 7000.
std::optional<int> ParseYearText(std::string_view text);
// "+2000", "0", "-999": how a typed year is shown again.
std::string YearText(int year);
// The index the settings record keeps for a year: its item, else the nearest item (the earlier
// one when two are as near).
int YearItemIndex(const std::vector<std::string>& items, int year);
// A first run: the first year is the last item not after the present year, the last year the
// first item not before it.
struct YearChoice {
  int firstIndex = 0;
  int lastIndex = 0;
};
YearChoice YearsAround(int presentYear);
// The message for a year box whose text is not a year, naming the box (first or last year).
std::string InvalidYearMessage(bool firstYear, std::string_view text, Language language);

// The same place (position, height and population) in another places file, such as the file of
// another language; nullopt when the file has none or cannot be read.
std::optional<Place> FindSamePlace(const std::string& path, const Place& place);

}  // namespace umbrivista
