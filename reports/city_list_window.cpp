#include "city_list_window.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "captions.h"
#include "report_widgets.h"
#include "settings_record.h"

namespace umbrivista {

TForm_CityList::TForm_CityList(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("TForm_CityList"));
  resize(847, 690);
  auto* central = new QWidget(this);
  setCentralWidget(central);
  Label1 = Named(new QLabel(central), "Label1");
  ComboBox_Population = Named(new QComboBox(central), "ComboBox_Population");
  for (const std::string& item : PopulationListItems(0))
    ComboBox_Population->addItem(QString::fromStdString(item));
  Button_Start_CityList =
      Named(new QPushButton(QStringLiteral("Start"), central), "Button_Start_CityList");
  Button_Beenden = Named(new QPushButton(QStringLiteral("Beenden"), central), "Button_Beenden");
  Label5 = Named(new QLabel(central), "Label5");
  RichEdit_CityList = MakeReportList(central, "RichEdit_CityList");
  Label5->setFont(RichEdit_CityList->font());

  auto* grid = new QGridLayout(central);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(ComboBox_Population, 0, 1);
  grid->addWidget(Button_Start_CityList, 0, 2);
  grid->addWidget(Button_Beenden, 0, 3);
  grid->setColumnStretch(4, 1);
  grid->addWidget(Label5, 1, 0, 1, 5);
  grid->addWidget(RichEdit_CityList, 2, 0, 1, 5);
  grid->setRowStretch(2, 1);
  Named(statusBar(), "StatusBar1");

  QAction* close = MakeReportMenu(this);
  connect(close, &QAction::triggered, this, &TForm_CityList::Button_BeendenClick);
  connect(Button_Beenden, &QPushButton::clicked, this, &TForm_CityList::Button_BeendenClick);
  hide();
}

void TForm_CityList::ApplySettings(const SettingsRecord& s) {
  PlaceWindow(this, s.listLeft, s.listTop, s.listWidth, s.listHeight, s.listState);
  if (s.populationIndex >= 0 && s.populationIndex < ComboBox_Population->count())
    ComboBox_Population->setCurrentIndex(s.populationIndex);
}

void TForm_CityList::CollectSettings(SettingsRecord& s) const {
  WindowPlace(this, s.listLeft, s.listTop, s.listWidth, s.listHeight, s.listState);
  s.populationIndex = ComboBox_Population->currentIndex();
}

void TForm_CityList::Open() {
  RichEdit_CityList->clear();
  cancelRequested_ = false;
  show();
  raise();
  activateWindow();
}

void TForm_CityList::Button_BeendenClick() {
  CancelRun();
  hide();
}

}  // namespace umbrivista
