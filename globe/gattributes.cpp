#include "gattributes.h"

#include <algorithm>

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
      // The pattern brushes have no pictures here; they draw as a 50 % dither.
      return QBrush(ToQColor(brush.Color()), Qt::Dense4Pattern);
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
