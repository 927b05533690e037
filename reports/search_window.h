// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search window: criteria, Start/Cancel, the rows found in a table sorted by a click on any
// column header, "Save as" TSV, and a double-click that shows the eclipse in the main window. The
// criteria are remembered in a file of their own. The search itself is SearchCatalogue.

#include <QMainWindow>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "eclipse_search.h"
#include "places_file.h"
#include "report_runner.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace umbrivista {

class EclipseCatalogue;

class TForm_Search : public QMainWindow {
  Q_OBJECT

 public:
  // `criteriaFile` ("" for none) holds the last criteria; `dataDir` is the folder named on the
  // command line for the data-file lookup (places files).
  TForm_Search(const EclipseCatalogue& catalogue, std::string criteriaFile, std::string dataDir,
               std::string version, QWidget* parent = nullptr);

  // Opening from the main window's menu: the remembered criteria, the window shown and raised.
  void Open();
  // The captions of the language; a run under way stops.
  void SetLanguage(Language language);
  // The criteria the controls hold; nullopt (with the reason shown) when a number is not valid.
  std::optional<SearchCriteria> ReadControls();
  void ShowCriteria(const SearchCriteria& criteria);
  ~TForm_Search() override;
  // Starts a search on a thread of its own with the criteria the controls hold; a search under
  // way is stopped first and its rows dropped.
  void Start();
  // Asks a search under way to stop at its next step; the rows found stay.
  void Cancel() { work_.Cancel(); }
  // Cancels a search under way and waits for it; its rows found are shown.
  void StopSearch();
  bool Searching() const { return work_.Active(); }
  // Sorts the rows by the column shown at `section`; a second click on it reverses the order.
  void SortBySection(int section);
  bool SaveAs();
  const std::vector<SearchRow>& Rows() const { return rows_; }

  QSpinBox* SpinBox_From;
  QSpinBox* SpinBox_To;
  QCheckBox* CheckBox_Total;
  QCheckBox* CheckBox_Annular;
  QCheckBox* CheckBox_Hybrid;
  QCheckBox* CheckBox_Partial;
  QCheckBox* CheckBox_Central;
  QLineEdit* Edit_MinDuration;
  QLineEdit* Edit_MinMagnitude;
  QLineEdit* Edit_MaxGamma;
  QLineEdit* Edit_Saros;
  QComboBox* ComboBox_Place;
  QLineEdit* Edit_Latitude;
  QLineEdit* Edit_Longitude;
  QLineEdit* Edit_Within;
  QComboBox* ComboBox_Country;
  QPushButton* Button_Start;
  QPushButton* Button_Cancel;
  QPushButton* Button_SaveAs;
  QPushButton* Button_Close;
  QTableWidget* Table_Results;
  QLabel* Label_Status;

 signals:
  // A row was double-clicked: the catalogue position of its eclipse.
  void eclipseChosen(int position);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // What a search on its thread hands over: its progress and, at its end, its result.
  struct SearchJob {
    std::atomic<int> percent = -1;
    SearchResult result;  // written by the search before it ends
  };
  // Shows the progress of the search and, once it ended, ends it.
  void FollowSearch();
  void EndSearch();
  void Relabel();
  void ShowRows();
  void FillCountries();
  std::string PlacesFile() const;

  const EclipseCatalogue& catalogue_;
  std::string criteriaFile_, dataDir_, version_;
  Language language_ = kDefaultLanguage;
  std::vector<SearchRow> rows_;
  SearchPlaceMode shownMode_ = SearchPlaceMode::kNone;
  int sortSection_ = -1;
  bool ascending_ = true;
  std::vector<std::pair<QLabel*, SearchText>> labels_;
  std::shared_ptr<PlacesCache> places_ = std::make_shared<PlacesCache>();
  std::shared_ptr<SearchJob> job_;
  // Last member: the search's thread is stopped before the rest of the window goes.
  BackgroundWork work_;
};

}  // namespace umbrivista
