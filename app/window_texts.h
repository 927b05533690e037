// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts of the main window's controls that no caption set holds, in the three languages: the play
// speed list with its hint, the copy command of the point's panel and the picture export's
// dialogs.

#include <array>
#include <string>

#include "language.h"
#include "settings_record.h"

namespace umbrivista {

// The speed list's items in the order of kPlaySpeeds ("" for a language it does not know).
std::array<std::string, kPlaySpeedCount> PlaySpeedItems(Language language);
std::string PlaySpeedHint(Language language);
// The point panel's context menu: copy its lines.
std::string CopyLinesCommand(Language language);

// The dialog that asks for the name of a point added to the list of points of interest, and
// what is said when nothing is added.
struct PoINameTexts {
  std::string title;
  std::string label;
  std::string noName;
  std::string notAdded;
};
PoINameTexts NameTexts(Language language);

// The export dialogs: the file types offered, in the order PNG, SVG, PDF ("PNG picture (*.png)"),
// and the PNG size dialog's title and labels.
struct PictureExportTexts {
  std::array<std::string, 3> filters;
  std::string sizeTitle;
  std::string width;
  std::string height;
  std::string titleBlock;
};
PictureExportTexts ExportTexts(Language language);

}  // namespace umbrivista
