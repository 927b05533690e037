// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TGlobeView: the window control that shows the globe. A change requests a render; the next paint
// renders into the off-screen picture, copies it to the window and then fires OnAfterRender with a
// painter on the window, on which further overlays can be drawn. Every event is also emitted as a
// Qt signal, after its callback.
//
// The control's own mouse actions (see TGMouseActions): the zoom box on the right button, the
// rotate drag and selecting on the left; setting a button to mzbNone switches its action off.
// Each press first takes the keyboard focus.

#include <QWidget>
#include <functional>
#include <memory>

#include "gcustomglobe.h"
#include "gmouse.h"
#include "gselection.h"
#include "gscrollbars.h"

namespace umbrivista {

class TGlobeView : public QWidget, public TGCustomGlobeView {
  Q_OBJECT

 public:
  explicit TGlobeView(QWidget* parent = nullptr);

  TGMouseButton MouseZoomButton() const { return mouse_.ZoomButton; }
  void SetMouseZoomButton(TGMouseButton button);
  TGMouseButton MouseSelectButton() const { return mouse_.SelectButton; }
  void SetMouseSelectButton(TGMouseButton button);
  TGMouseButton MouseRotateButton() const { return mouse_.RotateButton; }
  void SetMouseRotateButton(TGMouseButton button);
  // Whether a zoom box is being dragged, and where (window pixels).
  bool ZoomBoxActive() const { return mouse_.ZoomBoxActive(); }
  QRect ZoomBox() const { return mouse_.ZoomBox(); }

  // The selected objects. Changes made here fire no event; they request a render.
  TGSelection& Selection() { return selection_; }
  // The object on top at window pixel (x, y) and its layer (among the layers `accept` accepts,
  // when given); none when nothing is drawn there.
  TGHit HitTest(int x, int y, int tolerance = kHitTolerance, const TGLayerFilter& accept = nullptr) {
    return GlobeHitTest(*this, QPoint(x, y), tolerance, accept);
  }

  // A left click on an object (after the selection was updated).
  std::function<void(TGMapPoint&)> OnObjectClick;
  // A click changed the selection.
  std::function<void()> OnSelectionChange;
  // Which scroll bars the control shows (ssBoth at first); each one appears only while the view
  // does not take in the whole map along its axis.
  TGScrollStyle ScrollBars() const { return scrollBars_->Style(); }
  void SetScrollBars(TGScrollStyle style) { scrollBars_->SetStyle(style); }
  QScrollBar* HorizontalScrollBar() const { return scrollBars_->Horizontal(); }
  QScrollBar* VerticalScrollBar() const { return scrollBars_->Vertical(); }

 signals:
  void rotated();
  void panned();
  void zoomed();
  // The painter is on the window, valid only while the signal is delivered (direct connections).
  void afterRender(QPainter* window);
  void layersChanged();
  void progress(int kind, int percent, int count);
  void periodicUpdate();
  // The object is valid only while the signal is delivered.
  void objectClicked(TGMapPoint* object);
  void selectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void InvalidateWindow() override;
  void PaintOverPicture(QPainter& window) override;
  void RotatedEvent() override { emit rotated(); }
  void PannedEvent() override { emit panned(); }
  void ZoomedEvent() override { emit zoomed(); }
  void AfterRenderEvent(QPainter& window) override { emit afterRender(&window); }
  void LayersChangedEvent() override { emit layersChanged(); }
  void ProgressEvent(TGProgressKind kind, int percent, int count) override {
    emit progress(kind, percent, count);
  }
  void PeriodicUpdateEvent() override { emit periodicUpdate(); }

  void ShowPartialPicture(QPainter& window, const QImage& picture) override;
  void ViewChanged() override {
    if (scrollBars_) scrollBars_->Update();
  }

 private:
  void MousePress(QMouseEvent* event, bool doubleClick);

  TGSelection selection_;
  TGMouseActions mouse_;
  TGScrollBars* scrollBars_ = nullptr;
};

}  // namespace umbrivista
