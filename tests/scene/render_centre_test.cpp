// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-cli render --centre: the globe, still seen along the shadow axis, moved so that the
// point lies at the picture's centre, where the point of interest's dot is then drawn.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"
#include "scratch_dir.h"

namespace umbrivista {
namespace {

class RenderCentre : public ScratchDirTest {
 protected:
  RenderCentre() : ScratchDirTest("umbrivista_render_centre") {}
  // The centre pixel of a picture of Madrid at sunset on 2026-08-12 (18:30 UT), with its dot.
  QColor CentreOf(const std::string& options) {
    const std::string out = (dir_ / "picture.png").string();
    const Result r = RunCli("render 16695 0.5 --ut --zoom 60 --no-overlay --poi 40.42,-3.70 " +
                            options + " --out " + out);
    EXPECT_EQ(r.status, 0);
    const QImage image(QString::fromStdString(out));
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
  }
};

TEST_F(RenderCentre, ThePointLiesAtThePicturesCentre) {
  const QColor moved = CentreOf("--centre 40.42,-3.70");
  // The point's magenta dot.
  EXPECT_GT(moved.red(), 200);
  EXPECT_GT(moved.blue(), 200);
  EXPECT_LT(moved.green(), 60);
  // Without --centre the globe's centre shows the sea off West Africa, not the dot.
  EXPECT_LT(CentreOf("").red(), 100);
  // A point on the night side cannot be brought to the centre, and nothing is written.
  const std::string out = (dir_ / "far.png").string();
  const Result far = RunCli("render 16695 0.5 --ut --centre -40,170 --out " + out, true);
  EXPECT_EQ(far.status, 1);
  EXPECT_NE(far.out.find("--centre -40,170 lies on the far side"), std::string::npos) << far.out;
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(RunCli("render 16695 0.5 --centre 91,0 --out " + out).status, 2);
}

}  // namespace
}  // namespace umbrivista
