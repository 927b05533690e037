#include "place_circumstances.h"

#include <cmath>
#include <cstdio>

#include "angles.h"
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
  const char* outside;
  const char* noHorizon;  // instant below the horizon
  const char* invisible;  // every instant below the horizon
};

constexpr Words kWords[3] = {
    {"Keine Finsternis an diesem Ort", {"Partielle Finsternis", "Totale Finsternis", "Ringförmige Finsternis"},
     "Magnitude", "Bedeckung", "Maximum", "Dauer", "in der Zentralzone, %s km vom Rand",
     "außerhalb der Zentralzone, %s km vom Rand", "unter dem Horizont",
     "Die Sonne steht während der ganzen Finsternis unter dem Horizont"},
    {"No eclipse at this place", {"Partial eclipse", "Total eclipse", "Annular eclipse"},
     "Magnitude", "Obscuration", "Maximum", "Duration", "inside the central path, %s km from its limit",
     "outside the central path, %s km from its limit", "below the horizon",
     "The Sun is below the horizon for the whole eclipse"},
    {"Pas d'éclipse en ce lieu", {"Éclipse partielle", "Éclipse totale", "Éclipse annulaire"},
     "Magnitude", "Obscuration", "Maximum", "Durée", "dans la bande centrale, à %s km de sa limite",
     "hors de la bande centrale, à %s km de sa limite", "sous l'horizon",
     "Le soleil est sous l'horizon pendant toute l'éclipse"},
};

std::string Clock(double hours) {
  long long s = static_cast<long long>(std::floor(NonNegativeRemainder(hours, 24) * 3600 + 0.5));
  s %= 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

}  // namespace

std::vector<std::string> PlaceCircumstancesLines(const EclipseRecord& record, double deltaT,
                                                 bool ut, double latitude, double longitude,
                                                 Language language) {
  if (!IsKnownLanguage(language)) return {};
  const Words& w = kWords[LanguageIndex(language)];
  const double phi = latitude * kPi / 180;
  const auto lc = ComputeLocalCircumstances(record, deltaT, phi, -longitude * kPi / 180,
                                            ObserverGeocentric(0, phi));
  if (!lc) return {w.noEclipse};
  std::vector<std::string> lines;
  const int kind = lc->kind == EclipseKind::kTotal ? 1 : lc->kind == EclipseKind::kAnnular ? 2 : 0;
  lines.push_back(w.kind[kind]);
  bool visible = false;
  for (int i = 0; i < 5; ++i) visible = visible || (lc->computed[i] && lc->sunAltitude[i] > 0);
  if (!visible) lines.push_back(w.invisible);
  lines.push_back(std::string(w.magnitude) + " " + FormatFixed(lc->magnitude, 3) + "   " +
                  w.obscuration + " " + FormatFixed(lc->obscuration * 100, 1) + " %");
  const char* names[5] = {"C1", "C2", w.maximum, "C3", "C4"};
  const char* scale = ut ? " UT" : " TT";
  for (int i = 0; i < 5; ++i) {
    if (!lc->computed[i]) continue;
    const double t = lc->contactTime[i];
    const double hours = ut ? ContactUT(record, deltaT, t).hours : record.t0Hour + t;
    const double altitude = lc->sunAltitude[i] * 180 / kPi;
    std::string line = std::string(names[i]) + "  " + Clock(hours) + scale + "   " +
                       FormatFixed(altitude, 1) + "\u00b0";
    if (altitude < 0) line += std::string(" (") + w.noHorizon + ")";
    lines.push_back(line);
  }
  if (kind != 0) {
    const double minutes = CentralDurationMinutes(*lc);
    if (minutes >= 0) {
      std::string text = FormatMinSec(1, minutes / 60);
      text.erase(0, text.find_first_not_of(' '));
      lines.push_back(std::string(w.duration) + " " + text);
    }
  }
  if (const auto limit = DistanceToPathLimit(record, deltaT, latitude, longitude)) {
    char buf[160];
    std::snprintf(buf, sizeof buf, limit->inside ? w.inside : w.outside,
                  FormatFixed(limit->km, 1).c_str());
    lines.push_back(buf);
  }
  return lines;
}

}  // namespace umbrivista
