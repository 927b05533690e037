#pragma once
// The main window's globe of one eclipse drawn off screen: the textured Earth turned to look
// along the shadow axis, the path limits, the centre line, capitals and a point of interest, and
// the overlay of the fundamental plane. The texture is read once, so that a run of instants (an
// animation) costs one render each. Needs a QGuiApplication.

#include <QImage>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

struct GlobePictureOptions {
  int width = 800;
  int height = 800;
  int zoom = 140;   // the window's zoom, 60…350
  int grid = 2;     // index of the graticule steps
  std::string texturePath;  // empty: the plain surface
  double deltaT = 0;        // seconds turning the Earth (0: the TT frame)
  bool back = false;
  bool subSolar = false;
  bool overlay = true;
  bool capitals = false;
  bool limits = true;
  Language language = Language::kEnglish;
  std::optional<std::pair<double, double>> poi;     // latitude, longitude (degrees)
  std::optional<std::pair<double, double>> centre;  // the point kept at the picture's centre
};

class GlobePicture {
 public:
  // Throws std::runtime_error when the texture file cannot be used; `warn` is told of problems
  // with the scratch database.
  GlobePicture(const EclipseRecord& record, const GlobePictureOptions& options,
               std::function<void(const std::string&)> warn);
  ~GlobePicture();
  GlobePicture(const GlobePicture&) = delete;
  GlobePicture& operator=(const GlobePicture&) = delete;

  // The picture at t hours from T0 (TT). Throws std::runtime_error ("LAT,LON lies on the far
  // side …") when a centre was asked for and that point lies on the far side of the globe at t.
  QImage Render(double t);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace umbrivista
