// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scroll bars of the globe control. They lie over the right and bottom edges of the picture and
// show where the client lies on the whole map (the model's extent at the current scale, widened
// to take in the client when the view has been moved beyond it). A bar is shown only while there
// is something to scroll; moving it moves the projection centre, as dragging the globe would.

#include <QObject>
#include <QPointer>
#include <QScrollBar>
#include <cstdint>

#include "gunits.h"

class QWidget;

namespace umbrivista {

enum TGScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// One scroll bar's state, in pixels: the value is the client edge's place relative to the
// projection centre.
struct TGScrollAxis {
  bool needed = false;
  int minimum = 0;
  int maximum = 0;
  int pageStep = 0;
  int value = 0;
};

// A bar along one axis: the model reaches from `low` to `high` pixels from the projection centre
// (at the current scale), the centre lies at pixel `origin` of a client `client` pixels long.
// The range always contains the client's place, so that a view moved off the map can be brought
// back; the map's edges go to the nearest pixel and the numbers are cut to the int range.
TGScrollAxis ScrollAxisFor(double low, double high, std::int32_t origin, int client);

class TGCustomGlobeView;

class TGScrollBars : public QObject {
  Q_OBJECT

 public:
  // Bars over `view`, which is also the globe whose view they show.
  TGScrollBars(QWidget& view, TGCustomGlobeView& globe);

  TGScrollStyle Style() const { return style_; }
  void SetStyle(TGScrollStyle style);
  // Brings both bars in line with the projector and the client size.
  void Update();
  QScrollBar* Horizontal() const { return horizontal_; }
  QScrollBar* Vertical() const { return vertical_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place();
  void Scrolled(bool horizontal, int value);

  QWidget& view_;
  TGCustomGlobeView& globe_;
  QPointer<QScrollBar> horizontal_;
  QPointer<QScrollBar> vertical_;
  // Fills the square between the two bars, where the map would show through.
  QPointer<QWidget> corner_;
  TGScrollStyle style_ = ssBoth;
  bool updating_ = false;
};

}  // namespace umbrivista
