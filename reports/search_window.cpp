// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "search_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <chrono>
#include <cmath>

#include "captions.h"
#include "data_files.h"
#include "eclipse_types.h"
#include "numbers.h"
#include "safe_file.h"
#include "widgets.h"

namespace umbrivista {

namespace {

constexpr SearchPlaceMode kModes[] = {SearchPlaceMode::kNone, SearchPlaceMode::kNear,
                                      SearchPlaceMode::kCentralAt, SearchPlaceMode::kVisibleFrom,
                                      SearchPlaceMode::kCountry};
constexpr SearchText kModeTexts[] = {SearchText::kPlaceNone, SearchText::kPlaceNear,
                                     SearchText::kPlaceCentral, SearchText::kPlaceVisible,
                                     SearchText::kPlaceCountry};

std::string EditText(QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

}  // namespace

TForm_Search::TForm_Search(const EclipseCatalogue& catalogue, std::string criteriaFile,
                           std::string dataDir, std::string version, QWidget* parent)
    : QMainWindow(parent),
      catalogue_(catalogue),
      criteriaFile_(std::move(criteriaFile)),
      dataDir_(std::move(dataDir)),
      version_(std::move(version)) {
  setObjectName(QStringLiteral("TForm_Search"));
  auto* central = new QWidget;
  auto* grid = new QGridLayout;
  auto label = [this](SearchText text) {
    auto* l = new QLabel;
    labels_.emplace_back(l, text);
    return l;
  };
  auto year = [](const char* name) {
    auto* box = Named(new QSpinBox, name);
    box->setRange(kFirstCatalogueYear, kLastCatalogueYear);
    return box;
  };
  auto edit = [](const char* name) {
    auto* e = Named(new QLineEdit, name);
    e->setMaximumWidth(110);
    return e;
  };
  SpinBox_From = year("SpinBox_From");
  SpinBox_To = year("SpinBox_To");
  CheckBox_Total = Named(new QCheckBox, "CheckBox_Total");
  CheckBox_Annular = Named(new QCheckBox, "CheckBox_Annular");
  CheckBox_Hybrid = Named(new QCheckBox, "CheckBox_Hybrid");
  CheckBox_Partial = Named(new QCheckBox, "CheckBox_Partial");
  CheckBox_Central = Named(new QCheckBox, "CheckBox_Central");
  Edit_MinDuration = edit("Edit_MinDuration");
  Edit_MinMagnitude = edit("Edit_MinMagnitude");
  Edit_MaxGamma = edit("Edit_MaxGamma");
  Edit_Saros = edit("Edit_Saros");
  ComboBox_Place = Named(new QComboBox, "ComboBox_Place");
  for (int i = 0; i < 5; ++i) ComboBox_Place->addItem(QString());
  Edit_Latitude = edit("Edit_Latitude");
  Edit_Longitude = edit("Edit_Longitude");
  Edit_Within = edit("Edit_Within");
  ComboBox_Country = Named(new QComboBox, "ComboBox_Country");
  ComboBox_Country->setEditable(true);
  ComboBox_Country->setMinimumWidth(200);
  Button_Start = Named(new QPushButton, "Button_Start");
  Button_Cancel = Named(new QPushButton, "Button_Cancel");
  Button_SaveAs = Named(new QPushButton, "Button_SaveAs");
  Button_Close = Named(new QPushButton, "Button_Close");
  Table_Results = Named(new QTableWidget, "Table_Results");
  Table_Results->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table_Results->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table_Results->setSelectionMode(QAbstractItemView::SingleSelection);
  Table_Results->verticalHeader()->hide();
  Table_Results->horizontalHeader()->setSectionsClickable(true);
  Label_Status = Named(new QLabel, "Label_Status");

  // Row 0: years and kinds; row 1: duration, magnitude, gamma, Saros; row 2: place.
  grid->addWidget(label(SearchText::kFrom), 0, 0);
  grid->addWidget(SpinBox_From, 0, 1);
  grid->addWidget(label(SearchText::kTo), 0, 2);
  grid->addWidget(SpinBox_To, 0, 3);
  auto* kinds = new QHBoxLayout;
  kinds->addWidget(label(SearchText::kKinds));
  for (QCheckBox* box : {CheckBox_Total, CheckBox_Annular, CheckBox_Hybrid, CheckBox_Partial,
                         CheckBox_Central}) {
    kinds->addWidget(box);
  }
  kinds->addStretch();
  grid->addLayout(kinds, 0, 4, 1, 4);
  grid->addWidget(label(SearchText::kMinDuration), 1, 0);
  grid->addWidget(Edit_MinDuration, 1, 1);
  grid->addWidget(label(SearchText::kMinMagnitude), 1, 2);
  grid->addWidget(Edit_MinMagnitude, 1, 3);
  grid->addWidget(label(SearchText::kMaxGamma), 1, 4);
  grid->addWidget(Edit_MaxGamma, 1, 5);
  grid->addWidget(label(SearchText::kSaros), 1, 6);
  grid->addWidget(Edit_Saros, 1, 7);
  grid->addWidget(label(SearchText::kPlace), 2, 0);
  grid->addWidget(ComboBox_Place, 2, 1, 1, 3);
  grid->addWidget(label(SearchText::kCountry), 2, 4);
  grid->addWidget(ComboBox_Country, 2, 5, 1, 3);
  grid->addWidget(label(SearchText::kLatitude), 3, 0);
  grid->addWidget(Edit_Latitude, 3, 1);
  grid->addWidget(label(SearchText::kLongitude), 3, 2);
  grid->addWidget(Edit_Longitude, 3, 3);
  grid->addWidget(label(SearchText::kWithin), 3, 4);
  grid->addWidget(Edit_Within, 3, 5);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {Button_Start, Button_Cancel, Button_SaveAs}) buttons->addWidget(b);
  buttons->addWidget(Label_Status, 1);
  buttons->addWidget(Button_Close);
  auto* column = new QVBoxLayout(central);
  column->addLayout(grid);
  column->addLayout(buttons);
  column->addWidget(Table_Results, 1);
  // On a screen narrower than the criteria, they scroll sideways.
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(central);
  setCentralWidget(scroll);
  resize(1100, 600);

