// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The two report windows driven offscreen: runs that fill the list, cancelling, saving, the
// take-over of a place, a missing places file, and the language switch during a run.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "city_hist_window.h"
#include "city_list_run.h"
#include "city_list_window.h"
#include "civil_time.h"
#include "main_window.h"
#include "widgets.h"
#include "numbers.h"
#include "place_history_run.h"
#include "place_zones.h"
#include "report_export.h"
#include "report_table.h"
#include "settings_record.h"
#include "scratch_dir.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

class ReportWindowsTest : public ScratchDirTest {
 protected:
  ReportWindowsTest() : ScratchDirTest("app_reports") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    SetMessageSink([this](QWidget*, const QString& text) { messages_.push_back(text); });
    SetSaveFileChooser([this](QWidget*, const QString& offered) {
      offered_ = offered;
      if (chosen_.empty()) return std::string();
      return (dir_ / chosen_).string();
    });
  }
  void TearDown() override {
    SetMessageSink(nullptr);
    SetSaveFileChooser(nullptr);
    ScratchDirTest::TearDown();
  }
  // The window as the main window attaches it, in `language`.
  static void Attach(TReportWindow& window, Language language,
                     const std::string& dataDir = UMBRIVISTA_DATA_DIR) {
    ReportContext c;
    c.catalogue = &ShippedCatalogue();
    c.position = [] { return 16690; };
    c.dataDir = dataDir;
    c.version = "0.1.0";
    window.SetContext(c);
    window.SetLanguage(language);
  }
  std::string FileText(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::string Cli(const std::string& args, const std::string& out) {
    const std::string command = std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli " + args +
                                " --catalogue " + UMBRIVISTA_DATA_DIR + "/" + kCatalogueFileName +
                                " --data-dir " + UMBRIVISTA_DATA_DIR + " --out " +
                                (dir_ / out).string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return FileText(out);
  }
  // Lets the window's event loop go until its run has ended.
  static void WaitForRun(const TReportWindow& window) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (window.Running() && std::chrono::steady_clock::now() < end) QTest::qWait(2);
    ASSERT_FALSE(window.Running());
  }
  // Runs `action` the first time the window's status line changes during a run.
  static void DuringRun(QMainWindow& window, std::function<void()> action) {
    QObject::connect(
        window.statusBar(), &QStatusBar::messageChanged, &window,
        [action](const QString& text) {
          if (!text.isEmpty()) action();
        },
        Qt::SingleShotConnection);
  }

  std::vector<QString> messages_;
  std::string chosen_;
  QString offered_;
};

TEST_F(ReportWindowsTest, CityListRunFillsTheListAndSavesWhatTheCommandLineWrites) {
  TForm_CityList window;
  Attach(window, Language::kGerman);
  window.Open();
  window.ComboBox_Population->setCurrentIndex(3);
  window.Button_Start_CityList->click();
  WaitForRun(window);
  const ReportRun& run = window.Run();
  ASSERT_GT(run.rows.size(), 100u);
  EXPECT_EQ(window.RichEdit_CityList->blockCount(), static_cast<int>(run.rows.size()));
  EXPECT_EQ(window.RichEdit_CityList->document()->firstBlock().text().toStdString(),
            run.rows.front().list);
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
            CityListStatusText(run.scanned, run.found, Language::kGerman));
  EXPECT_TRUE(window.Button_Start_CityList->isEnabled());
  EXPECT_TRUE(window.Speichern1->isEnabled());
  // A cancelled dialog writes nothing and keeps the rows; the next save holds them.
  chosen_.clear();
  EXPECT_FALSE(window.SaveAs());
  chosen_ = "window.txt";
  ASSERT_TRUE(window.SaveAs());
  EXPECT_EQ(FileText("window.txt"), Cli("citylist 16690 --threshold-index 3 --lang de", "cli.txt"));
  // Saved again: the same file.
  chosen_ = "again.txt";
  ASSERT_TRUE(window.SaveAs());
  EXPECT_EQ(FileText("again.txt"), FileText("window.txt"));
}

