// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing attributes: pens, brushes and fonts with the units their sizes are given in. Each
// change bumps a change counter and calls the attribute's change callback. Every attribute caches
// the drawing object (QPen, QBrush, QFont) built from it, together with the renderer and the
// projector's view distance it was built for; the object is rebuilt only when the attribute has
// changed since, the renderer differs, or (for sizes in units other than pixels) the view distance
// has changed.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPen>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gunits.h"

namespace umbrivista {

class TGRenderer;

enum TGPenStyle : std::uint8_t {
  gpsSolid,
  gpsDash,
  gpsDot,
  gpsDashDot,
  gpsDashDotDot,
  gpsClear,
  gpsInsideFrame,
};

// gbsPattern1 … gbsPattern50 follow as ordinals 8 … 57.
enum TGBrushStyle : std::uint8_t {
  gbsSolid,
  gbsClear,
  gbsHorizontal,
  gbsVertical,
  gbsFDiagonal,
  gbsBDiagonal,
  gbsCross,
  gbsDiagCross,
  gbsPattern1,
};

enum TGFontStyle : std::uint8_t {
  gfsBold = 1,
  gfsItalic = 2,
  gfsUnderline = 4,
  gfsStrikeOut = 8,
  gfsOpaque = 16,
  gfsHalo = 32,
};

// Common part of the attributes: the change counter, the change callback and the key of the
// cached drawing object. Copying an attribute copies its values and its cache but not the
// callback of the source: the copy keeps its own.
class TGAttribute {
 public:
  TGAttribute() = default;
  TGAttribute(const TGAttribute& other) { CopyState(other); }
  TGAttribute& operator=(const TGAttribute& other) {
    if (this != &other) CopyState(other);
    return *this;
  }

  std::uint32_t ChangeCount() const { return changes_; }
  // Called after every change of a property value.
  std::function<void()> OnChange;

 protected:
  void Changed() {
    ++changes_;
    if (OnChange) OnChange();
  }
  // True when the cached drawing object was built for this renderer, this state of the attribute,
  // this extra key (a pixel size) and, when the size depends on the zoom, this view distance.
  bool CacheFresh(const TGRenderer* renderer, std::int32_t viewDistance, bool zoomDependent,
                  std::int32_t extra) const {
    return cacheValid_ && cacheRenderer_ == renderer && cacheChanges_ == changes_ &&
           cacheExtra_ == extra && (!zoomDependent || cacheViewDistance_ == viewDistance);
  }
  void MarkCached(const TGRenderer* renderer, std::int32_t viewDistance, std::int32_t extra) const {
    cacheValid_ = true;
    cacheRenderer_ = renderer;
    cacheChanges_ = changes_;
    cacheViewDistance_ = viewDistance;
    cacheExtra_ = extra;
  }

 private:
  void CopyState(const TGAttribute& o) {
    changes_ = o.changes_;
    cacheValid_ = o.cacheValid_;
    cacheRenderer_ = o.cacheRenderer_;
    cacheChanges_ = o.cacheChanges_;
    cacheViewDistance_ = o.cacheViewDistance_;
    cacheExtra_ = o.cacheExtra_;
  }

  std::uint32_t changes_ = 0;
  mutable bool cacheValid_ = false;
  mutable const TGRenderer* cacheRenderer_ = nullptr;
  mutable std::uint32_t cacheChanges_ = 0;
  mutable std::int32_t cacheViewDistance_ = 0;
  mutable std::int32_t cacheExtra_ = 0;
};

QColor ToQColor(TColor color);

class TGPen : public TGAttribute {
 public:
  TGPen() = default;
  TGPen(TColor color, TGPenStyle style, std::int32_t width, TGUnitTypes unit)
      : color_(color), style_(style), width_(width), unit_(unit) {}

  TColor Color() const { return color_; }
  TGPenStyle Style() const { return style_; }
  std::int32_t Width() const { return width_; }
  TGUnitTypes WidthUnit() const { return unit_; }
  void SetColor(TColor v) {
    if (v != color_) {
      color_ = v;
      Changed();
    }
  }
  void SetStyle(TGPenStyle v) {
    if (v != style_) {
      style_ = v;
      Changed();
    }
  }
  void SetWidth(std::int32_t v) {
    if (v != width_) {
      width_ = v;
      Changed();
    }
  }
  void SetWidthUnit(TGUnitTypes v) {
    if (v != unit_) {
      unit_ = v;
      Changed();
    }
  }

  // Width in pixels at the given scale (pixels per globe unit).
  std::int32_t PixelWidth(double scaleFactor) const {
    return UnitsToPixels(width_, unit_, scaleFactor);
  }
  bool SameAs(const TGPen& o) const {
    return color_ == o.color_ && style_ == o.style_ && width_ == o.width_ && unit_ == o.unit_;
  }

  // The pen to draw with: below 2 pixels a cosmetic width-1 pen of the style, from 2 pixels a
  // pen of that width with round ends and joins. Cached (see TGAttribute).
  const QPen& DrawingObject(const TGRenderer* renderer, std::int32_t viewDistance,
                            double scaleFactor) const;

