// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's animation, speed choice, keys and the point panel's copy command, driven
// offscreen with a clock the test moves by hand.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "globeview.h"
#include "help_window.h"
#include "main_window.h"
#include "navigation.h"
#include "settings_record.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

MainWindowOptions SmallWindow() {
  MainWindowOptions options;
  options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
  options.dataDir = UMBRIVISTA_DATA_DIR;
  options.version = "0.1.0";
  options.settings.mainWidth = 640;
  options.settings.mainHeight = 480;
  return options;
}

class AnimationKeysTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    main_ = new TForm_Main(SmallWindow());
    main_->SetPlayClock([] { return now_; });
    main_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main_));
  }
  static void TearDownTestSuite() { delete main_; }
  void SetUp() override {
    main_->LanguageCommand(Language::kGerman);
    main_->Button_Stop->click();
    main_->ComboBox_PlaySpeed->setCurrentIndex(kDefaultPlaySpeedIndex);
    main_->Time_ScrollBar->setValue(kTimeSliderCentre);
    QApplication::setActiveWindow(main_);
  }
  // `ticks` ticks of the run's timer, `seconds` of the clock apart.
  static void Run(int ticks, double seconds) {
    for (int i = 0; i < ticks; ++i) {
      now_ += seconds;
      main_->PlayTick();
    }
  }
  static int Slider() { return main_->Time_ScrollBar->value(); }

  static TForm_Main* main_;
  static double now_;
};

TForm_Main* AnimationKeysTest::main_ = nullptr;
double AnimationKeysTest::now_ = 100;

TEST_F(AnimationKeysTest, TheSliderFollowsTheClockAtTheChosenSpeedWhateverTheTickRate) {
  // Two seconds of the clock in ticks of different lengths; a slider step is 2 s of eclipse time.
  const struct {
    int speed, ticks;
    double seconds;
    int steps;
  } runs[] = {{0, 2, 1.0, 1}, {1, 20, 0.1, 60}, {3, 2000, 0.001, 1200}};
  for (const auto& run : runs) {
    main_->Time_ScrollBar->setValue(3000);
    main_->ComboBox_PlaySpeed->setCurrentIndex(run.speed);
    main_->Button_Play->click();
    EXPECT_TRUE(main_->PlayTimer()->isActive());
    Run(run.ticks, run.seconds);
    EXPECT_NEAR(Slider(), 3000 + run.steps, 1) << run.speed;
    main_->Button_Stop->click();
    EXPECT_FALSE(main_->Playing());
    EXPECT_FALSE(main_->PlayTimer()->isActive());
  }
}

TEST_F(AnimationKeysTest, FastAndBackwardRunsEndAtTheEndsOfTheRange) {
  const struct {
    QToolButton* button;
    int from, after, end;  // slider positions: after one tick of half a second, and at the end
  } runs[] = {{main_->Button_FastPlay, 12000, 12450, kTimeSliderMax},  // ×1800: 450 steps
              {main_->Button_Reverse, 600, 525, 0},                    // ×300: 75 steps
              {main_->Button_FastReverse, 600, 150, 0}};
  for (const auto& run : runs) {
    main_->Time_ScrollBar->setValue(run.from);
    run.button->click();
    Run(1, 0.5);
    EXPECT_EQ(Slider(), run.after);
    Run(20, 1.0);
    EXPECT_EQ(Slider(), run.end);
    EXPECT_FALSE(main_->Playing());
    EXPECT_FALSE(main_->PlayTimer()->isActive());
  }
  // At the start a backward button starts nothing.
  main_->Button_Reverse->click();
  EXPECT_FALSE(main_->Playing());
}

TEST_F(AnimationKeysTest, StopAClickOnTheGlobeAndASecondButtonEndOrTurnARun) {
  main_->Button_Play->click();
  Run(1, 0.5);
  EXPECT_EQ(Slider(), kTimeSliderCentre + 75);
  main_->Button_Reverse->click();
  Run(1, 1.0);
  EXPECT_EQ(Slider(), kTimeSliderCentre - 75);
  main_->Button_Stop->click();
  Run(1, 1.0);
  EXPECT_EQ(Slider(), kTimeSliderCentre - 75);
  main_->Button_FastPlay->click();
  QTest::mouseClick(main_->Globe, Qt::LeftButton, {}, QPoint(40, 40));
  EXPECT_FALSE(main_->Playing());
  EXPECT_FALSE(main_->PlayTimer()->isActive());
}

