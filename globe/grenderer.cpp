#include "grenderer.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "gcustomglobe.h"

namespace umbrivista {

// ---------------------------------------------------------------------------------------------
// Clipping

namespace {

struct ClipBox {
  double l, t, r, b;
};

QPoint RoundPoint(double x, double y) {
  return QPoint(RoundToInt(x), RoundToInt(y));
}

}  // namespace

void ClipPolygon(const QPoint* points, int count, const QRect& bounds, std::vector<QPoint>& out) {
  thread_local std::vector<QPointF> a, b;
  a.assign(points, points + count);
  const ClipBox box{static_cast<double>(bounds.left()), static_cast<double>(bounds.top()),
                    static_cast<double>(bounds.right()), static_cast<double>(bounds.bottom())};
  // Edge k: 0 left, 1 right, 2 top, 3 bottom.
  auto inside = [&](const QPointF& p, int k) {
    switch (k) {
      case 0:
        return p.x() >= box.l;
      case 1:
        return p.x() <= box.r;
      case 2:
        return p.y() >= box.t;
      default:
        return p.y() <= box.b;
    }
  };
  auto cross = [&](const QPointF& p, const QPointF& q, int k) {
    if (k < 2) {
      const double x = k == 0 ? box.l : box.r;
      const double t = (x - p.x()) / (q.x() - p.x());
      return QPointF(x, p.y() + t * (q.y() - p.y()));
    }
    const double y = k == 2 ? box.t : box.b;
    const double t = (y - p.y()) / (q.y() - p.y());
    return QPointF(p.x() + t * (q.x() - p.x()), y);
  };
  for (int k = 0; k < 4 && !a.empty(); ++k) {
    b.clear();
    for (std::size_t i = 0; i < a.size(); ++i) {
      const QPointF& cur = a[i];
      const QPointF& prev = a[(i + a.size() - 1) % a.size()];
      const bool ci = inside(cur, k), pi = inside(prev, k);
      if (ci) {
        if (!pi) b.push_back(cross(prev, cur, k));
        b.push_back(cur);
      } else if (pi) {
        b.push_back(cross(prev, cur, k));
      }
    }
    std::swap(a, b);
  }
  for (const QPointF& p : a) {
    const QPoint q = RoundPoint(p.x(), p.y());
    if (out.empty() || out.back() != q) out.push_back(q);
  }
}

void ClipPolyline(const QPoint* points, int count, const QRect& bounds, std::vector<QPoint>& out,
                  std::vector<int>& counts) {
  const ClipBox box{static_cast<double>(bounds.left()), static_cast<double>(bounds.top()),
                    static_cast<double>(bounds.right()), static_cast<double>(bounds.bottom())};
  std::size_t pieceStart = out.size();
  bool open = false;  // a piece is being extended
  auto finish = [&]() {
    const int n = static_cast<int>(out.size() - pieceStart);
    if (n >= 2) {
      counts.push_back(n);
    } else {
      out.resize(pieceStart);
    }
    pieceStart = out.size();
    open = false;
  };
  for (int i = 0; i + 1 < count; ++i) {
    const double x0 = points[i].x(), y0 = points[i].y();
    const double dx = points[i + 1].x() - x0, dy = points[i + 1].y() - y0;
    // Liang–Barsky.
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - box.l, box.r - x0, y0 - box.t, box.b - y0};
    bool visible = true;
    for (int k = 0; k < 4 && visible; ++k) {
      if (p[k] == 0) {
        if (q[k] < 0) visible = false;
      } else {
        const double t = q[k] / p[k];
        if (p[k] < 0) {
          if (t > t1)
            visible = false;
          else if (t > t0)
            t0 = t;
        } else {
          if (t < t0)
            visible = false;
          else if (t < t1)
            t1 = t;
        }
      }
    }
    if (!visible) {
      if (open) finish();
      continue;
    }
    const QPoint a = t0 == 0 ? points[i] : RoundPoint(x0 + t0 * dx, y0 + t0 * dy);
    const QPoint b = t1 == 1 ? points[i + 1] : RoundPoint(x0 + t1 * dx, y0 + t1 * dy);
    if (!open || t0 > 0) {
      if (open) finish();
      out.push_back(a);
      open = true;
    }
    if (out.back() != b) out.push_back(b);
    if (t1 < 1) finish();
  }
  if (open) finish();
}

// ---------------------------------------------------------------------------------------------
// TGRenderer

TGRenderer::TGRenderer() : points_(kPointBufferSize) {}

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

double TGRenderer::ScaleFactor() const {
  return globe_ ? static_cast<double>(globe_->Projector().ScaleFactor()) : 0.0;
}

