// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gpresenters.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include <QFontMetrics>
#include <QTransform>

#include "angles.h"
#include "gglobecontext.h"
#include "glabels.h"
#include "glayer.h"
#include "gprojector.h"
#include "grenderer.h"
#include "gselection.h"

namespace umbrivista {

QPoint TitleShift(TGTitleAlignment alignment, int w, int h, int c, std::int32_t angle) {
  const int hw = w / 2, hh = h / 2;
  int dx = 0, dy = 0;
  switch (alignment) {
    case taNone:
      break;
    case taCenter:
      dx = -hw;
      dy = -hh;
      break;
    case taLeft:
      dx = -w - c;
      dy = -hh;
      break;
    case taRight:
      dx = c;
      dy = -hh;
      break;
    case taTopLeft:
      dx = -w - c;
      dy = -h - c;
      break;
    case taTop:
      dx = -hw;
      dy = -h - c;
      break;
    case taTopRight:
      dx = c;
      dy = -h - c;
      break;
    case taBottomLeft:
      dx = -w - c;
      dy = c;
      break;
    case taBottom:
      dx = -hw;
      dy = c;
      break;
    case taBottomRight:
      dx = c;
      dy = c;
      break;
  }
  if (angle != 0) {
    const double a = -angle / 10.0 * kDegToRad;
    dx += hw - TruncToInt(std::cos(a) * hw - std::sin(a) * hh);
    dy += hh - TruncToInt(std::sin(a) * hw + std::cos(a) * hh);
  }
  return {dx, dy};
}

QPoint TitleProbe(TGTitleAlignment alignment, QPoint at, int c) {
  const int x = at.x(), y = at.y();
  switch (alignment) {
    case taNone:
    case taCenter:
      return at;
    case taLeft:
      return {x - c - 1, y};
    case taRight:
      return {x + c, y};
    case taTopLeft:
      return {x - c - 1, y - c - 1};
    case taTop:
      return {x, y - c - 1};
    case taTopRight:
      return {x + c, y - c - 1};
    case taBottomLeft:
      return {x - c - 1, y + c};
    case taBottom:
      return {x, y + c};
    case taBottomRight:
      return {x + c, y + c};
  }
  return at;
}

// ---------------------------------------------------------------------------------------------
// TGPresenter

void TGPresenter::BeginLayer(TGLayer& layer) {
  layer_ = &layer;
  globe_ = layer.Globe();
  viewDistance_ = globe_ ? globe_->Projector().ViewDistance() : 0;
  alpha_ = MulDiv(layer.AlphaBlend, AlphaBlend, 255);
}

bool TGPresenter::EndLayer(TGLayer&) {
  return false;
}

void TGPresenter::PrepareHitTest(TGLayer& layer) {
  layer_ = &layer;
  globe_ = layer.Globe();
}

bool TGPresenter::HitTest(QPoint, TGMapPoint&, int) {
  return false;
}

bool TGPresenter::ProjectCentroid(TGMapPoint& object, QPoint& at) const {
  if (layer_ && layer_->KnownPosition(object, at)) return true;
  return globe_->Projector().LLToXY(object.Centroid(), at);
}

bool TGPresenter::TitlesWanted() const {
  if (Hidden || TitleAlignment == taNone) return false;
  if (TitleZoomMin == TitleZoomMax) return true;
  const double scale = globe_ ? static_cast<double>(globe_->Projector().ScaleFactor()) : 0.0;
  const std::int64_t lo = UnitsToGlobeUnits(TitleZoomMin, TitleZoomUnits, scale);
  const std::int64_t hi = UnitsToGlobeUnits(TitleZoomMax, TitleZoomUnits, scale);
  return viewDistance_ > lo && viewDistance_ < hi;
}

void TGPresenter::RenderTitle(TGMapPoint& object, unsigned state) {
  if (!globe_ || !TitlesWanted()) return;
  TGRenderer& r = globe_->Renderer();
  if (r.FontPixelHeight(TitleFont) < std::max(2, r.MinTextHeight)) return;
  QPoint at;
  if (!ProjectCentroid(object, at)) return;
  TGLabelRenderer& labels = globe_->LabelRenderer();
  const int c = UnitsToPixels(TitleOffset, TitleOffsetUnits, r.ScaleFactor());
  const std::int32_t angle = TitleFont.Angle();
  // Most titles of a crowded map fall where one is already shown: they are left out before
  // their text is measured. Whatever its width, an unturned title holds the probe pixel's
  // column over its whole height.
  if (angle == 0 && labels.Occupied(QRect(TitleProbe(TitleAlignment, at, c), QSize(1, 1)))) return;
  const std::string text = object.GetColumn(TitleColumn);
  if (text.empty()) return;
  QString title = QString::fromStdString(text);
  title.replace(QLatin1String("\\n"), QLatin1String("\n"));
  if (angle == 0) {
    const QFontMetrics& m = r.FontMetrics(TitleFont);
    const int lines = static_cast<int>(title.count(QLatin1Char('\n'))) + 1;
    const int h = lines == 1 ? m.height() : lines * m.lineSpacing() - m.leading();
    const int top = at.y() + TitleShift(TitleAlignment, 1, h, c, 0).y();
    if (labels.Occupied(QRect(TitleProbe(TitleAlignment, at, c).x(), top, 1, h))) return;
  }
  const QSize extent = r.TextExtent(TitleFont, title);
  const QPoint topLeft = at + TitleShift(TitleAlignment, extent.width(), extent.height(), c, angle);
  QRect box(topLeft, extent);
  if (angle != 0) {
    // The text turns about its top-left corner (see TGRenderer::DrawText).
    box = QTransform()
              .translate(topLeft.x(), topLeft.y())
              .rotate(-angle / 10.0)
              .mapRect(QRect(QPoint(0, 0), extent));
  }
  labels.Add({layer_, std::move(title), topLeft, TitleFont, (state & kStateSelected) != 0, box});
}

// ---------------------------------------------------------------------------------------------
// TGPresenterStore

std::int32_t TGPresenterStore::Add(std::unique_ptr<TGPresenter> presenter) {
  if (!presenter) return 0;
  if (presenter->PresenterID == 0) {
    std::int32_t top = 0;
    for (const auto& p : presenters_) top = std::max(top, p->PresenterID);
    presenter->PresenterID = top + 1;
  } else {
    const std::int32_t id = presenter->PresenterID;
    std::erase_if(presenters_, [id](const auto& p) { return p->PresenterID == id; });
  }
  const std::int32_t id = presenter->PresenterID;
  presenters_.push_back(std::move(presenter));
  Modified = true;
  return id;
}

TGPresenter* TGPresenterStore::Find(std::int32_t id) const {
  for (const auto& p : presenters_) {
    if (p->PresenterID == id) return p.get();
  }
  return nullptr;
}

void TGPresenterStore::Clear() {
  if (presenters_.empty()) return;
  presenters_.clear();
  Modified = true;
}

// ---------------------------------------------------------------------------------------------
// TGPointPresenter

namespace {

// Restores the renderer's alpha and text height limit when a presenter is done.
class DrawingScope {
 public:
  DrawingScope(TGRenderer& r, int alpha) : r_(r), maxText_(r.MaxTextHeight) { r.Alpha = alpha; }
  ~DrawingScope() {
    r_.Alpha = 255;
    r_.MaxTextHeight = maxText_;
  }
  DrawingScope(const DrawingScope&) = delete;
  DrawingScope& operator=(const DrawingScope&) = delete;

