// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an observer at one place sees of one eclipse: contact instants, position and vertex angles,
// the Sun's altitude, magnitude and the kind of eclipse, and how much of it is above the horizon.

#include <cstdint>
#include <optional>
#include <vector>
#include <string>

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
  double sunAzimuth[5] = {};     // radians in [0, 2π), from north through east
  double positionAngle[5] = {};  // radians in [0, 2π), of the contact point from north via east
  double vertexAngle[5] = {};    // radians in [0, 2π], of the contact point from the zenith
  // Ratio of the Moon's to the Sun's apparent radius, and the distance of the Moon's centre from
  // the Sun's in solar radii (1 + k at C1 and C4, |1 − k| at C2 and C3); the Moon's centre lies
  // towards the position angle, except at C2 and C3 of a total phase where it lies opposite.
  double radiusRatio[5] = {};
  double centreDistance[5] = {};
  bool computed[5] = {};  // the fields above hold values only where this is set
  double sunSemidiameter = 0;  // radians, at greatest eclipse, (f1 + f2)/2: to within 0.3 %
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
// not settle within 50 steps, meets non-finite values or settles more than 10 h from T0;
// ComputeLocalEclipse below tells these apart and adds what is seen above the horizon.
std::optional<LocalCircumstances> ComputeLocalCircumstances(const EclipseRecord& record,
                                                            double deltaT, double latitude,
                                                            double longitudeWest,
                                                            const ObserverConstants& observer);

// Why ComputeLocalEclipse has, or has not, circumstances for a place.
enum class LocalOutcome {
  kEclipse,          // the circumstances hold values
  kOutsidePenumbra,  // the penumbra misses the place at greatest eclipse: no eclipse there
  kNotSettled,       // an iteration did not settle, met non-finite values or ran away from T0
  kInvalidInput,     // ΔT, the latitude, the longitude or the observer's constants not finite
};

// How much of the eclipse (C1 to C4) the observer sees with the Sun above the horizon: the
// geometric altitude of the Sun's centre above 0, without refraction, the same test by which the
// reports show an instant.
enum class Visibility {
  kNone,              // the Sun stays below the horizon from C1 to C4
  kFull,              // the Sun stays above the horizon from C1 to C4
  kSunrise,           // the eclipse is in progress when the Sun rises
  kSunset,            // the eclipse is in progress when the Sun sets
  kSunriseAndSunset,  // the Sun rises and sets (or sets and rises) during the eclipse
};

// The part of the eclipse seen above the horizon.
struct VisiblePart {
  Visibility visibility = Visibility::kNone;
  // Instants (hours from T0, TT) where the Sun crosses the horizon between C1 and C4.
  bool hasSunrise = false, hasSunset = false;
  double sunrise = 0, sunset = 0;
  // The most seen above the horizon: greatest eclipse itself when the Sun is up then
  // (maximumVisible), otherwise the sunrise or sunset with the larger magnitude, the magnitude
  // growing towards greatest eclipse. Meaningful only when visibility is not kNone.
  bool maximumVisible = false;
  double greatestTime = 0;  // hours from T0, TT
  double greatestMagnitude = 0;
  double greatestObscuration = 0;
  EclipseKind greatestKind = EclipseKind::kPartial;  // what is seen at that instant
  double greatestSunAltitude = 0;                    // radians; 0 at a sunrise or a sunset
};

struct LocalEclipse {
  LocalOutcome outcome = LocalOutcome::kInvalidInput;
  LocalCircumstances circumstances;  // holds values only for kEclipse
  VisiblePart visible;               // likewise
};

// ComputeLocalCircumstances with the reason when there are no circumstances, and the part of the
// eclipse seen above the horizon. The circumstances are the same values as
// ComputeLocalCircumstances gives; the horizon crossings are found by bisection to 1e-7 h between
// instants where the Sun's altitude is monotonic.
LocalEclipse ComputeLocalEclipse(const EclipseRecord& record, double deltaT, double latitude,
                                 double longitudeWest, const ObserverConstants& observer);

// A magnitude or obscuration `fraction` times `scale` with `decimals` places, never contradicting
// the kind: below `scale` for a partial or annular phase (a value that would round up to it shows
// as the largest number below it: 0.9996 gives "0.999"), at least `scale` for a total one.
std::string FormatForKind(double fraction, double scale, int decimals, EclipseKind kind);

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

// The Sun's apparent altitude (radians) from its geometric altitude by the standard refraction of
// the almanacs (Sæmundsson, Sky & Telescope 72, 1986, p. 70: R = 1.02′ / tan(h + 10.3°/(h + 5.11°))
// for 10 °C and 1010 hPa). Below −1° the geometric altitude is kept: the formula means nothing
// for a Sun well below the horizon.
double ApparentAltitude(double geometric);

// Vertex angle from position angle p and parallactic angle q (radians), in [0, 2π]: an angle of
// exactly 2π is kept.
double VertexAngle(double p, double q);

// UT calendar date and time of day of the instant t hours after T0 (TT).
struct UTInstant {
  double julianDay = 0;  // UT
  std::int32_t year = 0, month = 0, day = 0;
  double hours = 0;  // time of day, [0, 24)
};
// `sameDayAs`, when given and on the same civil day, lends its date instead of a second
// conversion (the instants of one eclipse at one place mostly share a day).
UTInstant ContactUT(const EclipseRecord& record, double deltaT, double t,
                    const UTInstant* sameDayAs = nullptr);

// Where ΔT is uncertain, whether a place saw the central phase depends on it: the parts of
// [lowest, highest] (ΔT in seconds) over which the place sees a total or annular phase with the
// Sun above the horizon (ComputeLocalEclipse's visible part), each end found to 0.01 s. Empty
// when it sees none anywhere in the range; the range itself when it sees one throughout. A
// change of ΔT turns the Earth under the shadow, so the answer is a set of longitudes swept.
struct DeltaTInterval {
  double from = 0, to = 0;  // seconds
};
std::vector<DeltaTInterval> CentralDeltaTIntervals(const EclipseRecord& record, double latitude,
                                                   double longitudeWest,
                                                   const ObserverConstants& observer,
                                                   double lowest, double highest);

}  // namespace umbrivista
