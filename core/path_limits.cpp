// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "path_limits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <utility>

#include "angles.h"
#include "deltat.h"
#include "eclipse_types.h"
#include "centre_line.h"
#include "local_circumstances.h"
#include "shadow.h"

namespace umbrivista {

namespace {

using Vec3 = std::array<double, 3>;

// Sampling: the midpoint of every step lies within kMaxDeviationKm of the great circle through
// its ends, and no step is longer than kMaxStepKm (on the display sphere).
constexpr double kMaxDeviationKm = 0.05;
constexpr double kMaxStepKm = 45;
constexpr std::size_t kMaxPointsPerPiece = 40000;
// Instants where a limit lies on the Earth are first looked for on this many steps of the
// penumbra's span over the Earth.
constexpr int kScanSteps = 150;
constexpr int kBisections = 44;

// The Besselian elements at one instant in double precision, with what the y1/d1 system of the
// oblate Earth needs.
struct Elements {
  double t = 0;
  double x = 0, y = 0, mu = 0, l1 = 0, l2 = 0, tanF1 = 0, tanF2 = 0;
  double xRate = 0, yRate = 0, sinD = 0, cosD = 1;
  double rho = 1;               // 1/√(1 − e²·cos²d): η1 = η·rho
  double sinD1 = 0, cosD1 = 1;  // of d1
};

// A point (ξ, η) of the fundamental plane carried onto the Sun-facing side of the spheroid.
struct Surface {
  double margin = -1;  // 1 − ξ² − η1²: ≥ 0 on the Earth, < 0 beyond its limb (ζ1 taken as 0)
  double sinPhi1 = 0;      // of the reduced latitude φ1
  double cosPhi1CosH = 0;  // cos φ1 · cos H, H the local hour angle of the axis
  double zeta = 0;         // ζ of the place, Earth radii
  bool OnEarth() const { return margin >= 0; }
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

  static Surface SurfaceAt(const Elements& e, double xi, double eta) {
    const double eta1 = eta * e.rho;
    return Lifted(e, xi, eta, std::sqrt(std::max(1 - xi * xi - eta1 * eta1, 0.0)));
  }

  // The same with ζ1 given (which on the Earth is √margin; ζ1 < 0 is the far side).
  static Surface Lifted(const Elements& e, double xi, double eta, double zeta1) {
    Surface s;
    const double eta1 = eta * e.rho;
    s.margin = 1 - xi * xi - eta1 * eta1;
    s.sinPhi1 = std::clamp(zeta1 * e.sinD1 + eta1 * e.cosD1, -1.0, 1.0);
    s.cosPhi1CosH = zeta1 * e.cosD1 - eta1 * e.sinD1;
    s.zeta = kEarthAxisRatio * s.sinPhi1 * e.sinD + s.cosPhi1CosH * e.cosD;
    return s;
  }

  // The motion (a, b) = (x′ − ξ′, y′ − η′) of the shadow axis relative to a place, with the
  // rates of the local circumstances: μ′ and d′ from the linear coefficients.
  std::pair<double, double> RelativeMotion(const Elements& e, double xi, const Surface& s) const {
    const double xiRate = muRate_ * s.cosPhi1CosH;
    const double etaRate = muRate_ * xi * e.sinD - s.zeta * dRate_;
    return {e.xRate - xiRate, e.yRate - etaRate};
  }

  // Geodetic latitude and east longitude in [−π, π) (radians) of a surface point.
  std::pair<double, double> Geographic(const Elements& e, double xi, const Surface& s) const {
    const double cosPhi1 = std::sqrt(1 - s.sinPhi1 * s.sinPhi1);
    const double latitude = std::atan(kEarthAxisRatioInverse * s.sinPhi1 / cosPhi1);
    // cos φ1 ≥ 0 scales both arguments of the hour angle alike and is left out.
    const double hourAngle = ArcTan2(xi, s.cosPhi1CosH);
    return {latitude, NonNegativeRemainder(hourAngle - e.mu + rotation_ + kPi, kTwoPi) - kPi};
  }

 private:
  const EclipseRecord& r_;
  double muRate_, dRate_, rotation_;
};

// A point of an edge curve: the instant, the direction ψ of the place from the axis (from +η
// towards +ξ), the place on the plane and on the spheroid.
struct EdgePoint {
  double t = 0, psi = 0;
  double xi = 0, eta = 0;
  Surface surface;
  double g = 0;         // G(t, ψ), 0 on the curve
  double zeta1 = 0;     // ζ1 of the place, given or √margin
  double mismatch = 0;  // ζ1² − margin, 0 on the curve
};

// One edge of the shadow, umbral or penumbral, on the left (side = +1) or right (side = −1) of
// the shadow's motion relative to the places it passes. Its points on the Earth are the places
// that see their greatest eclipse at t on the edge: at |L′| = |l − ζ·tan f| from the axis in
// the direction ψ where G(t, ψ) = side·(a·sin ψ + b·cos ψ) = 0, i.e. perpendicular to (a, b).
class Edge {
 public:
  Edge(const Shadow& shadow, bool umbral, double side)
      : shadow_(shadow), umbral_(umbral), side_(side) {}

  EdgePoint At(double t, double psi) { return Evaluate(t, psi, nullptr); }

  // The same with the place's ζ1 given instead of taken from the plane point: the curve is then
  // smooth through the limb (ζ1 = 0), where ζ1 = √margin is not.
  EdgePoint Lifted(double t, double psi, double zeta1) { return Evaluate(t, psi, &zeta1); }