TEST_F(ReportWindowsTest, SaveDialogOpensInTheDocumentsThenWhereTheLastSaveWent) {
  TForm_CityList list;
  Attach(list, Language::kGerman);
  TForm_CityHist history;
  Attach(history, Language::kGerman);
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString first = QFileInfo(documents).isDir() ? documents : QDir::homePath();
  chosen_.clear();
  EXPECT_FALSE(list.SaveAs());
  EXPECT_EQ(offered_, QDir(first).filePath("Umbrivista_CityList.txt"));
  // A save that fails leaves the folder as it was.
  chosen_ = "no-such-folder/list.txt";
  EXPECT_FALSE(list.SaveAs());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(history.SaveAs());
  EXPECT_EQ(offered_, QDir(first).filePath("Umbrivista_CityHist.txt"));
  // After a save both windows offer that file's folder.
  std::filesystem::create_directory(dir_ / "reports");
  chosen_ = "reports/list.txt";
  ASSERT_TRUE(list.SaveAs());
  chosen_.clear();
  EXPECT_FALSE(history.SaveAs());
  EXPECT_EQ(offered_.toStdString(), (dir_ / "reports" / "Umbrivista_CityHist.txt").string());
  EXPECT_FALSE(list.SaveAs());
  EXPECT_EQ(offered_.toStdString(), (dir_ / "reports" / "Umbrivista_CityList.txt").string());
}

TEST_F(ReportWindowsTest, StartAndSaveAreDisabledDuringARunThatCanBeCancelled) {
  TForm_CityList window;
  Attach(window, Language::kEnglish);
  window.Open();
  window.ComboBox_Population->setCurrentIndex(9);  // every place: a run of some 200 ms
  // Once the first rows are in the list: look at the buttons and cancel.
  bool startDisabled = false, saveDisabled = false;
  auto connection = std::make_shared<QMetaObject::Connection>();
  *connection = QObject::connect(window.statusBar(), &QStatusBar::messageChanged, &window, [&] {
    if (window.RichEdit_CityList->toPlainText().isEmpty()) return;
    QObject::disconnect(*connection);
    startDisabled = !window.Button_Start_CityList->isEnabled();
    saveDisabled = !window.Speichern1->isEnabled();
    window.Button_Beenden->click();
  });
  window.Button_Start_CityList->click();
  WaitForRun(window);
  EXPECT_TRUE(startDisabled);
  EXPECT_TRUE(saveDisabled);
  const ReportRun& run = window.Run();
  EXPECT_TRUE(run.cancelled);
  EXPECT_FALSE(window.isVisible());
  ASSERT_FALSE(run.rows.empty());
  EXPECT_LT(run.rows.size(), 30000u);
  EXPECT_EQ(window.RichEdit_CityList->blockCount(), static_cast<int>(run.rows.size()));
  chosen_ = "cancelled.txt";
  ASSERT_TRUE(window.SaveAs());
  EXPECT_EQ(FileText("cancelled.txt"), SavedReportText(run));
  // Opening again clears the list and the rows together.
  window.Open();
  EXPECT_EQ(window.Run().rows.size(), 0u);
  EXPECT_TRUE(window.RichEdit_CityList->toPlainText().isEmpty());
}

