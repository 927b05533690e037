// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gchains.h"

#include <cstdlib>

namespace umbrivista {

namespace {

// A longitude relative to the central meridian, in (−180°, +180°].
std::int64_t Relative(std::int32_t lon, std::int32_t centralMeridian) {
  std::int64_t r = static_cast<std::int64_t>(lon) - centralMeridian;
  while (r > kGU180) r -= kGU360;
  while (r <= -kGU180) r += kGU360;
  return r;
}

std::int32_t Absolute(std::int64_t relative, std::int32_t centralMeridian) {
  std::int64_t a = relative + centralMeridian;
  while (a > kGU180) a -= kGU360;
  while (a <= -kGU180) a += kGU360;
  return static_cast<std::int32_t>(a);
}

}  // namespace

void CutChainAtSeam(const std::vector<TGGlobePoint>& chain, std::int32_t centralMeridian,
                    std::vector<std::vector<TGGlobePoint>>& pieces) {
  if (chain.empty()) return;
  pieces.emplace_back();
  pieces.back().push_back(chain[0]);
  for (std::size_t i = 1; i < chain.size(); ++i) {
    const TGGlobePoint& a = chain[i - 1];
    const TGGlobePoint& b = chain[i];
    const std::int64_t ra = Relative(a.Longitude, centralMeridian);
    const std::int64_t rb = Relative(b.Longitude, centralMeridian);
    if (std::llabs(ra - rb) > kGU180) {
      const double da = static_cast<double>(kGU180 - std::llabs(ra));
      const double db = static_cast<double>(kGU180 - std::llabs(rb));
      const double f = da + db > 0 ? da / (da + db) : 0.5;
      const std::int32_t lat =
          RoundToInt(a.Latitude + f * (static_cast<double>(b.Latitude) - a.Latitude));
      const std::int32_t h = RoundToInt(a.Height + f * (static_cast<double>(b.Height) - a.Height));
      const std::int64_t side = ra > 0 ? kGU180 - 1 : -(kGU180 - 1);
      pieces.back().push_back({Absolute(side, centralMeridian), lat, h});
      pieces.emplace_back();
      pieces.back().push_back({Absolute(-side, centralMeridian), lat, h});
    }
    pieces.back().push_back(b);
  }
}

}  // namespace umbrivista
