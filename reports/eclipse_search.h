// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A search over the whole catalogue: eclipses by years, kind, central duration, magnitude, γ,
// Saros series and a place or a country, as rows that can be sorted by any column and saved as
// TSV. Qt-free; shared by the search window and umbrivista-cli.
//
// Quantities of an eclipse (all at greatest eclipse, the Earth turned by the program's ΔT):
//  - date: the UT date of greatest eclipse;
//  - central duration: of the central phase where the shadow axis meets the Earth (0 for an
//    eclipse without a centre line);
//  - magnitude: as the published canons give it (Espenak and Meeus, Five Millennium Canon of
//    Solar Eclipses, NASA/TP-2006-214141): for a central eclipse the ratio of the Moon's apparent
//    diameter to the Sun's at the greatest-eclipse point, (L1′ − L2′)/(L1′ + L2′) (1.0566 for
//    2024-04-08); for one whose axis misses the Earth, the fraction of the Sun's diameter covered
//    at the point of the Earth's outline nearest the axis (0.8619 for 2022-10-25);
//  - γ as the catalogue holds it; the greatest-eclipse point as the information panel shows it.
//
// Place criteria (at most one):
//  - near: the central path (between its umbral limits) passes within R km of the point;
//  - central at: the point sees the total or annular phase with the Sun above the horizon;
//  - visible from: the point sees some of the eclipse with the Sun above the horizon;
//  - country: at least one place of the country in the places file sees the total or annular
//    phase with the Sun above the horizon. A country is thus as fine as its places: a path that
//    crosses only land without a listed place is not found.
// With a place criterion the minimum magnitude applies to the magnitude seen there (the most
// seen above the horizon); without one, to the eclipse's magnitude.
//
// Where σ(ΔT) exceeds kDeltaTStatementSigma (most years before 950 and after 2900), whether a
// place sees the central phase is a statement about ΔT: "central at" and "country" accept an
// eclipse when the place (some place of the country) sees the central phase for some ΔT within
// ΔT ± 2σ, and every row with a place names the parts of that range over which it does. The
// other place columns and "near" are taken at the program's ΔT.
// Every place criterion first rejects eclipses whose shadow cannot come near: the place's closest
// approach to the shadow axis on the fundamental plane, less the shadow's radius there, is a lower
// bound of its distance from the shadow on the ground.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue.h"
#include "language.h"
#include "local_circumstances.h"
#include "places_file.h"

namespace umbrivista {

enum class SearchPlaceMode { kNone, kNear, kCentralAt, kVisibleFrom, kCountry };

struct SearchCriteria {
  int fromYear = kFirstCatalogueYear;
  int toYear = kLastCatalogueYear;
  // Bit (1 << typeCode) for every catalogue type code 1 … 6 accepted; 0 accepts every type.
  unsigned typeMask = 0;
  double minDurationSeconds = 0;    // 0: no limit
  std::optional<double> minMagnitude;
  std::optional<double> maxGamma;   // of |γ|
  std::optional<int> saros;
  SearchPlaceMode placeMode = SearchPlaceMode::kNone;
  double latitude = 0, longitude = 0;  // degrees, east positive
  double withinKm = 0;                 // kNear
  std::string country;                 // kCountry

