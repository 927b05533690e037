#pragma once
// Shared set-up of the globe benchmarks.

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "gbitmap.h"
#include "gprojector.h"

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

// An 800 × 800 globe turned as the main window turns it for the total eclipse of 2024-04-08 at
// T0, at the main window's zoom setting `zoom` (60 … 350).
inline void TurnToEclipse2024(TGProjector& prj, int zoom) {
  prj.SetXRotation(7.5862);
  prj.SetYRotation(-89.5912);
  prj.SetScaleFactor((410 - zoom) * 1e-8L);
  prj.SetXOrigin(400);
  prj.SetYOrigin(400);
}

}  // namespace umbrivista
