// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Globe units, geographic points, colours and the small numeric helpers of the globe engine.
//
// Every position inside the engine is an integer in globe units: 5,400,000 per degree (1,500
// per arc second), longitude east positive in (−180°, +180°], latitude north positive.

#include <cmath>
#include <cstdint>
#include <span>

#include "globe_units.h"  // kGUPerDegree

namespace umbrivista {

inline constexpr std::int32_t kGU90 = 486000000;    // quarter turn, pole latitude
inline constexpr std::int32_t kGU180 = 972000000;   // half turn
inline constexpr std::int32_t kGU360 = 1944000000;  // full turn
inline constexpr double kGlobeUnitsPerRadian = 309397209.37064453276;  // 972,000,000 / π
// Ground distances: the engine measures them on a sphere of 111.19104 km per degree (a radius of
// 6370.777 km, within 0.3 km of the mean Earth radius of 6371 km), so that a size given in
// kilometres, metres or miles becomes globe units with one fixed factor wherever it lies.
inline constexpr double kKilometersPerDegree = 111.19104;
inline constexpr double kGUPerKilometer = kGUPerDegree / kKilometersPerDegree;
// Radius of the drawn globe sphere in globe units: the equatorial radius of 6378.136 km on the
// scale above. The shadow geometry measures in equatorial radii, so the drawn disc is the Earth's
// equatorial outline; it is slightly larger than one radian's worth of globe units.
inline constexpr double kGlobeSphereRadius = 309754584.54206382096;
// Radians per globe unit (π / 972,000,000).
inline constexpr double kRadiansPerGlobeUnit = 3.2320912073969064e-9;

// Angles of the projector's properties, in degrees (80-bit extended on this platform).
using TGDecimalDegree = long double;

struct TGGlobePoint {
  std::int32_t Longitude = 0;  // globe units, east positive
  std::int32_t Latitude = 0;   // globe units, north positive
  std::int32_t Height = 0;     // globe units above the sphere
  bool operator==(const TGGlobePoint&) const = default;
};

// A geographic point with its place on the sphere (globe units; X east at 90°, Y north, Z at
// longitude 0), kept with a map object so that drawing it again needs no sine or cosine. Valid
// for `point` only; a projection that needs it compares the point it is asked for.
struct TGSpherePosition {
  TGGlobePoint point;
  bool valid = false;
  double x = 0, y = 0, z = 0;
};

// The point reported where an unprojection fails.
inline constexpr TGGlobePoint kNoPoint{kGU180, kGU180, 0};

// Rectangle given by its edges (left, top, right, bottom); top holds the smaller latitude.
struct TGExtent {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TGExtent&) const = default;
};

// Geographic rectangle: left longitude, top (least) latitude, width and height in globe units.
// A width of 0 marks an empty rectangle.
struct TGMER {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  bool operator==(const TGMER&) const = default;
};

// The whole world as a rectangle.
inline constexpr TGMER kWorldMER{-kGU180, -kGU90, kGU360, kGU180};

// One step of longitude normalisation into (−180°, +180°]: above 972,000,000 subtract a turn,
// below −971,999,999 add one; anything else unchanged.
constexpr std::int32_t NormalizeLongitudeGU(std::int32_t v) {
  if (v > kGU180) return v - kGU360;
  if (v < -(kGU180 - 1)) return v + kGU360;
  return v;
}

// A degree angle reduced to [−180°, 180°). Unlike a single step, any finite value lands in range.
TGDecimalDegree NormalizeDegree(TGDecimalDegree value);

