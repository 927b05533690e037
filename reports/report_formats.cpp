// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_formats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "angles.h"
#include "language.h"
#include "numbers.h"

namespace umbrivista {

namespace {

bool StartsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) n += StartsCharacter(c);
  return n;
}

void AppendTwoDigits(std::string& out, long long value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

// The rows are written straight into their line, field after field, without a string of their
// own for each field: the city list writes a hundred thousand of them.

// Room for any number these texts hold.
using NumberBuffer = char[kFixedTextRoom];

// Appends the ASCII text [begin, end) right-aligned in `width`; a longer text keeps its last
// `width` characters, as RightAlign.
void AppendRightAscii(std::string& out, const char* begin, const char* end, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t n = static_cast<std::size_t>(end - begin);
  if (n <= w) {
    out.append(w - n, ' ');
    out.append(begin, n);
  } else {
    out.append(end - w, w);
  }
}

}  // namespace

void AppendInteger(std::string& out, long long value, int width) {
  NumberBuffer buffer;
  const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  if (width > 0) {
    AppendRightAscii(out, buffer, end, width);
  } else {
    out.append(buffer, static_cast<std::size_t>(end - buffer));
  }
}

namespace {

// FormatFixed(value, decimals), appended; `width` > 0 right-aligns it.
void AppendFixed(std::string& out, double value, int decimals, int width = 0) {
  NumberBuffer buffer;
  const char* end = WriteFixed(buffer, value, decimals);
  if (width > 0) {
    AppendRightAscii(out, buffer, end, width);
  } else {
    out.append(buffer, static_cast<std::size_t>(end - buffer));
  }
}

// TimeOfDayText(hours), appended; nothing for a time that is not finite.
void AppendTimeOfDay(std::string& out, double hours) {
  if (!std::isfinite(hours)) return;
  const auto s = static_cast<long long>(std::trunc(std::clamp(hours, 0.0, 48.0) * 3600 + 0.5));
  AppendTwoDigits(out, s / 3600);
  out += ':';
  AppendTwoDigits(out, s / 60 % 60);
  out += ':';
  AppendTwoDigits(out, s % 60);
}

// A duration in minutes rounded to whole seconds; none for a negative, huge or non-finite one
// (the contacts could not give it).
std::optional<long long> WholeSeconds(double minutes) {
  if (!(minutes >= 0) || !(minutes < 1e6)) return std::nullopt;
  return static_cast<long long>(std::trunc(minutes * 60 + 0.5));
}

// `seconds` (whole, 0 … 6·10^7) as "m:ss", appended; `width` > 0 right-aligns it.
void AppendMinutesSeconds(std::string& out, long long seconds, int width = 0) {
  NumberBuffer buffer;
  char* end = std::to_chars(buffer, buffer + sizeof buffer - 3, seconds / 60).ptr;
  *end++ = ':';
  *end++ = static_cast<char>('0' + seconds % 60 / 10);
  *end++ = static_cast<char>('0' + seconds % 10);
  if (width > 0) {
    AppendRightAscii(out, buffer, end, width);
  } else {
    out.append(buffer, static_cast<std::size_t>(end - buffer));
  }
}

// DurationText(minutes), appended; `width` > 0 right-aligns it.
void AppendDuration(std::string& out, double minutes, int width = 0) {
  if (const std::optional<long long> seconds = WholeSeconds(minutes)) {
    AppendMinutesSeconds(out, *seconds, width);
  } else {
    out.append(static_cast<std::size_t>(std::max(width, 0)), ' ');
  }
}

// ListAngle(radians, width), appended.
void AppendListAngle(std::string& out, double radians, int width) {
  const double degrees = std::nearbyint(radians * kRadToDeg);
  AppendInteger(out, std::fabs(degrees) < 1e15 ? static_cast<long long>(degrees) : 0, width);
}

// Degrees and whole arc minutes of |degrees| with at least `degreeDigits` digits of degrees.
void AppendDegreesMinutes(std::string& out, double degrees, int degreeDigits, const char* letter) {
  const double rounded = std::nearbyint(std::fabs(degrees) * 60);
  const long long r = rounded < 1e15 ? static_cast<long long>(rounded) : 0;  // NaN too
  NumberBuffer buffer;
  const char* end = std::to_chars(buffer, buffer + sizeof buffer, r / 60).ptr;
  const int digits = static_cast<int>(end - buffer);
  if (digits < degreeDigits) out.append(static_cast<std::size_t>(degreeDigits - digits), '0');
  out.append(buffer, static_cast<std::size_t>(end - buffer));
  out += "°";
  AppendTwoDigits(out, r % 60);
  out += '\'';
  out += letter;
}

std::string DegreesMinutes(double degrees, int degreeDigits, const char* letter) {
  std::string text;
  AppendDegreesMinutes(text, degrees, degreeDigits, letter);
  return text;
}

// One contact or maximum block of the list.
void AppendListBlock(const LocalCircumstances& lc, double hours, int slot, std::string& out) {
  if (std::isfinite(hours)) {
    AppendTimeOfDay(out, hours);  // always eight characters
  } else {
    out.append(8, ' ');
  }
  out += ' ';
  AppendListAngle(out, lc.positionAngle[slot], 3);
  out += ' ';
  AppendListAngle(out, lc.vertexAngle[slot], 3);
  out += ' ';
  AppendListAngle(out, lc.sunAltitude[slot], 2);
  out += ' ';
  if (slot == kMax) {
    AppendFixed(out, lc.magnitude, 3, 5);
    out += ' ';
    if (lc.kind == EclipseKind::kPartial) {
      out.append(6, ' ');
    } else {
      AppendDuration(out, CentralDurationMinutes(lc), 5);
      out += ' ';
    }
  }
}

// The fields of one block of a row's values, each followed by a TAB.
void AppendFileBlock(const ReportRowValues& v, double hours, int slot, std::string& out) {
  AppendTimeOfDay(out, hours);
  out += '\t';
  AppendFixed(out, v.positionAngle[slot], 2);
  out += '\t';
  AppendFixed(out, v.vertexAngle[slot], 2);
  out += '\t';
  AppendFixed(out, v.sunAltitude[slot], 2);
  out += '\t';
  if (slot == kMax) {
    AppendFixed(out, v.magnitude, 3);
    out += '\t';
    if (v.hasDuration) AppendMinutesSeconds(out, static_cast<long long>(v.durationSeconds));
    out += '\t';
  }
}

// Hours of each instant shown from 0 h UT of the civil day of the earliest, the row's date: an
// instant of the next day counts from 24. Returns the slot that gives the date (the first on the
// earliest day), -1 when none is shown.
int HoursFromFirstDay(const bool shown[5], const UTInstant when[5], double hours[5]) {
  double days[5] = {};
  int first = -1;
  for (int slot = kC1; slot <= kC4; ++slot) {
    if (!shown[slot]) continue;
    days[slot] = std::floor(when[slot].julianDay + 0.5);
    if (first < 0 || days[slot] < days[first]) first = slot;
  }
  for (int slot = kC1; slot <= kC4; ++slot) {
    if (shown[slot]) hours[slot] = when[slot].hours + 24 * (days[slot] - days[first]);
  }
  return first;
}

// ---- legend texts ----

constexpr int kLegendLineCount = 26;  // title, dashes, 24 column explanations

// clang-format off
const char* const kLegend[3][kLegendLineCount] = {
  {"Legende", "--------", "JJJJ\tJahr", "MM\tMonat", "TT\tTag", "DeltaT\tDelta T",
   "Typ\tFinsternis-Typ (p=partiell, r=ringförmig, t=total)",
   "Sar\tSaros-Nummer der Finsternis", "iS\tRang der Finsternis im Saros",
   "NS\tAnzahl von diesem Saros erzeugten Finsternisse", "Land\tLand oder Punkt",
   "Ort\tStadt oder Ortschaft", "Breite\tGeographische Breite", "Länge\tGeographische Länge",
   "Höhe\tHöhe (grobe Schätzung aus GIS-Raster)", "Einw.\tEinwohner (grobe ältere Schätzung)",
   "1.K.(UT)\tZeit des 1. Kontakts (Beginn der partiellen Phase)",
   "P°\tKontaktpunkt des Mondes vom Nordpunkt der Sonne im Gegenuhrzeigersinn gemessen",
   "V°\tKontaktpunkt des Mondes vom obersten Punkt der Sonne im Gegenuhrzeigersinn gemessen",
   "H°\tHöhe der Sonne über dem Horizont",
   "2.K.(UT)\tZeit des 2. Kontakts (Beginn der Ringförmigkeit oder Totalität)",
   "Max.(UT)\tZeit des Finsternismaximums", "magn\tMagnitude",
   "mm:ss\tDauer der Ringförmigkeit oder Totalität",
   "3.K.(UT)\tZeit des 3. Kontakts (Ende der Ringförmigkeit oder Totalität)",
   "4.K.(UT)\tZeit des 4. Kontakts (Ende der partiellen Phase)"},
  {"Legend", "--------", "YYYY\tYear", "MM\tMonth", "DD\tDay", "DeltaT\tDelta T",
   "Typ\tType of eclipse (p=partial, a=annular, t=total)",
   "Sar\tSaros number to which the eclipse belongs", "iS\tnumber of eclipse in the Saros",
   "NS\tTotal number of eclipses in the Saros", "Country\tCountry or geographical feature",
   "Place\tLocation or city", "Latit.\tGeographic latitude", "Longit.\tGeographic longitude",
   "Height\tHeight (crude estimation from GIS raster data)",
   "Popul.\tPopulation (crude older estimation)",
   "1.C.(UT)\tTime of 1st contact (Begin of partial phase)",
   "P°\tContact point of the Moon measured counterclockwise from the North point of the Sun",
   "V°\tContact point of the Moon measured counterclockwise from the uppermost point of the Sun",
   "H°\tHeight of the Sun above the local (mathematical) horizon",
   "2.C.(UT)\tTime of 2nd contact (Begin of annularity or totality)",
   "Max.(UT)\tTime of eclipse maximum", "magn\tEclipse magnitude",
   "mm:ss\tDuration of annularity or totality",
   "3.C.(UT)\tTime of 3rd contact (End of annularity or totality)",
   "4.C.(UT)\tTime of 4th contact (End of partial phase)"},
  {"La légende", "--------", "AAAA\tAn", "MM\tMois", "JJ\tJour", "DeltaT\tDelta T",
   "Typ\tType de l'éclipse (p=partielle, a=annulaire, t=totale)",
   "Sar\tNuméro de Saros auquel appartient l'éclipse", "iS\tRang de l'éclipse dans le Saros",
   "NS\tNombre d'éclipses générées par ce Saros", "Pays\tPays", "Lieu\tVille",
   "Latit.\tLatitude géographique", "Longit.\tLongitude géographique",
   "Altit.\tAltitude (estimation approximative des données GIS)",
   "Popul.\tPopulation (estimation très approximative)",
   "1.c.(TU)\tTemps universel du 1er contact (Commencement de la phase partielle)",
   "P°\tPoint de contact de la lune du nord du Soleil mesurée dans le sens antihoraire",
   "V°\tPoint de contact de la lune du haut du soleil mesurée dans le sens antihoraire",
   "H°\tÉlévation du soleil au-dessus de l'horizon",
   "2.c.(TU)\tTemps universel du 2e contact (Commencement de la phase annulaire ou totale)",
   "Max.(TU)\tTemps universel du maximum de l'éclipse", "magn\tMagnitude de l'éclipse",
   "mm:ss\tDurée de la phase annulaire ou totale",
   "3.c.(TU)\tTemps universel du 3e contact (Fin de la phase annulaire ou totale)",
   "4.c.(TU)\tTemps universel du 4e contact (Fin de la phase partielle)"},
};

const char* const kHeaders[3] = {
  "JJJJ\tMM\tTT\tDeltaT\tTyp\tSar\tiS\tNS\tLand\tOrt\tBreite\tLänge\tHöhe\tEinw.\t"
  "1.K.(UT)\tP°\tV°\tH°\t2.K.(UT)\tP°\tV°\tH°\tMax.(UT)\tP°\tV°\tH°\tmagn\tmm:ss\t"
  "3.K.(UT)\tP°\tV°\tH°\t4.K.(UT)\tP°\tV°\tH°",
  "YYYY\tMM\tDD\tDeltaT\tTyp\tSar\tiS\tNS\tCountry\tPlace\tLati.\tLongit.\tHeight\tPopul.\t"
  "1.C.(UT)\tP°\tV°\tH°\t2.C.(UT)\tP°\tV°\tH°\tMax.(UT)\tP°\tV°\tH°\tmagn\tmm:ss\t"
  "3.C.(UT)\tP°\tV°\tH°\t4.C.(UT)\tP°\tV°\tH°",
  "AAAA\tMM\tJJ\tDeltaT\tTyp\tSar\tiS\tNS\tPays\tLieu\tLatit.\tLongit.\tAltit.\tPopul.\t"
  "1.C.(TU)\tP°\tV°\tH°\t2.C.(TU)\tP°\tV°\tH°\tMax.(TU)\tP°\tV°\tH°\tmagn\tmm:ss\t"
  "3.C.(TU)\tP°\tV°\tH°\t4.C.(TU)\tP°\tV°\tH°",
};
// clang-format on

}  // namespace

