// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window's globe shows that follows from its choices and the instant: the texture
// files of the globe-style list, the graticule steps of the grid list and the orientation that
// makes the viewer look along the shadow axis.

#include "shadow.h"

namespace umbrivista {

class TGCustomGlobeView;

// The main window's globe: double-buffered, titles 8 … 40 pixels high, a yellow brush and a red
// pen for the selection, an aqua surface where there is no texture, objects below one pixel drawn
// as dots, a silver one-pixel graticule behind the layers, and a scale that stays on resize.
void SetUpMainGlobe(TGCustomGlobeView& globe);

// The globe textures in the order of the globe-style list.
inline constexpr int kTextureCount = 4;
inline constexpr const char* kTextureFiles[kTextureCount] = {
    "BlueMarble_5.4x2.7k.jpg", "DEMIS_World_3.jpg", "World_4096.jpg", "World_white.jpg"};

// Graticule latitude / longitude steps (degrees) of the grid list; index 1 draws the equator and
// the poles only. Any other index draws no grid.
struct GridSteps {
  int latitude = 0;
  int longitude = 0;
};
GridSteps GridStepsFor(int gridIndex);

// Pixels per Earth radius on the screen at a projector scale (pixels per globe unit).
double PixelsPerEarthRadius(long double scaleFactor);

// Projector scale of a zoom position (60 … 350; larger positions give a smaller globe).
long double ZoomScaleFactor(int zoomPosition);

// The zoom position at which the whole globe fits a `width` × `height` panel with a small margin:
// `preferred` where it fits, else the nearest smaller globe that does (at most position 350).
int FittingZoom(int width, int height, int preferred);

// Rotations (degrees) that turn the sub-solar point to the viewer with north up: the x rotation
// is the Sun's declination, the y rotation follows μ and the Earth's turn during ΔT. In the back
// view the declination is mirrored and the globe turned half round, so the anti-sub-solar point
// faces the viewer.
struct GlobeRotation {
  double x = 0;
  double y = 0;
};
GlobeRotation DisplayOrientation(const ShadowState& state, bool backView);

}  // namespace umbrivista
