// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

namespace umbrivista {

QImage DrawAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(size / 2.0, size / 2.0);
  const double moon = size * 0.30;
  // The corona: white at the Moon's edge, fading out towards the icon's edge.
  QRadialGradient corona(centre, size / 2.0);
  corona.setColorAt(moon / (size / 2.0), QColor(255, 255, 240, 255));
  corona.setColorAt(0.75, QColor(255, 230, 170, 150));
  corona.setColorAt(1.0, QColor(255, 200, 120, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(corona);
  p.drawEllipse(centre, size / 2.0, size / 2.0);
  // The Moon, with a dark blue rim so that it reads on light and dark backgrounds alike.
  p.setBrush(QColor(8, 8, 20));
  p.setPen(QPen(QColor(30, 40, 90), std::max(1.0, size / 64.0)));
  p.drawEllipse(centre, moon, moon);
  // The bead of light where the Sun shows through a lunar valley.
  const QPointF bead(centre.x() + moon * 0.72, centre.y() - moon * 0.72);
  QRadialGradient glow(bead, size * 0.09);
  glow.setColorAt(0, QColor(255, 255, 255, 255));
  glow.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(bead, size * 0.09, size * 0.09);
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(DrawAppIcon(size)));
  return icon;
}

}  // namespace umbrivista