std::string TimeOfDayText(double hours) {
  std::string text;
  AppendTimeOfDay(text, hours);
  return text;
}

std::string DurationText(double minutes) {
  std::string text;
  AppendDuration(text, minutes);
  return text;
}

std::string LatitudeText(double degrees) {
  return DegreesMinutes(degrees, 2, degrees >= 0 ? "N" : "S");
}

std::string LongitudeText(double degreesEast) {
  return DegreesMinutes(degreesEast, 3, degreesEast >= 0 ? "E" : "W");
}

std::string PlaceHistoryLongitudeText(double degreesEast, Language language) {
  static const char* const kWest[3] = {"W", "W", "O"};
  static const char* const kEast[3] = {"O", "E", "E"};
  if (!IsKnownLanguage(language)) return {};
  const int index = LanguageIndex(language);
  return DegreesMinutes(degreesEast, 3, degreesEast <= 0 ? kWest[index] : kEast[index]);
}

std::string ListAngle(double radians, int width) {
  const double degrees = std::nearbyint(radians * kRadToDeg);
  return RightAlign(std::to_string(std::fabs(degrees) < 1e15 ? static_cast<long long>(degrees) : 0),
                    width);
}

std::string FileAngle(double radians) {
  return FormatFixed(radians * kRadToDeg, 2);
}

