// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The night side of the globe, darkened by the Sun's altitude: untouched where the Sun is up, a
// twilight ramp down to the full shade once the Sun is kTwilightDegrees below the horizon.

#include <cstdint>

#include "globe_frame.h"

namespace umbrivista {

inline constexpr double kTwilightDegrees = 12;
// The share of a pixel's brightness taken away where it is fully night.
inline constexpr double kNightShade = 0.55;

// How much a place is darkened (0 … kNightShade) for the sine of the Sun's altitude there.
double NightShadeFor(double sunAltitudeSine);

// Darkens the globe disc (centre and radius in pixels) in a 32-bit RGB picture of `width` ×
// `height` pixels (row-major, `pixels` may be null): the globe is turned to `view` and the Sun
// stands in the zenith of `sun` (the sub-solar point as a rotation: latitude x, longitude y).
// Pixels outside the disc are left as they are.
void ShadeNightSide(std::uint32_t* pixels, int width, int height, FramePoint centre, double radius,
                    const GlobeRotation& view, const GlobeRotation& sun);

}  // namespace umbrivista
