// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map view of the main window's globe: the whole Earth on a flat map (plate carrée or
// Mercator), with the eclipse's layers (path limits, centre line, capitals, points of interest)
// as on the globe. What the globe's overlay draws belongs to the view along the shadow axis; on
// the map only the shadow's axis point, the sub-solar point and the ring about the point of
// interest are drawn, each where it lies on the map.

#include <optional>
#include <string_view>

#include "language.h"
#include "shadow.h"

class QPainter;

namespace umbrivista {

class TGCustomGlobeView;
class TGProjector;

enum class MapProjection { kMercator, kFlat };

// The projection model's class name of a map projection.
const char* MapProjectionClass(MapProjection projection);
// "mercator" or "flat" (any case); nothing for another text.
std::optional<MapProjection> ParseMapProjection(std::string_view text);

// The central meridian (degrees, a whole number in [−180, 180)) that puts the eclipse in the
// middle of the map: the longitude under the Sun at the record's T0, where the shadow's path runs
// at its greatest eclipse. The path then seldom crosses the map's edge.
double MapCentralMeridian(const ShadowState& stateAtT0);

// Turns the globe into the map: the projection model, the central meridian, and the whole map
// fitted into the globe's surface with its centre at the surface's centre. The rotations that the
// instant sets afterwards leave the map where it is.
void ShowMap(TGCustomGlobeView& globe, MapProjection projection, double centralMeridian);
// Fits the whole map into the globe's surface again (after a resize).
void FitMap(TGCustomGlobeView& globe);
// Back to the globe; the caller sets the frame and the rotations afterwards.
void ShowGlobe(TGCustomGlobeView& globe);
// True while the globe shows a map.
bool ShowsMap(TGCustomGlobeView& globe);

struct MapOverlayInput {
  Language language = kDefaultLanguage;
  InstantResult instant;  // the axis point is drawn while it is on the Earth
  bool showSubSolar = false;
  GeoPosition subSolar;  // radians, east positive
  bool showPoI = false;
  double poiLatitude = 0, poiLongitude = 0;  // degrees, east positive
};

// Draws the markers of the map onto the globe's canvas after its render; a point off the map is
// left out. Leaves the painter's state as it found it.
void DrawMapOverlay(QPainter& painter, const TGProjector& projector, const MapOverlayInput& in);

}  // namespace umbrivista
