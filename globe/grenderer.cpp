// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "grenderer.h"

#include <QPainterPath>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <new>

namespace umbrivista {

// ---------------------------------------------------------------------------------------------
// TGRenderer

TGRenderer::TGRenderer()
    : points_(static_cast<QPoint*>(std::malloc(sizeof(QPoint) * kPointBufferSize))) {
  if (!points_) throw std::bad_alloc();
}

void TGRenderer::ResizeSurface(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
}

void TGRenderer::SelectPen(const TGPen& pen) {
  if (pen_.SameAs(pen)) return;
  pen.DrawingObject(this, ViewDistance(), ScaleFactor());
  pen_ = pen;
  attributesChanged_ = true;
}

void TGRenderer::SelectBrush(const TGBrush& brush) {
  if (brush_.SameAs(brush)) return;
  brush.DrawingObject(this);
  brush_ = brush;
  attributesChanged_ = true;
}

void TGRenderer::SelectFont(const TGFont& font) {
  if (font_.SameAs(font)) return;
  font_ = font;
}

void TGRenderer::SelectNothing() {
  static const TGPen kBlack(clBlack, gpsSolid, 1, guPixel);
  static const TGBrush kWhite;
  SelectPen(kBlack);
  SelectBrush(kWhite);
}

int TGRenderer::PenPixelWidth() const {
  return pen_.PixelWidth(ScaleFactor());
}

int TGRenderer::FontPixelHeight(const TGFont& font) const {
  int h = UnitsToPixels(font.Size(), font.SizeUnit(), ScaleFactor());
  if (MaxTextHeight > 0 && h > MaxTextHeight) h = MaxTextHeight;
  return h;
}

const QFont& TGRenderer::FontObject(const TGFont& font) const {
  return font.DrawingObject(this, ViewDistance(), FontPixelHeight(font));
}

const QFontMetrics& TGRenderer::FontMetrics(const TGFont& font) const {
  return font.Metrics(this, ViewDistance(), FontPixelHeight(font));
}

QSize TGRenderer::TextExtent(const TGFont& font, const QString& text) const {
  const QFontMetrics& m = FontMetrics(font);
  if (!text.contains(QLatin1Char('\n'))) return QSize(m.horizontalAdvance(text), m.height());
  int width = 0, lines = 0;
  for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
    width = std::max(width, m.horizontalAdvance(line.toString()));
    ++lines;
  }
  return QSize(width, lines * m.lineSpacing() - m.leading());
}

bool TGRenderer::PointsVisible(const QPoint* points, int count) const {
  if (count < 2) return false;
  int minX = points[0].x(), maxX = minX, minY = points[0].y(), maxY = minY;
  for (int i = 1; i < count; ++i) {
    minX = std::min(minX, points[i].x());
    maxX = std::max(maxX, points[i].x());
    minY = std::min(minY, points[i].y());
    maxY = std::max(maxY, points[i].y());
  }
  return !(maxX < 0 || minX >= width_ || maxY < 0 || minY >= height_);
}

void TGRenderer::BeginParts(bool closed) {
  partPoints_.clear();
  partCounts_.clear();
  partsClosed_ = closed;
}

void TGRenderer::AddPart(int count, int penWidth) {
  count = std::clamp(count, 0, kPointBufferSize);
  if (count < 2) return;
  const int margin = std::max(2, 2 * penWidth);
  const QRect bounds(QPoint(-margin, -margin), QPoint(width_ + margin, height_ + margin));
  const QPoint* pts = points_.get();
  bool inside = true;
  for (int i = 0; i < count && inside; ++i) inside = bounds.contains(pts[i]);
  if (partsClosed_) {
    const std::size_t start = partPoints_.size();
    if (inside) {
      partPoints_.insert(partPoints_.end(), pts, pts + count);
    } else {
      ClipPolygon(pts, count, bounds, partPoints_);
    }
    if (partPoints_.size() - start < 2) {
      partPoints_.resize(start);
      return;
    }
    partPoints_.push_back(partPoints_[start]);
    partCounts_.push_back(static_cast<int>(partPoints_.size() - start));
  } else if (inside) {
    partPoints_.insert(partPoints_.end(), pts, pts + count);
    partCounts_.push_back(count);
  } else {
    ClipPolyline(pts, count, bounds, partPoints_, partCounts_);
  }
}

void TGRenderer::EndParts() {
  if (!partCounts_.empty()) {
    try {
      DrawPolyParts(partPoints_.data(), partCounts_.data(), static_cast<int>(partCounts_.size()),
                    partsClosed_);
    } catch (const std::exception& e) {
      // An object that cannot be drawn does not end the render of the others.
      qWarning("globe: cannot draw the clipped parts of an object: %s", e.what());
    } catch (...) {
      qWarning("globe: cannot draw the clipped parts of an object");
    }
  }
  partPoints_.clear();
  partCounts_.clear();
}

void TGRenderer::PolygonFromPoints(int count) {
  BeginParts(true);
  AddPart(count, 1);
  EndParts();
}