  Button_Cancel->setEnabled(false);
  Button_SaveAs->setEnabled(false);
  connect(Button_Start, &QPushButton::clicked, this, &TForm_Search::Start);
  connect(Button_Cancel, &QPushButton::clicked, this, &TForm_Search::Cancel);
  connect(Button_SaveAs, &QPushButton::clicked, this, &TForm_Search::SaveAs);
  connect(Button_Close, &QPushButton::clicked, this, [this] {
    StopSearch();
    close();
  });
  connect(Table_Results->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &TForm_Search::SortBySection);
  connect(Table_Results, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    const QTableWidgetItem* item = Table_Results->item(row, 0);
    if (item) emit eclipseChosen(item->data(Qt::UserRole).toInt());
  });
  ShowCriteria(SearchCriteria{});
  Relabel();
}

std::string TForm_Search::PlacesFile() const {
  return FindDataFile(PlacesFileName(language_), dataDir_);
}

void TForm_Search::FillCountries() {
  const QString current = ComboBox_Country->currentText();
  ComboBox_Country->clear();
  const CountryList list = ReadCountries(PlacesFile());
  QStringList seen;
  for (const std::string& country : list.countries) {
    const QString name = Q(country);
    if (!seen.contains(name)) seen.append(name);
  }
  seen.sort();
  ComboBox_Country->addItems(seen);
  ComboBox_Country->setCurrentText(current);
}

void TForm_Search::Open() {
  if (!criteriaFile_.empty()) {
    try {
      if (auto criteria = ReadSearchCriteriaFile(criteriaFile_)) ShowCriteria(*criteria);
    } catch (const std::exception& e) {
      ShowMessage(this, Q(e.what()));
    }
  }
  FillCountries();
  show();
  raise();
  activateWindow();
}

TForm_Search::~TForm_Search() { work_.Stop(); }

void TForm_Search::closeEvent(QCloseEvent* event) {
  StopSearch();
  QMainWindow::closeEvent(event);
}

void TForm_Search::SetLanguage(Language language) {
  StopSearch();
  language_ = language;
  Relabel();
  if (isVisible()) FillCountries();
}

void TForm_Search::Relabel() {
  const Language l = language_;
  setWindowTitle(Q(std::string("Umbrivista") + kCaptionSeparator + SearchWindowText(SearchText::kTitle, l)));
  for (const auto& [l2, text] : labels_) l2->setText(Q(SearchWindowText(text, l)));
  CheckBox_Total->setText(Q(SearchWindowText(SearchText::kTotal, l)));
  CheckBox_Annular->setText(Q(SearchWindowText(SearchText::kAnnular, l)));
  CheckBox_Hybrid->setText(Q(SearchWindowText(SearchText::kHybrid, l)));
  CheckBox_Partial->setText(Q(SearchWindowText(SearchText::kPartial, l)));
  CheckBox_Central->setText(Q(SearchWindowText(SearchText::kCentralOnly, l)));
  for (int i = 0; i < 5; ++i) ComboBox_Place->setItemText(i, Q(SearchWindowText(kModeTexts[i], l)));
  Button_Start->setText(Q(SearchWindowText(SearchText::kStart, l)));
  Button_Cancel->setText(Q(SearchWindowText(SearchText::kCancel, l)));
  Button_SaveAs->setText(Q(SearchWindowText(SearchText::kSaveAs, l)));
  Button_Close->setText(Q(SearchWindowText(SearchText::kClose, l)));
  Table_Results->setToolTip(Q(SearchWindowText(SearchText::kHint, l)));
  ShowRows();
}

