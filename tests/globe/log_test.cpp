// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's log: silent without targets; the spatial database reports opening, closing and
// its layers.

#include <gtest/gtest.h>

#include <stdexcept>

#include "glog.h"
#include "gspatialdb.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

class EngineLog : public ScratchDirTest {
 protected:
  EngineLog() : ScratchDirTest("log_test") {}
  std::string Path() const { return (dir_ / "Temporary_LOGTESTS.tmp").string(); }
};

TEST_F(EngineLog, TheDatabaseReportsOpenCloseAndItsLayers) {
  std::vector<std::string> lines;
  TGScopedLogTarget target([&](const std::string& line) { lines.push_back(line); });
  EXPECT_TRUE(LogActive());
  TGSpatialDatabase db;
  db.SetDataSourceName(Path());
  db.SetActive(true);
  const QUuid guid = db.CreateLayer("CenterLine Layer");
  db.DeleteLayer(guid);
  db.DeleteLayer(guid);  // no such layer any more: nothing happens, nothing is logged
  db.SetActive(false);
  const std::vector<std::string> expected = {
      "SpatialDatabase Open",
      "CreateLayer: CenterLine Layer " + guid.toString().toStdString(),
      "DeleteLayer: CenterLine Layer",
      "SpatialDatabase Closed",
  };
  EXPECT_EQ(lines, expected);
  ASSERT_EQ(guid.toString().size(), 38);  // the GUID in braces
}

TEST_F(EngineLog, SilentWithoutTargetsAndAfterTheirRemoval) {
  EXPECT_FALSE(LogActive());
  std::vector<std::string> lines;
  const int id = AddLogTarget([&](const std::string& line) { lines.push_back(line); });
  RemoveLogTarget(id);
  RemoveLogTarget(id);  // twice: harmless
  RemoveLogTarget(12345);
  EXPECT_FALSE(LogActive());
  EXPECT_GT(AddLogTarget(nullptr), 0);  // an empty target is not kept
  EXPECT_FALSE(LogActive());
  TGSpatialDatabase db;
  db.SetDataSourceName(Path());
  db.SetActive(true);
  db.CreateLayer("Cities Layer");
  db.SetActive(false);
  EXPECT_TRUE(lines.empty());
}

TEST_F(EngineLog, AFailingTargetNeitherStopsTheOthersNorTheDatabase) {
  std::vector<std::string> first, last;
  TGScopedLogTarget a([&](const std::string& line) { first.push_back(line); });
  TGScopedLogTarget failing([](const std::string&) { throw std::runtime_error("disk full"); });
  TGScopedLogTarget b([&](const std::string& line) { last.push_back(line); });
  LoggedMessages warnings;
  TGSpatialDatabase db;
  db.SetDataSourceName(Path());
  db.SetActive(true);
  EXPECT_TRUE(db.Active());
  EXPECT_EQ(db.LayerCount(), 0);
  EXPECT_NO_THROW(db.CreateLayer("PoI Layer"));
  EXPECT_EQ(db.LayerCount(), 1);
  db.SetActive(false);
  EXPECT_EQ(first.size(), 3u);
  EXPECT_EQ(last, first);
  ASSERT_EQ(warnings.All().size(), 3u);
  EXPECT_EQ(warnings.All()[0], "globe: a log target failed: disk full");
}

TEST(EngineLogTargets, LinesGoToEveryTargetInOrderOfRegistration) {
  std::string order;
  TGScopedLogTarget a([&](const std::string& line) { order += "a:" + line + ";"; });
  {
    TGScopedLogTarget b([&](const std::string& line) { order += "b:" + line + ";"; });
    GlobeLog("one");
  }
  GlobeLog("two");
  EXPECT_EQ(order, "a:one;b:one;a:two;");
}

}  // namespace
