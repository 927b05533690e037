// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "version_info.h"

namespace umbrivista {

std::array<VersionRow, kVersionRowCount> VersionInfoRows(const BuildFacts& f) {
  auto yesNo = [](bool flag) { return std::string(flag ? "Yes" : "No"); };
  return {{
      {"FileType        ", f.fileType},
      {"CompanyName     ", "The Umbrivista developers"},
      {"FileDescription ", "Umbrivista: solar eclipses on a globe"},
      {"FileVersion     ", f.version},
      {"InternalName    ", "umbrivista"},
      {"LegalCopyRight  ", "Copyright 2026 the Umbrivista developers"},
      {"LegalTradeMarks ", ""},
      {"OriginalFileName", "umbrivista"},
      {"ProductName     ", "Umbrivista"},
      {"ProductVersion  ", f.version},
      {"SpecialBuildStr ", ""},
      {"PrivateBuildStr ", ""},
      {"FileFunction    ", "Application"},
      {"DebugBuild      ", yesNo(f.debug)},
      {"PreRelease      ", yesNo(f.preRelease)},
      {"PrivateBuild    ", yesNo(f.privateBuild)},
      {"SpecialBuild    ", yesNo(f.specialBuild)},
  }};
}

std::string ProductLabel(const std::string& version) { return "Umbrivista      " + version; }

AboutTexts AboutPanelTexts(Language language) {
  if (!IsKnownLanguage(language)) return {};
  const int index = LanguageIndex(language);
  auto pick = [index](const char* de, const char* en, const char* fr) {
    return std::string(index == 0 ? de : index == 1 ? en : fr);
  };
  AboutTexts texts;
  texts.licenceTitle = pick("Lizenz", "Licence", "Licence");
  texts.licence = pick(
      "Umbrivista steht unter der GPL-3.0-or-later, sein Finsternis-Katalog, seine Hilfe, sein "
      "Symbol und seine Dokumentation unter CC BY 4.0, und die Daten Dritter behalten ihre "
      "Bedingungen (data/README.md).",
      "Umbrivista is licensed under GPL-3.0-or-later, its eclipse catalogue, help pages, icon "
      "and documentation under CC BY 4.0, and third-party data keep their own terms "
      "(data/README.md).",
      "Umbrivista est sous licence GPL-3.0-or-later, son catalogue des éclipses, son aide, son "
      "icône et sa documentation sous CC BY 4.0, et les données de tiers gardent leurs "
      "conditions (data/README.md).");
  texts.creditsTitle = pick("Daten", "Data", "Données");
  texts.credits = {
      pick("Finsternis-Katalog: berechnet aus der JPL-Ephemeride DE431 (Swiss Ephemeris), "
           "Erdrotation mit ERFA",
           "Eclipse catalogue: computed from the JPL DE431 ephemeris (Swiss Ephemeris), Earth "
           "rotation with ERFA",
           "Catalogue des éclipses : calculé à partir de l'éphéméride JPL DE431 (Swiss "
           "Ephemeris), rotation de la Terre avec ERFA"),
      pick("ΔT: F. Espenak und J. Meeus, Five Millennium Canon of Solar Eclipses (NASA)",
           "ΔT: F. Espenak and J. Meeus, Five Millennium Canon of Solar Eclipses (NASA)",
           "ΔT : F. Espenak et J. Meeus, Five Millennium Canon of Solar Eclipses (NASA)"),
      pick("Orte und Hauptstädte: GeoNames (geonames.org), CC BY 4.0; Höhen ergänzt aus ETOPO5 "
           "(NOAA NGDC)",
           "Places and capitals: GeoNames (geonames.org), CC BY 4.0; heights completed from "
           "ETOPO5 (NOAA NGDC)",
           "Lieux et capitales : GeoNames (geonames.org), CC BY 4.0 ; altitudes complétées par "
           "ETOPO5 (NOAA NGDC)"),
      pick("Globus: NASA Blue Marble Next Generation; Natural Earth II von Tom Patterson; "
           "Ländergrenzen von Natural Earth (gemeinfrei)",
           "Globe: NASA Blue Marble Next Generation; Natural Earth II by Tom Patterson; country "
           "borders from Natural Earth (public domain)",
           "Globe : NASA Blue Marble Next Generation ; Natural Earth II de Tom Patterson ; "
           "frontières de Natural Earth (domaine public)"),
  };
  texts.documentation = pick("Dokumentation: Umbrivista-Hilfe öffnen",
                             "Documentation: open the Umbrivista help",
                             "Documentation : ouvrir l'aide d'Umbrivista");
  return texts;
}

}  // namespace umbrivista
