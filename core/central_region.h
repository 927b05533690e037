// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The region of the Earth that sees the central phase (total or annular) of an eclipse, and the
// splitting of map geometry at the 180° meridian, in the form map files want (RFC 7946): longitudes
// in [−180, 180], rings closed and counter-clockwise around their inside (holes clockwise), a
// region that contains a pole bounded along that pole's parallel, and every piece that crosses the
// 180° meridian cut there into pieces that meet on it.

#include <vector>

#include "eclipse_record.h"
#include "path_limits.h"

namespace umbrivista {

using GeoRing = std::vector<GeoPoint>;      // closed: the last point repeats the first
using GeoPolygon = std::vector<GeoRing>;    // the outer ring, then any holes

// Every place at sea level that sees the umbra or antumbra with the Sun's centre above the
// geometric horizon, with ΔT seconds turning the Earth: the union of the shadow's footprints swept
// over the eclipse. Where only one limit of the path reaches the Earth, or none (an eclipse whose
// shadow axis misses the Earth), the region is closed along the sunrise or sunset edge. Empty when
// the shadow misses the Earth.
std::vector<GeoPolygon> CentralRegion(const EclipseRecord& record, double deltaT);

// Where ΔT is uncertain: every place that sees the central phase for some ΔT in
// [lowest, highest] (seconds), in the same form. A change of ΔT only turns the Earth, so this is
// the region of the middle ΔT swept along the parallels by half the range's turn either way.
std::vector<GeoPolygon> CentralBand(const EclipseRecord& record, double lowest, double highest);

// A line cut where it crosses the 180° meridian: each piece ends on ±180° at the latitude where
// the step crosses it, the next begins on the other side. Steps are taken as the shorter way round.
std::vector<std::vector<GeoPoint>> SplitAtAntimeridian(const std::vector<GeoPoint>& line);

}  // namespace umbrivista