  // The root at instant t reached from the shadow axis: fixed-point iteration on the place's ζ,
  // ξ′ and η′; where that does not settle (near the limb ζ changes faster with the position than
  // the iteration follows) the root of G within ±0.7 rad of the direction it reached, by false
  // position: (a, b) turns from (x′, y′) by at most asin(μ′/|(x′, y′)|). Near the limb an edge
  // can pass one instant more than once; this gives one of those points.
  bool RootAt(double t, EdgePoint& p) {
    const Elements& e = ElementsAt(t);
    const double l = umbral_ ? e.l2 : e.l1;
    const double tanF = umbral_ ? e.tanF2 : e.tanF1;
    double xi = e.x, eta = e.y;
    Surface s = Shadow::SurfaceAt(e, xi, eta);
    bool settled = false;
    for (int i = 0; i < 12 && !settled; ++i) {
      const auto [a, b] = shadow_.RelativeMotion(e, xi, s);
      const double n = std::hypot(a, b);
      const double radius = std::fabs(l - s.zeta * tanF);
      const double nextXi = e.x - side_ * radius * b / n;
      const double nextEta = e.y + side_ * radius * a / n;
      settled = std::fabs(nextXi - xi) + std::fabs(nextEta - eta) < 1e-13;
      xi = nextXi;
      eta = nextEta;
      s = Shadow::SurfaceAt(e, xi, eta);
    }
    if (!std::isfinite(xi) || !std::isfinite(eta)) return false;
    const double start = ArcTan2(xi - e.x, eta - e.y);
    if (settled) {
      p = At(t, start);
      return std::isfinite(p.g);
    }
    double lo = start - 0.7, hi = start + 0.7;
    EdgePoint pLo = At(t, lo), pHi = At(t, hi);
    if (!(pLo.g < 0 && pHi.g > 0)) return false;
    int lastMoved = 0;
    for (int i = 0; i < 80; ++i) {
      const double psi = (lo * pHi.g - hi * pLo.g) / (pHi.g - pLo.g);
      p = At(t, psi);
      if (!std::isfinite(p.g)) return false;
      if (p.g == 0) return true;
      if (p.g < 0) {
        lo = psi;
        pLo = p;
        if (lastMoved == -1) pHi.g /= 2;  // Illinois: keep the far end moving
        lastMoved = -1;
      } else {
        hi = psi;
        pHi = p;
        if (lastMoved == 1) pLo.g /= 2;
        lastMoved = 1;
      }
      if (hi - lo < 1e-13) return true;
    }
    return true;
  }

  EdgePoint Evaluate(double t, double psi, const double* zeta1) {
    const Elements& e = ElementsAt(t);
    const double l = umbral_ ? e.l2 : e.l1;
    const double tanF = umbral_ ? e.tanF2 : e.tanF1;
    EdgePoint p;
    p.t = t;
    p.psi = psi;
    const double sinPsi = std::sin(psi), cosPsi = std::cos(psi);
    // The radius follows the place's ζ, which follows the radius; each pass shrinks the mismatch
    // by about tan f.
    double radius = std::fabs(l);
    for (int pass = 0; pass < 6; ++pass) {
      p.xi = e.x + radius * sinPsi;
      p.eta = e.y + radius * cosPsi;
      p.surface =
          zeta1 ? Shadow::Lifted(e, p.xi, p.eta, *zeta1) : Shadow::SurfaceAt(e, p.xi, p.eta);
      const double next = std::fabs(l - p.surface.zeta * tanF);
      if (std::fabs(next - radius) < 1e-14) break;
      radius = next;
    }
    p.zeta1 = zeta1 ? *zeta1 : std::sqrt(std::max(p.surface.margin, 0.0));
    p.mismatch = p.zeta1 * p.zeta1 - p.surface.margin;
    const auto [a, b] = shadow_.RelativeMotion(e, p.xi, p.surface);
    // G rises through the root on the left of the motion and falls through it on the right.
    p.g = side_ * (a * sinPsi + b * cosPsi);
    return p;
  }

  // Scale that makes a change of ψ (radians) comparable with one of t (hours): the plane distance
  // per radian over the shadow's speed (about 0.5 Earth radii per hour).
  double PsiScale(double t) {
    const Elements& e = ElementsAt(t);
    return std::max(std::fabs(umbral_ ? e.l2 : e.l1), 0.002) / 0.5;
  }

 private:
  const Elements& ElementsAt(double t) {
    if (!(t == cached_.t && haveCache_)) {
      cached_ = shadow_.At(t);
      haveCache_ = true;
    }
    return cached_;
  }

  const Shadow& shadow_;
  bool umbral_;
  double side_;
  Elements cached_;
  bool haveCache_ = false;
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

// Latitude and longitude (degrees) of a direction, any length but 0.
GeoPoint ToGeoPoint(const Vec3& v) {
  return {std::atan2(v[2], std::hypot(v[0], v[1])) * kRadToDeg,
          NonNegativeRemainder(std::atan2(v[1], v[0]) * kRadToDeg + 180, 360) - 180};
}

// Distance (km) of p from the great circle through a and b (unit vectors).
double OffGreatCircleKm(const Vec3& p, const Vec3& a, const Vec3& b) {
  const Vec3 n = Cross(a, b);
  const double length = Norm(n);
  if (!(length > 1e-15)) return ChordKm(p, a);
  return kEarthRadiusKm * std::asin(std::min(1.0, std::fabs(Dot(p, n)) / length));
}

// A sampled point of a curve on the display sphere.
struct Sample {
  double t = 0;
  double latitude = 0, longitude = 0;  // radians
  Vec3 v{};
};

Sample ToSample(const Shadow& shadow, const Elements& e, double xi, const Surface& s) {
  Sample out;
  out.t = e.t;
  std::tie(out.latitude, out.longitude) = shadow.Geographic(e, xi, s);
  out.v = UnitVector(out.latitude, out.longitude);
  return out;
}

double LengthKm(const std::vector<Sample>& samples) {
  double km = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) km += ChordKm(samples[i - 1].v, samples[i].v);
  return km;
}

std::vector<GeoPoint> ToGeoPoints(const std::vector<Sample>& samples) {
  std::vector<GeoPoint> points;
  points.reserve(samples.size());
  for (const Sample& s : samples) {
    points.push_back(
        {s.latitude * kRadToDeg, NonNegativeRemainder(s.longitude * kRadToDeg + 180, 360) - 180});
  }
  return points;
}

// Follows an edge from one of its points on the Earth, in the direction of time `direction`
// (+1 or −1) at the start, by pseudo-arclength continuation of the curve
// G(t, ψ, ζ1) = 0, ζ1² = margin(t, ψ, ζ1) in the scaled coordinates (t, sψ·ψ, 2·ζ1). Taking ζ1 as
// an unknown keeps the curve smooth where it reaches the limb (ζ1 = 0); following it by arc
// length lets it turn back in time, which near the limb an edge does (it then passes some
// instants more than once, and a sampling by time would cut it). Each step is predicted along the
// tangent and corrected across it by Newton's method; it is halved while the curve halfway along
// it lies more than kMaxDeviationKm off the great circle through its ends, or the step is longer
// than maxStepKm. The trace ends on the limb (ζ1 = 0, found by bisecting the last step) or where
// t leaves [tMin, tMax]. The start point is not included.
class EdgeTracer {
 public:
  EdgeTracer(const Shadow& shadow, Edge& edge, double tMin, double tMax, double maxStepKm)
      : shadow_(shadow), edge_(edge), tMin_(tMin), tMax_(tMax), maxStepKm_(maxStepKm) {}

