// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the map object under a pixel, and the globe's list of selected objects.
//
// A hit test asks the presenters that draw an object whether the pixel lies on what they drew:
// a point symbol by its size, a line within a few pixels of its stroke, a polygon by its inside
// (or its outline). Layers are searched from the one drawn last to the one drawn first, so that
// the object on top is found.

#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

#include "gchains.h"
#include "gmapobjects.h"
#include "gunits.h"

namespace umbrivista {

class TGCustomGlobeView;
class TGGlobeContext;
class TGLayer;

// Pixels around a click within which a thin line or a small symbol still counts as hit.
inline constexpr int kHitTolerance = 3;

// The outlines of chains on the picture as the globe's chain drawing draws them: for closed
// chains one part per chain (on the globe with far-side points moved onto the limb), for open
// chains one part per run of visible points (runs of fewer than 2 points are left out).
void ProjectChains(TGGlobeContext& globe, const TGChainStore& chains, bool closed,
                   std::vector<std::vector<QPoint>>& parts);
// True when `at` lies within `reach` pixels of a segment of the parts (closed parts also of
// the segment from the last point back to the first).
bool PartsNear(const std::vector<std::vector<QPoint>>& parts, bool closed, QPoint at,
               double reach);
// True when `at` lies inside the closed parts, filled alternately (a part inside another is a
// hole), as the polygons are filled.
bool PartsContain(const std::vector<std::vector<QPoint>>& parts, QPoint at);

// Hit test of an object drawn without a presenter (a small circle at a point's centroid, a
// poly's chains with a one-pixel pen).
bool DefaultHitTest(TGGlobeContext& globe, TGMapPoint& object, QPoint at, int tolerance);

struct TGHit {
  TGLayer* layer = nullptr;
  std::shared_ptr<TGMapPoint> object;
  explicit operator bool() const { return object != nullptr; }
};

// Which layers a hit test looks at (besides being shown and selectable).
using TGLayerFilter = std::function<bool(const TGLayer&)>;

// The object drawn on top at pixel `at` of the globe's last picture, with its layer; none when
// no shown, selectable layer (that `accept` accepts, when given) has an object there.
TGHit GlobeHitTest(TGCustomGlobeView& globe, QPoint at, int tolerance = kHitTolerance,
                   const TGLayerFilter& accept = nullptr);

// The selected objects, in the order they were selected. Selecting sets the object's Selected
// flag (drawn with the selected pen and brush) and tells its source; objects that have left
// their source (a cleared layer) drop out of the list.
class TGSelection {
 public:
  TGSelection() = default;
  TGSelection(const TGSelection&) = delete;
  TGSelection& operator=(const TGSelection&) = delete;

  const std::vector<std::shared_ptr<TGMapPoint>>& Objects();
  int Count();
  bool Contains(const TGMapPoint& object);
  // Each returns true when the selection changed. An object in no source cannot be selected.
  bool Add(const std::shared_ptr<TGMapPoint>& object);
  bool Remove(const TGMapPoint& object);
  bool Toggle(const std::shared_ptr<TGMapPoint>& object);
  bool Clear();

 private:
  void Prune();
  std::vector<std::shared_ptr<TGMapPoint>> objects_;
};

}  // namespace umbrivista
