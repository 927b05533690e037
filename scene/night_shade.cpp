// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "night_shade.h"

#include <algorithm>
#include <cmath>

#include "angles.h"

namespace umbrivista {

double NightShadeFor(double sunAltitudeSine) {
  if (!(sunAltitudeSine < 0)) return 0;
  static const double kTwilightSine = std::sin(kTwilightDegrees * kDegToRad);
  return kNightShade * std::min(1.0, -sunAltitudeSine / kTwilightSine);
}

void ShadeNightSide(std::uint32_t* pixels, int width, int height, FramePoint centre, double radius,
                    const GlobeRotation& view, const GlobeRotation& sun) {
  if (!pixels || width < 1 || height < 1 || !(radius > 0)) return;
  // The Sun's direction in screen axes: x right, y down, z away from the viewer.
  const DiscOffset s = PlaceOnDisc(view, sun.x, sun.y);
  const double sz = std::sqrt(std::max(0.0, 1 - s.x * s.x - s.y * s.y)) * (s.facing ? -1 : 1);
  // With the Sun at the viewer's back of the globe no visible place is dark enough to show.
  const double lowest = -std::sqrt(std::max(0.0, 1 - sz * sz));
  if (sz < 0 && NightShadeFor(lowest) * 255 < 0.5) return;
  const int top = std::max(0, static_cast<int>(std::floor(centre.y - radius)));
  const int bottom = std::min(height - 1, static_cast<int>(std::ceil(centre.y + radius)));
  const int left = std::max(0, static_cast<int>(std::floor(centre.x - radius)));
  const int right = std::min(width - 1, static_cast<int>(std::ceil(centre.x + radius)));
  const double r2 = radius * radius;
  for (int y = top; y <= bottom; ++y) {
    const double dy = y - centre.y;
    std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
    for (int x = left; x <= right; ++x) {
      const double dx = x - centre.x;
      const double c = r2 - dx * dx - dy * dy;
      if (c < 0) continue;
      // The surface normal at this pixel, facing the viewer.
      const double sine = (dx * s.x + dy * s.y - std::sqrt(c) * sz) / radius;
      const double shade = NightShadeFor(sine);
      if (shade <= 0) continue;
      const std::uint32_t p = row[x];
      const double keep = 1 - shade;
      const auto channel = [&](int shift) {
        return static_cast<std::uint32_t>(std::lround(((p >> shift) & 0xFF) * keep)) << shift;
      };
      row[x] = (p & 0xFF000000u) | channel(16) | channel(8) | channel(0);
    }
  }
}

}  // namespace umbrivista
