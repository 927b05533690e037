// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The renderer: the off-screen picture, the shared buffer of projected screen points, the
// current pen, brush and font, and a queue of polygon or polyline parts that it clips to the
// drawing surface and draws. Texture triangles are written pixel by pixel into the picture.

#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "gattributes.h"
#include "gbitmap.h"
#include "gclip.h"
#include "gunits.h"

namespace umbrivista {

class TGRenderer {
 public:
  static constexpr int kPointBufferSize = 0x40000;

  TGRenderer();
  virtual ~TGRenderer() = default;
  TGRenderer(const TGRenderer&) = delete;
  TGRenderer& operator=(const TGRenderer&) = delete;

  // Called when a render starts with the projector's scale (pixels per globe unit) and view
  // distance, which convert the zoom-dependent sizes of pens and fonts until the next render.
  void BeginRender(double scale, std::int32_t viewDistance) {
    scale_ = scale;
    viewDistance_ = viewDistance;
  }

  // The shared screen-point buffer (kPointBufferSize entries, undefined until written).
  QPoint* Points() { return points_.get(); }
  int SurfaceWidth() const { return width_; }
  int SurfaceHeight() const { return height_; }

  int PixelsPerInch = 96;
  bool DoubleBuffer = true;
  int MinTextHeight = 5;
  int MaxTextHeight = 50;
  TGBrush SelectedBrush{0x00FFFF, 0x00FFFF, gbsSolid};
  TGPen SelectedPen{0x0000FF, gpsSolid, 1, guPixel};
  // Opacity (0 … 255) of pixel-level drawing.
  int Alpha = 255;

  // Selecting copies the attribute into the current one when it differs; the attribute's drawing
  // object is built (or taken from its cache) first, so that the copy carries it along.
  void SelectPen(const TGPen& pen);
  void SelectBrush(const TGBrush& brush);
  void SelectFont(const TGFont& font);
  // The black width-1 pixel pen and the white solid brush.
  void SelectNothing();
  const TGPen& Pen() const { return pen_; }
  const TGBrush& Brush() const { return brush_; }
  const TGFont& Font() const { return font_; }
  // Width of the current pen in pixels at the globe's scale.
  int PenPixelWidth() const;
  // Scale and view distance of the render in progress or the last one; 0 before any render.
  double ScaleFactor() const { return scale_; }
  std::int32_t ViewDistance() const { return viewDistance_; }
  // Character height of a font in pixels: its size at the current scale, cut to MaxTextHeight
  // when that is above 0.
  int FontPixelHeight(const TGFont& font) const;
  // The font's drawing object and metrics at the current scale.
  const QFont& FontObject(const TGFont& font) const;
  const QFontMetrics& FontMetrics(const TGFont& font) const;
  // Width and height of a text in a font; "\n" in the text is not special here, a line feed
  // character starts a new line.
  QSize TextExtent(const TGFont& font, const QString& text) const;

  // True when `count` ≥ 2 points have a bounding box that meets the drawing surface.
  bool PointsVisible(const QPoint* points, int count) const;

  // The parts queue: begin in closed (polygon) or open (polyline) mode; add the first `count`
  // points of Points() as a part, clipped to the surface grown by twice the pen width (at least
  // 2 pixels) on every side; end draws all parts at once and empties the queue.
  void BeginParts(bool closed);
  void AddPart(int count, int penWidth);
  void EndParts();
  int PendingParts() const { return static_cast<int>(partCounts_.size()); }

  // Draws the first `count` points of Points() as one filled polygon (clipped).
  void PolygonFromPoints(int count);

