// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#include "eclipse_search.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "angles.h"
#include "golden.h"
#include "julian_day.h"

namespace umbrivista {

namespace catalogue_tool {

namespace {

constexpr double kDegreesPerRadian = kRadToDeg;

// A lunation whose axis passes farther than this from the Earth's centre has no eclipse: the
// penumbra is never wider than 0.58 Earth radii.
constexpr double kHopelessGamma = 1.7;
// Penumbra gaps this small are refined by searching the instant of least gap.
constexpr double kBorderlineGap = 1e-3;

// Narrows [lo, hi], where f changes sign, to the crossing; returns the final lo when keepLo,
// else the final hi (so the caller picks the side of the crossing it needs).
template <typename F>
double Bisect(F f, double lo, double hi, bool keepLo) {
  const bool loPositive = f(lo) > 0;
  for (int i = 0; i < 60; ++i) {
    const double mid = 0.5 * (lo + hi);
    if ((f(mid) > 0) == loPositive) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return keepLo ? lo : hi;
}

Vec3 Advance(const Vec3& p, const Vec3& v, double dt) {
  return {p[0] + v[0] * dt, p[1] + v[1] * dt, p[2] + v[2] * dt};
}

}  // namespace

double MeanNewMoon(Lunation k) {
  const double kk = static_cast<double>(k);
  const double t = kk / 1236.85;
  return 2451550.09766 + 29.530588861 * kk +
         t * t * (0.00015437 + t * (-0.000000150 + t * 0.00000000073));
}

Elements EclipseFinder::ElementsAt(double jdTT, bool withSiderealTime) {
  const SunMoon p = ephemeris_.Positions(jdTT, false);
  const double theta =
      withSiderealTime ? ApparentSiderealTime(jdTT, ephemeris_.NutationAt(jdTT)) : 0.0;
  return ComputeElements(p.sun.position, p.moon.position, theta);
}

GreatestEclipse EclipseFinder::FindGreatest(Lunation k) {
  // Newton's method on the squared axis distance P(t); its derivatives come from the positions
  // and velocities at the current estimate, moved along straight lines by ±h.
  constexpr double h = 0.001;  // days
  double jd = MeanNewMoon(k);
  bool converged = false;
  for (int iteration = 0; iteration < 30 && !converged; ++iteration) {
    const SunMoon p = ephemeris_.Positions(jd, true);
    auto distance = [&](double dt) {
      return AxisDistanceSquared(Advance(p.sun.position, p.sun.velocity, dt),
                                 Advance(p.moon.position, p.moon.velocity, dt));
    };
    const double before = distance(-h), now = distance(0), after = distance(h);
    const double slope = (after - before) / (2 * h);
    const double curvature = (after - 2 * now + before) / (h * h);
    if (!(curvature > 0)) break;
    const double step = std::clamp(-slope / curvature, -2.0, 2.0);
    jd += step;
    converged = std::abs(step) < 1e-8;
  }
  if (!converged || std::abs(jd - MeanNewMoon(k)) > 2.0) {
    throw EphemerisError("no closest approach of the shadow axis found for lunation " +
                         std::to_string(k));
  }

  GreatestEclipse g;
  g.jdTT = jd;
  const Elements e = ElementsAt(jd, false);
  const double distance = std::hypot(e.x, e.y);
  g.gamma = e.y < 0 ? -distance : distance;
  if (distance > kHopelessGamma) {
    g.penumbraGap = distance - 1.0 - e.l1;
    g.eclipse = false;
    return g;
  }
  double gap = ConeGap(e.x, e.y, e.d, e.l1, e.tanF1);
  if (std::abs(gap) < kBorderlineGap) {
    auto gapAt = [&](double t) {
      const Elements s = ElementsAt(t, false);
      return ConeGap(s.x, s.y, s.d, s.l1, s.tanF1);
    };
    const double window = 0.25 / 24.0;
    const double best = GoldenMinimum(gapAt, jd - window, jd + window, 30).arg;
    gap = std::min(gap, gapAt(best));
  }
  g.penumbraGap = gap;
  g.eclipse = gap <= 0;
  return g;
}

void EclipseFinder::T0Of(double jdGreatest, std::int32_t& year, std::int32_t& month,
                         std::int32_t& day, std::int32_t& hour) {
  const double hours = std::round((jdGreatest - 0.5) * 24.0);
  const CalendarDate date = JDToCalendar(hours / 24.0 + 0.5);
  if (date.minutes != 0 || date.seconds != 0) {
    throw EphemerisError("T0 does not fall on a whole hour");
  }
  year = date.year;
  month = date.month;
  day = date.day;
  hour = static_cast<std::int32_t>(date.hours);
}

Classification Classify(const ElementPolynomials& p, double tGreatest) {
  Classification result;
  auto outline = [&](double t) {
    const Elements e = p.At(t);
    return OutlineMeasure(e.x, e.y, e.d);
  };
  const Elements greatest = p.At(tGreatest);

  // Magnitude at greatest eclipse: on the axis when it meets the Earth, else at the point of the
  // Earth's outline nearest the axis.
  if (auto zeta = AxisEntryZeta(greatest.x, greatest.y, greatest.d)) {
    const double l1 = greatest.l1 - *zeta * greatest.tanF1;
    const double l2 = greatest.l2 - *zeta * greatest.tanF2;
    result.magnitude = (l1 - l2) / (l1 + l2);
  } else {
    const double distance = ConeGap(greatest.x, greatest.y, greatest.d, 0, 0);
    result.magnitude = (greatest.l1 - distance) / (greatest.l1 + greatest.l2);
  }

  const double tClosest = GoldenMinimum(outline, tGreatest - 1, tGreatest + 1, 60).arg;
  if (outline(tClosest) <= 1) {
    // Central: the sign of L2' = l2 − ζ·tan f2 along the whole centre line.
    auto outside = [&](double t) { return outline(t) - 1; };
    if (outside(-kSampleHalfSpan) <= 0 || outside(kSampleHalfSpan) <= 0) {
      throw EphemerisError("centre line reaches the end of the fitted span");
    }
    const double tIn = Bisect(outside, -kSampleHalfSpan, tClosest, false);
    const double tOut = Bisect(outside, tClosest, kSampleHalfSpan, true);
    auto l2Prime = [&](double t) {
      const Elements e = p.At(t);
      return e.l2 - AxisEntryZeta(e.x, e.y, e.d, 1e-12).value_or(0.0) * e.tanF2;
    };
    const int intervals = std::max(2, static_cast<int>(std::ceil((tOut - tIn) * 60)));
    const double step = (tOut - tIn) / intervals;
    int lowest = 0, highest = 0;
    double low = l2Prime(tIn), high = low;
    for (int i = 1; i <= intervals; ++i) {
      const double value = l2Prime(i == intervals ? tOut : tIn + i * step);
      if (value < low) low = value, lowest = i;
      if (value > high) high = value, highest = i;
    }
    auto around = [&](int i) {
      return std::pair{tIn + std::max(0, i - 1) * step, tIn + std::min(intervals, i + 1) * step};
    };
    if (lowest > 0 && lowest < intervals) {
      auto [a, b] = around(lowest);
      low = std::min(low, l2Prime(GoldenMinimum(l2Prime, a, b, 40).arg));
    }
    if (highest > 0 && highest < intervals) {
      auto [a, b] = around(highest);
      auto negated = [&](double t) { return -l2Prime(t); };
      high = std::max(high, l2Prime(GoldenMinimum(negated, a, b, 40).arg));
    }
    result.minL2Prime = low;
    result.maxL2Prime = high;
    result.typeCode = high < 0 ? 2 : low >= 0 ? 3 : 4;
    return result;
  }

  // Not central: does the umbra or antumbra reach the ellipsoid?
  auto umbraGap = [&](double t) {
    const Elements e = p.At(t);
    const double sign = e.l2 < 0 ? -1.0 : 1.0;
    return ConeGap(e.x, e.y, e.d, std::abs(e.l2), sign * e.tanF2);
  };
  const double tUmbra = GoldenMinimum(umbraGap, tGreatest - 1, tGreatest + 1, 50).arg;
  if (umbraGap(tUmbra) <= 0) {
    result.typeCode = p.At(tUmbra).l2 < 0 ? 5 : 6;
  } else {
    result.typeCode = 1;
  }
  return result;
}

EclipseSolution EclipseFinder::Solve(Lunation k, const GreatestEclipse& greatest) {
  EclipseSolution s;
  s.jdGreatest = greatest.jdTT;
  EclipseRecord& r = s.record;
  T0Of(greatest.jdTT, r.year, r.month, r.day, r.t0Hour);
  s.jdT0 = CalendarToJD(r.year, r.month, r.day, r.t0Hour, 0, 0);

  std::array<double, kSampleCount> t{};
  std::array<std::array<double, kSampleCount>, 8> v{};
  for (int i = 0; i < kSampleCount; ++i) {
    t[i] = -kSampleHalfSpan + 2 * kSampleHalfSpan * i / (kSampleCount - 1);
    const Elements e = ElementsAt(s.jdT0 + t[i] / 24.0, true);
    double mu = e.mu * kDegreesPerRadian;
    if (i > 0) mu -= 360.0 * std::round((mu - v[3][i - 1]) / 360.0);
    const double values[8] = {e.x, e.y, e.d * kDegreesPerRadian, mu, e.l1, e.l2, e.tanF1, e.tanF2};
    for (int g = 0; g < 8; ++g) v[g][i] = values[g];
  }
  for (int g = 0; g < 8; ++g) s.fit.c[g] = FitCubic(t, v[g]);
  s.fit.c[3][0] -= 360.0 * std::floor(s.fit.c[3][0] / 360.0);

  float(EclipseRecord::*groups[8])[4] = {
      &EclipseRecord::x,  &EclipseRecord::y,  &EclipseRecord::d,     &EclipseRecord::mu,
      &EclipseRecord::l1, &EclipseRecord::l2, &EclipseRecord::tanF1, &EclipseRecord::tanF2};
  ElementPolynomials stored;
  for (int g = 0; g < 8; ++g) {
    for (int c = 0; c < 4; ++c) {
      (r.*groups[g])[c] = static_cast<float>(s.fit.c[g][c]);
      stored.c[g][c] = (r.*groups[g])[c];
    }
  }
  for (int i = 0; i < kSampleCount; ++i) {
    if (std::abs(t[i]) > kResidualHalfSpan) continue;
    for (int g = 0; g < 8; ++g) {
      double difference = EvaluateCubic(r.*groups[g], t[i]) - v[g][i];
      if (g == 3) difference -= 360.0 * std::round(difference / 360.0);
      s.residual[g] = std::max(s.residual[g], std::abs(difference));
    }
  }

  s.kind = Classify(stored, (greatest.jdTT - s.jdT0) * 24.0);
  r.typeCode = s.kind.typeCode;
  r.reservedReal = static_cast<float>(s.kind.magnitude);
  r.gamma = static_cast<float>(greatest.gamma);
  r.julianDay = static_cast<float>(greatest.jdTT);
  r.reservedInt = static_cast<std::int32_t>(k);
  return s;
}

}  // namespace catalogue_tool

}  // namespace umbrivista
