// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven through its controls offscreen: set a control, read what the window
// shows.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <optional>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>

#include "caption_apply.h"
#include "captions.h"
#include "city_hist_window.h"
#include "city_list_window.h"
#include "globeview.h"
#include "info_panel.h"
#include "layers.h"
#include "main_window.h"
#include "widgets.h"
#include "numbers.h"
#include "scratch_dir.h"
#include "settings_record.h"
#include "shipped_catalogue.h"
#include "up_down.h"

namespace umbrivista {
namespace {

MainWindowOptions ShippedOptions() {
  MainWindowOptions options;
  options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
  options.dataDir = UMBRIVISTA_DATA_DIR;
  options.version = "0.1.0";
  return options;
}

// The three windows as the program makes them, shown once for the whole suite.
class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetMessageSink([](QWidget*, const QString& text) { Messages().push_back(text); });
    main_ = new TForm_Main(ShippedOptions());
    history_ = new TForm_CityHist;
    list_ = new TForm_CityList;
    main_->AttachReportWindows(history_, list_);
    main_->LanguageCommand(Language::kGerman);
    main_->show();
  }
  static void TearDownTestSuite() {
    delete main_;
    delete history_;
    delete list_;
  }
  void SetUp() override {
    // Every test starts at the default eclipse, in German, TT, normal view, at T0.
    main_->LanguageCommand(Language::kGerman);
    main_->Opt_NormView->trigger();
    main_->CheckBox_ET_UT->setChecked(false);
    main_->ScrollBar_Eclipse->setValue(16690);
    main_->Time_ScrollBar->setValue(6300);
  }
  static std::vector<QString>& Messages() {
    static std::vector<QString> messages;
    return messages;
  }
  static void Enter(QLineEdit* box, const QString& text) {
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
  }
  static std::string Cell(int row, int column) {
    return main_->SG->item(row, column)->text().toStdString();
  }

  static TForm_Main* main_;
  static TForm_CityHist* history_;
  static TForm_CityList* list_;
};

TForm_Main* MainWindowTest::main_ = nullptr;
TForm_CityHist* MainWindowTest::history_ = nullptr;
TForm_CityList* MainWindowTest::list_ = nullptr;

TEST_F(MainWindowTest, StartsAtTheDefaultEclipse) {
  EXPECT_EQ(main_->CurrentPosition(), 16690);
  EXPECT_EQ(main_->Edit_Jahr->text(), "2024");
  EXPECT_EQ(main_->Saros_Edit->text(), "139");
  EXPECT_EQ(main_->GroupBox_Saros->title(), "Finsternis im Saros    (30. von 71)");
  EXPECT_EQ(main_->Label_DatumZeit->text(), "2024-04-08  18:00:00 TT");
  EXPECT_EQ(main_->SoFiTyp_Label->text(), "Totale Sonnenfinsternis");
  EXPECT_EQ(main_->windowTitle(),
            "Umbrivista 0.1.0 \u2013 Besselsche Elemente der Sonnenfinsternisse \u2013 "
            "2024-04-08  18:00:00 TT \u2013 Totale Sonnenfinsternis");
  EXPECT_TRUE(main_->Opt_Bessel->isChecked());
  EXPECT_FALSE(main_->Opt_Ekliptik->isEnabled());
  EXPECT_EQ(main_->ScrollBar_Eclipse->maximum(), ShippedCatalogue().RecordCount());
  EXPECT_EQ(main_->Layers()->ObjectCount(kCentreLineLayer), 1);
}

TEST_F(MainWindowTest, YearBox) {
  Enter(main_->Edit_Jahr, "1999");
  EXPECT_EQ(main_->CurrentPosition(), 16634);
  EXPECT_EQ(main_->Label_DatumZeit->text().left(10), "1999-02-16");
  // The eclipse change put the slider at the estimated maximum; Enter on the same year runs the
  // change again and puts it back.
  const int estimated = main_->Time_ScrollBar->value();
  main_->Time_ScrollBar->setValue(100);
  Enter(main_->Edit_Jahr, "1999");
  EXPECT_EQ(main_->Time_ScrollBar->value(), estimated);
  Enter(main_->Edit_Jahr, "8000");
  EXPECT_EQ(main_->Edit_Jahr->text(), "7000");
  EXPECT_EQ(main_->CurrentPosition(), 28499);
  Enter(main_->Edit_Jahr, "abc");
  EXPECT_EQ(main_->CurrentPosition(), 28499);
  EXPECT_EQ(main_->Edit_Jahr->text(), "abc");
  Enter(main_->Edit_Jahr, "-500");
  EXPECT_TRUE(main_->Label_DatumZeit->text().startsWith("-0500-")) << main_->Label_DatumZeit->text().toStdString();
}

