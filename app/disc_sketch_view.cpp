// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc_sketch_view.h"

#include <QPainter>
#include <utility>

#include "disc_sketch_paint.h"

namespace umbrivista {

TDiscSketchView::TDiscSketchView(QWidget* parent) : QWidget(parent) {}

void TDiscSketchView::SetSketch(DiscSketch sketch, std::vector<std::string> captions) {
  sketch_ = std::move(sketch);
  captions_ = std::move(captions);
  update();
}

QSize TDiscSketchView::sizeHint() const {
  return {520, 150};
}

void TDiscSketchView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintDiscSketch(painter, QRectF(rect()), sketch_, captions_);
}

}  // namespace umbrivista
