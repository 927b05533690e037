// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Sun's and the Moon's discs as an observer sees them at the contacts and at greatest
// eclipse: a plane in solar radii centred on the Sun, the zenith up and y growing downwards (as
// on a screen), with the north point, the contact point and the horizon.

#include <string>
#include <vector>

#include "eclipse_record.h"
#include "language.h"
#include "local_circumstances.h"

namespace umbrivista {

struct DiscFrame {
  ContactIndex slot = kC1;
  double time = 0;  // hours from T0, TT
  // The Moon's centre and radius in solar radii; the Sun has radius 1 around (0, 0).
  double moonX = 0, moonY = 0;
  double moonRadius = 0;
  // Unit vector from the Sun's centre towards its north point.
  double northX = 0, northY = -1;
  // The point where the rims touch; none at greatest eclipse.
  bool hasContact = false;
  double contactX = 0, contactY = 0;
  // How far below the Sun's centre the horizon lies, in solar radii, from the geometric altitude
  // (negative when the horizon lies above it); limited to ±kFarHorizon.
  double horizonOffset = 0;
  double altitude = 0;        // the Sun's geometric altitude, radians
  bool belowHorizon = false;  // geometric altitude below 0, as the reports count an instant
};

// Beyond this many solar radii the horizon is far outside any picture of the discs.
inline constexpr double kFarHorizon = 1000;

struct DiscSketch {
  EclipseKind kind = EclipseKind::kPartial;
  std::vector<DiscFrame> frames;  // in the order C1, C2, greatest eclipse, C3, C4
};

// A frame for each computed contact and greatest eclipse; a slot whose values are not finite, or
// whose Moon has no positive size, is left out.
DiscSketch BuildDiscSketch(const LocalCircumstances& lc);

// The sketch of what a place sees: `latitude` and `longitude` in degrees, north and east
// positive, `heightMetres` above sea level, `deltaT` in seconds. No frames where the Moon's
// penumbra misses the place or its circumstances could not be computed.
DiscSketch PlaceDiscSketch(const EclipseRecord& record, double deltaT, double latitude,
                           double longitude, int heightMetres = 0);

// The lines under each frame, joined by '\n': the contact's name and its time "hh:mm:ss UT" (or
// TT when not `ut`), then the Sun's geometric altitude with one decimal ("Alt. 12.3°").
// `deltaT` in seconds converts TT to UT.
std::vector<std::string> DiscSketchCaptions(const DiscSketch& sketch, const EclipseRecord& record,
                                            double deltaT, bool ut, Language language);

}  // namespace umbrivista