void TForm_Search::ShowCriteria(const SearchCriteria& c) {
  SpinBox_From->setValue(c.fromYear);
  SpinBox_To->setValue(c.toYear);
  const unsigned mask = c.typeMask;
  auto has = [mask](unsigned bits) { return mask != 0 && (mask & bits) != 0; };
  CheckBox_Total->setChecked(has((1u << kTotal) | (1u << kNonCentralTotal)));
  CheckBox_Annular->setChecked(has((1u << kAnnular) | (1u << kNonCentralAnnular)));
  CheckBox_Hybrid->setChecked(has(1u << kHybrid));
  CheckBox_Partial->setChecked(has(1u << kPartial));
  CheckBox_Central->setChecked(mask != 0 && (mask & ~((1u << kTotal) | (1u << kAnnular) |
                                                      (1u << kHybrid))) == 0);
  Edit_MinDuration->setText(c.minDurationSeconds > 0 ? Q(FormatShortest(c.minDurationSeconds)) : "");
  Edit_MinMagnitude->setText(c.minMagnitude ? Q(FormatShortest(*c.minMagnitude)) : "");
  Edit_MaxGamma->setText(c.maxGamma ? Q(FormatShortest(*c.maxGamma)) : "");
  Edit_Saros->setText(c.saros ? QString::number(*c.saros) : "");
  ComboBox_Place->setCurrentIndex(static_cast<int>(c.placeMode));
  Edit_Latitude->setText(Q(FormatShortest(c.latitude)));
  Edit_Longitude->setText(Q(FormatShortest(c.longitude)));
  Edit_Within->setText(Q(FormatShortest(c.withinKm)));
  ComboBox_Country->setCurrentText(Q(c.country));
}

std::optional<SearchCriteria> TForm_Search::ReadControls() {
  SearchCriteria c;
  c.fromYear = SpinBox_From->value();
  c.toYear = SpinBox_To->value();
  std::vector<std::string> words;
  if (CheckBox_Total->isChecked()) words.push_back("total");
  if (CheckBox_Annular->isChecked()) words.push_back("annular");
  if (CheckBox_Hybrid->isChecked()) words.push_back("hybrid");
  if (CheckBox_Partial->isChecked()) words.push_back("partial");
  if (CheckBox_Central->isChecked()) words.push_back("central");
  c.typeMask = TypeMaskFromKinds(words).value_or(0);
  bool ok = true;
  // An empty box sets no limit; anything else must be a number ("," is taken for ".").
  auto number = [&](QLineEdit* edit) -> std::optional<double> {
    std::string text = EditText(edit);
    if (text.empty()) return std::nullopt;
    for (char& ch : text) {
      if (ch == ',') ch = '.';
    }
    const auto v = ParseReal(text);
    if (!v || !std::isfinite(*v)) {
      if (ok) {
        ShowMessage(this, Q(SearchWindowText(SearchText::kBadNumber, language_)) + edit->text());
        edit->setFocus();
      }
      ok = false;
      return std::nullopt;
    }
    return v;
  };
  c.minDurationSeconds = number(Edit_MinDuration).value_or(0);
  c.minMagnitude = number(Edit_MinMagnitude);
  c.maxGamma = number(Edit_MaxGamma);
  if (const auto saros = number(Edit_Saros)) c.saros = static_cast<int>(std::lround(*saros));
  c.placeMode = kModes[std::max(0, ComboBox_Place->currentIndex())];
  c.latitude = number(Edit_Latitude).value_or(0);
  c.longitude = number(Edit_Longitude).value_or(0);
  c.withinKm = number(Edit_Within).value_or(0);
  c.country = ComboBox_Country->currentText().trimmed().toStdString();
  if (!ok) return std::nullopt;
  const std::string problem = CriteriaProblem(c, language_);
  if (!problem.empty()) {
    ShowMessage(this, Q(problem));
    return std::nullopt;
  }
  return c;
}

