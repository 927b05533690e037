// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The scene's layers on the main window's globe: which line style each limit of the path gets.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "catalogue.h"
#include "gcustomglobe.h"
#include "glayer.h"
#include "gmapobjects.h"
#include "gpresenters.h"
#include "gspatialdb.h"
#include "layers.h"
#include "path_limits.h"
#include "scratch_dir.h"

namespace umbrivista {
namespace {

constexpr int kEclipse2024 = 16690;  // the total eclipse of 2024-04-08

const EclipseRecord& Record2024() {
  static EclipseCatalogue catalogue;
  if (catalogue.Empty()) {
    catalogue.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
  }
  return catalogue.RecordAt(kEclipse2024);
}

class SceneLayersTest : public ScratchDirTest {
 protected:
  SceneLayersTest() : ScratchDirTest("scene_layers_test") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    database_.SetDataSourceName((dir_ / "layers.sdb").string());
    database_.SetActive(true);
    globe_.SetSpatialDatabase(&database_);
  }
  void TearDown() override {
    globe_.SetSpatialDatabase(nullptr);
    database_.SetActive(false);
    ScratchDirTest::TearDown();
  }
  TGSpatialDatabase database_;
  TGCustomGlobeView globe_{400, 400};
};

// Each limit curve is one line of the limits layer, drawn in the style of its kind: the central
// path's limits yellow (olive in the back view), solid, two pixels; the partial eclipse's limits
// and the rise/set curves light grey, dashed, one pixel. The lines are matched to the curves of
// the limits computation by their points.
TEST_F(SceneLayersTest, EachLimitIsDrawnInTheStyleOfItsKind) {
  constexpr double kDeltaT = 69.2;
  struct Style {
    TColor color;  // 0xBBGGRR
    TGPenStyle style;
    int width;
  };
  const Style umbralFront{0x00FFFF, gpsSolid, 2};  // yellow
  const Style umbralBack{0x008080, gpsSolid, 2};   // olive
  const Style outer{0xC8C8C8, gpsDash, 1};         // light grey

  const std::vector<LimitCurve> curves = ComputePathLimits(Record2024(), kDeltaT);
  std::map<LimitKind, int> kinds;
  for (const LimitCurve& c : curves) ++kinds[c.kind];
  ASSERT_EQ(kinds[LimitKind::kUmbralNorth], 1);
  ASSERT_EQ(kinds[LimitKind::kUmbralSouth], 1);
  ASSERT_GE(kinds[LimitKind::kPenumbralNorth] + kinds[LimitKind::kPenumbralSouth], 1);
  ASSERT_GE(kinds[LimitKind::kRiseSet], 1);

  for (const bool back : {false, true}) {
    SceneLayers layers(globe_, &database_);
    layers.RebuildPathLimits(Record2024(), kDeltaT, back, true);
    TGLayer* layer = layers.Find(kPathLimitsLayer);
    ASSERT_NE(layer, nullptr);
    std::vector<int> matched(curves.size(), 0);
    int lines = 0;
    layer->ObjectSource().Enumerate(kWorldMER, [&](const std::shared_ptr<TGMapPoint>& object) {
      auto* line = dynamic_cast<TGMapPoly*>(object.get());
      if (!line) {
        ADD_FAILURE() << "not a line";
        return true;
      }
      ++lines;
      const std::vector<TGGlobePoint>& points = line->Chain(0).Points;
      for (std::size_t i = 0; i < curves.size(); ++i) {
        const LimitCurve& c = curves[i];
        if (c.points.size() != points.size()) continue;
        if (points.front().Longitude != DegreesToGU(c.points.front().longitude) ||
            points.front().Latitude != DegreesToGU(c.points.front().latitude) ||
            points.back().Longitude != DegreesToGU(c.points.back().longitude))
          continue;
        ++matched[i];
        const bool central = c.kind == LimitKind::kUmbralNorth || c.kind == LimitKind::kUmbralSouth;
        const Style& expected = central ? (back ? umbralBack : umbralFront) : outer;
        const auto* presenter =
            dynamic_cast<TGPolyPresenter*>(layer->Presenters().Find(line->PresenterID()));
        const std::string what = std::string(LimitKindName(c.kind)) + (back ? ", back" : "");
        if (!presenter) {
          ADD_FAILURE() << what << ": no line presenter " << line->PresenterID();
          break;
        }
        EXPECT_EQ(presenter->PolyPen.Color(), expected.color) << what << std::hex;
        EXPECT_EQ(presenter->PolyPen.Style(), expected.style) << what;
        EXPECT_EQ(presenter->PolyPen.Width(), expected.width) << what;
        EXPECT_EQ(presenter->PolyPen.WidthUnit(), guPixel) << what;
        break;
      }
      return true;
    });
    EXPECT_EQ(lines, static_cast<int>(curves.size()));
    for (std::size_t i = 0; i < curves.size(); ++i)
      EXPECT_EQ(matched[i], 1) << LimitKindName(curves[i].kind) << " piece " << i;
  }
}

}  // namespace
}  // namespace umbrivista
