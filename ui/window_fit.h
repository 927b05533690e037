// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a window goes on its screen, without Qt: its outer rectangle (frame and title bar
// included) made to fit the screen's free area.

#include <algorithm>

namespace umbrivista {

struct ScreenBox {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const ScreenBox&, const ScreenBox&) = default;
};

// The frame `frame` fitted into `area`: shrunk to the area where larger (never below the least
// frame size `minWidth` × `minHeight`), then moved inside it. A frame that cannot fit even at its
// least size keeps its left and top edges, title bar included, on the area.
inline ScreenBox FitFrame(ScreenBox frame, const ScreenBox& area, int minWidth, int minHeight) {
  frame.width = std::max(std::min(frame.width, area.width), std::min(minWidth, frame.width));
  frame.height = std::max(std::min(frame.height, area.height), std::min(minHeight, frame.height));
  frame.left = std::max(area.left, std::min(frame.left, area.left + area.width - frame.width));
  frame.top = std::max(area.top, std::min(frame.top, area.top + area.height - frame.height));
  return frame;
}

// Whether `frame` lies wholly inside `area`.
inline bool Inside(const ScreenBox& frame, const ScreenBox& area) {
  return frame.left >= area.left && frame.top >= area.top &&
         frame.left + frame.width <= area.left + area.width &&
         frame.top + frame.height <= area.top + area.height;
}

}  // namespace umbrivista