// ---------------------------------------------------------------------------------------------
// TGDefaultRenderer

TGDefaultRenderer::TGDefaultRenderer() = default;

TGDefaultRenderer::~TGDefaultRenderer() {
  FinishDrawing();
}

QPainter& TGDefaultRenderer::Painter() {
  if (!painter_.isActive() && !picture_.GetEmpty()) {
    painter_.begin(&picture_.Image());
    attributesChanged_ = true;
    appliedAlpha_ = 255;
  }
  return painter_;
}

void TGDefaultRenderer::PrepareForDrawing() {
  FinishDrawing();
  attributesChanged_ = true;
}

void TGDefaultRenderer::FinishDrawing() {
  if (painter_.isActive()) painter_.end();
}

void TGDefaultRenderer::ResizeSurface(int width, int height) {
  FinishDrawing();
  TGRenderer::ResizeSurface(width, height);
  picture_.SetSize(width_, height_);
  if (!picture_.GetEmpty()) picture_.Image().fill(0xFF000000u);
}

void TGDefaultRenderer::ClearSurface(TColor color) {
  if (picture_.GetEmpty()) return;
  if (painter_.isActive()) {
    painter_.fillRect(QRect(0, 0, width_, height_), ToQColor(color));
  } else {
    picture_.Image().fill(ColorToPixel(color));
  }
}

void TGDefaultRenderer::ApplyAttributes() {
  QPainter& p = Painter();
  if (Alpha != appliedAlpha_) {
    appliedAlpha_ = Alpha;
    p.setOpacity(Alpha >= 255 ? 1.0 : std::max(Alpha, 0) / 255.0);
  }
  if (!attributesChanged_) return;
  p.setPen(pen_.DrawingObject(this, ViewDistance(), ScaleFactor()));
  p.setBrush(brush_.DrawingObject(this));
  if (brush_.TransparentBackground()) {
    p.setBackgroundMode(Qt::TransparentMode);
  } else {
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(ToQColor(brush_.BkColor()));
  }
  attributesChanged_ = false;
}

namespace {

// Calls plot(x, y) for the pixels of each part's polyline (Bresenham), every pixel once per
// segment: a segment from its first point up to, not including, its last; the part's last point
// at the end.
template <typename Plot>
void WalkPolylines(const QPoint* points, const int* counts, int partCount, Plot&& plot) {
  for (int i = 0; i < partCount; ++i) {
    for (int j = 1; j < counts[i]; ++j) {
      int x = points[j - 1].x(), y = points[j - 1].y();
      const int x1 = points[j].x(), y1 = points[j].y();
      const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
      const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
      int err = dx + dy;
      while (x != x1 || y != y1) {
        plot(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
          err += dy;
          x += sx;
        }
        if (e2 <= dx) {
          err += dx;
          y += sy;
        }
      }
    }
    if (counts[i] > 0) plot(points[counts[i] - 1].x(), points[counts[i] - 1].y());
    points += counts[i];
  }
}

}  // namespace

void TGDefaultRenderer::DrawThinPolylines(const QPoint* points, const int* counts, int partCount) {
  std::uint32_t* bits = picture_.Bits();
  const std::uint32_t colour = ColorToPixel(pen_.Color());
  const int w = width_, h = height_, alpha = Alpha;
  WalkPolylines(points, counts, partCount, [&](int x, int y) {
    if (static_cast<unsigned>(x) < static_cast<unsigned>(w) &&
        static_cast<unsigned>(y) < static_cast<unsigned>(h)) {
      std::uint32_t& p = bits[static_cast<std::ptrdiff_t>(y) * w + x];
      p = alpha >= 255 ? colour : BlendPixel(p, colour, alpha);
    }
  });
}

void TGDefaultRenderer::DrawWidePolylines(const QPoint* points, const int* counts, int partCount,
                                          int penWidth) {
  // The pen's disc, as the rows it covers around a pixel: row offset dy from −r0 on, and the
  // column offsets [first, last] of each row. Stamped at every pixel of the centre line, it gives
  // round ends and joins.
  const int n = penWidth;
  const double radius = n / 2.0, centre = (n - 1) / 2.0;
  const int r0 = n / 2;
  int first[32], last[32];
  for (int row = 0; row < n; ++row) {
    const double y = row - centre;
    const double half = std::sqrt(std::max(radius * radius - y * y, 0.0));
    first[row] = static_cast<int>(std::ceil(centre - half - 1e-9)) - r0;
    last[row] = static_cast<int>(std::floor(centre + half + 1e-9)) - r0;
  }
  std::uint32_t* bits = picture_.Bits();
  const std::uint32_t colour = ColorToPixel(pen_.Color());
  const int w = width_, h = height_;
  WalkPolylines(points, counts, partCount, [&](int x, int y) {
    for (int row = 0; row < n; ++row) {
      const int yy = y + row - r0;
      if (static_cast<unsigned>(yy) >= static_cast<unsigned>(h)) continue;
      const int a = std::max(x + first[row], 0), b = std::min(x + last[row], w - 1);
      std::uint32_t* line = bits + static_cast<std::ptrdiff_t>(yy) * w;
      for (int xx = a; xx <= b; ++xx) line[xx] = colour;
    }
  });
}

