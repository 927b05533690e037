// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the parts of the globe see of the whole globe. The projector works with its host: the
// renderer whose point buffer and surface size it uses, and the receiver of the view changes it
// makes. Layers, presenters, map objects, the graticule and the label renderer draw within a globe
// context: the host with the projector, the title queue, chain drawing and the settings and hooks
// of the layer render. TGCustomGlobeView is both.

#include <cstdint>

#include "gchains.h"
#include "gunits.h"

namespace umbrivista {

class TGLabelRenderer;
class TGLayer;
class TGMapPoint;
class TGProjector;
class TGRenderer;

class TGProjectorHost {
 public:
  // The renderer: the shared point buffer the projections write into, and the drawing surface.
  virtual TGRenderer& Renderer() = 0;
  // Marks a render pending.
  virtual void RequestRender() = 0;
  // View changes made by the projector.
  virtual void NotifyRotated() = 0;
  virtual void NotifyPanned() = 0;
  virtual void NotifyZoomed() = 0;
  // The drawing surface's size in globe units at the new scale.
  virtual void SetViewRect(std::int32_t width, std::int32_t height) = 0;

 protected:
  ~TGProjectorHost() = default;
};

class TGGlobeContext : public TGProjectorHost {
 public:
  virtual TGProjector& Projector() = 0;
  // The queue of titles drawn over everything once the layers are done.
  virtual TGLabelRenderer& LabelRenderer() = 0;
  // Draws chains of geographic points with the renderer's current pen (and brush, when closed).
  virtual void RenderChains(const TGChainStore& chains, bool closed) = 0;
  // Layers were added to or removed from one of the globe's layer stores.
  virtual void LayersChanged() = 0;

  // A restart of the render in progress was asked for.
  virtual bool RestartRequested() const = 0;
  // Milliseconds between partial updates of the window during long renders; 0: none.
  virtual int PeriodicUpdateInterval() const = 0;
  // Runs during long renders; true when the render should stop.
  virtual bool PeriodicUpdate() = 0;
  // Objects smaller than CullObjectPixels are left out; those below MinObjectPixels are drawn as
  // one pixel of MinObjectColor.
  virtual double CullObjectPixels() const = 0;
  virtual double MinObjectPixels() const = 0;
  virtual TColor MinObjectColor() const = 0;
  // Hooks of the layer render: before and after a layer's objects, and after each object drawn.
  // The renderer's pen, brush, font and alpha are the same after ObjectRendered as before.
  virtual void BeforeLayerRender(TGLayer& layer) = 0;
  virtual void AfterLayerRender(TGLayer& layer) = 0;
  virtual void ObjectRendered(TGLayer& layer, bool selected, TGMapPoint& object) = 0;

 protected:
  ~TGGlobeContext() = default;
};

}  // namespace umbrivista
