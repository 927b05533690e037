// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_window.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QCloseEvent>
#include <QChildEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

#include <optional>

#include "captions.h"
#include "civil_time.h"
#include "data_files.h"
#include "place_zones.h"
#include "caption_apply.h"
#include "widgets.h"
#include "safe_file.h"

namespace umbrivista {

namespace {

// The read-only list of a report: plain text in Liberation Mono, no wrap, both scroll bars.
QPlainTextEdit* MakeReportList(const char* name) {
  auto* list = Named(new QPlainTextEdit, name);
  list->setReadOnly(true);
  // Nothing to undo in a list that only grows.
  list->setUndoRedoEnabled(false);
  list->setLineWrapMode(QPlainTextEdit::NoWrap);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont mono(QStringLiteral("Liberation Mono"));
  mono.setStyleHint(QFont::Monospace);
  mono.setPointSize(9);
  list->setFont(mono);
  return list;
}

// While a report is being saved, offers CSV beside the text file in the save dialog that opens
// over the window: a child the window gets meanwhile is watched, and when it shows as a save
// dialog it gets the CSV filter; choosing that filter makes ".csv" the ending added to a bare name.
class CsvFilterOffer : public QObject {
 public:
  explicit CsvFilterOffer(QWidget* window) : window_(window) { window_->installEventFilter(this); }
  ~CsvFilterOffer() override { window_->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::ChildAdded) {
      static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
    } else if (watched != window_ && event->type() == QEvent::Show) {
      auto* dialog = qobject_cast<QFileDialog*>(watched);
      if (dialog && dialog->acceptMode() == QFileDialog::AcceptSave) Offer(dialog);
    }
    return false;
  }

 private:
  static void Offer(QFileDialog* dialog) {
    const QString csv = QStringLiteral("CSV (*.csv)");
    QStringList filters = dialog->nameFilters();
    if (filters.contains(csv)) return;
    const QString selected = dialog->selectedNameFilter();
    filters.append(csv);
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(selected);
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog, csv](const QString& filter) {
      dialog->setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("txt"));
    });
  }

  QWidget* window_;
};

// A name ending in ".csv" (any case) is saved as CSV, every other one as the text file.
ReportFileFormat FormatForFileName(const std::string& path) {
  return QString::fromStdString(path).endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)
             ? ReportFileFormat::kCsv
             : ReportFileFormat::kText;
}

}  // namespace