// Dates in the year box, the year's list beside it and a typed time of day.
TEST_F(MainWindowTest, DatesYearListAndTimeBox) {
  main_->LanguageCommand(Language::kEnglish);
  EXPECT_FALSE(main_->Label_YearHint->isVisible());
  Enter(main_->Edit_Jahr, "2026-13");
  EXPECT_TRUE(main_->Label_YearHint->isVisible());
  EXPECT_EQ(main_->Label_YearHint->text(), "a year, YYYY-MM or YYYY-MM-DD");
  EXPECT_EQ(main_->CurrentPosition(), 16690);
  Enter(main_->Edit_Jahr, "2026-08-12");
  EXPECT_EQ(main_->CurrentPosition(), 16695);
  EXPECT_FALSE(main_->Label_YearHint->isVisible());
  EXPECT_EQ(main_->Edit_Jahr->text(), "2026-08-12");
  // The list holds the year's two eclipses, the shown one chosen; choosing the other shows it.
  QComboBox* list = main_->ComboBox_YearEclipses;
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->currentIndex(), 1);
  EXPECT_TRUE(list->itemText(0).startsWith("2026-02-17  ")) << list->itemText(0).toStdString();
  list->activated(0);
  EXPECT_EQ(main_->Label_DatumZeit->text().left(10), "2026-02-17");
  EXPECT_EQ(main_->Edit_Jahr->text(), "2026");
  // The annular eclipse of 2012-05-20, whose elements start at 0 h of the 21st, is found and
  // shown under its own date.
  Enter(main_->Edit_Jahr, "2012-05-20");
  EXPECT_EQ(main_->Label_DatumZeit->text().left(10), "2012-05-20");
  EXPECT_TRUE(list->currentText().startsWith("2012-05-20")) << list->currentText().toStdString();
  // A typed time moves the slider to the nearest instant of the shown scale (its steps are two
  // seconds of TT); one outside the range leaves it and says so.
  main_->CheckBox_ET_UT->setChecked(true);
  auto shownSeconds = [&] {
    const QStringList clock = main_->Edit_Time->text().split(':');
    return clock.size() == 3 ? clock[0].toInt() * 3600 + clock[1].toInt() * 60 + clock[2].toInt()
                             : -1;
  };
  Enter(main_->Edit_Time, "23:50:00");
  EXPECT_TRUE(main_->Label_DatumZeit->text().startsWith("2012-05-20  23:"))
      << main_->Label_DatumZeit->text().toStdString();
  EXPECT_TRUE(main_->Label_DatumZeit->text().contains(main_->Edit_Time->text()));
  EXPECT_NEAR(shownSeconds(), 23 * 3600 + 50 * 60, 1);
  EXPECT_FALSE(main_->Label_TimeHint->isVisible());
  const int slider = main_->Time_ScrollBar->value();
  Enter(main_->Edit_Time, "12:00");
  EXPECT_EQ(main_->Time_ScrollBar->value(), slider);
  EXPECT_TRUE(main_->Label_TimeHint->isVisible());
  main_->Time_ScrollBar->setValue(slider + 30);
  EXPECT_NEAR(shownSeconds(), 23 * 3600 + 51 * 60, 1);
}

TEST_F(MainWindowTest, SarosBox) {
  Enter(main_->Saros_Edit, "139");
  EXPECT_EQ(main_->CurrentPosition(), 15444);
  EXPECT_EQ(main_->Edit_Jahr->text(), "1501");
  Enter(main_->Saros_Edit, "500");
  EXPECT_EQ(main_->Saros_Edit->text(), "327");
  EXPECT_EQ(main_->CurrentPosition(), 28277);
  Enter(main_->Saros_Edit, "325");
  EXPECT_EQ(main_->CurrentPosition(), 28277);
  EXPECT_EQ(main_->Saros_Edit->text(), "327");
  Enter(main_->Saros_Edit, "x");
  EXPECT_EQ(main_->Saros_Edit->text(), "139");
  EXPECT_EQ(main_->CurrentPosition(), 15444);
}

