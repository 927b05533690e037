// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe with its title block: as a taller picture, an SVG and a PDF, and the file kinds by
// name.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>

#include <string>

#include "globe_picture_options.h"
#include "picture_sheet.h"
#include "title_block.h"

namespace umbrivista {
namespace {

TitleBlock FullBlock(bool backView) {
  TitleBlock block;
  block.title = "Total solar eclipse 2024-04-08";
  block.instant = "2024-04-08  18:17:16 UT (\u0394T 69.2 s)";
  block.backView = backView;
  for (LegendKind kind :
       {LegendKind::kCentreLine, LegendKind::kCentralLimits, LegendKind::kOuterLimits,
        LegendKind::kMagnitudeCircles, LegendKind::kUmbra, LegendKind::kAxisTrack,
        LegendKind::kEcliptic, LegendKind::kPointOfInterest, LegendKind::kCapitals}) {
    block.legend.push_back({kind, "Limits of the partial eclipse, sunrise/sunset curves"});
  }
  return block;
}

// Pixels of the rows [top, bottom) that satisfy `test`.
template <typename Test>
int Count(const QImage& image, int top, int bottom, Test test) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) n += test(image.pixelColor(x, y));
  return n;
}

bool Yellow(const QColor& c) {
  return c.red() > 200 && c.green() > 200 && c.blue() < 60;
}
bool Red(const QColor& c) {
  return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
bool Dark(const QColor& c) {
  return c.red() + c.green() + c.blue() < 150;
}

TEST(PictureFormat, ByTheNamesEndingInAnyCase) {
  const std::pair<const char*, PictureFormat> cases[] = {
      {"a.png", PictureFormat::kPng},     {"a.SVG", PictureFormat::kSvg},
      {"b/c.Pdf", PictureFormat::kPdf},   {"pdf", PictureFormat::kPng},
      {"a.svg.png", PictureFormat::kPng}, {"", PictureFormat::kPng},
  };
  for (const auto& [name, format] : cases) EXPECT_EQ(PictureFormatForPath(name), format) << name;
}

TEST(GlobeSheet, TheBlockGoesUnderTheUntouchedGlobeAndFitsItsWidth) {
  for (int width : {180, 800, 2400}) {
    SCOPED_TRACE(width);
    QImage globe(width, width / 2, QImage::Format_RGB32);
    globe.fill(QColor(10, 20, 30));
    const TitleBlock block = FullBlock(false);
    const QImage sheet = GlobeWithTitleBlock(globe, &block);
    ASSERT_EQ(sheet.width(), width);
    ASSERT_GT(sheet.height(), globe.height());
    EXPECT_EQ(sheet.copy(0, 0, width, globe.height()), globe);
    const int top = globe.height(), bottom = sheet.height();
    // Text, the yellow centre line and limits, the red circles, track and point.
    EXPECT_GT(Count(sheet, top, bottom, Dark), width / 4);
    EXPECT_GT(Count(sheet, top, bottom, Yellow), 4);
    EXPECT_GT(Count(sheet, top, bottom, Red), 4);
    // Nothing reaches the right edge: long texts are cut short.
    int edge = 0;
    for (int y = top; y < bottom; ++y) edge += sheet.pixelColor(width - 1, y) != Qt::white;
    EXPECT_EQ(edge, 0);
    // The letters grow with the width, the block stays a small part of a wide picture.
    EXPECT_LT(sheet.height() - globe.height(), width < 400 ? 3 * width : width / 2);
  }
  // In the back view the centre line and limits take the night colours.
  QImage globe(600, 300, QImage::Format_RGB32);
  globe.fill(Qt::black);
  const TitleBlock night = FullBlock(true);
  const QImage sheet = GlobeWithTitleBlock(globe, &night);
  EXPECT_EQ(Count(sheet, globe.height(), sheet.height(), Yellow), 0);
  // Without a block the globe stays as it is.
  EXPECT_EQ(GlobeWithTitleBlock(globe, nullptr), globe);
}

TEST(GlobeSheet, SvgAndPdfHoldTheGlobeAndTheTitleAsText) {
  QImage globe(320, 240, QImage::Format_RGB32);
  globe.fill(QColor(0, 0, 128));
  const TitleBlock block = FullBlock(false);
  const QByteArray svg = EncodeGlobeSheet(PictureFormat::kSvg, globe, &block);
  EXPECT_TRUE(svg.contains("<image")) << svg.left(400).toStdString();
  EXPECT_TRUE(svg.contains("Total solar eclipse 2024-04-08"));
  const QByteArray pdf = EncodeGlobeSheet(PictureFormat::kPdf, globe, &block);
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_TRUE(pdf.contains("/Image"));
  const QByteArray png = EncodeGlobeSheet(PictureFormat::kPng, globe, nullptr);
  EXPECT_EQ(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32), globe);
  EXPECT_THROW(EncodeGlobeSheet(PictureFormat::kPdf, QImage(), &block), std::runtime_error);
}

}  // namespace
}  // namespace umbrivista
