// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue search: known answers from published lists, the place criteria, sorting,
// cancelling and the remembered-criteria file.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "angles.h"
#include "deltat.h"
#include "eclipse_date.h"
#include "eclipse_types.h"
#include "eclipse_search.h"
#include "local_circumstances.h"
#include "places_file.h"
#include "scratch_dir.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

std::string Date(const SearchRow& r) { return IsoDate(r.year, r.month, r.day); }

std::set<std::string> Dates(const std::vector<SearchRow>& rows) {
  std::set<std::string> out;
  for (const SearchRow& r : rows) out.insert(Date(r));
  return out;
}

SearchResult Search(const SearchCriteria& c, const std::vector<Place>& places = {}) {
  return SearchCatalogue(ShippedCatalogue(), c, places);
}

// The Five Millennium Canon (Espenak and Meeus, NASA/TP-2006-214141) lists 2186-07-16, 7 min 29 s,
// as the longest total eclipse from −3999 to 6000. The search's duration agrees with the local
// circumstances at the greatest-eclipse point it reports.
TEST(EclipseSearch, LongestTotalEclipseOfTheCanonLeadsByDuration) {
  SearchCriteria c;
  c.fromYear = -3999;
  c.toYear = 6000;
  c.typeMask = *TypeMaskFromKinds({"total", "central"});
  c.minDurationSeconds = 7 * 60;
  SearchResult result = Search(c);
  ASSERT_TRUE(result.error.empty()) << result.error;
  ASSERT_FALSE(result.rows.empty());
  SortSearchRows(result.rows, SearchColumn::kDuration, false);
  EXPECT_EQ(Date(result.rows.front()), "2186-07-16");
  EXPECT_NEAR(result.rows.front().durationSeconds, 7 * 60 + 29, 3);
  for (const SearchRow& row : result.rows) {
    SCOPED_TRACE(Date(row));
    EXPECT_GE(row.durationSeconds, 420);
    EXPECT_TRUE(row.typeCode == kTotal || row.typeCode == kHybrid) << row.typeCode;
    const EclipseRecord& r = ShippedCatalogue().RecordAt(row.position);
    const double phi = row.latitude * kDegToRad;
    const auto lc = ComputeLocalCircumstances(r, DeltaT(r.year, r.month), phi,
                                              -row.longitude * kDegToRad, ObserverGeocentric(0, phi));
    ASSERT_TRUE(lc.has_value());
    EXPECT_EQ(lc->kind, EclipseKind::kTotal);
    EXPECT_NEAR(CentralDurationMinutes(*lc) * 60, row.durationSeconds, 3);
    EXPECT_GT(row.magnitude, lc->magnitude);  // the diameters' ratio exceeds the part covered
  }
}

// Magnitudes as the Five Millennium Canon lists them: the ratio of the apparent diameters for a
// central eclipse, the fraction of the Sun's diameter covered for a partial one.
TEST(EclipseSearch, MagnitudesAgreeWithTheCanon) {
  const std::pair<const char*, double> published[] = {
      {"2017-08-21", 1.0306}, {"2024-04-08", 1.0566}, {"2026-08-12", 1.0386},
      {"2186-07-16", 1.0805}, {"2021-06-10", 0.9435}, {"2023-10-14", 0.9520},
      {"2022-10-25", 0.8619}, {"2025-03-29", 0.9376},
  };
  for (const auto& [date, magnitude] : published) {
    SearchCriteria c;
    c.fromYear = c.toYear = std::stoi(std::string(date, 4));
    const SearchResult result = Search(c);
    const auto it = std::ranges::find_if(result.rows, [&](const SearchRow& r) { return Date(r) == date; });
    ASSERT_NE(it, result.rows.end()) << date;
    EXPECT_NEAR(it->magnitude, magnitude, 3e-4) << date;
  }
}

