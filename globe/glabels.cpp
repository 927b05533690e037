// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "glabels.h"

#include <algorithm>

#include "gglobecontext.h"
#include "grenderer.h"

namespace umbrivista {

int TGLabelRenderer::CellIndex(int v) {
  // Floor division, so that the cells left of and above the origin do not fold onto cell 0.
  const int cell = v >= 0 ? v / kCell : -((-v + kCell - 1) / kCell);
  return std::clamp(cell, 0, kGrid - 1);
}

void TGLabelRenderer::Clear() {
  labels_.clear();
  drawn_.clear();
  for (const int cell : usedCells_) cells_[cell].clear();
  usedCells_.clear();
}

bool TGLabelRenderer::Occupied(const QRect& area) const {
  if (area.isEmpty()) return false;
  const int x0 = CellIndex(area.left()), x1 = CellIndex(area.right());
  const int y0 = CellIndex(area.top()), y1 = CellIndex(area.bottom());
  for (int cy = y0; cy <= y1; ++cy) {
    for (int cx = x0; cx <= x1; ++cx) {
      for (const int i : cells_[cy * kGrid + cx]) {
        if (labels_[i].box.intersects(area)) return true;
      }
    }
  }
  return false;
}

bool TGLabelRenderer::Add(TGLabel label) {
  const QRect& box = label.box;
  if (box.isEmpty()) {
    labels_.push_back(std::move(label));
    return true;
  }
  if (Occupied(box)) return false;
  const int x0 = CellIndex(box.left()), x1 = CellIndex(box.right());
  const int y0 = CellIndex(box.top()), y1 = CellIndex(box.bottom());
  const int index = static_cast<int>(labels_.size());
  for (int cy = y0; cy <= y1; ++cy) {
    for (int cx = x0; cx <= x1; ++cx) {
      std::vector<int>& cell = Cell(cx, cy);
      if (cell.empty()) usedCells_.push_back(cy * kGrid + cx);
      cell.push_back(index);
    }
  }
  labels_.push_back(std::move(label));
  return true;
}

void TGLabelRenderer::Render(TGGlobeContext& globe) {
  drawn_.clear();
  TGRenderer& r = globe.Renderer();
  int count = 0;
  for (const TGLabel& label : labels_) {
    const TColor color = label.selected ? r.SelectedPen.Color() : label.font.Color();
    r.DrawText(label.topLeft, label.text, label.font, color);
    drawn_.push_back(label.box);
    if (++count % 256 == 0 && globe.PeriodicUpdate()) return;
  }
}

}  // namespace umbrivista
