#include "path_limits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "angles.h"
#include "deltat.h"
#include "eclipse_types.h"
#include "shadow.h"

namespace umbrivista {

namespace {

using Vec3 = std::array<double, 3>;

// Sampling of a curve: the midpoint of every step lies within kMaxDeviationKm of the great circle
// through its ends, and no step is longer than kMaxStepKm (on the display sphere).
constexpr double kMaxDeviationKm = 0.05;
constexpr double kMaxStepKm = 100;
constexpr int kMaxSplitDepth = 14;
constexpr std::size_t kMaxPointsPerPiece = 50000;
// Instants where a curve exists are first looked for on this many steps of the eclipse's time
// span, then each end is bisected this many times (to well under a millisecond).
constexpr int kScanSteps = 400;
constexpr int kBisections = 40;
constexpr int kMaxIterations = 60;
constexpr int kFixedPointIterations = 12;

// The Besselian elements at one instant in double precision, with what the y1/d1 system of the
// oblate Earth needs.
struct Elements {
  double t = 0;
  double x = 0, y = 0, mu = 0, l1 = 0, l2 = 0, tanF1 = 0, tanF2 = 0;
  double xRate = 0, yRate = 0, sinD = 0, cosD = 1;
  double rho = 1;               // 1/√(1 − e²·cos²d): y1 = y·rho
  double sinD1 = 0, cosD1 = 1;  // of d1
};

// A point of the fundamental plane carried onto the Sun-facing side of the spheroid.
struct Place {
  double xi = 0, eta = 0;  // on the fundamental plane, Earth radii
  double margin = -1;      // 1 − ξ² − η1²: ≥ 0 on the Earth, < 0 beyond its limb
  double zeta = 0;         // of the place, Earth radii (ζ1 is taken as 0 beyond the limb)
  double rhoCosPhi = 0, hourAngle = 0;
  double latitude = 0, longitude = 0;  // radians, geodetic, east positive in [−π, π)
  bool finite = false;
  bool OnEarth() const { return finite && margin >= 0; }
};

class Shadow {
 public:
  Shadow(const EclipseRecord& r, double deltaT)
      : r_(r),
        muRate_(r.mu[1] * kDegToRad),
        dRate_(r.d[1] * kDegToRad),
        rotation_(kEarthRotationDegPerSecond * deltaT * kDegToRad) {}

  Elements At(double t) const {
    Elements e;
    e.t = t;
    e.x = EvaluateCubic(r_.x, t);
    e.y = EvaluateCubic(r_.y, t);
    const double d = EvaluateCubic(r_.d, t) * kDegToRad;
    e.mu = EvaluateCubic(r_.mu, t) * kDegToRad;
    e.l1 = EvaluateCubic(r_.l1, t);
    e.l2 = EvaluateCubic(r_.l2, t);
    e.tanF1 = EvaluateCubic(r_.tanF1, t);
    e.tanF2 = EvaluateCubic(r_.tanF2, t);
    e.xRate = r_.x[1] + 2.0 * r_.x[2] * t + 3.0 * r_.x[3] * t * t;
    e.yRate = r_.y[1] + 2.0 * r_.y[2] * t + 3.0 * r_.y[3] * t * t;
    e.sinD = std::sin(d);
    e.cosD = std::cos(d);
    e.rho = 1 / std::sqrt(1 - kEarthE2 * e.cosD * e.cosD);
    e.sinD1 = e.rho * e.sinD;
    e.cosD1 = kEarthAxisRatio * e.rho * e.cosD;
    return e;
  }

