// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The disc sketch of what the point of interest sees, as a widget over the globe panel.

#include <QWidget>
#include <string>
#include <vector>

#include "disc_sketch.h"

namespace umbrivista {

class TDiscSketchView : public QWidget {
 public:
  explicit TDiscSketchView(QWidget* parent = nullptr);

  // What to paint: the frames and the lines under each.
  void SetSketch(DiscSketch sketch, std::vector<std::string> captions);
  const DiscSketch& Sketch() const { return sketch_; }
  const std::vector<std::string>& Captions() const { return captions_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  DiscSketch sketch_;
  std::vector<std::string> captions_;
};

}  // namespace umbrivista
