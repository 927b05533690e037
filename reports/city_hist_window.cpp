#include "city_hist_window.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "report_widgets.h"
#include "settings_record.h"

namespace umbrivista {

namespace {

const char* const kFirstYears[] = {"-4999", "-3999", "-2999", "-1999", "-999",  "0",     "+1001",
                                   "+1901", "+1951", "+2001", "+3001", "+4001", "+5001", "+6001"};
const char* const kLastYears[] = {"-4000", "-3000", "-2000", "-1000", "0",     "+1000", "+2000",
                                  "+2050", "+2100", "+3000", "+4000", "+5000", "+6000", "+7000"};

QLabel* NamedLabel(QWidget* parent, const char* name) {
  return Named(new QLabel(parent), name);
}

}  // namespace

TForm_CityHist::TForm_CityHist(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("TForm_CityHist"));
  resize(1174, 622);
  auto* central = new QWidget(this);
  setCentralWidget(central);

  ComboBox_Land = Named(new QComboBox(central), "ComboBox_Land");
  ComboBox_Stadt = Named(new QComboBox(central), "ComboBox_Stadt");
  ComboBox_Land->setMaxVisibleItems(30);
  ComboBox_Stadt->setMaxVisibleItems(30);
  Button_Uebernehmen = Named(new QPushButton(central), "Button_Uebernehmen");
  Edit_Ort_Land = Named(new QLineEdit(QStringLiteral("My country"), central), "Edit_Ort_Land");
  Edit_Ort_Stadt =
      Named(new QLineEdit(QStringLiteral("My favorite place"), central), "Edit_Ort_Stadt");
  Edit_Breite = Named(new QLineEdit(QStringLiteral("47.5"), central), "Edit_Breite");
  RadioButton_Nord = Named(new QRadioButton(central), "RadioButton_Nord");
  RadioButton_Sued = Named(new QRadioButton(central), "RadioButton_Sued");
  Edit_Laenge = Named(new QLineEdit(QStringLiteral("7.5"), central), "Edit_Laenge");
  RadioButton_Ost = Named(new QRadioButton(central), "RadioButton_Ost");
  RadioButton_West = Named(new QRadioButton(central), "RadioButton_West");
  Edit_Hoehe = Named(new QLineEdit(QStringLiteral("254"), central), "Edit_Hoehe");
  Edit_Einwohner = Named(new QLineEdit(central), "Edit_Einwohner");
  Edit_Einwohner->setEnabled(false);
  ComboBox_von = Named(new QComboBox(central), "ComboBox_von");
  ComboBox_Bis = Named(new QComboBox(central), "ComboBox_Bis");
  for (const char* year : kFirstYears) ComboBox_von->addItem(QString::fromLatin1(year));
  for (const char* year : kLastYears) ComboBox_Bis->addItem(QString::fromLatin1(year));
  Button_Start_CityHist = Named(new QPushButton(central), "Button_Start_CityHist");
  Button_Beenden = Named(new QPushButton(central), "Button_Beenden");
  Label5 = NamedLabel(central, "Label5");
  RichEdit_CityHist = MakeReportList(central, "RichEdit_CityHist");
  Label5->setFont(RichEdit_CityHist->font());

  // The two radio pairs are separate groups.
  auto* latitudeSide = new QWidget(central);
  auto* latitudeRow = new QHBoxLayout(latitudeSide);
  latitudeRow->setContentsMargins(0, 0, 0, 0);
  latitudeRow->addWidget(RadioButton_Nord);
  latitudeRow->addWidget(RadioButton_Sued);
  auto* longitudeSide = new QWidget(central);
  auto* longitudeRow = new QHBoxLayout(longitudeSide);
  longitudeRow->setContentsMargins(0, 0, 0, 0);
  longitudeRow->addWidget(RadioButton_Ost);
  longitudeRow->addWidget(RadioButton_West);
  RadioButton_Nord->setChecked(true);
  RadioButton_Ost->setChecked(true);