  // The place under the plane point (ξ, η); beyond the limb the nearest point of the limb
  // (ζ1 = 0) with a negative margin.
  Place OnSurface(const Elements& e, double xi, double eta) const {
    Place p;
    p.xi = xi;
    p.eta = eta;
    const double eta1 = eta * e.rho;
    p.margin = 1 - xi * xi - eta1 * eta1;
    const double zeta1 = std::sqrt(std::max(p.margin, 0.0));
    const double sinPhi1 = std::clamp(zeta1 * e.sinD1 + eta1 * e.cosD1, -1.0, 1.0);
    // cos φ1 ≥ 0 scales both arguments of the hour angle alike and is left out.
    p.hourAngle = ArcTan2(xi, zeta1 * e.cosD1 - eta1 * e.sinD1);
    p.rhoCosPhi = std::sqrt(1 - sinPhi1 * sinPhi1);
    p.zeta = kEarthAxisRatio * sinPhi1 * e.sinD + p.rhoCosPhi * std::cos(p.hourAngle) * e.cosD;
    p.latitude = std::atan(kEarthAxisRatioInverse * sinPhi1 / p.rhoCosPhi);
    p.longitude = NonNegativeRemainder(p.hourAngle - e.mu + rotation_ + kPi, kTwoPi) - kPi;
    p.finite = std::isfinite(p.margin) && std::isfinite(p.latitude) && std::isfinite(p.longitude);
    return p;
  }

  // The motion of the shadow axis relative to a place (a, b = x′ − ξ′, y′ − η′), with the rates of
  // the local circumstances: μ′ and d′ from the linear coefficients.
  std::pair<double, double> RelativeMotion(const Elements& e, const Place& p) const {
    const double xiRate = muRate_ * p.rhoCosPhi * std::cos(p.hourAngle);
    const double etaRate = muRate_ * p.xi * e.sinD - p.zeta * dRate_;
    return {e.xRate - xiRate, e.yRate - etaRate};
  }

  // The place on the edge of the umbra (penumbra) that sees its greatest eclipse at e.t: at
  // |l − ζ·tan f| from the axis, perpendicular to the shadow's motion relative to it, on the left
  // of that motion for side = +1 and on the right for side = −1.
  // Fixed-point iteration on the place's ζ, ξ′ and η′, started at the axis. Near the limb ζ (and
  // with it ξ′) changes faster with the position than the iteration can follow; there the
  // direction ψ of the place from the axis is solved for instead, as the root of
  // G(ψ) = a·sin ψ + b·cos ψ (the motion along that direction), bracketed within ±0.7 rad of the
  // direction the fixed point gave: (a, b) turns from (x′, y′) by at most asin(μ′/|(x′, y′)|).
  Place EdgePoint(const Elements& e, bool umbral, double side) const {
    const double l = umbral ? e.l2 : e.l1;
    const double tanF = umbral ? e.tanF2 : e.tanF1;
    Place p = OnSurface(e, e.x, e.y);
    double radius = std::fabs(l);
    for (int i = 0; i < kFixedPointIterations && p.finite; ++i) {
      const auto [a, b] = RelativeMotion(e, p);
      const double n = std::hypot(a, b);
      radius = std::fabs(l - p.zeta * tanF);
      const double xi = e.x - side * radius * b / n;
      const double eta = e.y + side * radius * a / n;
      const double change = std::fabs(xi - p.xi) + std::fabs(eta - p.eta);
      p = OnSurface(e, xi, eta);
      if (change < 1e-13) return p;
    }
    if (!p.finite || !(radius > 0)) return p;

    // G(ψ) at the place in direction ψ (from +η towards +ξ), its distance following its ζ.
    auto at = [&](double psi, Place& q) {
      for (int pass = 0; pass < 2; ++pass) {
        q = OnSurface(e, e.x + radius * std::sin(psi), e.y + radius * std::cos(psi));
        radius = std::fabs(l - q.zeta * tanF);
      }
      const auto [a, b] = RelativeMotion(e, q);
      // G rises through the root on the left of the motion and falls through it on the right.
      return side * (a * std::sin(psi) + b * std::cos(psi));
    };
    const double start = ArcTan2(p.xi - e.x, p.eta - e.y);
    double lo = start - 0.7, hi = start + 0.7;
    Place q;
    double gLo = at(lo, q), gHi = at(hi, q);
    if (!(gLo < 0 && gHi > 0)) return p;
    // False position with the Illinois correction.
    int lastMoved = 0;
    for (int i = 0; i < kMaxIterations; ++i) {
      const double psi = (lo * gHi - hi * gLo) / (gHi - gLo);
      const double g = at(psi, q);
      if (!std::isfinite(g)) return q;
      if (g < 0) {
        lo = psi;
        gLo = g;
        if (lastMoved == -1) gHi /= 2;
        lastMoved = -1;
      } else {
        hi = psi;
        gHi = g;
        if (lastMoved == 1) gLo /= 2;
        lastMoved = 1;
      }
      if (hi - lo < 1e-12 || g == 0) break;
    }
    return q;
  }

