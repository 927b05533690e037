#pragma once
// TGlobeView: the window control that shows the globe. A change requests a render; the next paint
// renders into the off-screen picture, copies it to the window and then fires OnAfterRender with a
// painter on the window, on which further overlays can be drawn.

#include <QWidget>

#include "gcustomglobe.h"

namespace umbrivista {

class TGlobeView : public QWidget, public TGCustomGlobeView {
  Q_OBJECT

 public:
  explicit TGlobeView(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void InvalidateWindow() override;
};

}  // namespace umbrivista
