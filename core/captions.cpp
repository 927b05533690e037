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
  {W::kMain, "Exit1", {"&Beenden", "E&xit", "&Fermer"}},
  {W::kMain, "Liste1", {"&Liste erzeugen", "&Create List", "&Créer liste"}},
  {W::kMain, "Sichtbarkeit", {"Sichtbarkeit dieser Finsternis an verschiedenen Orten", "Local circumstances for cities/countries", "Visibilité de l'éclipse en différants lieux"}},
  {W::kMain, "CityHist", {"Alle Finsternisse an einem bestimmten Ort suchen", "Search for all eclipses at a given place", "Trouver toutes les éclipses en un lieu donné"}},
  {W::kMain, "SearchEclipses", {"Finsternisse suchen …", "Search eclipses…", "Rechercher des éclipses…"}},
  {W::kMain, "Markierung1", {"Markierungen", "Points of Interest", "Marquer"}},
  {W::kMain, "Markierungen_Bearbeiten", {"Bearbeiten", "Edit list", "Editer"}},
  {W::kMain, "Markierungen_Auswaehlen", {"Auswählen", "Select Points", "Choisir"}},
  {W::kMain, "Option1", {"&Option", "&Option", "&Option"}},
  {W::kMain, "Opt_Bessel", {"&Bessel'sches Fundamentalsystem", "&Besselian reference frame", "&système fondamental de Bessel"}},
  {W::kMain, "Opt_Ekliptik", {"&Ekliptikales Bezugssystem", "&Ecliptical reference frame", "&Référentiel écliptique"}},
  {W::kMain, "Opt_NormView", {"&Normalansicht", "&Normal view", "&Vue normale"}},
  {W::kMain, "Opt_BackView", {"Rüc&kansicht", "Bac&k view", "Vue arrière"}},
  {W::kMain, "Opt_Limits", {"Grenzen", "Limits", "Limites"}},
  {W::kMain, "Opt_DeltaTBand", {"&Unsicherheit von ΔT (±2σ) zeigen", "Show ΔT &uncertainty (±2σ)", "Afficher l'&incertitude de ΔT (±2σ)"}},
  {W::kMain, "Opt_NightSide", {"Nacht&seite schattieren", "Shade the night &side", "Ombrer le côté &nuit"}},
  {W::kMain, "Opt_CentrePoI", {"Auf den Ort (PoI) &zentrieren", "&Centre on the point of interest", "&Centrer sur le point d'intérêt"}},
  {W::kMain, "Hilfe1", {"&Hilfe", "&Help", "&Aide"}},
  {W::kMain, "Hilfe2", {"Umbrivista &Hilfe", "Umbrivista &Help", "&Aide Umbrivista "}},
  {W::kMain, "Version1", {"Umbrivista &Version", "Umbrivista &Version information", "&Version Umbrivista "}},
  {W::kMain, "GroupBox_Finsternis", {"Finsternis im Jahr ...", "Eclipse in the year ...", "Eclipse en l'an..."}},
  {W::kMain, "Label_Jahr", {"Jahr", "Year", "année"}},
  {W::kMain, "GroupBox_ET_UT", {"DeltaT (TT oder UT)", "DeltaT (TT or UT)", "DeltaT (TT ou UT)"}},
  {W::kMain, "GroupBox_Globus", {"Globus", "Globe", "Globe"}},
  {W::kMain, "GroupBox_Markierung", {"Markierung", "Point of Interest", "Marquer"}},
  {W::kMain, "CheckBox_Cities", {"Hauptstädte", "Capitals", "Capitales"}},
  {W::kMain, "RadioButton_PoI_Ost", {"O", "E", "E"}},
  {W::kMain, "RadioButton_PoI_West", {"W", "W", "O"}},
  {W::kMain, "Button_Center_Globe", {"Globus zentrieren", "Center Globe", "centrer le globe"}},
  {W::kMain, "Button_Resize_Globe", {"Globus zurücksetzen", "Reset Globe", "rétablir le globe"}},
  {W::kMain, "Button_Exit_Globe", {"schliessen", "close", "fermer"}},
  {W::kMain, "Label_PoIs_Panel_Title", {"Umbrivista: Markierungsliste bearbeiten", "Umbrivista: Edit Points of Interest", "Umbrivista: Editer la liste des marqueurs"}},
  {W::kMain, "Label_PoIs_Edit_Title", {"+JJJJ MM TT nn.nn N nnn.nn E Ort/Bezeichnung (Kommentar in Klammern)", "+YYYY MM DD nn.nn N nnn.nn E Place or Designation (Comments in brackets)", "+AAAA MM JJ nn.nn N nnn.nn E lieu/remarque (Kommentar in Klammern)"}},
  {W::kMain, "Button_PoIS_Speichern", {"Liste Speichern", "Save List", "Sauvegarder la liste"}},
  {W::kMain, "Button_PoIS_Abbrechen", {"Abbrechen", "Cancel", "Interrompre"}},
  {W::kMain, "Label_PoIs_Select_Title", {"Umbrivista: Markierungen auswählen", "Umbrivista: Select Point(s) of Interest", "Umbrivista: Choix des marqueurs"}},
  {W::kMain, "Button_PoIs_Select", {"Markierte übernehmen", "Select checked items", "Accepter les choix"}},
  {W::kMain, "Button_PoIs_Select_Cancel", {"Abbrechen", "Cancel", "Interrompre"}},
  {W::kMain, "Button_FastReverse", {}, Text::kFastReverseHint},
  {W::kMain, "Button_Reverse", {}, Text::kReverseHint},
  {W::kMain, "Button_Stop", {}, Text::kStopHint},
  {W::kMain, "Button_Play", {}, Text::kPlayHint},
  {W::kMain, "Button_FastPlay", {}, Text::kFastPlayHint},
  {W::kPlaceHistory, "Label1", {"Ort/Stadt/Bezeichnung", "Place/City", "Lieu/Ville/remarques"}},
  {W::kPlaceHistory, "Label2", {"Geogr. Breite (Grad)", "Latitude (degrees)", "Latitude geogr.(°)"}},
  {W::kPlaceHistory, "Label3", {"Geogr. Länge (Grad)", "Longitude (degrees)", "Longitude geogr.(°)"}},
  {W::kPlaceHistory, "Label4", {"Höhe (m)", "Height (m)", "Altitude(m)"}},
  {W::kPlaceHistory, "Label5", {
    " JJJJ MM TT DeltaT t Ort    Sar iS NS 1.K.(UT)  P°  V° H° 2.K.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.K.(UT)  P°  V° H° 4.K.(UT)  P°  V° H°",
    " YYYY MM DD DeltaT t Place  Sar iS NS 1.C.(UT)  P°  V° H° 2.C.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.C.(UT)  P°  V° H° 4.C.(UT)  P°  V° H°",
    " AAAA MM JJ DeltaT t Lieu    Sar iS NS 1.c.(TU)  P°  V° H° 2.c.(TU)  P°  V° H° Max.(TU)  P°  V° H°  magn mm:ss 3.c.(TU)  P°  V° H° 4.c.(TU)  P°  V° H°"}},
  {W::kPlaceHistory, "Label6", {}, Text::kSearchBetweenYears},
  {W::kPlaceHistory, "Label7", {}, Text::kSearchYearsAnd},
  {W::kPlaceHistory, "Label8", {"Land/Landschaft  (fakultativ)", "Country/Region  (optional)", "Pays/Paysage (optionnel)"}},
  {W::kPlaceHistory, "Label9", {"Stadt (auswählen)", "City (select)", "ville (choix)"}},
  {W::kPlaceHistory, "Label10", {"Land (auswählen)", "Country (select)", "Pays (choix)"}},
  {W::kPlaceHistory, "Label11", {"Einwohner", "Habitants", "habitants"}},
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
  {W::kCityList, "Label1", {"Nur Orte mit mehr als", "List places with more than", "Lieux avec plus de"}},
  {W::kCityList, "Label5", {
    " JJJJ MM TT t Land       Stadt       Breite    Länge    Einw. 1.K.(UT)  P°  V° H° 2.K.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.K.(UT)  P°  V° H° 4.K.(UT)  P°  V° H°",
    " YYYY MM DD t Country    City        Latit.  Longit.   Popul. 1.C.(UT)  P°  V° H° 2.C.(UT)  P°  V° H° Max.(UT)  P°  V° H°  magn mm:ss 3.C.(UT)  P°  V° H° 4.C.(UT)  P°  V° H°",
    " AAAA MM JJ t Pays       Ville       Latit.  Longit.   Habit. 1.c.(TU)  P°  V° H° 2.c.(TU)  P°  V° H° Max.(TU)  P°  V° H°  magn mm:ss 3.c.(TU)  P°  V° H° 4.c.(TU)  P°  V° H°"}},
};

