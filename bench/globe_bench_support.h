// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up of the globe benchmarks.

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include <sstream>

#include "catalogue.h"
#include "gbitmap.h"
#include "globe_settings.h"
#include "gprojector.h"
#include "shadow.h"

namespace umbrivista {

// The Blue Marble world image from data/; the benchmarks measure the real texture or nothing.
inline const TGBitmap& BlueMarbleTexture() {
  static const TGBitmap texture = [] {
    TGBitmap t;
    if (!t.LoadFromFile(UMBRIVISTA_DATA_DIR "/BlueMarble_5.4x2.7k.jpg")) {
      std::fprintf(stderr, "cannot load %s\n", UMBRIVISTA_DATA_DIR "/BlueMarble_5.4x2.7k.jpg");
      std::exit(1);
    }
    return t;
  }();
  return texture;
}

// The Qt application the fonts and pictures need, made once, offscreen unless a platform is set.
inline void EnsureApplication() {
  static QGuiApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_globe";
    static char* argv[] = {name, nullptr};
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
}

// The total eclipse of 2024-04-08.
inline EclipseRecord Eclipse2024() {
  std::istringstream text(
      "2024 4 8 2 0 0.3431 2460409.25 0 139 18 -0.318244 0.5117116 0.0000326 -0.0000084 "
      "0.219764 0.2709589 -0.0000595 -0.0000047 7.5862002 0.0148440 -0.0000020 0 89.591217 "
      "15.004080 0 0 0.535814 0.0000618 -0.0000128 0 -0.010272 0.0000615 -0.0000127 0 0.0046683 "
      "0 0 0 0.0046450 0 0 0 30 71\n");
  return ParseCatalogueText(text, "2024").at(0);
}

// An 800 × 800 globe turned as the main window turns it for the total eclipse of 2024-04-08 at
// T0, at the main window's zoom setting `zoom` (60 … 350).
inline void TurnToEclipse2024(TGProjector& prj, int zoom) {
  ShadowState state;
  EvaluateElements(Eclipse2024(), 0, state);
  const GlobeRotation rotation = DisplayOrientation(state, false);
  prj.SetXRotation(rotation.x);
  prj.SetYRotation(rotation.y);
  prj.SetScaleFactor(ZoomScaleFactor(zoom));
  prj.SetXOrigin(400);
  prj.SetYOrigin(400);
}

}  // namespace umbrivista
