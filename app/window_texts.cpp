// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_texts.h"

namespace umbrivista {

std::array<std::string, kPlaySpeedCount> PlaySpeedItems(Language language) {
  static const char* const kRealTime[3] = {"×1 Echtzeit", "×1 real time", "×1 temps réel"};
  std::array<std::string, kPlaySpeedCount> items;
  if (!IsKnownLanguage(language)) return items;
  items = {kRealTime[LanguageIndex(language)], "×60 (1 min/s)", "×300 (5 min/s)",
           "×1200 (20 min/s)"};
  return items;
}

std::string PlaySpeedHint(Language language) {
  static const char* const kHint[3] = {
      "Wiedergabe: Finsternis-Zeit je Sekunde (die schnellen Knöpfe: sechsmal so viel)",
      "Play speed: eclipse time per second (the fast buttons: six times as much)",
      "Vitesse de lecture : temps de l'éclipse par seconde (boutons rapides : six fois plus)"};
  return IsKnownLanguage(language) ? kHint[LanguageIndex(language)] : std::string();
}

std::string CopyLinesCommand(Language language) {
  static const char* const kCopy[3] = {"Kopieren", "Copy", "Copier"};
  return IsKnownLanguage(language) ? kCopy[LanguageIndex(language)] : std::string();
}

PoINameTexts NameTexts(Language language) {
  if (!IsKnownLanguage(language)) return {};
  // clang-format off
  static const PoINameTexts kTexts[3] = {
      {"Markierung hinzufügen", "Name des Ortes:", "Ohne Namen wird keine Markierung hinzugefügt.",
       "Die Markierung wurde nicht hinzugefügt."},
      {"Add point of interest", "Name of the place:", "A point is only added with a name.",
       "The point was not added."},
      {"Ajouter un marqueur", "Nom du lieu :", "Un marqueur n'est ajouté qu'avec un nom.",
       "Le marqueur n'a pas été ajouté."},
  };
  // clang-format on
  return kTexts[LanguageIndex(language)];
}

PictureExportTexts ExportTexts(Language language) {
  if (!IsKnownLanguage(language)) return {};
  // clang-format off
  static const PictureExportTexts kTexts[3] = {
      {{"PNG-Bild (*.png)", "SVG-Grafik (*.svg)", "PDF-Dokument (*.pdf)"},
       "Bildgröße", "Breite", "Höhe", "Mit Titelblock"},
      {{"PNG picture (*.png)", "SVG drawing (*.svg)", "PDF document (*.pdf)"},
       "Picture size", "Width", "Height", "With title block"},
      {{"Image PNG (*.png)", "Dessin SVG (*.svg)", "Document PDF (*.pdf)"},
       "Taille de l'image", "Largeur", "Hauteur", "Avec cartouche"},
  };
  // clang-format on
  return kTexts[LanguageIndex(language)];
}

}  // namespace umbrivista
