// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Checks on the shipped catalogue file as the program reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "catalogue.h"
#include "julian_day.h"
#include "shipped_catalogue.h"

using namespace umbrivista;

namespace {

int PositionOf(int year, int month, int day) {
  const auto& records = ShippedCatalogue().Records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto& r = records[i];
    if (r.year == year && r.month == month && r.day == day) return static_cast<int>(i) + 1;
  }
  return 0;
}

TEST(ShippedCatalogue, CoversTheYearsInDateOrder) {
  const auto& c = ShippedCatalogue();
  EXPECT_NEAR(c.RecordCount(), 28504, 10);
  EXPECT_EQ(c.RecordAt(1).year, -4999);
  EXPECT_EQ(c.RecordAt(c.RecordCount()).year, 7000);
  double previous = -1e9;
  for (const auto& r : c.Records()) {
    ASSERT_GE(r.typeCode, 1);
    ASSERT_LE(r.typeCode, 6);
    ASSERT_GE(r.t0Hour, 0);
    ASSERT_LE(r.t0Hour, 23);
    const double t0 = CalendarToJD(r.year, r.month, r.day, r.t0Hour, 0, 0);
    // Dates are valid calendar dates, in order, roughly a lunation or more apart.
    const CalendarDate back = JDToCalendar(t0);
    ASSERT_EQ(back.year, r.year);
    ASSERT_EQ(back.month, r.month);
    ASSERT_EQ(back.day, r.day);
    ASSERT_GT(t0, previous + 29) << r.year << "-" << r.month << "-" << r.day;
    previous = t0;
    // T0 is the whole hour nearest greatest eclipse.
    ASSERT_NEAR(r.julianDay, t0, 0.3);
    ASSERT_LT(std::abs(r.gamma), 1.6f);
    if (r.typeCode >= 2 && r.typeCode <= 4) {
      ASSERT_LT(std::abs(r.gamma), 1.0f);
    }
    ASSERT_GE(r.sarosMember, 1);
    ASSERT_LE(r.sarosMember, r.sarosMemberCount);
  }
}

TEST(ShippedCatalogue, TwentyFirstCentury) {
  std::map<int, int> kinds;  // 1 partial, 2 total, 3 annular, 4 hybrid
  for (const auto& r : ShippedCatalogue().Records()) {
    if (r.year < 2001 || r.year > 2100) continue;
    ++kinds[r.typeCode == 5 ? 2 : r.typeCode == 6 ? 3 : r.typeCode];
  }
  EXPECT_EQ(kinds[1], 77);
  EXPECT_EQ(kinds[3], 72);
  EXPECT_EQ(kinds[2], 68);
  EXPECT_EQ(kinds[4], 7);

  const int p2024 = PositionOf(2024, 4, 8);
  EXPECT_EQ(p2024, 16690);
  const EclipseRecord& r = ShippedCatalogue().RecordAt(p2024);
  EXPECT_EQ(r.typeCode, 2);
  EXPECT_EQ(r.t0Hour, 18);
  EXPECT_EQ(r.sarosNumber, 139);
  EXPECT_EQ(r.sarosMember, 30);
  EXPECT_EQ(r.sarosMemberCount, 71);

  const int p1999 = PositionOf(1999, 8, 11), p2017 = PositionOf(2017, 8, 21);
  ASSERT_GT(p1999, 0);
  ASSERT_GT(p2017, 0);
  for (auto [position, member] : {std::pair{p1999, 21}, std::pair{p2017, 22}}) {
    EXPECT_EQ(ShippedCatalogue().RecordAt(position).sarosNumber, 145);
    EXPECT_EQ(ShippedCatalogue().RecordAt(position).sarosMember, member);
    EXPECT_EQ(ShippedCatalogue().RecordAt(position).sarosMemberCount, 77);
  }
  EXPECT_EQ(ShippedCatalogue().RecordAt(PositionOf(2023, 4, 20)).typeCode, 4);
  EXPECT_EQ(ShippedCatalogue().RecordAt(PositionOf(2023, 10, 14)).typeCode, 3);
  EXPECT_EQ(ShippedCatalogue().RecordAt(PositionOf(2026, 8, 12)).typeCode, 2);
}

TEST(ShippedCatalogue, SarosSeriesAreWholeAndConsistent) {
  // Within a series, members lie 223 lunations apart and are numbered one after another, and all
  // members agree on the count. reservedInt holds the lunation number.
  struct Seen {
    int lastMember = 0, count = 0, lastLunation = 0;
  };
  std::map<int, Seen> series;
  for (const auto& r : ShippedCatalogue().Records()) {
    auto [it, inserted] = series.try_emplace(r.sarosNumber);
    Seen& s = it->second;
    if (!inserted) {
      ASSERT_EQ(r.sarosMemberCount, s.count) << "Saros " << r.sarosNumber;
      ASSERT_EQ(r.sarosMember, s.lastMember + 1) << "Saros " << r.sarosNumber;
      ASSERT_EQ(r.reservedInt, s.lastLunation + 223) << "Saros " << r.sarosNumber;
    }
    s = {r.sarosMember, r.sarosMemberCount, r.reservedInt};
  }
  // Series numbers run without gaps, except possibly near the ends: a series born just after the
  // last year may carry a smaller number than one born just before it.
  const auto& c = ShippedCatalogue();
  for (int number = c.MinSaros() + 5; number <= c.MaxSaros() - 5; ++number) {
    EXPECT_TRUE(series.count(number)) << "Saros " << number;
  }
  // A series that could have had an earlier (later) member inside the catalogue has none: its
  // first (last) member in the catalogue is member 1 (the last member).
  for (const auto& [number, s] : series) {
    const EclipseRecord& first = c.RecordAt(c.FindBySaros(number));
    if (first.year >= kFirstCatalogueYear + 19) {
      EXPECT_EQ(first.sarosMember, 1) << "Saros " << number;
    }
    const auto last = std::find_if(c.Records().rbegin(), c.Records().rend(),
                                   [&](const EclipseRecord& r) { return r.sarosNumber == number; });
    if (last->year <= kLastCatalogueYear - 19) {
      EXPECT_EQ(last->sarosMember, s.count) << "Saros " << number;
    }
  }
}

TEST(ShippedCatalogue, TextFormConvertsBackToTheSameRecords) {
  std::ostringstream text;
  for (const auto& r : ShippedCatalogue().Records()) text << FormatCatalogueLine(r) << "\n";
  std::istringstream in(text.str());
  const auto parsed = ParseCatalogueText(in, "catalogue text");
  ASSERT_EQ(parsed.size(), ShippedCatalogue().Records().size());
  EXPECT_TRUE(EncodeCatalogue(parsed) == EncodeCatalogue(ShippedCatalogue().Records()));
}

}  // namespace