// While a run over every place goes on, a click reaches its control soon: the run computes on
// threads of its own and the window only shows what they found. The time is taken from posting
// the click to its handling; the median of several clicks must stay under 50 ms.
TEST_F(ReportWindowsTest, CityListWindowAnswersClicksWhileARunGoesOn) {
  using Clock = std::chrono::steady_clock;
  TForm_CityList window;
  Attach(window, Language::kEnglish);
  window.Open();
  window.ComboBox_Population->setCurrentIndex(9);
  QTabBar* bar = window.Tabs_Report->tabBar();
  Clock::time_point handled;
  bool handledDuringRun = false;
  QObject::connect(window.Tabs_Report, &QTabWidget::currentChanged, &window, [&] {
    handled = Clock::now();
    handledDuringRun = window.Running();
  });
  window.Button_Start_CityList->click();
  std::vector<double> delays;
  while (window.Running() && delays.size() < 9) {
    // A press on the tab not shown switches to it.
    const QPoint at = bar->tabRect(1 - window.Tabs_Report->currentIndex()).center();
    handled = {};
    const Clock::time_point posted = Clock::now();
    QCoreApplication::postEvent(bar, new QMouseEvent(QEvent::MouseButtonPress, at,
                                                     bar->mapToGlobal(at), Qt::LeftButton,
                                                     Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(bar, new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                     bar->mapToGlobal(at), Qt::LeftButton,
                                                     Qt::NoButton, Qt::NoModifier));
    while (handled == Clock::time_point{} && Clock::now() - posted < std::chrono::seconds(10))
      QCoreApplication::processEvents();
    ASSERT_NE(handled, Clock::time_point{}) << "the click was not handled";
    if (handledDuringRun)
      delays.push_back(std::chrono::duration<double, std::milli>(handled - posted).count());
    QTest::qWait(5);
  }
  ASSERT_FALSE(delays.empty()) << "the run ended before a click";
  std::sort(delays.begin(), delays.end());
  EXPECT_LT(delays[delays.size() / 2], 50.0) << "slowest " << delays.back() << " ms";
  // Cancel during the run: the rows found stay, shown and held alike.
  window.Button_Beenden->click();
  EXPECT_FALSE(window.Running());
  EXPECT_EQ(window.RichEdit_CityList->blockCount(),
            std::max<int>(1, static_cast<int>(window.Run().rows.size())));
}

// Closing the window, starting again or letting the window go during a run is safe: the run is
// cancelled and waited for.
TEST_F(ReportWindowsTest, CloseRestartAndDestroyDuringARun) {
  auto window = std::make_unique<TForm_CityList>();
  Attach(*window, Language::kEnglish);
  window->Open();
  window->ComboBox_Population->setCurrentIndex(9);
  window->Button_Start_CityList->click();
  window->close();
  EXPECT_FALSE(window->Running());
  EXPECT_TRUE(window->Run().cancelled);
  window->Open();
  window->Button_Start_CityList->click();
  window->Button_Start_CityListClick();  // again while the first goes on: it gives way
  EXPECT_TRUE(window->Running());
  WaitForRun(*window);
  EXPECT_FALSE(window->Run().cancelled);
  EXPECT_EQ(window->RichEdit_CityList->blockCount(), static_cast<int>(window->Run().rows.size()));
  window->Button_Start_CityList->click();
  window.reset();
  QTest::qWait(20);  // a call the run posted is dropped with the window
}

TEST_F(ReportWindowsTest, PlaceHistoryTakesOverAPlaceAndSavesWhatTheCommandLineWrites) {
  TForm_CityHist window;
  Attach(window, Language::kEnglish);
  window.Open();
  ASSERT_TRUE(messages_.empty());
  const int argentina = window.ComboBox_Land->findText("Argentina");
  ASSERT_GE(argentina, 0);
  window.ComboBox_Land->setCurrentIndex(argentina);
  emit window.ComboBox_Land->activated(argentina);
  ASSERT_GT(window.ComboBox_Stadt->count(), 10);
  window.ComboBox_Stadt->setCurrentIndex(1);  // Abra Pampa: 22.72 S, 65.70 W, 3487 m
  window.Button_Uebernehmen->click();
  EXPECT_EQ(window.Edit_Ort_Land->text(), "Argentina");
  EXPECT_EQ(window.Edit_Ort_Stadt->text(), "Abra Pampa");
  EXPECT_EQ(window.Edit_Breite->text(), "22.72");
  EXPECT_EQ(window.Edit_Laenge->text(), "65.7");
  EXPECT_TRUE(window.RadioButton_Sued->isChecked());
  EXPECT_TRUE(window.RadioButton_West->isChecked());
  EXPECT_EQ(window.Edit_Hoehe->text(), "3487");
  EXPECT_EQ(window.Edit_Einwohner->text(), "9425");
  window.ComboBox_von->setCurrentIndex(7);  // +1901
  window.ComboBox_Bis->setCurrentIndex(8);  // +2100
  window.Button_Start_CityHist->click();
  WaitForRun(window);
  const ReportRun& run = window.Run();
  ASSERT_GT(run.rows.size(), 20u);
  EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
            PlaceHistoryStatusText(run.scanned, run.found, Language::kEnglish));
  chosen_ = "history.txt";
  ASSERT_TRUE(window.SaveAs());
  EXPECT_EQ(FileText("history.txt"),
            Cli("placehistory --lat -22.72 --lon -65.7 --height 3487 --name 'Abra Pampa' "
                "--country Argentina --population 9425 --from 1901 --to 2100 --lang en",
                "history-cli.txt"));
  // Another place typed over the one taken: its population and country do not stay with it.
  window.Edit_Ort_Stadt->clear();
  QTest::keyClicks(window.Edit_Ort_Stadt, "Humahuaca");
  window.Button_Start_CityHist->click();
  WaitForRun(window);
  ASSERT_TRUE(window.SaveAs());
  EXPECT_EQ(FileText("history.txt"),
            Cli("placehistory --lat -22.72 --lon -65.7 --height 3487 --name Humahuaca --country '' "
                "--from 1901 --to 2100 --lang en",
                "history-typed.txt"));
  // A bad number stops before the run, naming the field.
  window.Edit_Breite->setText("91");
  window.Button_Start_CityHist->click();
  WaitForRun(window);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].toStdString(),
            InvalidPlaceNumberMessage(PlaceField::kLatitude, "91", Language::kEnglish));
  EXPECT_EQ(window.Run().rows.size(), run.rows.size());
}