  // A point where the penumbra's edge meets the Earth's outline (the Sun on the horizon): on the
  // outline ξ = cos θ, η1 = sin θ at L1′ from the axis, θ on the side `branch` (+1 or −1) of the
  // direction of the axis. `overlap` is ≥ 0 while the edge crosses the outline at all.
  Place OutlinePoint(const Elements& e, double branch, double& overlap) const {
    const double y1 = e.y * e.rho;
    const double dist = std::hypot(e.x, y1);
    const double towards = ArcTan2(y1, e.x);
    // In the y1 system the outline is the unit circle and the edge an ellipse stretched by rho
    // along η1: it is solved as a circle whose radius takes the stretch at the current point.
    const double squash = 1 - 1 / (e.rho * e.rho);
    double radius = e.l1;
    double theta = towards;
    Place p;
    for (int i = 0; i < 3; ++i) {
      const double s = std::sin(theta) - y1;
      const double effective2 = radius * radius + squash * s * s;
      const double c = (1 + dist * dist - effective2) / (2 * dist);
      if (i == 0) overlap = 1 - std::fabs(c);
      theta = towards + branch * std::acos(std::clamp(c, -1.0, 1.0));
      p = OnSurface(e, std::cos(theta), std::sin(theta) / e.rho);
      p.margin = 0;  // on the limb by construction
      radius = e.l1 - p.zeta * e.tanF1;
    }
    if (!std::isfinite(overlap)) overlap = -1;
    return p;
  }

  // Greatest eclipse at a place given by its observer constants and west longitude: the instant
  // and the elements and plane position there; false when the iteration does not settle.
  bool Greatest(double rhoSinPhi, double rhoCosPhi, double longitudeWest, double& t,
                Elements& e, Place& p) const {
    t = 0;
    for (int step = 0; step < 50; ++step) {
      e = At(t);
      p = PlaceOf(e, rhoSinPhi, rhoCosPhi, longitudeWest);
      const auto [a, b] = RelativeMotion(e, p);
      const double tau = -((e.x - p.xi) * a + (e.y - p.eta) * b) / (a * a + b * b);
      if (!std::isfinite(tau)) return false;
      t += tau;
      if (std::fabs(tau) < 1e-6) return std::fabs(t) <= kMaxHoursFromT0;
    }
    return false;
  }

 private:
  Place PlaceOf(const Elements& e, double rhoSinPhi, double rhoCosPhi,
                double longitudeWest) const {
    Place p;
    p.hourAngle = e.mu - longitudeWest - rotation_;
    p.rhoCosPhi = rhoCosPhi;
    p.xi = rhoCosPhi * std::sin(p.hourAngle);
    p.eta = rhoSinPhi * e.cosD - rhoCosPhi * std::cos(p.hourAngle) * e.sinD;
    p.zeta = rhoSinPhi * e.sinD + rhoCosPhi * std::cos(p.hourAngle) * e.cosD;
    p.finite = true;
    return p;
  }