  // Fills a triangle of the picture from a texture: screen points scr[0..2] get texture pixels
  // tex[0..2] (column, row) with affine interpolation. The bottom row of each edge is not drawn.
  virtual void TextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3],
                               const TGBitmap& texture);

  // Starts and ends a drawing session (the picture's painter stays open in between).
  virtual void PrepareForDrawing() {}
  virtual void FinishDrawing() {}
  virtual void ResizeSurface(int width, int height);
  virtual void ClearSurface(TColor color) = 0;
  // Draws queued parts: a flat point array and the point count of each part.
  virtual void DrawPolyParts(const QPoint* points, const int* counts, int partCount,
                             bool closed) = 0;
  virtual void Ellipse(const QRect& rect) = 0;
  virtual void Rectangle(const QRect& rect) = 0;
  virtual void FocusRectangle(const QRect& rect) = 0;
  // Pixel in the given colour, blended with Alpha; writes outside the picture are ignored.
  virtual void SetPixel(int x, int y, TColor color) = 0;
  // One texture row y from x1 to x2 (exclusive) with texture coordinates (ua, va) at x1 and
  // (ub, vb) at x2.
  virtual void TextureSpan(int y, int x1, const TGBitmap& texture, double ua, double va, double ub,
                           double vb, int x2) = 0;
  // Draws a text (lines separated by line feeds) with the top-left corner of its unrotated
  // extent at `topLeft`, in `font` and `color`, turned by the font's angle about that corner.
  // gfsOpaque fills the text rectangle grown by one pixel with the background colour first;
  // gfsHalo strokes the outline with a 3-pixel pen of the background colour first.
  virtual void DrawText(QPoint topLeft, const QString& text, const TGFont& font, TColor color) = 0;

  // While a texture is drawn whose projection bounds how far any triangle can magnify it: the least
  // TexelsPerPixel of any of its triangles (0: no bound). A triangle's own estimate comes from
  // corners rounded to pixels and texels and may fall below the bound; the bound's level is then
  // read instead of a finer one, which would have to be decoded for a few triangles.
  void SetLeastTexelsPerPixel(double texelsPerPixel) { leastTexelsPerPixel_ = texelsPerPixel; }

 protected:
  // TextureTriangle with the texture coordinates multiplied by texScale on the way (for a
  // texture read at a reduced size).
  void WalkTextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3], const TGBitmap& texture,
                           double texScale);

  double scale_ = 0;
  std::int32_t viewDistance_ = 0;
  int width_ = 0;
  int height_ = 0;
  TGPen pen_;
  TGBrush brush_;
  TGFont font_;
  bool attributesChanged_ = true;
  double leastTexelsPerPixel_ = 0;

 private:
  // Not initialised: only the pages a render writes to take memory.
  struct FreePoints {
    void operator()(QPoint* p) const { std::free(p); }
  };
  std::unique_ptr<QPoint[], FreePoints> points_;
  std::vector<QPoint> partPoints_;
  std::vector<int> partCounts_;
  bool partsClosed_ = false;
};

// The least number of texels that a one-pixel step on screen moves across, in any direction, on a
// texture triangle (texture pixels tex[0..2] at screen points scr[0..2]); 0 for a flat triangle.
double TexelsPerPixel(const QPoint (&tex)[3], const QPoint (&scr)[3]);
// The reduced size of a texture to read at a given TexelsPerPixel: 0 (full size) below 2, 1 (half
// size) below 4, 2 (quarter size) below 8, else 3 (an eighth).
int TextureLevel(double texelsPerPixel);

class TGDefaultRenderer : public TGRenderer {
 public:
  TGDefaultRenderer();
  ~TGDefaultRenderer() override;

  // The off-screen picture.
  TGBitmap& Picture() { return picture_; }
  const TGBitmap& Picture() const { return picture_; }
  // The painter on the picture, opened on first use within a drawing session.
  QPainter& Painter();

  void PrepareForDrawing() override;
  void FinishDrawing() override;
  void ResizeSurface(int width, int height) override;
  void ClearSurface(TColor color) override;
  void DrawPolyParts(const QPoint* points, const int* counts, int partCount, bool closed) override;
  void Ellipse(const QRect& rect) override;
  void Rectangle(const QRect& rect) override;
  void FocusRectangle(const QRect& rect) override;
  void SetPixel(int x, int y, TColor color) override;
  void TextureSpan(int y, int x1, const TGBitmap& texture, double ua, double va, double ub,
                   double vb, int x2) override;
  void DrawText(QPoint topLeft, const QString& text, const TGFont& font, TColor color) override;
  // Drops the kept pictures of drawn texts.
  void ForgetTexts() { textImages_.clear(); }
  void TextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3],
                       const TGBitmap& texture) override;

 private:
  // Picture and texture memory, looked up once per texture triangle instead of once per span.
  struct SpanContext {
    const TGBitmap* texture = nullptr;
    const std::uint32_t* texels = nullptr;
    std::int64_t width = 0, height = 0;
    std::uint32_t* picture = nullptr;
  };
  SpanContext LookUp(const TGBitmap& texture);
  SpanContext span_;

  void ApplyAttributes();
  // The shape of the last small ellipse drawn pixel by pixel: per pixel of its rectangle, row by
  // row, 0 outside, kRim on the rim, kInside within.
  static constexpr std::uint8_t kRim = 1, kInside = 2;
  struct EllipseMask {
    int width = 0, height = 0;
    std::vector<std::uint8_t> cells;
  };
  EllipseMask ellipseMask_;
  // Open parts with a solid pen below 2 pixels, drawn directly into the picture.
  void DrawThinPolylines(const QPoint* points, const int* counts, int partCount);
  // Open parts with an opaque solid pen of 2 … 16 pixels, drawn directly into the picture.
  void DrawWidePolylines(const QPoint* points, const int* counts, int partCount, int penWidth);

  TGBitmap picture_;
  QPainter painter_;
  int appliedAlpha_ = 255;
  // Pictures of drawn texts by text and font state.
  std::unordered_map<std::string, QImage> textImages_;
};

}  // namespace umbrivista
