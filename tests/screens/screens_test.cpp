// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows on one small screen (the offscreen platform's screen of this run: 1024 x
// 768 or 1280 x 800, with normal or large fonts): every window, frame included, within the free
// area; the main window's playback controls and the place-history window's controls shown whole.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

#include "city_hist_window.h"
#include "city_list_window.h"
#include "data_files.h"
#include "help_window.h"
#include "main_window.h"
#include "search_window.h"
#include "settings_record.h"
#include "widgets.h"

namespace umbrivista {
namespace {

std::string ScreenName() {
  return qEnvironmentVariable("UMBRIVISTA_SCREEN", "default").toStdString();
}

// The part of `w` not cut off by its parents, up to its window, in its own coordinates.
QRect UncutRect(const QWidget* w) {
  QRect r = w->rect();
  QPoint offset;
  for (const QWidget* child = w; !child->isWindow(); child = child->parentWidget()) {
    offset += child->pos();
    r &= child->parentWidget()->rect().translated(-offset);
  }
  return r;
}

void ExpectShownWhole(const QWidget* w) {
  ASSERT_TRUE(w);
  EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
  EXPECT_EQ(UncutRect(w), w->rect()) << w->objectName().toStdString() << " on " << ScreenName();
}

void ExpectFramesOnScreen(const char* when) {
  QCoreApplication::processEvents();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  int windows = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = w->windowType();
    if (!w->isVisible() || (type != Qt::Window && type != Qt::Dialog)) continue;
    ++windows;
    const QRect frame = w->frameGeometry();
    EXPECT_TRUE(area.contains(frame))
        << when << ": " << w->objectName().toStdString() << " frame " << frame.width() << "x"
        << frame.height() << "+" << frame.x() << "+" << frame.y() << " on " << area.width() << "x"
        << area.height() << " (" << ScreenName() << ")";
  }
  EXPECT_GT(windows, 0) << when;
}

TEST(ScreensTest, EveryWindowFitsAndShowsItsControlsWhole) {
  KeepWindowsOnScreen();
  MainWindowOptions options;
  options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
  options.dataDir = UMBRIVISTA_DATA_DIR;
  options.version = "0.1.0";
  // The first run's places: the main window of 1024 x 773 at (232, 169), the reports larger.
  options.settings = DefaultSettings(options.version);
  TForm_Main main(options);
  TForm_CityHist history;
  history.ApplySettings(options.settings);
  TForm_CityList list;
  list.ApplySettings(options.settings);
  main.AttachReportWindows(&history, &list);
  main.LanguageCommand(Language::kGerman);
  main.show();
  ExpectFramesOnScreen("main window");
  for (const QWidget* w : std::initializer_list<const QWidget*>{
           main.Button_FastReverse, main.Button_Reverse, main.Button_Stop, main.Button_Play,
           main.Button_FastPlay, main.Time_ScrollBar, main.Zoom_TrackBar, main.Edit_Time})
    ExpectShownWhole(w);
  // Its settings give back the frame it has.
  const SettingsRecord kept = main.CollectSettings();
  EXPECT_EQ(QRect(kept.mainLeft, kept.mainTop, kept.mainWidth, kept.mainHeight),
            main.frameGeometry());

  main.CityHist->trigger();
  main.Sichtbarkeit->trigger();
  ExpectFramesOnScreen("report windows");
  history.raise();
  for (const char* name : {"ComboBox_Land",
                           "ComboBox_Stadt",
                           "Button_Uebernehmen",
                           "Edit_Ort_Land",
                           "Edit_Ort_Stadt",
                           "Edit_Breite",
                           "RadioButton_Nord",
                           "RadioButton_Sued",
                           "Edit_Laenge",
                           "RadioButton_Ost",
                           "RadioButton_West",
                           "Edit_Hoehe",
                           "Edit_Einwohner",
                           "ComboBox_von",
                           "ComboBox_Bis",
                           "Button_Start_CityHist",
                           "Button_Beenden",
                           "Label1",
                           "Label2",
                           "Label3",
                           "Label4",
                           "Label6",
                           "Label7",
                           "Label8",
                           "Label9",
                           "Label10",
                           "Label11"})
    ExpectShownWhole(history.findChild<QWidget*>(name));
  // The list keeps a useful height under the controls.
  EXPECT_GE(history.RichEdit_CityHist->height(), 100) << ScreenName();
  for (const char* name : {"ComboBox_Population", "Button_Start_CityList", "Button_Beenden"})
    ExpectShownWhole(list.findChild<QWidget*>(name));

  main.SearchWindow()->Open();
  main.Hilfe2->trigger();
  ExpectFramesOnScreen("every window");
  for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
}

}  // namespace
}  // namespace umbrivista