std::int32_t TGRenderer::ViewDistance() const {
  return globe_ ? globe_->Projector().ViewDistance() : 0;
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
  const QPoint* pts = points_.data();
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
    } catch (...) {
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

namespace {

// One edge of a texture triangle, stepped row by row.
struct TexEdge {
  double x, u, v, dx, du, dv;
  int rows;
  int end;

  void Step(int k) {
    x += dx * k;
    u += du * k;
    v += dv * k;
    rows -= k;
  }
};

TexEdge MakeEdge(const QPoint (&tex)[3], const QPoint (&scr)[3], int from, int to) {
  TexEdge e{static_cast<double>(scr[from].x()),
            static_cast<double>(tex[from].x()),
            static_cast<double>(tex[from].y()),
            0,
            0,
            0,
            scr[to].y() - scr[from].y(),
            to};
  if (e.rows > 0) {
    e.dx = (scr[to].x() - e.x) / e.rows;
    e.du = (tex[to].x() - e.u) / e.rows;
    e.dv = (tex[to].y() - e.v) / e.rows;
  }
  return e;
}

// Texture rows lie far apart in memory; the texels of a span a few rows ahead are requested
// early, so that their cache misses overlap with drawing the current rows.
constexpr int kPrefetchRows = 2;

void Prefetch(const std::uint32_t* texels, std::int64_t w, std::int64_t h, const TexEdge& a,
              const TexEdge& b, int rows) {
  if (a.rows <= rows || b.rows <= rows) return;
  const double ua = a.u + a.du * rows, va = a.v + a.dv * rows;
  const double ub = b.u + b.du * rows, vb = b.v + b.dv * rows;
  if (!texels ||
      !(ua >= 0 && va >= 0 && ub >= 0 && vb >= 0 && ua < w && ub < w && va < h && vb < h))
    return;
  // One request per cache line (16 texels) along the span.
  const double n = std::max(std::fabs(ub - ua) / 16, 1.0);
  const int steps = static_cast<int>(std::min(n, 64.0));
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const auto u = static_cast<std::int64_t>(ua + (ub - ua) * t);
    const auto v = static_cast<std::int64_t>(va + (vb - va) * t);
    __builtin_prefetch(texels + u + w * v);
  }
}

}  // namespace

