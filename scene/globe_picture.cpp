// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "globe_picture.h"

#include <QPainter>
#include <QPoint>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <tuple>

#include "gcustomglobe.h"
#include "globe_settings.h"
#include "globe_units.h"
#include "gunits.h"
#include "layers.h"
#include "map_view.h"
#include "night_shade.h"
#include "numbers.h"
#include "overlay.h"
#include "scratch_database.h"
#include "shadow.h"

namespace umbrivista {

struct GlobePicture::Impl {
  Impl(const EclipseRecord& r, const GlobePictureOptions& o,
       std::function<void(const std::string&)> warn)
      : record(r), options(o), scratch(std::move(warn)), globe(o.width, o.height) {}

  EclipseRecord record;
  GlobePictureOptions options;
  ScratchDatabase scratch;
  TGCustomGlobeView globe;
  std::unique_ptr<SceneLayers> layers;
  OverlayInput overlay;
  MapOverlayInput mapOverlay;
  GlobeRotation view, sun;  // of the instant last rendered
};

GlobePicture::GlobePicture(const EclipseRecord& record, const GlobePictureOptions& options,
                           std::function<void(const std::string&)> warn)
    : impl_(std::make_unique<Impl>(record, options, std::move(warn))) {
  TGCustomGlobeView& globe = impl_->globe;
  SetUpMainGlobe(globe);
  globe.SetSpatialDatabase(&impl_->scratch.database);
  if (!options.texturePath.empty()) {
    globe.SetSurfaceTextureName(options.texturePath);
    if (globe.SurfaceTexture().GetEmpty()) {
      throw std::runtime_error("cannot use the JPEG texture " + options.texturePath + ": " +
                               globe.SurfaceTexture().LastError());
    }
  }
  const GridSteps steps = GridStepsFor(options.grid);
  globe.Graticule().SetLatitudeStep(steps.latitude);
  globe.Graticule().SetLongitudeStep(steps.longitude);
  globe.Projector().SetScaleFactor(ZoomScaleFactor(options.zoom));

  // The layers as the main window builds them: the limits, the centre line, then the capitals.
  impl_->layers = std::make_unique<SceneLayers>(globe, &impl_->scratch.database);
  SceneLayers& layers = *impl_->layers;
  layers.RebuildPathLimits(record, options.deltaT, options.back, options.limits);
  layers.RebuildCentreLine(record, options.deltaT, options.back);
  if (options.capitals) layers.RebuildCapitals();
  if (options.poi) layers.RebuildPoI(options.poi->first, options.poi->second);
  layers.RebuildPoIList(options.listMarks);

  if (options.map) {
    ShadowState atT0;
    atT0.deltaT = options.deltaT;
    UpdateInstant(record, 0, false, atT0);
    ShowMap(globe, *options.map, MapCentralMeridian(atT0));
    if (options.overlay) {
      globe.OnAfterRender = [this](QPainter& canvas) {
        DrawMapOverlay(canvas, impl_->globe.Projector(), impl_->mapOverlay);
      };
    }
    return;
  }
  if (options.nightSide) {
    globe.OnPaintSurface = [this] {
      TGCustomGlobeView& g = impl_->globe;
      TGBitmap& picture = g.Renderer().Picture();
      const TGProjector& p = g.Projector();
      ShadeNightSide(picture.Bits(), picture.Width(), picture.Height(), {p.XOrigin(), p.YOrigin()},
                     static_cast<double>(p.ScaleFactor()) * kGlobeSphereRadius, impl_->view,
                     impl_->sun);
    };
  }
  if (options.overlay) {
    globe.OnAfterRender = [this](QPainter& canvas) { DrawOverlay(canvas, impl_->overlay); };
  }
}

GlobePicture::~GlobePicture() = default;

QImage GlobePicture::Render(double t) {
  const GlobePictureOptions& options = impl_->options;
  TGCustomGlobeView& globe = impl_->globe;
  TGProjector& projector = globe.Projector();
  if (options.map) {
    ShadowState state;
    state.deltaT = options.deltaT;
    MapOverlayInput& in = impl_->mapOverlay;
    in.instant = UpdateInstant(impl_->record, t, false, state);
    in.language = options.language;
    in.showSubSolar = options.subSolar;
    in.subSolar = SubSolarPoint(state);
    in.showPoI = options.poi.has_value();
    if (options.poi) std::tie(in.poiLatitude, in.poiLongitude) = *options.poi;
    return globe.PaintToImage();
  }
  // Orientation of the main window: the sub-solar point faces the viewer, north up.
  ShadowState state;
  state.deltaT = options.deltaT;
  UpdateInstant(impl_->record, t, options.back, state);
  const GlobeRotation rotation = DisplayOrientation(state, options.back);
  impl_->view = rotation;
  impl_->sun = DisplayOrientation(state, false);
  projector.SetXRotation(rotation.x);
  projector.SetYRotation(rotation.y);
  const int width = options.width, height = options.height;
  int originX = width / 2, originY = height / 2;
  if (options.origin && !options.centre) std::tie(originX, originY) = *options.origin;
  projector.SetXOrigin(originX);
  projector.SetYOrigin(originY);
  if (options.centre) {
    // The globe keeps looking along the shadow axis and is moved, as a drag in the window moves
    // it, so that the point lies at the picture's centre. The perspective makes a move of the
    // origin shift a point by not quite as much: a few rounds bring it to the pixel.
    const auto lon = static_cast<std::int32_t>(std::lround(options.centre->second * kGUPerDegree));
    const auto lat = static_cast<std::int32_t>(std::lround(options.centre->first * kGUPerDegree));
    for (int round = 0; round < 8; ++round) {
      if (!projector.Model().LLToXYIndex(lon, lat, 0)) {
        throw std::runtime_error(FormatShortest(options.centre->first) + "," +
                                 FormatShortest(options.centre->second) +
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

  OverlayInput& in = impl_->overlay;
  in.record = impl_->record;
  in.state = state;
  in.julianDay = InstantJulianDay(impl_->record, t, state.deltaT);
  in.backView = options.back;
  in.showSubSolar = options.subSolar;
  in.language = options.language;
  in.cx = originX;
  in.cy = originY;
  in.k = PixelsPerEarthRadius(projector.ScaleFactor());
  in.showPoI = false;
  if (options.poi && options.overlay) {
    const auto lon = static_cast<std::int32_t>(std::lround(options.poi->second * kGUPerDegree));
    const auto lat = static_cast<std::int32_t>(std::lround(options.poi->first * kGUPerDegree));
    in.showPoI = projector.Model().LLToXYIndex(lon, lat, 0);
    in.poiX = projector.Points()[0].x();
    in.poiY = projector.Points()[0].y();
  }
  return globe.PaintToImage();
}

PictureFormat PictureFormatForPath(std::string_view path) {
  auto endsWith = [path](std::string_view suffix) {
    if (path.size() < suffix.size()) return false;
    const std::string_view tail = path.substr(path.size() - suffix.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
      const char c = tail[i];
      if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != suffix[i]) return false;
    }
    return true;
  };
  if (endsWith(".svg")) return PictureFormat::kSvg;
  if (endsWith(".pdf")) return PictureFormat::kPdf;
  return PictureFormat::kPng;
}

}  // namespace umbrivista