std::string RightAlign(std::string_view text, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  std::size_t n = CharacterCount(text);
  if (n <= w) return std::string(w - n, ' ') + std::string(text);
  std::size_t start = 0;
  while (n > w) {
    ++start;
    while (start < text.size() && !StartsCharacter(text[start])) ++start;
    --n;
  }
  return std::string(text.substr(start));
}

std::string LeftFit(std::string_view text, int width) {
  std::string out;
  AppendLeftFit(text, width, out);
  return out;
}

void AppendLeftFit(std::string_view text, int width, std::string& out) {
  const std::size_t w = static_cast<std::size_t>(width);
  std::size_t n = 0, end = 0;
  while (end < text.size()) {
    if (StartsCharacter(text[end]) && n++ == w) break;
    ++end;
  }
  const std::string_view kept = text.substr(0, end);
  out += kept;
  n = CharacterCount(kept);
  if (n < w) out.append(w - n, ' ');
}

std::string OneLineText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return out;
}

RowInstants ShownInstants(const EclipseRecord& record, double deltaT,
                          const LocalCircumstances& lc) {
  RowInstants out;
  const UTInstant* previous = nullptr;
  for (int slot = kC1; slot <= kC4; ++slot) {
    if (!lc.computed[slot] || !(lc.sunAltitude[slot] > 0)) continue;
    out.shown[slot] = true;
    out.when[slot] = ContactUT(record, deltaT, lc.contactTime[slot], previous);
    previous = &out.when[slot];
  }
  const int first = HoursFromFirstDay(out.shown, out.when, out.hours);
  if (first >= 0) {
    out.visible = true;
    out.year = out.when[first].year;
    out.month = out.when[first].month;
    out.day = out.when[first].day;
  }
  return out;
}

