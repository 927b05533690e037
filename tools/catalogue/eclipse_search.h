// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// The solar eclipse (if any) at one new moon: its greatest eclipse from the ephemeris, and its
// catalogue record (everything but the Saros fields) from the fitted Besselian elements.

#include <array>
#include <cstdint>

#include "besselian.h"
#include "eclipse_record.h"
#include "ephemeris.h"

namespace umbrivista {

namespace catalogue_tool {

// Lunations are counted from the new moon of 2000-01-06 (lunation 0).
using Lunation = std::int64_t;

// Mean new moon of lunation k, Julian day (TT); within a day of the true one.
double MeanNewMoon(Lunation k);

struct GreatestEclipse {
  double jdTT = 0;         // instant of the shadow axis's least distance from the Earth's centre
  double gamma = 0;        // that distance in Earth radii, with the sign of y
  double penumbraGap = 0;  // least ConeGap of the penumbra near that instant (< 0 when it enters)
  bool eclipse = false;    // the penumbra touches the Earth's ellipsoid
};

// Kind of eclipse and magnitude from fitted elements; tGreatest in hours from T0.
struct Classification {
  int typeCode = 1;       // 1 partial … 6 non-central annular
  double magnitude = 0;   // at greatest eclipse
  double minL2Prime = 0;  // extremes of l2 − ζ·tan f2 along the centre line (central only)
  double maxL2Prime = 0;
};
Classification Classify(const ElementPolynomials& elements, double tGreatest);

struct EclipseSolution {
  EclipseRecord record;    // Saros fields left 0
  double jdGreatest = 0;   // TT
  double jdT0 = 0;         // TT
  ElementPolynomials fit;  // the least-squares cubics before rounding to single precision
  Classification kind;
  // Largest |stored cubic − sampled element| over the samples within ±3.5 h, per element group
  // (x, y, d, μ, l1, l2, tan f1, tan f2; d and μ in degrees).
  std::array<double, 8> residual{};
};

// Samples of the elements: every 10 minutes over ±4 h around T0.
inline constexpr int kSampleCount = 49;
inline constexpr double kSampleHalfSpan = 4.0;  // hours
inline constexpr double kResidualHalfSpan = 3.5;

class EclipseFinder {
 public:
  explicit EclipseFinder(Ephemeris& ephemeris) : ephemeris_(ephemeris) {}

  // Greatest eclipse of lunation k and whether the penumbra reaches the Earth.
  GreatestEclipse FindGreatest(Lunation k);

  // The whole record of an eclipse found by FindGreatest.
  EclipseSolution Solve(Lunation k, const GreatestEclipse& greatest);

  // TT calendar date and hour of T0, the whole hour nearest greatest eclipse.
  static void T0Of(double jdGreatest, std::int32_t& year, std::int32_t& month, std::int32_t& day,
                   std::int32_t& hour);

 private:
  Elements ElementsAt(double jdTT, bool withSiderealTime);
  Ephemeris& ephemeris_;
};

}  // namespace catalogue_tool

}  // namespace umbrivista
