// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The region that sees the central phase, as map files carry it: valid rings round either pole,
// closed along the limb where a limit leaves the Earth, and holding every place that sees the
// central phase; lines cut at the 180° meridian.

#include <geos_c.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "central_region.h"
#include "angles.h"
#include "deltat.h"
#include "eclipse_date.h"
#include "eclipse_types.h"
#include "local_circumstances.h"
#include "shadow.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

// Even-odd ray casting over every ring of every polygon, on the longitude/latitude plane.
bool Contains(const std::vector<GeoPolygon>& region, double lat, double lon) {
  bool inside = false;
  for (const GeoPolygon& polygon : region) {
    for (const GeoRing& ring : polygon) {
      for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[j];
        if ((a.latitude > lat) != (b.latitude > lat) &&
            lon < (b.longitude - a.longitude) * (lat - a.latitude) / (b.latitude - a.latitude) +
                      a.longitude) {
          inside = !inside;
        }
      }
    }
  }
  return inside;
}

double SignedArea(const GeoRing& ring) {
  double sum = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += ring[i].longitude * ring[i + 1].latitude - ring[i + 1].longitude * ring[i].latitude;
  }
  return sum / 2;
}

// What is wrong with the region as an RFC 7946 MultiPolygon (empty when nothing): closed rings
// in range, outer rings counter-clockwise and holes clockwise, and GEOS's validity.
std::string Fault(const std::vector<GeoPolygon>& region) {
  GEOSContextHandle_t h = GEOS_init_r();
  std::string fault;
  std::vector<GEOSGeometry*> polygons;
  for (const GeoPolygon& polygon : region) {
    std::vector<GEOSGeometry*> rings;
    for (std::size_t r = 0; r < polygon.size() && fault.empty(); ++r) {
      const GeoRing& ring = polygon[r];
      if (ring.size() < 4 || ring.front().latitude != ring.back().latitude ||
          ring.front().longitude != ring.back().longitude) {
        fault = "unclosed ring";
      } else if ((SignedArea(ring) > 0) != (r == 0)) {
        fault = "ring wound the wrong way";
      }
      GEOSCoordSequence* seq = GEOSCoordSeq_create_r(h, static_cast<unsigned>(ring.size()), 2);
      for (std::size_t i = 0; i < ring.size(); ++i) {
        const GeoPoint& p = ring[i];
        if (!(std::fabs(p.longitude) <= 180 && std::fabs(p.latitude) <= 90)) fault = "out of range";
        GEOSCoordSeq_setXY_r(h, seq, static_cast<unsigned>(i), p.longitude, p.latitude);
      }
      rings.push_back(GEOSGeom_createLinearRing_r(h, seq));
    }
    if (rings.empty()) continue;
    polygons.push_back(GEOSGeom_createPolygon_r(h, rings[0], rings.data() + 1,
                                                static_cast<unsigned>(rings.size() - 1)));
  }
  GEOSGeometry* all = GEOSGeom_createCollection_r(h, GEOS_MULTIPOLYGON, polygons.data(),
                                                  static_cast<unsigned>(polygons.size()));
  if (fault.empty() && GEOSisValid_r(h, all) != 1) {
    char* reason = GEOSisValidReason_r(h, all);
    fault = reason;
    GEOSFree_r(h, reason);
  }
  GEOSGeom_destroy_r(h, all);
  GEOS_finish_r(h);
  return fault;
}

double UtDeltaT(const EclipseRecord& r) { return DeltaT(r.year, r.month); }

TEST(CentralRegion, PathsRoundAPoleAreValidAndHoldThatPole) {
  struct Case {
    int year, month, day;
    int pole;  // +1 north, −1 south, 0 neither
  };
  for (const Case c : {Case{2021, 6, 10, 1}, Case{1939, 4, 19, 1}, Case{1917, 12, 14, -1},
                       Case{2094, 1, 16, -1}, Case{2097, 11, 4, -1}, Case{2024, 4, 8, 0}}) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
    const EclipseRecord r = ShippedRecord(c.year, c.month, c.day);
    const auto region = CentralRegion(r, UtDeltaT(r));
    ASSERT_FALSE(region.empty());
    EXPECT_EQ(Fault(region), "");
    for (double lon : {-179.5, -60.0, 0.0, 100.0, 179.5}) {
      EXPECT_EQ(Contains(region, 89.99, lon), c.pole > 0) << lon;
      EXPECT_EQ(Contains(region, -89.99, lon), c.pole < 0) << lon;
    }
  }
}

