// render: the main window's globe at one instant of an eclipse, written as a PNG picture.

#include <fcntl.h>
#include <unistd.h>
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "angles.h"
#include "capitals.h"
#include "centre_line.h"
#include "cli.h"
#include "deltat.h"
#include "gcustomglobe.h"
#include "gspatialdb.h"
#include "safe_file.h"
#include "shadow.h"

namespace umbrivista {

namespace {

// The globe textures beside the program, in the order of the globe-style choice.
const char* const kTextureFiles[] = {"BlueMarble_5.4x2.7k.jpg", "DEMIS_World_3.jpg",
                                     "World_4096.jpg", "World_white.jpg"};

// Graticule latitude / longitude steps of the grid choice.
const int kGridSteps[][2] = {{0, 0}, {90, 0}, {10, 10}, {20, 20}, {30, 30}, {45, 45}, {90, 90}};

int IntOption(Args& args, const std::string& name, int fallback, int lo, int hi) {
  const auto text = args.TakeOption(name);
  return text ? ParseIntArg(*text, "--" + name, lo, hi) : fallback;
}

// The path of the scratch database while it exists, for the signal handlers: they may only use
// async-signal-safe calls, so the path lives in a fixed buffer ("" when there is none).
char g_scratchPath[4096] = "";

extern "C" void RemoveScratchAndDie(int signal) {
  if (g_scratchPath[0] != '\0') ::unlink(g_scratchPath);
  // The handler was installed with SA_RESETHAND: the default action ends the process once the
  // handler returns.
  ::raise(signal);
}

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The scratch database that holds the layers, as the main window keeps it: "Temporary_" and eight
// random capital letters with ".tmp" in the temporary folder, removed when done, also when the
// process is interrupted or terminated.
class ScratchDatabase {
 public:
  ScratchDatabase() {
    // Qt answers "" when TMPDIR names nothing that exists; the folder is then TMPDIR as given, so
    // that the error below names it.
    std::string folder = QDir::tempPath().toStdString();
    if (folder.empty()) folder = qEnvironmentVariable("TMPDIR").toStdString();
    // Created exclusively: a file or link of that name belongs to someone else and stays as it is.
    for (int attempt = 0;; ++attempt) {
      std::string letters;
      for (int i = 0; i < 8; ++i)
        letters += static_cast<char>('A' + QRandomGenerator::global()->bounded(26));
      path_ = folder + "/Temporary_" + letters + ".tmp";
      const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd >= 0) {
        ::close(fd);
        break;
      }
      if (errno != EEXIST || attempt == 100) {
        throw std::runtime_error("cannot create the scratch database in the temporary folder " +
                                 folder + ": " + std::strerror(errno));
      }
    }
    InstallSignalHandlers();
    try {
      database.SetDataSourceName(path_);
      database.SetActive(true);
      if (database.ReadOnly()) throw std::runtime_error(path_ + ": opened for reading only");
    } catch (...) {
      Remove();
      throw;
    }
  }
  ~ScratchDatabase() {
    try {
      database.Flush();
      database.SetActive(false);
    } catch (const std::exception& e) {
      std::cerr << "umbrivista-cli: warning: closing the scratch database " << path_ << ": "
                << e.what() << "\n";
    }
    Remove();
  }
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  TGSpatialDatabase database;

 private:
  void InstallSignalHandlers() {
    if (path_.size() >= sizeof g_scratchPath) return;  // then only the normal ways out remove it
    std::memcpy(g_scratchPath, path_.c_str(), path_.size() + 1);
    struct sigaction action {};
    action.sa_handler = RemoveScratchAndDie;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i) {
      // A signal the caller ignores (nohup, background jobs) stays ignored.
      if (::sigaction(kCleanupSignals[i], nullptr, &previous_[i]) == 0 &&
          previous_[i].sa_handler != SIG_IGN) {
        ::sigaction(kCleanupSignals[i], &action, nullptr);
        installed_[i] = true;
      }
    }
  }
  void Remove() {
    for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i) {
      if (installed_[i]) ::sigaction(kCleanupSignals[i], &previous_[i], nullptr);
      installed_[i] = false;
    }
    g_scratchPath[0] = '\0';
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
      std::cerr << "umbrivista-cli: warning: cannot remove the scratch database " << path_ << ": "
                << std::strerror(errno) << "\n";
    }
  }

  std::string path_;
  struct sigaction previous_[std::size(kCleanupSignals)]{};
  bool installed_[std::size(kCleanupSignals)] = {};
};

// The layer of that name: found in the globe, else created in the database.
TGLayer& MapLayer(TGCustomGlobeView& globe, TGSpatialDatabase& database, const std::string& name) {
  if (TGLayer* layer = globe.Layers().FindByName(name)) return *layer;
  const QUuid guid = database.CreateLayer(name);
  TGLayer* layer = globe.Layers().FindByGUID(guid);
  if (!layer) throw std::runtime_error("the layer " + name + " did not reach the globe");
  return *layer;
}