// Total eclipses whose path crosses the contiguous United States in 2001–2100 (NASA's eclipse
// pages), and 2033-03-30 over Alaska: each is seen total from some place of the country.
TEST(EclipseSearch, TotalEclipsesOverTheUnitedStates) {
  const std::string file = std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish);
  const CityList places = ReadCities(file, "United States");
  ASSERT_TRUE(places.error.empty()) << places.error;
  SearchCriteria c;
  c.fromYear = 2001;
  c.toYear = 2100;
  c.typeMask = *TypeMaskFromKinds({"total"});
  c.placeMode = SearchPlaceMode::kCountry;
  c.country = "United States";
  const SearchResult result = Search(c, places.places);
  ASSERT_TRUE(result.error.empty()) << result.error;
  const std::set<std::string> found = Dates(result.rows);
  for (const char* date : {"2017-08-21", "2024-04-08", "2033-03-30", "2044-08-23", "2045-08-12",
                           "2052-03-30", "2078-05-11", "2079-05-01", "2099-09-14"}) {
    EXPECT_TRUE(found.count(date)) << date;
  }
  for (const SearchRow& row : result.rows) {
    EXPECT_TRUE(row.hasPlace);
    EXPECT_FALSE(row.placeName.empty());
    EXPECT_EQ(row.placeKind, EclipseKind::kTotal) << Date(row);
  }
  // Annular eclipses are not total ones; 2023-10-14 and 2012-05-20 crossed the country annular.
  c.typeMask = *TypeMaskFromKinds({"annular"});
  const std::set<std::string> annular = Dates(Search(c, places.places).rows);
  EXPECT_TRUE(annular.count("2023-10-14"));
  EXPECT_TRUE(annular.count("2012-05-20"));
  EXPECT_FALSE(annular.count("2024-04-08"));
}

// −584-05-28, σ(ΔT) 462 s: whether a place saw totality is told for ΔT ± 2σ. Sardis sees it for
// the lower part of the range; 30° N on the same meridian for none of it, which "central at"
// refuses and "visible from" states. Some town of Turkey sees it, for parts of the range that the
// local circumstances there confirm; 2024 at Dallas is told plainly.
TEST(EclipseSearch, AncientPlaceAnswersAreAboutDeltaT) {
  const EclipseRecord ancient = ShippedRecord(-584, 5, 28);
  const double deltaT = DeltaT(-584, 5), sigma = DeltaTSigma(-584, 5);
  auto find = [](const SearchResult& result, const char* date) {
    const auto it = std::ranges::find_if(result.rows, [&](const SearchRow& r) { return Date(r) == date; });
    return it == result.rows.end() ? nullptr : &*it;
  };
  SearchCriteria c;
  c.fromYear = c.toYear = -584;
  c.placeMode = SearchPlaceMode::kCentralAt;
  c.latitude = 38.49;
  c.longitude = 28.04;
  const SearchResult sardis = Search(c);
  const SearchRow* row = find(sardis, "-0584-05-28");
  ASSERT_NE(row, nullptr);
  ASSERT_TRUE(row->ranged);
  EXPECT_NEAR(row->deltaTLow, deltaT - 2 * sigma, 1e-6);
  ASSERT_EQ(row->centralFor.size(), 1u);
  EXPECT_NEAR(row->centralFor[0].from, deltaT - 2 * sigma, 0.01);
  EXPECT_GT(row->centralFor[0].to, deltaT);
  EXPECT_LT(row->centralFor[0].to, deltaT + 2 * sigma);
  EXPECT_EQ(SearchCellText(*row, SearchColumn::kPlaceKind, Language::kEnglish).rfind("total for ΔT 17460–", 0), 0u)
      << SearchCellText(*row, SearchColumn::kPlaceKind, Language::kEnglish);

  c.latitude = 30;
  EXPECT_EQ(find(Search(c), "-0584-05-28"), nullptr);
  c.placeMode = SearchPlaceMode::kVisibleFrom;
  const SearchResult south = Search(c);
  row = find(south, "-0584-05-28");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(SearchCellText(*row, SearchColumn::kPlaceKind, Language::kFrench),
            "non centrale pour ΔT 17460–19309 s (±2σ)");

  const std::string file = std::string(UMBRIVISTA_DATA_DIR) + "/" + PlacesFileName(Language::kEnglish);
  const CityList turkey = ReadCities(file, "Turkey");
  ASSERT_TRUE(turkey.error.empty()) << turkey.error;
  c.placeMode = SearchPlaceMode::kCountry;
  c.country = "Turkey";
  const SearchResult country = Search(c, turkey.places);
  row = find(country, "-0584-05-28");
  ASSERT_NE(row, nullptr);
  ASSERT_FALSE(row->centralFor.empty());
  const auto place = std::ranges::find_if(turkey.places, [&](const Place& p) { return p.name == row->placeName; });
  ASSERT_NE(place, turkey.places.end());
  const double phi = place->LatitudeDegrees() * kDegToRad;
  for (const DeltaTInterval& part : row->centralFor) {
    const LocalEclipse e = ComputeLocalEclipse(ancient, (part.from + part.to) / 2, phi,
                                               -place->LongitudeDegrees() * kDegToRad,
                                               ObserverGeocentric(place->height, phi));
    EXPECT_EQ(e.visible.greatestKind, EclipseKind::kTotal) << row->placeName;
  }

  c = {};
  c.fromYear = c.toYear = 2024;
  c.placeMode = SearchPlaceMode::kCentralAt;
  c.latitude = 32.78;
  c.longitude = -96.80;
  const SearchResult dallas = Search(c);
  row = find(dallas, "2024-04-08");
  ASSERT_NE(row, nullptr);
  EXPECT_FALSE(row->ranged);
  EXPECT_EQ(SearchCellText(*row, SearchColumn::kPlaceKind, Language::kEnglish), "total");
}

