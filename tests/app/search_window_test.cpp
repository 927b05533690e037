// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The search window driven offscreen from the main window's menu: a search, sorting by a column
// header, a double-click that shows the eclipse in the main window, the remembered criteria,
// "Save as" and the language switch.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "eclipse_search.h"
#include "main_window.h"
#include "scratch_dir.h"
#include "search_window.h"
#include "widgets.h"

namespace umbrivista {
namespace {

class SearchWindowTest : public ScratchDirTest {
 protected:
  SearchWindowTest() : ScratchDirTest("app_search") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    SetMessageSink([this](QWidget*, const QString& text) { messages_.push_back(text); });
    SetSaveFileChooser([this](QWidget*, const QString&) { return (dir_ / "found.tsv").string(); });
  }
  void TearDown() override {
    SetMessageSink(nullptr);
    SetSaveFileChooser(nullptr);
    ScratchDirTest::TearDown();
  }
  MainWindowOptions Options() const {
    MainWindowOptions options;
    options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
    options.dataDir = UMBRIVISTA_DATA_DIR;
    options.version = "0.1.0";
    options.settingsFile = (dir_ / "settings.dat").string();
    return options;
  }
  // Lets the window's event loop go until its search has ended.
  static void WaitForSearch(const TForm_Search& w) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (w.Searching() && std::chrono::steady_clock::now() < end) QTest::qWait(2);
    ASSERT_FALSE(w.Searching());
  }
  std::vector<QString> messages_;
};

QString Cell(const TForm_Search& w, int row, SearchColumn column) {
  const auto columns = SearchColumns(SearchPlaceMode::kNone);
  const int c = static_cast<int>(std::find(columns.begin(), columns.end(), column) - columns.begin());
  return w.Table_Results->item(row, c)->text();
}

TEST_F(SearchWindowTest, SearchSortAndDoubleClickShowTheEclipse) {
  TForm_Main main(Options());
  main.show();
  main.LanguageCommand(Language::kEnglish);
  main.SearchEclipses->trigger();
  TForm_Search* w = main.SearchWindow();
  ASSERT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Umbrivista \u2013 Search eclipses"));

  w->SpinBox_From->setValue(2001);
  w->SpinBox_To->setValue(2100);
  w->CheckBox_Total->setChecked(true);
  w->CheckBox_Central->setChecked(true);
  w->Edit_MinDuration->setText("300");
  w->Button_Start->click();
  WaitForSearch(*w);
  ASSERT_TRUE(messages_.empty()) << messages_.front().toStdString();
  ASSERT_GE(w->Table_Results->rowCount(), 5);
  EXPECT_EQ(w->Table_Results->rowCount(), static_cast<int>(w->Rows().size()));

  // A click on the duration header sorts ascending, a second one descending.
  const auto columns = SearchColumns(SearchPlaceMode::kNone);
  const int duration = static_cast<int>(
      std::find(columns.begin(), columns.end(), SearchColumn::kDuration) - columns.begin());
  emit w->Table_Results->horizontalHeader()->sectionClicked(duration);
  const int last = w->Table_Results->rowCount() - 1;
  EXPECT_LE(Cell(*w, 0, SearchColumn::kDuration).toDouble(),
            Cell(*w, last, SearchColumn::kDuration).toDouble());
  emit w->Table_Results->horizontalHeader()->sectionClicked(duration);
  EXPECT_EQ(Cell(*w, 0, SearchColumn::kDate), "2009-07-22");
  EXPECT_EQ(w->Table_Results->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

  emit w->Table_Results->cellDoubleClicked(0, 2);
  EXPECT_EQ(main.Model().Position(), w->Rows().front().position);
  EXPECT_TRUE(main.windowTitle().contains("2009")) << main.windowTitle().toStdString();

  // The criteria are remembered beside the settings file and come back on opening.
  const auto saved = ReadSearchCriteriaFile((dir_ / kSearchCriteriaFileName).string());
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->fromYear, 2001);
  EXPECT_EQ(saved->minDurationSeconds, 300);
  EXPECT_EQ(saved->typeMask, *TypeMaskFromKinds({"total", "central"}));
  w->SpinBox_From->setValue(1500);
  w->Open();
  EXPECT_EQ(w->SpinBox_From->value(), 2001);

  // "Save as" writes the rows as shown.
  EXPECT_TRUE(w->SaveAs());
  std::ifstream in(dir_ / "found.tsv");
  std::string header, first;
  std::getline(in, header);
  std::getline(in, first);
  EXPECT_EQ(header.rfind("pos\tdate\t", 0), 0u);
  EXPECT_NE(first.find("\t2009-07-22\t"), std::string::npos) << first;

  // The language switch re-captions the window and its table.
  main.LanguageCommand(Language::kGerman);
  EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Umbrivista \u2013 Finsternisse suchen"));
  EXPECT_EQ(w->Table_Results->horizontalHeaderItem(duration)->text(), "Dauer (s)");
  EXPECT_EQ(w->Button_Start->text(), "Starten");
  EXPECT_EQ(main.SearchEclipses->text(), QString::fromUtf8("Finsternisse suchen …"));
}

TEST_F(SearchWindowTest, DamagedCriteriaFileIsReportedWithFileLineAndField) {
  const std::string file = (dir_ / kSearchCriteriaFileName).string();
  std::ofstream(file) << "from=1900\nto=20x0\n";
  TForm_Main main(Options());
  main.SearchEclipses->trigger();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].contains(QString::fromStdString(file + ": line 2: field to")))
      << messages_[0].toStdString();
  // An unusable number in a box is refused before a search.
  TForm_Search* w = main.SearchWindow();
  w->Edit_MaxGamma->setText("zwei");
  w->Button_Start->click();
  WaitForSearch(*w);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_TRUE(messages_[1].contains("zwei"));
  EXPECT_TRUE(w->Rows().empty());
  // A country the places file does not know, and reversed years, are said in the window's
  // language.
  w->Edit_MaxGamma->clear();
  w->ComboBox_Place->setCurrentIndex(static_cast<int>(SearchPlaceMode::kCountry));
  w->ComboBox_Country->setCurrentText("Atlantis");
  w->Button_Start->click();
  WaitForSearch(*w);
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[2], QString::fromUtf8("Keine Orte dieses Landes in der Ortsdatei: Atlantis"));
  w->SpinBox_From->setValue(2100);
  w->SpinBox_To->setValue(2000);
  w->Button_Start->click();
  WaitForSearch(*w);
  ASSERT_EQ(messages_.size(), 4u);
  EXPECT_EQ(messages_[3], QString::fromUtf8("Das erste Jahr liegt nach dem letzten"));
}

}  // namespace
}  // namespace umbrivista