TEST_F(ReportWindowsTest, SaveAsNeverReplacesThePlacesFileTheRunRead) {
  std::filesystem::copy_file(std::string(UMBRIVISTA_DATA_DIR) + "/2017_data_EN.txt",
                             dir_ / "2017_data_EN.txt");
  const std::string places = FileText("2017_data_EN.txt");
  TForm_CityList list;
  Attach(list, Language::kEnglish, dir_.string());
  list.Open();
  list.Button_Start_CityList->click();
  WaitForRun(list);
  ASSERT_FALSE(list.Run().rows.empty());
  chosen_ = "2017_data_EN.txt";
  EXPECT_FALSE(list.SaveAs());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].contains("same file")) << messages_[0].toStdString();
  EXPECT_EQ(FileText("2017_data_EN.txt"), places);
}

TEST_F(ReportWindowsTest, AMissingPlacesFileIsReportedOnceAndTheWindowStaysUsable) {
  TForm_CityHist history;
  Attach(history, Language::kEnglish, dir_.string());
  history.Open();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].contains("2017_data_EN.txt")) << messages_[0].toStdString();
  EXPECT_EQ(history.ComboBox_Land->count(), 0);
  history.ComboBox_von->setCurrentIndex(9);
  history.ComboBox_Bis->setCurrentIndex(8);
  history.Button_Start_CityHist->click();  // the place history needs no places file
  WaitForRun(history);
  EXPECT_FALSE(history.Run().rows.empty());
  EXPECT_EQ(messages_.size(), 1u);

  TForm_CityList list;
  Attach(list, Language::kEnglish, dir_.string());
  list.Open();
  list.Button_Start_CityList->click();
  WaitForRun(list);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_TRUE(messages_[1].contains("2017_data_EN.txt"));
  EXPECT_TRUE(list.Button_Start_CityList->isEnabled());
  EXPECT_TRUE(list.Run().rows.empty());
}

TEST_F(ReportWindowsTest, LanguageSwitchDuringARunCancelsIt) {
  MainWindowOptions options;
  options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
  options.dataDir = UMBRIVISTA_DATA_DIR;
  options.version = "0.1.0";
  TForm_Main main(options);
  TForm_CityHist history;
  TForm_CityList list;
  main.AttachReportWindows(&history, &list);
  main.show();
  main.Sichtbarkeit->trigger();
  list.ComboBox_Population->setCurrentIndex(9);
  DuringRun(list, [&main] { main.LanguageCommand(Language::kEnglish); });
  list.Button_Start_CityList->click();
  WaitForRun(list);
  EXPECT_TRUE(list.Run().cancelled);
  EXPECT_FALSE(list.isVisible());
  EXPECT_LT(list.Run().rows.size(), 30000u);
  // The run was made in German and its file stays German.
  EXPECT_EQ(list.Run().language, Language::kGerman);
}

