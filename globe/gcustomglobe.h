// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The globe without its window: projector, renderer with the off-screen picture, graticule,
// surface texture, the root layer with the map layers, the label renderer and the render
// pipeline. TGlobeView puts it into a window; the command-line renderer uses it as it is.

#include <QImage>
#include <QPainter>
#include <QSize>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gbitmap.h"
#include "gchains.h"
#include "genvironment.h"
#include "gglobecontext.h"
#include "ggraticule.h"
#include "glabels.h"
#include "glayer.h"
#include "gprojector.h"
#include "grenderer.h"
#include "gspatialdb.h"
#include "gunits.h"

namespace umbrivista {

enum TGGlobeOption : unsigned {
  goMultiSelect = 1,
  goConstantScaleOnResize = 2,
  goFixedCenterXYOnResize = 4,
  goTransparentBackground = 8,
};

// Kinds of progress reported while layers are reloaded from the spatial database.
enum TGProgressKind : std::uint8_t { pkStart, pkStep, pkEnd };

class TGCustomGlobeView : public TGGlobeContext, private TGSpatialDatabaseListener {
 public:
  // A globe with a client of width × height pixels. Without a renderer a TGDefaultRenderer is
  // made.
  explicit TGCustomGlobeView(int width = 150, int height = 150,
                             std::unique_ptr<TGDefaultRenderer> renderer = nullptr);
  virtual ~TGCustomGlobeView();
  TGCustomGlobeView(const TGCustomGlobeView&) = delete;
  TGCustomGlobeView& operator=(const TGCustomGlobeView&) = delete;

  TGProjector& Projector() override { return *projector_; }
  TGDefaultRenderer& Renderer() override { return *renderer_; }
  TGGraticule& Graticule() { return *graticule_; }
  TGBitmap& SurfaceTexture() { return texture_; }
  TGBitmap& BackgroundImage() { return background_; }
  // The root layer: its sub-layer store holds the map layers, its presenter store the shared
  // presenters (at first a point presenter with id −1 and a poly presenter with id −2).
  TGLayer& RootLayer() { return *root_; }
  TGLayerStore& Layers() { return root_->Layers(); }
  TGLabelRenderer& LabelRenderer() override { return labels_; }

  // The spatial database whose layers the globe shows (null: none). Setting it attaches the globe
  // as a listener and loads the database's layers.
  TGSpatialDatabase* SpatialDatabase() const { return database_; }
  void SetSpatialDatabase(TGSpatialDatabase* database);
  // Brings the layers in line with the spatial database when they were marked for reloading: a
  // layer per database layer (found by GUID, else made and added to the root layer), and layers
  // bound to database layers that are gone are freed.
  void ReloadLayers();
  bool LayersReloadPending() const { return reloadPending_; }
  // Called by the layer stores when layers were added or removed: requests a render.
  void LayersChanged() override;

  // Trims the name and loads that JPEG as surface texture; an empty name clears the texture. A
  // file that does not exist or does not load leaves the texture as it was; when no texture is
  // left the name is cleared. Requests a render.
  void SetSurfaceTextureName(const std::string& name);
  const std::string& SurfaceTextureName() const { return textureName_; }

