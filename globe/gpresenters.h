// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Presenters: how the objects of a layer are drawn. Each object names its presenter by id; the
// layer looks the id up in its presenter store, its parents' stores and its object source's store
// (see TGLayer). A presenter may name a further presenter (NextPresenterID) that draws the same
// object again.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gattributes.h"
#include "gbitmap.h"
#include "gmapobjects.h"
#include "gunits.h"

namespace umbrivista {

class TGLayer;
class TGGlobeContext;

enum TGTitleAlignment : std::uint8_t {
  taNone,
  taCenter,
  taLeft,
  taRight,
  taTopLeft,
  taTop,
  taTopRight,
  taBottomLeft,
  taBottom,
  taBottomRight,
};

enum TGPointType : std::uint8_t {
  ppNone,
  ppFontSymbol,
  ppImage,
  ppDot,
  ppCircle,
  ppSquare,
  ppDiamond,
  ppTriangleUp,
  ppTriangleDown,
  ppTriangleLeft,
  ppTriangleRight,
};

enum TGPolyRenderMode : std::uint8_t { prmNormal, prmClosed, prmOpen };

// Offset (dx, dy) of a title's rectangle of w × h pixels from the projected point for an
// alignment at a distance of c pixels; a font angle (tenths of a degree) adds the shift that
// turns the rotated text about the rectangle's centre.
QPoint TitleShift(TGTitleAlignment alignment, int w, int h, int c, std::int32_t angle);
// A pixel that an unturned title's rectangle holds whatever its size (at least 1 × 1), for the
// projected point `at`, an alignment other than taNone and a distance of c pixels.
QPoint TitleProbe(TGTitleAlignment alignment, QPoint at, int c);

class TGPresenter {
 public:
  TGPresenter() = default;
  virtual ~TGPresenter() = default;
  TGPresenter(const TGPresenter&) = delete;
  TGPresenter& operator=(const TGPresenter&) = delete;

  virtual const char* ClassName() const { return "TGPresenter"; }

  std::uint8_t AlphaBlend = 255;
  bool Hidden = false;
  std::string Name = ClassName();
  std::int32_t PresenterID = 0;
  std::int32_t NextPresenterID = 0;
  TGTitleAlignment TitleAlignment = taNone;
  std::int32_t TitleColumn = 0;
  TGFont TitleFont;
  std::int32_t TitleOffset = 0;
  TGUnitTypes TitleOffsetUnits = guPixel;
  std::uint32_t TitleZoomMax = 0;
  std::uint32_t TitleZoomMin = 0;
  TGUnitTypes TitleZoomUnits = guKilometer;

  // Frees what the presenter built for drawing.
  virtual void ReleaseResources() {}
  // Called once per pass before the first object the presenter draws in a layer: remembers the
  // layer, the projector's view distance and the effective alpha (layer × presenter / 255).
  virtual void BeginLayer(TGLayer& layer);
  // Called after a pass over the layer; true asks the layer for a further pass.
  virtual bool EndLayer(TGLayer& layer);
  // Outside a render: takes the layer and its globe, as BeginLayer does, for HitTest.
  void PrepareHitTest(TGLayer& layer);
  // True when what RenderObject draws for the object covers pixel `at`, or passes within
  // `tolerance` pixels of it. The base class draws nothing and is never hit.
  virtual bool HitTest(QPoint at, TGMapPoint& object, int tolerance);
  virtual void RenderObject(TGMapPoint& object, unsigned state) = 0;
  // Queues the object's title with the globe's label renderer when titles are wanted and it
  // does not overlap a title queued before; the text is measured only when the spot is free.
  virtual void RenderTitle(TGMapPoint& object, unsigned state);
  // Titles are wanted when the presenter is shown, has an alignment and the view distance lies
  // within the title zoom limits.
  virtual bool TitlesWanted() const;

 protected:
  // The picture position of the object's centroid; false when it faces away from the viewer.
  bool ProjectCentroid(TGMapPoint& object, QPoint& at) const;

  TGGlobeContext* globe_ = nullptr;
  TGLayer* layer_ = nullptr;
  std::int32_t viewDistance_ = 0;
  int alpha_ = 255;
};

class TGPresenterStore {
 public:
  TGPresenterStore() = default;
  TGPresenterStore(const TGPresenterStore&) = delete;
  TGPresenterStore& operator=(const TGPresenterStore&) = delete;

