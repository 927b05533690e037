// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The city-list window: local circumstances of the eclipse shown in the main window for every
// place of the places file above a population threshold. It exists once for the whole run and
// is hidden until the main window opens it.

#include <memory>

#include "places_file.h"
#include "report_window.h"

class QComboBox;

namespace umbrivista {

class TForm_CityList : public TReportWindow {
  Q_OBJECT

 public:
  explicit TForm_CityList(QWidget* parent = nullptr);

  // Opening from the main window's menu: an empty list, the window shown and raised.
  void Open();
  // Place, size and threshold from the settings record, and back into it.
  void ApplySettings(const SettingsRecord& settings) override;
  void CollectSettings(SettingsRecord& settings) const override;
  // One run for the shown eclipse and the chosen threshold.
  void Button_Start_CityListClick();

  QComboBox* ComboBox_Population;
  QPushButton* Button_Start_CityList;
  QLabel* Label1;
  QPlainTextEdit* RichEdit_CityList;

 private:
  void Relabel() override;
  std::string InputFile() const override;
  std::string WindowCaption() const override;
  void hideEvent(QHideEvent* event) override;

  // The places file read once while the window is open; shared with the run that reads it.
  std::shared_ptr<PlacesCache> places_ = std::make_shared<PlacesCache>();
};

}  // namespace umbrivista
