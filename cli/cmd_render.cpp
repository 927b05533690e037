// render: the main window's globe at one instant of an eclipse, written as a PNG picture.

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli.h"
#include "deltat.h"
#include "gcustomglobe.h"
#include "shadow.h"

namespace {

// The globe textures beside the program, in the order of the globe-style choice.
const char* const kTextureFiles[] = {"BlueMarble_5.4x2.7k.jpg", "DEMIS_World_3.jpg",
                                     "World_4096.jpg", "World_white.jpg"};

// Graticule latitude / longitude steps of the grid choice.
const int kGridSteps[][2] = {{0, 0}, {90, 0}, {10, 10}, {20, 20}, {30, 30}, {45, 45}, {90, 90}};

int IntOption(Args& args, const std::string& name, int fallback, int lo, int hi) {
  const auto text = args.TakeOption(name);
  if (!text) return fallback;
  const int v = ParseIntArg(*text, "--" + name);
  if (v < lo || v > hi) {
    throw UsageError("--" + name + " must lie in " + std::to_string(lo) + " … " +
                     std::to_string(hi) + ", not " + *text);
  }
  return v;
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
  // The overlay (sub-solar marker) and the capitals layer are not drawn yet; the flags are
  // accepted so that callers can already pass them.
  args.TakeFlag("ssp");
  args.TakeFlag("capitals");
  const auto& catalogue = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), catalogue);
  const double t = ParseRealArg(args.TakePositional("T"), "T");
  args.ExpectEnd();
  if (!out) throw UsageError("render needs --out FILE.png");
  if (!std::isfinite(t)) throw UsageError("T must be a finite number of hours");

  // Orientation of the main window: the sub-solar point faces the viewer, north up.
  const EclipseRecord& record = catalogue.RecordAt(position);
  constexpr double kPi = 3.14159265358979323846;
  ShadowState state;
  EvaluateElements(record, t, state);
  state.deltaT = ut ? DeltaT(record.year, record.month) : 0.0;
  double xRotation = state.d * 180 / kPi;
  double yRotation = -state.mu * 180 / kPi + kEarthRotationDegPerSecond * state.deltaT;
  if (back) {
    xRotation = -xRotation;
    yRotation += 180;
  }

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the session (no runtime folder and the like) are no concern of a renderer.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
  });
  static int argc = 1;
  static char name[] = "umbrivista-cli";
  static char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  TGCustomGlobeView globe(width, height);
  TGProjector& projector = globe.Projector();
  const std::string texturePath =
      textureFile ? *textureFile : ProgramFolder() + "/" + kTextureFiles[texture];
  globe.SetSurfaceTextureName(texturePath);
  if (globe.SurfaceTexture().GetEmpty()) {
    if (textureFile) throw std::runtime_error("cannot read the JPEG texture " + texturePath);
    std::cerr << "umbrivista-cli: texture " << texturePath
              << " not found; drawing the plain surface\n";
  }
  globe.Graticule().SetLatitudeStep(kGridSteps[grid][0]);
  globe.Graticule().SetLongitudeStep(kGridSteps[grid][1]);
  projector.SetXRotation(xRotation);
  projector.SetYRotation(yRotation);
  projector.SetScaleFactor((410 - zoom) * 1e-8L);
  projector.SetXOrigin(width / 2);
  projector.SetYOrigin(height / 2);

  const QImage image = globe.PaintToImage();
  if (image.isNull() || !image.save(QString::fromStdString(*out), "PNG")) {
    throw std::runtime_error("cannot write " + *out);
  }
  return 0;
}
