// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc_sketch_paint.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace umbrivista {

namespace {

constexpr const char* kFontFamily = "Liberation Sans";
constexpr int kMinFontPixels = 7;
constexpr int kMaxFontPixels = 16;

// The frame shows this many solar radii either side of the Sun's centre at most: a Moon at first
// or last contact is then cut at the frame's edge rather than making the Sun small.
constexpr double kMaxExtent = 2.6;
// and at least this many, which leaves room for the north mark.
constexpr double kMinExtent = 1.95;

struct Palette {
  QColor sunFill, sunRim, moonFill, moonRim, text, north, contact;
};

const Palette kLit{QColor(255, 204, 51), QColor(224, 128, 0), QColor(52, 54, 66),
                   QColor(24, 24, 32),   QColor(32, 32, 32),  QColor(31, 95, 191),
                   QColor(214, 32, 32)};
const Palette kDimmed{QColor(214, 214, 214), QColor(150, 150, 150), QColor(128, 128, 128),
                      QColor(100, 100, 100), QColor(140, 140, 140), QColor(96, 118, 150),
                      QColor(160, 96, 96)};
const QColor kBackground(255, 255, 255);
const QColor kSky(234, 242, 251);
const QColor kFrameBorder(190, 198, 208);
const QColor kGround(185, 173, 143, 190);
const QColor kHorizon(107, 90, 58);

QFont Font(int pixels, bool bold = false) {
  QFont font(QString::fromLatin1(kFontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, pixels));
  font.setBold(bold);
  return font;
}

QStringList Lines(const std::vector<std::string>& captions, std::size_t i) {
  if (i >= captions.size()) return {};
  return QString::fromStdString(captions[i]).split(QLatin1Char('\n'));
}

// The largest caption size, from `pixels` down, at which every line fits `width`.
int FittingFontPixels(int pixels, double width, const std::vector<std::string>& captions,
                      std::size_t count) {
  for (; pixels > kMinFontPixels; --pixels) {
    const QFontMetricsF metrics(Font(pixels));
    bool fits = true;
    for (std::size_t i = 0; i < count && fits; ++i) {
      for (const QString& line : Lines(captions, i))
        fits = fits && metrics.horizontalAdvance(line) <= width;
    }
    if (fits) break;
  }
  return pixels;
}

// A disc and its rim cut to `frame`: drawn as shapes rather than through a clip, which an SVG
// picture would not keep.
void DrawDisc(QPainter& painter, const QPainterPath& frame, QPointF centre, double radius,
              const QBrush& fill, const QColor& rim, double rimWidth) {
  QPainterPath disc;
  disc.addEllipse(centre, radius, radius);
  painter.fillPath(disc.intersected(frame), fill);
  if (rimWidth <= 0) return;
  QPainterPathStroker stroker;
  stroker.setWidth(rimWidth);
  painter.fillPath(stroker.createStroke(disc).intersected(frame), rim);
}

void PaintFrame(QPainter& painter, const QRectF& box, const DiscFrame& f, double extent) {
  const Palette& colours = f.belowHorizon ? kDimmed : kLit;
  const double r = box.width() / 2 / extent;  // pixels per solar radius
  const QPointF centre = box.center();
  const auto at = [&](double x, double y) { return centre + QPointF(x * r, y * r); };
  QPainterPath frame;
  frame.addRect(box);

  painter.save();
  painter.setPen(Qt::NoPen);
  painter.fillRect(box, kSky);
  // Where the Moon covers the whole Sun, the corona shows around it.
  const bool covered = std::hypot(f.moonX, f.moonY) + 1 <= f.moonRadius + 1e-4;
  if (covered && !f.belowHorizon) {
    QRadialGradient glow(centre, 1.7 * r);
    glow.setColorAt(0.5, QColor(255, 250, 220, 255));
    glow.setColorAt(1.0, QColor(255, 250, 220, 0));
    DrawDisc(painter, frame, centre, 1.7 * r, glow, Qt::transparent, 0);
  }
  const double rimWidth = std::max(1.0, r * 0.04);
  DrawDisc(painter, frame, centre, r, colours.sunFill, colours.sunRim, rimWidth);
  DrawDisc(painter, frame, at(f.moonX, f.moonY), f.moonRadius * r, colours.moonFill,
           colours.moonRim, rimWidth);
  // The Sun's rim stays visible where the Moon hides it.
  QColor hiddenRim = colours.sunRim;
  hiddenRim.setAlpha(170);
  DrawDisc(painter, frame, centre, r, Qt::NoBrush, hiddenRim, std::max(0.8, rimWidth * 0.7));

  // The ground below the horizon, over the part of the discs that has set.
  const double horizon = centre.y() + f.horizonOffset * r;
  if (horizon < box.bottom()) {
    const double top = std::max(horizon, box.top());
    painter.fillRect(QRectF(box.left(), top, box.width(), box.bottom() - top), kGround);
    if (horizon > box.top()) {
      painter.setPen(QPen(kHorizon, std::max(1.0, r * 0.05)));
      painter.drawLine(QPointF(box.left(), horizon), QPointF(box.right(), horizon));
    }
  }

  // North: a tick outwards from the rim and an "N" beyond it.
  painter.setPen(QPen(colours.north, std::max(1.2, r * 0.07), Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(at(f.northX, f.northY), at(1.35 * f.northX, 1.35 * f.northY));
  const int labelPixels = std::max(kMinFontPixels, static_cast<int>(std::lround(r * 0.5)));
  painter.setFont(Font(labelPixels, true));
  const QPointF label = at(1.62 * f.northX, 1.62 * f.northY);
  const QRectF labelBox(label.x() - labelPixels, label.y() - labelPixels, 2 * labelPixels,
                        2 * labelPixels);
  painter.drawText(labelBox, Qt::AlignCenter, QStringLiteral("N"));

  if (f.hasContact) {
    const double dot = std::max(2.0, r * 0.1);
    painter.setPen(QPen(Qt::white, std::max(0.8, dot * 0.35)));
    painter.setBrush(colours.contact);
    painter.drawEllipse(at(f.contactX, f.contactY), dot, dot);
  }
  painter.setPen(QPen(kFrameBorder, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box);
  painter.restore();
}

}  // namespace

void PaintDiscSketch(QPainter& painter, const QRectF& area, const DiscSketch& sketch,
                     const std::vector<std::string>& captions, const std::string& title) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setClipRect(area);
  painter.fillRect(area, kBackground);
  const double pad = std::clamp(area.height() * 0.03, 2.0, 8.0);
  QRectF row = area.adjusted(pad, pad, -pad, -pad);
  if (!title.empty() && row.height() > 0) {
    const int pixels = std::clamp(static_cast<int>(row.height() * 0.075), 9, 18);
    painter.setFont(Font(pixels, true));
    painter.setPen(kLit.text);
    const QFontMetricsF metrics(painter.font());
    const QString text =
        metrics.elidedText(QString::fromStdString(title), Qt::ElideRight, row.width());
    painter.drawText(QPointF(row.left(), row.top() + metrics.ascent()), text);
    row.setTop(row.top() + metrics.height() + pad);
  }
  const std::size_t count = sketch.frames.size();
  if (count == 0 || row.width() < count * 8.0 || row.height() < 16) {
    painter.restore();
    return;
  }

  const double cellWidth = row.width() / count;
  const double gap = std::max(2.0, cellWidth * 0.04);
  int lineCount = 0;
  for (std::size_t i = 0; i < count; ++i)
    lineCount = std::max(lineCount, static_cast<int>(Lines(captions, i).size()));
  const int preferred =
      std::clamp(static_cast<int>(std::min(cellWidth / 9.5, row.height() * 0.085)), kMinFontPixels,
                 kMaxFontPixels);
  const QFont captionFont = Font(FittingFontPixels(preferred, cellWidth - gap, captions, count));
  const QFontMetricsF metrics(captionFont);
  const double captionHeight = lineCount * metrics.lineSpacing();
  const double side =
      std::min(cellWidth - gap, row.height() - captionHeight - (lineCount > 0 ? gap : 0));
  if (side < 8) {
    painter.restore();
    return;
  }
  // One scale for every frame, so that the discs compare.
  double extent = kMinExtent;
  for (const DiscFrame& f : sketch.frames)
    extent = std::max(extent, std::hypot(f.moonX, f.moonY) + f.moonRadius);
  extent = std::min(extent * 1.03, kMaxExtent);
  const double top = row.top() + (row.height() - side - captionHeight - gap) / 2;

  for (std::size_t i = 0; i < count; ++i) {
    const DiscFrame& f = sketch.frames[i];
    const double left = row.left() + i * cellWidth;
    const QRectF box(left + (cellWidth - side) / 2, top, side, side);
    PaintFrame(painter, box, f, extent);
    painter.setFont(captionFont);
    painter.setPen(f.belowHorizon ? kDimmed.text : kLit.text);
    double baseline = box.bottom() + gap + metrics.ascent();
    for (const QString& line : Lines(captions, i)) {
      const QString text = metrics.elidedText(line, Qt::ElideRight, cellWidth - gap);
      const double width = metrics.horizontalAdvance(text);
      painter.drawText(QPointF(left + (cellWidth - width) / 2, baseline), text);
      baseline += metrics.lineSpacing();
    }
  }
  painter.restore();
}

}  // namespace umbrivista