TReportWindow::TReportWindow(const char* objectName, const char* listName,
                             const char* defaultFile, CaptionWindow captions, QWidget* parent)
    : QMainWindow(parent), captions_(captions), defaultFile_(QString::fromLatin1(defaultFile)) {
  setObjectName(QString::fromLatin1(objectName));
  list_ = MakeReportList(listName);
  // The header lies in a strip as wide as the list and moves with its horizontal scrolling.
  headerStrip_ = new QWidget;
  Label5 = Named(new QLabel(headerStrip_), "Label5");
  Label5->setFont(list_->font());
  Label5->setTextFormat(Qt::PlainText);
  headerStrip_->setFixedHeight(Label5->sizeHint().height() + 2);
  connect(list_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
          &TReportWindow::AlignHeader);
  // The list under its header row, and the table with its country filter, as two tabs.
  Tabs_Report = Named(new QTabWidget, "Tabs_Report");
  auto* listPage = new QWidget;
  auto* listColumn = new QVBoxLayout(listPage);
  listColumn->setContentsMargins(0, 0, 0, 0);
  listColumn->setSpacing(0);
  listColumn->addWidget(headerStrip_);
  listColumn->addWidget(list_, 1);
  Tabs_Report->addTab(listPage, QString());
  auto* tablePage = new QWidget;
  auto* tableColumn = new QVBoxLayout(tablePage);
  tableColumn->setContentsMargins(0, 2, 0, 0);
  auto* filterRow = new QHBoxLayout;
  Label_Country = Named(new QLabel(tablePage), "Label_Country");
  ComboBox_Country = Named(new QComboBox(tablePage), "ComboBox_Country");
  ComboBox_Country->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ComboBox_Country->setMinimumContentsLength(24);
  ComboBox_Country->setMaxVisibleItems(30);
  filterRow->addWidget(Label_Country);
  filterRow->addWidget(ComboBox_Country);
  filterRow->addStretch(1);
  tableColumn->addLayout(filterRow);
  Table_Rows = Named(new QTableView(tablePage), "Table_Rows");
  tableModel_ = new TReportTableModel(this);
  Table_Rows->setModel(tableModel_);
  Table_Rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table_Rows->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table_Rows->setWordWrap(false);
  Table_Rows->verticalHeader()->setDefaultSectionSize(Table_Rows->fontMetrics().height() + 4);
  Table_Rows->horizontalHeader()->setSortIndicatorShown(true);
  // No order until the user picks one: the rows come as the run found them.
  Table_Rows->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  Table_Rows->setSortingEnabled(true);
  tableColumn->addWidget(Table_Rows, 1);
  Tabs_Report->addTab(tablePage, QString());
  connect(Tabs_Report, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == kTableTab && tableStale_) ShowTable();
  });
  connect(ComboBox_Country, &QComboBox::activated, this, [this](int index) {
    tableModel_->FilterCountry(index <= 0 ? std::string()
                                          : ComboBox_Country->itemText(index).toStdString());
  });
  Button_Beenden = Named(new QPushButton, "Button_Beenden");
  connect(Button_Beenden, &QPushButton::clicked, this, &TReportWindow::Button_BeendenClick);
  Named(statusBar(), "StatusBar1");
  // The menu "Liste" with "Speichern unter", a separator and "Beenden"; saving waits for a run.
  QMenu* menu = Named(menuBar()->addMenu(QStringLiteral("Liste")), "Liste1");
  Speichern1 = Named(menu->addAction(QStringLiteral("Speichern unter")), "Speichern1");
  Speichern1->setEnabled(false);
  menu->addSeparator();
  QAction* close = Named(menu->addAction(QStringLiteral("Beenden")), "Beenden1");
  connect(close, &QAction::triggered, this, &TReportWindow::Button_BeendenClick);
  connect(Speichern1, &QAction::triggered, this, &TReportWindow::SaveAs);
  RelabelViews();
}

void TReportWindow::AlignHeader() {
  // The header's first character stands over the list's first column, 2 pixels in from the
  // list's text edge.
  const int x = list_->mapTo(this, QPoint(0, 0)).x() - headerStrip_->mapTo(this, QPoint(0, 0)).x();
  Label5->move(x + list_->frameWidth() + 2 + static_cast<int>(list_->document()->documentMargin()) -
                   list_->horizontalScrollBar()->value(),
               1);
  Label5->adjustSize();
}

void TReportWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  AlignHeader();
}

void TReportWindow::SetLanguage(Language language) {
  CancelRun();
  language_ = language;
  ApplyCaptionSet(this, captions_, language);
  Relabel();
  RelabelViews();
  ShowCaption();
  // A run under way ends before the window goes.
  StopRun();
  hide();
}

void TReportWindow::RelabelViews() {
  Tabs_Report->setTabText(0, Q(ReportViewCaption(ReportViewText::kListTab, language_)));
  Tabs_Report->setTabText(1, Q(ReportViewCaption(ReportViewText::kTableTab, language_)));
  Label_Country->setText(Q(ReportViewCaption(ReportViewText::kCountry, language_)));
  if (ComboBox_Country->count() == 0) ComboBox_Country->addItem(QString());
  ComboBox_Country->setItemText(0, Q(ReportViewCaption(ReportViewText::kAllCountries, language_)));
}

void TReportWindow::ShowCaption() { setWindowTitle(Q(WindowCaption())); }

void TReportWindow::RefreshTable() {
  // Built when it is shown: a run's list is complete without it, and a table of many thousand
  // rows takes a while to build and measure.
  tableStale_ = true;
  if (Tabs_Report->currentIndex() == kTableTab || run_.rows.empty()) ShowTable();
}

void TReportWindow::ShowTable() {
  tableStale_ = false;
  // The table shows the run's rows under the column names of the run's language.
  tableModel_->SetRows(run_.rows, run_.kind, run_.language);
  const QString all = Q(ReportViewCaption(ReportViewText::kAllCountries, language_));
  ComboBox_Country->clear();
  ComboBox_Country->addItem(all);
  for (const std::string& country : tableModel_->Table().Countries())
    ComboBox_Country->addItem(Q(country));
  ComboBox_Country->setCurrentIndex(0);
  if (!run_.rows.empty()) {
    // Widths from the first rows: a whole run would take long to measure.
    Table_Rows->horizontalHeader()->setResizeContentsPrecision(200);
    Table_Rows->resizeColumnsToContents();
  }
}