TEST_F(MainWindowTest, SarosSteps) {
  main_->UpDown1->Next()->click();
  EXPECT_EQ(main_->CurrentPosition(), 16730);
  EXPECT_EQ(main_->Label_DatumZeit->text().left(10), "2042-04-20");
  main_->ScrollBar_Eclipse->setValue(16690);
  main_->UpDown1->Previous()->click();
  EXPECT_EQ(main_->CurrentPosition(), 16650);
  main_->ScrollBar_Eclipse->setValue(16690);
  main_->UpDown3->Next()->click();
  EXPECT_EQ(main_->CurrentPosition(), 16812);
  EXPECT_EQ(main_->Label_DatumZeit->text().left(10), "2078-05-11");
  main_->ScrollBar_Eclipse->setValue(16690);
  main_->UpDown3->Previous()->click();
  EXPECT_EQ(main_->CurrentPosition(), 16571);
  EXPECT_EQ(main_->Label_DatumZeit->text().left(10), "1970-03-07");
  main_->ScrollBar_Eclipse->setValue(18432);
  main_->UpDown1->Next()->click();
  EXPECT_EQ(main_->CurrentPosition(), 18432);
  EXPECT_EQ(main_->GroupBox_Saros->title(), "Finsternis im Saros    (71. von 71)");
}

TEST_F(MainWindowTest, TimeAndDeltaTCaptions) {
  main_->LanguageCommand(Language::kEnglish);
  EXPECT_EQ(main_->CheckBox_ET_UT->text(), "TT");
  main_->CheckBox_ET_UT->setChecked(true);
  EXPECT_EQ(main_->CheckBox_ET_UT->text(), "UT (DeltaT = 71.8 secs)");
  EXPECT_EQ(main_->Label_DatumZeit->text(), "2024-04-08  17:58:48 UT");
  Enter(main_->Edit_Jahr, "1899");
  EXPECT_EQ(main_->CheckBox_ET_UT->text(), "UT (DeltaT = -4 secs)");
  main_->CheckBox_ET_UT->setChecked(false);
  EXPECT_EQ(main_->CheckBox_ET_UT->text(), "TT");
  // One slider step is two seconds.
  main_->ScrollBar_Eclipse->setValue(16690);
  main_->Time_ScrollBar->setValue(6301);
  EXPECT_EQ(main_->Label_DatumZeit->text(), "2024-04-08  18:00:02 TT");
  EXPECT_EQ(Cell(0, 1), "0.0006");
}

// File → Export animation opens its dialog on the window's eclipse, time scale and language.
TEST_F(MainWindowTest, ExportAnimationStartsFromTheWindowsState) {
  main_->CheckBox_ET_UT->setChecked(true);
  QString title, from;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_TRUE(dialog);
    title = dialog->windowTitle();
    from = Find<QLineEdit>(dialog, "Edit_From")->text();
    static_cast<QDialog*>(dialog)->reject();
  });
  main_->findChild<QAction*>("Action_ExportAnimation")->trigger();
  EXPECT_EQ(title, "Animation exportieren");
  EXPECT_EQ(from, "14:28:48");  // 14:30 TT less ΔT 71.8 s
}

TEST_F(MainWindowTest, EachControlChangeWorksTheInstantOutOnce) {
  const struct {
    const char* what;
    std::function<void()> act;
  } actions[] = {
      {"scroll bar", [] { main_->ScrollBar_Eclipse->setValue(16691); }},
      {"year box", [] { Enter(main_->Edit_Jahr, "1999"); }},
      {"Saros step", [] { main_->UpDown1->Next()->click(); }},
      {"time slider", [] { main_->Time_ScrollBar->setValue(7000); }},
      {"UT", [] { main_->CheckBox_ET_UT->setChecked(true); }},
      {"back view", [] { main_->Opt_BackView->trigger(); }},
  };
  for (const auto& a : actions) {
    const int before = main_->Model().InstantComputations();
    a.act();
    EXPECT_EQ(main_->Model().InstantComputations() - before, 1) << a.what;
  }
  // The slider shows the session's instant; the window reads no control back.
  EXPECT_EQ(main_->Time_ScrollBar->value(), main_->Model().TimePosition());
  const int before = main_->Model().InstantComputations();
  main_->LanguageCommand(Language::kFrench);
  EXPECT_EQ(main_->Model().InstantComputations(), before);
}