  const EclipseRecord& r_;
  double muRate_, dRate_, rotation_;
};

Vec3 UnitVector(double latitude, double longitude) {
  return {std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude),
          std::sin(latitude)};
}

double Dot(const Vec3& a, const Vec3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Norm(const Vec3& a) {
  return std::sqrt(Dot(a, a));
}

double ChordKm(const Vec3& a, const Vec3& b) {
  return kEarthRadiusKm * Norm({a[0] - b[0], a[1] - b[1], a[2] - b[2]});
}

// Angle (radians) between two unit vectors, accurate for tiny and nearly opposite ones.
double Angle(const Vec3& a, const Vec3& b) {
  return std::atan2(Norm(Cross(a, b)), Dot(a, b));
}

struct Sample {
  double t = 0;
  double latitude = 0, longitude = 0;  // radians
  Vec3 v{};
};

// Samples one curve over [ta, tb], where `at(t)` gives its place (a Place that is not on the
// Earth ends the piece there). The first instants are clustered towards both ends, where a curve
// that ends on the limb runs fastest, then every step that strays from a great circle or is too
// long is halved.
template <class At>
class CurveSampler {
 public:
  explicit CurveSampler(At& at) : at_(at) {}

  std::vector<Sample> Run(double ta, double tb) {
    out_.clear();
    Sample previous;
    for (int i = 0; i < kMinLimitCurvePoints; ++i) {
      const double u = static_cast<double>(i) / (kMinLimitCurvePoints - 1);
      const double t = ta + (tb - ta) * (1 - std::cos(kPi * u)) / 2;
      Sample s;
      if (!Evaluate(t, s)) break;
      if (i > 0) Refine(previous, s, 0);
      out_.push_back(s);
      previous = s;
    }
    return std::move(out_);
  }

 private:
  bool Evaluate(double t, Sample& s) {
    const Place p = at_(t);
    if (!p.finite) return false;
    s.t = t;
    s.latitude = p.latitude;
    s.longitude = p.longitude;
    s.v = UnitVector(p.latitude, p.longitude);
    return true;
  }

  // Appends the points strictly between a and b.
  void Refine(const Sample& a, const Sample& b, int depth) {
    if (depth >= kMaxSplitDepth || out_.size() >= kMaxPointsPerPiece) return;
    Sample m;
    if (!Evaluate((a.t + b.t) / 2, m)) return;
    Vec3 mid{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2]};
    const double length = Norm(mid);
    bool split = ChordKm(a.v, b.v) > kMaxStepKm || length < 1e-9;
    if (!split) {
      for (double& c : mid) c /= length;
      split = ChordKm(m.v, mid) > kMaxDeviationKm;
    }
    if (!split) return;
    Refine(a, m, depth + 1);
    out_.push_back(m);
    Refine(m, b, depth + 1);
  }

  At& at_;
  std::vector<Sample> out_;
};

template <class At>
std::vector<Sample> SampleCurve(At at, double ta, double tb) {
  return CurveSampler<At>(at).Run(ta, tb);
}

// The intervals of [t0, t1] where exists(t) holds, each end bisected towards the instant where it
// stops holding; the ends returned are instants where it still holds.
template <class Exists>
std::vector<std::pair<double, double>> Intervals(Exists exists, double t0, double t1) {
  std::vector<std::pair<double, double>> out;
  const double step = (t1 - t0) / kScanSteps;
  auto boundary = [&](double inside, double outside) {
    for (int i = 0; i < kBisections; ++i) {
      const double mid = (inside + outside) / 2;
      (exists(mid) ? inside : outside) = mid;
    }
    return inside;
  };
  bool previous = exists(t0);
  double start = t0;
  for (int i = 1; i <= kScanSteps; ++i) {
    const double t = i == kScanSteps ? t1 : t0 + step * i;
    const bool now = exists(t);
    if (now && !previous) start = boundary(t, t - step);
    if (!now && previous) out.push_back({start, boundary(t - step, t)});
    previous = now;
  }
  if (previous) out.push_back({start, t1});
  return out;
}

// The span of time over which the penumbra can touch the Earth: where the axis is within
// 1 + l1 (with a margin) of the Earth's centre in the y1 system.
bool PenumbralSpan(const Shadow& shadow, double& t0, double& t1) {
  constexpr int kSteps = 1000;
  const double step = 2 * kMaxHoursFromT0 / kSteps;
  bool found = false;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = -kMaxHoursFromT0 + step * i;
    const Elements e = shadow.At(t);
    const double reach = std::hypot(e.x, e.y * e.rho) - 1 - std::fabs(e.l1);
    if (!(reach < 0.02)) continue;
    if (!found) t0 = std::max(-kMaxHoursFromT0, t - step);
    t1 = std::min(kMaxHoursFromT0, t + step);
    found = true;
  }
  return found;
}

