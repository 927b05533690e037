#include "glabels.h"

#include "gcustomglobe.h"

namespace umbrivista {

void TGLabelRenderer::Render(TGCustomGlobeView& globe) {
  TGDefaultRenderer& r = globe.Renderer();
  int count = 0;
  for (const TGLabel& label : labels_) {
    const TColor color = label.selected ? r.SelectedPen.Color() : label.font.Color();
    r.DrawText(label.topLeft, label.text, label.font, color);
    if (++count % 256 == 0 && globe.PeriodicUpdate()) return;
  }
}

}  // namespace umbrivista
