// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe overlay: solar right ascension and ecliptic tilt against published values, the
// geometry of the overlay for the 2024-04-08 eclipse, and the pixels it paints.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>
#include <utility>

#include "angles.h"
#include "julian_day.h"
#include "overlay.h"
#include "shipped_catalogue.h"
#include "string_table.h"

namespace umbrivista {
namespace {

constexpr double kGreatest = 0.3083;  // hours from T0 of greatest eclipse, 2024-04-08
constexpr int kSize = 800;
constexpr int kCentre = 400;
constexpr double kZoom300 = 310.5;  // pixels per Earth radius

OverlayInput Input(double t, bool back, bool subSolar = false, double k = kZoom300,
                   int cx = kCentre, int cy = kCentre) {
  OverlayInput in;
  in.record = ShippedRecord(2024, 4, 8);
  UpdateInstant(in.record, t, back, in.state);
  in.julianDay =
      CalendarToJD(in.record.year, in.record.month, in.record.day, in.record.t0Hour + t, 0, 0);
  in.backView = back;
  in.showSubSolar = subSolar;
  in.language = Language::kEnglish;
  in.cx = cx;
  in.cy = cy;
  in.k = k;
  return in;
}

QImage Draw(const OverlayInput& in) {
  QImage image(kSize, kSize, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  DrawOverlay(painter, in);
  return image;
}

// Screen pixel nearest to a plane point, as an independent check of the mapping.
QPoint Pixel(const OverlayInput& in, double x, double y) {
  return {static_cast<int>(std::lround(in.cx + x * in.k)),
          static_cast<int>(std::lround(in.cy - y * in.k))};
}

// Pixels of colour `rgb` within `radius` pixels (a square) of p.
int Count(const QImage& image, QPoint p, int radius, QRgb rgb) {
  int n = 0;
  for (int y = p.y() - radius; y <= p.y() + radius; ++y) {
    for (int x = p.x() - radius; x <= p.x() + radius; ++x) {
      if (image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF)) ++n;
    }
  }
  return n;
}

const QRgb kUmbra = qRgb(192, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kWhite = qRgb(255, 255, 255);

double Degrees(double radians) {
  return radians * kRadToDeg;
}

TEST(SolarPosition, RightAscensionMatchesMeeusExample) {
  // Meeus, Astronomical Algorithms, example 25.a: 1992 October 13.0 TD, apparent α = 198.38083°.
  // The formulae leave out the nutation in obliquity, worth about 0.0002° here.
  EXPECT_NEAR(Degrees(SunRightAscension(2448908.5)), 198.38083, 0.001);
  // Always within one turn, also far from J2000.
  for (double jd = 0; jd < 5e6; jd += 12345.678) {
    const double alpha = SunRightAscension(jd);
    EXPECT_GE(alpha, 0);
    EXPECT_LT(alpha, kTwoPi);
  }
}

TEST(SolarPosition, EclipticTiltFollowsTheSeasons) {
  // Equinoxes and solstices of 2024 (UT, to the minute).
  const double marchEquinox = CalendarToJD(2024, 3, 20, 3, 6, 0);
  const double juneSolstice = CalendarToJD(2024, 6, 20, 20, 51, 0);
  const double septemberEquinox = CalendarToJD(2024, 9, 22, 12, 44, 0);
  const double decemberSolstice = CalendarToJD(2024, 12, 21, 9, 21, 0);
  EXPECT_NEAR(Degrees(SunRightAscension(juneSolstice)), 90, 0.05);
  EXPECT_NEAR(Degrees(EclipticAngle(marchEquinox)), 23.44, 0.01);
  EXPECT_NEAR(Degrees(EclipticAngle(septemberEquinox)), -23.44, 0.01);
  EXPECT_NEAR(Degrees(EclipticAngle(juneSolstice)), 0, 0.05);
  EXPECT_NEAR(Degrees(EclipticAngle(decemberSolstice)), 0, 0.05);
}

TEST(OverlayGeometry, TrackFollowsTheRecordPolynomialsInDoublePrecision) {
  const OverlayInput in = Input(kGreatest, false);
  const EclipseRecord& r = in.record;
  for (const bool back : {false, true}) {
    OverlayInput view = in;
    view.backView = back;
    const auto track = AxisTrack(r, back);
    const OverlayLayout layout = LayoutOverlay(view);
    for (int i = 0; i < kTrackPointCount; ++i) {
      const double t = i - 10.0;
      const double x = double{r.x[0]} + double{r.x[1]} * t + double{r.x[2]} * t * t +
                       double{r.x[3]} * std::pow(t, 3);
      const double y = double{r.y[0]} + double{r.y[1]} * t + double{r.y[2]} * t * t +
                       double{r.y[3]} * std::pow(t, 3);
      const double shownX = back ? -x : x;
      EXPECT_NEAR(track[i].x, shownX, 1e-12) << "t = " << t << (back ? " back" : "");
      EXPECT_NEAR(track[i].y, y, 1e-12) << "t = " << t;
      EXPECT_EQ(layout.track[i].x, Pixel(view, shownX, y).x()) << "t = " << t;
      EXPECT_EQ(layout.track[i].y, Pixel(view, shownX, y).y()) << "t = " << t;
    }
  }
}

TEST(OverlayGeometry, LabelsSitOnTheLinesAndCirclesTheyName) {
  for (const bool back : {false, true}) {
    const OverlayInput in = Input(kGreatest, back);
    const OverlayLayout layout = LayoutOverlay(in);
    const double rho = EclipticAngle(in.julianDay) * (back ? -1 : 1);
    EXPECT_DOUBLE_EQ(layout.eclipticAngle, rho);

    // Ecliptic: from four radii out to the limb, on the line through the centre at tilt rho; the
    // label just outside the limb on the left.
    for (const ScreenSegment& s : layout.ecliptic) {
      EXPECT_NEAR(std::abs(s.from.x - kCentre), 4 * kZoom300, 0.5);
      EXPECT_NEAR(std::hypot(s.to.x - kCentre, s.to.y - kCentre), kZoom300, 1);
      for (const ScreenPoint p : {s.from, s.to}) {
        EXPECT_NEAR(kCentre - p.y, (p.x - kCentre) * std::tan(rho), 1);
      }
    }
    const ScreenPoint label = layout.eclipticLabelCentre;
    EXPECT_EQ(label.x, Pixel(in, -1.15, 0).x());
    EXPECT_NEAR(kCentre - label.y, (label.x - kCentre) * std::tan(rho), 1);

    // Track label: on the line through the axis position at T0 in the track's direction, 1.4
    // Earth radii further on in x.
    const ScreenPoint t0 = layout.track[10], t1 = layout.track[11];
    const ScreenPoint a = layout.trackLabelAnchor;
    EXPECT_EQ(a.x, Pixel(in, (back ? -1 : 1) * in.record.x[0] + 1.4, 0).x());
    const double along = double(a.x - t0.x) / (t1.x - t0.x);
    EXPECT_NEAR(a.y, t0.y + along * (t1.y - t0.y), 2);

    // Magnitude labels: on their circles, on the side the shadow comes from.
    EXPECT_EQ(layout.magnitudeCircles, !back);
    const ShadowState& s = in.state;
    const double cx = Pixel(in, back ? -s.x : s.x, s.y).x();
    const double cy = Pixel(in, back ? -s.x : s.x, s.y).y();
    for (int i = 0; i < kMagnitudeCircleCount; ++i) {
      const double r = EqualMagnitudeRadius(s.l1, s.l2, kCircleMagnitudes[i]);
      const ScreenCircle& c = layout.circles[i];
      EXPECT_NEAR((c.bottomRight.x - c.topLeft.x) / 2.0, r * kZoom300, 1);
      const ScreenPoint p = layout.circleLabelCentres[i];
      EXPECT_NEAR(std::hypot(p.x - cx, p.y - cy), r * kZoom300, 1.5);
      // Screen y points down: the motion (cos a, sin a) is (cos a, −sin a) on the screen.
      const double ahead =
          (p.x - cx) * std::cos(s.motionAngle) - (p.y - cy) * std::sin(s.motionAngle);
      if (!back) {
        EXPECT_LT(ahead, 0) << kCircleLabels[i];
      }
    }
  }
  // The 0.00 circle is the penumbra's edge; the smallest one lies outside the umbra.
  const ShadowState& s = Input(kGreatest, false).state;
  EXPECT_DOUBLE_EQ(EqualMagnitudeRadius(s.l1, s.l2, 0), s.l1);
  EXPECT_GT(EqualMagnitudeRadius(s.l1, s.l2, 0.75), std::fabs(UmbralRadiusAtSurface(s)));
}

TEST(OverlayGeometry, LabelsAtTheEdgeMoveIntoThePicture) {
  const auto inside = [](int x, int y, int w) { return TextBoxInside({x, y, true}, w, 14, 800, 600); };
  EXPECT_EQ(inside(100, 50, 60), (ScreenPoint{100, 50, true}));
  EXPECT_EQ(inside(-20, 50, 60), (ScreenPoint{0, 50, true}));
  EXPECT_EQ(inside(780, 50, 60), (ScreenPoint{740, 50, true}));
  EXPECT_EQ(inside(100, -5, 60), (ScreenPoint{100, 0, true}));
  EXPECT_EQ(inside(100, 595, 60), (ScreenPoint{100, 586, true}));
  EXPECT_EQ(inside(-30, 590, 60), (ScreenPoint{0, 586, true}));
  // Wholly outside: left alone, as its line is out of view too.
  EXPECT_EQ(inside(-60, 50, 60), (ScreenPoint{-60, 50, true}));
  EXPECT_EQ(inside(800, 50, 60), (ScreenPoint{800, 50, true}));
  EXPECT_EQ(inside(100, 600, 60), (ScreenPoint{100, 600, true}));
  // Wider than the picture: its start stays in view.
  EXPECT_EQ(inside(-20, 50, 900), (ScreenPoint{0, 50, true}));

  // The ecliptic label, centred 9 px from the left edge, is drawn whole: the same text pixels as
  // in a wider picture where nothing cuts it.
  OverlayInput narrow = Input(kGreatest, false, false, 340, 400, 400);
  const ScreenPoint centre = LayoutOverlay(narrow).eclipticLabelCentre;
  ASSERT_LT(centre.x, 20);
  OverlayInput wide = narrow;
  wide.cx += 500;
  QImage cut(800, 800, QImage::Format_RGB32), whole(1800, 800, QImage::Format_RGB32);
  for (auto [image, in] : {std::pair{&cut, &narrow}, std::pair{&whole, &wide}}) {
    image->fill(Qt::black);
    QPainter painter(image);
    DrawOverlay(painter, *in);
  }
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(12);
  const QFontMetrics metrics(font);
  const int w = metrics.horizontalAdvance(
      QString::fromStdString(StringItem(Text::kEcliptic, Language::kEnglish)));
  const int h = metrics.height();
  // The label's box is filled black, so every lit pixel in it belongs to the text.
  const auto lit = [](const QImage& image, int left, int top, int width, int height) {
    int n = 0;
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x) n += (image.pixel(x, y) & 0xFFFFFF) != 0;
    return n;
  };
  const int text = lit(whole, centre.x + 500 - w / 2, centre.y - h / 2, w, h);
  EXPECT_GT(text, 40);
  EXPECT_EQ(lit(cut, 0, centre.y - h / 2, w, h), text);
}

TEST(OverlayGeometry, UmbraIsTheSurfaceRadiusOrL2WhenTheAxisMisses) {
  // At greatest eclipse the umbra (total: negative radius) is measured at the axis point.
  const OverlayInput greatest = Input(kGreatest, false);
  const ShadowState& g = greatest.state;
  ASSERT_TRUE(g.axisOnEarth);
  const float r2 = UmbralRadiusAtSurface(g);
  EXPECT_LT(r2, 0);
  EXPECT_LT(r2, g.l2);  // the surface lies nearer the Moon than the plane

  // 3.5 h before T0 the axis misses: ζ is 0 and the disc has radius |l2|. A large scale makes the
  // disc wide enough to measure; the globe centre is placed so the shadow lies mid-canvas.
  constexpr double k = 4000;
  OverlayInput miss = Input(-3.5, false, false, k);
  ASSERT_FALSE(miss.state.axisOnEarth);
  miss.cx = static_cast<int>(std::lround(kCentre - miss.state.x * k));
  miss.cy = static_cast<int>(std::lround(kCentre + miss.state.y * k));
  const OverlayLayout layout = LayoutOverlay(miss);
  const double radius = std::fabs(miss.state.l2) * k;
  EXPECT_NEAR((layout.umbra.bottomRight.x - layout.umbra.topLeft.x) / 2.0, radius, 1);
  EXPECT_NEAR((layout.umbra.bottomRight.y - layout.umbra.topLeft.y) / 2.0, radius, 1);

  const QImage image = Draw(miss);
  const int inner = static_cast<int>(radius * 0.8 / std::sqrt(2.0));
  const int outer = static_cast<int>(radius * 1.2 / std::sqrt(2.0)) + 1;
  for (const int sx : {-1, 1}) {
    for (const int sy : {-1, 1}) {
      EXPECT_EQ(image.pixel(kCentre + sx * inner, kCentre + sy * inner) & 0xFFFFFF,
                kUmbra & 0xFFFFFF);
      EXPECT_NE(image.pixel(kCentre + sx * outer, kCentre + sy * outer) & 0xFFFFFF,
                kUmbra & 0xFFFFFF);
    }
  }
}

TEST(OverlayPicture, NormalAndBackViewOfGreatestEclipse) {
  const OverlayInput normal = Input(kGreatest, false, true);
  const OverlayInput back = Input(kGreatest, true, true);
  const QImage front = Draw(normal);
  const QImage rear = Draw(back);
  const ShadowState& s = normal.state;
  const double rho = EclipticAngle(normal.julianDay);

  // Umbral disc at the shadow centre (the diameter and the track cross it, so count pixels), and
  // at the mirrored position in the back view, where it is measured at the night-side axis point
  // and so is smaller (radius 4.5 px in front, 1.8 px behind).
  const QPoint shadow = Pixel(normal, s.x, s.y);
  const QPoint mirrored = Pixel(normal, -s.x, s.y);
  EXPECT_GE(Count(front, shadow, 6, kUmbra), 20);
  EXPECT_EQ(Count(front, mirrored, 6, kUmbra), 0);
  EXPECT_GE(Count(rear, mirrored, 6, kUmbra), 4);
  EXPECT_EQ(Count(rear, shadow, 6, kUmbra), 0);

  // Equal-magnitude circles: drawn in the normal view, absent in the back view. Sampled on the
  // side away from their labels.
  const double dir = s.motionAngle + 0.8;
  for (int i = 0; i < kMagnitudeCircleCount; ++i) {
    const double r = EqualMagnitudeRadius(s.l1, s.l2, kCircleMagnitudes[i]);
    const QPoint onCircle = Pixel(normal, s.x + r * std::cos(dir), s.y + r * std::sin(dir));
    const QPoint onMirror = Pixel(normal, -s.x - r * std::cos(dir), s.y + r * std::sin(dir));
    EXPECT_GT(Count(front, onCircle, 1, kRed), 0) << kCircleLabels[i];
    EXPECT_EQ(Count(rear, onMirror, 1, kRed), 0) << kCircleLabels[i];
  }

  // The track passes through its hourly points, mirrored in the back view.
  for (const int hour : {-1, 1, 2}) {
    const double x = EvaluateCubic(normal.record.x, hour), y = EvaluateCubic(normal.record.y, hour);
    EXPECT_GT(Count(front, Pixel(normal, x, y), 1, kRed), 0) << hour;
    EXPECT_GT(Count(rear, Pixel(normal, -x, y), 1, kRed), 0) << hour;
  }

  // The ecliptic right of the limb tilts the other way in the back view.
  EXPECT_GT(Count(front, Pixel(normal, 1.2, 1.2 * std::tan(rho)), 1, kWhite), 0);
  EXPECT_GT(Count(rear, Pixel(normal, 1.2, -1.2 * std::tan(rho)), 1, kWhite), 0);
  EXPECT_EQ(Count(rear, Pixel(normal, 1.2, 1.2 * std::tan(rho)), 1, kWhite), 0);

  // Sub-solar marker: yellow cross at the centre, red in the back view.
  for (const QPoint p :
       {QPoint(kCentre + 3, kCentre), QPoint(kCentre - 4, kCentre), QPoint(kCentre, kCentre - 4)}) {
    EXPECT_EQ(front.pixel(p) & 0xFFFFFF, kYellow & 0xFFFFFF);
    EXPECT_EQ(rear.pixel(p) & 0xFFFFFF, kRed & 0xFFFFFF);
  }
  // Its label lies below the cross.
  EXPECT_GT(Count(front, QPoint(kCentre, kCentre + 14), 8, kYellow), 0);
}

TEST(OverlayPicture, MarkerOnlyWhenAskedAndPainterLeftAsFound) {
  // (At greatest eclipse the penumbral diameter runs through the centre: only yellow tells.)
  QImage image(kSize, kSize, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  const QPen pen(Qt::green, 5);
  painter.setPen(pen);
  painter.setBrush(Qt::blue);
  DrawOverlay(painter, Input(kGreatest, false, false));
  EXPECT_EQ(painter.pen(), pen);
  EXPECT_EQ(painter.brush().color(), QColor(Qt::blue));
  painter.end();
  EXPECT_EQ(Count(image, QPoint(kCentre, kCentre + 10), 10, kYellow), 0);
}

TEST(OverlayPicture, AbsurdInputsDoNotBreakTheDrawing) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  for (const double k : {0.0, -310.5, 1e300, kInf, kNaN}) {
    OverlayInput in = Input(kGreatest, false, true, k);
    in.language = static_cast<Language>(7);
    in.julianDay = kNaN;
    const OverlayLayout layout = LayoutOverlay(in);
    for (const ScreenPoint& p : layout.track) {
      EXPECT_LE(std::abs(p.x), kOverlayCoordinateLimit);
      EXPECT_LE(std::abs(p.y), kOverlayCoordinateLimit);
      if (!std::isfinite(k)) {
        EXPECT_FALSE(p.finite);
      }
    }
    EXPECT_FALSE(layout.eclipticLabelCentre.finite);
    Draw(in);
  }
  // A damaged record and a centre far off the canvas.
  OverlayInput in = Input(kGreatest, true, true);
  in.record.x[2] = std::numeric_limits<float>::quiet_NaN();
  in.record.y[3] = std::numeric_limits<float>::infinity();
  in.state.l1 = std::numeric_limits<float>::quiet_NaN();
  in.state.motionAngle = kPi / 2;
  in.cx = std::numeric_limits<int>::max();
  in.cy = std::numeric_limits<int>::min();
  const OverlayLayout layout = LayoutOverlay(in);
  EXPECT_EQ(layout.marker.x, kOverlayCoordinateLimit);
  EXPECT_EQ(layout.marker.y, -kOverlayCoordinateLimit);
  for (const ScreenPoint& p : layout.track) EXPECT_FALSE(p.finite);
  const QImage image = Draw(in);
  EXPECT_EQ(Count(image, QPoint(kCentre, kCentre), kCentre, kRed), 0);
}

TEST(OverlayPicture, PointOfInterestIsRingedAboveTheAxisPointWithoutHidingIt) {
  OverlayInput in = Input(kGreatest, false);
  const QPoint shadow = Pixel(in, in.state.x, in.state.y);
  const QRgb magenta = qRgb(255, 0, 255);
  const int umbra = Count(Draw(in), shadow, 3, kUmbra);
  ASSERT_GT(umbra, 0);
  // On the axis point itself: the ring around it, the umbra inside it as before.
  in.showPoI = true;
  in.poiX = shadow.x();
  in.poiY = shadow.y();
  const QImage image = Draw(in);
  EXPECT_EQ(Count(image, shadow, 3, kUmbra), umbra);
  EXPECT_GT(Count(image, shadow, kPoIRingRadius + 1, magenta), 8);
  // Hidden behind the globe: no ring.
  in.showPoI = false;
  EXPECT_EQ(Count(Draw(in), shadow, kPoIRingRadius + 1, magenta), 0);
}

}  // namespace
}  // namespace umbrivista