// The one saturating conversion to int32 of the engine: NaN gives 0, values beyond the int32
// range give INT32_MIN or INT32_MAX, anything else is truncated toward zero. The integer overload
// clamps a 64-bit intermediate the same way.
constexpr std::int32_t SaturateToInt32(double value) {
  if (value > -2147483649.0 && value < 2147483648.0) return static_cast<std::int32_t>(value);
  if (value > 0) return INT32_MAX;
  if (value < 0) return INT32_MIN;
  return 0;
}
constexpr std::int32_t SaturateToInt32(std::int64_t value) {
  return value > INT32_MAX ? INT32_MAX
                           : (value < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(value));
}
// A pixel coordinate moved by the projection origin, saturated.
constexpr std::int32_t AddOrigin(std::int32_t v, std::int32_t origin) {
  return SaturateToInt32(static_cast<std::int64_t>(v) + origin);
}
// Nearest integer, halves to the even neighbour, saturated as above. Every conversion of a
// computed real to an integer in the engine goes through this or TruncToInt.
inline std::int32_t RoundToInt(double value) {
  // Adding and removing 1.5·2^52 rounds to the nearest integer, ties to even; beyond 2^51 every
  // double is an integer already.
  constexpr double kShift = 6755399441055744.0;
  if (std::fabs(value) < 2251799813685248.0) value = (value + kShift) - kShift;
  return SaturateToInt32(value);
}
// Truncation toward zero, saturated.
constexpr std::int32_t TruncToInt(double value) {
  return SaturateToInt32(value);
}
// Degrees to globe units (rounded).
inline std::int32_t DegreesToGU(double degrees) {
  return RoundToInt(degrees * kGUPerDegree);
}
inline double GUToDegrees(std::int32_t gu) {
  return gu / static_cast<double>(kGUPerDegree);
}

// a·b/c rounded half away from zero with a 64-bit intermediate; −1 when c is 0 or the result
// does not fit in 32 bits.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// Bounding rectangle of a point list; a list that lies on both sides of the 180° meridian and is
// narrower the other way round gets a rectangle that runs east across 180°. Empty list: empty.
TGMER PointListMER(std::span<const TGGlobePoint> points);
// The same rectangle from the extremes of a non-empty point list: least and greatest latitude and
// longitude, the smallest longitude of 0 or more and the greatest negative one (when any).
struct TGLongitudeExtremes {
  std::int32_t minLat = 0, maxLat = 0, minLon = 0, maxLon = 0;
  bool haveNonNegative = false, haveNegative = false;
  std::int32_t minNonNegative = 0, maxNegative = 0;
};
TGMER ExtremesMER(const TGLongitudeExtremes& e);
// Smallest rectangle holding both rectangles, going the narrower way round the globe (so that
// rectangles on both sides of 180° give one that runs east across it); an empty rectangle adds
// nothing. A union of 360° or more covers all longitudes from −180°.
TGMER UnionMER(const TGMER& a, const TGMER& b);
// True when two non-empty rectangles share a point; longitudes are compared round the globe.
// A rectangle covers [Left, Left + Width) × [Top, Top + Height).
bool MERIntersects(const TGMER& a, const TGMER& b);

// Colours are $00BBGGRR values (red in the low byte).
using TColor = std::uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGray = 0x808080;

// A TColor as a 32-bit picture pixel 0xFFRRGGBB.
constexpr std::uint32_t ColorToPixel(TColor c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// Units in which sizes are given, in this order.
enum TGUnitTypes : std::uint8_t {
  guDegree,
  guMinute,
  guNauticalMile,
  guKilometer,
  guMile,
  guSecond,
  guThird,
  guHundreth,
  guThousanth,
  guMeter,
  guCentimeter,
  guFathom,
  guYard,
  guFeet,
  guInch,
  guGlobeUnit,
  guPixel,
};

// Globe units per unit; 0 for guPixel, which has no globe size.
double GlobeUnitsPerUnit(TGUnitTypes unit);
// A size n in unit u as pixels at the given scale (pixels per globe unit). Pixel sizes stay as
// they are (renderer and screen resolution are the same here).
std::int32_t UnitsToPixels(double n, TGUnitTypes unit, double scaleFactor);
// A size n in unit u as globe units at the given scale.
std::int32_t UnitsToGlobeUnits(double n, TGUnitTypes unit, double scaleFactor);

}  // namespace umbrivista
