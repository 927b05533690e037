// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The spatial database's storage: the chain blob codec, the in-memory index, files that are
// damaged, locked or of another format, stored objects whose bytes changed, failed writes that
// keep the objects, and frames served from memory.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gsdb_codec.h"
#include "gsdb_index.h"
#include "gspatialdb.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;
constexpr std::int32_t kDeg = kGUPerDegree;

std::span<const unsigned char> Bytes(const std::string& s) {
  return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

TEST(SpatialDatabaseCodec, ChainsRoundTripAndEveryChangedByteIsRefused) {
  TGChainStore chains(3);
  chains[0].Points = {{1, 2, 3}, {-kGU180 + 1, -kGU90, INT32_MIN}, {kGU180, kGU90, INT32_MAX}};
  chains[1].Hidden = true;  // an empty hidden chain
  chains[2].Points = {{-5, 6, -7}};
  const std::string blob = EncodeChains(chains);
  TGChainStore back;
  DecodeChains(Bytes(blob), back);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0].Points, chains[0].Points);
  EXPECT_FALSE(back[0].Hidden);
  EXPECT_TRUE(back[1].Hidden);
  EXPECT_TRUE(back[1].Points.empty());
  EXPECT_EQ(back[2].Points, chains[2].Points);
  TGChainStore none;
  DecodeChains(Bytes(EncodeChains({})), none);
  EXPECT_TRUE(none.empty());

  for (std::size_t i = 0; i < blob.size(); ++i) {
    std::string changed = blob;
    changed[i] = static_cast<char>(changed[i] ^ 0x10);
    TGChainStore kept = chains;
    EXPECT_THROW(DecodeChains(Bytes(changed), kept), TGSDBFormatError) << "byte " << i;
    EXPECT_EQ(kept[0].Points, chains[0].Points);  // left as it was
  }
  for (std::size_t n = 0; n < blob.size(); ++n) {
    TGChainStore cut;
    EXPECT_THROW(DecodeChains(Bytes(blob.substr(0, n)), cut), TGSDBFormatError) << n;
    EXPECT_THROW(DecodeChains(Bytes(blob.substr(blob.size() - n)), cut), TGSDBFormatError) << n;
  }
  // A blob whose checksum is right but whose counts are not: a point count beyond the bytes.
  std::string lying(8, '\0');
  lying[0] = 2;  // two points announced, none there
  const std::uint32_t crc = Crc32(Bytes(lying));
  for (int k = 0; k < 4; ++k) lying += static_cast<char>((crc >> (8 * k)) & 0xFF);
  EXPECT_THROW(DecodeChains(Bytes(lying), none), TGSDBFormatError);
  EXPECT_EQ(Crc32(Bytes(std::string("123456789"))), 0xCBF43926u);
}

TEST(SpatialDatabaseCodec, ObjectRowsRoundTripAndRowsNoEncoderWritesAreRefused) {
  TGMapPoly poly;
  poly.SetClosed(true);
  poly.SetHidden(true);
  poly.SetPresenterID(7);
  poly.SetUserID("id,1");
  poly.SetColumn(1, "second");
  poly.Chain(0).Points = {{0, 0, 0}, {kDeg, kDeg, 0}};
  poly.Invalidate();
  const TGSDBObjectRecord r = EncodeObject(poly);
  EXPECT_EQ(r.kind, 1);
  EXPECT_EQ(r.flags, sdbFlagHidden | sdbFlagClosed);
  EXPECT_EQ(r.mer, poly.MER());
  auto back = std::dynamic_pointer_cast<TGMapPoly>(DecodeObject(r));
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->Closed());
  EXPECT_TRUE(back->Hidden());
  EXPECT_FALSE(back->Selected());
  EXPECT_FALSE(back->Modified());
  EXPECT_EQ(back->PresenterID(), 7);
  EXPECT_EQ(back->UserID(), "id,1");
  EXPECT_EQ(back->GetColumn(1), "second");
  EXPECT_EQ(back->Chains()[0].Points, poly.Chains()[0].Points);
  EXPECT_EQ(back->StoredMER(), poly.MER());

  auto bad = r;
  bad.kind = 7;
  EXPECT_THROW(DecodeObject(bad), TGSDBFormatError);
  bad = r;
  bad.flags |= 64;
  EXPECT_THROW(DecodeObject(bad), TGSDBFormatError);
  bad = r;
  bad.hasChains = false;
  EXPECT_THROW(DecodeObject(bad), TGSDBFormatError);
  bad = r;
  bad.kind = 0;  // a point with chains
  EXPECT_THROW(DecodeObject(bad), TGSDBFormatError);
  bad = r;
  bad.mer.Width = -1;
  EXPECT_THROW(DecodeObject(bad), TGSDBFormatError);
}

