#pragma once
// Helpers shared by the globe tests: a renderer that records what it is asked to draw, a JPEG
// writer for generated textures, and named layers.

#include <QPoint>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "glayer.h"
#include "grenderer.h"
#include "scratch_dir.h"

namespace umbrivista {

struct RecordedPart {
  std::vector<QPoint> points;
  bool closed;
  TColor penColor = clBlack;
  int penWidth = 0;  // pixels
};

struct RecordedSpan {
  int y, x1, x2;
};

class RecordingRenderer : public TGDefaultRenderer {
 public:
  std::vector<RecordedPart> parts;
  std::vector<RecordedSpan> spans;

  void DrawPolyParts(const QPoint* points, const int* counts, int partCount, bool closed) override {
    const QPoint* p = points;
    for (int i = 0; i < partCount; ++i) {
      parts.push_back(
          {std::vector<QPoint>(p, p + counts[i]), closed, Pen().Color(), PenPixelWidth()});
      p += counts[i];
    }
    TGDefaultRenderer::DrawPolyParts(points, counts, partCount, closed);
  }
  void TextureSpan(int y, int x1, const TGBitmap& texture, double ua, double va, double ub,
                   double vb, int x2) override {
    spans.push_back({y, x1, x2});
    TGDefaultRenderer::TextureSpan(y, x1, texture, ua, va, ub, vb, x2);
  }
};

// Writes a width × height baseline JPEG whose pixel (x, y) is rgb(x, y) = 0xRRGGBB; with
// `grey` the picture has one component, the low byte.
void WriteJpeg(const std::string& path, int width, int height,
               const std::function<std::uint32_t(int, int)>& rgb, bool grey = false);

inline std::unique_ptr<TGLayer> NamedLayer(const std::string& name) {
  auto layer = std::make_unique<TGLayer>();
  layer->SetName(name);
  return layer;
}

}  // namespace umbrivista
