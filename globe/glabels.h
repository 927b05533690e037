#pragma once
// The label renderer: titles queued by the presenters while the layers are drawn, drawn over
// everything once all layers are done.

#include <QPoint>
#include <QString>
#include <vector>

#include "gattributes.h"

namespace umbrivista {

class TGCustomGlobeView;
class TGLayer;

struct TGLabel {
  const TGLayer* layer;
  QString text;  // lines separated by line feeds
  QPoint topLeft;
  TGFont font;
  bool selected;
};

class TGLabelRenderer {
 public:
  void Clear() { labels_.clear(); }
  void Add(TGLabel label) { labels_.push_back(std::move(label)); }
  const std::vector<TGLabel>& Labels() const { return labels_; }
  // Draws the labels in the order they were queued, each in its font, a selected object's label
  // in the selected pen's colour. After every 256 labels the globe's periodic update runs; the
  // drawing stops when it asks for a restart.
  void Render(TGCustomGlobeView& globe);

 private:
  std::vector<TGLabel> labels_;
};

}  // namespace umbrivista
