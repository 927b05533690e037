// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "glayer.h"

#include <strings.h>
#include <QCoreApplication>
#include <algorithm>
#include <stdexcept>

#include "gglobecontext.h"
#include "gprojector.h"
#include "grenderer.h"
#include "gselection.h"

namespace umbrivista {

namespace {

// Passes of one layer render; a presenter that keeps asking for more is not followed further.
constexpr int kMaxPasses = 16;
// Presenters drawing one object one after the other (NextPresenterID); a longer chain is a loop.
constexpr int kMaxPresenterChain = 32;

void TellGlobe(TGLayer& layer) {
  if (TGGlobeContext* globe = layer.Globe()) globe->LayersChanged();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TGLayerStore

int TGLayerStore::Add(std::unique_ptr<TGLayer> layer) {
  if (!layer) throw std::invalid_argument("TGLayerStore.Add passed nil layer");
  layer->parent_ = &owner_;
  layers_.push_back(std::move(layer));
  TellGlobe(owner_);
  return Count() - 1;
}

int TGLayerStore::Add(TGLayer& layer) {
  const int index = IndexOf(layer);
  if (index >= 0) return index;
  std::unique_ptr<TGLayer> owned;
  if (layer.parent_) owned = layer.parent_->Layers().Extract(layer);
  if (!owned) throw std::invalid_argument("TGLayerStore.Add: the layer belongs to no store");
  return Add(std::move(owned));
}

std::unique_ptr<TGLayer> TGLayerStore::Extract(TGLayer& layer) {
  const int index = IndexOf(layer);
  if (index < 0) return nullptr;
  std::unique_ptr<TGLayer> owned = std::move(layers_[index]);
  layers_.erase(layers_.begin() + index);
  owned->parent_ = nullptr;
  TellGlobe(owner_);
  return owned;
}

bool TGLayerStore::Delete(TGLayer& layer) {
  return Extract(layer) != nullptr;
}

void TGLayerStore::Clear() {
  if (layers_.empty()) return;
  // Freed from the last to the first, sub-layers before their layer.
  while (!layers_.empty()) layers_.pop_back();
  TellGlobe(owner_);
}

TGLayer& TGLayerStore::GetLayer(int index) const {
  if (index < 0 || index >= Count()) {
    throw std::out_of_range("TGlobeView.GetLayer: Bad layer index " + std::to_string(index));
  }
  return *layers_[index];
}

int TGLayerStore::IndexOf(const TGLayer& layer) const {
  for (int i = 0; i < Count(); ++i) {
    if (layers_[i].get() == &layer) return i;
  }
  return -1;
}

TGLayer* TGLayerStore::FindByName(const std::string& name) const {
  for (const auto& layer : layers_) {
    if (strcasecmp(layer->Name().c_str(), name.c_str()) == 0) return layer.get();
  }
  return nullptr;
}

TGLayer* TGLayerStore::FindByGUID(const QUuid& guid) const {
  for (const auto& layer : layers_) {
    if (layer->HasObjectSource() && layer->ObjectSource().GUID() == guid) return layer.get();
  }
  for (const auto& layer : layers_) {
    if (TGLayer* found = layer->Layers().FindByGUID(guid)) return found;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TGLayer

TGLayer::TGLayer(TGGlobeContext* globe) : globe_(globe), layers_(*this) {}

TGLayer::~TGLayer() {
  // Sub-layers go from the last to the first, before the layer's own presenters and source; the
  // globe is not told, as it may be going away itself.
  while (!layers_.layers_.empty()) layers_.layers_.pop_back();
}

TGGlobeContext* TGLayer::Globe() const {
  for (const TGLayer* l = this; l; l = l->parent_) {
    if (l->globe_) return l->globe_;
  }
  return nullptr;
}

int TGLayer::Index() const {
  return parent_ ? parent_->layers_.IndexOf(*this) : -1;
}

std::string TGLayer::Name() const {
  if (name_.empty() && source_) return source_->Name;
  return name_;
}

TGObjectSource& TGLayer::ObjectSource() {
  if (!source_) {
    source_ = std::make_unique<TGMemoryObjectSource>();
    source_->SetLayer(this);
  }
  return *source_;
}

void TGLayer::SetObjectSource(std::unique_ptr<TGObjectSource> source) {
  source_ = std::move(source);
  if (source_) source_->SetLayer(this);
  if (TGGlobeContext* globe = Globe()) globe->RequestRender();
}

void TGLayer::SetSurfaceImageName(const std::string& name) {
  surfaceImageName_ = name;
  surfaceImage_.Clear();
  if (!name.empty()) surfaceImage_.LoadFromFile(name);
  if (TGGlobeContext* globe = Globe()) globe->RequestRender();
}

void TGLayer::Reset() {
  Selectable = Visible = Enabled = ShowTitles = true;
  ZoomMin = ZoomMax = 0;
  ZoomUnits = guKilometer;
  presenters_.Clear();
  if (source_) source_->Clear();
  layers_.Clear();
  if (TGGlobeContext* globe = Globe()) globe->RequestRender();
}

void TGLayer::Clear() {
  Reset();
  ObjectSource().Clear();
}

bool TGLayer::VisibleAtZoom() const {
  if (!Visible) return false;
  TGGlobeContext* globe = Globe();
  if (!globe) return false;
  const TGProjector& prj = globe->Projector();
  const double scale = static_cast<double>(prj.ScaleFactor());
  const std::int32_t distance = prj.ViewDistance();
  if (ZoomMin > 0 && distance < UnitsToGlobeUnits(ZoomMin, ZoomUnits, scale)) return false;
  if (ZoomMax > 0 && distance > UnitsToGlobeUnits(ZoomMax, ZoomUnits, scale)) return false;
  return true;
}

void TGLayer::Render(const TGMER& extent) {
  drawn_ = pixels_ = enumerated_ = 0;
  interrupted_ = false;
  TGGlobeContext* globe = Globe();
  if (!globe || !Enabled) return;
  if ((globe->RestartRequested() && !NoInterrupt) || QCoreApplication::closingDown()) return;
  if (!VisibleAtZoom()) return;

  if (!surfaceImage_.GetEmpty()) {
    surfaceImage_.AlphaBlend = SurfaceAlpha;
    surfaceImage_.TransparentColor = SurfaceTransparentColor;
    globe->Projector().Model().PaintSurfaceTexture(surfaceImage_);
  }

  const double scale = static_cast<double>(globe->Projector().ScaleFactor());
  std::int32_t cull = 0;
  minDrawSize_ = 0;
  if (!RenderAllObjects && scale > 0) {
    cull = RoundToInt(globe->CullObjectPixels() / scale);
    minDrawSize_ = RoundToInt(globe->MinObjectPixels() / scale);
  }
  TGObjectSource& source = ObjectSource();
  source.MinObjectExtent = cull;

  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (pass == 0) {
      pass_ = 0;
      globe->BeforeLayerRender(*this);
    } else {
      ++pass_;
    }
    renderAgain_ = false;
    if (!RenderPass(extent)) {
      interrupted_ = true;
      return;
    }
    if (!renderAgain_) break;
  }
  for (int i = 0; i < layers_.Count(); ++i) {
    layers_.GetLayer(i).Render(extent);
    if (globe->RestartRequested() && !NoInterrupt) {
      interrupted_ = true;
      return;
    }
  }
  globe->AfterLayerRender(*this);
}

bool TGLayer::RenderPass(const TGMER& extent) {
  TGGlobeContext& globe = *Globe();
  used_.clear();
  lastPresenter_ = nullptr;
  bool stopped = false;
  ObjectSource().Enumerate(extent, [&](const std::shared_ptr<TGMapPoint>& object) {
    DrawObject(object);
    if (++enumerated_ % 128 == 0 && globe.PeriodicUpdateInterval() > 0 && !NoInterrupt) {
      if (globe.PeriodicUpdate()) {
        stopped = true;
        return false;
      }
    }
    return true;
  });
  if (stopped) return false;
  for (TGPresenter* p : used_) {
    if (p->EndLayer(*this)) renderAgain_ = true;
  }
  return true;
}

bool TGLayer::DrawObject(const std::shared_ptr<TGMapPoint>& object) {
  if (object->Hidden()) return false;
  TGGlobeContext& globe = *Globe();
  TGCustomProjectionModel& model = globe.Projector().Model();
  const TGMER r = object->MER();
  unsigned state = 0;
  const TGMapPoint* positioned = nullptr;
  if (r.Width == 1 && r.Height == 1) {
    if (!model.CachedPointLLToXY({r.Left, r.Top, 0}, object->SpherePosition(), 0)) return false;
    const TGGlobePoint& c = object->Centroid();
    if (!object->IsPoly() && c.Height == 0 && c.Longitude == r.Left && c.Latitude == r.Top) {
      positioned = object.get();
      position_ = globe.Renderer().Points()[0];
    }
  } else if (r.Width > minDrawSize_ || r.Height > minDrawSize_) {
    unsigned flags = 0;
    if (!model.RectVisible(r, flags)) return false;
    if (flags & kRectPartlyVisibleFlag) state |= kStatePartlyVisible;
  } else {
    if (model.CachedPointLLToXY({r.Left, r.Top, 0}, object->SpherePosition(), 0)) {
      const QPoint p = globe.Renderer().Points()[0];
      TGRenderer& renderer = globe.Renderer();
      const int alpha = renderer.Alpha;
      renderer.Alpha = 255;
      renderer.SetPixel(p.x(), p.y(), globe.MinObjectColor());
      renderer.Alpha = alpha;
      ++pixels_;
    }
    return false;
  }
  positioned_ = positioned;
  Present(*object, state);
  positioned_ = nullptr;
  ++drawn_;
  globe.ObjectRendered(*this, object->Selected(), *object);
  return true;
}

void TGLayer::Present(TGMapPoint& object, unsigned state) {
  if (object.Selected()) state |= kStateSelected;
  TGGlobeContext& globe = *Globe();
  std::int32_t id = object.PresenterID();
  if (id == 0) {
    object.Render(globe, state);
    return;
  }
  for (int step = 0; id != 0 && step < kMaxPresenterChain; ++step) {
    TGPresenter* p = FindPresenter(id);
    if (!p) {
      object.Render(globe, state);
      return;
    }
    if (std::find(used_.begin(), used_.end(), p) == used_.end()) {
      p->BeginLayer(*this);
      used_.push_back(p);
    }
    lastPresenter_ = p;
    if (p->Hidden) return;
    p->RenderObject(object, state);
    if (ShowTitles && pass_ == 0) p->RenderTitle(object, state);
    id = p->NextPresenterID;
  }
}

std::shared_ptr<TGMapPoint> TGLayer::HitTest(QPoint at, int tolerance, const TGMER& extent) {
  TGGlobeContext* globe = Globe();
  if (!globe || !Enabled || !Selectable || !VisibleAtZoom()) return nullptr;
  std::shared_ptr<TGMapPoint> top;
  ObjectSource().Enumerate(extent, [&](const std::shared_ptr<TGMapPoint>& object) {
    if (!object->Hidden() && HitObject(*object, at, tolerance)) top = object;
    return true;
  });
  return top;
}

bool TGLayer::HitObject(TGMapPoint& object, QPoint at, int tolerance) {
  TGGlobeContext& globe = *Globe();
  std::int32_t id = object.PresenterID();
  if (id == 0) return DefaultHitTest(globe, object, at, tolerance);
  for (int step = 0; id != 0 && step < kMaxPresenterChain; ++step) {
    // The presenters of the last render may be gone: look the id up in the stores only.
    TGPresenter* p = nullptr;
    for (TGLayer* l = this; l && !p; l = l->parent_) p = l->presenters_.Find(id);
    if (!p && source_) p = source_->Presenters().Find(id);
    if (!p) return DefaultHitTest(globe, object, at, tolerance);
    if (p->Hidden) return false;
    p->PrepareHitTest(*this);
    if (p->HitTest(at, object, tolerance)) return true;
    id = p->NextPresenterID;
  }
  return false;
}

TGPresenter* TGLayer::FindPresenter(std::int32_t id) {
  if (lastPresenter_ && lastPresenter_->PresenterID == id) return lastPresenter_;
  for (TGPresenter* p : used_) {
    if (p->PresenterID == id) return p;
  }
  for (TGLayer* l = this; l; l = l->parent_) {
    if (TGPresenter* p = l->presenters_.Find(id)) return p;
  }
  return source_ ? source_->Presenters().Find(id) : nullptr;
}

}  // namespace umbrivista