// Places drawn at random around the region: every one that sees the central phase with the Sun
// up lies inside, and hardly any inside sees only a partial phase (those lie on the edge).
TEST(CentralRegion, HoldsEveryPlaceThatSeesTheCentralPhase) {
  struct Case {
    int year, month, day;
  };
  for (const Case c : {Case{2003, 5, 31}, Case{2043, 4, 9}, Case{2014, 4, 29}, Case{2021, 6, 10},
                       Case{2024, 4, 8}}) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
    const EclipseRecord r = ShippedRecord(c.year, c.month, c.day);
    const double deltaT = UtDeltaT(r);
    const auto region = CentralRegion(r, deltaT);
    ASSERT_FALSE(region.empty());
    double south = 90, north = -90, west = 180, east = -180;
    for (const GeoPolygon& p : region) {
      for (const GeoPoint& g : p[0]) {
        south = std::min(south, g.latitude);
        north = std::max(north, g.latitude);
        west = std::min(west, g.longitude);
        east = std::max(east, g.longitude);
      }
    }
    std::mt19937_64 random(static_cast<std::uint64_t>(c.year * 10000 + c.month * 100 + c.day));
    std::uniform_real_distribution<double> lat(std::max(-90.0, south - 2), std::min(90.0, north + 2));
    std::uniform_real_distribution<double> lon(west - 2, east + 2);
    int central = 0, insideNotCentral = 0, inside = 0;
    for (int trial = 0; trial < 200000 && central < 600; ++trial) {
      const double phi = lat(random);
      const double lambda = std::remainder(lon(random), 360.0);
      const LocalEclipse e = ComputeLocalEclipse(r, deltaT, phi * kDegToRad, -lambda * kDegToRad,
                                                 ObserverGeocentric(0, phi * kDegToRad));
      const bool sees = e.outcome == LocalOutcome::kEclipse &&
                        e.visible.visibility != Visibility::kNone &&
                        e.visible.greatestKind != EclipseKind::kPartial;
      const bool in = Contains(region, phi, lambda);
      central += sees;
      inside += in;
      insideNotCentral += in && !sees;
      EXPECT_TRUE(!sees || in) << phi << "," << lambda;
    }
    EXPECT_GE(central, 500);
    EXPECT_LT(insideNotCentral, inside / 100 + 2) << inside;
  }
}

// Every eclipse whose umbra or antumbra reaches the Earth from 1900 to 2100: a region, valid.
TEST(CentralRegion, EveryRegionFrom1900To2100IsValid) {
  int regions = 0;
  for (const EclipseRecord& r : ShippedCatalogue().Records()) {
    if (r.year < 1900 || r.year > 2100 || r.typeCode == 1) continue;
    const auto region = CentralRegion(r, UtDeltaT(r));
    EXPECT_EQ(Fault(region), "") << r.year << "-" << r.month << "-" << r.day;
    EXPECT_EQ(region.empty(), !IsCentral(r.typeCode) && r.typeCode != 5 && r.typeCode != 6)
        << r.year << "-" << r.month << "-" << r.day;
    regions += !region.empty();
  }
  EXPECT_GT(regions, 250);
}

TEST(SplitAtAntimeridian, CutsWhereAStepCrossesAndNowhereElse) {
  using Line = std::vector<GeoPoint>;
  // Eastwards across: 170°E at 10°, 170°W at 20° → cut at 180° at 15°.
  auto pieces = SplitAtAntimeridian(Line{{10, 170}, {20, -170}, {30, -160}});
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_DOUBLE_EQ(pieces[0].back().longitude, 180);
  EXPECT_DOUBLE_EQ(pieces[0].back().latitude, 15);
  EXPECT_DOUBLE_EQ(pieces[1].front().longitude, -180);
  EXPECT_DOUBLE_EQ(pieces[1].front().latitude, 15);
  EXPECT_EQ(pieces[1].size(), 3u);
  // Westwards across twice, a quarter of the way and three quarters.
  pieces = SplitAtAntimeridian(Line{{0, -175}, {4, 165}, {8, -175}});
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_DOUBLE_EQ(pieces[0].back().longitude, -180);
  EXPECT_DOUBLE_EQ(pieces[0].back().latitude, 1);
  EXPECT_DOUBLE_EQ(pieces[2].front().latitude, 7);
  // Across the Greenwich meridian: one piece.
  EXPECT_EQ(SplitAtAntimeridian(Line{{0, -5}, {1, 5}}).size(), 1u);
}

}  // namespace
}  // namespace umbrivista

