// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "local_circumstances.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "angles.h"
#include "deltat.h"
#include "julian_day.h"
#include "numbers.h"
#include "shadow.h"

namespace umbrivista {

namespace {

// Equatorial radius in metres (IAU 1976): the observer's height is added in units of the
// equatorial radius, the unit of ρ sin φ′ and ρ cos φ′.
constexpr double kObserverEarthRadiusM = 6378140;
constexpr double kConvergence = 1e-6;  // hours
// An iteration that settles farther than kMaxHoursFromT0 from T0 has run away on the
// polynomials' growth (contacts 1e64 hours from T0 were seen) and counts as not settled.
constexpr int kMaxSteps = 50;

// Elements and observer terms at one trial instant.
struct Trial {
  double u, v, a, b, n2, n;
  double l1Local, l2Local;
  double sinD, cosD, hourAngle, eta;
};

class Evaluator {
 public:
  Evaluator(const EclipseRecord& r, double deltaT, double longitudeWest, const ObserverConstants& o)
      : r_(r), o_(o) {
    muRate_ = r.mu[1] * kDegToRad;
    dRate_ = r.d[1] * kDegToRad;
    hourAngleOffset_ = -longitudeWest - kEarthRotationDegPerSecond * deltaT * kDegToRad;
  }

  // The Sun's apparent radius at t, as seen from the Moon (0.26 % larger than from the Earth).
  double SunSemidiameter(double t) const {
    return (std::atan(EvaluateCubic(r_.tanF1, t)) + std::atan(EvaluateCubic(r_.tanF2, t))) / 2;
  }

  // The Sun's hour angle and the sine of its geometric altitude at t, without the rest of a trial.
  double HourAngle(double t) const { return EvaluateCubic(r_.mu, t) * kDegToRad + hourAngleOffset_; }
  double SinAltitude(double t, double latitude) const {
    const double d = EvaluateCubic(r_.d, t) * kDegToRad;
    return std::sin(latitude) * std::sin(d) +
           std::cos(latitude) * std::cos(d) * std::cos(HourAngle(t));
  }

  Trial At(double t) const {
    Trial e;
    const double x = EvaluateCubic(r_.x, t);
    const double y = EvaluateCubic(r_.y, t);
    const double d = EvaluateCubic(r_.d, t) * kDegToRad;
    const double mu = EvaluateCubic(r_.mu, t) * kDegToRad;
    const double l1 = EvaluateCubic(r_.l1, t);
    const double l2 = EvaluateCubic(r_.l2, t);
    const double tanF1 = EvaluateCubic(r_.tanF1, t);
    const double tanF2 = EvaluateCubic(r_.tanF2, t);
    const double xRate = r_.x[1] + 2.0 * r_.x[2] * t + 3.0 * r_.x[3] * t * t;
    const double yRate = r_.y[1] + 2.0 * r_.y[2] * t + 3.0 * r_.y[3] * t * t;
    e.sinD = std::sin(d);
    e.cosD = std::cos(d);
    e.hourAngle = mu + hourAngleOffset_;
    const double sinH = std::sin(e.hourAngle), cosH = std::cos(e.hourAngle);
    const double xi = o_.rhoCosPhi * sinH;
    e.eta = o_.rhoSinPhi * e.cosD - o_.rhoCosPhi * cosH * e.sinD;
    const double zeta = o_.rhoSinPhi * e.sinD + o_.rhoCosPhi * cosH * e.cosD;
    const double xiRate = muRate_ * o_.rhoCosPhi * cosH;
    const double etaRate = muRate_ * xi * e.sinD - zeta * dRate_;
    e.u = x - xi;
    e.v = y - e.eta;
    e.a = xRate - xiRate;
    e.b = yRate - etaRate;
    e.l1Local = l1 - zeta * tanF1;
    e.l2Local = l2 - zeta * tanF2;
    e.n2 = e.a * e.a + e.b * e.b;
    e.n = std::sqrt(e.n2);
    return e;
  }

