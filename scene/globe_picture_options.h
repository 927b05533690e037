// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an off-screen picture of the main window's globe shows (globe_picture.h draws it), and
// the kinds of file such a picture is written to. Free of Qt, so that the window's model can
// fill it in.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "language.h"
#include "map_mark.h"
#include "map_view.h"

namespace umbrivista {

struct GlobePictureOptions {
  int width = 800;
  int height = 800;
  int zoom = 140;           // the window's zoom, 60…350
  int grid = 2;             // index of the graticule steps
  std::string texturePath;  // empty: the plain surface
  double deltaT = 0;        // seconds turning the Earth (0: the TT frame)
  bool back = false;
  bool subSolar = false;
  bool overlay = true;
  bool capitals = false;
  bool limits = true;
  bool nightSide = false;  // the night side shaded
  Language language = Language::kEnglish;
  std::optional<std::pair<double, double>> poi;     // latitude, longitude (degrees)
  std::vector<MapMark> listMarks;                   // the points chosen from the list
  std::optional<std::pair<double, double>> centre;  // the point kept at the picture's centre
  // The globe's centre in the picture, pixels from its top-left corner (as a drag in the window
  // puts it); the picture's centre when absent. `centre` takes precedence.
  std::optional<std::pair<int, int>> origin;
  // The whole Earth on this map instead of the globe (the view along the axis, the zoom, the
  // centre, the origin and the night shading then do not apply).
  std::optional<MapProjection> map;
};

enum class PictureFormat { kPng, kSvg, kPdf };

// By the file name's extension, in any case: ".svg" and ".pdf", else PNG.
PictureFormat PictureFormatForPath(std::string_view path);

}  // namespace umbrivista
