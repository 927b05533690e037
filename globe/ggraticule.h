// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The graticule: meridians and parallels at whole-degree steps, drawn through chain drawing.

#include <cstdint>
#include <vector>

#include "gattributes.h"
#include "gchains.h"

namespace umbrivista {

class TGGlobeContext;

enum TGGraticuleDrawMode : std::uint8_t { gdNone, gdBehind, gdInFront };

class TGGraticule {
 public:
  explicit TGGraticule(TGGlobeContext* globe);

  TGGraticuleDrawMode DrawMode() const { return drawMode_; }
  std::int32_t LongitudeStep() const { return longitudeStep_; }  // degrees; ≤ 0: no meridians
  std::int32_t LatitudeStep() const { return latitudeStep_; }    // degrees; ≤ 0: no parallels
  const TGPen& GraticulePen() const { return pen_; }
  // Each setter requests a render of the globe when the value changes.
  void SetDrawMode(TGGraticuleDrawMode mode);
  void SetLongitudeStep(std::int32_t degrees);
  void SetLatitudeStep(std::int32_t degrees);
  void SetGraticulePen(const TGPen& pen);

  // Draws the graticule with the globe's renderer and projector.
  void Render();

 private:
  void Changed();
  // A line of n segments from a to b, drawn as an open chain when its rectangle is visible.
  void RenderLine(TGGlobePoint a, TGGlobePoint b, int n);

  TGGlobeContext* globe_;
  TGGraticuleDrawMode drawMode_ = gdBehind;
  std::int32_t longitudeStep_ = 10;
  std::int32_t latitudeStep_ = 10;
  TGPen pen_{clSilver, gpsSolid, 1, guPixel};
  TGChainStore line_;
};

}  // namespace umbrivista
