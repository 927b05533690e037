// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "title_block.h"

#include <array>

#include "eclipse_date.h"
#include "eclipse_types.h"
#include "shadow.h"
#include "string_table.h"

namespace umbrivista {

namespace {

using Texts = std::array<const char*, kLanguageCount>;  // German, English, French

// clang-format off
const Texts kCentreLineText = {"Zentrallinie", "Centre line", "Ligne centrale"};
const Texts kCentralLimitsText = {"Grenzen der Zentralzone", "Limits of the central path",
                                  "Limites de la bande centrale"};
const Texts kOuterLimitsText = {"Grenzen der partiellen Finsternis, Auf-/Untergangskurven",
                                "Limits of the partial eclipse, sunrise/sunset curves",
                                "Limites de l'éclipse partielle, courbes lever/coucher"};
const Texts kMagnitudeCirclesText = {"Halbschatten: Kreise gleicher Größe",
                                     "Penumbra: circles of equal magnitude",
                                     "Pénombre : cercles d'égale grandeur"};
const Texts kUmbraText = {"Kernschatten (Umbra/Antumbra)", "Umbra (antumbra)",
                          "Ombre (anti-ombre)"};
const Texts kAxisTrackText = {"Weg der Schattenachse, Halbschattendurchmesser",
                              "Path of the shadow axis, penumbral diameter",
                              "Chemin de l'axe de l'ombre, diamètre de la pénombre"};
const Texts kPointOfInterestText = {"Markierung", "Point of interest", "Marqueur"};
const Texts kListPointsText = {"Markierungen der Liste", "Points from the list",
                               "Marqueurs de la liste"};
const Texts kCapitalsText = {"Hauptstädte", "Capitals", "Capitales"};
// clang-format on

}  // namespace

TitleBlock BuildTitleBlock(const TitleBlockInput& in) {
  TitleBlock block;
  block.backView = in.backView;
  if (!IsKnownLanguage(in.language)) return block;
  const int lang = LanguageIndex(in.language);
  const double secondsEarlier = in.ut ? in.deltaT : 0;

  const CalendarDate date = GreatestEclipseDate(in.record, secondsEarlier);
  block.title = LongTypeName(in.record.typeCode, in.language);
  if (!block.title.empty()) block.title += ' ';
  block.title += IsoDate(date.year, date.month, date.day);

  block.instant =
      DateTimeLine(InstantJulianDay(in.record, in.t, secondsEarlier), in.ut, in.language);
  if (in.ut) {
    block.instant += " (\u0394T " + DeltaTSecondsText(in.deltaT, in.record.year) + " s)";
  }

  auto add = [&block, lang](LegendKind kind, const Texts& texts) {
    block.legend.push_back({kind, texts[lang]});
  };
  const bool central = IsCentral(in.record.typeCode);
  if (central) add(LegendKind::kCentreLine, kCentreLineText);
  if (in.limits) {
    if (central) add(LegendKind::kCentralLimits, kCentralLimitsText);
    add(LegendKind::kOuterLimits, kOuterLimitsText);
  }
  if (in.overlay) {
    if (!in.backView) add(LegendKind::kMagnitudeCircles, kMagnitudeCirclesText);
    add(LegendKind::kUmbra, kUmbraText);
    add(LegendKind::kAxisTrack, kAxisTrackText);
    block.legend.push_back({LegendKind::kEcliptic, StringItem(Text::kEcliptic, in.language)});
  }
  if (in.pointOfInterest) add(LegendKind::kPointOfInterest, kPointOfInterestText);
  if (in.listPoints) add(LegendKind::kListPoints, kListPointsText);
  if (in.capitals) add(LegendKind::kCapitals, kCapitalsText);
  return block;
}

}  // namespace umbrivista
