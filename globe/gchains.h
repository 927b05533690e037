// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Chains of geographic points: the outlines of polylines, polygons and graticule lines.

#include <vector>

#include "gunits.h"

namespace umbrivista {

struct TGPointStore {
  std::vector<TGGlobePoint> Points;
  bool Hidden = false;
};

using TGChainStore = std::vector<TGPointStore>;

// Cuts a chain where it crosses the seam meridian (the central meridian + 180°, `seam` in globe
// units): a crossing ends the current piece with an interpolated point on its side of the seam
// and starts the next piece with one on the other side. Each piece is appended to `pieces`.
void CutChainAtSeam(const std::vector<TGGlobePoint>& chain, std::int32_t centralMeridian,
                    std::vector<std::vector<TGGlobePoint>>& pieces);

}  // namespace umbrivista
