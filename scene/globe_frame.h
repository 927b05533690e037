// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the main window's globe sits in its panel: zooming about a point of the panel, keeping
// the disc within reach while it is dragged, and where a place lies on the screen for the
// globe's orientation. Plain geometry in screen pixels (x right, y down), no widgets.

#include "globe_settings.h"

namespace umbrivista {

struct FramePoint {
  int x = 0;
  int y = 0;
  bool operator==(const FramePoint&) const = default;
};

// The globe disc's radius in pixels at a zoom position (60 … 350).
double DiscRadiusPixels(int zoomPosition);

// The centre that keeps the globe point under `pointer` where it is when the disc's radius
// changes from `oldRadius` to `newRadius` pixels: screen offsets from the centre scale with the
// radius. Rounded to whole pixels, so the point moves by half a pixel at most.
FramePoint ZoomCentreAbout(FramePoint centre, FramePoint pointer, double oldRadius,
                           double newRadius);

// The area (square pixels) of the disc of `radius` about `centre` that lies inside a
// `width` × `height` panel.
double DiscAreaInPanel(FramePoint centre, double radius, int width, int height);

// The least disc area a panel must keep in view: a quarter of the disc, or, while the disc is
// larger than the panel can show, a quarter of what it shows of a disc centred in it.
double LeastDiscAreaInView(double radius, int width, int height);

// Where a drag from `from` towards `to` may take the disc's centre: `to` itself when enough of
// the disc stays in view, else as far along each axis (x first, then y) as it can go without
// leaving less than LeastDiscAreaInView. A disc already out of reach (a stored frame, a smaller
// panel) may still be moved back into view, never further away. A panel without a size
// (width or height below 1) limits nothing.
FramePoint KeepDiscInReach(FramePoint from, FramePoint to, double radius, int width, int height);

// Where a place (degrees, north and east positive) lies on a globe turned to `rotation`: its
// offset from the disc's centre in disc radii (x right, y down), and whether it faces the viewer.
struct DiscOffset {
  double x = 0;
  double y = 0;
  bool facing = false;
};
DiscOffset PlaceOnDisc(const GlobeRotation& rotation, double latitude, double longitude);

}  // namespace umbrivista
