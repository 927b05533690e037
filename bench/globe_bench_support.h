#pragma once
// Shared set-up of the globe benchmarks.

#include <cstdio>
#include <cstdlib>

#include "gbitmap.h"

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

}  // namespace umbrivista