  std::vector<Sample> Trace(const EdgePoint& start, double direction) {
    std::vector<Sample> out;
    scale_[0] = 1;
    scale_[1] = edge_.PsiScale(start.t);
    scale_[2] = 2;
    Vec3 x = Scaled(start);
    EdgePoint at;
    // The start point on the lifted curve at the same instant.
    Vec3 jg, jm;
    if (!Jacobian(x, jg, jm) || !Correct(x, {1, 0, 0}, x, at, jg, jm)) return out;
    Sample here = SampleOf(at);
    if (!Jacobian(x, jg, jm)) return out;
    Vec3 tangent = Cross(jg, jm);
    if (!Unit(tangent)) return out;
    if (tangent[0] * direction < 0) tangent = {-tangent[0], -tangent[1], -tangent[2]};
    double h = 0.002;  // about 6 km of the shadow's motion
    constexpr double kMinStep = 1e-12;
    while (out.size() < kMaxPointsPerPiece && h >= kMinStep) {
      Vec3 nextX;
      EdgePoint next;
      if (!Step(x, tangent, h, jg, jm, nextX, next)) {
        h /= 2;
        continue;
      }
      if (next.t < tMin_ || next.t > tMax_) break;
      if (next.zeta1 < 0) {  // past the limb
        EndOnLimb(x, tangent, h, jg, jm, out);
        break;
      }
      const Sample sample = SampleOf(next);
      const double km = ChordKm(here.v, sample.v);
      Vec3 halfX;
      EdgePoint half;
      double bendKm = 2 * kMaxDeviationKm;
      if (Step(x, tangent, h / 2, jg, jm, halfX, half) && half.zeta1 >= 0) {
        bendKm = OffGreatCircleKm(SampleOf(half).v, here.v, sample.v);
      }
      if (km > maxStepKm_ || bendKm > kMaxDeviationKm) {
        h /= 2;
        continue;
      }
      Vec3 nextJg, nextJm;
      if (!Jacobian(nextX, nextJg, nextJm)) break;
      Vec3 nextTangent = Cross(nextJg, nextJm);
      if (!Unit(nextTangent)) break;
      if (Dot(nextTangent, tangent) < 0) {
        nextTangent = {-nextTangent[0], -nextTangent[1], -nextTangent[2]};
      }
      out.push_back(sample);
      here = sample;
      x = nextX;
      tangent = nextTangent;
      jg = nextJg;
      jm = nextJm;
      // The bend grows with the square of the step.
      if (km < maxStepKm_ / 2) {
        h *= std::clamp(0.8 * std::sqrt(kMaxDeviationKm / std::max(bendKm, 1e-9)), 1.0, 2.0);
      }
    }
    return out;
  }

 private:
  static bool Unit(Vec3& v) {
    const double n = Norm(v);
    if (!(n > 0) || !std::isfinite(n)) return false;
    for (double& c : v) c /= n;
    return true;
  }

  Vec3 Scaled(const EdgePoint& p) const {
    return {p.t * scale_[0], p.psi * scale_[1], p.zeta1 * scale_[2]};
  }

  EdgePoint At(const Vec3& x) {
    return edge_.Lifted(x[0] / scale_[0], x[1] / scale_[1], x[2] / scale_[2]);
  }

  Sample SampleOf(const EdgePoint& p) {
    return ToSample(shadow_, shadow_.At(p.t), p.xi, p.surface);
  }

  // Rows of the Jacobian of (G, ζ1² − margin) at x, by forward differences.
  bool Jacobian(const Vec3& x, Vec3& jg, Vec3& jm) {
    constexpr double kDelta = 1e-7;
    const EdgePoint p = At(x);
    for (int i = 0; i < 3; ++i) {
      Vec3 y = x;
      y[i] += kDelta;
      const EdgePoint q = At(y);
      jg[i] = (q.g - p.g) / kDelta;
      jm[i] = (q.mismatch - p.mismatch) / kDelta;
    }
    return std::isfinite(Dot(jg, jg)) && std::isfinite(Dot(jm, jm));
  }

  // Newton's method (with the Jacobian rows jg, jm kept) for the point y of the curve with
  // row·(y − anchor) = 0, from y = anchor.
  bool Correct(const Vec3& anchor, const Vec3& row, Vec3& y, EdgePoint& p, const Vec3& jg,
               const Vec3& jm) {
    // Cramer's rule on the matrix with rows jg, jm, row, through its columns.
    const Vec3 c0{jg[0], jm[0], row[0]}, c1{jg[1], jm[1], row[1]}, c2{jg[2], jm[2], row[2]};
    const double det = Dot(c0, Cross(c1, c2));
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) return false;
    y = anchor;
    for (int i = 0; i < 12; ++i) {
      p = At(y);
      const Vec3 r{-p.g, -p.mismatch,
                   -(row[0] * (y[0] - anchor[0]) + row[1] * (y[1] - anchor[1]) +
                     row[2] * (y[2] - anchor[2]))};
      const Vec3 dy{Dot(r, Cross(c1, c2)) / det, Dot(c0, Cross(r, c2)) / det,
                    Dot(c0, Cross(c1, r)) / det};
      for (int k = 0; k < 3; ++k) y[k] += dy[k];
      if (!std::isfinite(y[0] + y[1] + y[2])) return false;
      if (Norm(dy) < 1e-11) {
        p = At(y);
        return std::isfinite(p.g);
      }
    }
    return false;
  }

