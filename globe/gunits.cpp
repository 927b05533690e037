// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gunits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace umbrivista {

TGDecimalDegree NormalizeDegree(TGDecimalDegree value) {
  if (!std::isfinite(value)) return value;
  if (value >= -180 && value < 180) return value;
  TGDecimalDegree r = std::fmod(value + 180, TGDecimalDegree(360));
  if (r < 0) r += 360;
  r -= 180;
  // fmod of a value a hair below a multiple of 360 can round up to the top of the range.
  if (r >= 180) r -= 360;
  return r;
}

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  const std::int64_t ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
  std::int64_t q = (std::abs(p) + ac / 2) / ac;
  if ((p < 0) != (c < 0)) q = -q;
  if (q > std::numeric_limits<std::int32_t>::max() || q < std::numeric_limits<std::int32_t>::min())
    return -1;
  return static_cast<std::int32_t>(q);
}

TGMER PointListMER(std::span<const TGGlobePoint> points) {
  if (points.empty()) return {};
  TGLongitudeExtremes e;
  e.minLat = e.maxLat = points[0].Latitude;
  e.minLon = e.maxLon = points[0].Longitude;
  for (const auto& p : points) {
    e.minLat = std::min(e.minLat, p.Latitude);
    e.maxLat = std::max(e.maxLat, p.Latitude);
    e.minLon = std::min(e.minLon, p.Longitude);
    e.maxLon = std::max(e.maxLon, p.Longitude);
    if (p.Longitude >= 0) {
      e.minNonNegative = e.haveNonNegative ? std::min(e.minNonNegative, p.Longitude) : p.Longitude;
      e.haveNonNegative = true;
    } else {
      e.maxNegative = e.haveNegative ? std::max(e.maxNegative, p.Longitude) : p.Longitude;
      e.haveNegative = true;
    }
  }
  return ExtremesMER(e);
}

TGMER ExtremesMER(const TGLongitudeExtremes& e) {
  TGMER r;
  r.Top = e.minLat;
  r.Height = static_cast<std::int32_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(e.maxLat) - e.minLat + 1,
                             std::numeric_limits<std::int32_t>::max()));
  const std::int64_t direct = static_cast<std::int64_t>(e.maxLon) - e.minLon;
  const std::int64_t wrapped = (static_cast<std::int64_t>(e.maxNegative) + kGU180) +
                               (static_cast<std::int64_t>(kGU180) - e.minNonNegative);
  std::int64_t width;
  if (!e.haveNonNegative || !e.haveNegative || wrapped >= direct) {
    r.Left = e.minLon;
    width = direct + 1;
  } else {
    r.Left = e.minNonNegative;
    width = wrapped + 1;
  }
  r.Width = static_cast<std::int32_t>(
      std::min<std::int64_t>(width, std::numeric_limits<std::int32_t>::max()));
  return r;
}

TGMER UnionMER(const TGMER& a, const TGMER& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  TGMER r;
  const std::int64_t top = std::min(a.Top, b.Top);
  const std::int64_t bottom = std::max<std::int64_t>(static_cast<std::int64_t>(a.Top) + a.Height,
                                                     static_cast<std::int64_t>(b.Top) + b.Height);
  r.Top = static_cast<std::int32_t>(top);
  r.Height = static_cast<std::int32_t>(std::min<std::int64_t>(bottom - top, INT32_MAX));
  // Starting at one rectangle's left edge, the other one's span shifted to lie east of it.
  auto span = [](const TGMER& from, const TGMER& other) {
    std::int64_t left = other.Left;
    while (left < from.Left) left += kGU360;
    while (left >= static_cast<std::int64_t>(from.Left) + kGU360) left -= kGU360;
    return std::max<std::int64_t>(static_cast<std::int64_t>(from.Width),
                                  left - from.Left + other.Width);
  };
  const std::int64_t fromA = span(a, b), fromB = span(b, a);
  const std::int64_t width = std::min(fromA, fromB);
  if (width >= kGU360) {
    r.Left = -kGU180;
    r.Width = kGU360;
    return r;
  }
  r.Left = NormalizeLongitudeGU(fromA <= fromB ? a.Left : b.Left);
  r.Width = static_cast<std::int32_t>(width);
  return r;
}

bool MERIntersects(const TGMER& a, const TGMER& b) {
  if (a.Empty() || b.Empty()) return false;
  const std::int64_t aTop = a.Top, aBottom = aTop + a.Height;
  const std::int64_t bTop = b.Top, bBottom = bTop + b.Height;
  if (aBottom <= bTop || bBottom <= aTop) return false;
  if (a.Width >= kGU360 || b.Width >= kGU360) return true;
  const std::int64_t aLeft = a.Left, aRight = aLeft + a.Width;
  for (const std::int64_t shift :
       {-static_cast<std::int64_t>(kGU360), std::int64_t{0}, static_cast<std::int64_t>(kGU360)}) {
    const std::int64_t bLeft = b.Left + shift, bRight = bLeft + b.Width;
    if (aLeft < bRight && bLeft < aRight) return true;
  }
  return false;
}

double GlobeUnitsPerUnit(TGUnitTypes unit) {
  constexpr double kPerDegree = kGUPerDegree;
  switch (unit) {
    case guDegree:
      return kPerDegree;
    case guMinute:  // a nautical mile is one arc minute
    case guNauticalMile:
      return kPerDegree / 60;
    case guKilometer:
      return kGUPerKilometer;
    case guMile:  // international mile, 1.609344 km (5,280 of the feet below)
      return 78157.89483968144;
    case guSecond:
      return kPerDegree / 3600;
    case guThird:
      return 250.0;
    case guHundreth:  // of an arc second
      return kPerDegree / 360000;
    case guThousanth:
      return 1.0;
    case guMeter:
      return kPerDegree / 111191.04;  // metres per degree
    case guCentimeter:
      return kGUPerKilometer * 1e-5;
    // 1.8288 m, 0.9144 m, 0.3048 m and 0.0254 m, each to nine digits.
    case guFathom:
      return 88.8157895905471;
    case guYard:
      return 44.40789479527355;
    case guFeet:
      return 14.802631598424515;
    case guInch:
      return 1.233552633202043;
    case guGlobeUnit:
      return 1.0;
    case guPixel:
      return 0.0;
  }
  return 0.0;
}

std::int32_t UnitsToPixels(double n, TGUnitTypes unit, double scaleFactor) {
  if (unit == guPixel) return RoundToInt(n);
  return RoundToInt(RoundToInt(n * GlobeUnitsPerUnit(unit)) * scaleFactor);
}

std::int32_t UnitsToGlobeUnits(double n, TGUnitTypes unit, double scaleFactor) {
  if (unit == guPixel) return scaleFactor > 0 ? RoundToInt(n / scaleFactor) : 0;
  return RoundToInt(n * GlobeUnitsPerUnit(unit));
}

}  // namespace umbrivista
