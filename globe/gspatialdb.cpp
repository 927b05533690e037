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

#include "gsdb_codec.h"
#include "gsdb_index.h"
#include "gsdb_sql.h"

namespace umbrivista {

namespace {

// Stored as PRAGMA user_version. 5: chain blobs end with a checksum.
constexpr int kFormatVersion = 5;

constexpr const char* kOpenFailure = "cannot open the spatial database";

// Statements prepared once per database layer.
enum StatementKind : int {
  kInsertObject,
  kSelectObject,
  kDeleteObject,
  kInsertIndex,
  kDeleteIndex,
  kLoadIndex,
  kCountObjects,
  kMaxHandle,
  kStatementKinds,
};

// The columns of an object row, in the order of the SELECT statements.
constexpr const char* kObjectColumns =
    "handle, kind, presenter, flags, user_id, columns, centroid_lon, centroid_lat, "
    "centroid_height, mer_left, mer_top, mer_width, mer_height, chains";

std::string Trimmed(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

// Table names are built from the layer's row id, which Open only accepts when positive.
std::string ObjectTable(std::int64_t id) {
  return "sdb_objects_" + std::to_string(id);
}
std::string IndexTable(std::int64_t id) {
  return "sdb_index_" + std::to_string(id);
}

std::span<const unsigned char> Bytes(const std::string& s) {
  return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
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
// Inner records

struct TGSpatialDatabase::Layer : TGObjectOwner {
  Layer(std::int64_t id, const QUuid& guid, std::string name)
      : id(id), guid(guid), name(std::move(name)) {}
  void ObjectChanged(TGMapPoint& object) override { object.SetModified(true); }

  std::int64_t id;
  QUuid guid;
  std::string name;
  std::int32_t nextHandle = 0;  // 0: not read from the file yet
  TGSDBLayerIndex index;
  // The objects of the last enumeration, kept decoded for the next frame at the same view.
  std::vector<std::shared_ptr<TGMapPoint>> shown;
  std::array<TGSqlStatement, kStatementKinds> statements;
};

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
  layers_.erase(layers_.begin() + index);
  Changed();
}

TGSqlStatement& TGSpatialDatabase::Prepared(Layer& layer, int which) {
  TGSqlStatement& s = layer.statements.at(static_cast<std::size_t>(which));
  if (s) return s;
  const std::string objects = ObjectTable(layer.id), index = IndexTable(layer.id);
  std::string sql;
  switch (which) {
    case kInsertObject:
      sql = "INSERT OR REPLACE INTO " + objects + "(" + kObjectColumns +
            ") VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)";
      break;
    case kSelectObject:
      sql = std::string("SELECT ") + kObjectColumns + " FROM " + objects + " WHERE handle=?1";
      break;
    case kDeleteObject:
      sql = "DELETE FROM " + objects + " WHERE handle=?1";
      break;
    case kInsertIndex:
      sql = "INSERT INTO " + index + " VALUES(?1, ?2, ?3, ?4, ?5)";
      break;
    case kDeleteIndex:
      sql = "DELETE FROM " + index + " WHERE id=?1";
      break;
    case kLoadIndex:
      sql = "SELECT id, min_lon, max_lon, min_lat, max_lat FROM " + index + " ORDER BY id";
      break;
    case kCountObjects:
      sql = "SELECT count(*) FROM " + objects;
      break;
    case kMaxHandle:
      sql = "SELECT coalesce(max(handle), 0) FROM " + objects;
      break;
    default:
      throw std::logic_error("SpatialDatabase: bad statement");
  }
  s = TGSqlStatement(*db_, sql, true);
  return s;
}

void TGSpatialDatabase::Damaged(const Layer& layer, std::int32_t handle, const char* what) const {
  throw std::runtime_error(name_ + ": layer " + std::to_string(layer.id) + " object " +
                           std::to_string(handle) + ": " + what);
}

void TGSpatialDatabase::WriteObject(Layer& layer, TGMapPoint& object) {
  constexpr const char* what = "cannot write an object";
  const TGSDBObjectRecord r = EncodeObject(object);
  TGSqlStatement& st = Prepared(layer, kInsertObject);
  st.Bind(1, r.handle).Bind(2, r.kind).Bind(3, r.presenter).Bind(4, r.flags);
  st.Bind(5, std::string_view(r.userId)).Bind(6, std::string_view(r.columns));
  st.Bind(7, r.centroid.Longitude).Bind(8, r.centroid.Latitude).Bind(9, r.centroid.Height);
  st.Bind(10, r.mer.Left).Bind(11, r.mer.Top).Bind(12, r.mer.Width).Bind(13, r.mer.Height);
  if (r.hasChains) {
    st.BindBlob(14, Bytes(r.chains));
  } else {
    st.BindNull(14);
  }
  st.Run(what);

  TGSqlStatement& del = Prepared(layer, kDeleteIndex);
  for (std::int64_t id : {std::int64_t{r.handle} * 2, std::int64_t{r.handle} * 2 + 1}) {
    del.Bind(1, id);
    del.Run(what);
  }
  TGSDBBox boxes[2];
  const int n = IndexBoxes(r.mer, boxes);
  TGSqlStatement& ins = Prepared(layer, kInsertIndex);
  for (int i = 0; i < n; ++i) {
    ins.Bind(1, std::int64_t{r.handle} * 2 + i);
    ins.Bind(2, boxes[i].minLon).Bind(3, boxes[i].maxLon);
    ins.Bind(4, boxes[i].minLat).Bind(5, boxes[i].maxLat);
    ins.Run(what);
  }
}

std::shared_ptr<TGMapPoint> TGSpatialDatabase::ReadObject(Layer& layer, std::int32_t handle) {
  TGSqlStatement& st = Prepared(layer, kSelectObject);
  TGSqlReset reset(st);
  st.Bind(1, handle);
  if (!st.Step("cannot read an object")) return nullptr;
  TGSDBObjectRecord r;
  r.handle = handle;
  r.kind = st.ColumnInt(1);
  r.presenter = st.ColumnInt(2);
  r.flags = st.ColumnInt(3);
  r.userId = st.ColumnText(4);
  r.columns = st.ColumnText(5);
  r.centroid = {st.ColumnInt(6), st.ColumnInt(7), st.ColumnInt(8)};
  r.mer = {st.ColumnInt(9), st.ColumnInt(10), st.ColumnInt(11), st.ColumnInt(12)};
  const int chainsType = st.ColumnType(13);
  if (chainsType != SQLITE_NULL && chainsType != SQLITE_BLOB)
    Damaged(layer, handle, "the chains are not a blob");
  r.hasChains = chainsType == SQLITE_BLOB;
  if (r.hasChains) {
    const auto bytes = st.ColumnBlob(13);
    r.chains.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  std::shared_ptr<TGMapPoint> object;
  try {
    object = DecodeObject(r);
  } catch (const TGSDBFormatError& e) {
    Damaged(layer, handle, e.what());
  }
  object->SetOwner(&layer, handle);
  object->SetModified(false);
  return object;
}

void TGSpatialDatabase::LoadIndex(Layer& layer) {
  if (layer.index.Loaded()) return;
  TGSqlStatement& st = Prepared(layer, kLoadIndex);
  TGSqlReset reset(st);
  TGSDBLayerIndex index;
  while (st.Step("cannot read the spatial index")) {
    const std::int64_t id = st.ColumnInt64(0);
    const std::int64_t handle = id >> 1;
    if (handle <= 0 || handle > INT32_MAX)
      Damaged(layer, static_cast<std::int32_t>(std::clamp<std::int64_t>(handle, 0, INT32_MAX)),
              "an index entry with an impossible handle");
    index.PutBox(static_cast<std::int32_t>(handle), static_cast<int>(id & 1),
                 {st.ColumnInt(1), st.ColumnInt(2), st.ColumnInt(3), st.ColumnInt(4)});
  }
  index.SetLoaded();
  layer.index = std::move(index);
}

void TGSpatialDatabase::CacheObject(Layer& layer, const std::shared_ptr<TGMapPoint>& object) {
  cache_.Put(layer.id, object->Handle(), &layer, object);
}

void TGSpatialDatabase::TrimCache() {
  cache_.Trim(static_cast<std::size_t>(std::max(BlobCacheSize, 1)), [this] {
    if (!db_ || ReadOnly()) return false;
    WriteBack(nullptr);
    return true;
  });
}

void TGSpatialDatabase::WriteBack(Layer* only) {
  if (!db_ || ReadOnly()) return;
  std::vector<std::pair<Layer*, std::shared_ptr<TGMapPoint>>> dirty;
  for (auto& layer : layers_) {
    if (only && layer.get() != only) continue;
    cache_.ForEach(layer->id, [&](std::int32_t, const std::shared_ptr<TGMapPoint>& object) {
      if (object->Modified()) dirty.emplace_back(layer.get(), object);
    });
  }
  if (dirty.empty()) return;
  TGSqlTransaction transaction(*db_);
  for (auto& [layer, object] : dirty) WriteObject(*layer, *object);
  transaction.Commit();
  // Only what reached the file counts as written.
  for (auto& [layer, object] : dirty) {
    object->SetModified(false);
    if (layer->index.Loaded()) layer->index.Put(object->Handle(), object->MER());
  }
}

std::int32_t TGSpatialDatabase::AddObject(const QUuid& guid, std::shared_ptr<TGMapPoint> object) {
  CheckWritable("AddObject");
  Layer* layer = FindLayerRecord(guid);
  if (!layer || !object) return 0;
  if (layer->nextHandle == 0) {
    TGSqlStatement& st = Prepared(*layer, kMaxHandle);
    TGSqlReset reset(st);
    std::int64_t last = 0;
    if (st.Step("cannot read the last handle")) last = st.ColumnInt64(0);
    if (last < 0 || last >= INT32_MAX) Damaged(*layer, 0, "the handles are out of range");
    layer->nextHandle = static_cast<std::int32_t>(last) + 1;
  }
  if (layer->nextHandle == INT32_MAX) throw std::runtime_error(name_ + ": the layer is full");
  const std::int32_t handle = layer->nextHandle++;
  object->SetOwner(layer, handle);
  object->SetModified(true);
  CacheObject(*layer, object);
  TrimCache();
  return handle;
}

std::shared_ptr<TGMapPoint> TGSpatialDatabase::GetObject(const QUuid& guid, std::int32_t handle) {
  Layer* layer = db_ ? FindLayerRecord(guid) : nullptr;
  if (!layer) return nullptr;
  if (auto cached = cache_.Find(layer->id, handle)) return cached;
  std::shared_ptr<TGMapPoint> object = ReadObject(*layer, handle);
  if (object) {
    CacheObject(*layer, object);
    TrimCache();
  }
  return object;
}

bool TGSpatialDatabase::RemoveObject(const QUuid& guid, std::int32_t handle) {
  CheckWritable("DeleteObject");
  Layer* layer = FindLayerRecord(guid);
  if (!layer) return false;
  constexpr const char* what = "cannot delete an object";
  const std::shared_ptr<TGMapPoint> cached = cache_.Find(layer->id, handle);
  TGSqlTransaction transaction(*db_);
  TGSqlStatement& st = Prepared(*layer, kDeleteObject);
  st.Bind(1, handle);
  st.Run(what);
  bool removed = db_->Changes() > 0;
  TGSqlStatement& del = Prepared(*layer, kDeleteIndex);
  for (std::int64_t id : {std::int64_t{handle} * 2, std::int64_t{handle} * 2 + 1}) {
    del.Bind(1, id);
    del.Run(what);
  }
  transaction.Commit();
  if (cached) {
    cache_.Erase(layer->id, handle);
    std::erase(layer->shown, cached);
    removed = true;
  }
  layer->index.Erase(handle);
  return removed;
}

void TGSpatialDatabase::ClearObjects(const QUuid& guid) {
  CheckWritable("ClearLayer");
  Layer* layer = FindLayerRecord(guid);
  if (!layer) return;
  constexpr const char* what = "cannot clear a layer";
  TGSqlTransaction transaction(*db_);
  db_->Exec("DELETE FROM " + ObjectTable(layer->id), what);
  db_->Exec("DELETE FROM " + IndexTable(layer->id), what);
  transaction.Commit();
  cache_.EraseLayer(layer->id);
  layer->shown.clear();
  layer->index.Clear(true);
  layer->nextHandle = 1;
}

int TGSpatialDatabase::ObjectCount(const QUuid& guid) {
  Layer* layer = db_ ? FindLayerRecord(guid) : nullptr;
  if (!layer) return 0;
  WriteBack(layer);
  TGSqlStatement& st = Prepared(*layer, kCountObjects);
  TGSqlReset reset(st);
  return st.Step("cannot count the objects") ? st.ColumnInt(0) : 0;
}

void TGSpatialDatabase::EnumerateObjects(const QUuid& guid, const TGMER& extent,
                                         std::int32_t minExtent, const TGObjectCallback& fn) {
  Layer* layer = db_ ? FindLayerRecord(guid) : nullptr;
  if (!layer || extent.Empty()) return;
  WriteBack(layer);
  LoadIndex(*layer);
  // Objects changed but not written (a read-only database) are found where they are now.
  cache_.ForEach(layer->id, [&](std::int32_t handle, const std::shared_ptr<TGMapPoint>& object) {
    if (object->Modified()) layer->index.Put(handle, object->MER());
  });
  std::vector<std::int32_t> handles;
  layer->index.Query(extent, handles);
  // The objects are collected first: the callbacks may change the database.
  std::vector<std::shared_ptr<TGMapPoint>> found;
  found.reserve(handles.size());
  for (std::int32_t handle : handles) {
    std::shared_ptr<TGMapPoint> object = cache_.Find(layer->id, handle);
    if (!object) {
      object = ReadObject(*layer, handle);
      if (!object) Damaged(*layer, handle, "indexed but not stored");
      CacheObject(*layer, object);
    }
    found.push_back(std::move(object));
  }
  layer->shown = found;
  for (const auto& object : found) {
    const TGMER& r = object->MER();
    if (!PassesMinExtent(r, minExtent) || !MERIntersects(r, extent)) continue;
    if (!fn(object)) break;
  }
  found.clear();
  TrimCache();
}

// ---------------------------------------------------------------------------------------------
// TGSDBObjectSource

TGSDBObjectSource::TGSDBObjectSource(TGSpatialDatabase& database, const QUuid& guid,
                                     const std::string& name)
    : database_(database) {
  guid_ = guid;
  Name = name;
}

int TGSDBObjectSource::ObjectCount() {
  return database_.ObjectCount(guid_);
}

std::int32_t TGSDBObjectSource::Add(std::shared_ptr<TGMapPoint> object) {
  return database_.AddObject(guid_, std::move(object));
}

std::shared_ptr<TGMapPoint> TGSDBObjectSource::Get(std::int32_t handle) {
  return database_.GetObject(guid_, handle);
}

bool TGSDBObjectSource::Remove(std::int32_t handle) {
  return database_.RemoveObject(guid_, handle);
}

void TGSDBObjectSource::Clear() {
  database_.ClearObjects(guid_);
}

void TGSDBObjectSource::Enumerate(const TGMER& extent, const TGObjectCallback& fn) {
  database_.EnumerateObjects(guid_, extent, MinObjectExtent, fn);
}

}  // namespace umbrivista
