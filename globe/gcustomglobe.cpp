// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gcustomglobe.h"

#include <QBrush>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <stdexcept>

namespace umbrivista {

TGCustomGlobeView::TGCustomGlobeView(int width, int height,
                                     std::unique_ptr<TGDefaultRenderer> renderer)
    : renderer_(renderer ? std::move(renderer) : std::make_unique<TGDefaultRenderer>()) {
  graticule_ = std::make_unique<TGGraticule>(this);
  root_ = std::make_unique<TGLayer>(this);
  AddDefaultPresenters();
  renderer_->ResizeSurface(width, height);
  projector_ = std::make_unique<TGProjector>(this);
  projector_->SetScaleFactor(0);
  projector_->SetXYOrigin(QPoint(ClientWidth() / 2, ClientHeight() / 2));
  renderPending_ = false;
  RequestRender();
}

TGCustomGlobeView::~TGCustomGlobeView() {
  if (database_) database_->RemoveListener(this);
}

void TGCustomGlobeView::AddDefaultPresenters() {
  auto point = std::make_unique<TGPointPresenter>();
  point->PresenterID = -1;
  point->PointUnit = guPixel;
  root_->Presenters().Add(std::move(point));
  auto poly = std::make_unique<TGPolyPresenter>();
  poly->PresenterID = -2;
  root_->Presenters().Add(std::move(poly));
}

void TGCustomGlobeView::SetMinObjectColor(TColor c) {
  if (c == minObjectColor_) return;
  minObjectColor_ = c;
  RequestRender();
}

void TGCustomGlobeView::SetCullObjectPixels(double pixels) {
  if (pixels == cullObjectPixels_ || !std::isfinite(pixels)) return;
  cullObjectPixels_ = pixels;
  RequestRender();
}

void TGCustomGlobeView::SetMinObjectPixels(double pixels) {
  if (pixels == minObjectPixels_ || !std::isfinite(pixels)) return;
  minObjectPixels_ = pixels;
  RequestRender();
}

void TGCustomGlobeView::SetMaxTextHeight(int pixels) {
  if (pixels == renderer_->MaxTextHeight) return;
  renderer_->MaxTextHeight = pixels;
  RequestRender();
}

void TGCustomGlobeView::SetMinTextHeight(int pixels) {
  if (pixels == renderer_->MinTextHeight) return;
  renderer_->MinTextHeight = pixels;
  RequestRender();
}

void TGCustomGlobeView::SetDoubleBuffer(bool on) {
  if (on == renderer_->DoubleBuffer) return;
  renderer_->DoubleBuffer = on;
  RequestRender();
}

void TGCustomGlobeView::SetSelectedPen(const TGPen& pen) {
  if (pen.SameAs(renderer_->SelectedPen)) return;
  renderer_->SelectedPen = pen;
  RequestRender();
}

void TGCustomGlobeView::SetSelectedBrush(const TGBrush& brush) {
  if (brush.SameAs(renderer_->SelectedBrush)) return;
  renderer_->SelectedBrush = brush;
  RequestRender();
}

void TGCustomGlobeView::SetGlobeOptions(unsigned options) {
  if (options == globeOptions_) return;
  globeOptions_ = options;
  RequestRender();
}

void TGCustomGlobeView::LayersChanged() {
  RequestRender();
}

bool TGCustomGlobeView::PeriodicUpdate() {
  if (PeriodicUpdateTime > 0 && inPaint_ && paintTarget_) {
    const auto now = TickSource ? TickSource() : std::chrono::steady_clock::now();
    if (now >= nextUpdate_) {
      nextUpdate_ = now + std::chrono::milliseconds(PeriodicUpdateTime);
      // Without double buffering the scene is drawn on the window already.
      if (renderer_->DoubleBuffer && !renderer_->Picture().GetEmpty())
        ShowPartialPicture(*paintTarget_, renderer_->Picture().Image());
      if (OnPeriodicUpdate) OnPeriodicUpdate();
      PeriodicUpdateEvent();
    }
  }
  return restart_ || QCoreApplication::closingDown();
}

void TGCustomGlobeView::ShowPartialPicture(QPainter& window, const QImage& picture) {
  window.drawImage(0, 0, picture);
}

void TGCustomGlobeView::SetViewRect(std::int32_t width, std::int32_t height) {
  viewRect_ = QSize(width, height);
}

void TGCustomGlobeView::SetSurfaceTextureName(const std::string& name) {
  const auto first = name.find_first_not_of(' ');
  const auto last = name.find_last_not_of(' ');
  textureName_ = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
  if (textureName_.empty()) {
    texture_.Clear();
  } else {
    // Checked whole while decoded at half its size, which a globe that fits the window reads at
    // its centre; the smaller sizes are reduced from it, the full size decoded when first drawn.
    texture_.LoadFromFile(textureName_, 1);
  }
  if (texture_.GetEmpty()) textureName_.clear();
  RequestRender();
}

void TGCustomGlobeView::SetEnvironmentFile(const std::string& fileName) {
  if (fileName.empty() || !std::filesystem::exists(fileName)) {
    environmentFile_ = fileName;
    return;
  }
  const TGEnvironmentKeys keys = ReadEnvironmentFile(*this, fileName, CheckEnvironmentKey);
  environmentFile_ = fileName;
  if (OnLoadEnvironment) OnLoadEnvironment(keys);
}

void TGCustomGlobeView::SaveEnvironment(const std::string& fileName) {
  TGEnvironmentKeys keys;
  if (OnSaveEnvironment) OnSaveEnvironment(keys);
  WriteEnvironmentFile(*this, fileName, keys);
  environmentFile_ = fileName;
}

void TGCustomGlobeView::SetSurfaceColor(TColor c) {
  if (c == surfaceColor_) return;
  surfaceColor_ = c;
  RequestRender();
}

void TGCustomGlobeView::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  RequestRender();
}