LimitKind EdgeKind(bool umbral, double side) {
  if (umbral) return side > 0 ? LimitKind::kUmbralNorth : LimitKind::kUmbralSouth;
  return side > 0 ? LimitKind::kPenumbralNorth : LimitKind::kPenumbralSouth;
}

std::vector<GeoPoint> ToGeoPoints(const std::vector<Sample>& samples) {
  std::vector<GeoPoint> points;
  points.reserve(samples.size());
  for (const Sample& s : samples) {
    points.push_back({s.latitude * kRadToDeg,
                      NonNegativeRemainder(s.longitude * kRadToDeg + 180, 360) - 180});
  }
  return points;
}

// The pieces of one edge (umbral or penumbral, one side) over [t0, t1].
void AddEdgeCurves(const Shadow& shadow, bool umbral, double side, double t0, double t1,
                   std::vector<LimitCurve>& out) {
  auto place = [&](double t) { return shadow.EdgePoint(shadow.At(t), umbral, side); };
  auto exists = [&](double t) {
    const Elements e = shadow.At(t);
    // Far beyond the limb needs no iteration.
    const double l = std::fabs(umbral ? e.l2 : e.l1);
    if (std::hypot(e.x, e.y * e.rho) > 1.05 + l) return false;
    return shadow.EdgePoint(e, umbral, side).OnEarth();
  };
  for (const auto& [ta, tb] : Intervals(exists, t0, t1)) {
    auto samples = SampleCurve(place, ta, tb);
    if (samples.size() >= 2) out.push_back({EdgeKind(umbral, side), ToGeoPoints(samples)});
  }
}

void AddRiseSetCurves(const Shadow& shadow, double t0, double t1, std::vector<LimitCurve>& out) {
  auto exists = [&](double t) {
    double overlap;
    shadow.OutlinePoint(shadow.At(t), 1, overlap);
    return overlap >= 0;
  };
  for (const auto& [ta, tb] : Intervals(exists, t0, t1)) {
    double overlap;
    auto one = [&](double t) { return shadow.OutlinePoint(shadow.At(t), 1, overlap); };
    auto other = [&](double t) { return shadow.OutlinePoint(shadow.At(t), -1, overlap); };
    auto loop = SampleCurve(one, ta, tb);
    const auto back = SampleCurve(other, ta, tb);
    if (loop.size() < 2 || back.size() < 2) continue;
    // Both branches start and end where the edge touches the outline: one closed loop.
    loop.insert(loop.end(), back.rbegin() + 1, back.rend());
    loop.push_back(loop.front());
    out.push_back({LimitKind::kRiseSet, ToGeoPoints(loop)});
  }
}

std::vector<LimitCurve> UmbralCurves(const Shadow& shadow, double t0, double t1) {
  std::vector<LimitCurve> out;
  AddEdgeCurves(shadow, true, 1, t0, t1, out);
  AddEdgeCurves(shadow, true, -1, t0, t1, out);
  return out;
}

}  // namespace

const char* LimitKindName(LimitKind kind) {
  switch (kind) {
    case LimitKind::kUmbralNorth:
      return "umbral_north";
    case LimitKind::kUmbralSouth:
      return "umbral_south";
    case LimitKind::kPenumbralNorth:
      return "penumbral_north";
    case LimitKind::kPenumbralSouth:
      return "penumbral_south";
    case LimitKind::kRiseSet:
      break;
  }
  return "rise_set";
}

std::vector<LimitCurve> ComputePathLimits(const EclipseRecord& record, double deltaT) {
  std::vector<LimitCurve> out;
  if (!std::isfinite(deltaT)) return out;
  const Shadow shadow(record, deltaT);
  double t0 = 0, t1 = 0;
  if (!PenumbralSpan(shadow, t0, t1)) return out;
  if (IsCentral(record.typeCode)) out = UmbralCurves(shadow, t0, t1);
  AddEdgeCurves(shadow, false, 1, t0, t1, out);
  AddEdgeCurves(shadow, false, -1, t0, t1, out);
  AddRiseSetCurves(shadow, t0, t1, out);
  return out;
}

