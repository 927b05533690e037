// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gselection.h"

#include <algorithm>
#include <cmath>

#include "gcustomglobe.h"
#include "gglobecontext.h"
#include "glayer.h"
#include "gprojector.h"
#include "grenderer.h"

namespace umbrivista {

namespace {

double SegmentDistance2(QPoint a, QPoint b, QPoint p) {
  const double ax = a.x(), ay = a.y();
  const double dx = b.x() - ax, dy = b.y() - ay;
  const double px = p.x() - ax, py = p.y() - ay;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? (px * dx + py * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = px - t * dx, ey = py - t * dy;
  return ex * ex + ey * ey;
}

}  // namespace

void ProjectChains(TGGlobeContext& globe, const TGChainStore& chains, bool closed,
                   std::vector<std::vector<QPoint>>& parts) {
  TGProjector& prj = globe.Projector();
  TGCustomProjectionModel& model = prj.Model();
  const QPoint* points = globe.Renderer().Points();
  if (closed && prj.IsSeamless()) {
    for (const TGPointStore& chain : chains) {
      if (chain.Hidden || chain.Points.empty()) continue;
      const int n = model.PointStoreToXY(chain.Points, 0);
      if (n > 0) parts.emplace_back(points, points + n);
    }
    return;
  }
  const std::int32_t cm = DegreesToGU(static_cast<double>(prj.CentralMeridian()));
  std::vector<std::vector<TGGlobePoint>> pieces;
  for (const TGPointStore& chain : chains) {
    if (chain.Hidden || chain.Points.empty()) continue;
    pieces.clear();
    CutChainAtSeam(chain.Points, cm, pieces);
    if (closed) {
      int n = 0;
      for (const auto& piece : pieces) n = model.PointStoreToXY(piece, n);
      if (n > 0) parts.emplace_back(points, points + n);
      continue;
    }
    for (const auto& piece : pieces) {
      std::vector<QPoint> run;
      for (const TGGlobePoint& p : piece) {
        if (model.PointLLToXY(p, 0)) {
          run.push_back(points[0]);
          continue;
        }
        if (run.size() >= 2) parts.push_back(std::move(run));
        run.clear();
      }
      if (run.size() >= 2) parts.push_back(std::move(run));
    }
  }
}

bool PartsNear(const std::vector<std::vector<QPoint>>& parts, bool closed, QPoint at,
               double reach) {
  const double reach2 = reach * reach;
  for (const auto& part : parts) {
    if (part.empty()) continue;
    if (part.size() == 1 && SegmentDistance2(part[0], part[0], at) <= reach2) return true;
    for (std::size_t i = 1; i < part.size(); ++i) {
      if (SegmentDistance2(part[i - 1], part[i], at) <= reach2) return true;
    }
    if (closed && part.size() > 2 && SegmentDistance2(part.back(), part.front(), at) <= reach2)
      return true;
  }
  return false;
}

bool PartsContain(const std::vector<std::vector<QPoint>>& parts, QPoint at) {
  // Crossings of a ray from the pixel's centre towards +x; an odd count is inside.
  const double x = at.x() + 0.5, y = at.y() + 0.5;
  bool inside = false;
  for (const auto& part : parts) {
    const std::size_t n = part.size();
    if (n < 3) continue;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
      const double yi = part[i].y(), yj = part[j].y();
      if ((yi > y) == (yj > y)) continue;
      const double xi = part[i].x(), xj = part[j].x();
      if (x < xi + (y - yi) * (xj - xi) / (yj - yi)) inside = !inside;
    }
  }
  return inside;
}

bool DefaultHitTest(TGGlobeContext& globe, TGMapPoint& object, QPoint at, int tolerance) {
  if (object.IsPoly()) {
    auto& poly = static_cast<TGMapPoly&>(object);
    std::vector<std::vector<QPoint>> parts;
    ProjectChains(globe, poly.Chains(), poly.Closed(), parts);
    if (poly.Closed() && PartsContain(parts, at)) return true;
    return PartsNear(parts, poly.Closed(), at, tolerance + 0.5);
  }
  // Drawn as a circle of radius 3 about the centroid.
  QPoint p;
  if (!globe.Projector().LLToXY(object.Centroid(), p)) return false;
  const double dx = at.x() - p.x(), dy = at.y() - p.y();
  const double reach = 3.0 + tolerance;
  return dx * dx + dy * dy <= reach * reach;
}

namespace {

TGHit TopHit(TGLayer& layer, QPoint at, int tolerance, const TGMER& extent,
             const TGLayerFilter& accept) {
  if (!layer.Enabled || !layer.VisibleAtZoom()) return {};
  // Sub-layers are drawn after the layer's own objects, the last one on top.
  for (int i = layer.Layers().Count() - 1; i >= 0; --i) {
    if (TGHit hit = TopHit(layer.Layers().GetLayer(i), at, tolerance, extent, accept)) return hit;
  }
  if (!layer.HasObjectSource() || (accept && !accept(layer))) return {};
  if (auto object = layer.HitTest(at, tolerance, extent)) return {&layer, std::move(object)};
  return {};
}

}  // namespace

TGHit GlobeHitTest(TGCustomGlobeView& globe, QPoint at, int tolerance,
                   const TGLayerFilter& accept) {
  return TopHit(globe.RootLayer(), at, tolerance, globe.VisibleExtent(), accept);
}

// ---------------------------------------------------------------------------------------------
// TGSelection

void TGSelection::Prune() {
  std::erase_if(objects_, [](const auto& o) { return o->Owner() == nullptr; });
}

const std::vector<std::shared_ptr<TGMapPoint>>& TGSelection::Objects() {
  Prune();
  return objects_;
}

int TGSelection::Count() {
  return static_cast<int>(Objects().size());
}

bool TGSelection::Contains(const TGMapPoint& object) {
  const auto& list = Objects();
  return std::any_of(list.begin(), list.end(), [&](const auto& o) { return o.get() == &object; });
}

bool TGSelection::Add(const std::shared_ptr<TGMapPoint>& object) {
  if (!object || !object->Owner() || Contains(*object)) return false;
  objects_.push_back(object);
  object->SetSelected(true);
  object->NotifyOwner();
  return true;
}

bool TGSelection::Remove(const TGMapPoint& object) {
  Prune();
  const auto at = std::find_if(objects_.begin(), objects_.end(),
                               [&](const auto& o) { return o.get() == &object; });
  if (at == objects_.end()) return false;
  const std::shared_ptr<TGMapPoint> removed = *at;
  objects_.erase(at);
  removed->SetSelected(false);
  removed->NotifyOwner();
  return true;
}

bool TGSelection::Toggle(const std::shared_ptr<TGMapPoint>& object) {
  if (!object) return false;
  return Contains(*object) ? Remove(*object) : Add(object);
}

bool TGSelection::Clear() {
  Prune();
  if (objects_.empty()) return false;
  const auto removed = std::move(objects_);
  objects_.clear();
  for (const auto& o : removed) {
    o->SetSelected(false);
    o->NotifyOwner();
  }
  return true;
}

}  // namespace umbrivista