TEST_F(MainWindowTest, GridShowsTheRowsWithTheirAlignment) {
  main_->Time_ScrollBar->setValue(6300);
  const InfoRows& rows = main_->Rows();
  for (int row = 0; row < kInfoRowCount; ++row) {
    EXPECT_EQ(Cell(row, 0), rows[row].label) << row;
    EXPECT_EQ(Cell(row, 1), rows[row].value) << row;
    EXPECT_EQ(Cell(row, 2), rows[row].unit) << row;
    EXPECT_TRUE(main_->SG->item(row, 1)->textAlignment() & Qt::AlignRight);
    EXPECT_TRUE(main_->SG->item(row, 0)->textAlignment() & Qt::AlignLeft);
    EXPECT_TRUE(main_->SG->item(row, 2)->textAlignment() & Qt::AlignLeft);
  }
  EXPECT_EQ(Cell(13, 1), "Totale");
  EXPECT_EQ(Cell(15, 1), "19.980");
  main_->Opt_BackView->trigger();
  EXPECT_TRUE(main_->BackView());
  EXPECT_EQ(Cell(13, 1), "Anti");
  EXPECT_EQ(main_->CheckBox_SSP->text(), "Anti-Subsolarer Punkt");
  main_->Opt_NormView->trigger();
  EXPECT_EQ(main_->CheckBox_SSP->text(), "Subsolarer Punkt");
  main_->Time_ScrollBar->setValue(0);
  EXPECT_EQ(Cell(10, 1), "0.0000");
  for (int row = 13; row <= 20; ++row) EXPECT_EQ(Cell(row, 1), "") << row;
}

// The window of a caption-set row.
QWidget* WindowOf(CaptionWindow which, QWidget* main, QWidget* history, QWidget* list) {
  return which == CaptionWindow::kMain ? main
         : which == CaptionWindow::kPlaceHistory ? history
                                                   : list;
}

TEST_F(MainWindowTest, LanguageCommandRelabelsAllThreeWindowsAndHidesTheReports) {
  main_->ComboBox_GradNetz->setCurrentIndex(4);
  list_->ComboBox_Population->setCurrentIndex(3);
  for (Language language : {Language::kEnglish, Language::kFrench, Language::kGerman}) {
    SCOPED_TRACE(LanguageIndex(language));
    main_->Sichtbarkeit->trigger();
    main_->CityHist->trigger();
    EXPECT_TRUE(list_->isVisible());
    EXPECT_TRUE(history_->isVisible());
    main_->LanguageCommand(language);
    EXPECT_FALSE(list_->isVisible());
    EXPECT_FALSE(history_->isVisible());
    EXPECT_TRUE(history_->CancelRequested());
    for (const CaptionText& row : CaptionSet()) {
      QWidget* window = WindowOf(row.window, main_, history_, list_);
      const auto found = window->findChildren<QObject*>(QString::fromLatin1(row.component));
      ASSERT_EQ(found.size(), 1) << row.component;
      EXPECT_EQ(ShownCaption(found.front()).toStdString(), CaptionFor(row, language))
          << row.component;
    }
    EXPECT_EQ(main_->ComboBox_GradNetz->currentIndex(), 4);
    EXPECT_EQ(main_->ComboBox_GradNetz->currentText().toStdString(),
              GridListItems(language)[4]);
    EXPECT_EQ(list_->ComboBox_Population->currentIndex(), 3);
    EXPECT_EQ(list_->ComboBox_Population->currentText().toStdString(),
              PopulationListItems(language)[3]);
    EXPECT_EQ(main_->CheckBox_SSP->text().toStdString(), SubSolarCheckBoxCaption(false, language));
    // Every row label of the information grid is shown whole.
    for (int row = 0; row < main_->SG->rowCount(); ++row) {
      const QTableWidgetItem* item = main_->SG->item(row, 0);
      if (!item) continue;
      const QFont font = item->data(Qt::FontRole).isValid() ? item->font() : main_->SG->font();
      EXPECT_LE(QFontMetrics(font).horizontalAdvance(item->text()) + 4, main_->SG->columnWidth(0))
          << item->text().toStdString();
    }
    for (int i = 0; i < kTextureListCount; ++i)
      EXPECT_EQ(main_->ComboBox_Globus->itemText(i).toStdString(), TextureListItems(language)[i]);
    EXPECT_TRUE((language == Language::kGerman    ? main_->Opt_Deutsch
                 : language == Language::kEnglish ? main_->Opt_English
                                                  : main_->Opt_Francais)
                    ->isChecked());
  }
  EXPECT_EQ(main_->findChild<QAction*>("Hilfe2")->text(), "Umbrivista &Hilfe");
  main_->LanguageCommand(Language::kFrench);
  EXPECT_TRUE(main_->findChild<QAction*>("Hilfe2")->text().endsWith(' '));
  EXPECT_TRUE(main_->findChild<QAction*>("Version1")->text().endsWith(' '));
  EXPECT_EQ(main_->SoFiTyp_Label->text(), "Éclipse de soleil totale");
  EXPECT_EQ(main_->Time_ScrollBar->toolTip(), "R\u00e9glage du temps (-3.5 h \u00e0 +3.5 h)");
  // The grid counts the Sun's azimuth from the south, unlike the point's panel.
  EXPECT_TRUE(main_->SG->toolTip().contains("depuis le sud")) << main_->SG->toolTip().toStdString();
}

