#pragma once
// What an observer at one place sees of one eclipse: contact instants, position and vertex angles,
// the Sun's altitude, magnitude and the kind of eclipse.

#include <cstdint>
#include <optional>

#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

enum ContactIndex { kC1 = 0, kC2 = 1, kMax = 2, kC3 = 3, kC4 = 4 };

// What the observer sees at greatest eclipse: the Moon inside the Sun's disc (total), the Sun's
// ring around the Moon (annular), or neither.
enum class EclipseKind { kPartial, kTotal, kAnnular };

struct LocalCircumstances {
  double contactTime[5] = {};    // hours from T0, TT; C1, C2, Max, C3, C4
  double sunAltitude[5] = {};    // radians; geometric, no refraction
  double positionAngle[5] = {};  // radians in [0, 2π)
  double vertexAngle[5] = {};    // radians in [0, 2π]
  bool computed[5] = {};         // the four fields above hold values only where this is set
  double magnitude = 0;
  double obscuration = 0;  // fraction of the Sun's disc covered at greatest eclipse, 0 … 1
  EclipseKind kind = EclipseKind::kPartial;
};

// The kind as the reports and the CLI print it: 'p', 't', and for an annular phase 'r' in German,
// 'a' in English and French; 0 for a value that names no language.
char EclipseKindLetter(EclipseKind kind, Language language);

// Geocentric position of the observer in Earth equatorial radii.
struct ObserverConstants {
  double rhoSinPhi = 0;
  double rhoCosPhi = 0;
};

// heightMetres above sea level, latitude geodetic in radians.
ObserverConstants ObserverGeocentric(std::int32_t heightMetres, double latitude);

// Local circumstances of one eclipse by the Besselian method (Explanatory Supplement to the
// Astronomical Ephemeris, 1961, ch. 9; Meeus, Elements of Solar Eclipses, 1989, ch. 8–9).
// Inputs: the record (elements in TT), ΔT in seconds, the observer's geodetic latitude and
// WEST-positive longitude (radians) and its geocentric constants. Greatest eclipse, then C1/C4
// and, for a central phase, C2/C3 are found by fixed-point iteration to 1e-6 h.
// nullopt when the place is outside the penumbra at greatest eclipse, or when an iteration does
// not settle within 50 steps, meets non-finite values or settles more than 10 h from T0.
std::optional<LocalCircumstances> ComputeLocalCircumstances(const EclipseRecord& record,
                                                            double deltaT, double latitude,
                                                            double longitudeWest,
                                                            const ObserverConstants& observer);

// Greatest eclipse at a place found as above, also where the penumbra misses the place: the
// instant (hours from T0), the shadow axis's offset (u, v) from the place on the fundamental plane
// (Earth radii) and the umbral radius L2′ on the place's plane then. nullopt when the iteration
// does not settle.
struct ClosestApproach {
  double t = 0;
  double u = 0, v = 0;
  double l2Local = 0;
};
std::optional<ClosestApproach> ComputeClosestApproach(const EclipseRecord& record, double deltaT,
                                                      double longitudeWest,
                                                      const ObserverConstants& observer);

// Fraction of the Sun's disc (by area) the Moon covers, from the magnitude m (fraction of the Sun's
// diameter covered) and the ratio k of the Moon's to the Sun's apparent radius: the centres are
// 1 + k − 2m solar radii apart and the covered part is the lens where the two discs overlap; 1
// when the Moon covers the whole Sun, k² when it lies inside it, 0 for m ≤ 0. At greatest eclipse
// k = (L1′ − L2′)/(L1′ + L2′) (Meeus, Elements of Solar Eclipses, 1989).
double Obscuration(double magnitude, double radiusRatio);

// Duration of the central phase in minutes (t(C3) − t(C2))·60; meaningful only for a central
// phase (total or annular), and negative when an inner contact iteration stopped at its guard.
double CentralDurationMinutes(const LocalCircumstances& lc);

// Vertex angle from position angle p and parallactic angle q (radians), in [0, 2π]: an angle of
// exactly 2π is kept.
double VertexAngle(double p, double q);

// UT calendar date and time of day of the instant t hours after T0 (TT).
struct UTInstant {
  double julianDay = 0;  // UT
  std::int32_t year = 0, month = 0, day = 0;
  double hours = 0;  // time of day, [0, 24)
};
UTInstant ContactUT(const EclipseRecord& record, double deltaT, double t);

}  // namespace umbrivista
