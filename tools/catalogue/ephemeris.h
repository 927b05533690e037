// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// Geocentric apparent places of the Sun and the Moon from the Swiss Ephemeris (JPL DE431 files),
// and the Greenwich apparent sidereal time that goes with them.
//
// The library keeps its state per thread: an Ephemeris configures the calling thread's state and
// must be created, used and destroyed on one thread.

#include <array>
#include <stdexcept>
#include <string>

namespace umbrivista {

namespace catalogue_tool {

using Vec3 = std::array<double, 3>;

// The ephemeris cannot deliver what was asked (missing files, date outside the files, or the
// library fell back to its built-in analytical theory).
class EphemerisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Tidal acceleration of the Moon assumed throughout, arc seconds per century².
inline constexpr double kLunarTidalAcceleration = -25.858;

struct BodyState {
  Vec3 position;  // Earth equatorial radii
  Vec3 velocity;  // Earth equatorial radii per day; zero unless requested
};

struct SunMoon {
  BodyState sun;
  BodyState moon;
};

struct Nutation {
  double longitude;      // Δψ, radians
  double trueObliquity;  // ε, radians
};

class Ephemeris {
 public:
  // `path`: folder of the .se1 files. Sets the tidal acceleration and a user ΔT of 0 for this
  // thread. Throws EphemerisError when the files do not answer for a test date.
  explicit Ephemeris(const std::string& path);
  ~Ephemeris();
  Ephemeris(const Ephemeris&) = delete;
  Ephemeris& operator=(const Ephemeris&) = delete;

  // Apparent geocentric positions (light time, aberration, deflection, nutation) of Sun and
  // Moon in rectangular coordinates of the true equator and equinox of date, at Julian day
  // jdTT (TT). Throws EphemerisError.
  SunMoon Positions(double jdTT, bool withVelocity);

  // Nutation in longitude and true obliquity at jdTT (TT), from the same library.
  Nutation NutationAt(double jdTT);

  int calls() const { return calls_; }

 private:
  BodyState Body(double jdTT, int body, bool withVelocity);
  int calls_ = 0;
};

// Greenwich apparent sidereal time in radians (not reduced) at jdTT, taking UT1 = TT: the
// IAU 2006 mean sidereal time plus the equation of the equinoxes Δψ·cos ε.
double ApparentSiderealTime(double jdTT, const Nutation& nutation);

}  // namespace catalogue_tool

}  // namespace umbrivista