void AppendListDate(const RowInstants& instants, std::string& out) {
  AppendInteger(out, instants.year, 5);
  out += ' ';
  AppendInteger(out, instants.month, 2);
  out += ' ';
  AppendInteger(out, instants.day, 2);
  out += ' ';
}

void AppendListContacts(const RowInstants& instants, const LocalCircumstances& lc,
                        std::string& out) {
  static constexpr std::size_t kWidths[5] = {20, 20, 32, 20, 20};
  for (int slot = kC1; slot <= kC4; ++slot) {
    if (instants.shown[slot]) {
      AppendListBlock(lc, instants.hours[slot], slot, out);
    } else {
      out.append(kWidths[slot], ' ');
    }
  }
}

void AppendFileRow(ReportKind kind, Language language, const ReportRowValues& v, std::string& out) {
  for (const int number : {v.year, v.month, v.day}) {
    AppendInteger(out, number);
    out += '\t';
  }
  AppendFixed(out, v.deltaT, 1);
  out += '\t';
  out += v.kind;
  out += '\t';
  for (const int number : {v.saros, v.sarosMember, v.sarosCount}) {
    AppendInteger(out, number);
    out += '\t';
  }
  out += v.country;
  out += '\t';
  out += v.place;
  out += '\t';
  out += LatitudeText(v.latitude);
  out += '\t';
  out += kind == ReportKind::kPlaceHistory ? PlaceHistoryLongitudeText(v.longitude, language)
                                           : LongitudeText(v.longitude);
  out += '\t';
  AppendInteger(out, v.height);
  out += '\t';
  AppendInteger(out, v.population);
  out += '\t';
  double hours[5] = {};
  HoursFromFirstDay(v.shown, v.when, hours);
  for (int slot = kC1; slot <= kC4; ++slot) {
    if (v.shown[slot]) {
      AppendFileBlock(v, hours[slot], slot, out);
    } else {
      out.append(slot == kMax ? 6 : 4, '\t');
    }
  }
  // Every block, shown or empty, ends with a TAB; the line ends with the last field instead, so
  // that a row has as many fields as the header whether C4 is shown or not.
  if (!out.empty() && out.back() == '\t') out.pop_back();
}

