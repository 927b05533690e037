// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "globe_settings.h"

#include <algorithm>
#include <iterator>

#include "angles.h"
#include "deltat.h"
#include "gcustomglobe.h"

namespace umbrivista {

void SetUpMainGlobe(TGCustomGlobeView& globe) {
  globe.SetDoubleBuffer(true);
  globe.SetMaxTextHeight(40);
  globe.SetMinTextHeight(8);
  globe.SetSelectedBrush(TGBrush{clYellow, clYellow, gbsSolid});
  globe.SetSelectedPen(TGPen{clRed, gpsSolid, 1, guPixel});
  globe.SetSurfaceColor(clAqua);
  globe.SetCullObjectPixels(0.75);
  globe.SetMinObjectPixels(1.0);
  globe.SetMinObjectColor(clGray);
  TGPen pen = globe.Graticule().GraticulePen();
  pen.SetColor(clSilver);
  pen.SetStyle(gpsSolid);
  pen.SetWidth(1);
  pen.SetWidthUnit(guPixel);
  globe.Graticule().SetGraticulePen(pen);
  globe.Graticule().SetDrawMode(gdBehind);
  globe.SetGlobeOptions(goConstantScaleOnResize);
}

GridSteps GridStepsFor(int gridIndex) {
  static constexpr GridSteps kSteps[] = {{0, 0},   {90, 0},  {10, 10}, {20, 20},
                                         {30, 30}, {45, 45}, {90, 90}};
  if (gridIndex < 0 || gridIndex >= static_cast<int>(std::size(kSteps))) return {};
  return kSteps[gridIndex];
}

double PixelsPerEarthRadius(long double scaleFactor) {
  // An Earth radius counts as 57.5 degrees' worth of globe units (5,400,000 per degree), close to
  // the 57.3 degrees of a radian; the overlay's plane and the globe's sphere meet at this scale.
  return static_cast<double>(scaleFactor) * 310500000;
}

long double ZoomScaleFactor(int zoomPosition) {
  // The track bar runs from 60 to 350; the scale grows as the position falls.
  return (60 + 350 - zoomPosition) * 1e-8L;
}

int FittingZoom(int width, int height, int preferred) {
  constexpr int kSmallestGlobe = 350;
  const double room = 0.95 * std::min(width, height);
  int zoom = std::clamp(preferred, 60, kSmallestGlobe);
  while (zoom < kSmallestGlobe && 2 * PixelsPerEarthRadius(ZoomScaleFactor(zoom)) > room) ++zoom;
  return zoom;
}

GlobeRotation DisplayOrientation(const ShadowState& state, bool backView) {
  GlobeRotation r;
  r.x = state.d * kRadToDeg;
  r.y = -state.mu * kRadToDeg + kEarthRotationDegPerSecond * state.deltaT;
  if (backView) {
    r.x = -r.x;
    r.y += 180;
  }
  return r;
}

}  // namespace umbrivista
