// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// Computes the eclipse catalogue for a range of years: every new moon whose penumbra touches
// the Earth, in date order, with its Saros series counted over the whole series.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "eclipse_record.h"

namespace umbrivista {

namespace catalogue_tool {

struct GeneratorOptions {
  int firstYear = -4999;  // TT calendar year of T0, astronomical numbering
  int lastYear = 7000;
  int threads = 2;
  // Years searched densely beyond both ends so that every Saros series is seen whole. With 0,
  // the series that reach beyond the range are followed member by member instead (slower per
  // lunation, but only a few lunations for a short range).
  int sarosMarginYears = 1600;
  std::string ephemerisPath = UMBRIVISTA_EPHEMERIS_DIR;
};

struct GeneratorResult {
  std::vector<EclipseRecord> records;  // date order
  // Largest |stored cubic − sampled element| within ±3.5 h of T0 over all records, per group
  // (x, y, d, μ, l1, l2, tan f1, tan f2; d and μ in degrees), and the record where x and y peak.
  std::array<double, 8> maxResidual{};
  std::array<std::size_t, 2> maxResidualIndex{};
  std::int64_t lunationsSearched = 0;
  std::int64_t eclipsesSearched = 0;   // eclipses found in the whole search, range or not
  std::int64_t lunationsFollowed = 0;  // lunations computed while following series
  // Anything that makes the Saros data doubtful: a series split between two numbers, a gap in a
  // series, a series longer than 255 members, a series not seen whole in the dense search.
  std::vector<std::string> problems;
};

// Throws EphemerisError (or std::runtime_error) when the ephemeris cannot answer.
GeneratorResult GenerateCatalogue(const GeneratorOptions& options);

}  // namespace catalogue_tool

}  // namespace umbrivista
