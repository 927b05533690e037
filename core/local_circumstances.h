#pragma once
// What an observer at one place sees of one eclipse: contact instants, position and vertex angles,
// the Sun's altitude, magnitude and the kind of eclipse.

#include <cstdint>

#include "eclipse_record.h"

namespace umbrivista {

enum ContactIndex { kC1 = 0, kC2 = 1, kMax = 2, kC3 = 3, kC4 = 4 };
inline constexpr double kNotComputed = -999.0;

struct LocalCircumstances {
  double contactTime[5] = {};  // hours from T0, TT; C1, C2, Max, C3, C4
  double sunAltitude[5] = {kNotComputed, kNotComputed, kNotComputed, kNotComputed,
                           kNotComputed};  // radians; −999 where not computed
  double positionAngle[5] = {};            // radians in [0, 2π)
  double vertexAngle[5] = {};              // radians in [0, 2π]
  double magnitude = 0;
  char eclipseKind = 'p';  // 'p', 't', or for an annular phase 'r' (German) / 'a'
};

// Geocentric position of the observer in Earth equatorial radii.
struct ObserverConstants {
  double rhoSinPhi = 0;
  double rhoCosPhi = 0;
};

// heightMetres above sea level, latitude geodetic in radians.
ObserverConstants ObserverGeocentric(std::int32_t heightMetres, double latitude);

// For one record, ΔT in seconds, the observer's geodetic latitude and WEST-positive longitude
// (radians) and its constants. Returns false, with all altitudes left at −999, when the place is
// outside the penumbra at greatest eclipse, or when an iteration does not settle within its step
// bound or meets non-finite values. `language` selects the annular letter.
bool ComputeLocalCircumstances(const EclipseRecord& record, double deltaT, double latitude,
                               double longitudeWest, const ObserverConstants& observer,
                               int language, LocalCircumstances& result);

// Duration of the central phase in minutes (t(C3) − t(C2))·60; meaningful only for kinds other
// than 'p', and negative when an inner contact iteration stopped at its guard.
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
