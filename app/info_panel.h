// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the main window's information panel: the TT/UT check box, the date/time line, the
// window caption and the 21 rows of the element grid.

#include <array>
#include <string>

#include "captions.h"
#include "eclipse_date.h"
#include "eclipse_record.h"
#include "shadow.h"

namespace umbrivista {

// "TT", or "UT (DeltaT = 71.8 secs)" with the seconds unit of the language; ΔT has no decimals
// before 1900 and one from 1900 on.
std::string DeltaTCaption(bool ut, double deltaTSeconds, int year, Language language);

// The caption base, the date/time line and the long type name, joined by " – ".
std::string WindowCaption(const std::string& captionBase, const std::string& dateTimeLine,
                          int typeCode, Language language);

// One row of the element grid: label, value and unit.
struct InfoRow {
  std::string label;
  std::string value;
  std::string unit;
  bool operator==(const InfoRow&) const = default;
};
inline constexpr int kInfoRowCount = 21;
using InfoRows = std::array<InfoRow, kInfoRowCount>;

// The grid for an instant: rows 0–9 the time offset, the elements and gamma; row 10 ζ; row 11 the
// umbral diameter on the fundamental plane at the surface; row 12 empty; rows 13–20 the axis point
// (kind of the central eclipse, longitude, latitude, duration, path width, Sun altitude and
// azimuth, local time), empty while the axis misses the Earth. `state` and `instant` are the
// results of UpdateInstant at the displayed instant.
InfoRows BuildInfoRows(const EclipseRecord& record, const ShadowState& state,
                       const InstantResult& instant, bool backView, Language language);

// The grid's hint: how its angles count, the Sun's azimuth at the axis point from the south
// (unlike the point-of-interest panel, which counts from the north as published tables do).
std::string InfoGridHint(Language language);

}  // namespace umbrivista