void TGCustomGlobeView::RequestRender() {
  ViewChanged();
  if (renderPending_) return;
  renderPending_ = true;
  InvalidateWindow();
}

void TGCustomGlobeView::EndUpdate() {
  if (updateCount_ <= 0) throw std::logic_error("Assertion failure");
  if (--updateCount_ > 0) return;
  if (reloadPending_) ReloadLayers();
  RequestRender();
}

void TGCustomGlobeView::NotifyRotated() {
  if (OnRotated) {
    OnRotated();
  } else if (OnPanned) {
    OnPanned();
  }
  RotatedEvent();
}

void TGCustomGlobeView::NotifyPanned() {
  if (OnPanned) OnPanned();
  PannedEvent();
}

void TGCustomGlobeView::NotifyZoomed() {
  // A render drawn at the old scale is of no use any more.
  if (PeriodicUpdateTime > 0) restart_ = true;
  if (OnZoomed) OnZoomed();
  ZoomedEvent();
}

void TGCustomGlobeView::BeforeLayerRender(TGLayer& layer) {
  if (OnBeforeLayerRender) OnBeforeLayerRender(layer);
}

void TGCustomGlobeView::AfterLayerRender(TGLayer& layer) {
  if (OnAfterLayerRender) OnAfterLayerRender(layer);
}

void TGCustomGlobeView::ObjectRendered(TGLayer& layer, bool selected, TGMapPoint& object) {
  if (!OnObjectRender) return;
  TGRenderer& r = *renderer_;
  const TGPen pen = r.Pen();
  const TGBrush brush = r.Brush();
  const TGFont font = r.Font();
  const int alpha = r.Alpha;
  OnObjectRender(layer, selected, object);
  r.SelectPen(pen);
  r.SelectBrush(brush);
  r.SelectFont(font);
  r.Alpha = alpha;
}

void TGCustomGlobeView::ResizeClient(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const int oldW = ClientWidth(), oldH = ClientHeight();
  if (width == oldW && height == oldH) return;
  renderer_->ResizeSurface(width, height);
  if (oldW == 0 || oldH == 0) {
    projector_->SetXYOrigin(QPoint(width / 2, height / 2));
  } else {
    const double f = std::hypot(height, width) / std::hypot(oldH, oldW);
    const QPoint origin(RoundToInt(projector_->XOrigin() * f),
                        RoundToInt(projector_->YOrigin() * f));
    projector_->SetScaleFactor(projector_->ScaleFactor() * f);
    projector_->SetXYOrigin(origin);
  }
  RequestRender();
}

const TGMER& TGCustomGlobeView::VisibleExtent() {
  if (!extentValid_) {
    extent_ = ComputeVisibleExtent();
    extentValid_ = true;
  }
  return extent_;
}

TGMER TGCustomGlobeView::ComputeVisibleExtent() {
  const int w = ClientWidth(), h = ClientHeight();
  TGCustomProjectionModel& model = projector_->Model();
  extentPixels_.clear();
  auto probe = [&](int x, int y) {
    const bool on = model.XYOnMap(x, y);
    if (on) extentPixels_.emplace_back(x, y);
    return on;
  };
  for (int row = 0; row <= 64; ++row) {
    const int y = TruncToInt(row * (h / 64.0));
    bool previousOn = false;
    double previousX = 0;
    for (int col = 0; col <= 64; ++col) {
      const double x = std::trunc(col * (w / 64.0));
      const bool on = probe(static_cast<int>(x), y);
      if (col > 0 && on != previousOn) {
        // Refine the limb crossing between the two samples to below one pixel.
        double lo = previousX, hi = x;
        while (hi - lo >= 1) {
          const double mid = (lo + hi) / 2;
          if (probe(TruncToInt(mid), y) == previousOn) {
            lo = mid;
          } else {
            hi = mid;
          }
        }
      }
      previousOn = on;
      previousX = x;
    }
  }
  int onMap = 0;
  TGMER r = model.PixelsMER(extentPixels_, onMap);
  if (onMap <= 10) return kWorldMER;
  if (r.Width > 1782000000) {
    r.Left = -kGU180;
    r.Width = kGU360;
  }
  return r;
}

