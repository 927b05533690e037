// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The spatial database: layers and objects in an SQLite file, the object cache, read-only files,
// notifications, and the globe's layers that follow the database.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "gcustomglobe.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;
constexpr std::int32_t kDeg = kGUPerDegree;

class SpatialDatabase : public ScratchDirTest {
 protected:
  SpatialDatabase() : ScratchDirTest("sdb_test") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    path_ = (dir_ / "Temporary_ABCDEFGH.tmp").string();
  }

  static std::shared_ptr<TGMapPoint> Point(double lonDeg, double latDeg, const std::string& title) {
    auto p = std::make_shared<TGMapPoint>();
    p->SetPresenterID(2);
    p->SetColumn(0, title);
    p->SetCentroid({DegreesToGU(lonDeg), DegreesToGU(latDeg), 0});
    p->Invalidate();
    return p;
  }

  static std::vector<std::string> Titles(TGObjectSource& source, const TGMER& extent) {
    std::vector<std::string> titles;
    source.Enumerate(extent, [&](const std::shared_ptr<TGMapPoint>& o) {
      titles.push_back(o->IsPoly() ? "poly" : o->GetColumn(0));
      return true;
    });
    return titles;
  }

  static std::vector<std::string> Titles(TGSpatialDatabase& db, const QUuid& layer,
                                         const TGMER& extent) {
    TGSDBObjectSource source(db, layer, "");
    return Titles(source, extent);
  }

  std::string path_;
};

TEST_F(SpatialDatabase, BlankOrUnchangedNamesKeepTheStateAsItIs) {
  TGSpatialDatabase db;
  db.SetActive(true);
  EXPECT_FALSE(db.Active());
  db.SetDataSourceName("   ");
  db.SetActive(true);
  EXPECT_FALSE(db.Active());
  int opened = 0;
  db.OnAfterOpen = [&] { ++opened; };
  db.SetDataSourceName(path_);
  db.SetActive(true);
  EXPECT_TRUE(db.Active());
  EXPECT_TRUE(fs::exists(path_));
  EXPECT_FALSE(db.ReadOnly());
  db.SetDataSourceName("  " + path_ + " ");
  EXPECT_EQ(db.DataSourceName(), path_);
  EXPECT_EQ(opened, 1);
  // Another name closes the file and opens the new one.
  db.SetDataSourceName((dir_ / "other.tmp").string());
  EXPECT_TRUE(db.Active());
  EXPECT_EQ(opened, 2);
  db.SetDataSourceName("");
  EXPECT_FALSE(db.Active());
}

