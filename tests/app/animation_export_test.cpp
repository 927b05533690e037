// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The animation export: the dialog's choices without widgets, then the dialog driven offscreen
// through to the file it writes, and a cancelled run.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "animation_export_dialog.h"
#include "catalogue.h"
#include "deltat.h"
#include "navigation.h"
#include "scratch_dir.h"
#include "session.h"
#include "settings_record.h"
#include "video_frames.h"
#include "widgets.h"

namespace umbrivista {
namespace {

namespace fs = std::filesystem;

class AnimationExportTest : public ScratchDirTest {
 protected:
  AnimationExportTest() : ScratchDirTest("animation_export") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    ASSERT_EQ(session_.LoadCatalogue(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName),
              "");
    session_.ApplySettings(DefaultSettings("0.1.0"));
    session_.Start();
    session_.SelectPosition(16690);
    session_.SetLanguage(Language::kEnglish);
  }
  void TearDown() override {
    SetSaveFileChooser(nullptr);
    ScratchDirTest::TearDown();
  }
  Session session_{"0.1.0"};
};

// 2024-04-08: T0 is 18:00 TT; the slider's range 14:30 … 21:30.
TEST_F(AnimationExportTest, TheChoicesComeToFramesOrSayWhatIsWrong) {
  AnimationExportModel model(session_.Record(), 0, Language::kEnglish);
  EXPECT_EQ(model.FromText(), "14:30:00");
  EXPECT_EQ(model.ToText(), "21:30:00");
  EXPECT_EQ(model.DefaultFileName(), "Umbrivista_2024-04-08.mp4");
  EXPECT_EQ(model.SummaryText(), "526 frames, 21.0 s of video");  // 48 s of eclipse a frame

  const std::string hint = "HH:MM or HH:MM:SS within the ±3.5 h";
  const struct {
    const char* from;
    const char* to;
    int speed;
    const char* summary;
  } cases[] = {
      {"18:00", "18:10", 3, "13 frames, 0.5 s of video"},
      {"14:30", "21:30", 1, "2101 frames, 84.0 s of video"},
      {"14:30", "21:30", 0, "More than 10000 frames: choose a higher speed or a shorter time"},
      {"18:10", "18:00", 3, "The start must come before the end"},
      {"18:00", "18:00", 3, "The start must come before the end"},
      {"25:00", "18:00", 3, hint.c_str()},
      {"12:00", "18:00", 3, hint.c_str()},
      {"18:00", "noon", 3, hint.c_str()},
  };
  for (const auto& c : cases) {
    AnimationExportModel m(session_.Record(), 0, Language::kEnglish);
    m.SetFromText(c.from);
    m.SetToText(c.to);
    m.SetSpeedIndex(c.speed);
    EXPECT_EQ(m.SummaryText(), c.summary) << c.from << " " << c.to << " " << c.speed;
    EXPECT_EQ(m.Problem().empty(), std::string(c.summary).find("frames,") != std::string::npos);
  }

  // In UT the typed times are ΔT earlier than the same TT clock: 18:00 UT lies ΔT after T0.
  const double deltaT = DeltaT(2024, 4);
  AnimationExportModel ut(session_.Record(), deltaT, Language::kGerman);
  ASSERT_TRUE(ut.SetFromText("18:00"));
  EXPECT_NEAR(ut.Range().fromHours * 3600, deltaT, 1.0);
  EXPECT_EQ(ut.FromText(), "18:00:00");
  EXPECT_EQ(AnimationExportModel(session_.Record(), 0, Language::kFrench).SummaryText(),
            "526 images, 21.0 s de vidéo");
}

// The dialog driven as a user would, the frames written to the chosen file; a second run
// cancelled in its progress dialog leaves the old file of that name as it was.
TEST_F(AnimationExportTest, TheDialogWritesTheChosenRangeAndCancelKeepsTheOldFile) {
  std::string offered;
  std::string chosen = (dir_ / "globe.gif").string();
  SetSaveFileChooser([&](QWidget*, const QString& path) {
    offered = path.toStdString();
    return chosen;
  });
  QString summary;
  auto fillDialog = [&] {
    auto* dialog = qobject_cast<TAnimationExportDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(dialog);
    Find<QComboBox>(dialog, "ComboBox_Size")->setCurrentIndex(0);  // 480 × 480
    Find<QLineEdit>(dialog, "Edit_From")->setText("18:00");
    Find<QLineEdit>(dialog, "Edit_To")->setText("18:10");
    summary = Find<QLabel>(dialog, "Label_Summary")->text();
    Find<QDialogButtonBox>(dialog, "Buttons")->button(QDialogButtonBox::Ok)->click();
  };
  const std::string texture = std::string(UMBRIVISTA_DATA_DIR) + "/BlueMarble_5.4x2.7k.jpg";
  QTimer::singleShot(0, fillDialog);
  EXPECT_EQ(ExportAnimation(nullptr, session_, texture), chosen);
  EXPECT_EQ(summary, "13 frames, 0.5 s of video");
  EXPECT_EQ(fs::path(offered).filename(), "Umbrivista_2024-04-08.mp4");
  const DecodedVideo video = DecodeVideo(chosen);
  EXPECT_EQ(video.error, "");
  EXPECT_EQ(video.frames, 13);
  EXPECT_EQ(video.width, 480);
  EXPECT_EQ(video.height, 480);

  chosen = (dir_ / "old.mp4").string();
  std::ofstream(chosen, std::ios::binary) << "old contents";
  QTimer canceller;
  int cancelledAt = -1;
  QObject::connect(&canceller, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(w);
      if (progress && progress->isVisible() && progress->value() >= 2) {
        cancelledAt = progress->value();
        progress->cancel();
        canceller.stop();
      }
    }
  });
  canceller.start(0);
  QTimer::singleShot(0, fillDialog);
  EXPECT_EQ(ExportAnimation(nullptr, session_, texture), "");
  EXPECT_GE(cancelledAt, 2);
  EXPECT_LT(cancelledAt, 13);
  std::ifstream in(chosen, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old contents");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace umbrivista
