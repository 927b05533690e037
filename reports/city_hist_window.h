// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The place-history window: every eclipse visible at one place over a range of years. It exists
// once for the whole run and is hidden until the main window opens it.

#include <vector>

#include "places_file.h"
#include "report_window.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace umbrivista {

class TForm_CityHist : public TReportWindow {
  Q_OBJECT

 public:
  explicit TForm_CityHist(QWidget* parent = nullptr);

  // Opening from the main window's menu (and after a language switch): an empty list, the
  // countries of the places file read afresh, the window shown and raised.
  void Open();
  // Re-reads the country list (the language chose another places file).
  void ReadCountryList();
  // Place, size, place texts and years from the settings record, and back into it.
  void ApplySettings(const SettingsRecord& settings) override;
  void CollectSettings(SettingsRecord& settings) const override;
  void Button_UebernehmenClick();
  void Button_Start_CityHistClick();
  // A first run: the years around the present instead of the list's first items.
  void StartAtPresent(int presentYear);

  QComboBox* ComboBox_Land;
  QComboBox* ComboBox_Stadt;
  QPushButton* Button_Uebernehmen;
  QLineEdit* Edit_Ort_Land;
  QLineEdit* Edit_Ort_Stadt;
  QLineEdit* Edit_Breite;
  QRadioButton* RadioButton_Nord;
  QRadioButton* RadioButton_Sued;
  QLineEdit* Edit_Laenge;
  QRadioButton* RadioButton_Ost;
  QRadioButton* RadioButton_West;
  QLineEdit* Edit_Hoehe;
  QLineEdit* Edit_Einwohner;
  QComboBox* ComboBox_von;
  QComboBox* ComboBox_Bis;
  QPushButton* Button_Start_CityHist;
  QPlainTextEdit* RichEdit_CityHist;

 private:
  void Relabel() override;
  void ComboBox_LandClick();
  void FillCities();
  std::string WindowCaption() const override;
  void LeaveTakenPlace();
  std::string PlacesFile() const;

  std::vector<Place> cities_;
  bool opened_ = false;
  QString takenCountry_;  // the country of the place taken over from the list (null: none)
};

}  // namespace umbrivista
