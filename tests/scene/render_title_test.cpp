// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-cli render --title: the title block under the globe in the PNG; SVG and PDF by the
// file's name, the PDF checked by rendering it where poppler's pdftoppm is installed.

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"
#include "scratch_dir.h"

namespace umbrivista {
namespace {

class RenderTitle : public ScratchDirTest {
 protected:
  RenderTitle() : ScratchDirTest("umbrivista_render_title") {}
  // 2024-04-08 near greatest eclipse, in UT, with the point of interest.
  std::string Render(const std::string& name, const std::string& options) {
    const std::string out = (dir_ / name).string();
    const Result r = RunCli("render 16690 0.3 --ut --width 400 --height 300 --poi 32.78,-96.8 " +
                            options + " --out " + out);
    EXPECT_EQ(r.status, 0) << options;
    return out;
  }
  static QByteArray Read(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

TEST_F(RenderTitle, ThePictureGrowsByTheBlockUnderTheSameGlobe) {
  const QImage plain(QString::fromStdString(Render("plain.png", "")));
  const QImage titled(QString::fromStdString(Render("titled.png", "--title")));
  ASSERT_EQ(plain.size(), QSize(400, 300));
  ASSERT_EQ(titled.width(), 400);
  ASSERT_GT(titled.height(), 300 + 40);
  EXPECT_EQ(titled.copy(0, 0, 400, 300).convertToFormat(QImage::Format_RGB32),
            plain.convertToFormat(QImage::Format_RGB32));
  // The block: white ground with dark letters.
  int white = 0, dark = 0;
  for (int y = 300; y < titled.height(); ++y)
    for (int x = 0; x < 400; ++x) {
      const QColor c = titled.pixelColor(x, y);
      white += c == Qt::white;
      dark += c.red() + c.green() + c.blue() < 150;
    }
  EXPECT_GT(white, 400 * (titled.height() - 300) / 2);
  EXPECT_GT(dark, 200);
}

TEST_F(RenderTitle, SvgAndPdfByTheName) {
  const QByteArray svg = Read(Render("globe.svg", "--title --lang fr"));
  EXPECT_TRUE(svg.contains("<image"));
  EXPECT_TRUE(svg.contains("Éclipse de soleil totale 2024-04-08"));
  const std::string pdfPath = Render("globe.pdf", "--title");
  EXPECT_TRUE(Read(pdfPath).startsWith("%PDF-"));
  if (RunShell("command -v pdftoppm >/dev/null 2>&1").status != 0) {
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  }
  const std::string page = (dir_ / "page").string();
  ASSERT_EQ(RunShell("pdftoppm -png -r 48 -f 1 -l 1 -singlefile " + pdfPath + " " + page).status,
            0);
  const QImage image(QString::fromStdString(page + ".png"));
  ASSERT_FALSE(image.isNull());
  // The page is as wide as the picture (400 pixels at 96 dpi: 200 at 48 dpi); the globe's black
  // surroundings above, the white block below.
  EXPECT_NEAR(image.width(), 200, 2);
  EXPECT_LT(image.pixelColor(2, 2).lightness(), 40);
  EXPECT_EQ(image.pixelColor(2, image.height() - 3), QColor(Qt::white));
}

}  // namespace
}  // namespace umbrivista
