// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four map layers of the main window's globe, each rebuilt from scratch when its content may
// have changed: the centre line of the eclipse, the capitals, the single point of interest and
// the points chosen from the list. They live in the globe's scratch database.

#include <QUuid>

#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "eclipse_record.h"
#include "gunits.h"
#include "map_mark.h"

namespace umbrivista {

class TGCustomGlobeView;
class TGLayer;
class TGSpatialDatabase;

inline constexpr const char* kCentreLineLayer = "CenterLine Layer";
inline constexpr const char* kCapitalsLayer = "Cities Layer";
inline constexpr const char* kPoILayer = "PoI Layer";
inline constexpr const char* kPoIListLayer = "PoIs Layer";
inline constexpr const char* kPathLimitsLayer = "Path Limits Layer";
inline constexpr const char* kDeltaTBandLayer = "DeltaT Band Layer";

// How the layers draw (colours $00BBGGRR, sizes in pixels); the legend of a printed picture
// shows the same. By day the centre line and the limits of the central path are yellow.
inline constexpr TColor kNightCentreLine = 0x000080;   // dark red, the back view's centre line
inline constexpr TColor kNightUmbralLimit = 0x008080;  // olive
inline constexpr TColor kOuterLimit = 0xC8C8C8;        // light grey, dashed, one pixel
inline constexpr TColor kDeltaTBand = 0x00A5FF;       // orange, translucent, no edge
inline constexpr std::uint8_t kDeltaTBandAlpha = 80;
inline constexpr int kCentreLinePixels = 3;
inline constexpr int kUmbralLimitPixels = 2;
inline constexpr int kPoIPixels = 9;      // magenta dots with a white rim
// The points of interest have a colour of their own, apart from the red of the shadow's marks.
inline constexpr TColor kPoIColor = 0xFF00FF;  // magenta
// Lines get a thin edge that sets them off from any texture: dark under light lines, light under
// the dark ones of the back view.
inline constexpr TColor kDarkEdge = 0x000000;
inline constexpr TColor kLightEdge = 0xE0E0E0;
inline constexpr int kEdgePixels = 1;
inline constexpr int kCapitalPixels = 5;  // black squares with a white rim

class SceneLayers {
 public:
  // The globe must show `database` (TGCustomGlobeView::SetSpatialDatabase). Without a database
  // (nullptr) every rebuild does nothing.
  SceneLayers(TGCustomGlobeView& globe, TGSpatialDatabase* database);

  // Yellow road three pixels wide (dark red in the back view) along the centre line; empty for an
  // eclipse without one. `deltaT` seconds turn the Earth as for the display. The layer lies under
  // the capitals and the points of interest.
  void RebuildCentreLine(const EclipseRecord& record, double deltaT, bool backView);
  // The limits of the central path (yellow, two pixels, olive in the back view) and of the partial
  // eclipse with the rise/set curves (light grey, dashed); an empty layer when `shown` is false.
  // Each piece of a limit is its own line.
  void RebuildPathLimits(const EclipseRecord& record, double deltaT, bool backView, bool shown);
  // Where the central path lies for ΔT over [lowest, highest] seconds: translucent orange, under
  // every other layer; an empty layer without a range.
  void RebuildDeltaTBand(const EclipseRecord& record, std::optional<std::pair<double, double>> range);
  // Small black squares with white halo titles: the built-in capitals.
  void RebuildCapitals();
  void ClearCapitals();
  // One magenta dot titled "PoI".
  void RebuildPoI(double latitude, double longitude);
  void ClearPoI();
  // Magenta dots with halo titles, one per mark.
  void RebuildPoIList(const std::vector<MapMark>& marks);

  // The layer of that name in the globe, or nullptr.
  TGLayer* Find(const char* name) const;
  // Objects in the layer of that name (0 when it does not exist).
  int ObjectCount(const char* name) const;

 private:
  TGLayer* Layer(const char* name);
  void AddPoints(TGLayer& layer, int presenterId, const std::vector<MapMark>& marks);
  // An open line through `points`, drawn by presenter `presenterId`.
  void AddPolyline(TGLayer& layer, int presenterId, std::vector<TGGlobePoint> points);

  TGCustomGlobeView& globe_;
  TGSpatialDatabase* database_;
  QUuid centreLineGuid_;
};

}  // namespace umbrivista
