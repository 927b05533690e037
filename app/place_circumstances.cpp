// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "place_circumstances.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "angles.h"
#include "deltat.h"
#include "eclipse_date.h"
#include "eclipse_types.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "path_limits.h"
#include "string_table.h"

namespace umbrivista {

namespace {

// Texts of the panel, German, English, French.
struct Words {
  const char* noEclipse;
  const char* kind[3];  // partial, total, annular
  const char* magnitude;
  const char* obscuration;
  const char* maximum;
  const char* duration;
  const char* inside;
  const char* noHorizon;  // instant below the horizon
  const char* notComputed;
  const char* inProgress[3];  // at sunrise, at sunset, at both
  const char* horizon[2];     // the instants: sunrise, sunset
  const char* seenAt[2];      // the most seen, when greatest eclipse is below the horizon
  const char* notVisible;     // replaces kind and amounts when the Sun stays down
  const char* sunColumns;     // what the numbers on each contact's line are
  const char* nearest[2];     // nearest totality, annularity: "%s km %s"
  const char* localTime;      // before the zone's name
  const char* forDeltaT[3];   // partial for every ΔT of the range, total or annular for a part
};

constexpr Words kWords[3] = {
    {"Keine Finsternis an diesem Ort",
     {"Partielle Finsternis", "Totale Finsternis", "Ringförmige Finsternis"},
     "Magnitude",
     "Bedeckung",
     "Maximum",
     "Dauer",
     "in der Zentralzone, %s km vom Rand",
     "unter dem Horizont",
     "Die Umstände an diesem Ort ließen sich nicht berechnen",
     {"Finsternis bei Sonnenaufgang im Gange", "Finsternis bei Sonnenuntergang im Gange",
      "Finsternis bei Sonnenaufgang und Sonnenuntergang im Gange"},
     {"Sonnenaufgang", "Sonnenuntergang"},
     {"Bei Sonnenaufgang:", "Bei Sonnenuntergang:"},
     "Hier nicht sichtbar: die Sonne steht unter dem Horizont",
     "Sonne: Höhe geometrisch (mit Refraktion), Azimut von Nord über Ost; P, V des Kontakts",
     {"nächste Totalität: %s km %s", "nächste Ringförmigkeit: %s km %s"},
     "Ortszeit: ",
     {"Partiell für jedes ΔT von %s bis %s s (±2σ)", "Total für ΔT zwischen %s und %s s",
      "Ringförmig für ΔT zwischen %s und %s s"}},
    {"No eclipse at this place",
     {"Partial eclipse", "Total eclipse", "Annular eclipse"},
     "Magnitude",
     "Obscuration",
     "Maximum",
     "Duration",
     "inside the central path, %s km from its limit",
     "below the horizon",
     "The circumstances at this place could not be computed",
     {"Eclipse in progress at sunrise", "Eclipse in progress at sunset",
      "Eclipse in progress at sunrise and at sunset"},
     {"Sunrise", "Sunset"},
     {"At sunrise:", "At sunset:"},
     "Not visible here: the Sun is below the horizon",
     "Sun: altitude geometric (refracted), azimuth from north via east; P, V of the contact",
     {"nearest totality: %s km %s", "nearest annularity: %s km %s"},
     "Local time: ",
     {"Partial for every ΔT from %s to %s s (±2σ)", "Total for ΔT between %s and %s s",
      "Annular for ΔT between %s and %s s"}},
    {"Pas d'éclipse en ce lieu",
     {"Éclipse partielle", "Éclipse totale", "Éclipse annulaire"},
     "Magnitude",
     "Obscuration",
     "Maximum",
     "Durée",
     "dans la bande centrale, à %s km de sa limite",
     "sous l'horizon",
     "Les circonstances en ce lieu n'ont pas pu être calculées",
     {"Éclipse en cours au lever du soleil", "Éclipse en cours au coucher du soleil",
      "Éclipse en cours au lever et au coucher du soleil"},
     {"Lever du soleil", "Coucher du soleil"},
     {"Au lever du soleil :", "Au coucher du soleil :"},
     "Pas visible ici : le soleil est sous l'horizon",
     "Soleil : hauteur géométrique (avec réfraction), azimut depuis le nord par l'est ; P, V du "
     "contact",
     {"totalité la plus proche : %s km %s", "annularité la plus proche : %s km %s"},
     "Heure locale : ",
     {"Partielle pour tout ΔT de %s à %s s (±2σ)", "Totale pour ΔT entre %s et %s s",
      "Annulaire pour ΔT entre %s et %s s"}},
};

std::string Clock(double hours) {
  long long s = static_cast<long long>(std::floor(NonNegativeRemainder(hours, 24) * 3600 + 0.5));
  s %= 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

// Whole seconds as m:ss.
std::string MinSec(double seconds) {
  const long long s = std::llround(std::max(0.0, seconds));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 60, s % 60);
  return buf;
}

}  // namespace

std::vector<std::string> PlaceCircumstancesLines(const EclipseRecord& record, double deltaT,
                                                 bool ut, double latitude, double longitude,
                                                 Language language, const CivilClock* civil) {
  if (!IsKnownLanguage(language)) return {};
  const Words& w = kWords[LanguageIndex(language)];
  const double phi = latitude * kPi / 180;
  const LocalEclipse found =
      ComputeLocalEclipse(record, deltaT, phi, -longitude * kPi / 180, ObserverGeocentric(0, phi));
  if (found.outcome == LocalOutcome::kOutsidePenumbra) return {w.noEclipse};
  if (found.outcome != LocalOutcome::kEclipse) return {w.notComputed};
  const LocalCircumstances& lc = found.circumstances;
  const VisiblePart& seen = found.visible;
  std::vector<std::string> lines;
  const int kind = lc.kind == EclipseKind::kTotal ? 1 : lc.kind == EclipseKind::kAnnular ? 2 : 0;
  const bool visible = seen.visibility != Visibility::kNone;
  // Where the Sun stays down, nothing of the eclipse is seen: no kind, magnitude or obscuration.
  lines.push_back(visible ? w.kind[kind] : w.notVisible);
  // Where ΔT is uncertain by more than a minute, what the place saw depends on it: the parts of
  // ΔT ± 2σ over which it sees the central phase, not a plain yes or no.
  const double sigma = DeltaTSigma(record.year, record.month);
  if (sigma > kDeltaTStatementSigma) {
    const double lowest = deltaT - 2 * sigma, highest = deltaT + 2 * sigma;
    const auto parts = CentralDeltaTIntervals(record, phi, -longitude * kPi / 180,
                                              ObserverGeocentric(0, phi), lowest, highest);
    char buf[160];
    if (parts.empty()) {
      std::snprintf(buf, sizeof buf, w.forDeltaT[0], FormatFixed(lowest, 0).c_str(),
                    FormatFixed(highest, 0).c_str());
      lines.front() = buf;
    } else {
      // The kind of the central phase in the middle of the first part.
      const double middle = (parts.front().from + parts.front().to) / 2;
      const LocalEclipse at =
          ComputeLocalEclipse(record, middle, phi, -longitude * kPi / 180, ObserverGeocentric(0, phi));
      const bool annular = at.outcome == LocalOutcome::kEclipse &&
                           at.circumstances.kind == EclipseKind::kAnnular;
      std::string text;
      for (const DeltaTInterval& part : parts) {
        std::snprintf(buf, sizeof buf, w.forDeltaT[annular ? 2 : 1],
                      FormatFixed(part.from, 0).c_str(), FormatFixed(part.to, 0).c_str());
        text += (text.empty() ? "" : "; ") + std::string(buf);
      }
      lines.front() = text;
    }
  }
  switch (seen.visibility) {
    case Visibility::kNone:
      break;
    case Visibility::kSunrise:
      lines.push_back(w.inProgress[0]);
      break;
    case Visibility::kSunset:
      lines.push_back(w.inProgress[1]);
      break;
    case Visibility::kSunriseAndSunset:
      lines.push_back(w.inProgress[2]);
      break;
    case Visibility::kFull:
      break;
  }
  // Rounded so that a partial or annular eclipse never reads 1.000 or 100.0 %, nor a total one
  // less.
  auto amount = [&w](double magnitude, double obscuration, EclipseKind k) {
    return std::string(w.magnitude) + " " + FormatForKind(magnitude, 1, 3, k) + "   " +
           w.obscuration + " " + FormatForKind(obscuration, 100, 1, k) + " %";
  };
  if (visible) lines.push_back(amount(lc.magnitude, lc.obscuration, lc.kind));
  if (visible && !seen.maximumVisible) {
    const bool atSunset = seen.greatestTime < lc.contactTime[kMax];
    lines.push_back(std::string(w.seenAt[atSunset ? 1 : 0]) + " " +
                    amount(seen.greatestMagnitude, seen.greatestObscuration, seen.greatestKind));
  }
  const std::string scale = std::string(" ") + TimeScaleName(ut, language);
  auto clock = [&](double t) {
    std::string text = Clock(ut ? ContactUT(record, deltaT, t).hours : record.t0Hour + t) + scale;
    if (civil) {
      const UTInstant when = ContactUT(record, deltaT, t);
      if (const auto offset = CivilOffsetAt(civil->zone, when.julianDay, longitude, civil->offsets))
        text += "  " + FormatCivilTime(when.julianDay, *offset);
    }
    return text;
  };
  // The contacts and the Sun's crossings of the horizon during the eclipse, in time order.
  struct Instant {
    double t;
    std::string line;
  };
  std::vector<Instant> instants;
  const char* names[5] = {"C1", "C2", w.maximum, "C3", "C4"};
  const auto degrees = [](double radians, int decimals) {
    return FormatFixed(radians * kRadToDeg, decimals) + "\u00b0";
  };
  for (int i = 0; i < 5; ++i) {
    if (!lc.computed[i]) continue;
    const double t = lc.contactTime[i];
    const double altitude = lc.sunAltitude[i];
    std::string line = std::string(names[i]) + "  " + clock(t) + "   " + degrees(altitude, 1) +
                       " (" + degrees(ApparentAltitude(altitude), 1) + ")   Az " +
                       degrees(lc.sunAzimuth[i], 1) + "   P " + degrees(lc.positionAngle[i], 0) +
                       "  V " + degrees(lc.vertexAngle[i], 0);
    if (altitude < 0) line += std::string("  ") + w.noHorizon;
    instants.push_back({t, line});
  }
  if (seen.hasSunrise) {
    instants.push_back({seen.sunrise, std::string(w.horizon[0]) + "  " + clock(seen.sunrise)});
  }
  if (seen.hasSunset) {
    instants.push_back({seen.sunset, std::string(w.horizon[1]) + "  " + clock(seen.sunset)});
  }
  std::stable_sort(instants.begin(), instants.end(),
                   [](const Instant& a, const Instant& b) { return a.t < b.t; });
  if (civil) lines.push_back(w.localTime + civil->zone.Label());
  lines.push_back(w.sunColumns);
  for (Instant& i : instants) lines.push_back(std::move(i.line));
  if (kind != 0) {
    const double minutes = CentralDurationMinutes(lc);
    if (minutes >= 0) {
      std::string text = FormatMinSec(1, minutes / 60);
      text.erase(0, text.find_first_not_of(' '));
      lines.push_back(std::string(w.duration) + " " + text);
    }
  }
  char buf[200];
  if (const auto limit = DistanceToPathLimit(record, deltaT, latitude, longitude);
      limit && limit->inside) {
    std::snprintf(buf, sizeof buf, w.inside, FormatFixed(limit->km, 1).c_str());
    lines.push_back(buf);
  } else if (const auto near = NearestCentralPath(record, deltaT, latitude, longitude)) {
    // Outside: where the central phase is nearest, and how long it lasts on the centre line
    // across from there.
    const bool annular = near->hasCentreLine ? !near->total : record.typeCode == kAnnular;
    std::snprintf(buf, sizeof buf, w.nearest[annular ? 1 : 0],
                  FormatFixed(near->km, near->km < 100 ? 1 : 0).c_str(),
                  CompassPoint(near->bearing, language));
    std::string line = buf;
    if (near->hasCentreLine) line += ", " + MinSec(near->durationSeconds);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace umbrivista