void TGCustomGlobeView::RenderChains(const TGChainStore& chains, bool closed) {
  TGCustomProjectionModel& model = projector_->Model();
  TGRenderer& r = *renderer_;
  QPoint* points = r.Points();
  const int penWidth = r.PenPixelWidth();
  if (closed && projector_->IsSeamless()) {
    r.BeginParts(true);
    for (const TGPointStore& chain : chains) {
      if (chain.Hidden || chain.Points.empty()) continue;
      r.AddPart(model.PointStoreToXY(chain.Points, 0), penWidth);
    }
    r.EndParts();
    return;
  }
  const std::int32_t cm = DegreesToGU(static_cast<double>(projector_->CentralMeridian()));
  r.BeginParts(closed);
  for (const TGPointStore& chain : chains) {
    if (chain.Hidden || chain.Points.empty()) continue;
    pieces_.clear();
    CutChainAtSeam(chain.Points, cm, pieces_);
    if (closed) {
      int n = 0;
      for (const auto& piece : pieces_) n = model.PointStoreToXY(piece, n);
      r.AddPart(n, penWidth);
      continue;
    }
    for (const auto& piece : pieces_) {
      int run = 0;
      for (const TGGlobePoint& p : piece) {
        if (!model.PointLLToXY(p, run)) {
          if (run >= 2) r.AddPart(run, penWidth);
          run = 0;
          continue;
        }
        if (run > 0 && points[run] == points[run - 1]) continue;
        if (++run == TGRenderer::kPointBufferSize) {
          // A full buffer goes out as one part; the run goes on from its last point.
          r.AddPart(run, penWidth);
          points[0] = points[run - 1];
          run = 1;
        }
      }
      if (run >= 2) r.AddPart(run, penWidth);
    }
  }
  r.EndParts();
}

void TGCustomGlobeView::RenderScene() {
  TGDefaultRenderer& r = *renderer_;
  r.BeginRender(static_cast<double>(projector_->ScaleFactor()), projector_->ViewDistance());
  r.PrepareForDrawing();
  nextUpdate_ = (TickSource ? TickSource() : std::chrono::steady_clock::now()) +
                std::chrono::milliseconds(PeriodicUpdateTime);
  try {
    extentValid_ = false;
    if (background_.GetEmpty()) {
      r.ClearSurface(color_);
    } else if (!r.Picture().GetEmpty()) {
      r.Painter().fillRect(QRect(0, 0, ClientWidth(), ClientHeight()), QBrush(background_.Image()));
    }
    if (surfaceColor_ != clNone) {
      r.SelectPen(TGPen(clBlack, gpsClear, 1, guPixel));
      r.SelectBrush(TGBrush(surfaceColor_, surfaceColor_, gbsSolid));
      projector_->Model().PaintSurfaceShape();
    }
    if (!texture_.GetEmpty()) projector_->Model().PaintSurfaceTexture(texture_);
    if (OnPaintSurface) OnPaintSurface();
    if (graticule_->DrawMode() == gdBehind) {
      if (OnPaintGraticule) {
        OnPaintGraticule();
      } else {
        graticule_->Render();
      }
    }
    labels_.Clear();
    if (root_->Enabled) root_->Render(VisibleExtent());
    if (!restart_ && OnRender) OnRender();
    if (graticule_->DrawMode() == gdInFront) {
      if (OnPaintGraticule) {
        OnPaintGraticule();
      } else {
        graticule_->Render();
      }
    }
    if (!restart_) labels_.Render(*this);
  } catch (...) {
    r.FinishDrawing();
    throw;
  }
  r.FinishDrawing();
}

void TGCustomGlobeView::Paint(QPainter& window) {
  if (inPaint_) return;
  if (OnBeforeRender) OnBeforeRender();
  inPaint_ = true;
  paintTarget_ = &window;
  std::exception_ptr failure;
  try {
    // A render that was asked to restart (the view changed under it) starts over.
    for (int round = 0; round < 8; ++round) {
      restart_ = false;
      if ((updateCount_ == 0 && renderPending_) || !renderer_->DoubleBuffer) RenderScene();
      if (!restart_) break;
    }
    restart_ = false;
    window.drawImage(0, 0, renderer_->Picture().Image());
    PaintOverPicture(window);
    if (OnPaint) OnPaint();
    renderPending_ = false;
  } catch (...) {
    failure = std::current_exception();
  }
  inPaint_ = false;
  paintTarget_ = nullptr;
  canvas_ = &window;
  try {
    if (OnAfterRender) OnAfterRender(window);
    AfterRenderEvent(window);
  } catch (...) {
    canvas_ = nullptr;
    throw;
  }
  canvas_ = nullptr;
  if (failure) std::rethrow_exception(failure);
}

QImage TGCustomGlobeView::PaintToImage() {
  if (ClientWidth() <= 0 || ClientHeight() <= 0) return {};
  QImage image(ClientWidth(), ClientHeight(), QImage::Format_RGB32);
  image.fill(0xFF000000u);
  QPainter painter(&image);
  Paint(painter);
  painter.end();
  return image;
}

}  // namespace umbrivista