TEST(SpatialDatabaseIndex, FindsBoxesOnBothSidesOf180AndFollowsChanges) {
  TGSDBLayerIndex index;
  index.Put(3, {170 * kDeg, 0, 20 * kDeg, kDeg});  // runs east across 180°
  index.Put(1, {0, 0, 1, 1});
  index.Put(2, {});  // an empty rectangle is not indexed
  EXPECT_EQ(index.Size(), 2u);
  const auto query = [&](const TGMER& extent) {
    std::vector<std::int32_t> handles;
    index.Query(extent, handles);
    return handles;
  };
  EXPECT_EQ(query({-175 * kDeg, 0, kDeg, kDeg}), std::vector<std::int32_t>{3});
  EXPECT_EQ(query({171 * kDeg, 0, kDeg, kDeg}), std::vector<std::int32_t>{3});
  EXPECT_TRUE(query({-150 * kDeg, 0, kDeg, kDeg}).empty());
  EXPECT_EQ(query(kWorldMER), (std::vector<std::int32_t>{1, 3}));
  // A query running across 180° meets both sides.
  EXPECT_EQ(query({179 * kDeg, 0, 2 * kDeg, 1}), std::vector<std::int32_t>{3});
  EXPECT_TRUE(query({}).empty());
  index.Put(3, {10 * kDeg, 0, 1, 1});  // moved: its old box is gone
  EXPECT_TRUE(query({-175 * kDeg, 0, kDeg, kDeg}).empty());
  EXPECT_EQ(query({0, 0, 11 * kDeg, 1}), (std::vector<std::int32_t>{1, 3}));
  index.Erase(1);
  EXPECT_EQ(query(kWorldMER), std::vector<std::int32_t>{3});
}

// A file database with objects, and a second SQLite connection to damage or lock it.
class SpatialDatabaseFile : public ScratchDirTest {
 protected:
  SpatialDatabaseFile() : ScratchDirTest("sdb_storage_test") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    path_ = (dir_ / "scratch.tmp").string();
  }
  void TearDown() override {
    CloseOther();
    ScratchDirTest::TearDown();
  }

  static std::shared_ptr<TGMapPoint> Point(int lonDeg, int latDeg, const std::string& title) {
    auto p = std::make_shared<TGMapPoint>();
    p->SetColumn(0, title);
    p->SetCentroid({lonDeg * kDeg, latDeg * kDeg, 0});
    return p;
  }

  // A layer of `count` titled points along the equator and one of a poly; returns the layers.
  std::pair<QUuid, QUuid> Fill(int count) {
    TGSpatialDatabase db;
    db.SetDataSourceName(path_);
    db.SetActive(true);
    const QUuid points = db.CreateLayer("points");
    const QUuid polys = db.CreateLayer("polys");
    TGSDBObjectSource source(db, points, "points");
    for (int i = 0; i < count; ++i)
      source.Add(
          Point(i % 360 - 179, 0, "point number " + std::to_string(i) + std::string(40, 'x')));
    auto poly = std::make_shared<TGMapPoly>();
    for (int i = 0; i < 50; ++i) poly->Chain(0).Points.push_back({i * kDeg, i * kDeg / 2, 0});
    poly->Invalidate();
    TGSDBObjectSource(db, polys, "polys").Add(poly);
    return {points, polys};
  }

  // Runs SQL on the file through a connection of its own.
  void Sql(const std::string& sql) {
    OpenOther();
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(other_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
  }
  // Changes one byte of an object's chain blob.
  void ChangeBlobByte(const std::string& table, int handle, std::size_t at) {
    OpenOther();
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(other_, ("SELECT chains FROM " + table + " WHERE handle=?1").c_str(), -1,
                           &st, nullptr),
        SQLITE_OK);
    sqlite3_bind_int(st, 1, handle);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    std::string blob(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                     static_cast<std::size_t>(sqlite3_column_bytes(st, 0)));
    sqlite3_finalize(st);
    ASSERT_LT(at, blob.size());
    blob[at] = static_cast<char>(blob[at] ^ 0x01);
    ASSERT_EQ(
        sqlite3_prepare_v2(other_, ("UPDATE " + table + " SET chains=?1 WHERE handle=?2").c_str(),
                           -1, &st, nullptr),
        SQLITE_OK);
    sqlite3_bind_blob(st, 1, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 2, handle);
    ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
    sqlite3_finalize(st);
  }
  void OpenOther() {
    if (other_) return;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &other_), SQLITE_OK);
  }
  void CloseOther() {
    if (other_) sqlite3_close(other_);
    other_ = nullptr;
  }

  // The message of opening `path`, or "" when it opened.
  static std::string OpenError(const std::string& path) {
    TGSpatialDatabase db;
    db.SetDataSourceName(path);
    try {
      db.SetActive(true);
    } catch (const std::runtime_error& e) {
      if (db.Active() || db.LayerCount() != 0) return "half open";
      return e.what();
    }
    return "";
  }

  static std::vector<std::string> Titles(TGSpatialDatabase& db, const QUuid& layer,
                                         const TGMER& extent) {
    std::vector<std::string> titles;
    db.EnumerateObjects(layer, extent, 0, [&](const std::shared_ptr<TGMapPoint>& o) {
      titles.push_back(o->GetColumn(0));
      return true;
    });
    return titles;
  }

  std::string path_;
  sqlite3* other_ = nullptr;
};

