// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TGSpatialDatabase: map layers and their objects kept in an SQLite file. Each database layer has
// an object table and an R*Tree index of the objects' bounding rectangles; objects read or added
// are kept in an in-memory object cache and written back when they are modified. Globes attached
// to the database hold a layer per database layer, whose object source (TGSDBObjectSource) reads
// and writes that database layer.
//
// The file is a scratch store for one run: it is written without a rollback journal on disk and
// without waiting for the disk, so a crash can leave it unusable.

#include <QUuid>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gobjectsource.h"
#include "gsdb_cache.h"

namespace umbrivista {

class TGSpatialDatabase;
class TGSqlConnection;
class TGSqlStatement;

// Notification codes sent to the attached listeners.
enum TGSDBNotification : int {
  sdbOpening = 0,
  sdbOpened = 1,
  sdbClosing = 2,
  sdbClosed = 3,
  sdbChanged = 4,
  sdbDestroying = 5,  // the database is being destroyed: forget it
};

class TGSpatialDatabaseListener {
 public:
  virtual void DatabaseNotify(TGSpatialDatabase& database, int code) = 0;

 protected:
  ~TGSpatialDatabaseListener() = default;
};

class TGSpatialDatabase {
 public:
  TGSpatialDatabase();
  // Flushes, deactivates and tells the listeners to forget the database.
  ~TGSpatialDatabase();
  TGSpatialDatabase(const TGSpatialDatabase&) = delete;
  TGSpatialDatabase& operator=(const TGSpatialDatabase&) = delete;

  bool Active() const { return db_ != nullptr; }
  // Opens or closes the file. A blank DataSourceName keeps the database inactive. Opening creates
  // a missing file; a file that cannot be opened for writing is opened for reading only (the
  // database is then read-only). A file that cannot be used throws std::runtime_error
  // "PATH: what: reason" with SQLite's reason: one that cannot be opened or read, is locked by
  // another connection, is not an SQLite database, fails SQLite's quick check, holds a layer
  // table that is missing or malformed, or is of another format version ("SDB Version Error").
  void SetActive(bool active);
  // Objects kept in the object cache (at least 1); objects that are still referenced elsewhere,
  // and those each layer last enumerated (the frame in view), stay in it beyond this number.
  std::int32_t BlobCacheSize = 128;
  // Pages of the file kept in memory.
  std::int32_t PageCacheSize = 1024;
  // Kept with the database; the pages are not enciphered.
  std::string EncryptionKey;
  const std::string& DataSourceName() const { return name_; }
  // Trims the name; an unchanged name does nothing; otherwise the database is closed, the name
  // stored and the database opened again when it was open.
  void SetDataSourceName(const std::string& name);
  // True when set, or when the open file could only be opened for reading.
  bool ReadOnly() const { return readOnly_ || fileReadOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

  std::function<void()> OnBeforeOpen, OnAfterOpen, OnBeforeClose, OnAfterClose, OnChanged;

  // Adds a layer of that name under a new GUID, which is returned. Throws
  // std::runtime_error("CreateLayer: SDB is ReadOnly") on a read-only database.
  QUuid CreateLayer(const std::string& name);
  // Removes a layer and its objects; a GUID that names no layer does nothing. Throws
  // std::runtime_error("DeleteLayer: SDB is ReadOnly") on a read-only database.
  void DeleteLayer(const QUuid& guid);
  // Closes the database, empties the object cache and opens it again when it was open.
  void ResetCaches();
  // Writes modified objects to the file (when active and not read-only).
  void Flush();
  // While the counter is above 0 no change notifications go out (one goes out at the end when
  // something changed) and changes are collected in one transaction. EndUpdate below zero throws
  // std::logic_error("Unbalanced EndUpdate called without BeginUpdate").
  void BeginUpdate();
  void EndUpdate();

  int LayerCount() const { return static_cast<int>(layers_.size()); }
  const QUuid& LayerGUID(int index) const;
  const std::string& LayerName(int index) const;
  // Index of the layer with that GUID, or −1.
  int FindLayer(const QUuid& guid) const;

  void AddListener(TGSpatialDatabaseListener* listener);
  void RemoveListener(TGSpatialDatabaseListener* listener);

  // Objects of a database layer (what TGSDBObjectSource does). Changes to a read-only database
  // throw std::runtime_error("… SDB is ReadOnly"); any change on an inactive database throws
  // std::runtime_error("PageCache is not Active"). A stored object that cannot be decoded throws
  // std::runtime_error("PATH: layer L object H: what is wrong"). Enumeration finds the objects
  // in memory; the file is read only for objects not decoded yet.
  std::int32_t AddObject(const QUuid& layer, std::shared_ptr<TGMapPoint> object);
  std::shared_ptr<TGMapPoint> GetObject(const QUuid& layer, std::int32_t handle);
  bool RemoveObject(const QUuid& layer, std::int32_t handle);
  void ClearObjects(const QUuid& layer);
  int ObjectCount(const QUuid& layer);
  void EnumerateObjects(const QUuid& layer, const TGMER& extent, std::int32_t minExtent,
                        const TGObjectCallback& fn);
  // Number of objects in the object cache.
  int CachedObjectCount() const { return cache_.Size(); }

 private:
  struct Layer;

  void Open();
  void Close();
  void Notify(int code);
  void Changed();
  void CheckWritable(const char* operation) const;
  Layer* FindLayerRecord(const QUuid& guid) const;
  TGSqlStatement& Prepared(Layer& layer, int which);
  // Writes the modified cached objects (of one layer, or of all when null) in one transaction.
  void WriteBack(Layer* layer);
  void WriteObject(Layer& layer, TGMapPoint& object);
  std::shared_ptr<TGMapPoint> ReadObject(Layer& layer, std::int32_t handle);
  // Fills the layer's in-memory index from the file on first use.
  void LoadIndex(Layer& layer);
  [[noreturn]] void Damaged(const Layer& layer, std::int32_t handle, const char* what) const;
  void CacheObject(Layer& layer, const std::shared_ptr<TGMapPoint>& object);
  // Drops the least recently used objects above BlobCacheSize that nobody else holds.
  void TrimCache();

  std::unique_ptr<TGSqlConnection> db_;
  std::string name_;
  bool readOnly_ = false;
  bool fileReadOnly_ = false;
  int updateCount_ = 0;
  bool changedInUpdate_ = false;
  bool updateTransaction_ = false;
  std::vector<std::unique_ptr<Layer>> layers_;
  std::vector<TGSpatialDatabaseListener*> listeners_;
  TGSDBObjectCache cache_;
};

// The object source of a globe layer bound to a database layer by its GUID. While the database
// is inactive or the layer is gone, the source has no objects.
class TGSDBObjectSource : public TGObjectSource {
 public:
  TGSDBObjectSource(TGSpatialDatabase& database, const QUuid& guid, const std::string& name);

  TGSpatialDatabase& Database() const { return database_; }
  bool IsDatabaseBound() const override { return true; }
  int ObjectCount() override;
  std::int32_t Add(std::shared_ptr<TGMapPoint> object) override;
  std::shared_ptr<TGMapPoint> Get(std::int32_t handle) override;
  bool Remove(std::int32_t handle) override;
  void Clear() override;
  void Enumerate(const TGMER& extent, const TGObjectCallback& fn) override;

 private:
  TGSpatialDatabase& database_;
};

}  // namespace umbrivista