// The centre line as a yellow road three pixels wide (dark red in the back view).
void BuildCentreLineLayer(TGCustomGlobeView& globe, TGSpatialDatabase& database,
                          const EclipseRecord& record, double deltaT, bool back) {
  TGLayer& layer = MapLayer(globe, database, "CenterLine Layer");
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = 1;
  road->RoadPen.SetColor(back ? 0x000080 : clYellow);
  road->EdgeColor = road->RoadPen.Color();
  road->RoadPen.SetWidth(3);
  road->RoadPen.SetWidthUnit(guPixel);
  road->EdgePixels = 0;
  layer.Presenters().Add(std::move(road));
  const std::vector<CentreLinePoint> points = BuildCentreLine(record, deltaT, back);
  if (points.empty()) return;
  auto line = std::make_shared<TGMapPoly>();
  line->SetClosed(false);
  line->SetPresenterID(1);
  layer.ObjectSource().Add(line);
  line->NotifyOwner();
  for (const CentreLinePoint& p : points) {
    line->Chain(0).Points.push_back({p.longitudeUnits, p.latitudeUnits, 0});
    line->Invalidate();
  }
}

// The capitals as small black dots with white titles above them.
void BuildCapitalsLayer(TGCustomGlobeView& globe, TGSpatialDatabase& database) {
  TGLayer& layer = MapLayer(globe, database, "Cities Layer");
  layer.Clear();
  auto points = std::make_unique<TGPointPresenter>();
  points->PresenterID = 2;
  points->PointType = ppCircle;
  points->PointUnit = guPixel;
  points->PointSize = 4;
  points->PointPen.SetColor(clWhite);
  points->PointBrush.SetColor(clBlack);
  points->PointBrush.SetStyle(gbsSolid);
  points->TitleFont.SetColor(clWhite);
  points->TitleFont.SetSizeUnit(guMinute);
  points->TitleFont.SetSize(60);
  points->TitleAlignment = taTop;
  layer.Presenters().Add(std::move(points));
  for (const City_Type& city : Capitals()) {
    auto point = std::make_shared<TGMapPoint>();
    point->SetPresenterID(2);
    point->SetColumn(0, city.capital);
    point->SetCentroid({DegreesToGU(city.longitude), DegreesToGU(city.latitude), 0});
    point->Invalidate();
    layer.ObjectSource().Add(point);
  }
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
  // The overlay (sub-solar marker) is not drawn yet; the flag is accepted so that callers can
  // already pass it.
  args.TakeFlag("ssp");
  const bool capitals = args.TakeFlag("capitals");
  const auto& catalogue = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), catalogue);
  const double t =
      ParseRealArg(args.TakePositional("T"), "T", -kMaxHoursFromT0, kMaxHoursFromT0, "hours");
  args.ExpectEnd();
  if (!out) throw UsageError("render needs --out FILE.png");

  // Orientation of the main window: the sub-solar point faces the viewer, north up.
  const EclipseRecord& record = catalogue.RecordAt(position);
  ShadowState state;
  EvaluateElements(record, t, state);
  state.deltaT = ut ? DeltaT(record.year, record.month) : 0.0;
  double xRotation = state.d * kRadToDeg;
  double yRotation = -state.mu * kRadToDeg + kEarthRotationDegPerSecond * state.deltaT;
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

  ScratchDatabase scratch;
  TGCustomGlobeView globe(width, height);
  globe.Renderer().MaxTextHeight = 40;
  globe.Renderer().MinTextHeight = 8;
  globe.SetMinObjectPixels(1.0);
  globe.SetSpatialDatabase(&scratch.database);
  TGProjector& projector = globe.Projector();
  const std::string texturePath =
      textureFile ? *textureFile : ProgramFolder() + "/" + kTextureFiles[texture];
  globe.SetSurfaceTextureName(texturePath);
  if (globe.SurfaceTexture().GetEmpty()) {
    const std::string problem =
        "cannot use the JPEG texture " + texturePath + ": " + globe.SurfaceTexture().LastError();
    if (textureFile) throw std::runtime_error(problem);
    std::cerr << "umbrivista-cli: " << problem << "; drawing the plain surface\n";
  }
  globe.Graticule().SetLatitudeStep(kGridSteps[grid][0]);
  globe.Graticule().SetLongitudeStep(kGridSteps[grid][1]);
  projector.SetXRotation(xRotation);
  projector.SetYRotation(yRotation);
  projector.SetScaleFactor((410 - zoom) * 1e-8L);
  projector.SetXOrigin(width / 2);
  projector.SetYOrigin(height / 2);

  // The layers as the main window builds them: the centre line, then the capitals.
  scratch.database.ResetCaches();
  BuildCentreLineLayer(globe, scratch.database, record, state.deltaT, back);
  if (capitals) BuildCapitalsLayer(globe, scratch.database);

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