  TColor SurfaceColor() const { return surfaceColor_; }
  void SetSurfaceColor(TColor c);
  // Background around the globe.
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  // Objects smaller than CullObjectPixels are left out; those below MinObjectPixels are drawn as
  // one pixel of MinObjectColor. Each setter requests a render when the value changes.
  TColor MinObjectColor() const override { return minObjectColor_; }
  void SetMinObjectColor(TColor c);
  double CullObjectPixels() const override { return cullObjectPixels_; }
  void SetCullObjectPixels(double pixels);
  double MinObjectPixels() const override { return minObjectPixels_; }
  void SetMinObjectPixels(double pixels);
  // Settings of the renderer that change how the next render looks; each setter requests a render
  // when the value changes. Text heights in pixels (MaxTextHeight 0: no limit); with double
  // buffering off every paint renders.
  void SetMaxTextHeight(int pixels);
  void SetMinTextHeight(int pixels);
  void SetDoubleBuffer(bool on);
  // The pen and brush of selected objects.
  void SetSelectedPen(const TGPen& pen);
  void SetSelectedBrush(const TGBrush& brush);
  // TGGlobeOption bits.
  unsigned GlobeOptions() const { return globeOptions_; }
  void SetGlobeOptions(unsigned options);
  // Milliseconds between partial updates of the window during long renders; 0: none.
  int PeriodicUpdateTime = 0;
  int PeriodicUpdateInterval() const override { return PeriodicUpdateTime; }
  // A restart of the render in progress was requested.
  bool RestartRequested() const override { return restart_; }
  void RequestRestart() { restart_ = true; }
  // Runs during long renders. Inside a paint, once PeriodicUpdateTime has passed since the render
  // began or since the last update, the picture as far as it is drawn is copied to the window and
  // OnPeriodicUpdate fires. True when the render should stop (a restart was requested or the
  // application is closing).
  bool PeriodicUpdate() override;
  // The clock that paces the periodic update; steady_clock when not set.
  std::function<std::chrono::steady_clock::time_point()> TickSource;

  // The environment file (see genvironment.h). Setting it to a file that exists reads the file,
  // applies it and fires OnLoadEnvironment with the program's keys from it; a file that cannot be
  // used throws TGEnvironmentError ("file:line: reason") and changes nothing, not even the name.
  const std::string& EnvironmentFile() const { return environmentFile_; }
  void SetEnvironmentFile(const std::string& fileName);
  // Writes the environment to `fileName` (through a temporary file); OnSaveEnvironment first adds
  // the program's own keys. Throws TGEnvironmentError naming the file and the reason.
  void SaveEnvironment(const std::string& fileName);
  std::function<void(const TGEnvironmentKeys&)> OnLoadEnvironment;
  std::function<void(TGEnvironmentKeys&)> OnSaveEnvironment;
  // Checks each of the program's keys while a file is read, before anything is applied: a
  // non-empty answer (the reason) refuses the file at the key's line.
  TGEnvironmentKeyCheck CheckEnvironmentKey;

  // Marks a render pending and invalidates the window (once until the next paint).
  void RequestRender() override;
  bool RenderPending() const { return renderPending_; }
  // While the counter is above 0, paints only copy the last picture. EndUpdate below zero throws
  // std::logic_error("Assertion failure"); back at zero it requests a render.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  int ClientWidth() const { return renderer_->SurfaceWidth(); }
  int ClientHeight() const { return renderer_->SurfaceHeight(); }
  // New client size: the surface follows; scale and origin grow with the client diagonal (or the
  // origin goes to the centre when there was no surface before). Requests a render.
  void ResizeClient(int width, int height);

  // Draws the scene into the off-screen picture: background, surface, texture, graticule,
  // layers and their titles.
  void RenderScene();
  // A paint: renders when a render is pending (or double buffering is off), copies the picture
  // onto `window` at (0, 0), fires OnPaint, clears the pending flag, then fires OnAfterRender
  // with `window` even when rendering failed. Does nothing when called from within a paint.
  void Paint(QPainter& window);
  // The same paint onto a new image of the client size.
  QImage PaintToImage();
  // The painter of the paint in progress (valid inside OnAfterRender), else nullptr.
  QPainter* Canvas() const { return canvas_; }

  // Geographic rectangle of the client in the current render (computed when first asked for).
  const TGMER& VisibleExtent();
  // Computes the visible geographic rectangle of the client: a 65 × 65 sample grid with refined
  // limb crossings; 10 points or fewer on the globe give the whole world.
  TGMER ComputeVisibleExtent();

  // Draws chains of geographic points with the current pen (and brush, when closed).
  void RenderChains(const TGChainStore& chains, bool closed) override;

