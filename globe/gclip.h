// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Clipping of screen polygons and polylines to a pixel rectangle (edges included).

#include <QPoint>
#include <QRect>
#include <vector>

namespace umbrivista {

// Sutherland–Hodgman clip of a closed polygon to `bounds`; the result is appended to `out`.
void ClipPolygon(const QPoint* points, int count, const QRect& bounds, std::vector<QPoint>& out);
// Clips an open polyline to `bounds`; each inside piece is appended to `out` with its point count
// in `counts` (pieces of fewer than 2 points are dropped).
void ClipPolyline(const QPoint* points, int count, const QRect& bounds, std::vector<QPoint>& out,
                  std::vector<int>& counts);

}  // namespace umbrivista
