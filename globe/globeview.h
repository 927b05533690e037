#pragma once
// TGlobeView: the window control that shows the globe. A change requests a render; the next paint
// renders into the off-screen picture, copies it to the window and then fires OnAfterRender with a
// painter on the window, on which further overlays can be drawn. Every event is also emitted as a
// Qt signal, after its callback.

#include <QWidget>

#include "gcustomglobe.h"
#include "gscrollbars.h"

namespace umbrivista {

class TGlobeView : public QWidget, public TGCustomGlobeView {
  Q_OBJECT

 public:
  explicit TGlobeView(QWidget* parent = nullptr);

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void InvalidateWindow() override;
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
  TGScrollBars* scrollBars_ = nullptr;
};

}  // namespace umbrivista