TEST_F(AnimationKeysTest, KeysOnTheSliderAndTheGlobeButNotInTheTextBoxes) {
  main_->Button_Play->click();
  // The slider took the focus: Space pauses and resumes.
  EXPECT_EQ(QApplication::focusWidget(), main_->Time_ScrollBar);
  QTest::keyClick(main_->Time_ScrollBar, Qt::Key_Space);
  EXPECT_FALSE(main_->Playing());
  QTest::keyClick(main_->Time_ScrollBar, Qt::Key_Space);
  EXPECT_TRUE(main_->Playing());
  EXPECT_GT(main_->Model().PlayRate(), 0);
  QTest::keyClick(main_->Globe, Qt::Key_Space);
  EXPECT_FALSE(main_->Playing());
  const struct {
    QWidget* target;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int expected;
  } steps[] = {{main_->Time_ScrollBar, Qt::Key_Right, Qt::NoModifier, kTimeSliderCentre + 1},
               {main_->Time_ScrollBar, Qt::Key_Right, Qt::ShiftModifier, kTimeSliderCentre + 31},
               {main_->Globe, Qt::Key_Left, Qt::NoModifier, kTimeSliderCentre + 30},
               {main_->Globe, Qt::Key_Left, Qt::ShiftModifier, kTimeSliderCentre},
               {main_->Time_ScrollBar, Qt::Key_Home, Qt::NoModifier, 0},
               {main_->Time_ScrollBar, Qt::Key_Left, Qt::NoModifier, 0},
               {main_->Globe, Qt::Key_End, Qt::NoModifier, kTimeSliderMax},
               {main_->Globe, Qt::Key_Right, Qt::ShiftModifier, kTimeSliderMax}};
  for (const auto& step : steps) {
    step.target->setFocus();
    QTest::keyClick(step.target, step.key, step.modifiers);
    EXPECT_EQ(Slider(), step.expected) << step.key << " " << step.modifiers;
  }
  // In the year and point boxes the keys are text.
  main_->Time_ScrollBar->setValue(kTimeSliderCentre);
  for (QLineEdit* box : {main_->Edit_Jahr, main_->Edit_PoI_Breite}) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Space);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_FALSE(main_->Playing());
    EXPECT_EQ(Slider(), kTimeSliderCentre);
  }
  EXPECT_EQ(main_->Edit_Jahr->text(), "2024 ");
  EXPECT_EQ(main_->Edit_Jahr->cursorPosition(), 1);
  main_->Edit_Jahr->setText(QStringLiteral("2024"));
  // F1 opens the help from anywhere in the window.
  QTest::keyClick(main_->Edit_Jahr, Qt::Key_F1);
  ASSERT_NE(main_->HelpWindow(), nullptr);
  EXPECT_TRUE(main_->HelpWindow()->isVisible());
  main_->HelpWindow()->close();
}

TEST_F(AnimationKeysTest, TheSpeedChoiceFollowsTheLanguageFitsAndIsRemembered) {
  const char* first[] = {"×1 Echtzeit", "×1 real time", "×1 temps réel"};
  const char* copy[] = {"Kopieren", "Copy", "Copier"};
  QComboBox* speed = main_->ComboBox_PlaySpeed;
  for (Language language : kLanguages) {
    main_->LanguageCommand(language);
    EXPECT_EQ(speed->itemText(0), QString::fromUtf8(first[LanguageIndex(language)]));
    EXPECT_EQ(main_->Action_CopyPoI->text(), copy[LanguageIndex(language)]);
    EXPECT_FALSE(speed->toolTip().isEmpty());
    // Beside the buttons, clear of the zoom bar, each item whole.
    EXPECT_GT(speed->x(), main_->Button_FastPlay->geometry().right());
    EXPECT_LT(speed->geometry().right(), main_->Zoom_TrackBar->x());
    for (int i = 0; i < speed->count(); ++i)
      EXPECT_GE(speed->width(), speed->fontMetrics().horizontalAdvance(speed->itemText(i)));
  }
  speed->setCurrentIndex(1);
  const SettingsRecord saved =
      DecodeSettings(EncodeSettings(main_->CollectSettings()), SettingsLimits{1000000});
  EXPECT_EQ(saved.playSpeedIndex, 1);
  MainWindowOptions options = SmallWindow();
  options.settings = saved;
  TForm_Main again(options);
  EXPECT_EQ(again.ComboBox_PlaySpeed->currentIndex(), 1);
  EXPECT_EQ(again.Model().PlaySpeedIndex(), 1);
}

TEST_F(AnimationKeysTest, CopyPutsThePointsLinesOnTheClipboard) {
  main_->CheckBox_PoI->setChecked(true);
  QLabel* panel = main_->Label_PoI_Circumstances;
  ASSERT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->contextMenuPolicy(), Qt::ActionsContextMenu);
  ASSERT_TRUE(panel->actions().contains(main_->Action_CopyPoI));
  main_->Action_CopyPoI->trigger();
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_EQ(copied, panel->text() + "\n");
  EXPECT_EQ(copied.count('\n'), static_cast<qsizetype>(main_->Model().PoILines().size()));
  // Nothing to copy while the point is hidden: the clipboard keeps what it had.
  main_->CheckBox_PoI->setChecked(false);
  QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
  main_->Action_CopyPoI->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
}

}  // namespace
}  // namespace umbrivista
