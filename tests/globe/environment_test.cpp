// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The environment file: what is saved comes back as the same picture in a fresh globe, and a
// damaged or foreign file is refused with its name, line and reason while the globe stays as it
// was.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "genvironment.h"
#include "globeview.h"
#include "scratch_dir.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

constexpr std::int32_t kDeg = kGUPerDegree;

// A layer "places" of a few points and a line with no presenter of its own: the presenters come
// with the environment.
void AddPlaces(TGCustomGlobeView& globe) {
  auto layer = NamedLayer("places");
  for (int i = 0; i < 12; ++i) {
    auto p = std::make_shared<TGMapPoint>();
    p->SetCentroid({(i * 25 - 150) * kDeg, (i * 11 - 60) * kDeg, 0});
    p->SetPresenterID(7);
    p->SetColumn(0, "P" + std::to_string(i));
    layer->ObjectSource().Add(p);
  }
  auto line = std::make_shared<TGMapPoly>();
  line->SetClosed(false);
  line->SetPresenterID(8);
  line->Chains().emplace_back();
  for (int i = 0; i <= 20; ++i)
    line->Chains()[0].Points.push_back({(i * 9 - 90) * kDeg, (i % 5) * 4 * kDeg, 0});
  line->Invalidate();
  layer->ObjectSource().Add(line);
  globe.Layers().Add(std::move(layer));
}

// Everything the environment holds set away from its value at construction.
void Customise(TGlobeView& globe) {
  globe.SetSurfaceColor(0x206040);
  globe.SetColor(0x101030);
  globe.SetMinObjectColor(0x00A0FF);
  globe.Graticule().SetLatitudeStep(20);
  globe.Graticule().SetLongitudeStep(30);
  globe.Graticule().SetDrawMode(gdInFront);
  globe.Graticule().SetGraticulePen(TGPen(0x0000FF, gpsDash, 2, guPixel));
  TGProjector& p = globe.Projector();
  p.ZoomAbout(QPoint(130, 90), 1.7L);
  p.SetXRotation(12.345L);
  p.SetYRotation(-40.5L);
  p.SetZRotation(7.25L);
  p.SetXYOrigin(QPoint(p.XOrigin() + 13, p.YOrigin() - 9));
  globe.SetMaxTextHeight(30);
  globe.SetMinTextHeight(6);
  TGLayer& places = *globe.Layers().FindByName("places");
  auto point = std::make_unique<TGPointPresenter>();
  point->PresenterID = 7;
  point->PointType = ppSquare;
  point->PointSize = 7;
  point->PointBrush = TGBrush(clYellow, clYellow, gbsSolid);
  point->TitleAlignment = taRight;
  point->TitleOffset = 3;
  point->TitleFont.SetColor(clWhite);
  point->TitleFont.SetStyle(gfsBold);
  places.Presenters().Add(std::move(point));
  auto road = std::make_unique<TGRoadPresenter>();
  road->PresenterID = 8;
  road->RoadPen = TGPen(clRed, gpsSolid, 3, guPixel);
  road->EdgePixels = 2;
  road->EdgeColor = clWhite;
  places.Presenters().Add(std::move(road));
  places.ShowTitles = true;
}

