// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "string_table.h"

#include <array>

namespace umbrivista {

namespace {

// clang-format off
const std::array<std::string, 3 * kStringItemCount> kTable = {
  "Partielle Sonnenfinsternis", "Partial solar eclipse", "Éclipse de soleil partielle",
  "Totale Sonnenfinsternis", "Total solar eclipse", "Éclipse de soleil totale",
  "Ringförmige Sonnenfinsternis", "Annular solar eclipse", "Éclipse de soleil annulaire",
  "Ringförmig-totale Sonnenfinsternis", "Annular-total solar eclipse", "Éclipse de soleil annulaire totale",
  "Nichtzentrale totale Sonnenfinsternis", "Non-central total solar eclipse", "Éclipse de soleil totale non centrale",
  "Nichtzentrale ringförmige Sonnenfinsternis", "Non-central annular solar eclipse", "Éclipse de soleil annulaire non centrale",
  "Partielle Sonnenfinsternis", "Partial solar eclipse", "Éclipse de soleil partielle",
  "Totale Sonnenfinsternis", "Total solar eclipse", "Éclipse de soleil totale",
  "Ringförmige Sonnenfinsternis", "Annular solar eclipse", "Éclipse de soleil annulaire",
  "Ringf.-totale Sonnenfinst.", "Ann-total solar eclipse", "Éclipse de soleil annulaire-totale",
  "Nichtzentrale totale SoFi", "Non-central total solar eclipse", "Éclipse de soleil totale non centrale",
  "Nichtzentrale ringf. SoFi", "Non-central annular solar ecl.", "Éclipse de soleil annulaire non centrale",
  "Finsternis im Saros    (", "Eclipse in Saros    (", "Éclipse dans Saros (",
  ". von ", ". of ", ". de ",
  " Sek. ", " secs", " sec.",
  "Ekliptik", "Ecliptic", "Écliptique",
  "Weg der", "path of", "chemin de",
  "Schattenachse", "shadow axis", "l'axe de l'ombre",
  " Kernschatten-Ø", " Umbra diameter", " Diam. de l'ombre",
  "schnell rückwärts abspielen", "fast reverse play", "retour rapide",
  "rückwärts abspielen", "reverse play", "retour",
  "Stop", "stop", "stop",
  "vorwärts abspielen", "forward play", "lecture",
  "schnell vorwärts abspielen", "fast forward play", "avance rapide",
  "Zeitregler (-3.5 Std bis +3.5 Std)", "Time slider (-3.5 hrs to +3.5 hrs)", "Réglage du temps (-3.5 h à +3.5 h)",
  "Besselsche Elemente der Sonnenfinsternisse", "Besselian elements of solar eclipses", "Éléments de Bessel des éclipses de soleil",
  " Std", " hours", " heures",
  " R(Erde)", " R(Earth)", " R(Terre)",
  " Zentrallinie:", " Center line:", " Ligne centrale :",
  " Finsternis", " eclipse", " éclipse",
  "Totale", "Total", "totale",
  "Ringf.", " Annular", " annulaire",
  " Geogr.Länge", " Longitude", " Longitude",
  " Geogr.Breite", " Latitude", " Latitude",
  " Dauer", " Duration", " Durée",
  " Zonenbreite", " Path width", " larg. de l'ombre",
  " Sonne:Höhe", " Sun altitude", " Alt. du soleil",
  " Ortszeit", " Local time", " Heure locale",
  "subsolarer", "sub-solar", "point",
  "Punkt", "point", "sub-solaire",
  " Sonne:Az.(S→W)", " Sun azim. (S→W)", " Azim. sol. (S→O)",
  "", "", "",
  "Finsternisse durchsucht", "eclipses scanned", "éclipses cherchées",
  "Finsternisse gefunden", "eclipses found", "éclipses trouvées",
  "Dist. zu Schattenachse", "Dist. to shadow axis", "Dist. à l'axe de l'ombre",
  "Dist. zu Max. Finsternis", "Dist. to max. eclipse", "Dist. de l'éclipse max.  ",
  "anti-subsolarer", "anti-sub-", "point anti-",
  "Punkt", "solar point", "sub-solaire",
  "Nord", "North", "Nord",
  "Süd", "South", "Sud",
  "Ost", "East", "Est",
  "West", "West", "Ouest",
  " ist kein gültiger Wert", " is not a valid number", " valeur non valide",
  "Suche zwischen den Jahren", "Search between the years", "Rechercher entre les années",
  "und", "and", "et",
  "Orte getestet", "Places scanned", "Lieux cherchés",
  "Orte gefunden", "Places found", "Lieux trouvés",
  "Fehler in der Koordinatenangabe: ", "Error in coordinate point: ", "Erreur de coordonnées",
  " ", " ", "",
  " ", " ", "",
};
// clang-format on

const std::string kEmpty;

}  // namespace

const std::string& StringEntry(int index) {
  if (index < 0 || index >= static_cast<int>(kTable.size())) return kEmpty;
  return kTable[static_cast<std::size_t>(index)];
}

const std::string& StringItem(Text text, Language language) {
  const int item = static_cast<int>(text);
  if (item >= kStringItemCount || !IsKnownLanguage(language)) return kEmpty;
  return StringEntry(kLanguageCount * item + LanguageIndex(language));
}

}  // namespace umbrivista
