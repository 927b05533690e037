// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "city_list_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "captions.h"
#include "city_list_run.h"
#include "data_files.h"
#include "places_file.h"
#include "report_table.h"
#include "widgets.h"
#include "settings_record.h"

namespace umbrivista {

TForm_CityList::TForm_CityList(QWidget* parent)
    : TReportWindow("TForm_CityList", "RichEdit_CityList", "Umbrivista_CityList.txt",
                    CaptionWindow::kCityList, parent) {
  resize(847, 690);
  auto* central = new QWidget(this);
  setCentralWidget(central);
  RichEdit_CityList = List();
  Label1 = Named(new QLabel(central), "Label1");
  ComboBox_Population = Named(new QComboBox(central), "ComboBox_Population");
  for (const std::string& item : PopulationListItems(kDefaultLanguage))
    ComboBox_Population->addItem(QString::fromStdString(item));
  Button_Start_CityList = Named(new QPushButton(QStringLiteral("Start"), central),
                                "Button_Start_CityList");
  auto* grid = new QGridLayout(central);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(ComboBox_Population, 0, 1);
  grid->addWidget(Button_Start_CityList, 0, 2);
  grid->addWidget(Button_Beenden, 0, 3);
  grid->setColumnStretch(4, 1);
  grid->addWidget(RowViews(), 1, 0, 1, 5);
  grid->setRowStretch(1, 1);
  connect(Button_Start_CityList, &QPushButton::clicked, this,
          &TForm_CityList::Button_Start_CityListClick);
  hide();
}

void TForm_CityList::ApplySettings(const SettingsRecord& s) {
  PlaceWindow(this, s.listLeft, s.listTop, s.listWidth, s.listHeight, s.listState);
  if (s.populationIndex >= 0 && s.populationIndex < ComboBox_Population->count())
    ComboBox_Population->setCurrentIndex(s.populationIndex);
}

void TForm_CityList::CollectSettings(SettingsRecord& s) const {
  WindowPlace(this, s.listLeft, s.listTop, s.listWidth, s.listHeight, s.listState);
  s.populationIndex = std::max(0, ComboBox_Population->currentIndex());
}

void TForm_CityList::Relabel() {
  const auto items = PopulationListItems(CurrentLanguage());
  for (int i = 0; i < kPopulationListCount; ++i) ComboBox_Population->setItemText(i, Q(items[i]));
}

std::string TForm_CityList::WindowCaption() const {
  const ReportContext& c = Context();
  const EclipseRecord* eclipse = nullptr;
  if (c.catalogue && !c.catalogue->Empty() && c.position) {
    const int position = c.position();
    if (position >= 1 && position <= c.catalogue->RecordCount())
      eclipse = &c.catalogue->RecordAt(position);
  }
  return CityListCaption(eclipse, CurrentLanguage());
}

std::string TForm_CityList::InputFile() const {
  return FindDataFile(PlacesFileName(CurrentLanguage()), Context().dataDir);
}

void TForm_CityList::Open() {
  OpenWindow();
  Button_Start_CityList->setFocus();
}

void TForm_CityList::Button_Start_CityListClick() {
  const ReportContext& c = Context();
  if (!c.catalogue || c.catalogue->Empty() || !c.position) return;
  CityListInputs inputs;
  inputs.position = c.position();
  inputs.thresholdIndex = std::max(0, ComboBox_Population->currentIndex());
  inputs.language = CurrentLanguage();
  inputs.placesFile = InputFile();
  const EclipseCatalogue& catalogue = *c.catalogue;
  RunReport(Button_Start_CityList,
            [&catalogue, inputs, places = places_](const RunControl& control) {
              return ComputeCityListOf(catalogue, inputs, *places->Get(inputs.placesFile), control);
            });
}

void TForm_CityList::hideEvent(QHideEvent* event) {
  // Closed or hidden by the program (not minimised): the places are read again next time.
  if (!event->spontaneous()) places_->Clear();
  TReportWindow::hideEvent(event);
}

}  // namespace umbrivista
