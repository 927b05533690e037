// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The version panel: the program's icon and name with its version, the version facts and OK.

#include <QFrame>

#include "version_info.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace umbrivista {

class TAboutPanel : public QFrame {
  Q_OBJECT

 public:
  explicit TAboutPanel(QWidget* parent = nullptr);
  // Fills the grid, the label and the texts below the grid in `language`, places the panel
  // centred at the top of the screen and shows it.
  void Open(const BuildFacts& facts, Language language = kDefaultLanguage);

  QLabel* Label_Umbrivista;
  QTableWidget* StringGrid_VersionsInfo;
  QLabel* Label_About_Licence;
  QLabel* Label_About_Credits;
  QLabel* Label_About_Documentation;
  QPushButton* Button_About_OK;

 signals:
  // The documentation link was followed.
  void helpRequested();
};

}  // namespace umbrivista