void TForm_Search::Start() {
  // A search under way ends before the next one starts.
  StopSearch();
  const auto criteria = ReadControls();
  if (!criteria) return;
  if (!criteriaFile_.empty()) {
    try {
      WriteSearchCriteriaFile(criteriaFile_, *criteria);
    } catch (const std::exception& e) {
      ShowMessage(this, Q(e.what()));
    }
  }
  std::vector<Place> places;
  if (criteria->placeMode == SearchPlaceMode::kCountry) {
    const std::shared_ptr<const PlacesList> list = places_->Get(PlacesFile());
    if (!list->error.empty()) {
      ShowMessage(this, Q(list->error));
      return;
    }
    for (const Place& place : list->places) {
      if (place.country == criteria->country) places.push_back(place);
    }
    if (places.empty()) {
      ShowMessage(this, Q(SearchWindowText(SearchText::kNoPlaces, language_) + criteria->country));
      return;
    }
  }
  rows_.clear();
  shownMode_ = criteria->placeMode;
  sortSection_ = -1;
  job_ = std::make_shared<SearchJob>();
  ShowRows();
  Button_Start->setEnabled(false);
  Button_Cancel->setEnabled(true);
  Button_SaveAs->setEnabled(false);
  Label_Status->setText(Q(SearchWindowText(SearchText::kSearching, language_)));
  // The search owns what it reads; it only posts calls to this window, and a call still queued
  // when the window goes is dropped with it.
  auto follow = [this] {
    QMetaObject::invokeMethod(this, &TForm_Search::FollowSearch, Qt::QueuedConnection);
  };
  work_.Start([job = job_, follow, catalogue = &catalogue_, criteria = *criteria,
               places = std::move(places)](const std::atomic<bool>& cancel) {
    SearchControl control;
    control.cancel = &cancel;
    auto last = std::chrono::steady_clock::now();
    control.progress = [&job, &follow, &last](int done, int total) {
      const auto now = std::chrono::steady_clock::now();
      if (now - last < std::chrono::milliseconds(100)) return;
      last = now;
      job->percent.store(total ? static_cast<int>(100LL * done / total) : 100);
      follow();
    };
    try {
      job->result = SearchCatalogue(*catalogue, criteria, places, control);
    } catch (const std::exception& e) {
      job->result = SearchResult{};
      job->result.error = e.what();
    }
    follow();
  });
}

void TForm_Search::FollowSearch() {
  if (!job_ || !work_.Active()) return;
  if (work_.Finished()) {
    EndSearch();
    return;
  }
  const int percent = job_->percent.load();
  if (percent >= 0) {
    Label_Status->setText(Q(SearchWindowText(SearchText::kSearching, language_) + " " +
                            std::to_string(percent) + " %"));
  }
}

void TForm_Search::StopSearch() {
  if (!work_.Active()) return;
  work_.Stop();
  EndSearch();
}

void TForm_Search::EndSearch() {
  work_.Join();
  const std::shared_ptr<SearchJob> job = std::move(job_);
  if (!job) return;
  rows_ = std::move(job->result.rows);
  ShowRows();
  Button_Start->setEnabled(true);
  Button_Cancel->setEnabled(false);
  Button_SaveAs->setEnabled(!rows_.empty());
  if (!job->result.error.empty()) ShowMessage(this, Q(job->result.error));
}

void TForm_Search::ShowRows() {
  const std::vector<SearchColumn> columns = SearchColumns(shownMode_);
  Table_Results->clear();
  Table_Results->setColumnCount(static_cast<int>(columns.size()));
  QStringList headers;
  for (SearchColumn c : columns) headers << Q(SearchColumnCaption(c, language_));
  Table_Results->setHorizontalHeaderLabels(headers);
  Table_Results->setRowCount(static_cast<int>(rows_.size()));
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
      auto* item = new QTableWidgetItem(Q(SearchCellText(rows_[r], columns[c], language_)));
      if (columns[c] != SearchColumn::kPlace && columns[c] != SearchColumn::kKind &&
          columns[c] != SearchColumn::kPlaceKind) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      if (c == 0) item->setData(Qt::UserRole, rows_[r].position);
      Table_Results->setItem(r, c, item);
    }
  }
  Table_Results->resizeColumnsToContents();
  QHeaderView* header = Table_Results->horizontalHeader();
  header->setSortIndicatorShown(sortSection_ >= 0);
  if (sortSection_ >= 0) {
    header->setSortIndicator(sortSection_, ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
  if (!Searching()) {
    std::string status = SearchWindowText(SearchText::kFound, language_) + std::to_string(rows_.size());
    Label_Status->setText(Q(status));
  }
}

void TForm_Search::SortBySection(int section) {
  const std::vector<SearchColumn> columns = SearchColumns(shownMode_);
  if (section < 0 || section >= static_cast<int>(columns.size())) return;
  ascending_ = section == sortSection_ ? !ascending_ : true;
  sortSection_ = section;
  SortSearchRows(rows_, columns[section], ascending_);
  ShowRows();
}

bool TForm_Search::SaveAs() {
  if (rows_.empty()) return false;
  const std::string path =
      ChooseSaveFile(this, QStringLiteral("eclipse_search.tsv"),
                     {Q(SearchWindowText(SearchText::kTsvFilter, language_))});
  if (path.empty()) return false;
  try {
    SaveSearchTsv(path, rows_, shownMode_);
    RememberSaveFolder(path);
    return true;
  } catch (const std::exception& e) {
    ShowMessage(this, Q(e.what()));
    return false;
  }
}

}  // namespace umbrivista
