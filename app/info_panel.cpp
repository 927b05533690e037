// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "info_panel.h"

#include <cmath>
#include <cstdio>

#include "angles.h"
#include "eclipse_date.h"
#include "eclipse_types.h"
#include "julian_day.h"
#include "numbers.h"
#include "string_table.h"

namespace umbrivista {

namespace {

constexpr const char* kSeparator = kCaptionSeparator;

}  // namespace

std::string DeltaTCaption(bool ut, double deltaTSeconds, int year, Language language) {
  if (!ut) return "TT";
  return std::string(TimeScaleName(true, language)) + " (DeltaT = " +
         DeltaTSecondsText(deltaTSeconds, year) +
         StringItem(Text::kSecondsUnit, language) + ")";
}

std::string WindowCaption(const std::string& captionBase, const std::string& dateTimeLine,
                          int typeCode, Language language) {
  return captionBase + kSeparator + dateTimeLine + kSeparator + LongTypeName(typeCode, language);
}

InfoRows BuildInfoRows(const EclipseRecord& record, const ShadowState& state,
                       const InstantResult& instant, bool backView, Language language) {
  const std::string radii = StringItem(Text::kEarthRadii, language);
  const std::string degrees = " \u00b0";
  InfoRows rows;
  rows[0] = {" T-T0", FormatFixed(state.t, 4), StringItem(Text::kHoursUnit, language)};
  rows[1] = {" BElm.x", FormatFixed(state.x, 4), radii};
  rows[2] = {" BElm.y", FormatFixed(state.y, 4), radii};
  rows[3] = {" BElm.d", FormatFixed(state.d * kRadToDeg, 1), degrees};
  rows[4] = {" BElm.M", FormatFixed(state.mu * kRadToDeg, 1), degrees};
  rows[5] = {" BElm.L1", FormatFixed(state.l1, 4), radii};
  rows[6] = {" BElm.L2", FormatFixed(state.l2, 4), radii};
  rows[7] = {" BElm.tanf1", FormatFixed(state.tanF1, 5), " "};
  rows[8] = {" BElm.tanf2", FormatFixed(state.tanF2, 5), " "};
  rows[9] = {" Gamma", FormatFixed(record.gamma, 4), radii};
  rows[10] = {" zeta", FormatFixed(state.zeta, 4), radii};
  // The umbral diameter where the axis meets the surface, in single precision like the elements.
  const float r2 = state.l2 - static_cast<float>(state.zeta) * state.tanF2;
  rows[11] = {StringItem(Text::kUmbralDiameter, language),
              FormatFixed(std::fabs(r2) * kEarthDiameterKm, 1), " km"};
  if (!instant.onEarth) return rows;
  const AxisPoint& p = instant.point;
  const AxisQuantities& q = instant.quantities;
  rows[13] = {StringItem(Text::kCentreLine, language),
              CentreLineTypeText(state.zeta, state.l2, state.tanF2, backView, language),
              StringItem(Text::kEclipseWord, language)};
  rows[14] = {StringItem(Text::kLongitude, language), FormatFixed(p.longitude * kRadToDeg, 3),
              degrees};
  rows[15] = {StringItem(Text::kLatitude, language), FormatFixed(p.latitude * kRadToDeg, 3),
              degrees};
  rows[16] = {StringItem(Text::kDuration, language), FormatMinSec(1, q.durationSeconds / 3600),
              " min:sec"};
  rows[17] = {StringItem(Text::kPathWidth, language), FormatFixed(q.pathWidthKm, 1), " km"};
  rows[18] = {StringItem(Text::kSunAltitude, language), FormatFixed(q.sunAltitude * kRadToDeg, 1),
              degrees};
  rows[19] = {StringItem(Text::kSunAzimuth, language), FormatFixed(q.sunAzimuth * kRadToDeg, 1),
              degrees};
  rows[20] = {StringItem(Text::kLocalTime, language), FormatMinSec(0, q.localSolarTime / 60), " h"};
  return rows;
}

std::string InfoGridHint(Language language) {
  switch (language) {
    case Language::kGerman:
      return "Sonnenazimut am Achsenpunkt von Süd gezählt, positiv nach West";
    case Language::kEnglish:
      return "Sun azimuth at the axis point counted from south, positive towards west";
    case Language::kFrench:
      return "Azimut du soleil au point de l'axe compté depuis le sud, positif vers l'ouest";
  }
  return "";
}

}  // namespace umbrivista