void TGDefaultRenderer::DrawPolyParts(const QPoint* points, const int* counts, int partCount,
                                      bool closed) {
  if (picture_.GetEmpty()) return;
  // Solid lines, the bulk of graticule, outline and road drawing, go straight into the pixels:
  // thin ones blended with the alpha, wide opaque ones as a disc stamped along the line.
  if (!closed && (pen_.Style() == gpsSolid || pen_.Style() == gpsInsideFrame)) {
    const int penWidth = PenPixelWidth();
    if (penWidth < 2) {
      DrawThinPolylines(points, counts, partCount);
      return;
    }
    if (penWidth <= 16 && Alpha >= 255) {
      DrawWidePolylines(points, counts, partCount, penWidth);
      return;
    }
  }
  ApplyAttributes();
  QPainter& p = Painter();
  if (closed && partCount > 1) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (int i = 0; i < partCount; ++i) {
      path.moveTo(points[0]);
      for (int j = 1; j < counts[i]; ++j) path.lineTo(points[j]);
      path.closeSubpath();
      points += counts[i];
    }
    p.drawPath(path);
    return;
  }
  for (int i = 0; i < partCount; ++i) {
    if (closed) {
      p.drawPolygon(points, counts[i], Qt::OddEvenFill);
    } else {
      p.drawPolyline(points, counts[i]);
    }
    points += counts[i];
  }
}

void TGDefaultRenderer::Ellipse(const QRect& rect) {
  if (picture_.GetEmpty()) return;
  const bool clearPen = pen_.Style() == gpsClear;
  const bool thinPen =
      (pen_.Style() == gpsSolid || pen_.Style() == gpsInsideFrame) && PenPixelWidth() < 2;
  const bool plainBrush = brush_.Style() == gbsSolid || brush_.Style() == gbsClear;
  if (!(clearPen || thinPen) || !plainBrush || rect.width() <= 0 || rect.height() <= 0 ||
      rect.width() > 64 || rect.height() > 64) {
    ApplyAttributes();
    Painter().drawEllipse(rect);
    return;
  }
  // Small symbols are set pixel by pixel: the pixels whose centres lie in the ellipse inscribed
  // in the rectangle, those on its rim in the pen's colour, the others in the brush's.
  const int w = rect.width(), h = rect.height();
  if (ellipseMask_.width != w || ellipseMask_.height != h) {
    // The shape depends on the size alone: offsets from the centre are exact in halves.
    ellipseMask_.width = w;
    ellipseMask_.height = h;
    ellipseMask_.cells.assign(static_cast<std::size_t>(w) * h, 0);
    const double rx = w / 2.0, ry = h / 2.0;
    auto inside = [&](int x, int y) {
      const double u = (x + 0.5 - rx) / rx, v = (y + 0.5 - ry) / ry;
      return u * u + v * v <= 1.0;
    };
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (!inside(x, y)) continue;
        const bool rim =
            !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
        ellipseMask_.cells[static_cast<std::size_t>(y) * w + x] = rim ? kRim : kInside;
      }
    }
  }
  const std::uint32_t penColour = ColorToPixel(pen_.Color());
  const std::uint32_t brushColour = ColorToPixel(brush_.Color());
  const bool fill = brush_.Style() == gbsSolid;
  const int pw = picture_.Width(), ph = picture_.Height();
  const int x0 = std::max(rect.left(), 0), x1 = std::min(rect.left() + w, pw);
  const int y0 = std::max(rect.top(), 0), y1 = std::min(rect.top() + h, ph);
  if (x0 >= x1 || y0 >= y1) return;
  std::uint32_t* bits = picture_.Bits();
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* cells =
        ellipseMask_.cells.data() + static_cast<std::size_t>(y - rect.top()) * w;
    std::uint32_t* row = bits + static_cast<std::ptrdiff_t>(y) * pw;
    for (int x = x0; x < x1; ++x) {
      const std::uint8_t cell = cells[x - rect.left()];
      if (cell == 0) continue;
      if (cell == kRim && !clearPen) {
        row[x] = BlendPixel(row[x], penColour, Alpha);
      } else if (fill) {
        row[x] = BlendPixel(row[x], brushColour, Alpha);
      }
    }
  }
}

void TGDefaultRenderer::Rectangle(const QRect& rect) {
  if (picture_.GetEmpty()) return;
  ApplyAttributes();
  Painter().drawRect(rect);
}

void TGDefaultRenderer::FocusRectangle(const QRect& rect) {
  if (picture_.GetEmpty()) return;
  QPainter& p = Painter();
  p.save();
  p.setPen(QPen(Qt::black, 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect);
  p.restore();
}

void TGDefaultRenderer::SetPixel(int x, int y, TColor color) {
  picture_.SetPixel(x, y, ColorToPixel(color), Alpha);
}
}  // namespace umbrivista
