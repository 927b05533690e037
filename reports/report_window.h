// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the two report windows share: the fixed-pitch list with its header kept in step with the
// list's horizontal scrolling, the status line, the menu "Liste", the run that fills the list as
// rows come from a run on a thread of its own while the window stays responsive, its cancel flag,
// and "Save as".

#include <QMainWindow>
#include <atomic>
#include <functional>
#include <string>

#include "captions.h"
#include "language.h"
#include "report_run.h"
#include "report_runner.h"
#include "report_table_view.h"

class QAction;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace umbrivista {

class EclipseCatalogue;
struct SettingsRecord;

// What a report window needs from the rest of the program.
struct ReportContext {
  const EclipseCatalogue* catalogue = nullptr;
  std::function<int()> position;       // the eclipse shown in the main window
  std::string dataDir;                 // folder named on the command line (data-file lookup)
  std::string version;                 // for the caption
  std::function<void()> runStarting;   // told before each run (the main window stops playing)
};

class TReportWindow : public QMainWindow {
  Q_OBJECT

 public:
  void SetContext(ReportContext context) { context_ = std::move(context); }
  // The interface language changed: a run under way stops, the window takes the captions of the
  // language and is hidden.
  void SetLanguage(Language language);
  Language CurrentLanguage() const { return language_; }
  // Place, size and inputs from the settings record, and back into it.
  virtual void ApplySettings(const SettingsRecord& settings) = 0;
  virtual void CollectSettings(SettingsRecord& settings) const = 0;
  ~TReportWindow() override;
  // Asks a run under way to stop at its next step; the rows found stay.
  void CancelRun() { runner_.Cancel(); }
  bool CancelRequested() const { return runner_.CancelRequested(); }
  // Cancels a run under way and waits for it; its rows found stay and are shown.
  void StopRun();
  // A run is under way (started, its rows not yet all shown).
  bool Running() const { return runner_.Active(); }
  // The rows of the last run: what "Save as" writes.
  const ReportRun& Run() const { return run_; }
  // "Save as": asks for the file and writes legend, header and rows, or the CSV of the rows when
  // the CSV filter is chosen or the name ends in ".csv"; false when cancelled or failed (a failure
  // is reported; the rows stay either way).
  bool SaveAs();

  QLabel* Label5;
  QPushButton* Button_Beenden;
  QAction* Speichern1;
  // The rows twice: the fixed-pitch list, and beside it a table of full fields that sorts by a
  // click on a column header and shows the rows of the country chosen.
  QTabWidget* Tabs_Report;
  QTableView* Table_Rows;
  QComboBox* ComboBox_Country;
  QLabel* Label_Country;

 protected:
  TReportWindow(const char* objectName, const char* listName, const char* defaultFile,
                CaptionWindow captions, QWidget* parent);
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  // The list widget, made by the base.
  QPlainTextEdit* List() const { return list_; }
  // The two views of the rows (the list under its header row, and the table), to be placed by
  // the derived window.
  QWidget* RowViews() const { return Tabs_Report; }
  // The window's caption: the report and what it is about, in the window's language.
  virtual std::string WindowCaption() const = 0;
  // Shows WindowCaption() as the window title.
  void ShowCaption();
  // Opening from the menu: an empty list and no held rows, the caption, the window shown.
  void OpenWindow();
  // Empties the list, the held rows and the status line, and disables saving.
  void ClearRun();
  // Starts `compute` on the run's thread with progress and cancel wired to this window; `start`
  // is disabled until the run ends. A run under way is stopped first and its rows dropped.
  // `compute` must not refer to the window: it runs while the window goes on.
  void RunReport(QPushButton* start, ReportRunner::Compute compute);
  const ReportContext& Context() const { return context_; }
  // What a window relabels beyond its caption set (list items, files of the language).
  virtual void Relabel() {}
  // The file the window's runs read, which "Save as" must not replace ("" for none).
  virtual std::string InputFile() const { return {}; }

 private:
  void Button_BeendenClick();
  void AlignHeader();
  void RelabelViews();
  // The table of the run's rows, now if its tab is shown, else when it is.
  void RefreshTable();
  void ShowTable();
  // Appends the rows of `run` not yet in the list.
  void ShowNewRows(const ReportRun& run);
  // Appends `lines` (each ended by '\n') to the list.
  void AppendToList(std::string lines);
  // Shows what the run published and, once it ended, ends it.
  void FollowRun();
  // The run has ended: its rows, table and status are shown and Start is enabled again.
  void EndRun(ReportRun run);

  ReportContext context_;
  CaptionWindow captions_;
  Language language_ = kDefaultLanguage;
  QPlainTextEdit* list_;
  QWidget* headerStrip_;
  TReportTableModel* tableModel_;
  static constexpr int kTableTab = 1;
  bool tableStale_ = false;  // the table does not show the run's rows yet
  QString defaultFile_;
  ReportRun run_;
  std::size_t shown_ = 0;
  QPushButton* runStart_ = nullptr;  // the Start button of the run under way
  // Last member: the run's thread is stopped before the rest of the window goes.
  ReportRunner runner_;
};

}  // namespace umbrivista
