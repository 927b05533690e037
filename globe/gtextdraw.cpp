// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Text drawing of TGDefaultRenderer: painted texts with their background box and halo, and the
// kept pictures of unrotated texts.

#include <QPainterPath>
#include <algorithm>

#include "grenderer.h"

namespace umbrivista {

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

}  // namespace umbrivista