  bool operator==(const SearchCriteria&) const = default;
};

// The type mask of kind words: "total", "annular", "hybrid", "partial" accept those types (total
// and annular also their non-central forms), "central" and "noncentral" restrict to eclipses with
// or without a centre line; both groups together give the types in both. nullopt for an unknown
// word (named in `badWord`).
std::optional<unsigned> TypeMaskFromKinds(const std::vector<std::string>& words,
                                          std::string* badWord = nullptr);
// The words of a mask, comma-separated ("" for 0): the inverse of TypeMaskFromKinds for masks it
// makes.
std::string KindsFromTypeMask(unsigned mask);

// What is wrong with criteria, in the language ("" when they can be searched): years out of
// order, numbers not finite or negative, a latitude or longitude out of range, a country without
// name.
std::string CriteriaProblem(const SearchCriteria& criteria,
                            Language language = Language::kEnglish);

struct SearchRow {
  int position = 0;  // in the catalogue
  int year = 0, month = 0, day = 0;
  int typeCode = 0;
  int saros = 0, sarosMember = 0, sarosCount = 0;
  double durationSeconds = 0;
  double magnitude = 0;
  double gamma = 0;
  double latitude = 0, longitude = 0;  // greatest-eclipse point
  // With a place criterion: what is seen there (for a country, at the place named).
  bool hasPlace = false;
  std::string placeName;
  EclipseKind placeKind = EclipseKind::kPartial;
  double placeMagnitude = 0;
  double placeMaximumJd = 0;  // UT Julian day of the most seen above the horizon
  double placeDurationSeconds = 0;  // of the central phase there, 0 for a partial one
  double distanceKm = 0;  // kNear: distance from the central path (0 inside)
  // Whether the place sees the eclipse above the horizon at the program's ΔT (the magnitude, time
  // and duration above are 0 otherwise).
  bool placeSeen = false;
  // Where σ(ΔT) exceeds kDeltaTStatementSigma: ΔT ± 2σ and the parts of it over which the place
  // sees the central phase, annular or total as `centralAnnular` says.
  bool ranged = false;
  double deltaTLow = 0, deltaTHigh = 0;
  std::vector<DeltaTInterval> centralFor;
  bool centralAnnular = false;
};

struct SearchControl {
  const std::atomic<bool>* cancel = nullptr;
  std::function<void(int done, int total)> progress;  // called now and then from the search
};

struct SearchResult {
  std::vector<SearchRow> rows;  // in catalogue order
  bool cancelled = false;       // the rows found before the cancel are kept
  std::string error;            // criteria that cannot be searched, or a country without places
};

// Searches the catalogue; `countryPlaces` are the places of criteria.country (ignored for other
// modes).
SearchResult SearchCatalogue(const EclipseCatalogue& catalogue, const SearchCriteria& criteria,
                             const std::vector<Place>& countryPlaces,
                             const SearchControl& control = {});

enum class SearchColumn {
  kDate, kKind, kSaros, kDuration, kMagnitude, kGamma, kLatitude, kLongitude,
  kPlace, kPlaceKind, kPlaceMagnitude, kPlaceTime, kPlaceDuration, kDistance,
};
inline constexpr int kSearchColumnCount = 14;

// "date", "kind", "saros", "duration", "magnitude", "gamma", "lat", "lon", "place",
// "place_kind", "place_magnitude", "place_time", "place_duration", "distance".
const char* SearchColumnName(SearchColumn column);
std::optional<SearchColumn> SearchColumnFromName(const std::string& name);
// The column headers of the window in the language.
std::string SearchColumnCaption(SearchColumn column, Language language);
// The columns shown for a place mode: the place columns only with a place, the distance only
// for kNear.
std::vector<SearchColumn> SearchColumns(SearchPlaceMode mode);

// Sorts rows by a column (ties kept in catalogue order); |γ| is not used: γ sorts by its sign.
void SortSearchRows(std::vector<SearchRow>& rows, SearchColumn column, bool ascending);

// The text of one cell: numbers with "." whatever the locale; kinds in the language (the TSV and
// the CLI pass English). The kind at the place of a ranged row is the statement about ΔT
// ("total for ΔT 17120–17410 s", "not central for ΔT 16580–17640 s").
std::string SearchCellText(const SearchRow& row, SearchColumn column, Language language);

// TSV: a header line of column names, then one line per row, LF line ends.
std::string SearchRowsTsv(const std::vector<SearchRow>& rows, SearchPlaceMode mode);
// JSON: an array of objects keyed by column name; a ranged row adds "place_deltat_range_s"
// [low, high] and "place_central_deltat_s" [[from, to], …].
std::string SearchRowsJson(const std::vector<SearchRow>& rows, SearchPlaceMode mode);
// Writes the TSV through a temporary file and a rename; throws FileWriteError.
void SaveSearchTsv(const std::string& path, const std::vector<SearchRow>& rows,
                   SearchPlaceMode mode);

// The texts of the search window.
enum class SearchText {
  kTitle, kFrom, kTo, kKinds, kTotal, kAnnular, kHybrid, kPartial, kCentralOnly, kMinDuration,
  kMinMagnitude, kMaxGamma, kSaros, kPlace, kPlaceNone, kPlaceNear, kPlaceCentral, kPlaceVisible,
  kPlaceCountry, kLatitude, kLongitude, kWithin, kCountry, kStart, kCancel, kSaveAs, kClose,
  kFound, kCancelled, kSearching, kBadNumber, kHint, kNoPlaces, kYearsReversed, kNegative,
  kLatitudeRange, kLongitudeRange, kDistanceRange, kNoCountry, kTsvFilter,
};
std::string SearchWindowText(SearchText text, Language language);

// The file of the remembered criteria, beside the settings file.
inline constexpr const char* kSearchCriteriaFileName = "umbrivista_search.txt";

// The search window's remembered criteria: a small key=value file ("from=1900" …), one key a
// line, unknown keys refused. Read throws std::runtime_error "FILE: line N: field KEY: what is
// wrong"; a missing file gives nullopt.
std::optional<SearchCriteria> ReadSearchCriteriaFile(const std::string& path);
std::string SearchCriteriaText(const SearchCriteria& criteria);
void WriteSearchCriteriaFile(const std::string& path, const SearchCriteria& criteria);

}  // namespace umbrivista