const char* const kGridItems[3][kGridListCount] = {
  {"kein Gitter", "nur Äquator", "10 Grad Gitter", "20 Grad Gitter", "30 Grad Gitter", "45 Grad Gitter", "90 Grad Gitter"},
  {"No grid", "Equator", "10 degrees grid", "20 degrees grid", "30 degrees grid", "45 degrees grid", "90 degrees grid"},
  {"pas de quadrillages", "Uniquement l'équateur", "grille 10 degrés", "grille 20 degrés", "grille 30 degrés", "grille 45 degrés", "grille 90 degrés"},
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
  static const char* const kNormal[3] = {"Subsolarer Punkt", "sub-solar point",
                                         "Point sub-solaire"};
  static const char* const kBack[3] = {"Anti-Subsolarer Punkt", "anti-sub-solar point",
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
  static const char* const kWord[3] = {"Personen", "habitants", "Personnes"};
  std::array<std::string, kPopulationListCount> items;
  if (!IsKnownLanguage(language)) return items;
  for (int i = 0; i < kPopulationListCount; ++i) {
    items[i] = std::string(kPopulationNumbers[i]) + kWord[LanguageIndex(language)];
  }
  if (language == Language::kFrench)
    items[kPopulationListCount - 1] = std::string(kPopulationNumbers[9]) + "Personne";
  return items;
}

}  // namespace umbrivista