void TGRenderer::TextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3],
                                 const TGBitmap& texture) {
  QPoint* pts = points_.data();
  for (int i = 0; i < 3; ++i) pts[i] = scr[i];
  if (!PointsVisible(scr, 3)) return;
  int top = 0;
  for (int i = 1; i < 3; ++i) {
    if (scr[i].y() < scr[top].y()) top = i;
  }
  const std::uint32_t* texels = texture.Bits();
  const std::int64_t tw = texture.Width(), th = texture.Height();
  TexEdge a = MakeEdge(tex, scr, top, (top + 1) % 3);
  TexEdge b = MakeEdge(tex, scr, top, (top + 2) % 3);
  std::int64_t y = scr[top].y();
  for (int replaced = 0;; ++replaced) {
    while (a.rows > 0 && b.rows > 0) {
      if (y < 0) {
        // Rows above the surface are stepped over in one go.
        const int k = static_cast<int>(std::min<std::int64_t>({a.rows, b.rows, -y}));
        a.Step(k);
        b.Step(k);
        y += k;
        continue;
      }
      if (y >= height_) return;
      Prefetch(texels, tw, th, a, b, kPrefetchRows);
      TextureSpan(static_cast<int>(y), TruncToInt(a.x), texture, a.u, a.v, b.u, b.v,
                  TruncToInt(b.x));
      a.Step(1);
      b.Step(1);
      ++y;
    }
    if (replaced == 1) break;
    if (a.rows <= 0) {
      a = MakeEdge(tex, scr, a.end, b.end);
    } else {
      b = MakeEdge(tex, scr, b.end, a.end);
    }
  }
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
  const double cx = rect.left() + rect.width() / 2.0, cy = rect.top() + rect.height() / 2.0;
  const double rx = rect.width() / 2.0, ry = rect.height() / 2.0;
  auto inside = [&](int x, int y) {
    const double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
    return u * u + v * v <= 1.0;
  };
  const std::uint32_t penColour = ColorToPixel(pen_.Color());
  const std::uint32_t brushColour = ColorToPixel(brush_.Color());
  const bool fill = brush_.Style() == gbsSolid;
  for (int y = rect.top(); y < rect.top() + rect.height(); ++y) {
    for (int x = rect.left(); x < rect.left() + rect.width(); ++x) {
      if (!inside(x, y)) continue;
      const bool rim = !clearPen && (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) ||
                                     !inside(x, y + 1));
      if (rim) {
        picture_.SetPixel(x, y, penColour, Alpha);
      } else if (fill) {
        picture_.SetPixel(x, y, brushColour, Alpha);
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

namespace {

// Draws a text with the top-left corner of its extent at the painter's origin, with the
// background box and halo that `style` (TGFontStyle bits) asks for.
void PaintText(QPainter& p, const QString& text, const TGFont& font, const QFont& qfont,
               const QFontMetrics& m, QSize extent, TColor color, unsigned style) {
  const bool multiLine = text.contains(QLatin1Char('\n'));
  p.setFont(qfont);
  const TColor bk = font.BkColor();
  if (style & gfsOpaque) {
    QColor fill = ToQColor(bk);
    fill.setAlpha(font.BkAlphaBlend());
    p.fillRect(QRect(-1, -1, extent.width() + 2, extent.height() + 2), fill);
  }
  if (style & gfsHalo) {
    QPainterPath path;
    if (multiLine) {
      int y = m.ascent();
      for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        path.addText(0, y, qfont, line.toString());
        y += m.lineSpacing();
      }
    } else {
      path.addText(0, m.ascent(), qfont, text);
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.strokePath(path, QPen(ToQColor(bk), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, ToQColor(color));
    return;
  }
  p.setPen(ToQColor(color));
  if (multiLine) {
    int y = m.ascent();
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
      p.drawText(0, y, line.toString());
      y += m.lineSpacing();
    }
  } else {
    p.drawText(0, m.ascent(), text);
  }
}

// Puts `letters` over `image` with a halo in `bk` around them: the letters' coverage widened by
// one pixel in every direction (the reach of a 3-pixel pen along their outlines). Both pictures
// are premultiplied ARGB of the same size.
void AddHalo(QImage& image, const QImage& letters, TColor bk) {
  const int w = image.width(), h = image.height();
  const std::uint32_t r = bk & 0xFF, g = (bk >> 8) & 0xFF, b = (bk >> 16) & 0xFF;
  auto over = [](std::uint32_t src, std::uint32_t dst) {
    const std::uint32_t inverse = 255 - (src >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const std::uint32_t d = (dst >> shift) & 0xFF;
      out |= std::min<std::uint32_t>(((src >> shift) & 0xFF) + (d * inverse + 127) / 255, 255)
             << shift;
    }
    return out;
  };
  for (int y = 0; y < h; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      std::uint32_t a = 0;
      for (int yy = std::max(y - 1, 0); yy <= std::min(y + 1, h - 1); ++yy) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(letters.constScanLine(yy));
        for (int xx = std::max(x - 1, 0); xx <= std::min(x + 1, w - 1); ++xx)
          a = std::max(a, row[xx] >> 24);
      }
      const std::uint32_t letter =
          reinterpret_cast<const std::uint32_t*>(letters.constScanLine(y))[x];
      if (a == 0 && letter == 0) continue;
      const std::uint32_t halo = a << 24 | (r * a / 255) << 16 | (g * a / 255) << 8 | (b * a / 255);
      out[x] = over(letter, over(halo, out[x]));
    }
  }
}

}  // namespace

void TGDefaultRenderer::DrawText(QPoint topLeft, const QString& text, const TGFont& font,
                                 TColor color) {
  if (picture_.GetEmpty() || text.isEmpty()) return;
  QPainter& p = Painter();
  const QFont& qfont = FontObject(font);
  const QFontMetrics& m = FontMetrics(font);
  if (font.Angle() != 0) {
    const QSize extent = TextExtent(font, text);
    p.save();
    p.setOpacity(1.0);
    p.setBackgroundMode(Qt::TransparentMode);
    p.translate(topLeft);
    p.rotate(-font.Angle() / 10.0);
    PaintText(p, text, font, qfont, m, extent, color, font.Style());
    p.restore();
    attributesChanged_ = true;
    return;
  }
  // Titles repeat from render to render: each is drawn once into a picture of its own, which is
  // then copied onto the surface.
  constexpr int kMargin = 4;
  std::string key = text.toStdString();
  key += '\0';
  key += font.Name();
  for (const std::uint32_t v :
       {static_cast<std::uint32_t>(FontPixelHeight(font)), std::uint32_t{font.Style()}, color,
        font.BkColor(), std::uint32_t{font.BkAlphaBlend()}}) {
    key.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  auto found = textImages_.find(key);
  if (found == textImages_.end()) {
    if (textImages_.size() >= 2048) textImages_.clear();
    // Measured only here: a kept picture already has the text's size.
    const QSize extent = TextExtent(font, text);
    const QSize size(extent.width() + 2 * kMargin, extent.height() + 2 * kMargin);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter ip(&image);
      ip.translate(kMargin, kMargin);
      PaintText(ip, text, font, qfont, m, extent, color, font.Style() & gfsOpaque);
    }
    if (font.Style() & gfsHalo) {
      QImage letters(size, QImage::Format_ARGB32_Premultiplied);
      letters.fill(Qt::transparent);
      {
        QPainter ip(&letters);
        ip.translate(kMargin, kMargin);
        PaintText(ip, text, font, qfont, m, extent, color, 0);
      }
      AddHalo(image, letters, font.BkColor());
    }
    found = textImages_.emplace(std::move(key), std::move(image)).first;
  }
  if (appliedAlpha_ != 255) {
    p.setOpacity(1.0);
    appliedAlpha_ = 255;
  }
  p.drawImage(topLeft - QPoint(kMargin, kMargin), found->second);
}

void TGDefaultRenderer::SetPixel(int x, int y, TColor color) {
  picture_.SetPixel(x, y, ColorToPixel(color), Alpha);
}

TGDefaultRenderer::SpanContext TGDefaultRenderer::LookUp(const TGBitmap& texture) {
  SpanContext c;
  if (texture.GetEmpty() || picture_.GetEmpty()) return c;
  c.texture = &texture;
  c.texels = texture.Bits();
  c.width = texture.Width();
  c.height = texture.Height();
  c.picture = picture_.Bits();
  return c;
}

void TGDefaultRenderer::TextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3],
                                        const TGBitmap& texture) {
  span_ = LookUp(texture);
  if (!span_.texture) return;
  TGRenderer::TextureTriangle(tex, scr, texture);
  span_ = SpanContext();
}