std::string FileRowText(ReportKind kind, Language language, const ReportRowValues& values) {
  std::string text;
  text.reserve(300);
  AppendFileRow(kind, language, values, text);
  return text;
}

ReportRowValues RowValues(const RowInstants& instants, double deltaT, char kind,
                          const EclipseRecord& record, const LocalCircumstances& lc) {
  ReportRowValues v;
  v.year = instants.year;
  v.month = instants.month;
  v.day = instants.day;
  v.deltaT = deltaT;
  v.kind = kind;
  v.saros = record.sarosNumber;
  v.sarosMember = record.sarosMember;
  v.sarosCount = record.sarosMemberCount;
  for (int slot = kC1; slot <= kC4; ++slot) {
    if (!instants.shown[slot]) continue;
    v.shown[slot] = true;
    v.when[slot] = instants.when[slot];
    v.positionAngle[slot] = lc.positionAngle[slot] * kRadToDeg;
    v.vertexAngle[slot] = lc.vertexAngle[slot] * kRadToDeg;
    v.sunAltitude[slot] = lc.sunAltitude[slot] * kRadToDeg;
  }
  if (v.shown[kMax]) {
    v.magnitude = lc.magnitude;
    v.obscuration = lc.obscuration;
    // As DurationText: none for a partial phase or a duration the contacts could not give.
    const std::optional<long long> seconds = WholeSeconds(CentralDurationMinutes(lc));
    if (lc.kind != EclipseKind::kPartial && seconds) {
      v.hasDuration = true;
      v.durationSeconds = static_cast<double>(*seconds);
    }
  }
  return v;
}

std::vector<std::string> LegendLines(ReportKind kind, Language language) {
  if (!IsKnownLanguage(language)) return {};
  const auto& legend = kLegend[LanguageIndex(language)];
  std::vector<std::string> lines(legend, legend + kLegendLineCount);
  if (kind == ReportKind::kPlaceHistory) {
    // The place-history file ends these explanations with a full stop (the French altitude line
    // excepted).
    for (std::string& line : lines) {
      for (const char* key : {"Sar\t", "iS\t", "NS\t", "P°\t", "V°\t", "H°\t"}) {
        const bool french = language == Language::kFrench && std::string_view(key) == "H°\t";
        if (line.rfind(key, 0) == 0 && !french) line += '.';
      }
    }
  }
  lines.push_back(DashTemplate(language));
  lines.emplace_back();
  lines.push_back(HeaderLine(language));
  return lines;
}

std::string DashTemplate(Language language) {
  if (!IsKnownLanguage(language)) return {};
  const std::string contact = "--:--:--\t---.--\t---.--\t---.--";
  return std::string("----\t--\t--\t-------\t-\t---\t--\t--\t----------\t----------\t") +
         "--°--'--H\t---°--'--H\t" + (language == Language::kGerman ? "----" : "------") +
         "\t-------\t" + contact + '\t' + contact + '\t' + contact + "\t-.---\t--:--\t" + contact +
         '\t' + contact;
}

std::string HeaderLine(Language language) {
  return IsKnownLanguage(language) ? kHeaders[LanguageIndex(language)] : "";
}

std::string SavedFileText(ReportKind kind, Language language, const std::vector<ReportRow>& rows) {
  std::string text;
  for (const std::string& line : LegendLines(kind, language)) text += line + "\r\n";
  text.reserve(text.size() + rows.size() * 256);
  for (const ReportRow& row : rows) {
    AppendFileRow(kind, language, row.values, text);
    text += "\r\n";
  }
  return text;
}

}  // namespace umbrivista