TEST_F(SpatialDatabaseFile, DamagedFilesAreRefusedWithThePathAndTheReason) {
  Fill(400);
  const auto size = fs::file_size(path_);
  ASSERT_GT(size, 16 * 4096u);
  EXPECT_EQ(OpenError(path_), "");

  // A page in the middle scribbled over.
  const std::string scribbled = (dir_ / "scribbled.tmp").string();
  fs::copy_file(path_, scribbled);
  {
    std::fstream f(scribbled, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(size / 2 / 4096 * 4096));
    const std::string junk(300, '\xA5');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
  }
  std::string error = OpenError(scribbled);
  EXPECT_EQ(error.rfind(scribbled + ": cannot open the spatial database: ", 0), 0u) << error;
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;

  // A file cut short.
  const std::string truncated = (dir_ / "truncated.tmp").string();
  fs::copy_file(path_, truncated);
  fs::resize_file(truncated, size / 2);
  error = OpenError(truncated);
  EXPECT_EQ(error.rfind(truncated + ": cannot open the spatial database: ", 0), 0u) << error;

  // A file that is no SQLite database at all.
  const std::string text = (dir_ / "text.tmp").string();
  std::ofstream(text) << std::string(3000, 'T');
  EXPECT_EQ(OpenError(text), text + ": cannot open the spatial database: file is not a database");

  // A directory.
  error = OpenError(dir_.string());
  EXPECT_EQ(error.rfind(dir_.string() + ": cannot open the spatial database: ", 0), 0u) << error;
  EXPECT_NE(error.find("unable to open database file"), std::string::npos) << error;

  // A file another connection holds locked; once it lets go, the file opens.
  OpenOther();
  Sql("BEGIN EXCLUSIVE");
  EXPECT_EQ(OpenError(path_), path_ + ": cannot open the spatial database: database is locked");
  Sql("COMMIT");
  EXPECT_EQ(OpenError(path_), "");
}

TEST_F(SpatialDatabaseFile, FilesOfAnotherFormatOrWithBadLayerRowsAreRefused) {
  Fill(3);
  Sql("PRAGMA user_version=4");
  CloseOther();
  EXPECT_EQ(OpenError(path_), path_ +
                                  ": SDB Version Error: the file has format version 4, this "
                                  "program reads version 5");
  Sql("PRAGMA user_version=5");
  CloseOther();
  EXPECT_EQ(OpenError(path_), "");

  // A negative layer id never becomes part of a table name.
  Sql("UPDATE sdb_layers SET id=-1 WHERE id=1");
  CloseOther();
  EXPECT_EQ(OpenError(path_),
            path_ + ": cannot open the spatial database: layer -1: the layer id is not positive");
  Sql("UPDATE sdb_layers SET id=1 WHERE id=-1");
  Sql("DROP TABLE sdb_index_2");
  CloseOther();
  EXPECT_EQ(OpenError(path_), path_ +
                                  ": cannot open the spatial database: layer 2: the table "
                                  "sdb_index_2 is missing");
  Sql("UPDATE sdb_layers SET guid=x'00' WHERE id=2");
  CloseOther();
  EXPECT_EQ(OpenError(path_),
            path_ + ": cannot open the spatial database: layer 2: the GUID is malformed");
}

