#pragma once
// Drawing attributes: pens, brushes and fonts with the units their sizes are given in. Each
// change bumps a change counter, by which the renderer knows when to rebuild its drawing object.

#include <cstdint>
#include <string>

#include "gunits.h"

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

// Common part of the attributes: the change counter.
class TGAttribute {
 public:
  std::uint32_t ChangeCount() const { return changes_; }

 protected:
  void Changed() { ++changes_; }

 private:
  std::uint32_t changes_ = 0;
};

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

 private:
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

 private:
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

 private:
  std::int32_t angle_ = 0;
  TColor color_ = clBlack;
  TColor bkColor_ = clWhite;
  std::uint8_t bkAlpha_ = 255;
  std::string name_ = "Arial";
  std::int32_t size_ = 9;
  std::uint8_t style_ = 0;
  TGUnitTypes unit_ = guPixel;
};
