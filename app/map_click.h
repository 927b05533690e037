// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a click on a place of the main globe shows: a capital's name, or a point of interest's
// name with what it sees of the eclipse.

#include <string>
#include <vector>

#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

enum class ClickedPlaceKind { kCapital, kPoI };

// `title` is the place's title on the globe; `latitude`, `longitude` its position in degrees
// (north and east positive). A capital gives one line, its name with its country (when the
// built-in table has a capital of that title there); a point of interest its name, then its
// local circumstances for `record` in UT when `ut`, else TT.
std::vector<std::string> ClickedPlaceLines(ClickedPlaceKind kind, const std::string& title,
                                           double latitude, double longitude,
                                           const EclipseRecord& record, bool ut,
                                           Language language);

}  // namespace umbrivista