void TGDefaultRenderer::TextureSpan(int y, int x1, const TGBitmap& texture, double ua, double va,
                                    double ub, double vb, int x2) {
  if (x2 < x1) {
    std::swap(x1, x2);
    std::swap(ua, ub);
    std::swap(va, vb);
  }
  if (x2 - static_cast<std::int64_t>(x1) < 1 || x2 < 0 || x1 > width_) return;
  if (y < 0 || y >= height_) return;
  const SpanContext c = span_.texture == &texture ? span_ : LookUp(texture);
  if (!c.texture) return;
  const double n = static_cast<double>(x2) - x1;
  const double du = (ub - ua) / n, dv = (vb - va) / n;
  if (x1 < 0) {
    ua += -static_cast<double>(x1) * du;
    va += -static_cast<double>(x1) * dv;
    x1 = 0;
  }
  if (x2 > width_) x2 = width_;
  std::uint32_t* row = c.picture + static_cast<std::ptrdiff_t>(y) * width_;
  const std::uint32_t* texels = c.texels;
  const std::int64_t tw = c.width;
  const std::int64_t size = tw * c.height;
  const bool transparent = texture.TransparentColor != clNone;
  const std::uint32_t key = ColorToPixel(texture.TransparentColor) & 0xFFFFFF;
  const int alpha = texture.AlphaBlend;
  // Opaque spans that stay inside the texture are stepped in 32.32 fixed point.
  const double uLast = ua + du * (x2 - 1 - x1), vLast = va + dv * (x2 - 1 - x1);
  if (!transparent && alpha == 255 && ua >= 0 && va >= 0 && uLast >= 0 && vLast >= 0 && ua < tw &&
      uLast < tw && va < c.height && vLast < c.height) {
    constexpr double kOne = 4294967296.0;
    std::int64_t fu = static_cast<std::int64_t>(ua * kOne),
                 fv = static_cast<std::int64_t>(va * kOne);
    const std::int64_t fdu = static_cast<std::int64_t>(du * kOne);
    const std::int64_t fdv = static_cast<std::int64_t>(dv * kOne);
    for (int x = x1; x < x2; ++x, fu += fdu, fv += fdv) {
      const std::int64_t index = (fu >> 32) + tw * (fv >> 32);
      if (static_cast<std::uint64_t>(index) < static_cast<std::uint64_t>(size))
        row[x] = texels[index];
    }
    return;
  }
  constexpr double kMax = 2147483647.0;
  for (int x = x1; x < x2; ++x, ua += du, va += dv) {
    const double u = ua >= 0 ? std::min(ua, kMax) : 0.0;
    const double v = va >= 0 ? std::min(va, kMax) : 0.0;
    const std::int64_t index = static_cast<std::int64_t>(u) + tw * static_cast<std::int64_t>(v);
    if (index >= size) continue;
    const std::uint32_t texel = texels[index];
    if (transparent && (texel & 0xFFFFFF) == key) continue;
    row[x] = alpha == 255 ? texel : BlendPixel(row[x], texel, alpha);
  }
}

}  // namespace umbrivista
