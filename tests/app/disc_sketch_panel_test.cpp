// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The point of interest's disc sketch in the main window: shown with its circumstances, in the
// window's time scale and language, and hidden with them.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "disc_sketch_view.h"
#include "main_window.h"
#include "shipped_catalogue.h"

namespace umbrivista {
namespace {

TEST(DiscSketchPanel, FollowsThePointOfInterest) {
  MainWindowOptions options;
  options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
  options.dataDir = UMBRIVISTA_DATA_DIR;
  options.version = "0.1.0";
  options.settings.mainWidth = 1000;
  options.settings.mainHeight = 700;
  TForm_Main window(options);
  window.LanguageCommand(Language::kGerman);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.ScrollBar_Eclipse->setValue(16690);  // 2024-04-08
  window.CheckBox_ET_UT->setChecked(false);
  window.RadioButton_PoI_Nord->setChecked(true);
  window.RadioButton_PoI_West->setChecked(true);
  window.Edit_PoI_Breite->setText("32.78");
  window.Edit_PoI_Laenge->setText("96.8");  // Dallas: total

  TDiscSketchView* sketch = window.View_PoI_Sketch;
  const QLabel* label = window.Label_PoI_Circumstances;
  ASSERT_TRUE(label->isVisible());
  ASSERT_TRUE(sketch->isVisible());
  ASSERT_EQ(sketch->Sketch().frames.size(), 5u);
  ASSERT_EQ(sketch->Captions().size(), 5u);
  EXPECT_NE(sketch->Captions()[1].find(" TT\nHöhe "), std::string::npos) << sketch->Captions()[1];
  EXPECT_FALSE(sketch->geometry().intersects(label->geometry()));
  EXPECT_TRUE(window.Panel_Globus->rect().contains(sketch->geometry()));
  sketch->grab().save(QString::fromStdString(::testing::TempDir() + "/disc_sketch_panel.png"));

  window.CheckBox_ET_UT->setChecked(true);
  window.LanguageCommand(Language::kEnglish);
  EXPECT_NE(sketch->Captions()[1].find(" UT\nAlt. "), std::string::npos) << sketch->Captions()[1];

  // Where the eclipse does not reach, the label says so and there is nothing to draw.
  window.RadioButton_PoI_Sued->setChecked(true);
  window.Edit_PoI_Breite->setText("60");
  window.Edit_PoI_Laenge->setText("45");
  EXPECT_TRUE(label->isVisible());
  EXPECT_FALSE(sketch->isVisible());

  window.RadioButton_PoI_Nord->setChecked(true);
  window.Edit_PoI_Breite->setText("32.78");
  window.Edit_PoI_Laenge->setText("96.8");
  EXPECT_TRUE(sketch->isVisible());
  window.CheckBox_PoI->setChecked(false);
  EXPECT_FALSE(label->isVisible());
  EXPECT_FALSE(sketch->isVisible());
}

}  // namespace
}  // namespace umbrivista
