// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gspatialdb.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "glog.h"
#include "gsdb_layer.h"

namespace umbrivista {

namespace {

// Stored as PRAGMA user_version. 5: chain blobs end with a checksum.
constexpr int kFormatVersion = 5;

constexpr const char* kOpenFailure = "cannot open the spatial database";

std::string Trimmed(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

// Opens the file for writing (creating it) unless read-only is asked for, else or when that
// fails for reading. The reason given is that of the first failed attempt: when the file cannot
// be created, that it then cannot be opened for reading either says nothing new.
TGSqlConnection OpenFile(const std::string& path, bool readOnly) {
  if (!readOnly) {
    try {
      return TGSqlConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, kOpenFailure);
    } catch (const TGSqlError& writeFailure) {
      try {
        return TGSqlConnection(path, SQLITE_OPEN_READONLY, kOpenFailure);
      } catch (const TGSqlError&) {
        // SQLite retries a failed creation for reading and then names only why that failed
        // (the file is missing); why the file could not be created is the folder's rights.
        std::error_code ec;
        const std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
        if (!std::filesystem::exists(path, ec) && std::filesystem::is_directory(folder, ec) &&
            ::access(folder.c_str(), W_OK | X_OK) != 0) {
          const int error = errno;
          throw TGSqlError(path + ": " + kOpenFailure + ": unable to open database file (" +
                           folder.string() + ": " + std::strerror(error) + ")");
        }
        throw writeFailure;
      }
    }
  }
  return TGSqlConnection(path, SQLITE_OPEN_READONLY, kOpenFailure);
}

std::int64_t QueryInt(const TGSqlConnection& db, const std::string& sql) {
  TGSqlStatement st(db, sql);
  if (!st.Step(kOpenFailure)) return 0;
  const std::int64_t value = st.ColumnInt64(0);
  st.Reset();
  return value;
}

[[noreturn]] void Refuse(const TGSqlConnection& db, const std::string& why) {
  throw TGSqlError(db.Path() + ": " + kOpenFailure + ": " + why);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TGSpatialDatabase

TGSpatialDatabase::TGSpatialDatabase() = default;

TGSpatialDatabase::~TGSpatialDatabase() {
  // Closing writes the modified objects; a failure cannot leave a destructor, so it is logged.
  try {
    SetActive(false);
  } catch (const std::exception& e) {
    qWarning("%s", e.what());
  }
  const std::vector<TGSpatialDatabaseListener*> listeners = listeners_;
  for (TGSpatialDatabaseListener* l : listeners) l->DatabaseNotify(*this, sdbDestroying);
  listeners_.clear();
}

void TGSpatialDatabase::AddListener(TGSpatialDatabaseListener* listener) {
  if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
    listeners_.push_back(listener);
}

void TGSpatialDatabase::RemoveListener(TGSpatialDatabaseListener* listener) {
  std::erase(listeners_, listener);
}

void TGSpatialDatabase::Notify(int code) {
  // A listener may detach itself while it is told.
  const std::vector<TGSpatialDatabaseListener*> listeners = listeners_;
  for (TGSpatialDatabaseListener* l : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
      l->DatabaseNotify(*this, code);
  }
}

void TGSpatialDatabase::Changed() {
  if (updateCount_ > 0) {
    changedInUpdate_ = true;
    return;
  }
  Notify(sdbChanged);
  if (OnChanged) OnChanged();
}

void TGSpatialDatabase::CheckWritable(const char* operation) const {
  if (ReadOnly()) throw std::runtime_error(std::string(operation) + ": SDB is ReadOnly");
  if (!db_) throw std::runtime_error("PageCache is not Active");
}

void TGSpatialDatabase::SetDataSourceName(const std::string& name) {
  const std::string trimmed = Trimmed(name);
  if (trimmed == name_) return;
  const bool was = Active();
  SetActive(false);
  name_ = trimmed;
  SetActive(was);
}

void TGSpatialDatabase::SetActive(bool active) {
  if (active && name_.empty()) active = false;
  if (active == Active()) return;
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TGSpatialDatabase::Open() {
  Notify(sdbOpening);
  if (OnBeforeOpen) OnBeforeOpen();
  auto db = std::make_unique<TGSqlConnection>(OpenFile(name_, readOnly_));
  const bool fileReadOnly = db->FileReadOnly();
  std::vector<std::unique_ptr<Layer>> layers;

  // The first read of the file: one of another kind, or one locked by another connection,
  // fails here with SQLite's reason.
  const std::int64_t version = QueryInt(*db, "PRAGMA user_version");
  const std::int64_t tables = QueryInt(*db, "SELECT count(*) FROM sqlite_master");
  const bool fresh = version == 0 && tables == 0;
  if (!fresh && version != kFormatVersion) {
    throw std::runtime_error(name_ + ": SDB Version Error: the file has format version " +
                             std::to_string(version) + ", this program reads version " +
                             std::to_string(kFormatVersion));
  }
  if (!fresh) {
    TGSqlStatement check(*db, "PRAGMA quick_check(1)");
    std::string verdict;
    if (check.Step(kOpenFailure)) {
      verdict = std::string(check.ColumnText(0));
      check.Reset();
    }
    if (verdict != "ok") Refuse(*db, "the file is damaged: " + verdict);
  }
  db->Exec("PRAGMA synchronous=OFF", kOpenFailure);
  db->Exec("PRAGMA journal_mode=MEMORY", kOpenFailure);
  db->Exec("PRAGMA cache_size=" + std::to_string(std::max(PageCacheSize, 16)), kOpenFailure);
  if (fresh && !(readOnly_ || fileReadOnly)) {
    TGSqlTransaction create(*db);
    db->Exec(
        "CREATE TABLE sdb_layers(id INTEGER PRIMARY KEY, guid BLOB NOT NULL UNIQUE,"
        " name TEXT NOT NULL);"
        "PRAGMA user_version=" +
            std::to_string(kFormatVersion),
        "cannot create the spatial database");
    create.Commit();
  }
  if (!fresh) {
    TGSqlStatement rows(*db, "SELECT id, guid, name FROM sdb_layers ORDER BY id");
    TGSqlStatement table(*db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?1");
    while (rows.Step(kOpenFailure)) {
      const std::int64_t id = rows.ColumnInt64(0);
      const std::string row = "layer " + std::to_string(id);
      if (id <= 0) Refuse(*db, row + ": the layer id is not positive");
      const auto guidBytes = rows.ColumnBlob(1);
      const QUuid guid = QUuid::fromRfc4122(QByteArrayView(guidBytes.data(), guidBytes.size()));
      if (guidBytes.size() != 16 || guid.isNull()) Refuse(*db, row + ": the GUID is malformed");
      for (const std::string& name : {ObjectTable(id), IndexTable(id)}) {
        table.Bind(1, std::string_view(name));
        const bool present = table.Step(kOpenFailure) && table.ColumnInt(0) == 1;
        table.Reset();
        if (!present) Refuse(*db, row + ": the table " + name + " is missing");
      }
      layers.push_back(std::make_unique<Layer>(id, guid, std::string(rows.ColumnText(2))));
    }
  }
  db_ = std::move(db);
  fileReadOnly_ = fileReadOnly;
  layers_ = std::move(layers);
  if (LogActive()) GlobeLog("SpatialDatabase Open");
  Notify(sdbOpened);
  if (OnAfterOpen) OnAfterOpen();
}

void TGSpatialDatabase::Close() {
  if (OnBeforeClose) OnBeforeClose();
  Notify(sdbClosing);
  // The file is closed whatever happens; a failure to write is reported after that.
  std::exception_ptr failure;
  try {
    Flush();
    if (updateTransaction_ && db_->InTransaction())
      db_->Exec("COMMIT", "cannot commit the changes");
  } catch (...) {
    failure = std::current_exception();
  }
  updateTransaction_ = false;
  cache_.Clear();
  layers_.clear();  // finalizes the layers' statements before the connection closes
  std::unique_ptr<TGSqlConnection> db = std::move(db_);
  fileReadOnly_ = false;
  try {
    db->Close();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  db.reset();
  if (LogActive()) GlobeLog("SpatialDatabase Closed");
  Notify(sdbClosed);
  if (OnAfterClose) OnAfterClose();
  if (failure) std::rethrow_exception(failure);
}

void TGSpatialDatabase::ResetCaches() {
  const bool was = Active();
  SetActive(false);
  cache_.Clear();
  SetActive(was);
}

void TGSpatialDatabase::Flush() {
  if (!db_ || ReadOnly()) return;
  WriteBack(nullptr);
}

void TGSpatialDatabase::BeginUpdate() {
  if (++updateCount_ == 1 && db_ && !ReadOnly() && !db_->InTransaction()) {
    db_->Exec("BEGIN", "cannot begin a transaction");
    updateTransaction_ = true;
  }
}

void TGSpatialDatabase::EndUpdate() {
  if (updateCount_ <= 0) throw std::logic_error("Unbalanced EndUpdate called without BeginUpdate");
  if (--updateCount_ > 0) return;
  if (updateTransaction_) {
    updateTransaction_ = false;
    if (db_ && db_->InTransaction()) db_->Exec("COMMIT", "cannot commit the changes");
  }
  if (changedInUpdate_) {
    changedInUpdate_ = false;
    Changed();
  }
}

const QUuid& TGSpatialDatabase::LayerGUID(int index) const {
  return layers_.at(index)->guid;
}

const std::string& TGSpatialDatabase::LayerName(int index) const {
  return layers_.at(index)->name;
}

int TGSpatialDatabase::FindLayer(const QUuid& guid) const {
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    if (layers_[i]->guid == guid) return static_cast<int>(i);
  }
  return -1;
}

TGSpatialDatabase::Layer* TGSpatialDatabase::FindLayerRecord(const QUuid& guid) const {
  const int i = FindLayer(guid);
  return i < 0 ? nullptr : layers_[i].get();
}

QUuid TGSpatialDatabase::CreateLayer(const std::string& name) {
  CheckWritable("CreateLayer");
  const QUuid guid = QUuid::createUuid();
  const QByteArray bytes = guid.toRfc4122();
  constexpr const char* what = "cannot create a layer";
  TGSqlTransaction transaction(*db_);
  TGSqlStatement insert(*db_, "INSERT INTO sdb_layers(guid, name) VALUES(?1, ?2)");
  insert.BindBlob(1, {reinterpret_cast<const unsigned char*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())});
  insert.Bind(2, std::string_view(name));
  insert.Run(what);
  auto layer = std::make_unique<Layer>(db_->LastInsertRowId(), guid, name);
  db_->Exec("CREATE TABLE " + ObjectTable(layer->id) +
                "(handle INTEGER PRIMARY KEY, kind INTEGER NOT NULL, presenter INTEGER NOT NULL,"
                " flags INTEGER NOT NULL, user_id TEXT NOT NULL, columns TEXT NOT NULL,"
                " centroid_lon INTEGER NOT NULL, centroid_lat INTEGER NOT NULL,"
                " centroid_height INTEGER NOT NULL, mer_left INTEGER NOT NULL,"
                " mer_top INTEGER NOT NULL, mer_width INTEGER NOT NULL,"
                " mer_height INTEGER NOT NULL, chains BLOB)",
            what);
  db_->Exec("CREATE VIRTUAL TABLE " + IndexTable(layer->id) +
                " USING rtree_i32(id, min_lon, max_lon, min_lat, max_lat)",
            what);
  transaction.Commit();
  layer->nextHandle = 1;
  layer->index.Clear(true);
  layers_.push_back(std::move(layer));
  if (LogActive()) GlobeLog("CreateLayer: " + name + " " + guid.toString().toStdString());
  Changed();
  return guid;
}

void TGSpatialDatabase::DeleteLayer(const QUuid& guid) {
  if (ReadOnly()) throw std::runtime_error("DeleteLayer: SDB is ReadOnly");
  const int index = FindLayer(guid);
  if (index < 0) return;
  Layer& layer = *layers_[index];
  for (TGSqlStatement& s : layer.statements) s = TGSqlStatement();
  constexpr const char* what = "cannot delete a layer";
  TGSqlTransaction transaction(*db_);
  db_->Exec("DROP TABLE IF EXISTS " + ObjectTable(layer.id), what);
  db_->Exec("DROP TABLE IF EXISTS " + IndexTable(layer.id), what);
  TGSqlStatement remove(*db_, "DELETE FROM sdb_layers WHERE id=?1");
  remove.Bind(1, layer.id);
  remove.Run(what);
  transaction.Commit();
  cache_.EraseLayer(layer.id);
  const std::string name = layer.name;
  layers_.erase(layers_.begin() + index);
  if (LogActive()) GlobeLog("DeleteLayer: " + name);
  Changed();
}

}  // namespace umbrivista