  // One step of length h along the tangent, corrected across it; refused when the correction is
  // as long as the step (a jump to another part of the curve).
  bool Step(const Vec3& x, const Vec3& tangent, double h, const Vec3& jg, const Vec3& jm, Vec3& y,
            EdgePoint& p) {
    const Vec3 predicted{x[0] + h * tangent[0], x[1] + h * tangent[1], x[2] + h * tangent[2]};
    if (!Correct(predicted, tangent, y, p, jg, jm)) return false;
    const Vec3 moved{y[0] - predicted[0], y[1] - predicted[1], y[2] - predicted[2]};
    return Norm(moved) < h;
  }

  // The curve reaches the limb within the step h from x: bisects the step to ζ1 = 0 and appends
  // the last point on the Earth.
  void EndOnLimb(const Vec3& x, const Vec3& tangent, double h, const Vec3& jg, const Vec3& jm,
                 std::vector<Sample>& out) {
    double inside = 0, outside = h;
    EdgePoint best;
    bool found = false;
    for (int i = 0; i < kBisections; ++i) {
      const double mid = (inside + outside) / 2;
      Vec3 y;
      EdgePoint p;
      if (Step(x, tangent, mid, jg, jm, y, p) && p.zeta1 >= 0) {
        inside = mid;
        best = p;
        found = true;
      } else {
        outside = mid;
      }
    }
    if (found) out.push_back(SampleOf(best));
  }

