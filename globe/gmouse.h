// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The globe's own mouse actions, each bound to a mouse button (or to none, which switches it
// off): the zoom box, the rotate drag and selecting by clicking. The window hands its button
// events over; the actions work on the globe's projector and selection.
//
// A press with Shift, Alt or Ctrl, or the press of a double click, starts nothing. The zoom
// button drags a box, shown as a focus rectangle; on release a box under 10 pixels in either
// direction is dropped, one dragged right-to-left or bottom-to-top halves the scale, any other
// is zoomed into so that it fills the picture. The rotate button grabs the geographic point
// under the pointer and turns the globe so that the point follows the pointer. A click (a
// release close to where the button went down) with the select button toggles the object under
// the pointer in the selection, after clearing the selection unless multi-select is on; a left
// click reports the object under the pointer.

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <memory>

#include "gunits.h"

namespace umbrivista {

class TGCustomGlobeView;
class TGMapPoint;
class TGSelection;

enum TGMouseButton : std::uint8_t { mzbLeft, mzbRight, mzbMiddle, mzbNone };

// Pixels a zoom box must span in both directions to be zoomed into.
inline constexpr int kMinZoomBoxPixels = 10;
// Pixels the pointer may move between press and release for the release to count as a click.
inline constexpr int kClickSlop = 4;

class TGMouseActions {
 public:
  TGMouseActions(TGCustomGlobeView& globe, TGSelection& selection);

  TGMouseButton ZoomButton = mzbRight;
  TGMouseButton SelectButton = mzbLeft;
  TGMouseButton RotateButton = mzbLeft;
  // Clicking adds to or takes from the selection instead of replacing it.
  bool MultiSelect = false;

  // What a release did.
  struct Release {
    bool zoomed = false;
    bool selectionChanged = false;
    // The object under the pointer at a left click, else null.
    std::shared_ptr<TGMapPoint> clicked;
  };

  // `modified`: Shift, Alt or Ctrl was held; `doubleClick`: the press of a double click.
  void Press(TGMouseButton button, QPoint at, bool modified, bool doubleClick);
  // True when the window must be painted again (the zoom box moved).
  bool Move(QPoint at);
  Release Up(TGMouseButton button, QPoint at);
  // Ends whatever a press started, without effect (the window lost the mouse).
  void Cancel();

  bool ZoomBoxActive() const { return zooming_; }
  // The zoom box in window pixels (normalised).
  QRect ZoomBox() const;
  bool Rotating() const { return rotating_; }

 private:
  void FinishZoomBox(QPoint at, Release& result);
  void RotateTo(QPoint at);

  TGCustomGlobeView& globe_;
  TGSelection& selection_;
  bool pressed_ = false;
  TGMouseButton button_ = mzbNone;
  QPoint down_;
  QPoint current_;
  bool moved_ = false;
  bool zooming_ = false;
  bool rotating_ = false;
  TGGlobePoint grabbed_{};
};

}  // namespace umbrivista
