// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "globeview.h"

#include <QMouseEvent>
#include <QBackingStore>
#include <QPainter>
#include <QWindow>
#include <QResizeEvent>
#include <exception>

namespace umbrivista {

namespace {

TGMouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return mzbLeft;
    case Qt::RightButton:
      return mzbRight;
    case Qt::MiddleButton:
      return mzbMiddle;
    default:
      return mzbNone;
  }
}

}  // namespace

TGlobeView::TGlobeView(QWidget* parent)
    : QWidget(parent), TGCustomGlobeView(150, 150), mouse_(*this, selection_) {
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

void TGlobeView::SetMouseZoomButton(TGMouseButton button) {
  mouse_.Cancel();
  mouse_.ZoomButton = button;
  update();
}

void TGlobeView::SetMouseSelectButton(TGMouseButton button) {
  mouse_.Cancel();
  mouse_.SelectButton = button;
}

void TGlobeView::SetMouseRotateButton(TGMouseButton button) {
  mouse_.Cancel();
  mouse_.RotateButton = button;
}

void TGlobeView::InvalidateWindow() {
  update();
}

void TGlobeView::PaintOverPicture(QPainter& window) {
  if (!mouse_.ZoomBoxActive()) return;
  // A dotted rectangle over a light one shows on any picture.
  const QRect box = mouse_.ZoomBox();
  window.save();
  window.setBrush(Qt::NoBrush);
  window.setPen(QPen(Qt::white, 1, Qt::SolidLine));
  window.drawRect(box);
  window.setPen(QPen(Qt::black, 1, Qt::DotLine));
  window.drawRect(box);
  window.restore();
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

void TGlobeView::MousePress(QMouseEvent* event, bool doubleClick) {
  setFocus(Qt::MouseFocusReason);
  const Qt::KeyboardModifiers held =
      event->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
  mouse_.Press(ButtonOf(event->button()), event->position().toPoint(), held != 0, doubleClick);
}

void TGlobeView::mousePressEvent(QMouseEvent* event) {
  MousePress(event, false);
  QWidget::mousePressEvent(event);
}

void TGlobeView::mouseDoubleClickEvent(QMouseEvent* event) {
  // Not passed on: QWidget would take the double click for a further press.
  MousePress(event, true);
}

void TGlobeView::mouseMoveEvent(QMouseEvent* event) {
  if (mouse_.Move(event->position().toPoint())) update();
  QWidget::mouseMoveEvent(event);
}

void TGlobeView::mouseReleaseEvent(QMouseEvent* event) {
  const bool boxShown = mouse_.ZoomBoxActive();
  mouse_.MultiSelect = (GlobeOptions() & goMultiSelect) != 0;
  const TGMouseActions::Release done =
      mouse_.Up(ButtonOf(event->button()), event->position().toPoint());
  if (boxShown) update();
  if (done.selectionChanged) {
    if (OnSelectionChange) OnSelectionChange();
    emit selectionChanged();
  }
  if (done.clicked) {
    if (OnObjectClick) OnObjectClick(*done.clicked);
    emit objectClicked(done.clicked.get());
  }
  QWidget::mouseReleaseEvent(event);
}

}  // namespace umbrivista
