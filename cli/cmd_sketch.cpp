// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// sketch: what a place sees of an eclipse, drawn as the Sun's and the Moon's discs at the
// contacts and greatest eclipse, written as an SVG or PNG picture.

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iostream>

#include "angles.h"
#include "cli.h"
#include "drawing.h"
#include "deltat.h"
#include "disc_sketch.h"
#include "disc_sketch_paint.h"
#include "eclipse_types.h"
#include "local_circumstances.h"
#include "numbers.h"
#include "safe_file.h"

namespace umbrivista {

namespace {

constexpr int kPictureWidth = 1000;
constexpr int kPictureHeight = 260;

bool EndsWith(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

std::string Coordinate(double degrees, const char* positive, const char* negative) {
  return FormatFixed(std::fabs(degrees), 3) + "\u00b0 " + (degrees < 0 ? negative : positive);
}

// The kind seen at the place, the date of greatest eclipse in the shown time scale and the place.
std::string Title(const EclipseRecord& r, const LocalCircumstances& lc, double deltaT, bool ut,
                  double lat, double lon, Language language) {
  const int type = lc.kind == EclipseKind::kTotal     ? kTotal
                   : lc.kind == EclipseKind::kAnnular ? kAnnular
                                                      : kPartial;
  const UTInstant date = ContactUT(r, ut ? deltaT : 0, lc.contactTime[kMax]);
  return LongTypeName(type, language) + "  " + IsoDate(date.year, date.month, date.day) + "  " +
         Coordinate(lat, "N", "S") + "  " + Coordinate(lon, "E", "W");
}

}  // namespace

int RunSketch(Args& args) {
  const auto& cat = LoadCatalogue(args);
  const double lat = ParseRealArg(RequiredOption(args, "lat"), "--lat", -90, 90, "degrees");
  const double lon = ParseRealArg(RequiredOption(args, "lon"), "--lon", -360, 360, "degrees");
  const int height =
      ParseIntArg(args.TakeOption("height").value_or("0"), "--height", kMinHeightM, kMaxHeightM);
  const bool ut = args.TakeFlag("ut");
  const Language language = TakeLanguage(args);
  const std::string out = RequiredOption(args, "out");
  const EclipseRecord& r = cat.RecordAt(ParsePosition(args.TakePositional("POS"), cat));
  args.ExpectEnd();
  const bool svg = EndsWith(out, ".svg");
  if (!svg && !EndsWith(out, ".png")) {
    throw UsageError("--out must name a .svg or .png file, not " + Echo(out));
  }
  RefuseOutputOverInput(out, CataloguePath(), "the catalogue");

  const double deltaT = DeltaT(r.year, r.month);
  const double phi = lat * kDegToRad;
  const LocalEclipse found =
      ComputeLocalEclipse(r, deltaT, phi, -lon * kDegToRad, ObserverGeocentric(height, phi));
  if (found.outcome == LocalOutcome::kOutsidePenumbra) {
    std::cerr << "umbrivista-cli: no eclipse at this place: the Moon's penumbra misses it; "
                 "nothing is written\n";
    return 1;
  }
  const DiscSketch sketch = BuildDiscSketch(found.circumstances);
  if (found.outcome != LocalOutcome::kEclipse || sketch.frames.empty()) {
    std::cerr << "umbrivista-cli: the circumstances at this place could not be computed; "
                 "nothing is written\n";
    return 1;
  }
  const std::vector<std::string> captions = DiscSketchCaptions(sketch, r, deltaT, ut, language);
  const std::string title = Title(r, found.circumstances, deltaT, ut, lat, lon, language);

  PrepareOffscreenGui();
  QGuiApplication app(OffscreenArgc(), OffscreenArgv());
  const QRectF area(0, 0, kPictureWidth, kPictureHeight);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (svg) {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(kPictureWidth, kPictureHeight));
    generator.setResolution(96);  // a viewer shows the picture at its size in pixels
    generator.setViewBox(area);
    generator.setTitle(QString::fromStdString(title));
    QPainter painter;
    if (!painter.begin(&generator)) throw std::runtime_error(out + ": cannot draw the SVG picture");
    PaintDiscSketch(painter, area, sketch, captions, title);
    painter.end();
  } else {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      PaintDiscSketch(painter, area, sketch, captions, title);
    }
    if (image.isNull() || !image.save(&buffer, "PNG")) {
      throw std::runtime_error(out + ": cannot encode the picture as PNG");
    }
  }
  if (bytes.isEmpty()) throw std::runtime_error(out + ": the picture came out empty");
  WriteFileSafely(out,
                  std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size())),
                  CataloguePath());
  return 0;
}

}  // namespace umbrivista