// "Save as" writes the CSV of the rows for a name ending in .csv, and the save dialog offers CSV
// beside the text file.
TEST_F(ReportWindowsTest, SaveAsWritesCsvWhenTheNameEndsInCsv) {
  TForm_CityList window;
  Attach(window, Language::kEnglish);
  window.Open();
  window.ComboBox_Population->setCurrentIndex(0);
  window.Button_Start_CityList->click();
  WaitForRun(window);
  ASSERT_GT(window.Run().rows.size(), 10u);
  chosen_ = "cities.CSV";
  ASSERT_TRUE(window.SaveAs());
  const std::string csv = FileText("cities.CSV");
  EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
            "date_ut,delta_t_s,kind,saros,saros_member,saros_count,country,place,latitude_deg,"
            "longitude_deg,height_m,population,c1_ut,c1_p_deg,c1_v_deg,c1_alt_deg,c2_ut,c2_p_deg,"
            "c2_v_deg,c2_alt_deg,max_ut,max_p_deg,max_v_deg,max_alt_deg,magnitude,obscuration,"
            "duration_s,c3_ut,c3_p_deg,c3_v_deg,c3_alt_deg,c4_ut,c4_p_deg,c4_v_deg,c4_alt_deg,"
            "time_zone,utc_offset_s,c1_local,c2_local,max_local,c3_local,c4_local");
  // With the places' local civil times.
  const PlaceZones zones =
      PlaceZones::Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kPlaceZonesFileName);
  EXPECT_EQ(csv, ReportCsvText(window.Run().rows, {&zones, QtCivilOffsets()}));
  EXPECT_NE(csv.find(",America/Chicago,-18000,"), std::string::npos);

  // The dialog itself: the CSV filter is there, and a .csv name chosen in it is saved as CSV.
  SetSaveFileChooser(nullptr);
  QStringList filters;
  const QString target = QString::fromStdString((dir_ / "dialog.csv").string());
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(dialog);
    filters = dialog->nameFilters();
    dialog->selectFile(target);
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, public through QDialog
  });
  ASSERT_TRUE(window.SaveAs());
  EXPECT_TRUE(filters.contains("CSV (*.csv)")) << filters.join('|').toStdString();
  EXPECT_EQ(FileText("dialog.csv"), csv);
}

// The table beside the list: full names, sorted by a click on a column header by value, one
// country at a time; the caption names the report and its eclipse; the saved file stays the
// list's.
TEST_F(ReportWindowsTest, CityListTableSortsByValueAndFiltersByCountry) {
  TForm_CityList window;
  Attach(window, Language::kEnglish);
  window.Open();
  EXPECT_EQ(window.windowTitle().toStdString(), "City list \u2013 2024-04-08 total");
  window.ComboBox_Population->setCurrentIndex(3);
  window.Button_Start_CityList->click();
  WaitForRun(window);
  const ReportRun& run = window.Run();
  ASSERT_GT(run.rows.size(), 100u);
  window.Tabs_Report->setCurrentIndex(1);
  QTableView* table = window.Table_Rows;
  ASSERT_EQ(table->model()->rowCount(), static_cast<int>(run.rows.size()));
  auto cell = [table](int row, int column) {
    return table->model()->index(row, column).data().toString().toStdString();
  };
  auto column = [table](const char* name) {
    for (int c = 0; c < table->model()->columnCount(); ++c)
      if (table->model()->headerData(c, Qt::Horizontal).toString() == name) return c;
    ADD_FAILURE() << name;
    return 0;
  };
  // Before any click the rows stand as the run found them.
  EXPECT_EQ(cell(0, column("Place")), run.rows.front().values.place);
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), -1);
  // Population and duration by value: as text "99999" would come after "1000000".
  const int population = column("Popul."), duration = column("mm:ss");
  for (const int c : {population, duration}) {
    for (int click = 0; click < 2; ++click) {
      QHeaderView* header = table->horizontalHeader();
      header->setSectionHidden(0, false);
      table->scrollTo(table->model()->index(0, c));
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(c) + 5, header->height() / 2));
      ASSERT_EQ(header->sortIndicatorSection(), c);
      const bool ascending = header->sortIndicatorOrder() == Qt::AscendingOrder;
      double previous = ascending ? -1 : 1e12;
      bool emptySeen = false;
      for (int r = 0; r < table->model()->rowCount(); ++r) {
        const std::string text = cell(r, c);
        const std::optional<double> value =
            c == duration ? ClockSeconds(text) : ParseReal(text);
        if (!value) {
          emptySeen = true;  // empty cells (a partial eclipse's duration) come last
          continue;
        }
        ASSERT_FALSE(emptySeen) << "row " << r;
        EXPECT_TRUE(ascending ? *value >= previous : *value <= previous)
            << "row " << r << " " << text;
        previous = *value;
      }
    }
  }
  // Names whole, as in the saved file.
  const int country = column("Country");
  bool whole = false;
  for (int r = 0; r < table->model()->rowCount(); ++r)
    whole = whole || cell(r, country).size() > 10;
  EXPECT_TRUE(whole);
  const int us = window.ComboBox_Country->findText("United States");
  ASSERT_GT(us, 0);
  window.ComboBox_Country->setCurrentIndex(us);
  emit window.ComboBox_Country->activated(us);
  ASSERT_GT(table->model()->rowCount(), 10);
  for (int r = 0; r < table->model()->rowCount(); ++r) EXPECT_EQ(cell(r, country), "United States");
  chosen_ = "sorted.txt";
  ASSERT_TRUE(window.SaveAs());
  EXPECT_EQ(FileText("sorted.txt"), SavedReportText(run));
  // In French the tabs and the caption follow.
  window.SetLanguage(Language::kFrench);
  EXPECT_EQ(window.Tabs_Report->tabText(1).toStdString(), "Tableau");
  EXPECT_EQ(window.windowTitle().toStdString(), "Liste des villes \u2013 2024-04-08 totale");
}

