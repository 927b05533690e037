// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc_sketch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "angles.h"
#include "eclipse_date.h"
#include "numbers.h"

namespace umbrivista {

namespace {

// A point at vertex angle v (counted from the zenith towards the east limb, which lies to the
// left of north on the sky), r from the centre, on a plane whose y grows downwards.
void AtVertexAngle(double v, double r, double& x, double& y) {
  x = -r * std::sin(v);
  y = -r * std::cos(v);
}

bool SlotIsUsable(const LocalCircumstances& lc, int i) {
  return lc.computed[i] && std::isfinite(lc.vertexAngle[i]) && std::isfinite(lc.positionAngle[i]) &&
         std::isfinite(lc.sunAltitude[i]) && std::isfinite(lc.radiusRatio[i]) &&
         lc.radiusRatio[i] > 0 && std::isfinite(lc.centreDistance[i]) && lc.centreDistance[i] >= 0;
}

// "hh:mm:ss" of a time of day in hours, rounded to the second; 24:00:00 becomes 00:00:00.
std::string Clock(double hours) {
  if (!std::isfinite(hours)) return "--:--:--";
  long long s = std::llround(NonNegativeRemainder(hours, 24) * 3600) % 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

}  // namespace

DiscSketch BuildDiscSketch(const LocalCircumstances& lc) {
  DiscSketch sketch;
  sketch.kind = lc.kind;
  const double sd = lc.sunSemidiameter;
  for (int i = kC1; i <= kC4; ++i) {
    if (!SlotIsUsable(lc, i)) continue;
    DiscFrame f;
    f.slot = static_cast<ContactIndex>(i);
    f.time = lc.contactTime[i];
    const double v = lc.vertexAngle[i];
    f.moonRadius = lc.radiusRatio[i];
    // At the inner contacts of a total eclipse the larger Moon touches the Sun's rim from the
    // far side: its centre lies opposite the contact point.
    const bool opposite = lc.kind == EclipseKind::kTotal && (i == kC2 || i == kC3);
    AtVertexAngle(opposite ? v + kPi : v, lc.centreDistance[i], f.moonX, f.moonY);
    // The north point lies at vertex angle V − P: the position angle counts from north.
    AtVertexAngle(v - lc.positionAngle[i], 1, f.northX, f.northY);
    if (i != kMax) {
      f.hasContact = true;
      AtVertexAngle(v, 1, f.contactX, f.contactY);
    }
    f.altitude = lc.sunAltitude[i];
    f.belowHorizon = f.altitude < 0;
    // The geometric horizon, so that the line, the greying and the caption's altitude agree
    // with one another and with the reports. A Sun of unknown size still gets its horizon on
    // the right side.
    const double offset = std::isfinite(sd) && sd > 0 ? f.altitude / sd
                          : f.altitude >= 0           ? kFarHorizon
                                                      : -kFarHorizon;
    f.horizonOffset = std::clamp(offset, -kFarHorizon, kFarHorizon);
    sketch.frames.push_back(f);
  }
  return sketch;
}

DiscSketch PlaceDiscSketch(const EclipseRecord& record, double deltaT, double latitude,
                           double longitude, int heightMetres) {
  const double phi = latitude * kDegToRad;
  const LocalEclipse found = ComputeLocalEclipse(record, deltaT, phi, -longitude * kDegToRad,
                                                 ObserverGeocentric(heightMetres, phi));
  if (found.outcome != LocalOutcome::kEclipse) return {};
  return BuildDiscSketch(found.circumstances);
}

std::vector<std::string> DiscSketchCaptions(const DiscSketch& sketch, const EclipseRecord& record,
                                            double deltaT, bool ut, Language language) {
  static const char* const kNames[5] = {"C1", "C2", "Max.", "C3", "C4"};
  static const char* const kAltitude[kLanguageCount] = {"Höhe", "Alt.", "Haut."};
  const char* altitudeWord = IsKnownLanguage(language) ? kAltitude[LanguageIndex(language)] : "";
  std::vector<std::string> captions;
  captions.reserve(sketch.frames.size());
  for (const DiscFrame& f : sketch.frames) {
    const double hours = ut ? ContactUT(record, deltaT, f.time).hours : record.t0Hour + f.time;
    captions.push_back(std::string(kNames[f.slot]) + "  " + Clock(hours) + " " + TimeScaleName(ut, language) +
                       "\n" + altitudeWord + " " + FormatFixed(f.altitude * kRadToDeg, 1) +
                       "\u00b0");
  }
  return captions;
}

}  // namespace umbrivista
