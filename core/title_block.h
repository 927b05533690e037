// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines printed with a picture of the globe: which eclipse, the instant shown with its time
// scale, and a legend of what the picture draws, in the interface language. Drawing them is
// scene/title_block_paint.h's part.

#include <cstdint>
#include <string>
#include <vector>

#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

// What a legend row stands for; the painter gives each its swatch in the globe's own style.
enum class LegendKind : std::uint8_t {
  kCentreLine,
  kCentralLimits,     // limits of the umbral/antumbral path
  kOuterLimits,       // limits of the partial eclipse and the sunrise/sunset curves
  kMagnitudeCircles,  // the overlay's circles of equal magnitude in the penumbra
  kUmbra,             // the overlay's umbra (antumbra) on the fundamental plane
  kAxisTrack,         // the overlay's path of the shadow axis and the penumbral diameter
  kEcliptic,
  kPointOfInterest,
  kListPoints,  // the points chosen from the list
  kCapitals,
};

struct LegendEntry {
  LegendKind kind;
  std::string text;
  bool operator==(const LegendEntry&) const = default;
};

// What the picture shows.
struct TitleBlockInput {
  EclipseRecord record;
  double t = 0;       // hours from T0 (TT)
  bool ut = false;    // the instant in UT (else TT)
  double deltaT = 0;  // seconds; used when ut
  bool backView = false;
  bool limits = true;
  bool overlay = true;
  bool capitals = false;
  bool pointOfInterest = false;
  bool listPoints = false;
  Language language = Language::kEnglish;
};

struct TitleBlock {
  std::string title;  // "Total solar eclipse 2024-04-08": the type and the date of greatest eclipse
  std::string instant;              // "2024-04-08  18:17:16 UT (ΔT 69.2 s)" or "… TT"
  std::vector<LegendEntry> legend;  // only what the picture draws, in drawing order
  bool backView = false;            // the swatches take the back view's colours
};

// The lines for `in`. The date of greatest eclipse is taken in the scale of the instant, so that
// an eclipse late in the evening UT is not named by the next day. The centre line and the limits
// of the central path are listed only for an eclipse that has them; the circles of equal
// magnitude not in the back view (the overlay leaves them out there).
TitleBlock BuildTitleBlock(const TitleBlockInput& in);

}  // namespace umbrivista