// The place history's years typed or chosen, a first run around the present, a city taken over
// as it is chosen, and the place chosen kept across a language switch.
TEST_F(ReportWindowsTest, PlaceHistoryYearsCityChoiceAndLanguageSwitch) {
  TForm_CityHist window;
  Attach(window, Language::kGerman);
  window.StartAtPresent(2026);
  EXPECT_EQ(window.ComboBox_von->currentText(), "+2001");
  EXPECT_EQ(window.ComboBox_Bis->currentText(), "+2050");
  window.Open();
  const int country = window.ComboBox_Land->findText("Argentinien");
  ASSERT_GE(country, 0);
  window.ComboBox_Land->setCurrentIndex(country);
  emit window.ComboBox_Land->activated(country);
  window.ComboBox_Stadt->setCurrentIndex(1);
  emit window.ComboBox_Stadt->activated(1);  // no "Übernehmen" needed
  const QString city = window.ComboBox_Stadt->currentText();
  EXPECT_EQ(window.Edit_Ort_Stadt->text(), city);
  EXPECT_FALSE(window.Edit_Einwohner->text().isEmpty());
  // Years typed: 2000 … 2002; a text that is no year stops before the run.
  window.ComboBox_von->setEditText("2000");
  window.ComboBox_Bis->setEditText("+2002");
  window.Button_Start_CityHist->click();
  WaitForRun(window);
  ASSERT_TRUE(messages_.empty());
  EXPECT_EQ(window.ComboBox_von->currentText(), "+2000");
  for (const ReportRow& row : window.Run().rows) {
    EXPECT_GE(row.values.year, 1999);
    EXPECT_LE(row.values.year, 2003);
  }
  EXPECT_EQ(window.windowTitle().toStdString(),
            "Finsternisse an einem Ort \u2013 " + city.toStdString() + ", +2000 \u2026 +2002");
  // The settings keep list items: the nearest ones.
  SettingsRecord s = DefaultSettings("0.1.0");
  window.CollectSettings(s);
  EXPECT_EQ(s.firstYearIndex, 9);  // +2001
  EXPECT_EQ(s.lastYearIndex, 6);   // +2000
  window.ComboBox_von->setEditText("-");
  window.Button_Start_CityHist->click();
  WaitForRun(window);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].toStdString(), InvalidYearMessage(true, "-", Language::kGerman));
  // Another language: the lists are those of its file, with the same place chosen.
  window.SetLanguage(Language::kEnglish);
  window.Open();
  EXPECT_EQ(window.ComboBox_Land->currentText(), "Argentina");
  EXPECT_GT(window.ComboBox_Stadt->count(), 10);
  EXPECT_GE(window.ComboBox_Stadt->currentIndex(), 0);
  EXPECT_EQ(window.Edit_Ort_Stadt->text(), city);
}

}  // namespace
}  // namespace umbrivista
