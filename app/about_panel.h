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
  // Fills the grid and the label, places the panel centred at the top of the screen and shows it.
  void Open(const BuildFacts& facts);

  QLabel* Label_Umbrivista;
  QTableWidget* StringGrid_VersionsInfo;
  QPushButton* Button_About_OK;
};

}  // namespace umbrivista