  const Shadow& shadow_;
  Edge& edge_;
  double tMin_, tMax_, maxStepKm_;
  double scale_[3] = {1, 1, 1};
};

// The intervals of [t0, t1] where exists(t) holds, each end bisected towards the instant where it
// stops holding; the ends returned are instants where it still holds.
template <class Exists>
std::vector<std::pair<double, double>> Intervals(Exists exists, double t0, double t1, int steps) {
  std::vector<std::pair<double, double>> out;
  const double step = (t1 - t0) / steps;
  auto boundary = [&](double inside, double outside) {
    for (int i = 0; i < kBisections; ++i) {
      const double mid = (inside + outside) / 2;
      (exists(mid) ? inside : outside) = mid;
    }
    return inside;
  };
  bool previous = exists(t0);
  double start = t0;
  for (int i = 1; i <= steps; ++i) {
    const double t = i == steps ? t1 : t0 + step * i;
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

// The pieces of one edge over [t0, t1]: traced from the deepest of its points found on a scan of
// the span, both ways until it leaves the Earth; again from any scanned point outside the time
// the pieces so far cover.
void AddEdgeCurves(const Shadow& shadow, bool umbral, double side, double t0, double t1,
                   std::vector<LimitCurve>& out) {
  Edge edge(shadow, umbral, side);
  struct Seed {
    EdgePoint point;
    bool used = false;
  };
  std::vector<Seed> seeds;
  for (int i = 0; i <= kScanSteps; ++i) {
    const double t = t0 + (t1 - t0) * i / kScanSteps;
    const Elements e = shadow.At(t);
    const double l = std::fabs(umbral ? e.l2 : e.l1);
    if (std::hypot(e.x, e.y * e.rho) > 1.05 + l) continue;  // far beyond the limb
    EdgePoint p;
    if (edge.RootAt(t, p) && p.surface.OnEarth()) seeds.push_back({p});
  }
  std::vector<std::pair<double, std::vector<Sample>>> pieces;
  while (true) {
    Seed* deepest = nullptr;
    for (Seed& s : seeds) {
      if (!s.used && (!deepest || s.point.surface.margin > deepest->point.surface.margin)) {
        deepest = &s;
      }
    }
    if (!deepest) break;
    deepest->used = true;
    std::vector<Sample> piece;
    for (double maxStep = kMaxStepKm;;) {
      EdgeTracer tracer(shadow, edge, t0, t1, maxStep);
      piece = tracer.Trace(deepest->point, -1);
      std::reverse(piece.begin(), piece.end());
      piece.push_back(
          ToSample(shadow, shadow.At(deepest->point.t), deepest->point.xi, deepest->point.surface));
      const auto later = tracer.Trace(deepest->point, 1);
      piece.insert(piece.end(), later.begin(), later.end());
      if (piece.size() >= static_cast<std::size_t>(kMinLimitCurvePoints) || maxStep < 1e-3) break;
      maxStep = LengthKm(piece) / (kMinLimitCurvePoints + 20);
    }
    double from = piece.front().t, to = piece.front().t;
    for (const Sample& s : piece) {
      from = std::min(from, s.t);
      to = std::max(to, s.t);
    }
    // A scanned point at the very end of a piece is that piece reaching the limb (found there to
    // within the bisection), not another piece.
    constexpr double kEndSlack = 0.005;  // hours
    for (Seed& s : seeds) {
      if (s.point.t >= from - kEndSlack && s.point.t <= to + kEndSlack) s.used = true;
    }
    if (piece.size() >= 2) pieces.push_back({from, std::move(piece)});
  }
  std::sort(pieces.begin(), pieces.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [from, piece] : pieces) {
    out.push_back({EdgeKind(umbral, side), ToGeoPoints(piece)});
  }
}

// The penumbra's edge against the Earth's outline at one instant. On the outline ξ = cos θ,
// η = q·sin θ (q = 1/rho); F(θ) = (ξ − x)² + (η − y)² − L1′² is the squared distance from the axis
// less the edge's, negative inside the penumbra. Its minimum near the direction of the axis tells
// whether the edge crosses the outline (F ≤ 0 there) and splits the two crossings; where the edge
// starts or stops crossing, both meet at the minimum.
class OutlineCut {
 public:
  OutlineCut(const Shadow& shadow, double t) : e_(shadow.At(t)), q_(1 / e_.rho) {
    radius_ = e_.l1;
    theta_ = ArcTan2(e_.y * e_.rho, e_.x);
    for (int i = 0; i < 6; ++i) {
      const double step = Slope(theta_) / Curvature(theta_);
      if (!std::isfinite(step)) break;
      theta_ -= step;
    }
    // L1′ with ζ of the outline point: ζ1 = 0 there, ζ itself is small.
    radius_ =
        e_.l1 - Shadow::SurfaceAt(e_, std::cos(theta_), q_ * std::sin(theta_)).zeta * e_.tanF1;
    least_ = F(theta_);
  }

  bool Crosses() const { return least_ <= 0; }

  // The crossing on the side `branch` (+1 or −1) of the minimum; the touching point when the edge
  // does not cross.
  Sample Point(const Shadow& shadow, double branch) const {
    double theta = theta_;
    const double curvature = Curvature(theta_);
    if (least_ < 0 && curvature > 0) {
      theta += branch * std::sqrt(-2 * least_ / curvature);
      // Newton's method on F, kept on its side of the minimum and from leaping away where the
      // crossings nearly meet and F is flat.
      for (int i = 0; i < 4; ++i) {
        const double f = F(theta);
        if (std::fabs(f) < 1e-15) break;
        const double next = theta - f / Slope(theta);
        if (!std::isfinite(next) || (next - theta_) * branch <= 0 ||
            std::fabs(next - theta) > std::fabs(theta - theta_)) {
          break;
        }
        theta = next;
      }
    }
    const double xi = std::cos(theta);
    Surface s = Shadow::SurfaceAt(e_, xi, q_ * std::sin(theta));
    s.margin = 0;  // on the limb by construction
    return ToSample(shadow, e_, xi, s);
  }

 private:
  double F(double theta) const {
    const double dx = std::cos(theta) - e_.x, dy = q_ * std::sin(theta) - e_.y;
    return dx * dx + dy * dy - radius_ * radius_;
  }
  double Slope(double theta) const {
    const double c = std::cos(theta), s = std::sin(theta);
    return 2 * (-(c - e_.x) * s + (q_ * s - e_.y) * q_ * c);
  }
  double Curvature(double theta) const {
    const double c = std::cos(theta), s = std::sin(theta);
    return 2 * (s * s - (c - e_.x) * c + q_ * q_ * c * c - (q_ * s - e_.y) * q_ * s);
  }

  Elements e_;
  double q_, radius_ = 0, theta_ = 0, least_ = 1;
};

// Samples a rise/set branch over [ta, tb]: instants clustered towards both ends (where the edge
// touches the outline and the points run fastest), then every step that strays from a great
// circle or is too long halved.
class OutlineSampler {
 public:
  OutlineSampler(const Shadow& shadow, double branch) : shadow_(shadow), branch_(branch) {}

  std::vector<Sample> Run(double ta, double tb) {
    out_.clear();
    Sample previous;
    for (int i = 0; i < kMinLimitCurvePoints; ++i) {
      const double u = static_cast<double>(i) / (kMinLimitCurvePoints - 1);
      const Sample s = At(ta + (tb - ta) * (1 - std::cos(kPi * u)) / 2);
      if (!std::isfinite(s.latitude) || !std::isfinite(s.longitude)) break;
      if (i > 0) Refine(previous, s, 0);
      out_.push_back(s);
      previous = s;
    }
    return std::move(out_);
  }

 private:
  Sample At(double t) { return OutlineCut(shadow_, t).Point(shadow_, branch_); }

  void Refine(const Sample& a, const Sample& b, int depth) {
    if (depth >= 16 || out_.size() >= kMaxPointsPerPiece) return;
    const Sample m = At((a.t + b.t) / 2);
    if (!std::isfinite(m.latitude) || !std::isfinite(m.longitude)) return;
    // Off the great circle through the ends (not off their midpoint: the instants need not be
    // evenly spread along the curve).
    const bool split = ChordKm(a.v, b.v) > kMaxStepKm || Dot(a.v, b.v) < 0 ||
                       OffGreatCircleKm(m.v, a.v, b.v) > kMaxDeviationKm;
    if (!split) return;
    Refine(a, m, depth + 1);
    out_.push_back(m);
    Refine(m, b, depth + 1);
  }

  const Shadow& shadow_;
  double branch_;
  std::vector<Sample> out_;
};

void AddRiseSetCurves(const Shadow& shadow, double t0, double t1, std::vector<LimitCurve>& out) {
  auto exists = [&](double t) { return OutlineCut(shadow, t).Crosses(); };
  for (const auto& [ta, tb] : Intervals(exists, t0, t1, 120)) {
    auto loop = OutlineSampler(shadow, 1).Run(ta, tb);
    const auto back = OutlineSampler(shadow, -1).Run(ta, tb);
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

// The umbra's footprint at one instant: the shadow's circle on the fundamental plane, its radius
// |l2 − ζ·tan f2| taken with the ζ of each boundary point, cut by the Earth's outline and carried
// onto the spheroid. Empty when it misses the Earth.
using PlanePoint = std::pair<double, double>;  // (ξ, η)

// The part of a convex polygon (clockwise on the plane) within the Earth's outline
// ξ² + (η·ρ)² ≤ 1: its corners inside, the points where its sides cross the outline, and the
// outline between them every quarter of a degree. On (ξ, η·ρ) the outline is the unit circle. A
// place a little within the limb on the plane is far from it on the ground, as the ground there is
// seen edge-on: the outline itself is followed, not a polygon near it.
std::vector<PlanePoint> CutByOutline(const std::vector<PlanePoint>& rim, double rho) {
  constexpr double kArcStep = kTwoPi / 1440;
  const std::size_t n = rim.size();
  auto scaled = [rho](const PlanePoint& p) { return PlanePoint{p.first, p.second * rho}; };
  auto inside = [&](const PlanePoint& p) {
    const auto [u, w] = scaled(p);
    return u * u + w * w <= 1;
  };
  std::size_t start = n;
  for (std::size_t i = 0; i < n && start == n; ++i) {
    if (inside(rim[i])) start = i;
  }
  // With no corner inside, a side may still cut across the outline's edge: then the walk starts
  // on that side, and only there does it go in and out.
  for (std::size_t i = 0; i < n && start == n; ++i) {
    const auto [pu, pw] = scaled(rim[i]);
    const auto [qu, qw] = scaled(rim[(i + 1) % n]);
    const double du = qu - pu, dw = qw - pw;
    const double t = std::clamp(-(pu * du + pw * dw) / (du * du + dw * dw), 0.0, 1.0);
    if (std::hypot(pu + t * du, pw + t * dw) < 1) start = i;
  }
  if (start == n) return {};
  std::vector<PlanePoint> out;
  double exitAngle = 0;
  auto onCircle = [&](double angle) { return PlanePoint{std::cos(angle), std::sin(angle) / rho}; };
  // Clockwise along the outline, from the last exit to an entry.
  auto enter = [&](double angle) {
    // The shadow is far smaller than the Earth: a span of more than half the outline is an
    // entry a hair before the exit where the side only grazes the outline.
    double span = NonNegativeRemainder(exitAngle - angle, kTwoPi);
    if (span > kPi) span = 0;
    for (double a = kArcStep; a < span; a += kArcStep) out.push_back(onCircle(exitAngle - a));
    out.push_back(onCircle(angle));
  };
  for (std::size_t k = 0; k < n; ++k) {
    const PlanePoint& p = rim[(start + k) % n];
    const PlanePoint& q = rim[(start + k + 1) % n];
    const bool pin = inside(p), qin = inside(q);
    if (pin) out.push_back(p);
    if (pin && qin) continue;
    // Where p + s·(q − p) meets the circle.
    // Plain copies: a lambda below uses them.
    const double pu = p.first, pw = p.second * rho;
    const double du = q.first - pu, dw = q.second * rho - pw;
    const double a = du * du + dw * dw, b = 2 * (pu * du + pw * dw), c = pu * pu + pw * pw - 1;
    const double root = std::sqrt(std::max(b * b - 4 * a * c, 0.0));
    const double s1 = std::clamp((-b - root) / (2 * a), 0.0, 1.0);
    const double s2 = std::clamp((-b + root) / (2 * a), 0.0, 1.0);
    auto angleAt = [&](double s) { return std::atan2(pw + s * dw, pu + s * du); };
    if (pin) {
      exitAngle = angleAt(s2);
      out.push_back(onCircle(exitAngle));
    } else if (qin) {
      enter(angleAt(s1));
    } else if (b * b - 4 * a * c > 0 && s1 > 0 && s2 < 1) {
      // In and out again within one side.
      if (out.empty()) {
        out.push_back(onCircle(angleAt(s1)));
      } else {
        enter(angleAt(s1));
      }
      exitAngle = angleAt(s2);
      out.push_back(onCircle(exitAngle));
    }
  }
  if (!inside(rim[start]) && out.size() >= 2) {
    // Only one side cuts across: back along the outline to where it went in.
    const PlanePoint first = out.front();
    enter(std::atan2(first.second * rho, first.first));
    out.pop_back();
  }
  return out;
}

ShadowFootprint Footprint(const Shadow& shadow, double t) {
  constexpr int kRimPoints = 180;
  const Elements e = shadow.At(t);
  // The shadow's radius changes by far less than this over the Earth's depth.
  ShadowFootprint footprint{t, {}, false};
  if (std::hypot(e.x, e.y * e.rho) > 1.02 + std::fabs(e.l2)) return footprint;
  static const auto directions = [] {
    std::array<std::pair<double, double>, kRimPoints> out;
    for (int k = 0; k < kRimPoints; ++k) {
      out[k] = {std::sin(kTwoPi * k / kRimPoints), std::cos(kTwoPi * k / kRimPoints)};
    }
    return out;
  }();
  using Point = PlanePoint;
  std::vector<Point> rim;
  rim.reserve(kRimPoints);
  for (const auto& [sx, sy] : directions) {
    double r = std::fabs(e.l2);
    for (int i = 0; i < 3; ++i) {
      const Surface surface = Shadow::SurfaceAt(e, e.x + r * sx, e.y + r * sy);
      r = std::fabs(e.l2 - std::max(surface.zeta, 0.0) * e.tanF2);
    }
    // The polygon's sides lie outside the circle, so that no place in the shadow is left out.
    r /= std::cos(kPi / kRimPoints);
    rim.push_back({e.x + r * sx, e.y + r * sy});
  }
  double radius = 0;
  bool inside = true;
  for (const auto& [xi, eta] : rim) {
    radius = std::max(radius, std::hypot(xi - e.x, (eta - e.y) * e.rho));
    inside = inside && std::hypot(xi, eta * e.rho) < 1;
  }
  if (std::hypot(e.x, e.y * e.rho) > 1 + radius) return footprint;
  footprint.onLimb = !inside;
  if (!inside) rim = CutByOutline(rim, e.rho);
  auto place = [&](Point p) {
    const double reach = std::hypot(p.first, p.second * e.rho);
    if (reach > 1) {
      p.first /= reach;
      p.second /= reach;
    }
    const Surface surface = Shadow::SurfaceAt(e, p.first, p.second);
    const auto [latitude, longitude] = shadow.Geographic(e, p.first, surface);
    return Sample{e.t, latitude, longitude, UnitVector(latitude, longitude)};
  };
  // Near the limb a short side on the plane is a long one on the ground: such sides get points
  // between their ends, so that every side is short on the ground too.
  constexpr double kMaxSideKm = 8;
  std::vector<Sample> corners;
  corners.reserve(rim.size());
  for (const Point& p : rim) corners.push_back(place(p));
  std::vector<GeoPoint> out;
  out.reserve(rim.size());
  for (std::size_t i = 0; i < rim.size(); ++i) {
    const std::size_t j = (i + 1) % rim.size();
    const Point& a = rim[i];
    const Point& b = rim[j];
    const int parts =
        std::min(64, 1 + static_cast<int>(ChordKm(corners[i].v, corners[j].v) / kMaxSideKm));
    for (int k = 0; k < parts; ++k) {
      const double f = static_cast<double>(k) / parts;
      const Sample s = k == 0 ? corners[i]
                              : place({a.first + f * (b.first - a.first),
                                       a.second + f * (b.second - a.second)});
      out.push_back({s.latitude * kRadToDeg, s.longitude * kRadToDeg});
    }
  }
  if (out.size() >= 2) footprint.outline = std::move(out);
  return footprint;
}

// The mean direction of a footprint's points.
Vec3 Centre(const std::vector<GeoPoint>& points) {
  Vec3 sum{};
  const std::size_t stride = std::max<std::size_t>(1, points.size() / 24);
  for (std::size_t i = 0; i < points.size(); i += stride) {
    const GeoPoint& g = points[i];
    const Vec3 v = UnitVector(g.latitude * kDegToRad, g.longitude * kDegToRad);
    for (int i = 0; i < 3; ++i) sum[i] += v[i];
  }
  const double n = Norm(sum);
  if (n > 0) {
    for (double& c : sum) c /= n;
  }
  return sum;
}

}  // namespace

std::vector<ShadowFootprint> UmbralFootprints(const EclipseRecord& record, double deltaT) {
  std::vector<ShadowFootprint> out;
  if (!std::isfinite(deltaT)) return out;
  const Shadow shadow(record, deltaT);
  double t0 = 0, t1 = 0;
  if (!PenumbralSpan(shadow, t0, t1)) return out;
  constexpr double kStepHours = 1.0 / 60;
  // Away from the limb a footprint keeps its shape from one instant to the next; at the limb it
  // changes fast.
  constexpr double kMaxMoveKm = 40, kMaxMoveAtLimbKm = 10;
  constexpr int kMaxDepth = 10;
  auto at = [&](double t) { return Footprint(shadow, t); };
  // Halves a step while the footprint moves far or appears or vanishes within it.
  auto refine = [&](auto& self, const ShadowFootprint& a, const ShadowFootprint& b,
                    int depth) -> void {
    if (depth >= kMaxDepth || (a.outline.empty() && b.outline.empty())) return;
    const bool split = a.outline.empty() != b.outline.empty() ||
                       ChordKm(Centre(a.outline), Centre(b.outline)) >
                           (a.onLimb || b.onLimb ? kMaxMoveAtLimbKm : kMaxMoveKm);
    if (!split) return;
    const ShadowFootprint m = at((a.t + b.t) / 2);
    self(self, a, m, depth + 1);
    out.push_back(m);
    self(self, m, b, depth + 1);
  };
  const int steps = std::max(1, static_cast<int>(std::ceil((t1 - t0) / kStepHours)));
  ShadowFootprint previous = at(t0);
  out.push_back(previous);
  for (int i = 1; i <= steps; ++i) {
    const ShadowFootprint next = at(t0 + (t1 - t0) * i / steps);
    refine(refine, previous, next, 0);
    out.push_back(next);
    previous = next;
  }
  return out;
}

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
  Edge edge(shadow, umbral, side);
  EdgePoint p;
  if (!edge.RootAt(t, p) || !p.surface.OnEarth()) return std::nullopt;
  const auto [latitude, longitude] = shadow.Geographic(shadow.At(t), p.xi, p.surface);
  return GeoPoint{latitude * kRadToDeg, longitude * kRadToDeg};
}

namespace {

// The nearest point of a polyline (each step a great-circle arc) to the unit vector p: its angle
// from p and the point. Only the steps next to a vertex within the nearest vertex's angle plus
// the longest step can hold a nearer point, so the rest cost one dot product each.
double NearestOnPolyline(const CurvePolyline& line, const Vec3& p, Vec3& nearest) {
  const auto& v = line.points;
  if (v.empty()) return kPi;
  std::size_t bestVertex = 0;
  double bestDot = -2;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (const double d = Dot(p, v[i]); d > bestDot) {
      bestDot = d;
      bestVertex = i;
    }
  }
  nearest = v[bestVertex];
  double best = Angle(p, nearest);
  const double reach = std::cos(std::min(kPi, best + line.longestStep));
  for (std::size_t i = 1; i < v.size(); ++i) {
    const Vec3& a = v[i - 1];
    const Vec3& b = v[i];
    if (Dot(p, a) < reach && Dot(p, b) < reach) continue;
    Vec3 n = Cross(a, b);
    const double length = Norm(n);
    if (length <= 1e-15) continue;
    for (double& c : n) c /= length;
    const double offset = Dot(p, n);
    Vec3 foot{p[0] - offset * n[0], p[1] - offset * n[1], p[2] - offset * n[2]};
    const double footLength = Norm(foot);
    if (footLength <= 0 || Dot(Cross(a, foot), n) < 0 || Dot(Cross(foot, b), n) < 0) continue;
    if (const double angle = std::asin(std::min(1.0, std::fabs(offset))); angle < best) {
      best = angle;
      for (double& c : foot) c /= footLength;
      nearest = foot;
    }
  }
  return best;
}

}  // namespace

void CurvePolyline::Add(const GeoPoint& g) {
  points.push_back(UnitVector(g.latitude * kDegToRad, g.longitude * kDegToRad));
  if (points.size() > 1) {
    longestStep = std::max(longestStep, Angle(points[points.size() - 2], points.back()));
  }
}

double DistanceToCurveKm(const std::vector<GeoPoint>& curve, double latitude, double longitude,
                         GeoPoint* nearest) {
  CurvePolyline line;
  for (const GeoPoint& g : curve) line.Add(g);
  Vec3 at{};
  const double angle =
      NearestOnPolyline(line, UnitVector(latitude * kDegToRad, longitude * kDegToRad), at);
  if (curve.empty()) return kEarthRadiusKm * kPi;
  if (nearest) *nearest = ToGeoPoint(at);
  return kEarthRadiusKm * angle;
}

std::optional<LimitDistance> DistanceToPathLimit(const EclipseRecord& record, double deltaT,
                                                 double latitude, double longitude) {
  if (!IsCentral(record.typeCode) || !std::isfinite(deltaT) || !std::isfinite(latitude) ||
      !std::isfinite(longitude)) {
    return std::nullopt;
  }
  const Shadow shadow(record, deltaT);
  const double phi = latitude * kDegToRad;
  const Vec3 here = UnitVector(phi, longitude * kDegToRad);

  LimitDistance out;
  double best = -1;
  if (const auto greatest = ComputeClosestApproach(record, deltaT, -longitude * kDegToRad,
                                                   ObserverGeocentric(0, phi))) {
    out.inside = std::fabs(greatest->l2Local) > std::hypot(greatest->u, greatest->v);
    for (const LimitKind kind : {LimitKind::kUmbralNorth, LimitKind::kUmbralSouth}) {
      const auto p = LimitPointAt(record, deltaT, kind, greatest->t);
      if (!p) continue;
      const double km = kEarthRadiusKm * Angle(here, UnitVector(p->latitude * kDegToRad,
                                                                p->longitude * kDegToRad));
      if (best < 0 || km < best) {
        best = km;
        out.nearest = *p;
      }
    }
  }
  if (best < 0) {
    double t0, t1;
    if (!PenumbralSpan(shadow, t0, t1)) return std::nullopt;
    for (const LimitCurve& curve : UmbralCurves(shadow, t0, t1)) {
      GeoPoint nearest;
      const double km = DistanceToCurveKm(curve.points, latitude, longitude, &nearest);
      if (best < 0 || km < best) {
        best = km;
        out.nearest = nearest;
      }
    }
  }
  if (best < 0) return std::nullopt;
  out.km = best;
  return out;
}

CentralPath::CentralPath(const EclipseRecord& record, double deltaT)
    : record_(record), deltaT_(deltaT) {
  if (!IsCentral(record.typeCode) || !std::isfinite(deltaT)) return;
  for (const LimitCurve& curve : ComputePathLimits(record, deltaT)) {
    if (curve.kind != LimitKind::kUmbralNorth && curve.kind != LimitKind::kUmbralSouth) continue;
    limits_.emplace_back();
    for (const GeoPoint& g : curve.points) limits_.back().Add(g);
  }
  for (const CentreLinePoint& p : BuildCentreLine(record, deltaT, false)) {
    centreLine_.Add({p.latitude * kRadToDeg, p.longitude * kRadToDeg});
    centreLineTimes_.push_back(p.t);
  }
}

bool SeesCentralPhase(const EclipseRecord& record, double deltaT, double latitude,
                      double longitude) {
  const double phi = latitude * kDegToRad;
  const auto greatest =
      ComputeClosestApproach(record, deltaT, -longitude * kDegToRad, ObserverGeocentric(0, phi));
  return greatest && std::fabs(greatest->l2Local) > std::hypot(greatest->u, greatest->v);
}

std::optional<NearestCentral> NearestCentralPath(const EclipseRecord& record, double deltaT,
                                                 double latitude, double longitude) {
  if (SeesCentralPhase(record, deltaT, latitude, longitude)) return std::nullopt;
  return CentralPath(record, deltaT).Nearest(latitude, longitude);
}

std::optional<NearestCentral> CentralPath::Nearest(double latitude, double longitude) const {
  if (limits_.empty() || !std::isfinite(latitude) || !std::isfinite(longitude)) {
    return std::nullopt;
  }
  if (SeesCentralPhase(record_, deltaT_, latitude, longitude)) return std::nullopt;
  const double phi1 = latitude * kDegToRad;
  const Vec3 here = UnitVector(phi1, longitude * kDegToRad);
  double bestAngle = kPi + 1;
  Vec3 target{};
  for (const CurvePolyline& line : limits_) {
    Vec3 nearest;
    if (const double angle = NearestOnPolyline(line, here, nearest); angle < bestAngle) {
      bestAngle = angle;
      target = nearest;
    }
  }
  if (bestAngle > kPi) return std::nullopt;
  NearestCentral out;
  out.km = kEarthRadiusKm * bestAngle;
  out.point = ToGeoPoint(target);
  const double phi2 = out.point.latitude * kDegToRad;
  const double dLon = (out.point.longitude - longitude) * kDegToRad;
  out.bearing = NonNegativeRemainder(
      ArcTan2(std::sin(dLon) * std::cos(phi2),
              std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLon)),
      kTwoPi);
  const auto& line = centreLine_.points;
  if (line.size() < 2) return out;

  // The centre line across from the limit point: its nearest sample, then the instant between
  // the neighbouring samples where the axis point comes nearest.
  auto axisAt = [&](double t, InstantResult& axis) {
    ShadowState state;
    state.deltaT = deltaT_;
    axis = UpdateInstant(record_, t, false, state);
    return axis.onEarth ? Angle(target, UnitVector(axis.point.latitude, axis.point.longitude))
                        : kPi;
  };
  std::size_t best = 0;
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (Dot(target, line[i]) > Dot(target, line[best])) best = i;
  }
  double lo = centreLineTimes_[best > 0 ? best - 1 : 0];
  double hi = centreLineTimes_[std::min(best + 1, line.size() - 1)];
  // Golden-section search to 1e-5 h (0.04 s), one new evaluation per step.
  constexpr double kGolden = 0.6180339887498949;
  InstantResult axis;
  double a = hi - kGolden * (hi - lo), b = lo + kGolden * (hi - lo);
  double fa = axisAt(a, axis), fb = axisAt(b, axis);
  while (hi - lo > 1e-5) {
    if (fa < fb) {
      hi = b;
      b = a;
      fb = fa;
      a = hi - kGolden * (hi - lo);
      fa = axisAt(a, axis);
    } else {
      lo = a;
      a = b;
      fa = fb;
      b = lo + kGolden * (hi - lo);
      fb = axisAt(b, axis);
    }
  }
  if (axisAt((lo + hi) / 2, axis) >= kPi || !std::isfinite(axis.quantities.durationSeconds)) {
    return out;
  }
  out.hasCentreLine = true;
  out.centreLine = {axis.point.latitude * kRadToDeg, axis.point.longitude * kRadToDeg};
  out.total = axis.quantities.l2Local < 0;
  out.durationSeconds = axis.quantities.durationSeconds;
  return out;
}

const char* CompassPoint(double bearing, Language language) {
  static const char* const kPoints[3][16] = {
      {"N", "NNO", "NO", "ONO", "O", "OSO", "SO", "SSO", "S", "SSW", "SW", "WSW", "W", "WNW", "NW",
       "NNW"},
      {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE", "S", "SSW", "SW", "WSW", "W", "WNW", "NW",
       "NNW"},
      {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE", "S", "SSO", "SO", "OSO", "O", "ONO", "NO",
       "NNO"},
  };
  if (!IsKnownLanguage(language) || !std::isfinite(bearing)) return "";
  const int index =
      static_cast<int>(std::floor(NonNegativeRemainder(bearing, kTwoPi) / (kTwoPi / 16) + 0.5)) %
      16;
  return kPoints[LanguageIndex(language)][index];
}

}  // namespace umbrivista