TEST_F(SpatialDatabaseFile, AFolderThatCannotBeWrittenIsReported) {
  const fs::path folder = dir_ / "closed";
  fs::create_directories(folder);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
  fs::permissions(dir_, fs::perms::all);
  const std::string path = (folder / "new.tmp").string();
  const std::string expected =
      path + ": cannot open the spatial database: unable to open database file (" +
      folder.string() + ": Permission denied)";
  // Root ignores file permissions: the check runs in a child process without its rights.
  if (::geteuid() != 0) {
    EXPECT_EQ(OpenError(path), expected);
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int result = 10;
    if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
      const std::string error = OpenError(path);
      result = error == expected ? 0 : 1;
      if (result) std::fprintf(stderr, "%s\n", error.c_str());
    }
    ::_exit(result);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SpatialDatabaseFile, StoredObjectsWithChangedBytesAreRefused) {
  const auto [points, polys] = Fill(3);
  // One byte of the poly's chains changed, as a scribbled page could.
  ChangeBlobByte("sdb_objects_2", 1, 100);
  Sql("UPDATE sdb_objects_1 SET kind = 7 WHERE handle = 2");
  Sql("UPDATE sdb_objects_1 SET chains = x'0102' WHERE handle = 3");
  CloseOther();
  TGSpatialDatabase db;
  db.SetDataSourceName(path_);
  db.SetActive(true);
  const auto error = [&](const std::function<void()>& f) -> std::string {
    try {
      f();
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(error([&] { db.GetObject(polys, 1); }),
            path_ + ": layer 2 object 1: chains: the checksum does not match the bytes");
  EXPECT_EQ(error([&] { Titles(db, polys, kWorldMER); }),
            path_ + ": layer 2 object 1: chains: the checksum does not match the bytes");
  EXPECT_EQ(error([&] { db.GetObject(points, 2); }),
            path_ + ": layer 1 object 2: unknown object kind");
  EXPECT_EQ(error([&] { db.GetObject(points, 3); }),
            path_ + ": layer 1 object 3: a point with chains");
  // The sound object still reads, and the database stays usable.
  EXPECT_EQ(db.GetObject(points, 1)->GetColumn(0).substr(0, 14), "point number 0");
  EXPECT_EQ(db.AddObject(points, Point(1, 1, "new")), 4);
  EXPECT_EQ(db.ObjectCount(points), 4);
}

TEST_F(SpatialDatabaseFile, FailedWritesKeepTheObjects) {
  const QUuid layer = Fill(2).first;
  TGSpatialDatabase db;
  db.SetDataSourceName(path_);
  db.SetActive(true);
  EXPECT_EQ(db.AddObject(layer, Point(10, 10, "unsaved")), 3);
  // Another connection reading the file keeps our commits from completing.
  Sql("BEGIN; SELECT count(*) FROM sdb_layers");
  try {
    db.Flush();
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), path_ + ": cannot commit a transaction: database is locked");
  }
  EXPECT_THROW(db.RemoveObject(layer, 3), std::runtime_error);
  EXPECT_THROW(db.RemoveObject(layer, 1), std::runtime_error);
  Sql("COMMIT");
  // Nothing was lost or half done: the new object is still there to be written, the old ones
  // still in the file.
  EXPECT_EQ(db.ObjectCount(layer), 3);
  db.ResetCaches();
  EXPECT_EQ(db.ObjectCount(layer), 3);
  EXPECT_EQ(db.GetObject(layer, 3)->GetColumn(0), "unsaved");
  EXPECT_EQ(Titles(db, layer, {9 * kDeg, 9 * kDeg, 2 * kDeg, 2 * kDeg}),
            std::vector<std::string>{"unsaved"});
  EXPECT_TRUE(db.RemoveObject(layer, 1));
  EXPECT_EQ(db.ObjectCount(layer), 2);
}

TEST_F(SpatialDatabaseFile, AFrameAtAnUnchangedViewComesFromMemory) {
  const QUuid layer = Fill(30).first;
  TGSpatialDatabase db;
  db.BlobCacheSize = 4;  // fewer than the objects in view
  db.SetDataSourceName(path_);
  db.SetActive(true);
  const TGMER view{-180 * kDeg + 1, -kDeg, 180 * kDeg, 2 * kDeg};  // the western hemisphere
  const auto first = Titles(db, layer, view);
  ASSERT_EQ(first.size(), 30u);
  // With the file locked by another connection, the same view is drawn again from memory...
  OpenOther();
  Sql("BEGIN EXCLUSIVE");
  EXPECT_EQ(Titles(db, layer, view), first);
  EXPECT_EQ(Titles(db, layer, view), first);
  // ...while objects not decoded yet need the file, and say so.
  try {
    db.GetObject(layer, 31);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), path_ + ": cannot read an object: database is locked");
  }
  Sql("COMMIT");

  // Moved objects are found where they are now, also when the file cannot take the change.
  auto moved = db.GetObject(layer, 1);
  moved->SetCentroid({60 * kDeg, 30 * kDeg, 0});
  moved->NotifyOwner();
  const TGMER east{59 * kDeg, 29 * kDeg, 2 * kDeg, 2 * kDeg};
  EXPECT_EQ(Titles(db, layer, east).size(), 1u);
  EXPECT_EQ(Titles(db, layer, view).size(), 29u);
  db.SetActive(false);
  db.SetReadOnly(true);
  db.SetActive(true);
  moved = db.GetObject(layer, 2);
  moved->SetCentroid({-60 * kDeg, -30 * kDeg, 0});
  EXPECT_EQ(Titles(db, layer, {-61 * kDeg, -31 * kDeg, 2 * kDeg, 2 * kDeg}).size(), 1u);
  EXPECT_EQ(Titles(db, layer, view).size(), 28u);
}

}  // namespace
