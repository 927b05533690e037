// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_sheet.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "gattributes.h"
#include "gunits.h"
#include "layers.h"
#include "overlay.h"

namespace umbrivista {

namespace {

constexpr const char* kFontFamily = "Liberation Sans";
// The tile under each swatch: a dark grey, so that black, dark red and white marks all show.
const QColor kTileColor(0x30, 0x36, 0x3c);
// Zlib's fastest level: about three times as fast as the default for a globe picture, the file
// about a sixth larger.
constexpr int kPngQuality = 80;
constexpr double kScreenDpi = 96;
constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFont BlockFont(double pixels, bool bold) {
  QFont font(QString::fromLatin1(kFontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  font.setBold(bold);
  return font;
}

// Where everything of the block goes, for a width and a device.
struct BlockLayout {
  double unit = 0;  // the instant's letter size, device units
  double pad = 0;
  QFont titleFont, textFont, legendFont;
  double titleHeight = 0, textHeight = 0, rowHeight = 0;
  double swatchWidth = 0, swatchHeight = 0, swatchGap = 0, itemGap = 0;
  // Legend items in reading order, each with its row and its left edge from the inner left.
  struct Item {
    int row = 0;
    double left = 0;
    QString text;  // elided when the row is too narrow for it
  };
  std::vector<Item> items;
  int rows = 0;
  double height = 0;
};

BlockLayout LayOut(const TitleBlock& block, double width, const QPaintDevice* device) {
  BlockLayout l;
  const double dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : kScreenDpi;
  l.unit = std::max(width / 48, 10 * dpi / kScreenDpi);
  l.pad = 0.6 * l.unit;
  l.titleFont = BlockFont(1.3 * l.unit, true);
  l.textFont = BlockFont(l.unit, false);
  l.legendFont = BlockFont(0.85 * l.unit, false);
  const QFontMetricsF title(l.titleFont, device), text(l.textFont, device),
      legend(l.legendFont, device);
  // The title and the instant wrap at spaces where the picture is too narrow for them.
  const double inner = std::max(1.0, width - 2 * l.pad);
  auto wrappedHeight = [inner](const QFontMetricsF& metrics, const std::string& line) {
    return metrics.boundingRect(QRectF(0, 0, inner, 1e6), kWrap, QString::fromStdString(line))
        .height();
  };
  l.titleHeight = std::max(title.height(), wrappedHeight(title, block.title));
  l.textHeight = std::max(text.height(), wrappedHeight(text, block.instant));
  l.rowHeight = std::max(legend.height(), 0.9 * l.unit) * 1.25;
  l.swatchWidth = 2.4 * l.unit;
  l.swatchHeight = 0.9 * l.unit;
  l.swatchGap = 0.4 * l.unit;
  l.itemGap = 1.2 * l.unit;

  // The legend flows like words in lines.
  double x = 0;
  int row = 0;
  for (const LegendEntry& entry : block.legend) {
    QString label = QString::fromStdString(entry.text);
    const double room = inner - l.swatchWidth - l.swatchGap;
    if (legend.horizontalAdvance(label) > room) {
      label = legend.elidedText(label, Qt::ElideRight, std::max(0.0, room));
    }
    const double itemWidth = l.swatchWidth + l.swatchGap + legend.horizontalAdvance(label);
    if (x > 0 && x + itemWidth > inner) {
      ++row;
      x = 0;
    }
    l.items.push_back({row, x, label});
    x += itemWidth + l.itemGap;
  }
  l.rows = block.legend.empty() ? 0 : row + 1;
  l.height = 2 * l.pad + l.titleHeight + l.textHeight +
             (l.rows > 0 ? 0.4 * l.unit + l.rows * l.rowHeight : 0);
  return l;
}

QPen SwatchPen(TColor color, double width, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(ToQColor(color));
  pen.setWidthF(width);
  pen.setStyle(style);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

void PaintDot(QPainter& painter, QPointF centre, double diameter, TColor fill, double rim) {
  painter.setPen(SwatchPen(clWhite, rim));
  painter.setBrush(ToQColor(fill));
  painter.drawEllipse(centre, diameter / 2, diameter / 2);
}

// One swatch in `tile`; `scale` turns the globe's screen pixels into device units.
void PaintSwatch(QPainter& painter, const QRectF& tile, LegendKind kind, bool backView,
                 double scale) {
  painter.fillRect(tile, kTileColor);
  const QPointF mid = tile.center();
  const QLineF across(tile.left() + 0.15 * tile.width(), mid.y(),
                      tile.right() - 0.15 * tile.width(), mid.y());
  painter.setBrush(Qt::NoBrush);
  switch (kind) {
    case LegendKind::kCentreLine:
      painter.setPen(SwatchPen(backView ? kNightCentreLine : clYellow, kCentreLinePixels * scale));
      painter.drawLine(across);
      break;
    case LegendKind::kCentralLimits:
      painter.setPen(
          SwatchPen(backView ? kNightUmbralLimit : clYellow, kUmbralLimitPixels * scale));
      painter.drawLine(across.translated(0, -0.2 * tile.height()));
      painter.drawLine(across.translated(0, 0.2 * tile.height()));
      break;
    case LegendKind::kOuterLimits:
      painter.setPen(SwatchPen(kOuterLimit, scale, Qt::DashLine));
      painter.drawLine(across);
      break;
    case LegendKind::kMagnitudeCircles: {
      painter.setPen(SwatchPen(clRed, scale));
      const double r = 0.42 * tile.height();
      for (double f : {0.4, 1.0}) painter.drawEllipse(mid, f * r, f * r);
      break;
    }
    case LegendKind::kUmbra:
      painter.setPen(SwatchPen(kUmbraColor, scale));
      painter.setBrush(ToQColor(kUmbraColor));
      painter.drawEllipse(mid, 0.3 * tile.height(), 0.3 * tile.height());
      break;
    case LegendKind::kAxisTrack:
      painter.setPen(SwatchPen(clRed, scale));
      painter.drawLine(across);
      painter.drawLine(QLineF(mid.x(), tile.top() + 0.2 * tile.height(), mid.x(),
                              tile.bottom() - 0.2 * tile.height()));
      break;
    case LegendKind::kEcliptic:
      painter.setPen(SwatchPen(clWhite, 2 * scale));
      painter.drawLine(across);
      break;
    case LegendKind::kPointOfInterest:
    case LegendKind::kListPoints:
      PaintDot(painter, mid, kPoIPixels * scale, kPoIColor, scale);
      break;
    case LegendKind::kCapitals:
      PaintDot(painter, mid, std::max(kCapitalPixels * scale, 0.35 * tile.height()), clBlack,
               scale);
      break;
  }
}

}  // namespace

double TitleBlockHeight(const TitleBlock& block, double width, const QPaintDevice* device) {
  return LayOut(block, width, device).height;
}

void PaintTitleBlock(QPainter& painter, const QRectF& area, const TitleBlock& block) {
  const BlockLayout l = LayOut(block, area.width(), painter.device());
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setClipRect(area);
  painter.fillRect(area, Qt::white);
  const double left = area.left() + l.pad;
  double top = area.top() + l.pad;
  painter.setPen(Qt::black);
  const double inner = area.width() - 2 * l.pad;
  painter.setFont(l.titleFont);
  painter.drawText(QRectF(left, top, inner, l.titleHeight), kWrap,
                   QString::fromStdString(block.title));
  top += l.titleHeight;
  painter.setFont(l.textFont);
  painter.drawText(QRectF(left, top, inner, l.textHeight), kWrap,
                   QString::fromStdString(block.instant));
  top += l.textHeight + 0.4 * l.unit;

  // The globe's lines are one to three screen pixels wide where an Earth radius is a few hundred
  // pixels; the swatches grow with the block.
  const double scale = std::max(1.0, l.unit / 14);
  const QFontMetricsF legend(l.legendFont, painter.device());
  for (std::size_t i = 0; i < l.items.size(); ++i) {
    const BlockLayout::Item& item = l.items[i];
    const double rowTop = top + item.row * l.rowHeight;
    const QRectF tile(left + item.left, rowTop + (l.rowHeight - l.swatchHeight) / 2, l.swatchWidth,
                      l.swatchHeight);
    PaintSwatch(painter, tile, block.legend[i].kind, block.backView, scale);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(l.legendFont);
    const double baseline = rowTop + (l.rowHeight - legend.height()) / 2 + legend.ascent();
    painter.drawText(QPointF(tile.right() + l.swatchGap, baseline), item.text);
  }
  painter.restore();
}

QRectF PaintGlobeSheet(QPainter& painter, const QRectF& area, const QImage& globe,
                       const TitleBlock* block) {
  if (globe.isNull() || area.isEmpty()) return {};
  const double blockHeight = block ? TitleBlockHeight(*block, area.width(), painter.device()) : 0;
  const double room = std::max(0.0, area.height() - blockHeight);
  const double scale = std::min(area.width() / globe.width(), room / globe.height());
  const QRectF target(area.left() + (area.width() - globe.width() * scale) / 2, area.top(),
                      globe.width() * scale, globe.height() * scale);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(target, globe);
  painter.restore();
  if (block)
    PaintTitleBlock(painter, QRectF(area.left(), target.bottom(), area.width(), blockHeight),
                    *block);
  return target;
}

QImage GlobeWithTitleBlock(const QImage& globe, const TitleBlock* block) {
  if (!block || globe.isNull()) return globe;
  const int blockHeight =
      static_cast<int>(std::ceil(TitleBlockHeight(*block, globe.width(), &globe)));
  QImage sheet(globe.width(), globe.height() + blockHeight, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  painter.drawImage(0, 0, globe);
  PaintTitleBlock(painter, QRectF(0, globe.height(), globe.width(), blockHeight), *block);
  painter.end();
  return sheet;
}

QByteArray EncodeGlobeSheet(PictureFormat format, const QImage& globe, const TitleBlock* block) {
  if (globe.isNull()) throw std::runtime_error("there is no picture to write");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QString title = block ? QString::fromStdString(block->title) : QString();
  switch (format) {
    case PictureFormat::kPng: {
      const QImage sheet = GlobeWithTitleBlock(globe, block);
      if (!sheet.save(&buffer, "PNG", kPngQuality))
        throw std::runtime_error("cannot encode the picture as PNG");
      break;
    }
    case PictureFormat::kSvg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setResolution(static_cast<int>(kScreenDpi));
      const double blockHeight =
          block ? std::ceil(TitleBlockHeight(*block, globe.width(), &svg)) : 0;
      const QSize size(globe.width(), globe.height() + static_cast<int>(blockHeight));
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setTitle(title);
      svg.setDescription(QStringLiteral("Umbrivista"));
      QPainter painter;
      if (!painter.begin(&svg)) throw std::runtime_error("cannot write the picture as SVG");
      PaintGlobeSheet(painter, QRectF(QPointF(0, 0), QSizeF(size)), globe, block);
      painter.end();
      break;
    }
    case PictureFormat::kPdf: {
      QPdfWriter pdf(&buffer);
      pdf.setResolution(static_cast<int>(kScreenDpi));
      pdf.setCreator(QStringLiteral("Umbrivista"));
      pdf.setTitle(title);
      const double blockHeight =
          block ? std::ceil(TitleBlockHeight(*block, globe.width(), &pdf)) : 0;
      const QSizeF points(globe.width() * 72 / kScreenDpi,
                          (globe.height() + blockHeight) * 72 / kScreenDpi);
      pdf.setPageLayout(
          QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
      QPainter painter;
      if (!painter.begin(&pdf)) throw std::runtime_error("cannot write the picture as PDF");
      const QRectF page(0, 0, pdf.width(), pdf.height());
      PaintGlobeSheet(painter, page, globe, block);
      painter.end();
      break;
    }
  }
  return bytes;
}

}  // namespace umbrivista