TEST_F(SpatialDatabase, LayersAndObjectsSurviveAResetOfTheCaches) {
  TGSpatialDatabase db;
  db.SetDataSourceName(path_);
  db.SetActive(true);
  const QUuid cities = db.CreateLayer("Cities Layer");
  const QUuid line = db.CreateLayer("CenterLine Layer");
  EXPECT_FALSE(cities.isNull());
  EXPECT_NE(cities, line);
  ASSERT_EQ(db.LayerCount(), 2);
  EXPECT_EQ(db.LayerName(1), "CenterLine Layer");
  TGSDBObjectSource source(db, cities, "Cities Layer");
  EXPECT_EQ(source.Add(Point(13.4, 52.5, "Berlin")), 1);
  EXPECT_EQ(source.Add(Point(2.35, 48.85, "Paris")), 2);
  EXPECT_EQ(source.Add(Point(174.8, -41.3, "Wellington")), 3);
  EXPECT_EQ(source.Add(Point(-171.8, -13.8, "Apia")), 4);
  EXPECT_EQ(source.Add(Point(-77.0, 38.9, "Washington, \"D.C.\"")), 5);
  // A polyline whose points arrive after it was added, as the centre line's do.
  auto poly = std::make_shared<TGMapPoly>();
  poly->SetPresenterID(1);
  TGSDBObjectSource lineSource(db, line, "CenterLine Layer");
  EXPECT_EQ(lineSource.Add(poly), 1);
  poly->NotifyOwner();
  for (int lon = 170; lon <= 190; ++lon) {
    poly->Chain(0).Points.push_back({NormalizeLongitudeGU(lon * kDeg), 0, 7});
    poly->Invalidate();
  }
  poly.reset();
  EXPECT_EQ(source.ObjectCount(), 5);

  db.ResetCaches();
  EXPECT_TRUE(db.Active());
  EXPECT_EQ(db.CachedObjectCount(), 0);
  ASSERT_EQ(db.LayerCount(), 2);
  EXPECT_EQ(db.LayerGUID(0), cities);
  EXPECT_EQ(db.LayerName(0), "Cities Layer");
  EXPECT_EQ(source.ObjectCount(), 5);
  // Europe.
  EXPECT_EQ(Titles(source, {-10 * kDeg, 35 * kDeg, 40 * kDeg, 30 * kDeg}),
            (std::vector<std::string>{"Berlin", "Paris"}));
  // A rectangle running east across 180° finds both sides.
  EXPECT_EQ(Titles(source, {170 * kDeg, -50 * kDeg, 20 * kDeg, 40 * kDeg}),
            (std::vector<std::string>{"Wellington", "Apia"}));
  EXPECT_EQ(Titles(source, kWorldMER).size(), 5u);
  EXPECT_EQ(source.Get(5)->GetColumn(0), "Washington, \"D.C.\"");
  EXPECT_EQ(source.Get(5)->PresenterID(), 2);
  EXPECT_EQ(source.Get(9), nullptr);
  // The line kept its points and its narrow rectangle across 180°.
  auto back = std::dynamic_pointer_cast<TGMapPoly>(lineSource.Get(1));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Chains().size(), 1u);
  EXPECT_EQ(back->Chains()[0].Points.size(), 21u);
  EXPECT_EQ(back->Chains()[0].Points[20], (TGGlobePoint{-170 * kDeg, 0, 7}));
  EXPECT_EQ(back->MER().Left, 170 * kDeg);
  EXPECT_EQ(back->MER().Width, 20 * kDeg + 1);
  EXPECT_EQ(Titles(lineSource, {-175 * kDeg, -kDeg, 2 * kDeg, 2 * kDeg}),
            std::vector<std::string>{"poly"});
  EXPECT_TRUE(Titles(lineSource, {0, -kDeg, 2 * kDeg, 2 * kDeg}).empty());

  // Deleting a layer drops its objects; the other layer stays.
  db.DeleteLayer(line);
  db.DeleteLayer(line);  // unknown now: nothing happens
  EXPECT_EQ(db.LayerCount(), 1);
  EXPECT_EQ(lineSource.ObjectCount(), 0);
  EXPECT_EQ(lineSource.Get(1), nullptr);
  EXPECT_EQ(Titles(source, kWorldMER).size(), 5u);
  // Removing and clearing objects.
  EXPECT_TRUE(source.Remove(1));
  EXPECT_FALSE(source.Remove(1));
  EXPECT_EQ(Titles(source, {-10 * kDeg, 35 * kDeg, 40 * kDeg, 30 * kDeg}),
            std::vector<std::string>{"Paris"});
  source.Clear();
  EXPECT_EQ(source.ObjectCount(), 0);
  EXPECT_EQ(source.Add(Point(0, 0, "again")), 1);

  // Everything is in the file: another database object on it sees the same.
  db.SetActive(false);
  TGSpatialDatabase other;
  other.SetDataSourceName(path_);
  other.SetActive(true);
  ASSERT_EQ(other.LayerCount(), 1);
  EXPECT_EQ(other.LayerGUID(0), cities);
  EXPECT_EQ(Titles(other, cities, kWorldMER), std::vector<std::string>{"again"});
}

TEST_F(SpatialDatabase, TheCacheKeepsHeldAndModifiedObjects) {
  TGSpatialDatabase db;
  db.BlobCacheSize = 4;
  db.SetDataSourceName(path_);
  db.SetActive(true);
  const QUuid layer = db.CreateLayer("points");
  TGSDBObjectSource source(db, layer, "points");
  auto held = Point(1, 1, "held");
  source.Add(held);
  for (int i = 0; i < 20; ++i) source.Add(Point(i, 0, "p" + std::to_string(i)));
  EXPECT_LE(db.CachedObjectCount(), 5);  // four, plus the one held here
  // Objects still held are the cached ones: a change through the reference is kept.
  EXPECT_EQ(source.Get(1), held);
  held->SetColumn(0, "changed");
  held->SetCentroid({DegreesToGU(-60.0), DegreesToGU(-30.0), 0});
  held.reset();
  for (int i = 0; i < 21; ++i) source.Get(i + 1);
  EXPECT_LE(db.CachedObjectCount(), 4);
  db.ResetCaches();
  const auto titles = Titles(source, {-61 * kDeg, -31 * kDeg, 2 * kDeg, 2 * kDeg});
  EXPECT_EQ(titles, std::vector<std::string>{"changed"});
  EXPECT_EQ(Titles(source, kWorldMER).size(), 21u);
  EXPECT_EQ(source.Get(7)->GetColumn(0), "p5");
}

