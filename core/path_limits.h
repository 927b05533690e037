// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The limits of an eclipse on the Earth: the northern and southern limits of the umbral
// (antumbral) path of a central eclipse, the northern and southern limits of the partial eclipse
// (penumbral limits) and the curves where the eclipse begins or ends with the Sun on the horizon
// (rise/set curves); and the distance of a place from the nearer limit of the central path.
//
// Method: Explanatory Supplement to the Astronomical Ephemeris (HMSO, 1961), ch. 9 (the limits of
// the umbra and of the penumbra, and the rising and setting curves, found on the fundamental plane
// with the observer on the spheroid through the y1/d1 system); J. Meeus, Elements of Solar Eclipses
// 1951–2200 (Willmann-Bell, 1989), the chapters on the limits and the outline curves. A limit
// point at instant t is the place that sees its greatest eclipse at t with its distance from the
// shadow axis equal to the shadow's radius there: it lies at |L′| = |l − ζ·tan f| from the axis,
// perpendicular to the shadow's motion relative to the place (u·a + v·b = 0 of the local
// circumstances). Each limit is followed along its length from t and that direction (with the
// place's ζ1 as a third unknown, so that it stays smooth up to the limb): near the limb a limit
// passes some instants twice, and sampling it by time would cut it there. A rise/set point at t
// lies on the Earth's outline at L1′ from the axis. Same Earth model as the centre line
// (e² = 0.006694385).

#include <array>
#include <optional>
#include <vector>

#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

enum class LimitKind { kUmbralNorth, kUmbralSouth, kPenumbralNorth, kPenumbralSouth, kRiseSet };

// "umbral_north", "umbral_south", "penumbral_north", "penumbral_south", "rise_set".
const char* LimitKindName(LimitKind kind);

struct GeoPoint {
  double latitude = 0;   // degrees, geodetic
  double longitude = 0;  // degrees, east positive, in [−180, 180)
};

// One unbroken piece of a limit, in the order of time (a rise/set piece is a closed loop: its
// last point equals its first).
struct LimitCurve {
  LimitKind kind = LimitKind::kUmbralNorth;
  std::vector<GeoPoint> points;
};

// Every sampled curve holds at least this many points; more where it bends or runs fast.
inline constexpr int kMinLimitCurvePoints = 201;

// All limit curves of an eclipse with ΔT seconds turning the Earth (0 for TT), in the order of
// LimitKind and, within a kind, of time. Umbral limits only for central eclipses (types 2, 3, 4);
// the northern one lies to the left of the shadow's motion. A curve that leaves the Earth and comes
// back is several pieces of the same kind; every piece ends on the Earth's limb (the Sun on the
// horizon). Empty for elements that give no real shadow on the Earth.
std::vector<LimitCurve> ComputePathLimits(const EclipseRecord& record, double deltaT);

// The umbra's (antumbra's) footprint on the Sun-facing side of the Earth at a run of instants
// over the eclipse, in the order of time: the places inside the shadow's cone at sea level with
// the Sun's centre above the geometric horizon, as a convex outline (not closed) that is empty
// when the shadow misses the Earth. Consecutive instants lie close enough that the hull of two
// neighbouring footprints covers what the shadow sweeps between them. Empty for elements that give
// no shadow on the Earth; for any kind of eclipse.
struct ShadowFootprint {
  double t = 0;  // hours from T0, TT
  std::vector<GeoPoint> outline;
  bool onLimb = false;  // cut by the sunrise/sunset edge
};
std::vector<ShadowFootprint> UmbralFootprints(const EclipseRecord& record, double deltaT);

// The point of one limit (not kRiseSet) at instant t (hours from T0, TT): the place that sees its
// greatest eclipse at t on the edge of the umbra (penumbra); near the limb, where a limit can pass
// t twice, the one reached from the shadow axis. nullopt when that point is not on the Sun-facing
// side of the Earth, or for umbral limits of a non-central eclipse.
std::optional<GeoPoint> LimitPointAt(const EclipseRecord& record, double deltaT, LimitKind kind,
                                     double t);

// Great-circle distance (km, on the sphere of radius kEarthRadiusKm) from a place to the nearest
// point of a curve, each segment taken as a great-circle arc; that point in `nearest` when given.
double DistanceToCurveKm(const std::vector<GeoPoint>& curve, double latitude, double longitude,
                         GeoPoint* nearest = nullptr);

// Great-circle distance (km) from a place (degrees, east positive, sea level) to the nearer umbral
// limit at the instant of the place's greatest eclipse, and whether the place sees the central
// phase there (the kind ComputeLocalCircumstances gives). Where neither limit point is on the Earth
// at that instant (near the ends of the path, or for a place far from it) the distance is that to
// the nearest point of the umbral limit curves. nullopt for a non-central eclipse, or when no
// umbral limit lies on the Earth.
struct LimitDistance {
  double km = 0;
  bool inside = false;
  GeoPoint nearest;  // the limit point the distance is measured to
};
std::optional<LimitDistance> DistanceToPathLimit(const EclipseRecord& record, double deltaT,
                                                 double latitude, double longitude);

// Where the central phase is nearest for places outside the central path of one eclipse: the
// nearest point of the umbral limit curves (ΔT applied), its great-circle distance, the initial
// bearing from the place (radians from north through east, [0, 2π)), and the central phase
// across the path from it: the point of the centre line nearest to that limit point, total or
// annular there, and its duration. The curves are computed once, so that many places cost little.
struct NearestCentral {
  GeoPoint point;
  double km = 0;
  double bearing = 0;
  bool hasCentreLine = false;  // false when the eclipse has no centre line on the Earth
  GeoPoint centreLine;
  bool total = false;
  double durationSeconds = 0;
};
// A curve's points as unit vectors, and the longest step between two of them (radians): the
// form in which the nearest point of a curve is searched.
struct CurvePolyline {
  std::vector<std::array<double, 3>> points;
  double longestStep = 0;
  void Add(const GeoPoint& point);
};

// Whether a place (at sea level) sees a central phase at its greatest eclipse: inside the central
// path, where CentralPath::Nearest has nothing to say.
bool SeesCentralPhase(const EclipseRecord& record, double deltaT, double latitude,
                      double longitude);

class CentralPath {
 public:
  CentralPath(const EclipseRecord& record, double deltaT);
  // nullopt inside the path (the place sees a central phase at its greatest eclipse), for a
  // non-central eclipse and for a position that is not finite.
  std::optional<NearestCentral> Nearest(double latitude, double longitude) const;

 private:
  EclipseRecord record_;
  double deltaT_;
  std::vector<CurvePolyline> limits_;
  CurvePolyline centreLine_;
  std::vector<double> centreLineTimes_;
};

// CentralPath(record, deltaT).Nearest(latitude, longitude) for one place, the path's limits
// computed only for a place outside the central path.
std::optional<NearestCentral> NearestCentralPath(const EclipseRecord& record, double deltaT,
                                                 double latitude, double longitude);

// The 16-point compass name of a bearing (radians from north through east): "N", "NNE" … "NNW"
// in English and French ("O" for west in French), "N", "NNO" … in German ("O" for east).
const char* CompassPoint(double bearing, Language language);

}  // namespace umbrivista