  // Events; each is optional.
  std::function<void()> OnBeforeRender;
  std::function<void()> OnRender;
  std::function<void()> OnPaint;
  std::function<void()> OnPaintGraticule;
  // After the surface and its texture, before the graticule and the layers: for drawing on the
  // surface itself (the renderer's picture), beneath every line and label.
  std::function<void()> OnPaintSurface;
  std::function<void(QPainter&)> OnAfterRender;
  std::function<void()> OnZoomed;
  std::function<void()> OnPanned;
  std::function<void()> OnRotated;
  std::function<void(TGLayer&)> OnBeforeLayerRender;
  std::function<void(TGLayer&)> OnAfterLayerRender;
  // Layer, selected flag, object.
  std::function<void(TGLayer&, bool, TGMapPoint&)> OnObjectRender;
  std::function<void()> OnLayersChanged;
  std::function<void()> OnPeriodicUpdate;
  // Kind, percent, count.
  std::function<void(TGProgressKind, int, int)> OnProgress;

  // Called by the projector.
  void NotifyRotated() override;
  void NotifyPanned() override;
  void NotifyZoomed() override;
  // The size of the client in globe units at the current scale, set by every zoom.
  void SetViewRect(std::int32_t width, std::int32_t height) override;
  QSize ViewRect() const { return viewRect_; }

  // Called by the layers: fire OnBeforeLayerRender, OnAfterLayerRender and OnObjectRender.
  void BeforeLayerRender(TGLayer& layer) override;
  void AfterLayerRender(TGLayer& layer) override;
  void ObjectRendered(TGLayer& layer, bool selected, TGMapPoint& object) override;

 protected:
  // Asks the window to paint; nothing without a window.
  virtual void InvalidateWindow() {}
  // Puts the picture of a render still in progress on the window of the paint (drawn at (0, 0)).
  virtual void ShowPartialPicture(QPainter& window, const QImage& picture);
  // The view may have changed (scale, origin, rotation, client size): runs with every render
  // request, before the request is found to be pending already.
  virtual void ViewChanged() {}
  // Each event goes through one of these after its callback ran, so that a window can pass it on
  // (TGlobeView emits Qt signals from them).
  virtual void RotatedEvent() {}
  virtual void PannedEvent() {}
  virtual void ZoomedEvent() {}
  virtual void AfterRenderEvent(QPainter&) {}
  virtual void LayersChangedEvent() {}
  virtual void ProgressEvent(TGProgressKind, int, int) {}
  virtual void PeriodicUpdateEvent() {}
  // Draws over the copied picture on the window, before OnPaint (the zoom box of the mouse).
  virtual void PaintOverPicture(QPainter&) {}

 private:
  void Progress(TGProgressKind kind, int percent, int count);
  void DatabaseNotify(TGSpatialDatabase& database, int code) override;
  // The root layer after the database closed: reset, with the default presenters again. Layers
  // bound to the database are set aside and taken up again by the next reload.
  void ResetRootLayer();
  void AddDefaultPresenters();
  // Frees the layers bound to `database` whose database layer is gone (sub-layers first, each
  // store from its last layer to its first).
  void RemoveStaleLayers(TGLayerStore& store, TGSpatialDatabase& database);

  std::unique_ptr<TGDefaultRenderer> renderer_;
  std::unique_ptr<TGGraticule> graticule_;
  std::unique_ptr<TGProjector> projector_;
  TGBitmap texture_;
  TGBitmap background_;
  std::string textureName_;
  TColor surfaceColor_ = clAqua;
  TColor color_ = clBlack;
  TColor minObjectColor_ = clGray;
  double cullObjectPixels_ = 0.75;
  double minObjectPixels_ = 1.5;
  unsigned globeOptions_ = 0;
  bool renderPending_ = false;
  bool inPaint_ = false;
  int updateCount_ = 0;
  QPainter* canvas_ = nullptr;
  // The window of the paint in progress, for the periodic update.
  QPainter* paintTarget_ = nullptr;
  QSize viewRect_;
  std::string environmentFile_;
  TGMER extent_ = kWorldMER;
  bool extentValid_ = false;
  std::vector<std::vector<TGGlobePoint>> pieces_;
  std::vector<QPoint> extentPixels_;
  std::unique_ptr<TGLayer> root_;
  TGLabelRenderer labels_;
  TGSpatialDatabase* database_ = nullptr;
  bool reloadPending_ = false;
  bool restart_ = false;
  std::chrono::steady_clock::time_point nextUpdate_;
  // Database layers set aside while the database was closed.
  std::vector<std::unique_ptr<TGLayer>> setAside_;
};

}  // namespace umbrivista