TEST_F(MainWindowTest, QtsOwnButtonsFollowTheLanguage) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFileInfo::exists(folder + "/qtbase_de.qm") || !QFileInfo::exists(folder + "/qtbase_fr.qm"))
    GTEST_SKIP() << "Qt's translations are not installed";
  const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  main_->LanguageCommand(Language::kGerman);
  EXPECT_EQ(yes(), "&Ja");
  main_->LanguageCommand(Language::kFrench);
  EXPECT_EQ(yes(), "&Oui");
  main_->LanguageCommand(Language::kEnglish);
  EXPECT_EQ(yes(), "&Yes");
  main_->LanguageCommand(Language::kGerman);
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), "Datei&name:");
}

TEST_F(MainWindowTest, SarosCaptionFollowsTheLanguage) {
  main_->LanguageCommand(Language::kEnglish);
  EXPECT_EQ(main_->GroupBox_Saros->title(), "Eclipse in Saros    (30. of 71)");
  main_->LanguageCommand(Language::kFrench);
  EXPECT_EQ(main_->GroupBox_Saros->title(), "Éclipse dans Saros (30. de 71)");
}

TEST_F(MainWindowTest, ShortcutsMoveTheGlobeExceptWhereATextBoxUsesTheKey) {
  TGProjector& projector = main_->Globe->Projector();
  const int x = projector.XOrigin(), y = projector.YOrigin();
  // Shortcuts reach the active window only.
  QApplication::setActiveWindow(main_);
  main_->ScrollBar_Eclipse->setFocus();
  QTest::keyClick(main_->ScrollBar_Eclipse, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(projector.XOrigin(), x + 50);
  QTest::keyClick(main_->ScrollBar_Eclipse, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(projector.YOrigin(), y + 50);
  QTest::keyClick(main_->ScrollBar_Eclipse, Qt::Key_L, Qt::ControlModifier);
  QTest::keyClick(main_->ScrollBar_Eclipse, Qt::Key_U, Qt::ControlModifier);
  EXPECT_EQ(projector.XOrigin(), x);
  EXPECT_EQ(projector.YOrigin(), y);
  // Ctrl+C copies in the year box and leaves the globe where it is.
  main_->Edit_Jahr->setFocus();
  QTest::keyClick(main_->Edit_Jahr, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(projector.XOrigin(), x);
  QTest::keyClick(main_->ScrollBar_Eclipse, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(projector.XOrigin(), main_->Globe->width() / 2);
  EXPECT_EQ(projector.YOrigin(), main_->Globe->height() / 2);
}

TEST(MainWindowPlace, TheWindowIsPutOnAndFittedToTheScreen) {
  MainWindowOptions options = ShippedOptions();
  options.settings.mainLeft = 40000;
  options.settings.mainTop = -30000;
  TForm_Main window(options);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.intersects(window.geometry()));
  EXPECT_TRUE(screen.contains(window.geometry())) << "the default size does not fit the screen";
  // A place that fits stays where it was.
  options.settings.mainLeft = 20;
  options.settings.mainTop = 30;
  options.settings.mainWidth = 400;
  options.settings.mainHeight = 300;
  TForm_Main placed(options);
  EXPECT_EQ(placed.geometry(), QRect(20, 30, 400, 300));
  // One that hangs over the bottom right edge is moved inside, one larger than the screen shrunk.
  options.settings.mainLeft = screen.right() - 100;
  options.settings.mainTop = screen.bottom() - 50;
  TForm_Main overhanging(options);
  EXPECT_TRUE(screen.contains(overhanging.geometry()));
  EXPECT_EQ(overhanging.geometry().size(), QSize(400, 300));
}

TEST(NumberLocale, NumbersKeepTheirPointUnderACommaLocale) {
  // What constructing the application does when the user's locale is German.
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale installed";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ(text, "1,5");  // the fault the program guards against
  UseDotDecimalNumbers();
  EXPECT_EQ(FormatMinSec(1, 247.3 / 3600), "  4:07.3");
  EXPECT_EQ(DeltaTCaption(true, 71.84, 2024, Language::kEnglish), "UT (DeltaT = 71.8 secs)");
  std::setlocale(LC_ALL, "C");
}

TEST(MainWindowClosing, RemovesTheScratchDatabase) {
  auto window = std::make_unique<TForm_Main>(ShippedOptions());
  window->show();
  const std::string path = window->ScratchDatabasePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(std::filesystem::exists(path));
  window->Exit1->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(window->ScratchDatabasePath(), "");
}

class DamagedCatalogueTest : public ScratchDirTest {
 protected:
  DamagedCatalogueTest() : ScratchDirTest("app_catalogue") {}
};

class ProgramRunTest : public ScratchDirTest {
 protected:
  ProgramRunTest() : ScratchDirTest("app_run") {}
};

// The program itself, started and ended after its first picture, leaves no scratch database in
// its temporary folder and makes its folders in the user's home.
TEST_F(ProgramRunTest, LeavesNoScratchDatabaseBehind) {
  const std::string command = "cd '" + dir_.string() + "' && HOME='" + dir_.string() +
                              "' TMPDIR='" + dir_.string() +
                              "' XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen '" + UMBRIVISTA_BIN_DIR +
                              "/umbrivista' --quit-after-first-paint > out.txt 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    EXPECT_NE(entry.path().filename().string().rfind("Temporary_", 0), 0u) << entry.path();
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "Documents" / "Umbrivista"));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / ".local" / "share" / "Umbrivista"));
}