TEST_F(SpatialDatabase, ReadOnlyDatabasesRefuseChanges) {
  {
    TGSpatialDatabase db;
    db.SetDataSourceName(path_);
    db.SetActive(true);
    TGSDBObjectSource(db, db.CreateLayer("kept"), "kept").Add(Point(5, 5, "five"));
  }
  // Set read-only.
  TGSpatialDatabase db;
  db.SetReadOnly(true);
  db.SetDataSourceName(path_);
  db.SetActive(true);
  ASSERT_TRUE(db.Active());
  EXPECT_TRUE(db.ReadOnly());
  ASSERT_EQ(db.LayerCount(), 1);
  try {
    db.CreateLayer("new");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "CreateLayer: SDB is ReadOnly");
  }
  try {
    db.DeleteLayer(db.LayerGUID(0));
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "DeleteLayer: SDB is ReadOnly");
  }
  TGSDBObjectSource source(db, db.LayerGUID(0), "kept");
  EXPECT_THROW(source.Add(Point(0, 0, "x")), std::runtime_error);
  EXPECT_THROW(source.Clear(), std::runtime_error);
  EXPECT_EQ(Titles(source, kWorldMER), std::vector<std::string>{"five"});
  db.SetActive(false);

  // A file that cannot be written is opened for reading only. The check runs in a child process
  // without root's rights, which ignore file permissions.
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(dir_, fs::perms::all);
  const auto check = [&]() -> int {
    TGSpatialDatabase file;
    file.SetDataSourceName(path_);
    file.SetActive(true);
    if (!file.Active() || !file.ReadOnly() || file.LayerCount() != 1) return 1;
    try {
      file.CreateLayer("new");
      return 2;
    } catch (const std::runtime_error& e) {
      if (std::string(e.what()) != "CreateLayer: SDB is ReadOnly") return 3;
    }
    try {
      file.DeleteLayer(file.LayerGUID(0));
      return 4;
    } catch (const std::runtime_error& e) {
      if (std::string(e.what()) != "DeleteLayer: SDB is ReadOnly") return 5;
    }
    if (Titles(file, file.LayerGUID(0), kWorldMER) != std::vector<std::string>{"five"}) return 6;
    return 0;
  };
  if (::geteuid() != 0) {
    EXPECT_EQ(check(), 0);
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int result = 10;
    if (::setgid(65534) == 0 && ::setuid(65534) == 0) result = check();
    ::_exit(result);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SpatialDatabase, FilesThatCannotBeUsedAreErrorsForTheCaller) {
  TGSpatialDatabase db;
  const std::string missing = (dir_ / "missing" / "folder" / "x.tmp").string();
  db.SetDataSourceName(missing);
  try {
    db.SetActive(true);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              missing +
                  ": cannot open the spatial database: unable to open database file (No such "
                  "file or directory)");
  }
  EXPECT_FALSE(db.Active());
  std::ofstream(dir_ / "text.tmp") << "This is not a database file, but it is long enough to look "
                                      "like one to a reader that only checks the size of it.\n";
  db.SetDataSourceName((dir_ / "text.tmp").string());
  try {
    db.SetActive(true);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), (dir_ / "text.tmp").string() +
                                         ": cannot open the spatial database: file is not a "
                                         "database");
  }
  EXPECT_FALSE(db.Active());
  // Inactive, the database refuses changes but answers questions.
  EXPECT_THROW(db.CreateLayer("x"), std::runtime_error);
  EXPECT_NO_THROW(db.DeleteLayer(QUuid::createUuid()));
  EXPECT_EQ(db.ObjectCount(QUuid::createUuid()), 0);
}

