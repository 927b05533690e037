// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ephemeris.h"

#include <erfa.h>
#include <erfam.h>
#include <swephexp.h>

#include <cmath>
#include <cstdio>

namespace umbrivista {

namespace catalogue_tool {

namespace {

constexpr double kAstronomicalUnitKm = 149597870.7;
constexpr double kEarthRadiusKm = 6378.137;
constexpr double kEarthRadiiPerAu = kAstronomicalUnitKm / kEarthRadiusKm;
constexpr double kRadiansPerDegree = 0.017453292519943295;

std::string Describe(double jdTT) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "JD %.5f TT", jdTT);
  return buf;
}

}  // namespace

Ephemeris::Ephemeris(const std::string& path) {
  swe_set_ephe_path(path.c_str());
  swe_set_tid_acc(kLunarTidalAcceleration);
  swe_set_delta_t_userdef(0.0);
  // Answer once now, so that a missing file set shows at once and not in the middle of a run.
  Positions(2451545.0, false);
}

Ephemeris::~Ephemeris() {
  swe_close();
}

BodyState Ephemeris::Body(double jdTT, int body, bool withVelocity) {
  const int flags = SEFLG_SWIEPH | SEFLG_EQUATORIAL | SEFLG_XYZ | (withVelocity ? SEFLG_SPEED : 0);
  double xx[6] = {};
  char error[AS_MAXCH] = "";
  ++calls_;
  const int returned = swe_calc(jdTT, body, flags, xx, error);
  if (returned < 0) {
    throw EphemerisError("Swiss Ephemeris at " + Describe(jdTT) + ": " + error);
  }
  if ((returned & SEFLG_SWIEPH) == 0) {
    throw EphemerisError("Swiss Ephemeris fell back from the DE431 files at " + Describe(jdTT) +
                         (error[0] ? std::string(": ") + error : std::string()));
  }
  BodyState state;
  for (int i = 0; i < 3; ++i) {
    state.position[i] = xx[i] * kEarthRadiiPerAu;
    state.velocity[i] = withVelocity ? xx[3 + i] * kEarthRadiiPerAu : 0.0;
  }
  return state;
}

SunMoon Ephemeris::Positions(double jdTT, bool withVelocity) {
  SunMoon result;
  result.sun = Body(jdTT, SE_SUN, withVelocity);
  result.moon = Body(jdTT, SE_MOON, withVelocity);
  return result;
}

Nutation Ephemeris::NutationAt(double jdTT) {
  double xx[6] = {};
  char error[AS_MAXCH] = "";
  ++calls_;
  if (swe_calc(jdTT, SE_ECL_NUT, 0, xx, error) < 0) {
    throw EphemerisError("Swiss Ephemeris nutation at " + Describe(jdTT) + ": " + error);
  }
  return {xx[2] * kRadiansPerDegree, xx[0] * kRadiansPerDegree};
}

double ApparentSiderealTime(double jdTT, const Nutation& nutation) {
  const double part = jdTT - ERFA_DJM0;
  return eraGmst06(ERFA_DJM0, part, ERFA_DJM0, part) +
         nutation.longitude * std::cos(nutation.trueObliquity);
}

}  // namespace catalogue_tool

}  // namespace umbrivista