// SIGTERM (a logout) closes the window as its Exit command does: the state is written back and
// the scratch database removed, and the program ends normally rather than killed.
TEST_F(ProgramRunTest, TerminationClosesTheWindowAndKeepsItsState) {
  const std::filesystem::path settings = dir_ / ".local/share/Umbrivista/Umbrivista.ini";
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::setenv("HOME", dir_.c_str(), 1);
    ::setenv("TMPDIR", dir_.c_str(), 1);
    ::setenv("XDG_DATA_HOME", "", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Its messages would mix with the test's output.
    if (!std::freopen("/dev/null", "w", stderr)) ::_exit(126);
    const std::string program = std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista";
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // A first run writes its fitted globe once the window is shown: then it listens for signals.
  const auto kept = [&settings]() -> std::optional<std::uintmax_t> {
    struct stat st {};
    std::ifstream in(settings, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.size() != kSettingsSize || DecodeSettings(bytes, {28504}).zoomPosition == 140 ||
        ::stat(settings.c_str(), &st) != 0)
      return std::nullopt;
    return st.st_ino;
  };
  std::optional<std::uintmax_t> inode;
  for (int i = 0; i < 600 && !inode; ++i) {
    QTest::qWait(50);
    inode = kept();
  }
  ASSERT_TRUE(inode.has_value()) << "the program did not come up";
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  // Written again at the close: a new file renamed into place.
  struct stat st {};
  ASSERT_EQ(::stat(settings.c_str(), &st), 0);
  EXPECT_NE(st.st_ino, *inode);
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string().rfind("Temporary_", 0), 0u) << entry.path();
}

TEST_F(DamagedCatalogueTest, WindowOpensSaysWhatIsWrongAndIgnoresTheControls) {
  const std::string file = (dir_ / "broken.bin").string();
  std::ofstream(file, std::ios::binary) << std::string(171, '\0');
  std::vector<QString> messages;
  SetMessageSink([&messages](QWidget*, const QString& text) { messages.push_back(text); });
  MainWindowOptions options = ShippedOptions();
  options.catalogueFile = file;
  TForm_Main window(options);
  window.show();
  QCoreApplication::processEvents();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains(QString::fromStdString(file))) << messages[0].toStdString();
  EXPECT_FALSE(window.CatalogueLoaded());
  window.Edit_Jahr->setText("1999");
  QTest::keyClick(window.Edit_Jahr, Qt::Key_Return);
  window.Saros_Edit->setText("139");
  QTest::keyClick(window.Saros_Edit, Qt::Key_Return);
  window.UpDown1->Next()->click();
  window.CheckBox_ET_UT->setChecked(true);
  window.Time_ScrollBar->setValue(10);
  EXPECT_EQ(window.CurrentPosition(), 0);
  EXPECT_EQ(window.Label_DatumZeit->text(), "");
  SetMessageSink(nullptr);
}

}  // namespace
}  // namespace umbrivista