  // Adds a presenter and returns its id: one with id 0 gets 1 + the largest id of the store (at
  // least 1); one with another id first replaces (and frees) a presenter of that id. A null
  // presenter adds nothing and gives 0.
  std::int32_t Add(std::unique_ptr<TGPresenter> presenter);
  // The first presenter with that id, or null.
  TGPresenter* Find(std::int32_t id) const;
  void Clear();
  int Count() const { return static_cast<int>(presenters_.size()); }
  TGPresenter& At(int index) const { return *presenters_.at(index); }
  bool Modified = false;

 private:
  std::vector<std::unique_ptr<TGPresenter>> presenters_;
};

class TGPointPresenter : public TGPresenter {
 public:
  TGPointPresenter();
  const char* ClassName() const override { return "TGPointPresenter"; }

  std::int32_t OverrideColumn = -1;
  TGPointType PointType = ppCircle;
  TGUnitTypes PointUnit = guPixel;
  std::int32_t PointSize = 6;
  std::int32_t SymbolIndex = 0;
  std::int32_t MaxPointSize = 0;  // points; 0: no limit
  TGPen PointPen;
  TGBrush PointBrush;
  TGFont PointFont;

  // The picture of ppImage; its bottom-left pixel is the transparent colour.
  const TGBitmap& Image() const { return image_; }
  void SetImage(const TGBitmap& image);
  const std::string& ImageName() const { return imageName_; }
  // Loads the JPEG of that name as Image (a file that does not load leaves the image empty).
  void SetImageName(const std::string& name);

  // Symbol size in pixels at the current scale, limited by MaxPointSize.
  int PointPixels() const;
  void RenderObject(TGMapPoint& object, unsigned state) override;
  // The symbol at any drawn spot (every visible vertex of a poly, else the centroid) by its
  // size: a circle by its radius, a dot as one pixel, the other symbols by their square.
  bool HitTest(QPoint at, TGMapPoint& object, int tolerance) override;

 private:
  void DrawSymbol(int x, int y, int h, TGMapPoint& object, unsigned state);

  TGFont symbolFont_;

  TGBitmap image_;
  std::string imageName_;
};

class TGPolyPresenter : public TGPresenter {
 public:
  TGPolyPresenter();
  const char* ClassName() const override { return "TGPolyPresenter"; }

  TGPen PolyPen;
  TGBrush PolyBrush;
  TGPolyRenderMode PolyRenderMode = prmNormal;

  void RenderObject(TGMapPoint& object, unsigned state) override;
  // A polygon by its inside and its outline, a polyline by its stroke (half the pen width).
  bool HitTest(QPoint at, TGMapPoint& object, int tolerance) override;
};

// Named variants of the poly presenter.
class TGPolygonPresenter : public TGPolyPresenter {
 public:
  const char* ClassName() const override { return "TGPolygonPresenter"; }
};
class TGPolylinePresenter : public TGPolyPresenter {
 public:
  const char* ClassName() const override { return "TGPolylinePresenter"; }
};

// Draws polylines as roads: on the first pass an edge line EdgePixels wider on each side, on a
// second pass the road itself over the edges.
class TGRoadPresenter : public TGPresenter {
 public:
  TGRoadPresenter();
  const char* ClassName() const override { return "TGRoadPresenter"; }

  TColor EdgeColor = clGray;
  std::int32_t EdgePixels = 1;
  TGPen RoadPen;

  void BeginLayer(TGLayer& layer) override;
  bool EndLayer(TGLayer& layer) override;
  void RenderObject(TGMapPoint& object, unsigned state) override;
  // The line by its stroke: the edge line's width, or the road's without an edge.
  bool HitTest(QPoint at, TGMapPoint& object, int tolerance) override;
  // The edge pen of the last edge drawn (pixel units).
  const TGPen& EdgePen() const { return edgePen_; }

 private:
  TGPen edgePen_;
  TGPen selectedRoadPen_;
  int pass_ = 0;
  int roadWidth_ = 0;
};

}  // namespace umbrivista
