// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The caption sets the language commands write into the three windows: one text per language for
// each named component, and the items of the grid and population lists.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "string_table.h"

namespace umbrivista {

enum class CaptionWindow { kMain, kPlaceHistory, kCityList };

struct CaptionText {
  CaptionWindow window;
  const char* component;            // object name of the control or menu item
  std::array<const char*, 3> text;  // German, English, French; unused with a stringItem
  std::optional<Text> stringItem = std::nullopt;  // take the text from the string table instead
};

// Every row of the caption sets (the sub-solar check box is separate: its text depends on the
// view).
std::span<const CaptionText> CaptionSet();
// The caption text of a row in `language`.
std::string CaptionFor(const CaptionText& row, Language language);
// The caption of component `component` in window `window`; empty when there is none.
std::string Caption(CaptionWindow window, const std::string& component, Language language);

// Separator of the parts of a window caption.
inline constexpr const char* kCaptionSeparator = " \u2013 ";
// "Umbrivista 0.2.0 – Besselian elements of solar eclipses": the caption of the three windows
// (the main window adds the shown eclipse to it).
std::string CaptionBase(const std::string& version, Language language);

// Caption of the sub-solar point check box in the normal or the back view.
std::string SubSolarCheckBoxCaption(bool backView, Language language);

inline constexpr int kGridListCount = 7;
inline constexpr int kPopulationListCount = 10;
// Items of the grid combo box ("No grid", "Equator", "10 degrees grid", …).
std::array<std::string, kGridListCount> GridListItems(Language language);
// Items of the population threshold combo box, largest threshold first.
std::array<std::string, kPopulationListCount> PopulationListItems(Language language);

inline constexpr int kTextureListCount = 4;
// Items of the globe texture combo box, named by what each picture shows, in the order of the
// texture files (Blue Marble, relief, political map, white map).
std::array<std::string, kTextureListCount> TextureListItems(Language language);

// The file type offered by the save dialogs of the text reports ("Text file (*.txt)").
std::string TextFileFilter(Language language);

// The place-history window's country and place before the user types one ("My country", "My
// favourite place"). NextDefaultPlaceText gives the text an edit box holding `current` should
// show in `language`: the default of that language when `current` is the default of any
// language, else `current` unchanged, since it is the user's own.
enum class DefaultPlaceField { kCountry, kPlace };
std::string DefaultPlaceText(DefaultPlaceField field, Language language);
std::string NextDefaultPlaceText(DefaultPlaceField field, const std::string& current,
                                 Language language);

}  // namespace umbrivista
