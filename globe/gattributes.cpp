// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gattributes.h"

#include <QImage>
#include <algorithm>
#include <iterator>

namespace umbrivista {

QColor ToQColor(TColor c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QPen ToQPen(const TGPen& pen, int pixelWidth) {
  static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                             Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen,
                                             Qt::SolidLine};
  const Qt::PenStyle style = pen.Style() <= gpsInsideFrame ? kStyles[pen.Style()] : Qt::SolidLine;
  if (pixelWidth < 2) {
    QPen q(ToQColor(pen.Color()), 1, style);
    q.setCosmetic(true);
    return q;
  }
  return QPen(QBrush(ToQColor(pen.Color())), pixelWidth, style, Qt::RoundCap, Qt::RoundJoin);
}

namespace {

// The pictures of gbsPattern1 … gbsPattern50, in that order. No two are alike, not even when one
// is shifted against the other (as a brush origin would shift it).
constexpr std::uint8_t kPatterns[kBrushPatternCount][8] = {
    {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // dither 1/64
    {0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00},  // dither 2/64
    {0x88, 0x00, 0x00, 0x00, 0x88, 0x00, 0x00, 0x00},  // dither 4/64
    {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},  // dither 8/64
    {0xAA, 0x00, 0x22, 0x00, 0xAA, 0x00, 0x22, 0x00},  // dither 12/64
    {0xAA, 0x00, 0xAA, 0x00, 0xAA, 0x00, 0xAA, 0x00},  // dither 16/64
    {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},  // dither 32/64
    {0xEE, 0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55},  // dither 40/64
    {0xFF, 0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF, 0x55},  // dither 48/64
    {0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF, 0x77},  // dither 56/64
    {0xFF, 0xFF, 0xFF, 0xF7, 0xFF, 0xFF, 0xFF, 0x7F},  // dither 62/64
    {0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // horizontal 1 in 8
    {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // horizontal 1 in 4
    {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00},  // horizontal 1 in 2
    {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // horizontal 2 in 8
    {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal 4 in 8
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // vertical 1 in 8
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},  // vertical 1 in 4
    {0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0},  // vertical 2 in 8
    {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0},  // vertical 4 in 8
    {0x80, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40},  // forward diagonal every 8
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // backward diagonal every 8
    {0x88, 0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44},  // forward diagonal every 4
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11},  // backward diagonal every 4
    {0xE0, 0xC1, 0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70},  // wide forward diagonal
    {0xE0, 0x70, 0x38, 0x1C, 0x0E, 0x07, 0x83, 0xC1},  // wide backward diagonal
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // grid 8
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},  // grid 4
    {0x80, 0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41},  // diagonal grid 8
    {0x88, 0x55, 0x22, 0x55, 0x88, 0x55, 0x22, 0x55},  // diagonal grid 4
    {0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33},  // checker 2
    {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F},  // checker 4
    {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08},  // bricks
    {0xF8, 0x88, 0x88, 0x88, 0x8F, 0x88, 0x88, 0x88},  // vertical bricks
    {0x81, 0x42, 0x24, 0x18, 0x00, 0x00, 0x00, 0x00},  // zigzag
    {0xC1, 0x22, 0x1C, 0x00, 0xC1, 0x22, 0x1C, 0x00},  // waves
    {0x80, 0x20, 0x08, 0xF2, 0x08, 0x10, 0x20, 0xF0},  // weave
    {0x00, 0x20, 0x70, 0x20, 0x00, 0x00, 0x00, 0x00},  // plus signs
    {0x88, 0x50, 0x20, 0x50, 0x88, 0x00, 0x00, 0x00},  // crosses
    {0x18, 0x7E, 0x42, 0xC3, 0xC3, 0x42, 0x7E, 0x18},  // circles
    {0x00, 0x00, 0x3C, 0x3C, 0x3C, 0x3C, 0x00, 0x00},  // blocks
    {0xC0, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // small squares
    {0xFC, 0x84, 0x84, 0x84, 0x84, 0xFC, 0x00, 0x00},  // hollow squares
    {0x10, 0x10, 0x38, 0x38, 0x7C, 0x7C, 0xFE, 0x00},  // triangles
    {0x10, 0x28, 0x44, 0x82, 0x44, 0x28, 0x10, 0x00},  // diamonds
    {0x88, 0x55, 0x22, 0x00, 0x00, 0x00, 0x00, 0x00},  // scales
    {0x10, 0x10, 0x7C, 0x38, 0x28, 0x00, 0x00, 0x00},  // stars
    {0x00, 0xF0, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x00},  // dashes
    {0x40, 0x40, 0x40, 0x40, 0x04, 0x04, 0x04, 0x04},  // vertical dashes
    {0xEE, 0x44, 0xEE, 0x44, 0xEE, 0x44, 0xEE, 0x44},  // trellis
};

}  // namespace

std::array<std::uint8_t, 8> BrushPattern(int style) {
  std::array<std::uint8_t, 8> rows{};
  const int k = style - gbsPattern1;
  if (k < 0 || k >= kBrushPatternCount) return rows;
  std::copy(std::begin(kPatterns[k]), std::end(kPatterns[k]), rows.begin());
  return rows;
}

namespace {

// The brush of a pattern style: its 8 × 8 picture in the brush colour on the background colour,
// or on transparent pixels when the background is transparent.
QBrush PatternBrush(const TGBrush& brush) {
  const auto rows = BrushPattern(brush.Style());
  QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
  const QRgb on = ToQColor(brush.Color()).rgba();
  const QRgb off = brush.TransparentBackground() ? qRgba(0, 0, 0, 0)
                                                 : ToQColor(brush.BkColor()).rgba();
  for (int y = 0; y < 8; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < 8; ++x) line[x] = (rows[y] & (0x80 >> x)) ? on : off;
  }
  return QBrush(image);
}

}  // namespace

QBrush ToQBrush(const TGBrush& brush) {
  static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::FDiagPattern, Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
  switch (brush.Style()) {
    case gbsSolid:
      return QBrush(ToQColor(brush.Color()), Qt::SolidPattern);
    case gbsClear:
      return QBrush(Qt::NoBrush);
    default:
      if (brush.Style() < gbsPattern1)
        return QBrush(ToQColor(brush.Color()), kHatches[brush.Style() - gbsHorizontal]);
      if (brush.Style() >= gbsPattern1 + kBrushPatternCount) {
        // Not a style: drawn solid rather than not at all.
        return QBrush(ToQColor(brush.Color()), Qt::SolidPattern);
      }
      return PatternBrush(brush);
  }
}

const QPen& TGPen::DrawingObject(const TGRenderer* renderer, std::int32_t viewDistance,
                                 double scaleFactor) const {
  const std::int32_t width = PixelWidth(scaleFactor);
  if (!CacheFresh(renderer, viewDistance, unit_ != guPixel, width)) {
    object_ = ToQPen(*this, width);
    MarkCached(renderer, viewDistance, width);
  }
  return object_;
}

const QBrush& TGBrush::DrawingObject(const TGRenderer* renderer) const {
  if (!CacheFresh(renderer, 0, false, 0)) {
    object_ = ToQBrush(*this);
    MarkCached(renderer, 0, 0);
  }
  return object_;
}

const QFont& TGFont::DrawingObject(const TGRenderer* renderer, std::int32_t viewDistance,
                                   std::int32_t pixelHeight) const {
  if (!CacheFresh(renderer, viewDistance, unit_ != guPixel, pixelHeight)) {
    QFont f(QString::fromStdString(name_));
    f.setPixelSize(std::max(pixelHeight, 1));
    f.setWeight((style_ & gfsBold) ? QFont::Bold : QFont::Normal);
    f.setItalic(style_ & gfsItalic);
    f.setUnderline(style_ & gfsUnderline);
    f.setStrikeOut(style_ & gfsStrikeOut);
    object_ = f;
    metrics_.emplace(object_);
    MarkCached(renderer, viewDistance, pixelHeight);
  }
  return object_;
}

const QFontMetrics& TGFont::Metrics(const TGRenderer* renderer, std::int32_t viewDistance,
                                    std::int32_t pixelHeight) const {
  DrawingObject(renderer, viewDistance, pixelHeight);
  return *metrics_;
}

}  // namespace umbrivista
