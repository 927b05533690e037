// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cmath>

#include "angles.h"
#include "gattributes.h"
#include "gunits.h"
#include "string_table.h"

namespace umbrivista {

namespace {

// Tilt of the ecliptic against the equator used for the overlay's ecliptic line, degrees.
constexpr double kEclipticTiltDeg = 23.44;

// Plane distance beyond the axis point (in x) at which the track label sits, Earth radii.
constexpr double kTrackLabelOffset = 1.4;
// Plane x of the ecliptic label and of the ecliptic line's outer ends, Earth radii.
constexpr double kEclipticLabelX = 1.15;
constexpr double kEclipticOuterX = 4;
// The magnitude labels sit on their circles this far (radians) counter-clockwise from the
// direction opposite to the motion.
constexpr double kCircleLabelTurn = 0.8;


// 9 pt and 11 pt at the canvas's 96 dpi.
constexpr int kLabelPixels = 12;
constexpr int kMarkerLabelPixels = 15;
constexpr const char* kFontFamily = "Liberation Sans";

int ClampedCoordinate(double v) {
  // RoundToInt saturates (NaN gives 0); the clamp keeps the painter within reasonable bounds.
  return std::clamp(RoundToInt(v), -kOverlayCoordinateLimit, kOverlayCoordinateLimit);
}

ScreenCircle CircleOnScreen(double x, double y, double radius, int cx, int cy, double k) {
  const double r = std::fabs(radius);
  return {PlaneToScreen({x - r, y + r}, cx, cy, k), PlaneToScreen({x + r, y - r}, cx, cy, k)};
}

QPen Pen(TColor color, int width) {
  return QPen(QBrush(ToQColor(color)), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont LabelFont(int pixels) {
  QFont font(QString::fromLatin1(kFontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  return font;
}

void DrawSegment(QPainter& painter, const ScreenSegment& s) {
  if (!s.from.finite || !s.to.finite) return;
  painter.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
}

void DrawCircle(QPainter& painter, const ScreenCircle& c) {
  if (!c.topLeft.finite || !c.bottomRight.finite) return;
  painter.drawEllipse(QRectF(c.topLeft.x, c.topLeft.y, c.bottomRight.x - c.topLeft.x,
                             c.bottomRight.y - c.topLeft.y));
}

// Text with its top-left corner at (left, top) in `color`; on a black box when `opaque`.
void TextOut(QPainter& painter, int left, int top, const QString& text, TColor color, bool opaque) {
  const QFontMetrics metrics = painter.fontMetrics();
  if (opaque) {
    painter.fillRect(left, top, metrics.horizontalAdvance(text), metrics.height(), Qt::black);
  }
  painter.setPen(ToQColor(color));
  painter.drawText(left, top + metrics.ascent(), text);
}

// Where a label of `width` × `height` with its top-left corner at `topLeft` is drawn on the
// painter's picture.
ScreenPoint InsidePicture(const QPainter& painter, ScreenPoint topLeft, int width, int height) {
  const QPaintDevice* device = painter.device();
  if (!device) return topLeft;
  return TextBoxInside(topLeft, width, height, device->width(), device->height());
}

void TextCentredAt(QPainter& painter, ScreenPoint centre, const QString& text, TColor color,
                   bool opaque) {
  if (!centre.finite) return;
  const QFontMetrics metrics = painter.fontMetrics();
  const int width = metrics.horizontalAdvance(text), height = metrics.height();
  const ScreenPoint topLeft =
      InsidePicture(painter, CentredTextTopLeft(centre, width, height), width, height);
  TextOut(painter, topLeft.x, topLeft.y, text, color, opaque);
}

QString TableText(Text text, Language language) {
  return QString::fromStdString(StringItem(text, language));
}

// The sub-solar marker at `centre`: a cross with a one-pixel black shadow and the two label
// lines below it.
void DrawMarker(QPainter& painter, ScreenPoint centre, bool backView, Language language) {
  const TColor color = backView ? clRed : clYellow;
  const int cx = centre.x, cy = centre.y;
  painter.setPen(Pen(clBlack, 2));
  painter.drawLine(cx - 6, cy - 1, cx + 6, cy - 1);
  painter.drawLine(cx + 1, cy - 6, cx + 1, cy + 5);
  painter.setPen(Pen(color, 2));
  painter.drawLine(cx - 6, cy, cx + 5, cy);
  painter.drawLine(cx, cy - 6, cx, cy + 5);

  painter.setFont(LabelFont(kMarkerLabelPixels));
  const QString first =
      TableText(backView ? Text::kAntiSubSolarLabelFirst : Text::kSubSolarLabelFirst, language);
  const QString second =
      TableText(backView ? Text::kAntiSubSolarLabelSecond : Text::kSubSolarLabelSecond, language);
  const QFontMetrics metrics = painter.fontMetrics();
  const int half1 = metrics.horizontalAdvance(first) / 2;
  const int half2 = metrics.horizontalAdvance(second) / 2;
  TextOut(painter, cx - half1, cy + 4, first, clBlack, false);
  TextOut(painter, cx - half2, cy + 22, second, clBlack, false);
  TextOut(painter, cx - half1 - 1, cy + 5, first, color, false);
  TextOut(painter, cx - half2 - 1, cy + 23, second, color, false);
}

}  // namespace

double SunRightAscension(double julianDay) {
  const double t = (julianDay - 2451545) / 36525;  // Julian centuries from J2000.0
  const double meanAnomaly = (357.52911 + 35999.05029 * t - 0.0001537 * t * t) * kDegToRad;
  const double meanLongitude = 280.46646 + 36000.76983 * t + 0.0003032 * t * t;
  const double centre = (1.914602 - 0.004817 * t - 0.000014 * t * t) * std::sin(meanAnomaly) +
                        (0.019993 - 0.000101 * t) * std::sin(2 * meanAnomaly) +
                        0.00014 * std::sin(3 * meanAnomaly);
  const double node = (125.04 - 1934.136 * t) * kDegToRad;
  const double longitude =
      NonNegativeRemainder(meanLongitude + centre - 0.00569 - 0.00478 * std::sin(node), 360) *
      kDegToRad;
  const double obliquity = (23.43929111 - 0.013004167 * t) * kDegToRad;
  double alpha = ArcTan2(std::cos(obliquity) * std::sin(longitude), std::cos(longitude));
  if (alpha < 0) alpha += kTwoPi;
  // A tiny negative angle rounds to 2π when a turn is added.
  return alpha >= kTwoPi ? 0.0 : alpha;
}

double EclipticAngle(double julianDay) {
  return std::cos(SunRightAscension(julianDay)) * kEclipticTiltDeg * kDegToRad;
}

ScreenPoint PlaneToScreen(PlanePoint p, int cx, int cy, double k) {
  const double sx = cx + p.x * k;
  const double sy = cy - p.y * k;
  return {ClampedCoordinate(sx), ClampedCoordinate(sy), std::isfinite(sx) && std::isfinite(sy)};
}

ScreenPoint CentredTextTopLeft(ScreenPoint centre, int width, int height) {
  return {centre.x - width / 2, centre.y - height / 2, centre.finite};
}

ScreenPoint TextBoxInside(ScreenPoint topLeft, int width, int height, int areaWidth,
                          int areaHeight) {
  const bool overlaps = topLeft.x < areaWidth && topLeft.x + width > 0 && topLeft.y < areaHeight &&
                        topLeft.y + height > 0;
  if (!overlaps) return topLeft;
  // A label larger than the picture keeps its start in view.
  topLeft.x = std::max(0, std::min(topLeft.x, areaWidth - width));
  topLeft.y = std::max(0, std::min(topLeft.y, areaHeight - height));
  return topLeft;
}

double EqualMagnitudeRadius(double l1, double l2, double magnitude) {
  return (l1 + l2) * (1 - magnitude) - l2;
}

float UmbralRadiusAtSurface(const ShadowState& state) {
  return state.l2 - static_cast<float>(state.zeta) * state.tanF2;
}

std::array<PlanePoint, kTrackPointCount> AxisTrack(const EclipseRecord& record, bool backView) {
  std::array<PlanePoint, kTrackPointCount> track;
  const double mirror = backView ? -1 : 1;
  for (int i = 0; i < kTrackPointCount; ++i) {
    const double t = i - (kTrackPointCount - 1) / 2;
    track[i] = {mirror * EvaluateCubic(record.x, t), EvaluateCubic(record.y, t)};
  }
  return track;
}

OverlayLayout LayoutOverlay(const OverlayInput& in) {
  OverlayLayout out;
  const double mirror = in.backView ? -1 : 1;
  auto screen = [&in](double x, double y) { return PlaneToScreen({x, y}, in.cx, in.cy, in.k); };

  // The ecliptic through the Earth's centre, tilted by rho; mirroring x turns the tilt round.
  const double rho = mirror * EclipticAngle(in.julianDay);
  out.eclipticAngle = rho;
  const double tanRho = std::tan(rho);
  out.ecliptic[0] = {screen(-kEclipticOuterX, -kEclipticOuterX * tanRho),
                     screen(-std::cos(rho), -std::sin(rho))};
  out.ecliptic[1] = {screen(kEclipticOuterX, kEclipticOuterX * tanRho),
                     screen(std::cos(rho), std::sin(rho))};
  out.eclipticLabelCentre = screen(-kEclipticLabelX, -kEclipticLabelX * tanRho);

  const ShadowState& s = in.state;
  const double x = mirror * s.x, y = s.y;
  const double motion = s.motionAngle;

  out.magnitudeCircles = !in.backView;
  for (int i = 0; i < kMagnitudeCircleCount; ++i) {
    const double r = EqualMagnitudeRadius(s.l1, s.l2, kCircleMagnitudes[i]);
    out.circles[i] = CircleOnScreen(x, y, r, in.cx, in.cy, in.k);
    out.circleLabelCentres[i] = screen(x - r * std::cos(motion + kCircleLabelTurn),
                                       y - r * std::sin(motion + kCircleLabelTurn));
  }

  out.umbra = CircleOnScreen(x, y, UmbralRadiusAtSurface(s), in.cx, in.cy, in.k);

  const double l1 = s.l1;
  const double sinA = std::sin(motion), cosA = std::cos(motion);
  out.penumbralDiameter = {screen(mirror * (s.x - l1 * sinA), y + l1 * cosA),
                           screen(mirror * (s.x + l1 * sinA), y - l1 * cosA)};

  const std::array<PlanePoint, kTrackPointCount> track = AxisTrack(in.record, in.backView);
  for (int i = 0; i < kTrackPointCount; ++i) out.track[i] = screen(track[i].x, track[i].y);

  // On the line through the axis position at T0 in the current direction of motion (as drawn).
  const double motionOnScreen = mirror * motion;
  out.trackLabelAnchor = screen(mirror * in.record.x[0] + kTrackLabelOffset,
                                in.record.y[0] + kTrackLabelOffset * std::tan(motionOnScreen));

  out.marker = {std::clamp(in.cx, -kOverlayCoordinateLimit, kOverlayCoordinateLimit),
                std::clamp(in.cy, -kOverlayCoordinateLimit, kOverlayCoordinateLimit), true};
  return out;
}

void DrawSubSolarMarker(QPainter& painter, int x, int y, Language language) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setBrush(Qt::NoBrush);
  DrawMarker(painter, {x, y, true}, false, language);
  painter.restore();
}

void DrawPoIRing(QPainter& painter, int x, int y) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  const QRect ring(x - kPoIRingRadius, y - kPoIRingRadius, 2 * kPoIRingRadius, 2 * kPoIRingRadius);
  painter.setPen(Pen(clBlack, kPoIRingPixels + 2 * kOverlayEdgePixels));
  painter.drawEllipse(ring);
  painter.setPen(Pen(kPoIRingColor, kPoIRingPixels));
  painter.drawEllipse(ring);
  painter.restore();
}

void DrawOverlay(QPainter& painter, const OverlayInput& in) {
  const OverlayLayout layout = LayoutOverlay(in);
  const Language language = in.language;

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setBrush(Qt::NoBrush);

  // Each line goes over a black edge a little wider than itself.
  // The thin red lines get a lighter edge, so that they stay red to the eye.
  const auto edge = [&](int width) {
    QPen pen = Pen(clBlack, width + 2 * kOverlayEdgePixels);
    if (width < 2) pen.setColor(QColor(0, 0, 0, 110));
    painter.setPen(pen);
  };

  // Ecliptic with its label.
  edge(2);
  for (const ScreenSegment& s : layout.ecliptic) DrawSegment(painter, s);
  painter.setPen(Pen(clWhite, 2));
  for (const ScreenSegment& s : layout.ecliptic) DrawSegment(painter, s);
  painter.setFont(LabelFont(kLabelPixels));
  TextCentredAt(painter, layout.eclipticLabelCentre, TableText(Text::kEcliptic, language), clWhite,
                true);

  // Circles of equal magnitude about the shadow axis, each labelled on its rim.
  if (layout.magnitudeCircles) {
    edge(1);
    for (const ScreenCircle& c : layout.circles) DrawCircle(painter, c);
    const QPen red = Pen(clRed, 1);
    for (int i = 0; i < kMagnitudeCircleCount; ++i) {
      painter.setPen(red);
      DrawCircle(painter, layout.circles[i]);
      TextCentredAt(painter, layout.circleLabelCentres[i], QString::fromLatin1(kCircleLabels[i]),
                    clRed, false);
    }
  }

  // The edges of the diameter and the track lie under the umbra, which they cross.
  edge(1);
  painter.setBrush(Qt::NoBrush);
  DrawSegment(painter, layout.penumbralDiameter);
  for (int i = 1; i < kTrackPointCount; ++i) {
    DrawSegment(painter, {layout.track[i - 1], layout.track[i]});
  }

  // The umbra, filled.
  painter.setPen(Pen(kUmbraColor, 1));
  painter.setBrush(ToQColor(kUmbraColor));
  DrawCircle(painter, layout.umbra);

  // Penumbral diameter across the motion, then the axis track.
  painter.setPen(Pen(clRed, 1));
  painter.setBrush(ToQColor(clRed));
  DrawSegment(painter, layout.penumbralDiameter);
  for (int i = 1; i < kTrackPointCount; ++i) {
    DrawSegment(painter, {layout.track[i - 1], layout.track[i]});
  }

  // Track label: two lines centred on the anchor, the first above the second.
  if (layout.trackLabelAnchor.finite) {
    const ScreenPoint a = layout.trackLabelAnchor;
    const QString first = TableText(Text::kAxisTrackLabelFirst, language);
    const QString second = TableText(Text::kAxisTrackLabelSecond, language);
    const QFontMetrics metrics = painter.fontMetrics();
    const int height = metrics.height();
    const int width1 = metrics.horizontalAdvance(first), width2 = metrics.horizontalAdvance(second);
    // The two lines move into the picture together.
    const int top = a.y - RoundToInt(1.2 * height), bottom = a.y - 3 + height;
    const int left = a.x - std::max(width1, width2) / 2;
    const ScreenPoint box = InsidePicture(painter, {left, top}, std::max(width1, width2), bottom - top);
    const int dx = box.x - left, dy = box.y - top;
    TextOut(painter, a.x - width1 / 2 + dx, top + dy, first, clRed, true);
    TextOut(painter, a.x - width2 / 2 + dx, a.y - 3 + dy, second, clRed, true);
  }

  if (in.showSubSolar) {
    painter.setBrush(Qt::NoBrush);
    DrawMarker(painter, layout.marker, in.backView, language);
  }

  // The point of interest last, a ring over its dot: the axis point and the marks under it stay
  // in view.
  if (in.showPoI && std::abs(in.poiX) < kOverlayCoordinateLimit &&
      std::abs(in.poiY) < kOverlayCoordinateLimit) {
    painter.setBrush(Qt::NoBrush);
    const QRect ring(in.poiX - kPoIRingRadius, in.poiY - kPoIRingRadius, 2 * kPoIRingRadius,
                     2 * kPoIRingRadius);
    painter.setPen(Pen(clBlack, kPoIRingPixels + 2 * kOverlayEdgePixels));
    painter.drawEllipse(ring);
    painter.setPen(Pen(kPoIRingColor, kPoIRingPixels));
    painter.drawEllipse(ring);
  }
  painter.restore();
}

}  // namespace umbrivista
