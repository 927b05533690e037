// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The overlay that the main window's globe paints after every render: the Besselian fundamental
// plane seen along the shadow axis, with the ecliptic, the penumbral circles of equal magnitude,
// the umbral disc, a penumbral diameter across the motion, the axis track over ±10 h and the
// sub-solar marker.
//
// The globe is turned so that the viewer looks along the shadow axis with north up, so the plane
// point (x, y) in Earth radii lies on the screen at (cx + x·k, cy − y·k). In the back view the
// viewer looks from the night side and the plane's x is mirrored.
//
// The geometry is worked out by Qt-free functions (LayoutOverlay and its helpers); DrawOverlay only
// paints what they give.

#include <array>
#include <cstdint>

#include "eclipse_record.h"
#include "language.h"
#include "shadow.h"

class QPainter;

namespace umbrivista {

struct OverlayInput {
  EclipseRecord record;
  ShadowState state;     // after UpdateInstant(record, t, backView, state)
  double julianDay = 0;  // of the instant: UT while UT is shown, else TT
  bool backView = false;
  bool showSubSolar = false;
  Language language = kDefaultLanguage;
  int cx = 0, cy = 0;  // globe centre on the screen, pixels
  double k = 0;        // pixels per Earth radius
  // The point of interest, ringed over everything else (its ring leaves what lies under it in
  // view), while it is shown and faces the viewer.
  bool showPoI = false;
  int poiX = 0, poiY = 0;  // screen pixels
};

// The Sun's apparent right ascension for a Julian day, radians in [0, 2π); NaN for a non-finite
// day.
// Low-precision solar coordinates (J. Meeus, Astronomical Algorithms, 2nd ed., ch. 25): geometric
// mean longitude and mean anomaly, equation of the centre, nutation and aberration as
// −0.00569° − 0.00478°·sin Ω (Ω the longitude of the Moon's ascending node), mean obliquity of
// date. About 0.01° accuracy against the full theory.
double SunRightAscension(double julianDay);

// The tilt of the ecliptic against the fundamental plane's x axis as seen from the Sun, radians:
// cos α · 23.44° with α the Sun's apparent right ascension at `julianDay`. Positive near the March
// equinox, negative near the September equinox, near zero at the solstices.
double EclipticAngle(double julianDay);

// The umbra's fill, $00BBGGRR (dark red); the circles of equal magnitude, the penumbral diameter
// and the axis track are red, one pixel, the ecliptic white, two pixels. Every line has a black
// edge of kOverlayEdgePixels on each side, so that it reads on light textures too.
inline constexpr std::uint32_t kUmbraColor = 0x0000C0;
inline constexpr int kOverlayEdgePixels = 1;
// The ring about the point of interest: radius and line width in pixels, magenta.
inline constexpr int kPoIRingRadius = 8;
inline constexpr int kPoIRingPixels = 2;
inline constexpr std::uint32_t kPoIRingColor = 0xFF00FF;

// Draws the overlay onto `painter` (the globe's canvas after its render). Leaves the painter's
// state as it found it and requests nothing of the globe.
void DrawOverlay(QPainter& painter, const OverlayInput& in);

// The sub-solar marker (a yellow cross with its two label lines) and the ring about the point of
// interest, each centred at pixel (x, y), as the overlay draws them.
void DrawSubSolarMarker(QPainter& painter, int x, int y, Language language);
void DrawPoIRing(QPainter& painter, int x, int y);

// ---- Geometry ------------------------------------------------------------------------------

struct PlanePoint {
  double x = 0;
  double y = 0;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool finite = true;  // false when the plane point or the scale was not a finite number
  bool operator==(const ScreenPoint&) const = default;
};

// Screen positions are clamped to ±this many pixels, far beyond any canvas, so that absurd scales
// neither overflow nor make the painter stroke enormous shapes.
inline constexpr int kOverlayCoordinateLimit = 1 << 16;

// Screen pixel of plane point p: (cx + p.x·k, cy − p.y·k), each coordinate rounded to the nearest
// integer (halves to even) and clamped to ±kOverlayCoordinateLimit. A non-finite result is marked
// `finite = false` (its coordinates are then meaningless).
ScreenPoint PlaneToScreen(PlanePoint p, int cx, int cy, double k);

// Top-left corner of a text of `width` × `height` pixels centred at `centre` (halves truncated
// towards zero).
ScreenPoint CentredTextTopLeft(ScreenPoint centre, int width, int height);

// Top-left corner of a `width` × `height` label moved as little as needed to lie wholly inside an
// `areaWidth` × `areaHeight` picture, so that a label near the edge is not cut; a label that misses
// the picture altogether stays where it is (its line is not in view either).
ScreenPoint TextBoxInside(ScreenPoint topLeft, int width, int height, int areaWidth,
                          int areaHeight);

// Distance from the shadow axis on the fundamental plane (Earth radii) at which the eclipse has
// magnitude m, for penumbral radius l1 and umbral radius l2: (l1 + l2)·(1 − m) − l2.
double EqualMagnitudeRadius(double l1, double l2, double magnitude);

// Umbral radius on the plane through the axis point, l2 − ζ·tan f2 (single precision, like the
// elements): negative for a total eclipse. With the axis off the Earth ζ is 0 and this is l2.
float UmbralRadiusAtSurface(const ShadowState& state);

// Plane positions of the shadow axis at the whole hours t = −10 … +10 from T0, evaluated from the
// record's cubic coefficients in double precision; x mirrored in the back view.
inline constexpr int kTrackPointCount = 21;
std::array<PlanePoint, kTrackPointCount> AxisTrack(const EclipseRecord& record, bool backView);

struct ScreenSegment {
  ScreenPoint from;
  ScreenPoint to;
};
// A circle's bounding box on the screen: the screen points of its plane box's corners.
struct ScreenCircle {
  ScreenPoint topLeft;
  ScreenPoint bottomRight;
};

inline constexpr int kMagnitudeCircleCount = 4;
inline constexpr double kCircleMagnitudes[kMagnitudeCircleCount] = {0.00, 0.25, 0.50, 0.75};
inline constexpr const char* kCircleLabels[kMagnitudeCircleCount] = {"0.00", "0.25", "0.50",
                                                                     "0.75"};

// Everything the overlay draws, in screen pixels, in drawing order.
struct OverlayLayout {
  double eclipticAngle = 0;  // as drawn: negated in the back view
  // From four Earth radii out to the limb, left and right of the Earth.
  ScreenSegment ecliptic[2];
  ScreenPoint eclipticLabelCentre;  // just left of the limb on the line
  bool magnitudeCircles = false;    // false in the back view
  ScreenCircle circles[kMagnitudeCircleCount];
  ScreenPoint circleLabelCentres[kMagnitudeCircleCount];
  ScreenCircle umbra;
  ScreenSegment penumbralDiameter;  // through the shadow centre, across the motion
  std::array<ScreenPoint, kTrackPointCount> track;
  ScreenPoint trackLabelAnchor;  // both lines of the track label are centred on it
  ScreenPoint marker;            // the sub-solar (back view: anti-sub-solar) point
};

OverlayLayout LayoutOverlay(const OverlayInput& in);

}  // namespace umbrivista
