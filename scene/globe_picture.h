// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's globe of one eclipse drawn off screen: the textured Earth turned to look
// along the shadow axis, the path limits, the centre line, capitals and a point of interest, and
// the overlay of the fundamental plane. The texture is read once, so that a run of instants (an
// animation) costs one render each. Needs a QGuiApplication.

#include <QImage>

#include <functional>
#include <memory>
#include <string>

#include "eclipse_record.h"
#include "globe_picture_options.h"

namespace umbrivista {

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
