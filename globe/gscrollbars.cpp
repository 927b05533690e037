// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gscrollbars.h"

#include <QEvent>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>

#include "gcustomglobe.h"

namespace umbrivista {

namespace {

int ClampToInt(double v) {
  if (!(v > INT_MIN)) return INT_MIN;
  if (!(v < INT_MAX)) return INT_MAX;
  return static_cast<int>(v);
}

}  // namespace

TGScrollAxis ScrollAxisFor(double low, double high, std::int32_t origin, int client) {
  TGScrollAxis a;
  const double edge = -static_cast<double>(origin);
  // The map's edges to the nearest pixel: a disc that just fits has nothing to scroll.
  const double lo = std::min(std::round(low), edge);
  const double hi = std::max(std::round(high) - client, edge);
  a.minimum = ClampToInt(lo);
  a.maximum = ClampToInt(hi);
  a.value = std::clamp(ClampToInt(edge), a.minimum, a.maximum);
  a.pageStep = std::max(client, 1);
  a.needed = a.maximum > a.minimum;
  return a;
}

TGScrollBars::TGScrollBars(QWidget& view, TGCustomGlobeView& globe)
    : QObject(&view), view_(view), globe_(globe) {
  horizontal_ = new QScrollBar(Qt::Horizontal, &view);
  vertical_ = new QScrollBar(Qt::Vertical, &view);
  horizontal_->setObjectName("GlobeScrollBarH");
  vertical_->setObjectName("GlobeScrollBarV");
  corner_ = new QWidget(&view);
  corner_->setObjectName("GlobeScrollCorner");
  corner_->setAutoFillBackground(true);
  corner_->setBackgroundRole(QPalette::Window);
  corner_->hide();
  for (QScrollBar* bar : {horizontal_.data(), vertical_.data()}) {
    bar->hide();
    bar->setCursor(Qt::ArrowCursor);
  }
  connect(horizontal_, &QScrollBar::valueChanged, this, [this](int v) { Scrolled(true, v); });
  connect(vertical_, &QScrollBar::valueChanged, this, [this](int v) { Scrolled(false, v); });
  view.installEventFilter(this);
}

void TGScrollBars::SetStyle(TGScrollStyle style) {
  if (style == style_) return;
  style_ = style;
  Update();
}

void TGScrollBars::Update() {
  if (updating_ || !horizontal_ || !vertical_) return;
  if (style_ == ssNone && horizontal_->isHidden() && vertical_->isHidden()) return;
  updating_ = true;
  const int w = globe_.ClientWidth(), h = globe_.ClientHeight();
  TGProjector& prj = globe_.Projector();
  const TGExtent e = prj.ModelExtent();
  const double s = static_cast<double>(prj.ScaleFactor());
  // Screen y grows downward while latitude grows upward.
  const TGScrollAxis ax = ScrollAxisFor(e.Left * s, e.Right * s, prj.XOrigin(), w);
  const TGScrollAxis ay = ScrollAxisFor(-static_cast<double>(e.Bottom) * s,
                                        -static_cast<double>(e.Top) * s, prj.YOrigin(), h);
  auto apply = [](QScrollBar& bar, const TGScrollAxis& a, bool wanted) {
    bar.setRange(a.minimum, a.maximum);
    bar.setPageStep(a.pageStep);
    bar.setSingleStep(std::max(a.pageStep / 20, 1));
    bar.setValue(a.value);
    bar.setVisible(wanted && a.needed);
  };
  apply(*horizontal_, ax, style_ == ssHorizontal || style_ == ssBoth);
  apply(*vertical_, ay, style_ == ssVertical || style_ == ssBoth);
  Place();
  updating_ = false;
}

void TGScrollBars::Place() {
  const int w = view_.width(), h = view_.height();
  const int bh = horizontal_->sizeHint().height();
  const int vw = vertical_->sizeHint().width();
  const int corner = horizontal_->isVisibleTo(&view_) && vertical_->isVisibleTo(&view_);
  horizontal_->setGeometry(0, h - bh, std::max(w - (corner ? vw : 0), 0), bh);
  vertical_->setGeometry(w - vw, 0, vw, std::max(h - (corner ? bh : 0), 0));
  if (!corner_) return;
  corner_->setGeometry(w - vw, h - bh, vw, bh);
  corner_->setVisible(corner);
}

void TGScrollBars::Scrolled(bool horizontal, int value) {
  if (updating_) return;
  TGProjector& prj = globe_.Projector();
  if (horizontal) {
    prj.SetXOrigin(-value);
  } else {
    prj.SetYOrigin(-value);
  }
  Update();
}

bool TGScrollBars::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &view_ && event->type() == QEvent::Resize) Place();
  return QObject::eventFilter(watched, event);
}

}  // namespace umbrivista
