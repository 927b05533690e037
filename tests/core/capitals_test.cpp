// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in capitals table: size, order, continents and the rows whose values are fixed.

#include "capitals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace umbrivista;

namespace {

TEST(Capitals, HasAllRowsWithTheirContinentCounts) {
  const auto table = Capitals();
  ASSERT_EQ(table.size(), 193u);
  std::map<std::string, int> counts;
  for (const City_Type& city : table) ++counts[city.continent];
  EXPECT_EQ(counts, (std::map<std::string, int>{
                        {"AF", 53}, {"AM", 35}, {"AS", 48}, {"EU", 43}, {"OC", 14}}));
}

TEST(Capitals, OrderIsAlphabeticalExceptEastTimorAndArabEmirates) {
  const auto table = Capitals();
  std::vector<std::string> countries;
  for (const City_Type& city : table) countries.emplace_back(city.country);
  EXPECT_EQ(std::set<std::string>(countries.begin(), countries.end()).size(), 193u)
      << "a country appears twice";

  const auto at = [&](const char* name) {
    return std::find(countries.begin(), countries.end(), name) - countries.begin();
  };
  EXPECT_EQ(at("East Timor"), at("Thailand") + 1);
  EXPECT_EQ(at("Arab Emirates"), at("Ukraine") + 1);

  std::vector<std::string> rest;
  for (const std::string& c : countries) {
    if (c != "East Timor" && c != "Arab Emirates") rest.push_back(c);
  }
  EXPECT_TRUE(std::is_sorted(rest.begin(), rest.end()));
  EXPECT_EQ(countries.front(), "Afghanistan");
  EXPECT_EQ(countries.back(), "Zimbabwe");
}

TEST(Capitals, FixedRowsKeepTheirValues) {
  struct Row {
    int number;  // 1-based position in the table
    const char* country;
    const char* capital;
    double latitude, longitude;
    int elevation;
    const char* continent;
  };
  const Row rows[] = {
      {1, "Afghanistan", "Kabul", 34.5309, 69.1368, 1807, "AS"},
      {2, "Albania", "Tirana", 41.3317, 19.8318, 104, "EU"},
      {3, "Algeria", "Algiers", 36.7658, 3.0319, 0, "AF"},
      {7, "Argentina", "Buenos Aires", -34.6654, -58.4096, 10, "AM"},
      {9, "Australia", "Canberra", -35.3499, 149.0420, 605, "OC"},
      {15, "Barbados", "Bridg.", 13.0935, -59.6105, 6, "AM"},
      {21, "Bolivia", "Sucre", -19.0421, -65.2559, 2783, "AM"},
      {75, "Iceland", "Reykjavik", 64.1353, -21.8952, 15, "EU"},
      {122, "Netherlands", "Amst", 52.3730, 4.8948, -1, "EU"},
      {123, "New Zealand", "Wellington", -41.3348, 174.8070, 20, "OC"},
      {175, "Tonga", "Nukualofa", -21.1360, -175.2160, 0, "OC"},
      {180, "Tuvalu", "Vaiaku", -8.5167, 179.2167, 0, "OC"},
      {191, "Yemen", "Sanaa", 15.3614, 44.2095, 2253, "AS"},
      {192, "Zambia", "Lusaka", -15.4088, 28.2824, 1270, "AF"},
      {193, "Zimbabwe", "Harare", -17.8292, 31.0540, 1480, "AF"},
  };
  const auto table = Capitals();
  for (const Row& r : rows) {
    const City_Type& city = table[r.number - 1];
    SCOPED_TRACE(r.country);
    EXPECT_STREQ(city.country, r.country);
    EXPECT_STREQ(city.capital, r.capital);
    // Single-precision storage of four-decimal values.
    EXPECT_NEAR(city.latitude, r.latitude, 2e-5);
    EXPECT_NEAR(city.longitude, r.longitude, 2e-5);
    EXPECT_EQ(city.elevation, r.elevation);
    EXPECT_STREQ(city.continent, r.continent);
  }
}

TEST(Capitals, TitlesAreStoredAsShownIncludingAbbreviations) {
  std::map<std::string, std::string> capitalOf;
  for (const City_Type& city : Capitals()) capitalOf[city.country] = city.capital;
  const std::map<std::string, std::string> abbreviated = {
      {"Barbados", "Bridg."},
      {"Benin", "Pto.Novo"},
      {"Antigua and Barbuda", "St.Johns"},
      {"El Salvador", "San Salv."},
      {"Mauritius", "Pt.Louis"},
      {"Slovakia", "Brati."},
      {"Slovenia", "Lju."},
      {"St. Kitts and Nevis", "Bas."},
      {"St. Lucia", "Cas."},
      {"St.Vinc/Grenadines", "Kin."},
      {"Syria", "Dam."},
      {"Netherlands", "Amst"},
      {"Liechtenstein", "V"},
      {"Israel", "Jerus"},
  };
  for (const auto& [country, capital] : abbreviated) {
    EXPECT_EQ(capitalOf[country], capital) << country;
  }
}

// Every row lies on the globe, with the spare field untouched; rows taken from GeoNames sit
// where the capital is (a swapped latitude and longitude would move them far away).
TEST(Capitals, PositionsAreGeographic) {
  for (const City_Type& city : Capitals()) {
    SCOPED_TRACE(city.country);
    EXPECT_GE(city.longitude, -180.0f);
    EXPECT_LE(city.longitude, 180.0f);
    EXPECT_GE(city.latitude, -90.0f);
    EXPECT_LE(city.latitude, 90.0f);
    EXPECT_GE(city.elevation, -100);
    EXPECT_LE(city.elevation, 4000);
    EXPECT_EQ(city.spare, 0);
    // Four decimals at most (within single precision).
    EXPECT_NEAR(city.latitude * 1e4, std::round(city.latitude * 1e4), 0.1);
    EXPECT_NEAR(city.longitude * 1e4, std::round(city.longitude * 1e4), 0.1);
  }
  struct Known {
    const char* country;
    double latitude, longitude;
  };
  const Known known[] = {
      {"Germany", 52.52, 13.41}, {"United States", 38.90, -77.04}, {"Japan", 35.69, 139.69},
      {"Chile", -33.46, -70.65}, {"Israel", 31.77, 35.22},         {"Burundi", -3.38, 29.36},
      {"Fiji", -18.14, 178.43},  {"Samoa", -13.83, -171.77},
  };
  std::map<std::string, const City_Type*> byCountry;
  for (const City_Type& city : Capitals()) byCountry[city.country] = &city;
  for (const Known& k : known) {
    ASSERT_TRUE(byCountry.count(k.country)) << k.country;
    EXPECT_NEAR(byCountry[k.country]->latitude, k.latitude, 0.05) << k.country;
    EXPECT_NEAR(byCountry[k.country]->longitude, k.longitude, 0.05) << k.country;
  }
}

}  // namespace
