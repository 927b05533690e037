#include "globeview.h"

#include <QBackingStore>
#include <QPainter>
#include <QWindow>
#include <QResizeEvent>
#include <exception>

namespace umbrivista {

TGlobeView::TGlobeView(QWidget* parent) : QWidget(parent), TGCustomGlobeView(150, 150) {
  resize(150, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  scrollBars_ = new TGScrollBars(*this, *this);
  scrollBars_->Update();
}

void TGlobeView::ShowPartialPicture(QPainter& window, const QImage& picture) {
  TGCustomGlobeView::ShowPartialPicture(window, picture);
  // The window shows what was painted only once the paint is over; a partial picture is meant to
  // be seen while the render goes on, so the part under the control is put on the screen now.
  QWidget* top = this->window();
  QBackingStore* store = top->backingStore();
  if (!store || !top->windowHandle() || !isVisible()) return;
  store->flush(QRegion(QRect(mapTo(top, QPoint(0, 0)), size())), top->windowHandle());
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
