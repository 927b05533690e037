// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once
// Saros series in van den Bergh's numbering. A lunation n lunations after the anchor eclipse of
// 2024-04-08 (Saros 139) is written n = 358·I + 223·J: I counts inex steps (one series each),
// J saros steps (one member each). Of the many such pairs the one nearest the line
// J = −10.15 − 0.0962·I is taken; that line runs through the middle of the series.

#include <cstdint>

#include "eclipse_search.h"

namespace umbrivista {

namespace catalogue_tool {

inline constexpr Lunation kSarosAnchorLunation = 300;  // the new moon of 2024-04-08
inline constexpr int kSarosAnchorSeries = 139;

struct SarosPosition {
  std::int64_t inex = 0;   // I: the series is kSarosAnchorSeries + I
  std::int64_t saros = 0;  // J: steps of 223 lunations within the series

  int Series() const { return kSarosAnchorSeries + static_cast<int>(inex); }
  bool operator==(const SarosPosition&) const = default;
};

SarosPosition DecomposeLunation(Lunation k);
Lunation LunationOf(SarosPosition position);

}  // namespace catalogue_tool

}  // namespace umbrivista