std::optional<GeoPoint> LimitPointAt(const EclipseRecord& record, double deltaT, LimitKind kind,
                                     double t) {
  if (kind == LimitKind::kRiseSet || !std::isfinite(deltaT) || !std::isfinite(t)) {
    return std::nullopt;
  }
  const bool umbral = kind == LimitKind::kUmbralNorth || kind == LimitKind::kUmbralSouth;
  if (umbral && !IsCentral(record.typeCode)) return std::nullopt;
  const double side =
      kind == LimitKind::kUmbralNorth || kind == LimitKind::kPenumbralNorth ? 1 : -1;
  const Shadow shadow(record, deltaT);
  const Place p = shadow.EdgePoint(shadow.At(t), umbral, side);
  if (!p.OnEarth()) return std::nullopt;
  return GeoPoint{p.latitude * kRadToDeg, p.longitude * kRadToDeg};
}

double DistanceToCurveKm(const std::vector<GeoPoint>& curve, double latitude, double longitude) {
  const Vec3 p = UnitVector(latitude * kDegToRad, longitude * kDegToRad);
  double best = kPi;
  Vec3 previous{};
  for (std::size_t i = 0; i < curve.size(); ++i) {
    const Vec3 b = UnitVector(curve[i].latitude * kDegToRad, curve[i].longitude * kDegToRad);
    best = std::min(best, Angle(p, b));
    if (i > 0) {
      const Vec3& a = previous;
      Vec3 n = Cross(a, b);
      const double length = Norm(n);
      if (length > 1e-15) {
        for (double& c : n) c /= length;
        // The foot of the perpendicular from p to the great circle lies on the arc when it is
        // on the inner side of both ends.
        const double offset = Dot(p, n);
        const Vec3 foot{p[0] - offset * n[0], p[1] - offset * n[1], p[2] - offset * n[2]};
        if (Dot(Cross(a, foot), n) >= 0 && Dot(Cross(foot, b), n) >= 0 && Norm(foot) > 0) {
          best = std::min(best, std::asin(std::min(1.0, std::fabs(offset))));
        }
      }
    }
    previous = b;
  }
  return kEarthRadiusKm * best;
}

std::optional<LimitDistance> DistanceToPathLimit(const EclipseRecord& record, double deltaT,
                                                 double latitude, double longitude) {
  if (!IsCentral(record.typeCode) || !std::isfinite(deltaT) || !std::isfinite(latitude) ||
      !std::isfinite(longitude)) {
    return std::nullopt;
  }
  const Shadow shadow(record, deltaT);
  const double phi = latitude * kDegToRad;
  const double u = std::atan(kEarthAxisRatio * std::tan(phi));
  const double rhoSinPhi = kEarthAxisRatio * std::sin(u), rhoCosPhi = std::cos(u);
  const Vec3 here = UnitVector(phi, longitude * kDegToRad);

  LimitDistance out;
  double best = -1;
  double tMax;
  Elements e;
  Place place;
  if (shadow.Greatest(rhoSinPhi, rhoCosPhi, -longitude * kDegToRad, tMax, e, place)) {
    const double l2Local = e.l2 - place.zeta * e.tanF2;
    out.inside = std::fabs(l2Local) > std::hypot(e.x - place.xi, e.y - place.eta);
    for (double side : {1.0, -1.0}) {
      const Place edge = shadow.EdgePoint(e, true, side);
      if (!edge.OnEarth()) continue;
      const double km = kEarthRadiusKm * Angle(here, UnitVector(edge.latitude, edge.longitude));
      if (best < 0 || km < best) best = km;
    }
  }
  if (best < 0) {
    double t0, t1;
    if (!PenumbralSpan(shadow, t0, t1)) return std::nullopt;
    for (const LimitCurve& curve : UmbralCurves(shadow, t0, t1)) {
      const double km = DistanceToCurveKm(curve.points, latitude, longitude);
      if (best < 0 || km < best) best = km;
    }
  }
  if (best < 0) return std::nullopt;
  out.km = best;
  return out;
}

}  // namespace umbrivista
