// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "captions.h"

#include "string_table.h"

namespace umbrivista {

namespace {

using W = CaptionWindow;

// clang-format off
const CaptionText kCaptions[] = {
  {W::kMain, "File1", {"&Datei", "&File", "&Fichier"}},
  {W::kMain, "Action_ExportPicture", {"Bild &exportieren …", "&Export picture…", "&Exporter l'image…"}},
  {W::kMain, "Action_Print", {"&Drucken …", "&Print…", "&Imprimer…"}},
  {W::kMain, "Action_PrintPreview", {"Druck&vorschau …", "Print pre&view…", "&Aperçu avant impression…"}},
  {W::kMain, "Action_ExportAnimation", {"&Animation exportieren …", "Export &animation…", "Exporter l'&animation…"}},
  {W::kMain, "Action_SaveView", {"Ansicht &speichern …", "&Save view…", "Enregistrer la &vue…"}},
  {W::kMain, "Action_OpenView", {"Ansicht &öffnen …", "&Open view…", "&Ouvrir une vue…"}},
  {W::kMain, "Exit1", {"&Beenden", "E&xit", "&Fermer"}},
  {W::kMain, "Liste1", {"&Liste erzeugen", "&Create List", "&Créer liste"}},
  {W::kMain, "Sichtbarkeit", {"Sichtbarkeit dieser Finsternis an verschiedenen Orten", "Local circumstances for cities/countries", "Visibilité de l'éclipse en différents lieux"}},
  {W::kMain, "CityHist", {"Alle Finsternisse an einem bestimmten Ort suchen", "Search for all eclipses at a given place", "Trouver toutes les éclipses en un lieu donné"}},
  {W::kMain, "SearchEclipses", {"Finsternisse suchen …", "Search eclipses…", "Rechercher des éclipses…"}},
  {W::kMain, "Markierung1", {"Markierungen", "Points of Interest", "Marquer"}},
  {W::kMain, "Markierungen_Bearbeiten", {"Bearbeiten", "Edit list", "Modifier la liste"}},
  {W::kMain, "Markierungen_Auswaehlen", {"Auswählen", "Select Points", "Choisir"}},
  {W::kMain, "Markierungen_Hinzufuegen", {"Aktuelle Markierung zur Liste hinzufügen …", "Add the current point of interest…", "Ajouter le marqueur actuel à la liste…"}},
  {W::kMain, "Option1", {"&Option", "&Option", "&Option"}},
  {W::kMain, "Opt_Bessel", {"&Bessel'sches Fundamentalsystem", "&Besselian reference frame", "&Système fondamental de Bessel"}},
  {W::kMain, "Opt_Ekliptik", {"&Ekliptikales Bezugssystem", "&Ecliptical reference frame", "&Référentiel écliptique"}},
  {W::kMain, "Opt_NormView", {"&Normalansicht", "&Normal view", "&Vue normale"}},
  {W::kMain, "Opt_BackView", {"Rüc&kansicht", "Bac&k view", "Vue arrière"}},
  {W::kMain, "Opt_MapView", {"Kar&te", "&Map", "Car&te"}},
  {W::kMain, "Opt_Limits", {"Grenzen", "Limits", "Limites"}},
  {W::kMain, "Opt_DeltaTBand", {"&Unsicherheit von ΔT (±2σ) zeigen", "Show ΔT &uncertainty (±2σ)", "Afficher l'&incertitude de ΔT (±2σ)"}},
  {W::kMain, "Opt_NightSide", {"Nacht&seite schattieren", "Shade the night &side", "Ombrer le côté &nuit"}},
  {W::kMain, "Opt_CentrePoI", {"Auf den Ort (PoI) &zentrieren", "&Centre on the point of interest", "&Centrer sur le point d'intérêt"}},
  {W::kMain, "Hilfe1", {"&Hilfe", "&Help", "&Aide"}},
  {W::kMain, "Hilfe2", {"Umbrivista &Hilfe", "Umbrivista &Help", "&Aide Umbrivista "}},
  {W::kMain, "Version1", {"Umbrivista &Version", "Umbrivista &Version information", "&Version Umbrivista "}},
  {W::kMain, "GroupBox_Finsternis", {"Finsternis im Jahr ...", "Eclipse in the year ...", "Éclipse en l'an ..."}},
  {W::kMain, "Label_Jahr", {"Jahr", "Year", "Année"}},
  {W::kMain, "GroupBox_ET_UT", {"DeltaT (TT oder UT)", "DeltaT (TT or UT)", "DeltaT (TT ou TU)"}},
  {W::kMain, "GroupBox_Globus", {"Globus", "Globe", "Globe"}},
  {W::kMain, "GroupBox_Markierung", {"Markierung", "Point of Interest", "Marquer"}},
  {W::kMain, "CheckBox_Cities", {"Hauptstädte", "Capitals", "Capitales"}},
  {W::kMain, "RadioButton_PoI_Ost", {"O", "E", "E"}},
  {W::kMain, "RadioButton_PoI_West", {"W", "W", "O"}},
  {W::kMain, "Button_Center_Globe", {"Globus zentrieren", "Center Globe", "Centrer le globe"}},
  {W::kMain, "Button_Resize_Globe", {"Globus zurücksetzen", "Reset Globe", "Rétablir le globe"}},
  {W::kMain, "Button_Exit_Globe", {"Schließen", "Close", "Fermer"}},
  {W::kMain, "Label_PoIs_Panel_Title", {"Umbrivista: Markierungsliste bearbeiten", "Umbrivista: Edit Points of Interest", "Umbrivista : modifier la liste des marqueurs"}},
  {W::kMain, "Label_PoIs_Edit_Title", {"+JJJJ MM TT nn.nn N nnn.nn E Ort/Bezeichnung (Kommentar in Klammern)", "+YYYY MM DD nn.nn N nnn.nn E Place or Designation (Comments in brackets)", "+AAAA MM JJ nn.nn N nnn.nn E Lieu ou désignation (commentaire entre parenthèses)"}},
  {W::kMain, "Button_PoIS_Speichern", {"Liste speichern", "Save List", "Sauvegarder la liste"}},
  {W::kMain, "Button_PoIS_Abbrechen", {"Abbrechen", "Cancel", "Annuler"}},
  {W::kMain, "Label_PoIs_Select_Title", {"Umbrivista: Markierungen auswählen", "Umbrivista: Select Point(s) of Interest", "Umbrivista : choix des marqueurs"}},
  {W::kMain, "Button_PoIs_Select", {"Markierte übernehmen", "Select checked items", "Accepter les choix"}},
  {W::kMain, "Button_PoIs_Select_Cancel", {"Abbrechen", "Cancel", "Annuler"}},
  {W::kMain, "Button_FastReverse", {}, Text::kFastReverseHint},
  {W::kMain, "Button_Reverse", {}, Text::kReverseHint},
  {W::kMain, "Button_Stop", {}, Text::kStopHint},
  {W::kMain, "Button_Play", {}, Text::kPlayHint},
  {W::kMain, "Button_FastPlay", {}, Text::kFastPlayHint},
  {W::kPlaceHistory, "Label1", {"Ort/Stadt/Bezeichnung", "Place/City", "Lieu/Ville/remarques"}},
  {W::kPlaceHistory, "Label2", {"Geogr. Breite (Grad)", "Latitude (degrees)", "Latitude géogr. (°)"}},
  {W::kPlaceHistory, "Label3", {"Geogr. Länge (Grad)", "Longitude (degrees)", "Longitude géogr. (°)"}},
  {W::kPlaceHistory, "Label4", {"Höhe (m)", "Height (m)", "Altitude (m)"}},
  {W::kPlaceHistory, "Label5", {
    " JJJJ MM TT DeltaT t Ort    Sar iS NS 1.K.(UT)  P°  V° H° 2.K.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.K.(UT)  P°  V° H° 4.K.(UT)  P°  V° H°",
    " YYYY MM DD DeltaT t Place  Sar iS NS 1.C.(UT)  P°  V° H° 2.C.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.C.(UT)  P°  V° H° 4.C.(UT)  P°  V° H°",
    " AAAA MM JJ DeltaT t Lieu    Sar iS NS 1.c.(TU)  P°  V° H° 2.c.(TU)  P°  V° H° Max.(TU)  P°  V° H°  magn mm:ss 3.c.(TU)  P°  V° H° 4.c.(TU)  P°  V° H°"}},
  {W::kPlaceHistory, "Label6", {}, Text::kSearchBetweenYears},
  {W::kPlaceHistory, "Label7", {}, Text::kSearchYearsAnd},
  {W::kPlaceHistory, "Label8", {"Land/Landschaft  (fakultativ)", "Country/Region  (optional)", "Pays/Région (facultatif)"}},
  {W::kPlaceHistory, "Label9", {"Stadt (auswählen)", "City (select)", "Ville (choix)"}},
  {W::kPlaceHistory, "Label10", {"Land (auswählen)", "Country (select)", "Pays (choix)"}},
  {W::kPlaceHistory, "Label11", {"Einwohner", "Inhabitants", "Habitants"}},
  {W::kPlaceHistory, "Liste1", {"Liste", "List", "Liste"}},
  {W::kPlaceHistory, "Speichern1", {"Speichern unter", "Save as", "Sauvegarder sous"}},
  {W::kPlaceHistory, "Beenden1", {"Beenden", "Exit", "Terminer"}},
  {W::kPlaceHistory, "Button_Start_CityHist", {"Starten", "Start", "Démarrer"}},
  {W::kPlaceHistory, "Button_Beenden", {"Beenden", "Exit", "Terminer"}},
  {W::kPlaceHistory, "Button_Uebernehmen", {"Übernehmen  ->", "Accept  ->", "Accepter  ->"}},
  {W::kPlaceHistory, "RadioButton_Nord", {}, Text::kNorth},
  {W::kPlaceHistory, "RadioButton_Sued", {}, Text::kSouth},
  {W::kPlaceHistory, "RadioButton_Ost", {}, Text::kEast},
  {W::kPlaceHistory, "RadioButton_West", {}, Text::kWest},
  {W::kCityList, "Liste1", {"Liste", "List", "Liste"}},
  {W::kCityList, "Speichern1", {"Speichern unter", "Save as", "Sauvegarder sous"}},
  {W::kCityList, "Beenden1", {"Beenden", "Exit", "Terminer"}},
  {W::kCityList, "Button_Beenden", {"Beenden", "Exit", "Terminer"}},
  {W::kCityList, "Button_Start_CityList", {"Starten", "Start", "Démarrer"}},
  {W::kCityList, "Label1", {"Nur Orte mit mehr als", "List places with more than", "Lieux avec plus de"}},
  {W::kCityList, "Label5", {
    " JJJJ MM TT t Land       Stadt       Breite    Länge    Einw. 1.K.(UT)  P°  V° H° 2.K.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.K.(UT)  P°  V° H° 4.K.(UT)  P°  V° H°",
    " YYYY MM DD t Country    City        Latit.  Longit.   Popul. 1.C.(UT)  P°  V° H° 2.C.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.C.(UT)  P°  V° H° 4.C.(UT)  P°  V° H°",
    " AAAA MM JJ t Pays       Ville       Latit.  Longit.   Habit. 1.c.(TU)  P°  V° H° 2.c.(TU)  P°  V° H° Max.(TU)  P°  V° H°  magn mm:ss 3.c.(TU)  P°  V° H° 4.c.(TU)  P°  V° H°"}},
};

const char* const kGridItems[3][kGridListCount] = {
  {"Kein Gitter", "Nur Äquator", "10-Grad-Gitter", "20-Grad-Gitter", "30-Grad-Gitter", "45-Grad-Gitter", "90-Grad-Gitter"},
  {"No grid", "Equator only", "10-degree grid", "20-degree grid", "30-degree grid", "45-degree grid", "90-degree grid"},
  {"Pas de quadrillage", "Équateur seulement", "Grille de 10 degrés", "Grille de 20 degrés", "Grille de 30 degrés", "Grille de 45 degrés", "Grille de 90 degrés"},
};

// The padded numbers are shared by all three languages; only the word differs.
const char* const kPopulationNumbers[kPopulationListCount] = {
  "1'000'000 ", "   500'000 ", "   250'000 ", "   100'000 ", "      50'000 ",
  "      25'000 ", "      10'000 ", "        5'000 ", "        2'000 ", "                0 "};
// clang-format on

}  // namespace

std::span<const CaptionText> CaptionSet() {
  return kCaptions;
}

std::string CaptionFor(const CaptionText& row, Language language) {
  if (!IsKnownLanguage(language)) return {};
  if (row.stringItem) return StringItem(*row.stringItem, language);
  return row.text[static_cast<std::size_t>(LanguageIndex(language))];
}

std::string Caption(CaptionWindow window, const std::string& component, Language language) {
  for (const auto& row : kCaptions) {
    if (row.window == window && component == row.component) return CaptionFor(row, language);
  }
  return {};
}

std::string CaptionBase(const std::string& version, Language language) {
  return "Umbrivista " + version + kCaptionSeparator + StringItem(Text::kProgramSubtitle, language);
}

std::string SubSolarCheckBoxCaption(bool backView, Language language) {
  static const char* const kNormal[3] = {"Subsolarer Punkt", "Sub-solar point",
                                         "Point sub-solaire"};
  static const char* const kBack[3] = {"Anti-Subsolarer Punkt", "Anti-sub-solar point",
                                       "Point anti-sub-solaire"};
  if (!IsKnownLanguage(language)) return {};
  const int index = LanguageIndex(language);
  return backView ? kBack[index] : kNormal[index];
}

std::array<std::string, kGridListCount> GridListItems(Language language) {
  std::array<std::string, kGridListCount> items;
  if (!IsKnownLanguage(language)) return items;
  for (int i = 0; i < kGridListCount; ++i) items[i] = kGridItems[LanguageIndex(language)][i];
  return items;
}

std::array<std::string, kPopulationListCount> PopulationListItems(Language language) {
  static const char* const kWord[3] = {"Personen", "inhabitants", "habitants"};
  std::array<std::string, kPopulationListCount> items;
  if (!IsKnownLanguage(language)) return items;
  for (int i = 0; i < kPopulationListCount; ++i) {
    items[i] = std::string(kPopulationNumbers[i]) + kWord[LanguageIndex(language)];
  }
  if (language == Language::kFrench)
    items[kPopulationListCount - 1] = std::string(kPopulationNumbers[9]) + "habitant";
  return items;
}

std::array<std::string, kTextureListCount> TextureListItems(Language language) {
  static const char* const kItems[3][kTextureListCount] = {
      {"Blue Marble", "Relief", "Politisch", "Weiß"},
      {"Blue Marble", "Relief", "Political", "White"},
      {"Blue Marble", "Relief", "Politique", "Blanc"},
  };
  std::array<std::string, kTextureListCount> items;
  if (!IsKnownLanguage(language)) return items;
  for (int i = 0; i < kTextureListCount; ++i) items[i] = kItems[LanguageIndex(language)][i];
  return items;
}

std::string TextFileFilter(Language language) {
  static const char* const kFilter[3] = {"Textdatei (*.txt)", "Text file (*.txt)",
                                         "Fichier texte (*.txt)"};
  return IsKnownLanguage(language) ? kFilter[LanguageIndex(language)] : std::string();
}

namespace {

// The former English defaults are recognised too: settings written before the texts were
// translated still hold them.
const char* const kDefaultPlaceTexts[2][3] = {
    {"Mein Land", "My country", "Mon pays"},
    {"Mein Lieblingsort", "My favorite place", "Mon lieu préféré"},
};

}  // namespace

std::string DefaultPlaceText(DefaultPlaceField field, Language language) {
  if (!IsKnownLanguage(language)) return {};
  return kDefaultPlaceTexts[static_cast<int>(field)][LanguageIndex(language)];
}

std::string NextDefaultPlaceText(DefaultPlaceField field, const std::string& current,
                                 Language language) {
  if (!IsKnownLanguage(language)) return current;
  bool isDefault = false;
  for (const char* text : kDefaultPlaceTexts[static_cast<int>(field)]) isDefault |= current == text;
  return isDefault ? DefaultPlaceText(field, language) : current;
}

}  // namespace umbrivista