 private:
  mutable QPen object_;
  TColor color_ = clBlack;
  TGPenStyle style_ = gpsSolid;
  std::int32_t width_ = 1;
  TGUnitTypes unit_ = guPixel;
};

class TGBrush : public TGAttribute {
 public:
  TGBrush() = default;
  TGBrush(TColor bkColor, TColor color, std::uint8_t style)
      : bkColor_(bkColor), color_(color), style_(style) {}

  TColor BkColor() const { return bkColor_; }
  TColor Color() const { return color_; }
  // A TGBrushStyle, or 8 … 57 for the pattern styles.
  std::uint8_t Style() const { return style_; }
  void SetBkColor(TColor v) {
    if (v != bkColor_) {
      bkColor_ = v;
      Changed();
    }
  }
  void SetColor(TColor v) {
    if (v != color_) {
      color_ = v;
      Changed();
    }
  }
  void SetStyle(std::uint8_t v) {
    if (v != style_) {
      style_ = v;
      Changed();
    }
  }
  bool SameAs(const TGBrush& o) const {
    return bkColor_ == o.bkColor_ && color_ == o.color_ && style_ == o.style_;
  }
  // Transparent background when the background colour equals the colour.
  bool TransparentBackground() const { return bkColor_ == color_; }

  // Solid, hollow, hatched or pattern brush of the style. Cached (see TGAttribute).
  const QBrush& DrawingObject(const TGRenderer* renderer) const;

 private:
  mutable QBrush object_;
  TColor bkColor_ = clWhite;
  TColor color_ = clWhite;
  std::uint8_t style_ = gbsSolid;
};

class TGFont : public TGAttribute {
 public:
  std::int32_t Angle() const { return angle_; }  // tenths of a degree
  TColor Color() const { return color_; }
  TColor BkColor() const { return bkColor_; }
  std::uint8_t BkAlphaBlend() const { return bkAlpha_; }
  const std::string& Name() const { return name_; }
  std::int32_t Size() const { return size_; }
  std::uint8_t Style() const { return style_; }  // TGFontStyle bits
  TGUnitTypes SizeUnit() const { return unit_; }
  void SetAngle(std::int32_t v) {
    if (v != angle_) {
      angle_ = v;
      Changed();
    }
  }
  void SetColor(TColor v) {
    if (v != color_) {
      color_ = v;
      Changed();
    }
  }
  void SetBkColor(TColor v) {
    if (v != bkColor_) {
      bkColor_ = v;
      Changed();
    }
  }
  void SetBkAlphaBlend(std::uint8_t v) {
    if (v != bkAlpha_) {
      bkAlpha_ = v;
      Changed();
    }
  }
  void SetName(const std::string& v) {
    if (v != name_) {
      name_ = v;
      Changed();
    }
  }
  void SetSize(std::int32_t v) {
    if (v != size_) {
      size_ = v;
      Changed();
    }
  }
  void SetStyle(std::uint8_t v) {
    if (v != style_) {
      style_ = v;
      Changed();
    }
  }
  void SetSizeUnit(TGUnitTypes v) {
    if (v != unit_) {
      unit_ = v;
      Changed();
    }
  }
  bool SameAs(const TGFont& o) const {
    return angle_ == o.angle_ && color_ == o.color_ && bkColor_ == o.bkColor_ &&
           bkAlpha_ == o.bkAlpha_ && name_ == o.name_ && size_ == o.size_ && style_ == o.style_ &&
           unit_ == o.unit_;
  }

  // The font of that character height in pixels (weight, italic, underline, strike-out, face)
  // and its metrics. Cached (see TGAttribute).
  const QFont& DrawingObject(const TGRenderer* renderer, std::int32_t viewDistance,
                             std::int32_t pixelHeight) const;
  const QFontMetrics& Metrics(const TGRenderer* renderer, std::int32_t viewDistance,
                              std::int32_t pixelHeight) const;

 private:
  mutable QFont object_;
  mutable std::optional<QFontMetrics> metrics_;
  std::int32_t angle_ = 0;
  TColor color_ = clBlack;
  TColor bkColor_ = clWhite;
  std::uint8_t bkAlpha_ = 255;
  std::string name_ = "Arial";
  std::int32_t size_ = 9;
  std::uint8_t style_ = 0;
  TGUnitTypes unit_ = guPixel;
};

// Number of pattern brush styles (gbsPattern1 … gbsPattern50).
inline constexpr int kBrushPatternCount = 50;
// The 8 × 8 picture of a pattern brush style (8 … 57): eight rows from the top, the leftmost
// pixel in the highest bit; a set bit is drawn in the brush colour, a clear one in the background
// colour (or left as it is when the background is transparent). All zero for any other style.
std::array<std::uint8_t, 8> BrushPattern(int style);

// The drawing objects of an attribute, built anew (the cached DrawingObject calls these).
QPen ToQPen(const TGPen& pen, int pixelWidth);
QBrush ToQBrush(const TGBrush& brush);

}  // namespace umbrivista