TEST_F(SpatialDatabase, UpdatesHoldBackChangeNotifications) {
  TGSpatialDatabase db;
  db.SetDataSourceName(path_);
  db.SetActive(true);
  int changes = 0;
  db.OnChanged = [&] { ++changes; };
  db.CreateLayer("one");
  EXPECT_EQ(changes, 1);
  db.BeginUpdate();
  db.BeginUpdate();
  const QUuid two = db.CreateLayer("two");
  TGSDBObjectSource(db, two, "two").Add(Point(1, 2, "inside"));
  db.DeleteLayer(db.LayerGUID(0));
  db.EndUpdate();
  EXPECT_EQ(changes, 1);
  db.EndUpdate();
  EXPECT_EQ(changes, 2);
  try {
    db.EndUpdate();
    FAIL();
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Unbalanced EndUpdate called without BeginUpdate");
  }
  db.ResetCaches();
  EXPECT_EQ(Titles(db, two, kWorldMER), std::vector<std::string>{"inside"});
}

TEST_F(SpatialDatabase, TheGlobeHoldsALayerPerDatabaseLayer) {
  TGSpatialDatabase db;
  db.SetDataSourceName(path_);
  db.SetActive(true);
  TGCustomGlobeView globe(300, 300);
  int reloads = 0;
  globe.OnLayersChanged = [&] { ++reloads; };
  globe.SetSpatialDatabase(&db);
  const QUuid guid = db.CreateLayer("Cities Layer");
  TGLayer* layer = globe.Layers().FindByGUID(guid);
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->Name(), "Cities Layer");
  EXPECT_EQ(globe.Layers().FindByName("cities layer"), layer);
  EXPECT_GE(reloads, 2);
  auto presenter = std::make_unique<TGPointPresenter>();
  presenter->PresenterID = 2;
  layer->Presenters().Add(std::move(presenter));
  layer->ObjectSource().Add(Point(0, 0, "Null Island"));

  // A reset of the caches closes and opens the database: the globe keeps the layer with its
  // presenter and finds the object in the file again.
  db.ResetCaches();
  ASSERT_EQ(globe.Layers().Count(), 1);
  EXPECT_EQ(&globe.Layers().GetLayer(0), layer);
  EXPECT_NE(layer->Presenters().Find(2), nullptr);
  EXPECT_NE(globe.RootLayer().Presenters().Find(-1), nullptr);
  EXPECT_EQ(Titles(layer->ObjectSource(), kWorldMER), std::vector<std::string>{"Null Island"});
  globe.Projector().SetXRotation(0);
  globe.Projector().SetYRotation(0);
  globe.RenderScene();
  EXPECT_EQ(layer->DrawnCount(), 1);

  // A deleted database layer leaves the globe; a second database layer of the same name is new.
  db.DeleteLayer(guid);
  EXPECT_EQ(globe.Layers().Count(), 0);
  const QUuid again = db.CreateLayer("Cities Layer");
  EXPECT_NE(globe.Layers().FindByGUID(again), nullptr);
  EXPECT_EQ(globe.Layers().FindByGUID(again)->ObjectSource().ObjectCount(), 0);

  // While the globe is in an update, the reload waits for its end.
  globe.BeginUpdate();
  const QUuid late = db.CreateLayer("PoI Layer");
  EXPECT_EQ(globe.Layers().FindByGUID(late), nullptr);
  EXPECT_TRUE(globe.LayersReloadPending());
  globe.EndUpdate();
  EXPECT_NE(globe.Layers().FindByGUID(late), nullptr);
  // Closing the database resets the root layer; opening it brings back the database's layers.
  globe.Layers().Add(std::make_unique<TGLayer>());
  db.SetActive(false);
  EXPECT_EQ(globe.Layers().Count(), 0);
  db.SetActive(true);
  EXPECT_EQ(globe.Layers().Count(), 2);
  // Detaching the database removes its layers from the globe.
  globe.SetSpatialDatabase(nullptr);
  EXPECT_EQ(globe.Layers().Count(), 0);
}

TEST_F(SpatialDatabase, ADatabaseThatGoesAwayIsForgotten) {
  TGCustomGlobeView globe(100, 100);
  {
    TGSpatialDatabase db;
    db.SetDataSourceName(path_);
    db.SetActive(true);
    globe.SetSpatialDatabase(&db);
    db.CreateLayer("x");
    EXPECT_EQ(globe.Layers().Count(), 1);
  }
  EXPECT_EQ(globe.SpatialDatabase(), nullptr);
  EXPECT_EQ(globe.Layers().Count(), 0);
  globe.RenderScene();
}

}  // namespace
