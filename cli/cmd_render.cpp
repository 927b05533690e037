// render: the main window's globe at one instant of an eclipse, written as a PNG picture.

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPoint>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <utility>

#include "angles.h"
#include "capitals.h"
#include "centre_line.h"
#include "cli.h"
#include "gcustomglobe.h"
#include "globe_settings.h"
#include "globe_units.h"
#include "layers.h"
#include "overlay.h"
#include "regular_file.h"
#include "gspatialdb.h"
#include "safe_file.h"
#include "scratch_database.h"
#include "shadow.h"

namespace umbrivista {

namespace {

int IntOption(Args& args, const std::string& name, int fallback, int lo, int hi) {
  const auto text = args.TakeOption(name);
  return text ? ParseIntArg(*text, "--" + name, lo, hi) : fallback;
}

}  // namespace

int RunRender(Args& args) {
  const auto out = args.TakeOption("out");
  const int width = IntOption(args, "width", 800, 16, 8192);
  const int height = IntOption(args, "height", 800, 16, 8192);
  const int zoom = IntOption(args, "zoom", 140, 60, 350);
  const int texture = IntOption(args, "texture", 0, 0, 3);
  const int grid = IntOption(args, "grid", 2, 0, 6);
  const auto textureFile = args.TakeOption("texture-file");
  const bool ut = args.TakeFlag("ut");
  const bool back = args.TakeFlag("back");
  const bool ssp = args.TakeFlag("ssp");
  const bool noOverlay = args.TakeFlag("no-overlay");
  const bool overlay = args.TakeFlag("overlay") || !noOverlay;
  const bool capitals = args.TakeFlag("capitals");
  const bool limits = !args.TakeFlag("no-limits");
  const Language language = TakeLanguage(args);
  // "LAT,LON" of an option, or nullopt when the option is absent.
  auto latLon = [&args](const char* name) -> std::optional<std::pair<double, double>> {
    const auto text = args.TakeOption(name);
    if (!text) return std::nullopt;
    const std::string option = std::string("--") + name;
    const auto comma = text->find(',');
    if (comma == std::string::npos) throw UsageError(option + " must be LAT,LON, not " + Echo(*text));
    return std::make_pair(
        ParseRealArg(text->substr(0, comma), option + " latitude", -90, 90, "°"),
        ParseRealArg(text->substr(comma + 1), option + " longitude", -180, 180, "°"));
  };
  const auto poi = latLon("poi");
  const auto centre = latLon("centre");
  const auto& catalogue = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), catalogue);
  const double t =
      ParseRealArg(args.TakePositional("T"), "T", -kMaxHoursFromT0, kMaxHoursFromT0, "hours");
  args.ExpectEnd();
  if (!out) throw UsageError("render needs --out FILE.png");
  const std::string texturePath =
      textureFile ? *textureFile : DataFile(kTextureFiles[texture]);
  RefuseOutputOverInput(*out, texturePath, "the texture file");
  RefuseOutputOverInput(*out, CataloguePath(), "the catalogue");
  // The picture reader would wait for ever on a named pipe.
  const std::string textureKind = NonRegularKind(texturePath);
  if (!textureKind.empty()) {
    const std::string problem = texturePath + ": is not a regular file but " + textureKind;
    if (textureFile) throw std::runtime_error(problem);
    std::cerr << "umbrivista-cli: " << problem << "; drawing the plain surface\n";
  }

  // Orientation of the main window: the sub-solar point faces the viewer, north up.
  const EclipseRecord& record = catalogue.RecordAt(position);
  ShadowState state;
  state.deltaT = DeltaTFor(record, ut);
  UpdateInstant(record, t, back, state);
  const GlobeRotation rotation = DisplayOrientation(state, back);

  PrepareOffscreenGui();
  QGuiApplication app(OffscreenArgc(), OffscreenArgv());

  ScratchDatabase scratch([](const std::string& problem) {
    std::cerr << "umbrivista-cli: warning: " << problem << "\n";
  });
  TGCustomGlobeView globe(width, height);
  SetUpMainGlobe(globe);
  globe.SetSpatialDatabase(&scratch.database);
  TGProjector& projector = globe.Projector();
  if (textureKind.empty()) {
    globe.SetSurfaceTextureName(texturePath);
    if (globe.SurfaceTexture().GetEmpty()) {
      const std::string problem =
          "cannot use the JPEG texture " + texturePath + ": " + globe.SurfaceTexture().LastError();
      if (textureFile) throw std::runtime_error(problem);
      std::cerr << "umbrivista-cli: " << problem << "; drawing the plain surface\n";
    }
  }
  const GridSteps steps = GridStepsFor(grid);
  globe.Graticule().SetLatitudeStep(steps.latitude);
  globe.Graticule().SetLongitudeStep(steps.longitude);
  projector.SetXRotation(rotation.x);
  projector.SetYRotation(rotation.y);
  projector.SetScaleFactor(ZoomScaleFactor(zoom));
  int originX = width / 2, originY = height / 2;
  projector.SetXOrigin(originX);
  projector.SetYOrigin(originY);
  if (centre) {
    // The globe keeps looking along the shadow axis and is moved, as a drag in the window moves
    // it, so that the point lies at the picture's centre. The perspective makes a move of the
    // origin shift a point by not quite as much: a few rounds bring it to the pixel.
    const auto lon = static_cast<std::int32_t>(std::lround(centre->second * kGUPerDegree));
    const auto lat = static_cast<std::int32_t>(std::lround(centre->first * kGUPerDegree));
    for (int round = 0; round < 8; ++round) {
      if (!projector.Model().LLToXYIndex(lon, lat, 0)) {
        throw std::runtime_error("--centre " + FormatNumber(centre->first) + "," +
                                 FormatNumber(centre->second) +
                                 " lies on the far side of the globe at this instant");
      }
      const QPoint at = projector.Points()[0];
      if (at == QPoint(width / 2, height / 2)) break;
      originX += width / 2 - at.x();
      originY += height / 2 - at.y();
      projector.SetXOrigin(originX);
      projector.SetYOrigin(originY);
    }
  }

  // The layers as the main window builds them: the centre line, then the capitals.
  SceneLayers layers(globe, &scratch.database);
  layers.RebuildPathLimits(record, state.deltaT, back, limits);
  layers.RebuildCentreLine(record, state.deltaT, back);
  if (capitals) layers.RebuildCapitals();
  if (poi) layers.RebuildPoI(poi->first, poi->second);
  layers.RebuildPoIList({});

  // The overlay of the fundamental plane, drawn after the globe's render as in the window.
  OverlayInput in;
  in.record = record;
  in.state = state;
  in.julianDay = InstantJulianDay(record, t, state.deltaT);
  in.backView = back;
  in.showSubSolar = ssp;
  in.language = language;
  in.cx = originX;
  in.cy = originY;
  in.k = PixelsPerEarthRadius(projector.ScaleFactor());
  if (overlay) globe.OnAfterRender = [&in](QPainter& canvas) { DrawOverlay(canvas, in); };

  const QImage image = globe.PaintToImage();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  // Quality 80 is zlib's fastest level: about three times as fast as the default for a globe
  // picture, the file about a sixth larger.
  constexpr int kPngQuality = 80;
  if (image.isNull() || !image.save(&buffer, "PNG", kPngQuality)) {
    throw std::runtime_error(*out + ": cannot encode the picture as PNG");
  }
  WriteFileSafely(*out, std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                  static_cast<std::size_t>(png.size())));
  return 0;
}

}  // namespace umbrivista
