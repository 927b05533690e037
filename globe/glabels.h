// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The label renderer: titles queued by the presenters while the layers are drawn, drawn over
// everything once all layers are done. Titles never overlap: a title whose box meets the box of
// one queued before in the same frame is left out, so the first object drawn keeps its title.

#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <vector>

#include "gattributes.h"

namespace umbrivista {

class TGGlobeContext;
class TGLayer;

struct TGLabel {
  const TGLayer* layer;
  QString text;  // lines separated by line feeds
  QPoint topLeft;
  TGFont font;
  bool selected;
  // The pixels the title covers on the picture (for a turned font, the box around the turned
  // text).
  QRect box;
};

class TGLabelRenderer {
 public:
  void Clear();
  // Queues a label unless its box overlaps the box of a label queued since the last Clear;
  // false when it was left out. A label with an empty box is queued and blocks nothing.
  bool Add(TGLabel label);
  // True when the area meets the box of a queued label: a title whose box would hold that area
  // is left out, and need not be measured.
  bool Occupied(const QRect& area) const;
  const std::vector<TGLabel>& Labels() const { return labels_; }
  // The boxes of the labels the last Render drew, in drawing order.
  const std::vector<QRect>& DrawnBoxes() const { return drawn_; }
  // Draws the labels in the order they were queued, each in its font, a selected object's label
  // in the selected pen's colour. After every 256 labels the globe's periodic update runs; the
  // drawing stops when it asks for a restart.
  void Render(TGGlobeContext& globe);

 private:
  // The queued boxes are kept in a grid of kCell-pixel squares; positions outside the grid
  // count to its border cells.
  static constexpr int kCell = 32;
  static constexpr int kGrid = 64;
  static int CellIndex(int v);
  std::vector<int>& Cell(int cx, int cy) { return cells_[cy * kGrid + cx]; }

  std::vector<TGLabel> labels_;
  std::vector<QRect> drawn_;
  std::array<std::vector<int>, kGrid * kGrid> cells_;
  std::vector<int> usedCells_;
};

}  // namespace umbrivista
