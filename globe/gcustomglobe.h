#pragma once
// The globe without its window: projector, renderer with the off-screen picture, graticule,
// surface texture and the render pipeline. TGlobeView puts it into a window; the command-line
// renderer uses it as it is.

#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gbitmap.h"
#include "gchains.h"
#include "ggraticule.h"
#include "gprojector.h"
#include "grenderer.h"
#include "gunits.h"

enum TGGlobeOption : unsigned {
  goMultiSelect = 1,
  goConstantScaleOnResize = 2,
  goFixedCenterXYOnResize = 4,
  goTransparentBackground = 8,
};

class TGCustomGlobeView {
 public:
  // A globe with a client of width × height pixels. Without a renderer a TGDefaultRenderer is
  // made.
  explicit TGCustomGlobeView(int width = 150, int height = 150,
                             std::unique_ptr<TGDefaultRenderer> renderer = nullptr);
  virtual ~TGCustomGlobeView();
  TGCustomGlobeView(const TGCustomGlobeView&) = delete;
  TGCustomGlobeView& operator=(const TGCustomGlobeView&) = delete;

  TGProjector& Projector() { return *projector_; }
  TGDefaultRenderer& Renderer() { return *renderer_; }
  TGGraticule& Graticule() { return *graticule_; }
  TGBitmap& SurfaceTexture() { return texture_; }
  TGBitmap& BackgroundImage() { return background_; }

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
  TColor MinObjectColor = clGray;
  double CullObjectPixels = 0.75;
  double MinObjectPixels = 1.5;
  unsigned GlobeOptions = 0;

  // Marks a render pending and invalidates the window (once until the next paint).
  void RequestRender();
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

  // Draws the scene into the off-screen picture: background, surface, texture, graticule.
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
  void RenderChains(const TGChainStore& chains, bool closed);

  // Events; each is optional.
  std::function<void()> OnBeforeRender;
  std::function<void()> OnRender;
  std::function<void()> OnPaint;
  std::function<void()> OnPaintGraticule;
  std::function<void(QPainter&)> OnAfterRender;
  std::function<void()> OnZoomed;
  std::function<void()> OnPanned;
  std::function<void()> OnRotated;

  // Called by the projector.
  void NotifyRotated();
  void NotifyPanned();
  void NotifyZoomed();
  void UpdateScrollBars() {}
  void SetViewRect(std::int32_t width, std::int32_t height) {
    viewWidth_ = width;
    viewHeight_ = height;
  }

 protected:
  // Asks the window to paint; nothing without a window.
  virtual void InvalidateWindow() {}

 private:
  std::unique_ptr<TGDefaultRenderer> renderer_;
  std::unique_ptr<TGGraticule> graticule_;
  std::unique_ptr<TGProjector> projector_;
  TGBitmap texture_;
  TGBitmap background_;
  std::string textureName_;
  TColor surfaceColor_ = clAqua;
  TColor color_ = clBlack;
  bool renderPending_ = false;
  bool inPaint_ = false;
  int updateCount_ = 0;
  QPainter* canvas_ = nullptr;
  TGMER extent_ = kWorldMER;
  bool extentValid_ = false;
  std::int32_t viewWidth_ = 0;
  std::int32_t viewHeight_ = 0;
  std::vector<std::vector<TGGlobePoint>> pieces_;
  std::vector<TGGlobePoint> extentPoints_;
};
