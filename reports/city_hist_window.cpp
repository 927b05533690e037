#include "city_hist_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include "captions.h"
#include "data_files.h"
#include "numbers.h"
#include "place_history_run.h"
#include "widgets.h"
#include "settings_record.h"

namespace umbrivista {

namespace {

const char* const kFirstYears[] = {"-4999", "-3999", "-2999", "-1999", "-999",  "0",     "+1001",
                                   "+1901", "+1951", "+2001", "+3001", "+4001", "+5001", "+6001"};
const char* const kLastYears[] = {"-4000", "-3000", "-2000", "-1000", "0",     "+1000", "+2000",
                                  "+2050", "+2100", "+3000", "+4000", "+5000", "+6000", "+7000"};
// Below this width the window's content scrolls sideways.
constexpr int kMinContentWidth = 1042;

QLabel* NamedLabel(QWidget* parent, const char* name) {
  return Named(new QLabel(parent), name);
}

// The year of a year item ("+1001", "-999", "0"); `fallback` when none is chosen.
int YearOf(const QComboBox* box, int fallback) {
  if (box->currentIndex() < 0) return fallback;
  return static_cast<int>(ParseInteger(box->currentText().toStdString()).value_or(fallback));
}

}  // namespace

TForm_CityHist::TForm_CityHist(QWidget* parent)
    : TReportWindow("TForm_CityHist", "RichEdit_CityHist", "Umbrivista_CityHist.txt",
                    CaptionWindow::kPlaceHistory, parent) {
  resize(1174, 622);
  auto* central = new QWidget;
  central->setMinimumWidth(kMinContentWidth);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(central);
  setCentralWidget(scroll);
  RichEdit_CityHist = List();

  ComboBox_Land = Named(new QComboBox(central), "ComboBox_Land");
  ComboBox_Stadt = Named(new QComboBox(central), "ComboBox_Stadt");
  ComboBox_Land->setMaxVisibleItems(30);
  ComboBox_Stadt->setMaxVisibleItems(30);
  Button_Uebernehmen = Named(new QPushButton(central), "Button_Uebernehmen");
  Edit_Ort_Land = Named(new QLineEdit(central), "Edit_Ort_Land");
  Edit_Ort_Stadt = Named(new QLineEdit(central), "Edit_Ort_Stadt");
  for (auto [box, field] : {std::pair{Edit_Ort_Land, DefaultPlaceField::kCountry},
                            std::pair{Edit_Ort_Stadt, DefaultPlaceField::kPlace}})
    box->setText(QString::fromStdString(DefaultPlaceText(field, kDefaultLanguage)));
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
  ComboBox_von->setMaxVisibleItems(14);
  ComboBox_Bis->setMaxVisibleItems(14);
  Button_Start_CityHist = Named(new QPushButton(central), "Button_Start_CityHist");

  // The two radio pairs are separate groups.
  auto pair = [central](QRadioButton* a, QRadioButton* b) {
    auto* box = new QWidget(central);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    a->setParent(box);
    b->setParent(box);
    row->addWidget(a);
    row->addWidget(b);
    return box;
  };
  QWidget* latitudeSide = pair(RadioButton_Nord, RadioButton_Sued);
  QWidget* longitudeSide = pair(RadioButton_Ost, RadioButton_West);
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
  Button_Beenden->setParent(central);
  grid->addWidget(Button_Beenden, 4, 6);
  grid->setColumnStretch(7, 1);
  grid->addWidget(HeaderStrip(), 6, 0, 1, 8);
  grid->addWidget(RichEdit_CityHist, 7, 0, 1, 8);
  grid->setRowStretch(7, 1);
  ComboBox_Land->setMinimumWidth(220);
  ComboBox_Stadt->setMinimumWidth(220);

  connect(ComboBox_Land, &QComboBox::activated, this, &TForm_CityHist::ComboBox_LandClick);
  connect(Button_Uebernehmen, &QPushButton::clicked, this,
          &TForm_CityHist::Button_UebernehmenClick);
  connect(Button_Start_CityHist, &QPushButton::clicked, this,
          &TForm_CityHist::Button_Start_CityHistClick);
  // Typing another place (its name or position) leaves the one taken over from the list.
  for (QLineEdit* box : {Edit_Ort_Stadt, Edit_Breite, Edit_Laenge})
    connect(box, &QLineEdit::textEdited, this, &TForm_CityHist::LeaveTakenPlace);
  for (QRadioButton* button : {RadioButton_Nord, RadioButton_Sued, RadioButton_Ost, RadioButton_West})
    connect(button, &QRadioButton::clicked, this, &TForm_CityHist::LeaveTakenPlace);
  hide();
}

void TForm_CityHist::LeaveTakenPlace() {
  if (takenCountry_.isNull()) return;
  // The population is the taken place's and cannot be typed; its country goes unless the user
  // has typed one since.
  Edit_Einwohner->clear();
  if (Edit_Ort_Land->text() == takenCountry_) Edit_Ort_Land->clear();
  takenCountry_ = QString();
}

std::string TForm_CityHist::PlacesFile() const {
  return FindDataFile(PlacesFileName(CurrentLanguage()), Context().dataDir);
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
  s.firstYearIndex = std::max(0, ComboBox_von->currentIndex());
  s.lastYearIndex = std::max(0, ComboBox_Bis->currentIndex());
}

void TForm_CityHist::Relabel() {
  // The boxes' own defaults follow the language; a country or place the user typed stays.
  for (auto [box, field] : {std::pair{Edit_Ort_Land, DefaultPlaceField::kCountry},
                            std::pair{Edit_Ort_Stadt, DefaultPlaceField::kPlace}}) {
    box->setText(QString::fromStdString(
        NextDefaultPlaceText(field, box->text().toStdString(), CurrentLanguage())));
  }
  // The places file of the new language, once the window has been open.
  if (opened_) ReadCountryList();
}

void TForm_CityHist::Open() {
  opened_ = true;
  OpenWindow();
  ReadCountryList();
  Button_Start_CityHist->setFocus();
}

void TForm_CityHist::ReadCountryList() {
  ComboBox_Land->clear();
  ComboBox_Stadt->clear();
  cities_.clear();
  const CountryList list = ReadCountries(PlacesFile());
  for (const std::string& country : list.countries)
    ComboBox_Land->addItem(QString::fromStdString(country));
  ComboBox_Land->setCurrentIndex(-1);
  // Reported once per opening; the countries read until the problem stay.
  if (!list.error.empty()) ShowMessage(this, QString::fromStdString(list.error));
}

void TForm_CityHist::ComboBox_LandClick() {
  ComboBox_Stadt->clear();
  CityList list = ReadCities(PlacesFile(), ComboBox_Land->currentText().toStdString());
  cities_ = std::move(list.places);
  for (const Place& place : cities_) ComboBox_Stadt->addItem(QString::fromStdString(place.name));
  ComboBox_Stadt->setCurrentIndex(-1);
  if (!list.error.empty()) ShowMessage(this, QString::fromStdString(list.error));
}

void TForm_CityHist::Button_UebernehmenClick() {
  Button_Start_CityHist->setFocus();
  const int index = ComboBox_Stadt->currentIndex();
  if (index < 0 || index >= static_cast<int>(cities_.size())) return;
  const Place& place = cities_[static_cast<std::size_t>(index)];
  Edit_Ort_Land->setText(ComboBox_Land->currentText());
  Edit_Ort_Stadt->setText(ComboBox_Stadt->currentText());
  // Absolute values as the shortest "." text; the hemisphere in the buttons (0 counts as south
  // and west, which computes the same).
  const double latitude = place.LatitudeDegrees(), longitude = place.LongitudeDegrees();
  Edit_Breite->setText(QString::fromStdString(FormatShortest(std::fabs(latitude))));
  (latitude > 0 ? RadioButton_Nord : RadioButton_Sued)->setChecked(true);
  Edit_Laenge->setText(QString::fromStdString(FormatShortest(std::fabs(longitude))));
  (longitude > 0 ? RadioButton_Ost : RadioButton_West)->setChecked(true);
  Edit_Hoehe->setText(QString::number(place.height));
  Edit_Einwohner->setText(QString::number(place.population));
  takenCountry_ = Edit_Ort_Land->text();
}

void TForm_CityHist::Button_Start_CityHistClick() {
  const ReportContext& c = Context();
  if (!c.catalogue || c.catalogue->Empty()) return;
  const Language language = CurrentLanguage();
  PlaceHistoryInputs inputs;
  const struct {
    PlaceField field;
    QLineEdit* box;
  } numbers[] = {{PlaceField::kLatitude, Edit_Breite},
                 {PlaceField::kLongitude, Edit_Laenge},
                 {PlaceField::kHeight, Edit_Hoehe}};
  double values[3] = {};
  for (int i = 0; i < 3; ++i) {
    const std::string text = numbers[i].box->text().toStdString();
    const std::optional<double> value = ReadPlaceNumber(numbers[i].field, text);
    if (!value) {
      ShowMessage(this, QString::fromStdString(
                            InvalidPlaceNumberMessage(numbers[i].field, text, language)));
      return;
    }
    values[i] = *value;
  }
  inputs.latitude = RadioButton_Sued->isChecked() ? -values[0] : values[0];
  inputs.longitude = RadioButton_West->isChecked() ? -values[1] : values[1];
  inputs.height = RoundHeight(values[2]);
  inputs.population = static_cast<std::int32_t>(
      ParseInteger("0" + Edit_Einwohner->text().toStdString()).value_or(0));
  inputs.name = Edit_Ort_Stadt->text().toStdString();
  inputs.country = Edit_Ort_Land->text().toStdString();
  inputs.firstYear = YearOf(ComboBox_von, INT_MIN);
  inputs.lastYear = YearOf(ComboBox_Bis, INT_MAX);
  inputs.language = language;
  const EclipseCatalogue& catalogue = *c.catalogue;
  RunReport(Button_Start_CityHist, [&catalogue, inputs](const RunControl& control) {
    return ComputePlaceHistory(catalogue, inputs, control);
  });
}

}  // namespace umbrivista
