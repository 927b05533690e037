// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single point of interest of the main window: its typed coordinates and the two distance
// labels.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "language.h"
#include "shadow.h"

namespace umbrivista {

inline constexpr double kMaxPoILatitude = 90;
inline constexpr double kMaxPoILongitude = 180;

// The unsigned degrees typed into a coordinate box (already trimmed): an empty text is 0; a text
// that is not a "." decimal number, a negative value or one above `limit` gives nullopt (the box
// is then emptied).
std::optional<double> ParseCoordinateText(std::string_view text, double limit);

// Blanks and tabs cut from both ends.
std::string TrimmedText(std::string_view text);

// The two distance labels: "Dist. to shadow axis: 1234.5 km" and, while the axis meets the Earth,
// "Dist. to max. eclipse: 567.8 km" (else empty). Both are empty when the point is not shown.
std::pair<std::string, std::string> PoIDistanceLabels(const PoIDistances& distances,
                                                      bool axisOnEarth, bool shown,
                                                      Language language);

}  // namespace umbrivista
