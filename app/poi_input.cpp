// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi_input.h"

#include <cmath>

#include "numbers.h"
#include "string_table.h"

namespace umbrivista {

std::string TrimmedText(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

std::optional<double> ParseCoordinateText(std::string_view text, double limit) {
  if (text.empty()) return 0.0;
  const std::optional<double> value = ParseReal(text);
  if (!value || !std::isfinite(*value) || *value < 0 || *value > limit) return std::nullopt;
  return *value;
}

std::pair<std::string, std::string> PoIDistanceLabels(const PoIDistances& distances,
                                                      bool axisOnEarth, bool shown,
                                                      Language language) {
  if (!shown) return {};
  std::pair<std::string, std::string> labels;
  labels.first = StringItem(Text::kDistanceToAxis, language) + ": " +
                 FormatFixed(distances.toShadowAxisKm, 1) + " km";
  if (axisOnEarth) {
    labels.second = StringItem(Text::kDistanceToMaximum, language) + ": " +
                    FormatFixed(distances.toAxisPointKm, 1) + " km";
  }
  return labels;
}

}  // namespace umbrivista