struct Environment : ScratchDirTest {
  Environment() : ScratchDirTest("globe_env") {}
  std::string File(const char* name) { return (dir_ / name).string(); }
  static QImage Picture(TGlobeView& g) {
    g.RequestRender();
    return g.PaintToImage();
  }
  static std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(Environment, ARoundTripGivesTheSamePicture) {
  for (const char* model : {"TGSphericalPrj", "TGMercatorPrj", "TGCartesianPrj"}) {
    SCOPED_TRACE(model);
    TGlobeView saved;
    saved.resize(260, 200);
    saved.show();
    AddPlaces(saved);
    Customise(saved);
    saved.Projector().SetProjectionClass(model);
    const QImage expected = Picture(saved);
    saved.SaveEnvironment(File("view.xml"));
    EXPECT_EQ(saved.EnvironmentFile(), File("view.xml"));

    TGlobeView fresh;
    fresh.resize(260, 200);
    fresh.show();
    AddPlaces(fresh);
    ASSERT_NE(Picture(fresh), expected);
    int loads = 0;
    fresh.OnLoadEnvironment = [&](const TGEnvironmentKeys&) { ++loads; };
    fresh.SetEnvironmentFile(File("view.xml"));
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(fresh.Projector().ProjectionClass(), model);
    const QImage shown = Picture(fresh);
    ASSERT_EQ(shown.size(), expected.size());
    EXPECT_EQ(shown, expected);
    // Nothing was lost on the way: saving the loaded globe writes the same document.
    EXPECT_EQ(EnvironmentDocument(fresh, {}), EnvironmentDocument(saved, {}));
    // The layer's objects stayed; no second layer of that name was made.
    EXPECT_EQ(fresh.Layers().Count(), 1);
    EXPECT_EQ(fresh.Layers().GetLayer(0).ObjectSource().ObjectCount(), 13);
  }
}

TEST_F(Environment, AFileSavedForAnotherWindowSizeGrowsWithTheDiagonal) {
  TGlobeView saved;
  saved.resize(300, 400);
  saved.show();
  saved.Projector().ZoomAbout(QPoint(150, 200), 2);
  saved.Projector().SetXYOrigin(QPoint(120, 220));
  saved.SaveEnvironment(File("view.xml"));

  TGlobeView other;
  other.resize(600, 800);  // diagonal twice as long
  other.show();
  other.SetEnvironmentFile(File("view.xml"));
  EXPECT_NEAR(static_cast<double>(other.Projector().ScaleFactor() / saved.Projector().ScaleFactor()),
              2.0, 1e-9);
  EXPECT_EQ(other.Projector().XOrigin(), 240);
  EXPECT_EQ(other.Projector().YOrigin(), 440);
}

TEST_F(Environment, TheProgramsOwnKeysTravelWithTheFile) {
  TGlobeView saved;
  saved.OnSaveEnvironment = [](TGEnvironmentKeys& keys) {
    keys["Eclipse"] = "2026-08-12";
    keys["Note"] = "a <b> & \"c\"";
    keys["two words"] = "";
  };
  saved.SaveEnvironment(File("view.xml"));
  TGlobeView loaded;
  TGEnvironmentKeys got;
  loaded.OnLoadEnvironment = [&](const TGEnvironmentKeys& keys) { got = keys; };
  loaded.SetEnvironmentFile(File("view.xml"));
  EXPECT_EQ(got, (TGEnvironmentKeys{
                     {"Eclipse", "2026-08-12"}, {"Note", "a <b> & \"c\""}, {"two words", ""}}));
}

TEST_F(Environment, AnOlderFileWithAGlobeLayerIsRead) {
  std::ofstream(File("old.xml"))
      << "<?xml version=\"1.0\"?>\n"
         "<GlobeEnvironment SurfaceColor=\"0x0000FF\">\n"
         " <GlobeLayer>\n"
         "  <Presenters><Presenter Class=\"TGPolyPresenter\" PresenterID=\"5\"/></Presenters>\n"
         "  <LayerStore><Layer Name=\"rivers\" Visible=\"false\"/></LayerStore>\n"
         " </GlobeLayer>\n"
         "</GlobeEnvironment>\n";
  TGlobeView g;
  g.SetEnvironmentFile(File("old.xml"));
  EXPECT_EQ(g.SurfaceColor(), clRed);
  ASSERT_NE(g.RootLayer().Presenters().Find(5), nullptr);
  EXPECT_EQ(g.RootLayer().Presenters().Count(), 1);
  ASSERT_NE(g.Layers().FindByName("rivers"), nullptr);
  EXPECT_FALSE(g.Layers().FindByName("rivers")->Visible);
}

TEST_F(Environment, ADamagedOrForeignFileIsRefusedAndNothingChanges) {
  TGlobeView g;
  g.resize(240, 180);
  g.show();
  AddPlaces(g);
  Customise(g);
  g.SaveEnvironment(File("good.xml"));
  const std::string good = ReadAll(File("good.xml"));

  // Line (1-based) of the first line holding `text` in the good document.
  auto lineOf = [&](const std::string& text) {
    const auto at = good.find(text);
    EXPECT_NE(at, std::string::npos) << text;
    return 1 + std::count(good.begin(), good.begin() + static_cast<long>(at), '\n');
  };
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const struct Case {
    const char* what;
    std::string content;
    long line;
    const char* reason;
  } cases[] = {
      {"cut short", good.substr(0, good.size() / 2), 0, "Premature end of document"},
      {"foreign root", "<?xml version=\"1.0\"?>\n<svg width=\"3\"/>\n", 2,
       "not a globe environment file (root element svg)"},
      {"not XML", "GlobeEnvironment SurfaceColor=1\n", 1, ""},
      {"rotation not a number", replaced("XRotation=\"12.345\"", "XRotation=\"12,345\""),
       lineOf("XRotation="), "Projector XRotation: not a number: \"12,345\""},
      {"draw mode out of range", replaced("DrawMode=\"2\"", "DrawMode=\"7\""), lineOf("DrawMode="),
       "Graticule DrawMode: 7 is outside 0 … 2"},
      {"colour too wide", replaced("SurfaceColor=\"0x206040\"", "SurfaceColor=\"0x1206040\""),
       lineOf("SurfaceColor="), "colour 0x1206040 is not 0xBBGGRR"},
      {"unknown presenter", replaced("TGRoadPresenter", "TGTunnelPresenter"),
       lineOf("TGRoadPresenter"), "unknown presenter class \"TGTunnelPresenter\""},
      {"negative width", replaced("Width=\"240\"", "Width=\"-240\""), lineOf("Width=\"240\""),
       "GlobeEnvironment Width: -240 is outside 0"},
      {"scale not finite", replaced("ScaleFactor=\"", "ScaleFactor=\"inf"),
       lineOf("ScaleFactor="), "ScaleFactor: not a number"},
      {"bad flag", replaced("DoubleBuffer=\"true\"", "DoubleBuffer=\"yes\""),
       lineOf("DoubleBuffer="), "Renderer DoubleBuffer: not true or false: \"yes\""},
  };
  const std::string before = EnvironmentDocument(g, {});
  const QImage picture = Picture(g);
  for (const Case& c : cases) {
    const std::string file = File("bad.xml");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << c.content;
    int loads = 0;
    g.OnLoadEnvironment = [&](const TGEnvironmentKeys&) { ++loads; };
    try {
      g.SetEnvironmentFile(file);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const TGEnvironmentError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(file + ":", 0), 0u) << c.what << ": " << message;
      if (c.line > 0) {
        EXPECT_EQ(message.rfind(file + ":" + std::to_string(c.line) + ": ", 0), 0u)
            << c.what << ": " << message;
      }
      EXPECT_NE(message.find(c.reason), std::string::npos) << c.what << ": " << message;
    }
    EXPECT_EQ(loads, 0) << c.what;
    EXPECT_EQ(g.EnvironmentFile(), File("good.xml")) << c.what;
    EXPECT_EQ(EnvironmentDocument(g, {}), before) << c.what;
    EXPECT_EQ(Picture(g), picture) << c.what;
  }
}