 private:
  TGRenderer& r_;
  int maxText_;
};

}  // namespace

TGPointPresenter::TGPointPresenter() {
  Name = "Point Presenter";
  PointFont.SetName("WingDings");
}

void TGPointPresenter::SetImage(const TGBitmap& image) {
  image_.Assign(image);
  if (!image_.GetEmpty()) {
    const std::uint32_t p = image_.Pixel(0, image_.Height() - 1);
    image_.TransparentColor = ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
  }
}

void TGPointPresenter::SetImageName(const std::string& name) {
  imageName_ = name;
  TGBitmap loaded;
  loaded.LoadFromFile(name);
  SetImage(loaded);
}

int TGPointPresenter::PointPixels() const {
  const double scale = globe_ ? static_cast<double>(globe_->Projector().ScaleFactor()) : 0.0;
  int size = UnitsToPixels(PointSize, PointUnit, scale);
  if (MaxPointSize > 0 && globe_) {
    size = std::min(size, MulDiv(MaxPointSize, globe_->Renderer().PixelsPerInch, 72));
  }
  return size;
}

void TGPointPresenter::RenderObject(TGMapPoint& object, unsigned state) {
  if (!globe_ || PointType == ppNone) return;
  const int h = PointPixels() / 2;
  if (h <= 0) return;
  TGRenderer& r = globe_->Renderer();
  DrawingScope scope(r, alpha_);
  r.MaxTextHeight = 0;
  if (state & kStateSelected) {
    r.SelectBrush(r.SelectedBrush);
    r.SelectPen(r.SelectedPen);
  } else {
    r.SelectPen(PointPen);
    r.SelectBrush(PointBrush);
  }
  TGProjector& prj = globe_->Projector();
  QPoint at;
  if (object.IsPoly()) {
    bool any = false;
    for (const TGPointStore& chain : static_cast<TGMapPoly&>(object).Chains()) {
      if (chain.Hidden) continue;
      for (const TGGlobePoint& p : chain.Points) {
        if (!prj.LLToXY(p, at)) continue;
        DrawSymbol(at.x(), at.y(), h, object, state);
        any = true;
      }
    }
    if (any) return;
  }
  if (ProjectCentroid(object, at)) DrawSymbol(at.x(), at.y(), h, object, state);
}

bool TGPointPresenter::HitTest(QPoint at, TGMapPoint& object, int tolerance) {
  if (!globe_ || PointType == ppNone) return false;
  const int h = PointPixels() / 2;
  if (h <= 0) return false;
  auto covers = [&](QPoint p) {
    const int dx = std::abs(at.x() - p.x()), dy = std::abs(at.y() - p.y());
    switch (PointType) {
      case ppDot:
        return dx <= tolerance && dy <= tolerance;
      case ppCircle:
        return dx * dx + dy * dy <= (h + tolerance) * (h + tolerance);
      default:
        return dx <= h + tolerance && dy <= h + tolerance;
    }
  };
  TGProjector& prj = globe_->Projector();
  QPoint p;
  if (object.IsPoly()) {
    bool any = false;
    for (const TGPointStore& chain : static_cast<TGMapPoly&>(object).Chains()) {
      if (chain.Hidden) continue;
      for (const TGGlobePoint& v : chain.Points) {
        if (!prj.LLToXY(v, p)) continue;
        if (covers(p)) return true;
        any = true;
      }
    }
    if (any) return false;
  }
  return ProjectCentroid(object, p) && covers(p);
}

void TGPointPresenter::DrawSymbol(int x, int y, int h, TGMapPoint& object, unsigned state) {
  TGRenderer& r = globe_->Renderer();
  QPoint* pts = r.Points();
  int n = 0;
  switch (PointType) {
    case ppNone:
      return;
    case ppFontSymbol: {
      int code = SymbolIndex;
      if (OverrideColumn >= 0) {
        const std::string column = object.GetColumn(OverrideColumn);
        int value = 0;
        const auto [end, ec] = std::from_chars(column.data(), column.data() + column.size(), value);
        if (ec == std::errc() && end == column.data() + column.size()) code = value;
      }
      if (code <= 0 || code > 0xFFFF) return;
      TGFont font = PointFont;
      font.SetSize(2 * h);
      font.SetSizeUnit(guPixel);
      if (!symbolFont_.SameAs(font)) symbolFont_ = font;
      const QString symbol(QChar(static_cast<char16_t>(code)));
      const QSize extent = r.TextExtent(symbolFont_, symbol);
      const TColor color = (state & kStateSelected) ? r.SelectedPen.Color() : PointFont.Color();
      r.DrawText(QPoint(x - extent.width() / 2, y - extent.height() / 2), symbol, symbolFont_,
                 color);
      return;
    }
    case ppImage: {
      if (image_.GetEmpty()) return;
      const int w = image_.Width() - 1, ih = image_.Height() - 1;
      const std::uint8_t saved = image_.AlphaBlend;
      image_.AlphaBlend = static_cast<std::uint8_t>(std::clamp(alpha_, 0, 255));
      r.TextureTriangle({QPoint(0, 0), QPoint(w, 0), QPoint(w, ih)},
                        {QPoint(x - h, y - h), QPoint(x + h, y - h), QPoint(x + h, y + h)}, image_);
      r.TextureTriangle({QPoint(0, 0), QPoint(w, ih), QPoint(0, ih)},
                        {QPoint(x - h, y - h), QPoint(x + h, y + h), QPoint(x - h, y + h)}, image_);
      image_.AlphaBlend = saved;
      return;
    }
    case ppDot:
      r.SetPixel(x, y, (state & kStateSelected) ? r.SelectedPen.Color() : PointPen.Color());
      return;
    case ppCircle:
      r.Ellipse(QRect(x - h, y - h, 2 * h, 2 * h));
      return;
    case ppSquare:
      pts[n++] = {x - h, y - h};
      pts[n++] = {x - h, y + h};
      pts[n++] = {x + h, y + h};
      pts[n++] = {x + h, y - h};
      break;
    case ppDiamond:
      pts[n++] = {x, y - h};
      pts[n++] = {x + h, y};
      pts[n++] = {x, y + h};
      pts[n++] = {x - h, y};
      break;
    case ppTriangleUp:
      pts[n++] = {x + h, y + h};
      pts[n++] = {x, y - h};
      pts[n++] = {x - h, y + h};
      break;
    case ppTriangleDown:
      pts[n++] = {x - h, y - h};
      pts[n++] = {x, y + h};
      pts[n++] = {x + h, y - h};
      break;
    case ppTriangleLeft:
      pts[n++] = {x + h, y + h};
      pts[n++] = {x - h, y};
      pts[n++] = {x + h, y - h};
      break;
    case ppTriangleRight:
      pts[n++] = {x - h, y - h};
      pts[n++] = {x + h, y};
      pts[n++] = {x - h, y + h};
      break;
  }
  r.PolygonFromPoints(n);
}

// ---------------------------------------------------------------------------------------------
// TGPolyPresenter

TGPolyPresenter::TGPolyPresenter() {
  Name = "Poly Presenter";
}

void TGPolyPresenter::RenderObject(TGMapPoint& object, unsigned state) {
  if (!globe_ || !object.IsPoly()) return;
  TGMapPoly& poly = static_cast<TGMapPoly&>(object);
  const bool closed = PolyRenderMode == prmClosed ? true
                      : PolyRenderMode == prmOpen ? false
                                                  : poly.Closed();
  TGRenderer& r = globe_->Renderer();
  DrawingScope scope(r, alpha_);
  if (state & kStateSelected) {
    r.SelectBrush(r.SelectedBrush);
    r.SelectPen(r.SelectedPen);
  } else {
    r.SelectPen(PolyPen);
    if (closed) r.SelectBrush(PolyBrush);
  }
  globe_->RenderChains(poly.Chains(), closed);
}

bool TGPolyPresenter::HitTest(QPoint at, TGMapPoint& object, int tolerance) {
  if (!globe_ || !object.IsPoly()) return false;
  TGMapPoly& poly = static_cast<TGMapPoly&>(object);
  const bool closed = PolyRenderMode == prmClosed ? true
                      : PolyRenderMode == prmOpen ? false
                                                  : poly.Closed();
  std::vector<std::vector<QPoint>> parts;
  ProjectChains(*globe_, poly.Chains(), closed, parts);
  if (closed && PartsContain(parts, at)) return true;
  const double scale = static_cast<double>(globe_->Projector().ScaleFactor());
  const int width = std::max(1, PolyPen.PixelWidth(scale));
  return PartsNear(parts, closed, at, tolerance + width / 2.0);
}

// ---------------------------------------------------------------------------------------------
// TGRoadPresenter

TGRoadPresenter::TGRoadPresenter() : RoadPen(clWhite, gpsSolid, 8, guMeter) {
  Name = "TGRoadPresenter";
}

void TGRoadPresenter::BeginLayer(TGLayer& layer) {
  TGPresenter::BeginLayer(layer);
  pass_ = layer.Pass();
  const double scale = globe_ ? static_cast<double>(globe_->Projector().ScaleFactor()) : 0.0;
  roadWidth_ = RoadPen.PixelWidth(scale);
}

bool TGRoadPresenter::EndLayer(TGLayer&) {
  return pass_ == 0 && roadWidth_ > 0;
}

void TGRoadPresenter::RenderObject(TGMapPoint& object, unsigned state) {
  if (!globe_ || !object.IsPoly()) return;
  TGRenderer& r = globe_->Renderer();
  DrawingScope scope(r, alpha_);
  if (pass_ == 0 && EdgePixels != 0) {
    edgePen_.SetColor((state & kStateSelected) ? r.SelectedPen.Color() : EdgeColor);
    edgePen_.SetWidth(EdgePixels * 2 + (roadWidth_ > 0 ? roadWidth_ : 1));
    r.SelectPen(edgePen_);
  } else if ((state & kStateSelected) && EdgePixels == 0) {
    // Without an edge the selected road itself shows the selected pen's colour.
    selectedRoadPen_ = RoadPen;
    selectedRoadPen_.SetColor(r.SelectedPen.Color());
    r.SelectPen(selectedRoadPen_);
  } else {
    r.SelectPen(RoadPen);
  }
  globe_->RenderChains(static_cast<TGMapPoly&>(object).Chains(), false);
}

bool TGRoadPresenter::HitTest(QPoint at, TGMapPoint& object, int tolerance) {
  if (!globe_ || !object.IsPoly()) return false;
  const double scale = static_cast<double>(globe_->Projector().ScaleFactor());
  const int road = RoadPen.PixelWidth(scale);
  const int width = EdgePixels != 0 ? EdgePixels * 2 + (road > 0 ? road : 1) : std::max(1, road);
  std::vector<std::vector<QPoint>> parts;
  ProjectChains(*globe_, static_cast<TGMapPoly&>(object).Chains(), false, parts);
  return PartsNear(parts, false, at, tolerance + width / 2.0);
}

}  // namespace umbrivista
