// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "city_hist_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "captions.h"
#include "data_files.h"
#include "numbers.h"
#include "place_history_run.h"
#include "report_table.h"
#include "widgets.h"
#include "settings_record.h"

namespace umbrivista {

namespace {

// A label over its control (or over a row of controls), as one item of the window's rows.
QWidget* Field(QWidget* parent, const char* labelName, std::initializer_list<QWidget*> controls) {
  auto* field = new QWidget(parent);
  auto* column = new QVBoxLayout(field);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(1);
  if (labelName) column->addWidget(Named(new QLabel(field), labelName));
  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  for (QWidget* control : controls) {
    control->setParent(field);
    row->addWidget(control);
  }
  column->addLayout(row);
  return field;
}

// A year box: the list of years, and any year typed.
void SetUpYearBox(QComboBox* box, const std::vector<std::string>& items) {
  for (const std::string& year : items) box->addItem(QString::fromStdString(year));
  box->setMaxVisibleItems(static_cast<int>(items.size()));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("\\s*[+-]?\\d{0,4}\\s*")), box));
  box->setMinimumContentsLength(6);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

// The index the settings keep for a year box: the item shown, else the item nearest the year
// typed, else the item last chosen.
int StoredYearIndex(const QComboBox* box, const std::vector<std::string>& items) {
  const QString text = box->currentText().trimmed();
  const int exact = box->findText(text);
  if (exact >= 0) return exact;
  if (const std::optional<int> year = ParseYearText(text.toStdString()))
    return YearItemIndex(items, *year);
  return std::max(0, box->currentIndex());
}

}  // namespace