TEST_F(Environment, MissingFilesAndUnwritableTargets) {
  TGlobeView g;
  // A name of a file that does not exist is only remembered, as the control has always done.
  g.SetEnvironmentFile(File("later.xml"));
  EXPECT_EQ(g.EnvironmentFile(), File("later.xml"));
  // A folder is no environment file.
  try {
    g.SetEnvironmentFile(dir_.string());
    ADD_FAILURE() << "read a folder";
  } catch (const TGEnvironmentError& e) {
    EXPECT_EQ(std::string(e.what()), dir_.string() + ": not a regular file");
  }
  EXPECT_EQ(g.EnvironmentFile(), File("later.xml"));
  // A file that cannot be written is reported with its name; no half-written file is left.
  const std::string target = File("no/such/folder/view.xml");
  try {
    g.SaveEnvironment(target);
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const TGEnvironmentError& e) {
    EXPECT_NE(std::string(e.what()).find(target), std::string::npos) << e.what();
  }
  EXPECT_EQ(g.EnvironmentFile(), File("later.xml"));
  // An existing file is replaced whole.
  std::ofstream(File("view.xml")) << std::string(100000, 'x');
  g.SaveEnvironment(File("view.xml"));
  const std::string written = ReadAll(File("view.xml"));
  EXPECT_EQ(written.find('x' + std::string(10, 'x')), std::string::npos);
  EXPECT_EQ(written, EnvironmentDocument(g, {}));
}

}  // namespace
