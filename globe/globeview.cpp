#include "globeview.h"

#include <QPainter>
#include <QResizeEvent>
#include <exception>

namespace umbrivista {

TGlobeView::TGlobeView(QWidget* parent) : QWidget(parent), TGCustomGlobeView(150, 150) {
  resize(150, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

void TGlobeView::InvalidateWindow() {
  update();
}

void TGlobeView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  try {
    Paint(painter);
  } catch (const std::exception& e) {
    qWarning("globe paint failed: %s", e.what());
  } catch (...) {
    qWarning("globe paint failed");
  }
}

void TGlobeView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ResizeClient(event->size().width(), event->size().height());
}

}  // namespace umbrivista
