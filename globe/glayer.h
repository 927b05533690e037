// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Layers: a layer draws the objects of its object source with the presenters of its presenter
// store and holds sub-layers in a layer store. The globe's root layer holds the map layers.

#include <QPoint>
#include <QUuid>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gbitmap.h"
#include "gobjectsource.h"
#include "gpresenters.h"
#include "gunits.h"

namespace umbrivista {

class TGGlobeContext;
class TGLayer;

class TGLayerStore {
 public:
  explicit TGLayerStore(TGLayer& owner) : owner_(owner) {}
  TGLayerStore(const TGLayerStore&) = delete;
  TGLayerStore& operator=(const TGLayerStore&) = delete;

  // The layer whose sub-layers these are.
  TGLayer& Owner() const { return owner_; }
  // Adds a new layer, which becomes a sub-layer of the owner, and returns its index. A null
  // layer throws std::invalid_argument("TGLayerStore.Add passed nil layer"). The globe is told
  // that its layers changed.
  int Add(std::unique_ptr<TGLayer> layer);
  // Moves a layer that is already in a store (this or another) here; a layer already in this
  // store keeps its place. Returns its index.
  int Add(TGLayer& layer);
  // Takes a layer out of the store without freeing it (null when it is not here).
  std::unique_ptr<TGLayer> Extract(TGLayer& layer);
  // Removes and frees a layer of this store; false when it is not here.
  bool Delete(TGLayer& layer);
  void Clear();

  int Count() const { return static_cast<int>(layers_.size()); }
  // Throws std::out_of_range("TGlobeView.GetLayer: Bad layer index %d") for a bad index.
  TGLayer& GetLayer(int index) const;
  int IndexOf(const TGLayer& layer) const;
  // The first layer of this store (not of sub-stores) whose name equals `name` ignoring case.
  TGLayer* FindByName(const std::string& name) const;
  // The first layer of this store whose object source has that GUID, else the same search in
  // each layer's sub-store in order; null when none.
  TGLayer* FindByGUID(const QUuid& guid) const;

 private:
  friend class TGLayer;
  TGLayer& owner_;
  std::vector<std::unique_ptr<TGLayer>> layers_;
};

class TGLayer {
 public:
  // A layer of that globe (may be null until it is added to a store of a globe's layer).
  explicit TGLayer(TGGlobeContext* globe = nullptr);
  virtual ~TGLayer();
  TGLayer(const TGLayer&) = delete;
  TGLayer& operator=(const TGLayer&) = delete;

  std::uint8_t AlphaBlend = 255;
  bool Enabled = true;
  bool NoInterrupt = false;
  bool Selectable = true;
  bool ShowTitles = true;
  bool Visible = true;
  bool RenderAllObjects = false;
  std::int32_t TitleColumn = 0;
  std::string TitleColumnName;
  std::uint32_t ZoomMax = 0;  // in ZoomUnits; 0: no limit
  std::uint32_t ZoomMin = 0;
  TGUnitTypes ZoomUnits = guKilometer;
  std::uint8_t SurfaceAlpha = 255;
  TColor SurfaceTransparentColor = clNone;

  // The globe, taken from the parent layers when this layer has none itself.
  TGGlobeContext* Globe() const;
  TGLayer* Parent() const { return parent_; }
  // Position in the parent's store; −1 without a parent.
  int Index() const;

  // The name, or the object source's name when the name is empty.
  std::string Name() const;
  void SetName(const std::string& name) { name_ = name; }

  // The object source; a TGMemoryObjectSource is made on first use when none was set.
  TGObjectSource& ObjectSource();
  bool HasObjectSource() const { return source_ != nullptr; }
  void SetObjectSource(std::unique_ptr<TGObjectSource> source);
  TGPresenterStore& Presenters() { return presenters_; }
  TGLayerStore& Layers() { return layers_; }

  // A picture drawn over the globe's surface with this layer (empty name: none).
  const std::string& SurfaceImageName() const { return surfaceImageName_; }
  void SetSurfaceImageName(const std::string& name);

  // Shows the layer and its titles at every zoom, frees its presenters and sub-layers, empties
  // its object source and requests a render.
  void Reset();
  // Reset, then the object source discards its objects.
  void Clear();

  // Draws the layer's objects that meet `extent` (geographic rectangle of the view), pass after
  // pass while a presenter asks for another, then the sub-layers.
  void Render(const TGMER& extent);
  // Pass number of the render in progress (0 on the first).
  int Pass() const { return pass_; }
  // Objects drawn and objects drawn as a single pixel in the last pass.
  int DrawnCount() const { return drawn_; }
  int PixelCount() const { return pixels_; }
  // Minimum drawing size of the render in progress (globe units).
  std::int32_t MinDrawSize() const { return minDrawSize_; }
  // While a point at height 0 is being presented: its picture position, found when the layer
  // tested whether it faces the viewer, so that presenters need not project it again. False
  // for any other object and outside the presenting.
  bool KnownPosition(const TGMapPoint& object, QPoint& at) const {
    if (&object != positioned_) return false;
    at = position_;
    return true;
  }

  // Shown at the projector's current view distance (Visible and within the zoom limits).
  bool VisibleAtZoom() const;
  // The object drawn last (on top) among this layer's own objects that meet `extent` whose
  // presenters drew something at pixel `at`, within `tolerance` pixels; null when there is none
  // or the layer is not selectable. Sub-layers are not searched.
  std::shared_ptr<TGMapPoint> HitTest(QPoint at, int tolerance, const TGMER& extent);

 private:
  friend class TGLayerStore;
  // True when the presenters of the object (or the object itself, without one) drew at `at`.
  bool HitObject(TGMapPoint& object, QPoint at, int tolerance);
  // One pass; false when it was interrupted.
  bool RenderPass(const TGMER& extent);
  // Draws one object; true when it was presented (not skipped, not a single pixel).
  bool DrawObject(const std::shared_ptr<TGMapPoint>& object);
  void Present(TGMapPoint& object, unsigned state);
  TGPresenter* FindPresenter(std::int32_t id);

  TGGlobeContext* globe_;
  TGLayer* parent_ = nullptr;
  std::string name_;
  std::unique_ptr<TGObjectSource> source_;
  TGPresenterStore presenters_;
  TGLayerStore layers_;
  std::string surfaceImageName_;
  TGBitmap surfaceImage_;

  // State of the render in progress.
  std::vector<TGPresenter*> used_;
  TGPresenter* lastPresenter_ = nullptr;
  int pass_ = 0;
  bool renderAgain_ = false;
  bool interrupted_ = false;
  int drawn_ = 0;
  int pixels_ = 0;
  int enumerated_ = 0;
  std::int32_t minDrawSize_ = 0;
  const TGMapPoint* positioned_ = nullptr;
  QPoint position_;
};

}  // namespace umbrivista
