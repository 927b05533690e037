// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-cli render --map: the whole Earth on a Mercator or plate carrée map with the
// eclipse's layers and the markers of the instant where they lie.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <filesystem>
#include <string>

#include "cli/cli_runner.h"
#include "map_view.h"
#include "scratch_dir.h"

namespace umbrivista {
namespace {

class RenderMap : public ScratchDirTest {
 protected:
  RenderMap() : ScratchDirTest("umbrivista_render_map") {}
  QImage Render(const std::string& options) {
    const std::string out = (dir_ / "map.png").string();
    const Result r = RunCli("render 16690 0.3083 --width 720 --height 720 --texture 3 " + options +
                            " --out " + out);
    EXPECT_EQ(r.status, 0) << r.out;
    return QImage(QString::fromStdString(out));
  }
  static int Count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
  }
};

TEST_F(RenderMap, TheMapsShowTheWholeEarthWithThePathAndTheAxisPoint) {
  const struct {
    const char* option;
    int mapHeight;  // rows of the 720 × 720 picture the map covers
  } cases[] = {{"--map mercator", 718}, {"--map FLAT", 360}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    const QImage map = Render(c.option);
    ASSERT_FALSE(map.isNull());
    // The map is centred; above and below a flat map lies the black background.
    int top = 0;
    while (top < map.height() && (map.pixel(360, top) & 0xFFFFFF) == 0) ++top;
    EXPECT_NEAR(map.height() - 2 * top, c.mapHeight, 4);
    // The centre line in yellow and the axis point's dark red dot.
    EXPECT_GT(Count(map, qRgb(255, 255, 0)), 100);
    EXPECT_GT(Count(map, qRgb(192, 0, 0)), 20);
  }
  // Without the overlay the dot is not drawn; the path still is.
  const QImage bare = Render("--map mercator --no-overlay");
  EXPECT_LT(Count(bare, qRgb(192, 0, 0)), 5);
  EXPECT_GT(Count(bare, qRgb(255, 255, 0)), 100);
}

TEST_F(RenderMap, WrongMapOptionsAreRefused) {
  const std::string out = (dir_ / "refused.png").string();
  for (const char* options :
       {"--map globe", "--map mercator --back", "--map flat --centre 10,10"}) {
    const Result r = RunCli(std::string("render 16690 0 ") + options + " --out " + out, true);
    EXPECT_EQ(r.status, 2) << options;
    EXPECT_NE(r.out.find("--map"), std::string::npos) << r.out;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(MapView, ProjectionNamesAndCentralMeridian) {
  EXPECT_EQ(ParseMapProjection("Mercator"), MapProjection::kMercator);
  EXPECT_EQ(ParseMapProjection("flat"), MapProjection::kFlat);
  EXPECT_EQ(ParseMapProjection(""), std::nullopt);
  EXPECT_EQ(ParseMapProjection("mercator "), std::nullopt);
  EXPECT_STREQ(MapProjectionClass(MapProjection::kMercator), "TGMercatorPrj");
  EXPECT_STREQ(MapProjectionClass(MapProjection::kFlat), "TGCartesianPrj");
  // The Sun's longitude at T0 is −μ (TT frame), rounded to a whole degree in [−180, 180).
  const struct {
    double muDeg;
    double expected;
  } cases[] = {{0, 0}, {90, -90}, {270.4, 90}, {45.6, -46}, {180.3, -180}, {179.7, -180}};
  for (const auto& c : cases) {
    ShadowState s;
    s.mu = static_cast<float>(c.muDeg * 3.14159265358979323846 / 180);
    EXPECT_EQ(MapCentralMeridian(s), c.expected) << c.muDeg;
  }
}

}  // namespace
}  // namespace umbrivista
