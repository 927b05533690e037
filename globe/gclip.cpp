// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Clipping of polygons (Sutherland–Hodgman) and polylines (Liang–Barsky) to a pixel rectangle.

#include "gclip.h"

#include <QPointF>
#include <algorithm>

#include "gunits.h"

namespace umbrivista {

namespace {

struct ClipBox {
  double l, t, r, b;
};

QPoint RoundPoint(double x, double y) {
  return QPoint(RoundToInt(x), RoundToInt(y));
}

}  // namespace

void ClipPolygon(const QPoint* points, int count, const QRect& bounds, std::vector<QPoint>& out) {
  thread_local std::vector<QPointF> a, b;
  a.assign(points, points + count);
  const ClipBox box{static_cast<double>(bounds.left()), static_cast<double>(bounds.top()),
                    static_cast<double>(bounds.right()), static_cast<double>(bounds.bottom())};
  // Edge k: 0 left, 1 right, 2 top, 3 bottom.
  auto inside = [&](const QPointF& p, int k) {
    switch (k) {
      case 0:
        return p.x() >= box.l;
      case 1:
        return p.x() <= box.r;
      case 2:
        return p.y() >= box.t;
      default:
        return p.y() <= box.b;
    }
  };
  auto cross = [&](const QPointF& p, const QPointF& q, int k) {
    if (k < 2) {
      const double x = k == 0 ? box.l : box.r;
      const double t = (x - p.x()) / (q.x() - p.x());
      return QPointF(x, p.y() + t * (q.y() - p.y()));
    }
    const double y = k == 2 ? box.t : box.b;
    const double t = (y - p.y()) / (q.y() - p.y());
    return QPointF(p.x() + t * (q.x() - p.x()), y);
  };
  for (int k = 0; k < 4 && !a.empty(); ++k) {
    b.clear();
    for (std::size_t i = 0; i < a.size(); ++i) {
      const QPointF& cur = a[i];
      const QPointF& prev = a[(i + a.size() - 1) % a.size()];
      const bool ci = inside(cur, k), pi = inside(prev, k);
      if (ci) {
        if (!pi) b.push_back(cross(prev, cur, k));
        b.push_back(cur);
      } else if (pi) {
        b.push_back(cross(prev, cur, k));
      }
    }
    std::swap(a, b);
  }
  for (const QPointF& p : a) {
    const QPoint q = RoundPoint(p.x(), p.y());
    if (out.empty() || out.back() != q) out.push_back(q);
  }
}

void ClipPolyline(const QPoint* points, int count, const QRect& bounds, std::vector<QPoint>& out,
                  std::vector<int>& counts) {
  const ClipBox box{static_cast<double>(bounds.left()), static_cast<double>(bounds.top()),
                    static_cast<double>(bounds.right()), static_cast<double>(bounds.bottom())};
  std::size_t pieceStart = out.size();
  bool open = false;  // a piece is being extended
  auto finish = [&]() {
    const int n = static_cast<int>(out.size() - pieceStart);
    if (n >= 2) {
      counts.push_back(n);
    } else {
      out.resize(pieceStart);
    }
    pieceStart = out.size();
    open = false;
  };
  for (int i = 0; i + 1 < count; ++i) {
    const double x0 = points[i].x(), y0 = points[i].y();
    const double dx = points[i + 1].x() - x0, dy = points[i + 1].y() - y0;
    // Liang–Barsky.
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - box.l, box.r - x0, y0 - box.t, box.b - y0};
    bool visible = true;
    for (int k = 0; k < 4 && visible; ++k) {
      if (p[k] == 0) {
        if (q[k] < 0) visible = false;
      } else {
        const double t = q[k] / p[k];
        if (p[k] < 0) {
          if (t > t1)
            visible = false;
          else if (t > t0)
            t0 = t;
        } else {
          if (t < t0)
            visible = false;
          else if (t < t1)
            t1 = t;
        }
      }
    }
    if (!visible) {
      if (open) finish();
      continue;
    }
    const QPoint a = t0 == 0 ? points[i] : RoundPoint(x0 + t0 * dx, y0 + t0 * dy);
    const QPoint b = t1 == 1 ? points[i + 1] : RoundPoint(x0 + t1 * dx, y0 + t1 * dy);
    if (!open || t0 > 0) {
      if (open) finish();
      out.push_back(a);
      open = true;
    }
    if (out.back() != b) out.push_back(b);
    if (t1 < 1) finish();
  }
  if (open) finish();
}

}  // namespace umbrivista