// The place criteria for single points, 2024-04-08 and 2026-08-12.
TEST(EclipseSearch, PlaceCriteria) {
  struct Case {
    const char* name;
    SearchPlaceMode mode;
    double lat, lon, km;
    int year;
    const char* date;
    bool found;
  };
  const Case cases[] = {
      {"total at Dallas", SearchPlaceMode::kCentralAt, 32.78, -96.80, 0, 2024, "2024-04-08", true},
      {"not total at New York", SearchPlaceMode::kCentralAt, 40.71, -74.01, 0, 2024, "2024-04-08",
       false},
      {"seen from New York", SearchPlaceMode::kVisibleFrom, 40.71, -74.01, 0, 2024, "2024-04-08",
       true},
      {"not seen from Berlin", SearchPlaceMode::kVisibleFrom, 52.52, 13.40, 0, 2024, "2024-04-08",
       false},
      {"seen from Berlin", SearchPlaceMode::kVisibleFrom, 52.52, 13.40, 0, 2026, "2026-08-12", true},
      {"path near New York", SearchPlaceMode::kNear, 40.71, -74.01, 600, 2024, "2024-04-08", true},
      {"path not that near", SearchPlaceMode::kNear, 40.71, -74.01, 50, 2024, "2024-04-08", false},
      {"inside the path", SearchPlaceMode::kNear, 32.78, -96.80, 0, 2024, "2024-04-08", true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    SearchCriteria c;
    c.fromYear = c.toYear = k.year;
    c.placeMode = k.mode;
    c.latitude = k.lat;
    c.longitude = k.lon;
    c.withinKm = k.km;
    const SearchResult result = Search(c);
    ASSERT_TRUE(result.error.empty()) << result.error;
    const auto it = std::ranges::find_if(result.rows, [&](const SearchRow& r) { return Date(r) == k.date; });
    EXPECT_EQ(it != result.rows.end(), k.found);
    if (it == result.rows.end()) continue;
    EXPECT_TRUE(it->hasPlace);
    EXPECT_GT(it->placeMagnitude, 0);
    if (k.mode == SearchPlaceMode::kCentralAt) {
      EXPECT_EQ(it->placeKind, EclipseKind::kTotal);
    }
    if (k.mode == SearchPlaceMode::kNear) {
      EXPECT_LE(it->distanceKm, k.km);
    }
  }
  // The minimum magnitude applies to what the place sees: Berlin sees 2026-08-12 at about 0.9.
  SearchCriteria c;
  c.fromYear = c.toYear = 2026;
  c.placeMode = SearchPlaceMode::kVisibleFrom;
  c.latitude = 52.52;
  c.longitude = 13.40;
  c.minMagnitude = 0.8;
  EXPECT_TRUE(Dates(Search(c).rows).count("2026-08-12"));
  c.minMagnitude = 0.99;
  EXPECT_FALSE(Dates(Search(c).rows).count("2026-08-12"));
}

// Every kind filter, the Saros and the |γ| limit against the record fields, over 2000–2100.
TEST(EclipseSearch, RecordCriteriaMatchTheRecords) {
  struct Case {
    std::vector<std::string> kinds;
    std::set<int> types;
  };
  const Case cases[] = {
      {{"total"}, {2, 5}},       {{"annular"}, {3, 6}},       {{"hybrid"}, {4}},
      {{"partial"}, {1}},        {{"central"}, {2, 3, 4}},    {{"noncentral"}, {1, 5, 6}},
      {{"total", "central"}, {2}}, {{"total", "annular", "noncentral"}, {5, 6}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.kinds.front());
    SearchCriteria c;
    c.fromYear = 2000;
    c.toYear = 2100;
    c.typeMask = *TypeMaskFromKinds(k.kinds);
    const SearchResult result = Search(c);
    ASSERT_FALSE(result.rows.empty());
    std::set<int> seen;
    for (const SearchRow& r : result.rows) seen.insert(r.typeCode);
    EXPECT_TRUE(std::ranges::includes(k.types, seen));
    // The mask reads back from its words.
    EXPECT_EQ(TypeMaskFromKinds({}), 0u);
    std::vector<std::string> words;
    std::stringstream ss(KindsFromTypeMask(c.typeMask));
    for (std::string w; std::getline(ss, w, ',');) words.push_back(w);
    EXPECT_EQ(TypeMaskFromKinds(words), c.typeMask);
  }
  std::string bad;
  EXPECT_FALSE(TypeMaskFromKinds({"total", "eclipse"}, &bad));
  EXPECT_EQ(bad, "eclipse");

  SearchCriteria c;
  c.fromYear = 2000;
  c.toYear = 2100;
  c.saros = 139;
  c.maxGamma = 0.5;
  const SearchResult result = Search(c);
  ASSERT_FALSE(result.rows.empty());
  for (const SearchRow& r : result.rows) {
    EXPECT_EQ(r.saros, 139);
    EXPECT_LE(std::abs(r.gamma), 0.5);
    EXPECT_GE(r.year, 2000);
    EXPECT_LE(r.year, 2100);
  }
  EXPECT_TRUE(Dates(result.rows).count("2024-04-08"));
  // The years are those of the UT date of greatest eclipse, also for a one-year range.
  c = {};
  c.fromYear = c.toYear = 2024;
  EXPECT_EQ(Dates(Search(c).rows), (std::set<std::string>{"2024-04-08", "2024-10-02"}));
}

TEST(EclipseSearch, SortsByEveryColumnAndCancels) {
  SearchCriteria c;
  c.fromYear = 2020;
  c.toYear = 2030;
  c.placeMode = SearchPlaceMode::kVisibleFrom;
  c.latitude = 48.85;
  c.longitude = 2.35;
  const SearchResult result = Search(c);
  ASSERT_GE(result.rows.size(), 3u);
  for (SearchColumn column : SearchColumns(c.placeMode)) {
    SCOPED_TRACE(SearchColumnName(column));
    for (bool ascending : {true, false}) {
      std::vector<SearchRow> rows = result.rows;
      SortSearchRows(rows, column, ascending);
      std::vector<SearchRow> reversed = rows;
      // Sorting the other way round gives the order reversed up to ties.
      SortSearchRows(reversed, column, !ascending);
      EXPECT_EQ(SearchCellText(rows.front(), column, Language::kEnglish),
                SearchCellText(reversed.back(), column, Language::kEnglish));
      EXPECT_EQ(SearchColumnFromName(SearchColumnName(column)), column);
    }
  }
  // The kinds in the three languages.
  SearchRow total;
  total.hasPlace = total.placeSeen = true;
  total.placeKind = EclipseKind::kTotal;
  total.typeCode = kAnnular;
  const std::array<const char*, 3> placeKinds = {"total", "total", "totale"};
  const std::array<const char*, 3> kinds = {"Ringförmige", "annular", "annulaire"};
  for (Language language : {Language::kGerman, Language::kEnglish, Language::kFrench}) {
    const int i = static_cast<int>(language);
    EXPECT_EQ(SearchCellText(total, SearchColumn::kPlaceKind, language), placeKinds[i]);
    EXPECT_NE(SearchCellText(total, SearchColumn::kKind, language).find(kinds[i]),
              std::string::npos)
        << SearchCellText(total, SearchColumn::kKind, language);
  }
  std::vector<SearchRow> rows = result.rows;
  SortSearchRows(rows, SearchColumn::kPlaceMagnitude, false);
  EXPECT_TRUE(std::ranges::is_sorted(rows, std::greater<>(),
                                     [](const SearchRow& r) { return r.placeMagnitude; }));

  std::atomic<bool> cancel{true};
  SearchControl control;
  control.cancel = &cancel;
  const SearchResult stopped = SearchCatalogue(ShippedCatalogue(), SearchCriteria{}, {}, control);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_TRUE(stopped.rows.empty());
  // Criteria that cannot be searched, and a country without places, say why.
  c = {};
  c.fromYear = 2100;
  c.toYear = 2000;
  EXPECT_FALSE(Search(c).error.empty());
  c = {};
  c.placeMode = SearchPlaceMode::kCountry;
  c.country = "Atlantis";
  EXPECT_FALSE(Search(c).error.empty());
}

class SearchFiles : public ScratchDirTest {
 protected:
  SearchFiles() : ScratchDirTest("search") {}
};

TEST_F(SearchFiles, CriteriaRoundTripAndDamagedFilesAreRefused) {
  const std::string path = (dir_ / "search.txt").string();
  EXPECT_FALSE(ReadSearchCriteriaFile(path).has_value());
  SearchCriteria c;
  c.fromYear = -500;
  c.toYear = 2100;
  c.typeMask = *TypeMaskFromKinds({"total", "hybrid", "central"});
  c.minDurationSeconds = 240.5;
  c.minMagnitude = 1.01;
  c.saros = 145;
  c.placeMode = SearchPlaceMode::kCountry;
  c.country = "Côte d'Ivoire";
  c.latitude = 48.5;
  c.longitude = -2.25;
  WriteSearchCriteriaFile(path, c);
  EXPECT_EQ(ReadSearchCriteriaFile(path), c);

  struct Bad {
    const char* line;
    const char* field;
  };
  const Bad bads[] = {{"from=abc", "field from"},       {"to=1e9", "field to"},
                      {"kinds=total,eclipse", "field kinds"}, {"lat=91", "field lat"},
                      {"place=moon", "field place"},    {"min_magnitude=nan", "field min_magnitude"},
                      {"colour=blue", "unknown key"},   {"no equals sign", "no \"=\""}};
  for (const Bad& bad : bads) {
    SCOPED_TRACE(bad.line);
    std::ofstream(path, std::ios::trunc) << "from=1900\n" << bad.line << "\n";
    try {
      ReadSearchCriteriaFile(path);
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find(path + ": line 2: "), std::string::npos) << what;
      EXPECT_NE(what.find(bad.field), std::string::npos) << what;
    }
  }
  // A folder in the file's place, and a file far too large, are refused with the file's name.
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_THROW(ReadSearchCriteriaFile(path), std::runtime_error);
  std::filesystem::remove(path);
  std::ofstream(path) << std::string(100000, '#');
  try {
    ReadSearchCriteriaFile(path);
    ADD_FAILURE() << "accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind(path + ": ", 0), 0u) << e.what();
  }
}

TEST_F(SearchFiles, SavedTsvHasAHeaderAndOneLinePerRow) {
  SearchCriteria c;
  c.fromYear = 2024;
  c.toYear = 2026;
  c.placeMode = SearchPlaceMode::kNear;
  c.latitude = 32.78;
  c.longitude = -96.80;
  c.withinKm = 20000;
  const SearchResult result = Search(c);
  ASSERT_FALSE(result.rows.empty());
  const std::string path = (dir_ / "rows.tsv").string();
  SaveSearchTsv(path, result.rows, c.placeMode);
  std::ifstream in(path);
  std::string header, line;
  std::getline(in, header);
  EXPECT_EQ(header,
            "pos\tdate\tkind\tsaros\tduration\tmagnitude\tgamma\tlat\tlon\tplace_kind\t"
            "place_magnitude\tplace_time\tplace_duration\tdistance");
  std::size_t lines = 0;
  while (std::getline(in, line)) {
    ++lines;
    EXPECT_EQ(std::ranges::count(line, '\t'), std::ranges::count(header, '\t')) << line;
  }
  EXPECT_EQ(lines, result.rows.size());
}

}  // namespace
}  // namespace umbrivista
