#include "globe_settings.h"

#include <iterator>

#include "angles.h"
#include "deltat.h"

namespace umbrivista {

GridSteps GridStepsFor(int gridIndex) {
  static constexpr GridSteps kSteps[] = {{0, 0},   {90, 0},  {10, 10}, {20, 20},
                                         {30, 30}, {45, 45}, {90, 90}};
  if (gridIndex < 0 || gridIndex >= static_cast<int>(std::size(kSteps))) return {};
  return kSteps[gridIndex];
}

long double ZoomScaleFactor(int zoomPosition) {
  // The track bar runs from 60 to 350; the scale grows as the position falls.
  return (60 + 350 - zoomPosition) * 1e-8L;
}

GlobeRotation DisplayOrientation(const ShadowState& state, bool backView) {
  GlobeRotation r;
  r.x = state.d * kRadToDeg;
  r.y = -state.mu * kRadToDeg + kEarthRotationDegPerSecond * state.deltaT;
  if (backView) {
    r.x = -r.x;
    r.y += 180;
  }
  return r;
}

}  // namespace umbrivista
