// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// search: the eclipses of the catalogue that meet every criterion given, as TSV or JSON.

#include <algorithm>
#include <iostream>
#include <sstream>

#include "cli.h"
#include "eclipse_search.h"
#include "places_file.h"

namespace umbrivista {

int RunSearch(Args& args) {
  SearchCriteria c;
  if (auto from = args.TakeOption("from")) {
    c.fromYear = ParseIntArg(*from, "--from", kMinRecordYear, kMaxRecordYear);
  }
  if (auto to = args.TakeOption("to")) {
    c.toYear = ParseIntArg(*to, "--to", kMinRecordYear, kMaxRecordYear);
  }
  if (c.fromYear > c.toYear) {
    throw UsageError("--from " + std::to_string(c.fromYear) + " is later than --to " +
                     std::to_string(c.toYear));
  }
  if (auto kind = args.TakeOption("kind")) {
    std::vector<std::string> words;
    std::stringstream ss(*kind);
    for (std::string w; std::getline(ss, w, ',');) words.push_back(w);
    std::string bad;
    const auto mask = TypeMaskFromKinds(words, &bad);
    if (!mask || words.empty()) {
      throw UsageError("--kind: unknown kind " + Echo(bad) +
                       " (total, annular, hybrid, partial, central, noncentral)");
    }
    c.typeMask = *mask;
  }
  if (auto d = args.TakeOption("min-duration")) {
    c.minDurationSeconds = ParseRealArg(*d, "--min-duration", 0, 3600, " s");
  }
  if (auto m = args.TakeOption("min-magnitude")) {
    c.minMagnitude = ParseRealArg(*m, "--min-magnitude", 0, 2);
  }
  if (auto g = args.TakeOption("max-gamma")) c.maxGamma = ParseRealArg(*g, "--max-gamma", 0, 2);
  if (auto s = args.TakeOption("saros")) {
    c.saros = ParseIntArg(*s, "--saros", -kMaxSarosMagnitude, kMaxSarosMagnitude);
  }
  const auto near = TakeLatLon(args, "near");
  const auto within = args.TakeOption("within");
  const auto centralAt = TakeLatLon(args, "central-at");
  const auto visibleFrom = TakeLatLon(args, "visible-from");
  const auto country = args.TakeOption("country");
  const auto places = args.TakeOption("places");
  const int placeCriteria = !!near + !!centralAt + !!visibleFrom + !!country;
  if (placeCriteria > 1) {
    throw UsageError("give at most one of --near, --central-at, --visible-from, --country");
  }
  if (near.has_value() != within.has_value()) throw UsageError("--near and --within go together");
  if (places && !country) throw UsageError("--places needs --country");
  if (near) {
    c.placeMode = SearchPlaceMode::kNear;
    std::tie(c.latitude, c.longitude) = *near;
    c.withinKm = ParseRealArg(*within, "--within", 0, 20000, " km");
  } else if (centralAt) {
    c.placeMode = SearchPlaceMode::kCentralAt;
    std::tie(c.latitude, c.longitude) = *centralAt;
  } else if (visibleFrom) {
    c.placeMode = SearchPlaceMode::kVisibleFrom;
    std::tie(c.latitude, c.longitude) = *visibleFrom;
  } else if (country) {
    if (country->empty()) throw UsageError("--country needs a name");
    c.placeMode = SearchPlaceMode::kCountry;
    c.country = *country;
  }
  std::optional<SearchColumn> sort;
  if (auto column = args.TakeOption("sort")) {
    sort = SearchColumnFromName(*column);
    const std::vector<SearchColumn> shown = SearchColumns(c.placeMode);
    if (!sort || std::ranges::find(shown, *sort) == shown.end()) {
      throw UsageError("--sort: no column " + Echo(*column) + " in this search");
    }
  }
  const bool descending = args.TakeFlag("desc");
  if (descending && !sort) throw UsageError("--desc needs --sort");
  const Language language = TakeLanguage(args);
  const std::string format = TakeFormat(args, {"tsv", "json"});
  const auto& catalogue = LoadCatalogue(args);
  args.ExpectEnd();

  std::vector<Place> countryPlaces;
  if (c.placeMode == SearchPlaceMode::kCountry) {
    const std::string path = places ? *places : DataFile(PlacesFileName(language));
    CityList list = ReadCities(path, c.country);
    if (!list.error.empty()) {
      std::cerr << "umbrivista-cli: " << list.error << "\n";
      return 1;
    }
    if (list.places.empty()) {
      throw UsageError("--country: no places of " + Echo(c.country) + " in " + path);
    }
    countryPlaces = std::move(list.places);
  }
  SearchResult result = SearchCatalogue(catalogue, c, countryPlaces);
  if (!result.error.empty()) throw UsageError(result.error);
  if (sort) SortSearchRows(result.rows, *sort, !descending);
  std::cout << (format == "json" ? SearchRowsJson(result.rows, c.placeMode)
                                 : SearchRowsTsv(result.rows, c.placeMode));
  return 0;
}

}  // namespace umbrivista
