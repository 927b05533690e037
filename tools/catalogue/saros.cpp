// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#include "saros.h"

#include <cmath>

namespace umbrivista {

namespace catalogue_tool {

namespace {

constexpr std::int64_t kInex = 358, kSaros = 223;
// 358·38 + 223·(−61) = 1
constexpr std::int64_t kInexInverse = 38, kSarosInverse = -61;
static_assert(kInex * kInexInverse + kSaros * kSarosInverse == 1);

constexpr double kLineOffset = -10.15, kLineSlope = -0.0962;

}  // namespace

SarosPosition DecomposeLunation(Lunation k) {
  const std::int64_t n = k - kSarosAnchorLunation;
  std::int64_t inex = kInexInverse * n;
  std::int64_t saros = kSarosInverse * n;
  // Moving by m changes (I, J) by (223·m, −358·m) and J's distance from the line by
  // −(358 + 223·slope)·m.
  const double off =
      static_cast<double>(saros) - (kLineOffset + kLineSlope * static_cast<double>(inex));
  const auto m = static_cast<std::int64_t>(std::llround(off / (kInex + kSaros * kLineSlope)));
  inex += kSaros * m;
  saros -= kInex * m;
  return {inex, saros};
}

Lunation LunationOf(SarosPosition p) {
  return kSarosAnchorLunation + kInex * p.inex + kSaros * p.saros;
}

}  // namespace catalogue_tool

}  // namespace umbrivista
