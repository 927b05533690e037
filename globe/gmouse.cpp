// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gmouse.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gcustomglobe.h"
#include "gprojector.h"
#include "gselection.h"

namespace umbrivista {

TGMouseActions::TGMouseActions(TGCustomGlobeView& globe, TGSelection& selection)
    : globe_(globe), selection_(selection) {}

void TGMouseActions::Press(TGMouseButton button, QPoint at, bool modified, bool doubleClick) {
  // One action at a time: a second button pressed during a drag is ignored.
  if (pressed_ || button == mzbNone || modified || doubleClick) return;
  pressed_ = true;
  button_ = button;
  down_ = current_ = at;
  moved_ = false;
  if (button == ZoomButton) {
    zooming_ = true;
  } else if (button == RotateButton) {
    rotating_ = globe_.Projector().XYToLL(at.x(), at.y(), grabbed_);
  }
}

bool TGMouseActions::Move(QPoint at) {
  if (!pressed_) return false;
  current_ = at;
  if (std::abs(at.x() - down_.x()) > kClickSlop || std::abs(at.y() - down_.y()) > kClickSlop)
    moved_ = true;
  if (zooming_) return true;
  if (rotating_) RotateTo(at);
  return false;
}

void TGMouseActions::RotateTo(QPoint at) {
  TGProjector& prj = globe_.Projector();
  TGGlobePoint now;
  if (!prj.XYToLL(at.x(), at.y(), now)) return;
  const TGDecimalDegree dLat = GUToDegrees(grabbed_.Latitude - now.Latitude);
  TGDecimalDegree dLon = GUToDegrees(grabbed_.Longitude) - GUToDegrees(now.Longitude);
  if (dLon >= 180) {
    dLon -= 360;
  } else if (dLon < -180) {
    dLon += 360;
  }
  if (dLat == 0 && dLon == 0) return;
  if (globe_.PeriodicUpdateTime > 0) globe_.RequestRestart();
  prj.SetXRotation(prj.XRotation() + dLat);
  prj.SetYRotation(prj.YRotation() + dLon);
}

QRect TGMouseActions::ZoomBox() const {
  return QRect(down_, current_).normalized();
}

void TGMouseActions::FinishZoomBox(QPoint at, Release& result) {
  zooming_ = false;
  const int dx = at.x() - down_.x(), dy = at.y() - down_.y();
  if (std::abs(dx) < kMinZoomBoxPixels || std::abs(dy) < kMinZoomBoxPixels) return;
  TGProjector& prj = globe_.Projector();
  const long double scale = prj.ScaleFactor();
  if (dx < 0 || dy < 0) {
    prj.SetScaleFactor(scale / 2);
    result.zoomed = true;
    return;
  }
  // The box's centre goes to the middle of the picture, then the scale grows about it until the
  // box fills the picture.
  const int w = globe_.ClientWidth(), h = globe_.ClientHeight();
  const long double ratio = std::min(static_cast<long double>(w) / std::abs(dx),
                                     static_cast<long double>(h) / std::abs(dy));
  const QPoint middle(w / 2, h / 2);
  const QPoint centre(down_.x() + dx / 2, down_.y() + dy / 2);
  prj.SetXYOrigin(QPoint(prj.XOrigin(), prj.YOrigin()) + middle - centre);
  prj.SetScaleFactor(std::min<long double>(scale * ratio, 1));
  result.zoomed = true;
}

TGMouseActions::Release TGMouseActions::Up(TGMouseButton button, QPoint at) {
  Release result;
  if (!pressed_ || button != button_) return result;
  Move(at);
  pressed_ = false;
  rotating_ = false;
  if (zooming_) FinishZoomBox(at, result);
  if (moved_ || result.zoomed) return result;
  const bool select = button == SelectButton;
  const bool left = button == mzbLeft;
  if (!select && !left) return result;
  TGHit hit = GlobeHitTest(globe_, at);
  if (select) {
    const std::vector<std::shared_ptr<TGMapPoint>> before = selection_.Objects();
    if (!MultiSelect) selection_.Clear();
    if (hit) selection_.Toggle(hit.object);
    result.selectionChanged = selection_.Objects() != before;
    if (result.selectionChanged) globe_.RequestRender();
  }
  if (left) result.clicked = std::move(hit.object);
  return result;
}

void TGMouseActions::Cancel() {
  pressed_ = zooming_ = rotating_ = false;
}

}  // namespace umbrivista