void TReportWindow::ClearRun() {
  // What is shown is what would be saved: the list and the held rows go together.
  list_->clear();
  run_ = ReportRun{};
  shown_ = 0;
  RefreshTable();
  Speichern1->setEnabled(false);
  statusBar()->clearMessage();
}

void TReportWindow::OpenWindow() {
  ClearRun();
  ShowCaption();
  show();
  raise();
  activateWindow();
  AlignHeader();
}

TReportWindow::~TReportWindow() { runner_.Stop(); }

void TReportWindow::RunReport(QPushButton* start, ReportRunner::Compute compute) {
  if (context_.runStarting) context_.runStarting();
  // A run under way ends before the next one starts; its rows give way to the new run's.
  runner_.Stop();
  if (runStart_) runStart_->setEnabled(true);
  runStart_ = start;
  start->setEnabled(false);
  Button_Beenden->setFocus();
  ClearRun();
  ShowCaption();
  // The worker only posts a call to this window; a call still queued when the window goes is
  // dropped with it.
  runner_.Start(std::move(compute), [this] {
    QMetaObject::invokeMethod(this, &TReportWindow::FollowRun, Qt::QueuedConnection);
  });
}

void TReportWindow::FollowRun() {
  ReportRunner::News news = runner_.TakeNews();
  if (news.lines > 0) {
    AppendToList(std::move(news.text));
    shown_ += news.lines;
  }
  if (!news.status.empty()) statusBar()->showMessage(QString::fromStdString(news.status));
  if (std::optional<ReportRun> run = runner_.TakeResult()) EndRun(std::move(*run));
}

void TReportWindow::StopRun() {
  if (std::optional<ReportRun> run = runner_.Stop()) EndRun(std::move(*run));
}

void TReportWindow::EndRun(ReportRun run) {
  run_ = std::move(run);
  ShowNewRows(run_);
  RefreshTable();
  statusBar()->showMessage(QString::fromStdString(run_.status));
  if (runStart_) runStart_->setEnabled(true);
  runStart_ = nullptr;
  Speichern1->setEnabled(true);
  if (!run_.error.empty()) ShowMessage(this, QString::fromStdString(run_.error));
}

void TReportWindow::ShowNewRows(const ReportRun& run) {
  if (shown_ >= run.rows.size()) return;
  std::string text;
  shown_ = AppendListLines(run.rows, shown_, text);
  AppendToList(std::move(text));
}

void TReportWindow::AppendToList(std::string lines) {
  // The new rows join the list in one go, converted in one piece.
  if (!lines.empty() && lines.back() == '\n') lines.pop_back();
  list_->appendPlainText(QString::fromStdString(lines));
}

bool TReportWindow::SaveAs() {
  if (Running()) return false;
  std::string path;
  {
    const CsvFilterOffer offer(this);
    path = ChooseSaveFile(this, defaultFile_,
                          {QString::fromStdString(TextFileFilter(CurrentLanguage()))});
  }
  if (path.empty()) return false;
  try {
    // The CSV's local civil times; without a readable zone file their columns stay empty.
    const ReportFileFormat format = FormatForFileName(path);
    std::optional<PlaceZones> zones;
    ReportClock clock;
    if (format != ReportFileFormat::kText) {
      try {
        zones = PlaceZones::Load(FindDataFile(kPlaceZonesFileName, Context().dataDir));
        clock = {&*zones, QtCivilOffsets()};
      } catch (const std::exception&) {
      }
    }
    SaveReport(run_, path, InputFile(), format, clock);
  } catch (const std::exception& e) {
    ShowMessage(this, QString::fromUtf8(e.what()));
    return false;
  }
  RememberSaveFolder(path);
  return true;
}

void TReportWindow::Button_BeendenClick() {
  StopRun();
  hide();
}

void TReportWindow::closeEvent(QCloseEvent* event) {
  StopRun();
  QMainWindow::closeEvent(event);
}

}  // namespace umbrivista