namespace umbrivista {
namespace {

// The band of −584-05-28 for ΔT ± 2σ against each place's own ΔT range: a place lies in the band
// exactly when some ΔT of the range gives it the central phase (up to places on the edge, which
// the range's 10 s steps can miss).
TEST(CentralBand, HoldsThePlacesCentralForSomeDeltaTOfTheRange) {
  const EclipseRecord r = ShippedRecord(-584, 5, 28);
  const double deltaT = DeltaT(r.year, r.month);
  const double sigma = DeltaTSigma(r.year + (r.month - 0.5) / 12);
  const auto band = CentralBand(r, deltaT - 2 * sigma, deltaT + 2 * sigma);
  ASSERT_FALSE(band.empty());
  EXPECT_EQ(Fault(band), "");
  const auto region = CentralRegion(r, deltaT);
  std::mt19937_64 random(584);
  std::uniform_real_distribution<double> lat(30, 48), lon(10, 50);
  int inside = 0, disagree = 0, trials = 300;
  for (int i = 0; i < trials; ++i) {
    const double phi = lat(random), lambda = lon(random);
    const bool some = !CentralDeltaTIntervals(r, phi * kDegToRad, -lambda * kDegToRad,
                                              ObserverGeocentric(0, phi * kDegToRad),
                                              deltaT - 2 * sigma, deltaT + 2 * sigma)
                           .empty();
    const bool in = Contains(band, phi, lambda);
    inside += in;
    disagree += some != in;
    // The band holds the region of the middle ΔT.
    EXPECT_TRUE(!Contains(region, phi, lambda) || in) << phi << "," << lambda;
  }
  EXPECT_GT(inside, 30);
  EXPECT_LE(disagree, trials / 50) << inside;
  // No band wider than the turn: a zero range gives the region itself.
  const auto none = CentralBand(r, deltaT, deltaT);
  EXPECT_EQ(Contains(none, 38.49, 28.04), Contains(region, 38.49, 28.04));
}

// The parts of a ΔT range over which a place sees the central phase, against a plain scan of the
// range in steps of 2 s: places near the greatest-eclipse point of central eclipses from −4000
// to 6000, whose paths the quick leaps across the range must not pass over.
TEST(CentralDeltaT, PartsAgreeWithAPlainScan) {
  auto scan = [](const EclipseRecord& r, double phi, double lonWest, double lowest, double highest) {
    const ObserverConstants o = ObserverGeocentric(0, phi);
    auto sees = [&](double deltaT) {
      const LocalEclipse e = ComputeLocalEclipse(r, deltaT, phi, lonWest, o);
      return e.outcome == LocalOutcome::kEclipse && e.visible.visibility != Visibility::kNone &&
             e.visible.greatestKind != EclipseKind::kPartial;
    };
    auto edge = [&](double in, double out) {
      while (std::fabs(out - in) > 0.005) {
        const double middle = (in + out) / 2;
        (sees(middle) ? in : out) = middle;
      }
      return in;
    };
    std::vector<DeltaTInterval> parts;
    bool previous = sees(lowest);
    double start = lowest;
    for (double last = lowest, next = lowest + 2; last < highest; last = next, next += 2) {
      next = std::min(next, highest);
      const bool now = sees(next);
      if (now && !previous) start = edge(next, last);
      if (!now && previous) parts.push_back({start, edge(last, next)});
      previous = now;
    }
    if (previous) parts.push_back({start, highest});
    return parts;
  };
  const auto& records = ShippedCatalogue().Records();
  int compared = 0, central = 0;
  for (std::size_t i = 0; i < records.size(); i += 97) {
    const EclipseRecord& r = records[i];
    if (!IsCentral(r.typeCode) || r.year < -4000 || r.year > 6000 || compared >= 60) continue;
    const double deltaT = DeltaT(r.year, r.month);
    const GreatestEclipsePlace g = GreatestEclipsePoint(r, deltaT);
    for (const auto& [dLat, dLon] : {std::pair{0.3, 2.0}, std::pair{-1.0, -3.0}, std::pair{4.0, 0.5}}) {
      const double phi = std::clamp(g.latitude + dLat, -89.0, 89.0) * kDegToRad;
      const double lonWest = -(g.longitude + dLon) * kDegToRad;
      const auto quick = CentralDeltaTIntervals(r, phi, lonWest, ObserverGeocentric(0, phi),
                                                deltaT - 600, deltaT + 600);
      const auto plain = scan(r, phi, lonWest, deltaT - 600, deltaT + 600);
      SCOPED_TRACE(std::to_string(r.year) + "-" + std::to_string(r.month));
      ASSERT_EQ(quick.size(), plain.size());
      for (std::size_t k = 0; k < quick.size(); ++k) {
        EXPECT_NEAR(quick[k].from, plain[k].from, 0.02);
        EXPECT_NEAR(quick[k].to, plain[k].to, 0.02);
      }
      central += !plain.empty();
      ++compared;
    }
  }
  EXPECT_GE(compared, 60);
  EXPECT_GT(central, 20);
}

}  // namespace
}  // namespace umbrivista