 private:
  const EclipseRecord& r_;
  const ObserverConstants& o_;
  double muRate_, dRate_, hourAngleOffset_;
};

bool Finite(double v) {
  return std::isfinite(v);
}

// Greatest eclipse by fixed-point iteration from t = 0; false when it does not settle (or
// settles too far from T0).
bool IterateGreatest(const Evaluator& ev, double& t, Trial& last) {
  t = 0;
  for (int step = 0; step < kMaxSteps; ++step) {
    last = ev.At(t);
    const double tau = -(last.u * last.a + last.v * last.b) / last.n2;
    if (!Finite(tau)) return false;
    t += tau;
    if (std::fabs(tau) < kConvergence) return std::fabs(t) <= kMaxHoursFromT0;
  }
  return false;
}

// A contact of the shadow cone with radius L (L1′ or L2′ by `inner`), on the side `sign` (+1 or
// −1) of greatest eclipse, from the start instant t; false when it does not settle (or settles
// too far from T0).
bool IterateContact(const Evaluator& ev, bool inner, double sign, double& t, Trial& last) {
  for (int step = 0; step < kMaxSteps; ++step) {
    last = ev.At(t);
    const double radius = inner ? last.l2Local : last.l1Local;
    const double s = (last.a * last.v - last.u * last.b) / (last.n * radius);
    double tau = 0;
    if (s > -1 && s < 1) {
      tau = -(last.u * last.a + last.v * last.b) / last.n2 +
            sign * (radius / last.n) * std::sqrt(1 - s * s);
    }
    if (!Finite(tau)) return false;
    t += tau;
    if (std::fabs(tau) < kConvergence) return std::fabs(t) <= kMaxHoursFromT0;
  }
  return false;
}

// Sine of the Sun's geometric altitude at a trial instant.
double SinSunAltitude(const Trial& e, double latitude) {
  return std::clamp(
      std::sin(latitude) * e.sinD + std::cos(latitude) * e.cosD * std::cos(e.hourAngle), -1.0, 1.0);
}

// What the observer sees at a trial instant: magnitude, obscuration and kind.
struct Phase {
  double magnitude = 0;
  double obscuration = 0;
  EclipseKind kind = EclipseKind::kPartial;
};

Phase PhaseAt(const Trial& e) {
  Phase out;
  const double m = std::sqrt(e.u * e.u + e.v * e.v);
  out.magnitude = (e.l1Local - m) / (e.l1Local + e.l2Local);
  if (std::fabs(e.l2Local) > m) {
    out.kind = e.l2Local >= 0 ? EclipseKind::kAnnular : EclipseKind::kTotal;
  }
  out.obscuration =
      out.kind == EclipseKind::kTotal
          ? 1
          : Obscuration(out.magnitude, (e.l1Local - e.l2Local) / (e.l1Local + e.l2Local));
  return out;
}

void StoreAngles(const Trial& e, double latitude, int slot, LocalCircumstances& lc) {
  const double p = NonNegativeRemainder(ArcTan2(e.u, e.v), kTwoPi);
  const double sinAlt = SinSunAltitude(e, latitude);
  const double cosAlt = std::sqrt(1 - sinAlt * sinAlt);
  const double sinQ = std::clamp(std::sin(e.hourAngle) * std::cos(latitude) / cosAlt, -1.0, 1.0);
  double cosQ = std::sqrt(1 - sinQ * sinQ);
  if (e.eta < 0) cosQ = -cosQ;
  lc.positionAngle[slot] = p;
  lc.vertexAngle[slot] = VertexAngle(p, ArcTan2(sinQ, cosQ));
  lc.sunAltitude[slot] = std::asin(sinAlt);
  // Azimuth from north through east; the hour angle counts westwards.
  const double sinH = std::sin(e.hourAngle), cosH = std::cos(e.hourAngle);
  lc.sunAzimuth[slot] = NonNegativeRemainder(
      ArcTan2(-e.cosD * sinH,
              e.sinD * std::cos(latitude) - e.cosD * cosH * std::sin(latitude)),
      kTwoPi);
  lc.radiusRatio[slot] = (e.l1Local - e.l2Local) / (e.l1Local + e.l2Local);
  lc.centreDistance[slot] = 2 * std::sqrt(e.u * e.u + e.v * e.v) / (e.l1Local + e.l2Local);
  lc.computed[slot] = true;
}

}  // namespace

ObserverConstants ObserverGeocentric(std::int32_t heightMetres, double latitude) {
  const double u = std::atan(kEarthAxisRatio * std::sin(latitude) / std::cos(latitude));
  const double h = heightMetres / kObserverEarthRadiusM;
  return {kEarthAxisRatio * std::sin(u) + h * std::sin(latitude),
          std::cos(u) + h * std::cos(latitude)};
}

std::optional<ClosestApproach> ComputeClosestApproach(const EclipseRecord& r, double deltaT,
                                                      double longitudeWest,
                                                      const ObserverConstants& observer) {
  if (!Finite(deltaT) || !Finite(longitudeWest) || !Finite(observer.rhoSinPhi) ||
      !Finite(observer.rhoCosPhi)) {
    return std::nullopt;
  }
  double t;
  Trial g;
  if (!IterateGreatest(Evaluator(r, deltaT, longitudeWest, observer), t, g)) return std::nullopt;
  return ClosestApproach{t, g.u, g.v, g.l2Local};
}

namespace {

bool FiniteInput(double deltaT, double latitude, double longitudeWest,
                 const ObserverConstants& observer) {
  return Finite(deltaT) && Finite(latitude) && Finite(longitudeWest) &&
         Finite(observer.rhoSinPhi) && Finite(observer.rhoCosPhi);
}

// The circumstances, or nullopt with the reason in `outcome`.
std::optional<LocalCircumstances> Circumstances(const Evaluator& ev, double latitude,
                                                LocalOutcome& outcome) {
  outcome = LocalOutcome::kNotSettled;
  double tMax;
  Trial g;
  if (!IterateGreatest(ev, tMax, g)) return std::nullopt;
  const Phase greatest = PhaseAt(g);
  if (!Finite(greatest.magnitude)) return std::nullopt;
  if (!(greatest.magnitude >= 0)) {
    outcome = LocalOutcome::kOutsidePenumbra;
    return std::nullopt;
  }

  LocalCircumstances out;
  out.magnitude = greatest.magnitude;
  out.kind = greatest.kind;
  out.obscuration = greatest.obscuration;
  out.contactTime[kMax] = tMax;
  out.sunSemidiameter = ev.SunSemidiameter(tMax);
  StoreAngles(g, latitude, kMax, out);

  // Outer contacts.
  const double s1 = (g.a * g.v - g.u * g.b) / (g.n * g.l1Local);
  const double delta1 = (g.l1Local / g.n) * std::sqrt(std::max(0.0, 1 - s1 * s1));
  for (auto [slot, sign] : {std::pair{kC1, -1.0}, std::pair{kC4, 1.0}}) {
    double t = tMax + sign * delta1;
    Trial e;
    if (!IterateContact(ev, false, sign, t, e)) return std::nullopt;
    out.contactTime[slot] = t;
    StoreAngles(e, latitude, slot, out);
  }

  // Inner contacts, started from the same greatest eclipse (every trial carries L2′ as well as
  // L1′). The first iteration (start after Max) gives C2 of a total and C3 of an annular phase,
  // because L2′ changes sign between the two.
  if (out.kind != EclipseKind::kPartial) {
    const double s2 = (g.a * g.v - g.u * g.b) / (g.n * g.l2Local);
    const double delta2 = (g.l2Local / g.n) * std::sqrt(std::max(0.0, 1 - s2 * s2));
    const bool total = out.kind == EclipseKind::kTotal;
    for (auto [sign, totalSlot, annularSlot] :
         {std::tuple{1.0, kC2, kC3}, std::tuple{-1.0, kC3, kC2}}) {
      double t = tMax + sign * delta2;
      Trial e;
      if (!IterateContact(ev, true, sign, t, e)) return std::nullopt;
      const int slot = total ? totalSlot : annularSlot;
      out.contactTime[slot] = t;
      StoreAngles(e, latitude, slot, out);
      if (total) {
        // The contact point lies on the far side of the Moon's disc.
        out.positionAngle[slot] = NonNegativeRemainder(out.positionAngle[slot] + kPi, kTwoPi);
        out.vertexAngle[slot] = NonNegativeRemainder(out.vertexAngle[slot] + kPi, kTwoPi);
      }
    }
  }
  outcome = LocalOutcome::kEclipse;
  return out;
}

// Bisection to kHorizonPrecision between lo and hi, where `above(lo)` differs from `above(hi)`;
// the instant half-way between the last two trials.
constexpr double kHorizonPrecision = 1e-7;  // hours

template <typename Above>
double Crossing(double lo, double hi, const Above& above, double precision = kHorizonPrecision) {
  const bool atLo = above(lo);
  for (int step = 0; step < 64 && hi - lo > precision; ++step) {
    const double mid = (lo + hi) / 2;
    (above(mid) == atLo ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

// The part of the eclipse from C1 to C4 with the Sun above the horizon. The altitude is sampled
// at C1, greatest eclipse, C4, every hour and at each culmination of the Sun (hour
// angle a multiple of π); between two culminations the altitude rises or falls monotonically, so
// every horizon crossing lies between two neighbouring samples of unlike sign and none is missed.
VisiblePart FindVisiblePart(const Evaluator& ev, double latitude, const LocalCircumstances& lc) {
  const double c1 = lc.contactTime[kC1], c4 = lc.contactTime[kC4], tMax = lc.contactTime[kMax];
  const auto above = [&](double t) { return ev.SinAltitude(t, latitude) > 0; };

  std::vector<double> samples{c1, tMax, c4};
  if (c4 > c1) {
    const double span = c4 - c1;
    const int steps = std::clamp(static_cast<int>(std::ceil(span / 1.0)), 1, 400);
    for (int i = 1; i < steps; ++i) samples.push_back(c1 + span * i / steps);
    const double h1 = ev.HourAngle(c1), h4 = ev.HourAngle(c4);
    if (h4 > h1 && h4 - h1 < 8 * kPi) {
      for (double k = std::floor(h1 / kPi) + 1; k * kPi < h4; ++k) {
        // A culmination found to 0.4 s: the altitude there differs from the extreme by far less
        // than any crossing could hide in.
        samples.push_back(
            Crossing(c1, c4, [&](double t) { return ev.HourAngle(t) >= k * kPi; }, 1e-4));
      }
    }
  }
  std::sort(samples.begin(), samples.end());

  VisiblePart out;
  struct Interval {
    double from, to;
  };
  std::vector<Interval> seen;
  bool wasAbove = above(samples.front());
  double from = samples.front();
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const bool isAbove = above(samples[i]);
    if (isAbove == wasAbove) continue;
    const double t = Crossing(samples[i - 1], samples[i], above);
    if (isAbove) {
      if (!out.hasSunrise) out.sunrise = t;
      out.hasSunrise = true;
      from = t;
    } else {
      if (!out.hasSunset) out.sunset = t;
      out.hasSunset = true;
      seen.push_back({from, t});
    }
    wasAbove = isAbove;
  }
  if (wasAbove) seen.push_back({from, samples.back()});
  if (seen.empty()) return out;

  out.visibility = out.hasSunrise && out.hasSunset ? Visibility::kSunriseAndSunset
                   : out.hasSunrise                ? Visibility::kSunrise
                   : out.hasSunset                 ? Visibility::kSunset
                                                   : Visibility::kFull;
  // The magnitude grows towards greatest eclipse and falls after it, so the greatest seen lies in
  // each interval at the instant nearest to greatest eclipse.
  bool first = true;
  for (const Interval& part : seen) {
    if (part.from <= tMax && tMax <= part.to && above(tMax)) {
      out.maximumVisible = true;
      out.greatestTime = tMax;
      out.greatestMagnitude = lc.magnitude;
      out.greatestObscuration = lc.obscuration;
      out.greatestKind = lc.kind;
      out.greatestSunAltitude = lc.sunAltitude[kMax];
      return out;
    }
    const double t = std::clamp(tMax, part.from, part.to);
    const Trial e = ev.At(t);
    const Phase phase = PhaseAt(e);
    const double magnitude = std::max(0.0, phase.magnitude);
    if (first || magnitude > out.greatestMagnitude) {
      out.greatestTime = t;
      out.greatestMagnitude = magnitude;
      out.greatestObscuration = std::max(0.0, phase.obscuration);
      out.greatestKind = phase.kind;
      out.greatestSunAltitude = std::asin(SinSunAltitude(e, latitude));
      first = false;
    }
  }
  return out;
}

}  // namespace

std::optional<LocalCircumstances> ComputeLocalCircumstances(const EclipseRecord& r, double deltaT,
                                                            double latitude, double longitudeWest,
                                                            const ObserverConstants& observer) {
  if (!FiniteInput(deltaT, latitude, longitudeWest, observer)) return std::nullopt;
  LocalOutcome outcome;
  return Circumstances(Evaluator(r, deltaT, longitudeWest, observer), latitude, outcome);
}

LocalEclipse ComputeLocalEclipse(const EclipseRecord& r, double deltaT, double latitude,
                                 double longitudeWest, const ObserverConstants& observer) {
  LocalEclipse out;
  if (!FiniteInput(deltaT, latitude, longitudeWest, observer)) return out;
  const Evaluator ev(r, deltaT, longitudeWest, observer);
  const auto lc = Circumstances(ev, latitude, out.outcome);
  if (!lc) return out;
  out.circumstances = *lc;
  out.visible = FindVisiblePart(ev, latitude, *lc);
  return out;
}

std::string FormatForKind(double fraction, double scale, int decimals, EclipseKind kind) {
  const double shown = fraction * scale;
  std::string text = FormatFixed(shown, decimals);
  const auto rounded = ParseReal(text);
  if (!rounded || !Finite(shown)) return text;
  if (kind == EclipseKind::kTotal) {
    if (*rounded < scale) return FormatFixed(scale, decimals);
  } else if (*rounded >= scale) {
    return FormatFixed(scale - std::pow(10.0, -decimals), decimals);
  }
  return text;
}

char EclipseKindLetter(EclipseKind kind, Language language) {
  if (!IsKnownLanguage(language)) return 0;
  switch (kind) {
    case EclipseKind::kTotal:
      return 't';
    case EclipseKind::kAnnular:
      return language == Language::kGerman ? 'r' : 'a';
    case EclipseKind::kPartial:
      break;
  }
  return 'p';
}

double ApparentAltitude(double geometric) {
  const double h = geometric * 180 / kPi;
  if (!(h >= -1)) return geometric;
  const double refractionArcmin = 1.02 / std::tan((h + 10.3 / (h + 5.11)) * kPi / 180);
  return geometric + refractionArcmin / 60 * kPi / 180;
}

double VertexAngle(double p, double q) {
  double v = p - q;
  if (!std::isfinite(v)) return v;
  // p and q come from the angle helpers, so one turn is enough; anything else is reduced.
  if (v < 0) v += kTwoPi;
  if (v > kTwoPi) v -= kTwoPi;
  if (v < 0 || v > kTwoPi) v = NonNegativeRemainder(v, kTwoPi);
  return v;
}

double Obscuration(double magnitude, double radiusRatio) {
  const double k = radiusRatio;
  if (!(magnitude > 0) || !(k > 0) || !std::isfinite(k)) return 0;
  const double s = 1 + k - 2 * magnitude;  // distance of the centres, solar radii
  if (s >= 1 + k) return 0;
  if (s <= k - 1) return 1;
  if (s <= 1 - k) return k * k;
  const double atSun = std::acos(std::clamp((s * s + 1 - k * k) / (2 * s), -1.0, 1.0));
  const double atMoon = std::acos(std::clamp((s * s + k * k - 1) / (2 * s * k), -1.0, 1.0));
  const double kite =
      std::sqrt(std::max(0.0, (-s + 1 + k) * (s + 1 - k) * (s - 1 + k) * (s + 1 + k)));
  return std::clamp((atSun + k * k * atMoon - kite / 2) / kPi, 0.0, 1.0);
}

double CentralDurationMinutes(const LocalCircumstances& lc) {
  return (lc.contactTime[kC3] - lc.contactTime[kC2]) * 60;
}

UTInstant ContactUT(const EclipseRecord& r, double deltaT, double t, const UTInstant* sameDayAs) {
  UTInstant out;
  const double hours = r.t0Hour + t - deltaT / 3600;
  out.julianDay = CalendarToJD(r.year, r.month, r.day, 0, 0, 0) + hours / 24;
  // The date is taken at noon of the civil day the instant falls in, so that it always agrees
  // with the time of day below.
  const double noon = std::floor(out.julianDay + 0.5);
  if (sameDayAs && std::floor(sameDayAs->julianDay + 0.5) == noon) {
    out.year = sameDayAs->year;
    out.month = sameDayAs->month;
    out.day = sameDayAs->day;
  } else {
    const CalendarDate date = JDToCalendar(noon);
    out.year = date.year;
    out.month = date.month;
    out.day = date.day;
  }
  out.hours = NonNegativeRemainder(out.julianDay + 0.5, 1) * 24;
  return out;
}

std::vector<DeltaTInterval> CentralDeltaTIntervals(const EclipseRecord& record, double latitude,
                                                   double longitudeWest,
                                                   const ObserverConstants& observer,
                                                   double lowest, double highest) {
  std::vector<DeltaTInterval> out;
  if (!std::isfinite(lowest) || !std::isfinite(highest) || highest < lowest) return out;
  // A change of ΔT by δ turns the place by ω·δ along its parallel, which moves it on the
  // fundamental plane by at most speed·δ Earth radii (speed = ω·ρcos φ′) and changes its umbral
  // radius by far less. So where the place passes outside the umbra by g at its closest approach,
  // it stays outside while δ < g/speed, with 0.002 off g because the umbral radius at other
  // instants may exceed that at greatest eclipse a little (it changes by about 0.001 an hour, the
  // axis's distance by some 0.5 an hour). Where it passes inside by g with the Sun at altitude h,
  // it stays inside while δ < g/speed, and the Sun stays up while the turn and the shift of
  // greatest eclipse (at most speed·δ/n hours, n the shadow's speed across the place) change h
  // by less than h − 0.03; the same holds for a Sun below the horizon.
  const double omega = kEarthRotationDegPerSecond * kDegToRad;
  const double speed = omega * std::max(std::fabs(observer.rhoCosPhi), 1e-3);
  struct Probe {
    bool sees = false;
    double leap = 0;  // seconds of ΔT either side over which `sees` surely holds
    // Where no long leap is sure: the time the Earth takes to turn the place by the umbra's
    // radius, within 2 … 10 s, so that not even the narrow path of a hybrid eclipse is passed
    // unseen, though a gap in the path shorter than that may be.
    double step = 2;
  };
  auto probe = [&](double deltaT) {
    Probe p;
    const Evaluator ev(record, deltaT, longitudeWest, observer);
    double t;
    Trial g;
    if (IterateGreatest(ev, t, g)) {
      const double m = std::hypot(g.u, g.v), umbra = std::fabs(g.l2Local);
      p.step = std::clamp(umbra / speed, 2.0, 10.0);
      if (m >= umbra) {
        p.leap = std::max(0.0, 0.9 * (m - umbra - 0.002) / speed);
        return p;
      }
      const double altitude = std::asin(SinSunAltitude(g, latitude));
      const double altitudeRate = omega + 0.27 * speed / g.n;  // radians per second of ΔT
      if (altitude > 0.03) {
        p.sees = true;
        p.leap = 0.5 * std::min((umbra - m) / (1.01 * speed), (altitude - 0.03) / altitudeRate);
        return p;
      }
      // With the Sun more than 0.05 below the horizon at greatest eclipse, the central phase
      // (at most some 12 minutes, over which the Sun's altitude changes by less than 0.03) stays
      // below it, refraction included.
      if (altitude < -0.05) {
        p.leap = 0.5 * (-0.05 - altitude) / altitudeRate;
        return p;
      }
    }
    // Near the horizon the visible part decides.
    const LocalEclipse e = ComputeLocalEclipse(record, deltaT, latitude, longitudeWest, observer);
    p.sees = e.outcome == LocalOutcome::kEclipse && e.visible.visibility != Visibility::kNone &&
             e.visible.greatestKind != EclipseKind::kPartial;
    return p;
  };
  auto edge = [&](double inside, double outside) {
    while (std::fabs(outside - inside) > 0.005) {
      const double middle = (inside + outside) / 2;
      (probe(middle).sees ? inside : outside) = middle;
    }
    return inside;
  };
  Probe here = probe(lowest);
  bool previous = here.sees;
  double start = lowest, last = lowest;
  while (last < highest) {
    const double next = std::min(highest, last + std::max(here.step, here.leap));
    here = probe(next);
    const bool now = here.sees;
    if (now && !previous) start = edge(next, last);
    if (!now && previous) out.push_back({start, edge(last, next)});
    previous = now;
    last = next;
  }
  if (previous) out.push_back({start, highest});
  return out;
}

}  // namespace umbrivista