TForm_CityHist::TForm_CityHist(QWidget* parent)
    : TReportWindow("TForm_CityHist", "RichEdit_CityHist", "Umbrivista_CityHist.txt",
                    CaptionWindow::kPlaceHistory, parent) {
  resize(1174, 622);
  auto* central = new QWidget(this);
  setCentralWidget(central);
  RichEdit_CityHist = List();

  ComboBox_Land = Named(new QComboBox(central), "ComboBox_Land");
  ComboBox_Stadt = Named(new QComboBox(central), "ComboBox_Stadt");
  for (QComboBox* box : {ComboBox_Land, ComboBox_Stadt}) {
    box->setMaxVisibleItems(30);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(18);
  }
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
  SetUpYearBox(ComboBox_von, FirstYearItems());
  SetUpYearBox(ComboBox_Bis, LastYearItems());
  Button_Start_CityHist = Named(new QPushButton(central), "Button_Start_CityHist");
  // Widths for the texts they hold: names, then numbers.
  const int digit = central->fontMetrics().horizontalAdvance(QLatin1Char('0'));
  for (QLineEdit* box : {Edit_Ort_Land, Edit_Ort_Stadt}) box->setFixedWidth(digit * 22);
  for (QLineEdit* box : {Edit_Breite, Edit_Laenge, Edit_Hoehe}) box->setFixedWidth(digit * 9);
  Edit_Einwohner->setFixedWidth(digit * 11);

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

  // The controls in rows that wrap at the window's width: the place from the list, the place
  // as typed, the years, the buttons.
  auto* controls = new QWidget(central);
  auto* flow = new TFlowLayout(controls, 14, 6);
  flow->setContentsMargins(0, 0, 0, 0);
  Button_Beenden->setParent(central);
  for (QWidget* field :
       {Field(controls, "Label10", {ComboBox_Land}), Field(controls, "Label9", {ComboBox_Stadt}),
        Field(controls, nullptr, {Button_Uebernehmen}),
        Field(controls, "Label8", {Edit_Ort_Land}), Field(controls, "Label1", {Edit_Ort_Stadt}),
        Field(controls, "Label2", {Edit_Breite, latitudeSide}),
        Field(controls, "Label3", {Edit_Laenge, longitudeSide}),
        Field(controls, "Label4", {Edit_Hoehe}), Field(controls, "Label11", {Edit_Einwohner}),
        Field(controls, "Label6", {ComboBox_von}), Field(controls, "Label7", {ComboBox_Bis}),
        Field(controls, nullptr, {Button_Start_CityHist, Button_Beenden})}) {
    flow->addWidget(field);
  }
  // Buttons without a label stand level with the controls beside them.
  for (QPushButton* button : {Button_Uebernehmen, Button_Start_CityHist}) {
    auto* column = static_cast<QVBoxLayout*>(button->parentWidget()->layout());
    column->insertStretch(0, 1);
  }
  auto* page = new QVBoxLayout(central);
  page->addWidget(controls);
  page->addWidget(RowViews(), 1);

  connect(ComboBox_Land, &QComboBox::activated, this, &TForm_CityHist::ComboBox_LandClick);
  // A city chosen is taken over at once; the button takes over the one shown again.
  connect(ComboBox_Stadt, &QComboBox::activated, this, &TForm_CityHist::Button_UebernehmenClick);
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
  s.firstYearIndex = StoredYearIndex(ComboBox_von, FirstYearItems());
  s.lastYearIndex = StoredYearIndex(ComboBox_Bis, LastYearItems());
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

void TForm_CityHist::StartAtPresent(int presentYear) {
  const YearChoice years = YearsAround(presentYear);
  ComboBox_von->setCurrentIndex(years.firstIndex);
  ComboBox_Bis->setCurrentIndex(years.lastIndex);
}

std::string TForm_CityHist::WindowCaption() const {
  return PlaceHistoryCaption(Edit_Ort_Stadt->text().toStdString(),
                             ParseYearText(ComboBox_von->currentText().toStdString()),
                             ParseYearText(ComboBox_Bis->currentText().toStdString()),
                             CurrentLanguage());
}

void TForm_CityHist::ReadCountryList() {
  // The place chosen stays chosen, found again in the file of the language now in use.
  std::optional<Place> chosen;
  const int city = ComboBox_Stadt->currentIndex();
  if (city >= 0 && city < static_cast<int>(cities_.size()))
    chosen = cities_[static_cast<std::size_t>(city)];
  ComboBox_Land->clear();
  ComboBox_Stadt->clear();
  cities_.clear();
  const std::string file = PlacesFile();
  const CountryList list = ReadCountries(file);
  for (const std::string& country : list.countries)
    ComboBox_Land->addItem(QString::fromStdString(country));
  ComboBox_Land->setCurrentIndex(-1);
  // Reported once per opening; the countries read until the problem stay.
  if (!list.error.empty()) {
    ShowMessage(this, QString::fromStdString(list.error));
    return;
  }
  if (!chosen) return;
  const std::optional<Place> same = FindSamePlace(file, *chosen);
  if (!same) return;
  const int country = ComboBox_Land->findText(Q(same->country));
  if (country < 0) return;
  ComboBox_Land->setCurrentIndex(country);
  FillCities();
  for (std::size_t i = 0; i < cities_.size(); ++i) {
    const Place& p = cities_[i];
    if (p.latitude100 == same->latitude100 && p.longitude100 == same->longitude100 &&
        p.height == same->height && p.population == same->population) {
      ComboBox_Stadt->setCurrentIndex(static_cast<int>(i));
      break;
    }
  }
}

void TForm_CityHist::FillCities() {
  ComboBox_Stadt->clear();
  CityList list = ReadCities(PlacesFile(), ComboBox_Land->currentText().toStdString());
  cities_ = std::move(list.places);
  for (const Place& place : cities_) ComboBox_Stadt->addItem(QString::fromStdString(place.name));
  ComboBox_Stadt->setCurrentIndex(-1);
  if (!list.error.empty()) ShowMessage(this, QString::fromStdString(list.error));
}

void TForm_CityHist::ComboBox_LandClick() { FillCities(); }

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
  const struct {
    QComboBox* box;
    int* year;
  } years[] = {{ComboBox_von, &inputs.firstYear}, {ComboBox_Bis, &inputs.lastYear}};
  for (const auto& [box, year] : years) {
    const std::string text = box->currentText().toStdString();
    const std::optional<int> value = ParseYearText(text);
    if (!value) {
      ShowMessage(this, Q(InvalidYearMessage(box == ComboBox_von, text, language)));
      return;
    }
    *year = *value;
    // A year typed is shown as the list shows years.
    box->setEditText(Q(YearText(*value)));
  }
  inputs.language = language;
  const EclipseCatalogue& catalogue = *c.catalogue;
  RunReport(Button_Start_CityHist, [&catalogue, inputs](const RunControl& control) {
    return ComputePlaceHistory(catalogue, inputs, control);
  });
}

}  // namespace umbrivista