  auto* grid = new QGridLayout(central);
  grid->addWidget(NamedLabel(central, "Label10"), 0, 0);
  grid->addWidget(ComboBox_Land, 0, 1);
  grid->addWidget(NamedLabel(central, "Label9"), 1, 0);
  grid->addWidget(ComboBox_Stadt, 1, 1);
  grid->addWidget(Button_Uebernehmen, 2, 1);
  grid->addWidget(NamedLabel(central, "Label8"), 0, 2);
  grid->addWidget(Edit_Ort_Land, 0, 3);
  grid->addWidget(NamedLabel(central, "Label1"), 1, 2);
  grid->addWidget(Edit_Ort_Stadt, 1, 3);
  grid->addWidget(NamedLabel(central, "Label2"), 2, 2);
  grid->addWidget(Edit_Breite, 2, 3);
  grid->addWidget(latitudeSide, 2, 4);
  grid->addWidget(NamedLabel(central, "Label3"), 3, 2);
  grid->addWidget(Edit_Laenge, 3, 3);
  grid->addWidget(longitudeSide, 3, 4);
  grid->addWidget(NamedLabel(central, "Label4"), 4, 2);
  grid->addWidget(Edit_Hoehe, 4, 3);
  grid->addWidget(NamedLabel(central, "Label11"), 5, 2);
  grid->addWidget(Edit_Einwohner, 5, 3);
  grid->addWidget(NamedLabel(central, "Label6"), 0, 5);
  grid->addWidget(ComboBox_von, 0, 6);
  grid->addWidget(NamedLabel(central, "Label7"), 1, 5);
  grid->addWidget(ComboBox_Bis, 1, 6);
  grid->addWidget(Button_Start_CityHist, 3, 6);
  grid->addWidget(Button_Beenden, 4, 6);
  grid->setColumnStretch(7, 1);
  grid->addWidget(Label5, 6, 0, 1, 8);
  grid->addWidget(RichEdit_CityHist, 7, 0, 1, 8);
  grid->setRowStretch(7, 1);
  Named(statusBar(), "StatusBar1");

  QAction* close = MakeReportMenu(this);
  connect(close, &QAction::triggered, this, &TForm_CityHist::Button_BeendenClick);
  connect(Button_Beenden, &QPushButton::clicked, this, &TForm_CityHist::Button_BeendenClick);
  hide();
}

void TForm_CityHist::ApplySettings(const SettingsRecord& s) {
  PlaceWindow(this, s.historyLeft, s.historyTop, s.historyWidth, s.historyHeight, s.historyState);
  // An empty stored text leaves the box's own default.
  auto text = [](QLineEdit* box, const std::string& value) {
    if (!value.empty()) box->setText(QString::fromStdString(value));
  };
  text(Edit_Ort_Stadt, s.placeName);
  text(Edit_Breite, s.placeLatitude);
  text(Edit_Laenge, s.placeLongitude);
  text(Edit_Hoehe, s.placeHeight);
  (s.placeSouth ? RadioButton_Sued : RadioButton_Nord)->setChecked(true);
  (s.placeWest ? RadioButton_West : RadioButton_Ost)->setChecked(true);
  if (s.firstYearIndex >= 0 && s.firstYearIndex < ComboBox_von->count())
    ComboBox_von->setCurrentIndex(s.firstYearIndex);
  if (s.lastYearIndex >= 0 && s.lastYearIndex < ComboBox_Bis->count())
    ComboBox_Bis->setCurrentIndex(s.lastYearIndex);
}

void TForm_CityHist::CollectSettings(SettingsRecord& s) const {
  WindowPlace(this, s.historyLeft, s.historyTop, s.historyWidth, s.historyHeight, s.historyState);
  s.placeName = Edit_Ort_Stadt->text().toStdString();
  s.placeLatitude = Edit_Breite->text().toStdString();
  s.placeLongitude = Edit_Laenge->text().toStdString();
  s.placeHeight = Edit_Hoehe->text().toStdString();
  s.placeNorth = RadioButton_Nord->isChecked();
  s.placeSouth = RadioButton_Sued->isChecked();
  s.placeWest = RadioButton_West->isChecked();
  s.placeEast = RadioButton_Ost->isChecked();
  s.firstYearIndex = ComboBox_von->currentIndex();
  s.lastYearIndex = ComboBox_Bis->currentIndex();
}

void TForm_CityHist::Open() {
  RichEdit_CityHist->clear();
  cancelRequested_ = false;
  show();
  raise();
  activateWindow();
}

void TForm_CityHist::Button_BeendenClick() {
  CancelRun();
  hide();
}

}  // namespace umbrivista
