#include "gspatialdb.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace umbrivista {

namespace {

constexpr int kFormatVersion = 4;

// Statements prepared once per database layer.
enum StatementKind : int {
  kInsertObject,
  kSelectObject,
  kDeleteObject,
  kInsertIndex,
  kDeleteIndex,
  kEnumerate,
  kCountObjects,
  kMaxHandle,
  kStatementKinds,
};

// The columns of an object row, in the order of the SELECT statements.
constexpr const char* kObjectColumns =
    "handle, kind, presenter, flags, user_id, columns, centroid_lon, centroid_lat, "
    "centroid_height, mer_left, mer_top, mer_width, mer_height, chains";

enum ObjectFlags : int { kFlagHidden = 1, kFlagSelected = 2, kFlagClosed = 4 };

std::string Trimmed(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

void PutInt32(std::string& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  out += static_cast<char>(u & 0xFF);
  out += static_cast<char>((u >> 8) & 0xFF);
  out += static_cast<char>((u >> 16) & 0xFF);
  out += static_cast<char>((u >> 24) & 0xFF);
}

std::int32_t GetInt32(const unsigned char* p) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
      static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

// Chains as bytes: per chain its point count and flags (bit 0: hidden), then the points as
// (longitude, latitude, height) triples; all values 32-bit little-endian.
std::string EncodeChains(const TGChainStore& chains) {
  std::string out;
  for (const TGPointStore& chain : chains) {
    PutInt32(out, static_cast<std::int32_t>(chain.Points.size()));
    PutInt32(out, chain.Hidden ? 1 : 0);
    for (const TGGlobePoint& p : chain.Points) {
      PutInt32(out, p.Longitude);
      PutInt32(out, p.Latitude);
      PutInt32(out, p.Height);
    }
  }
  return out;
}

void DecodeChains(const unsigned char* p, std::size_t size, TGChainStore& chains) {
  std::size_t at = 0;
  while (size - at >= 8) {
    const std::int32_t count = GetInt32(p + at);
    const std::int32_t flags = GetInt32(p + at + 4);
    at += 8;
    if (count < 0 || static_cast<std::size_t>(count) > (size - at) / 12) break;  // damaged
    TGPointStore& chain = chains.emplace_back();
    chain.Hidden = flags & 1;
    chain.Points.resize(count);
    for (TGGlobePoint& point : chain.Points) {
      point = {GetInt32(p + at), GetInt32(p + at + 4), GetInt32(p + at + 8)};
      at += 12;
    }
  }
}

// Boxes of the spatial index for a rectangle (inclusive edges), split at 180° when it runs east
// across it. Returns the number of boxes (0 for an empty rectangle).
struct Box {
  std::int32_t minLon, maxLon, minLat, maxLat;
};

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

int IndexBoxes(const TGMER& r, Box (&boxes)[2]) {
  if (r.Empty()) return 0;
  const std::int32_t top = r.Top;
  const std::int32_t bottom = Clamp32(static_cast<std::int64_t>(r.Top) + r.Height - 1);
  const std::int64_t left = r.Left, right = left + r.Width - 1;
  if (r.Width >= kGU360) {
    boxes[0] = {-kGU180, kGU180, top, bottom};
    return 1;
  }
  if (right <= kGU180) {
    boxes[0] = {Clamp32(left), Clamp32(right), top, bottom};
    return 1;
  }
  boxes[0] = {Clamp32(left), kGU180, top, bottom};
  boxes[1] = {-kGU180, Clamp32(right - kGU360), top, bottom};
  return 2;
}

// SQLite's text for a failed open or read, with the system's reason where there is one
// ("unable to open database file (No such file or directory)").
std::string OpenFailure(sqlite3* db, int rc) {
  std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  const int error = db ? sqlite3_system_errno(db) : 0;
  if (error != 0) text += std::string(" (") + std::strerror(error) + ")";
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Inner records

struct TGSpatialDatabase::Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

struct TGSpatialDatabase::Layer : TGObjectOwner {
  Layer(std::int64_t id, const QUuid& guid, std::string name)
      : id(id), guid(guid), name(std::move(name)) {}
  void ObjectChanged(TGMapPoint& object) override { object.SetModified(true); }
  std::string Objects() const { return "sdb_objects_" + std::to_string(id); }
  std::string Index() const { return "sdb_index_" + std::to_string(id); }

  std::int64_t id;
  QUuid guid;
  std::string name;
  std::int32_t nextHandle = 0;  // 0: not read from the file yet
  std::unordered_map<std::int32_t, CacheEntry> cache;
  std::array<Statement, kStatementKinds> statements;
};

// A transaction around a group of writes, unless one is open already (BeginUpdate).
class SdbTransaction {
 public:
  explicit SdbTransaction(sqlite3* db) : db_(db) {
    if (sqlite3_get_autocommit(db_)) {
      own_ = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
  }
  ~SdbTransaction() {
    if (own_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  SdbTransaction(const SdbTransaction&) = delete;
  SdbTransaction& operator=(const SdbTransaction&) = delete;
  void Commit() {
    if (!own_) return;
    own_ = false;
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
      const std::string message = sqlite3_errmsg(db_);
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      throw std::runtime_error("SpatialDatabase: commit failed: " + message);
    }
  }

 private:
  sqlite3* db_;
  bool own_ = false;
};

// ---------------------------------------------------------------------------------------------
// TGSpatialDatabase

TGSpatialDatabase::TGSpatialDatabase() = default;

TGSpatialDatabase::~TGSpatialDatabase() {
  try {
    SetActive(false);
  } catch (...) {
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

void TGSpatialDatabase::Exec(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    throw std::runtime_error("SpatialDatabase: " + message);
  }
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
  sqlite3* db = nullptr;
  int rc = SQLITE_CANTOPEN;
  // The reason of the first failed attempt: when the file cannot be created, that it then cannot
  // be opened for reading either says nothing new.
  std::string reason;
  if (!readOnly_) {
    rc = sqlite3_open_v2(name_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
      reason = OpenFailure(db, rc);
      sqlite3_close(db);
      db = nullptr;
    }
  }
  if (rc != SQLITE_OK) rc = sqlite3_open_v2(name_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (rc != SQLITE_OK) {
    if (reason.empty()) reason = OpenFailure(db, rc);
    sqlite3_close(db);
    throw std::runtime_error(name_ + ": cannot open the spatial database: " + reason);
  }
  db_ = db;
  fileReadOnly_ = sqlite3_db_readonly(db_, "main") == 1;
  try {
    // The header is read on first use: a file of another kind fails here.
    sqlite3_stmt* st = nullptr;
    int version = -1, tables = -1;
    if (sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
      version = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    st = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
      tables = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    if (version < 0 || tables < 0) {
      // Unreadable: not a database file, or not readable at all.
      if (sqlite3_errcode(db_) == SQLITE_NOTADB) throw std::runtime_error("SDB Version Error");
      throw std::runtime_error(
          name_ + ": cannot read the spatial database: " + OpenFailure(db_, sqlite3_errcode(db_)));
    }
    const bool fresh = version == 0 && tables == 0;
    if (!fresh && version != kFormatVersion) throw std::runtime_error("SDB Version Error");
    Exec("PRAGMA synchronous=OFF");
    Exec("PRAGMA journal_mode=MEMORY");
    Exec(("PRAGMA cache_size=" + std::to_string(std::max(PageCacheSize, 16))).c_str());
    if (fresh && !ReadOnly()) {
      Exec(
          "BEGIN;"
          "CREATE TABLE sdb_layers(id INTEGER PRIMARY KEY, guid BLOB NOT NULL UNIQUE,"
          " name TEXT NOT NULL);"
          "PRAGMA user_version=4;"
          "COMMIT");
    }
    if (!fresh) {
      sqlite3_stmt* q = nullptr;
      if (sqlite3_prepare_v2(db_, "SELECT id, guid, name FROM sdb_layers ORDER BY id", -1, &q,
                             nullptr) != SQLITE_OK) {
        sqlite3_finalize(q);
        throw std::runtime_error("SDB Version Error");
      }
      while (sqlite3_step(q) == SQLITE_ROW) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(q, 1));
        const QUuid guid =
            QUuid::fromRfc4122(QByteArrayView(bytes, bytes ? sqlite3_column_bytes(q, 1) : 0));
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(q, 2));
        layers_.push_back(
            std::make_unique<Layer>(sqlite3_column_int64(q, 0), guid, name ? name : ""));
      }
      sqlite3_finalize(q);
    }
  } catch (...) {
    layers_.clear();
    sqlite3_close(db_);
    db_ = nullptr;
    fileReadOnly_ = false;
    throw;
  }
  Notify(sdbOpened);
  if (OnAfterOpen) OnAfterOpen();
}

void TGSpatialDatabase::Close() {
  if (OnBeforeClose) OnBeforeClose();
  Notify(sdbClosing);
  std::exception_ptr failure;
  try {
    Flush();
    if (updateTransaction_ && !sqlite3_get_autocommit(db_)) Exec("COMMIT");
  } catch (...) {
    failure = std::current_exception();
  }
  updateTransaction_ = false;
  for (auto& layer : layers_) DropCachedObjects(*layer);
  lru_.clear();
  layers_.clear();
  sqlite3_close(db_);
  db_ = nullptr;
  fileReadOnly_ = false;
  Notify(sdbClosed);
  if (OnAfterClose) OnAfterClose();
  if (failure) std::rethrow_exception(failure);
}

void TGSpatialDatabase::ResetCaches() {
  const bool was = Active();
  SetActive(false);
  for (auto& layer : layers_) DropCachedObjects(*layer);
  lru_.clear();
  SetActive(was);
}

void TGSpatialDatabase::Flush() {
  if (!db_ || ReadOnly()) return;
  WriteBack(nullptr);
}

void TGSpatialDatabase::BeginUpdate() {
  if (++updateCount_ == 1 && db_ && !ReadOnly() && sqlite3_get_autocommit(db_)) {
    Exec("BEGIN");
    updateTransaction_ = true;
  }
}

void TGSpatialDatabase::EndUpdate() {
  if (updateCount_ <= 0) throw std::logic_error("Unbalanced EndUpdate called without BeginUpdate");
  if (--updateCount_ > 0) return;
  if (updateTransaction_) {
    updateTransaction_ = false;
    if (db_ && !sqlite3_get_autocommit(db_)) Exec("COMMIT");
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
  SdbTransaction transaction(db_);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, "INSERT INTO sdb_layers(guid, name) VALUES(?1, ?2)", -1, &st,
                         nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    throw std::runtime_error(std::string("SpatialDatabase: ") + sqlite3_errmsg(db_));
  }
  sqlite3_bind_blob(st, 1, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  const int rc = sqlite3_step(st);
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) {
    throw std::runtime_error(std::string("SpatialDatabase: ") + sqlite3_errmsg(db_));
  }
  auto layer = std::make_unique<Layer>(sqlite3_last_insert_rowid(db_), guid, name);
  Exec(("CREATE TABLE " + layer->Objects() +
        "(handle INTEGER PRIMARY KEY, kind INTEGER NOT NULL, presenter INTEGER NOT NULL,"
        " flags INTEGER NOT NULL, user_id TEXT NOT NULL, columns TEXT NOT NULL,"
        " centroid_lon INTEGER NOT NULL, centroid_lat INTEGER NOT NULL,"
        " centroid_height INTEGER NOT NULL, mer_left INTEGER NOT NULL, mer_top INTEGER NOT NULL,"
        " mer_width INTEGER NOT NULL, mer_height INTEGER NOT NULL, chains BLOB)")
           .c_str());
  Exec(("CREATE VIRTUAL TABLE " + layer->Index() +
        " USING rtree_i32(id, min_lon, max_lon, min_lat, max_lat)")
           .c_str());
  transaction.Commit();
  layer->nextHandle = 1;
  layers_.push_back(std::move(layer));
  Changed();
  return guid;
}

void TGSpatialDatabase::DeleteLayer(const QUuid& guid) {
  if (ReadOnly()) throw std::runtime_error("DeleteLayer: SDB is ReadOnly");
  const int index = FindLayer(guid);
  if (index < 0) return;
  Layer& layer = *layers_[index];
  DropCachedObjects(layer);
  for (Statement& s : layer.statements) {
    sqlite3_finalize(s.stmt);
    s.stmt = nullptr;
  }
  SdbTransaction transaction(db_);
  Exec(("DROP TABLE IF EXISTS " + layer.Objects()).c_str());
  Exec(("DROP TABLE IF EXISTS " + layer.Index()).c_str());
  Exec(("DELETE FROM sdb_layers WHERE id=" + std::to_string(layer.id)).c_str());
  transaction.Commit();
  layers_.erase(layers_.begin() + index);
  Changed();
}

TGSpatialDatabase::Statement& TGSpatialDatabase::Prepared(Layer& layer, int which) {
  Statement& s = layer.statements[which];
  if (s.stmt) return s;
  const std::string objects = layer.Objects(), index = layer.Index();
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
    case kEnumerate:
      sql = std::string("SELECT ") + kObjectColumns + " FROM " + objects +
            " WHERE handle IN (SELECT id >> 1 FROM " + index +
            " WHERE max_lon >= ?1 AND min_lon <= ?2 AND max_lat >= ?5 AND min_lat <= ?6"
            " UNION SELECT id >> 1 FROM " +
            index +
            " WHERE max_lon >= ?3 AND min_lon <= ?4 AND max_lat >= ?5 AND min_lat <= ?6)"
            " ORDER BY handle";
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
  if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s.stmt, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(s.stmt);
    s.stmt = nullptr;
    throw std::runtime_error(std::string("SpatialDatabase: ") + sqlite3_errmsg(db_));
  }
  return s;
}

void TGSpatialDatabase::WriteObject(Layer& layer, TGMapPoint& object) {
  const std::int32_t handle = object.Handle();
  const TGMER mer = object.MER();
  const TGGlobePoint& centroid = object.StoredCentroid();
  int flags = (object.Hidden() ? kFlagHidden : 0) | (object.Selected() ? kFlagSelected : 0);
  std::string chains;
  if (object.IsPoly()) {
    const TGMapPoly& poly = static_cast<const TGMapPoly&>(object);
    if (poly.Closed()) flags |= kFlagClosed;
    chains = EncodeChains(poly.Chains());
  }
  auto fail = [&](sqlite3_stmt* st) {
    sqlite3_reset(st);
    throw std::runtime_error(std::string("SpatialDatabase: ") + sqlite3_errmsg(db_));
  };
  sqlite3_stmt* st = Prepared(layer, kInsertObject).stmt;
  sqlite3_bind_int(st, 1, handle);
  sqlite3_bind_int(st, 2, object.IsPoly() ? 1 : 0);
  sqlite3_bind_int(st, 3, object.PresenterID());
  sqlite3_bind_int(st, 4, flags);
  sqlite3_bind_text(st, 5, object.UserID().c_str(), static_cast<int>(object.UserID().size()),
                    SQLITE_STATIC);
  sqlite3_bind_text(st, 6, object.ObjectDataCSL().c_str(),
                    static_cast<int>(object.ObjectDataCSL().size()), SQLITE_STATIC);
  sqlite3_bind_int(st, 7, centroid.Longitude);
  sqlite3_bind_int(st, 8, centroid.Latitude);
  sqlite3_bind_int(st, 9, centroid.Height);
  sqlite3_bind_int(st, 10, mer.Left);
  sqlite3_bind_int(st, 11, mer.Top);
  sqlite3_bind_int(st, 12, mer.Width);
  sqlite3_bind_int(st, 13, mer.Height);
  if (object.IsPoly()) {
    sqlite3_bind_blob(st, 14, chains.data(), static_cast<int>(chains.size()), SQLITE_STATIC);
  } else {
    sqlite3_bind_null(st, 14);
  }
  if (sqlite3_step(st) != SQLITE_DONE) fail(st);
  sqlite3_reset(st);

  sqlite3_stmt* del = Prepared(layer, kDeleteIndex).stmt;
  for (std::int64_t id : {std::int64_t{handle} * 2, std::int64_t{handle} * 2 + 1}) {
    sqlite3_bind_int64(del, 1, id);
    if (sqlite3_step(del) != SQLITE_DONE) fail(del);
    sqlite3_reset(del);
  }
  Box boxes[2];
  const int n = IndexBoxes(mer, boxes);
  sqlite3_stmt* ins = Prepared(layer, kInsertIndex).stmt;
  for (int i = 0; i < n; ++i) {
    sqlite3_bind_int64(ins, 1, std::int64_t{handle} * 2 + i);
    sqlite3_bind_int(ins, 2, boxes[i].minLon);
    sqlite3_bind_int(ins, 3, boxes[i].maxLon);
    sqlite3_bind_int(ins, 4, boxes[i].minLat);
    sqlite3_bind_int(ins, 5, boxes[i].maxLat);
    if (sqlite3_step(ins) != SQLITE_DONE) fail(ins);
    sqlite3_reset(ins);
  }
  object.SetModified(false);
}

std::shared_ptr<TGMapPoint> TGSpatialDatabase::ReadObject(Layer& layer, sqlite3_stmt* row) {
  const std::int32_t handle = sqlite3_column_int(row, 0);
  const bool poly = sqlite3_column_int(row, 1) == 1;
  const int flags = sqlite3_column_int(row, 3);
  std::shared_ptr<TGMapPoint> object;
  if (poly) {
    auto p = std::make_shared<TGMapPoly>();
    p->SetClosed(flags & kFlagClosed);
    const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(row, 13));
    if (bytes) DecodeChains(bytes, sqlite3_column_bytes(row, 13), p->Chains());
    object = std::move(p);
  } else {
    object = std::make_shared<TGMapPoint>();
  }
  object->SetPresenterID(sqlite3_column_int(row, 2));
  object->SetHidden(flags & kFlagHidden);
  object->SetSelected(flags & kFlagSelected);
  const auto* user = reinterpret_cast<const char*>(sqlite3_column_text(row, 4));
  object->SetUserID(user ? user : "");
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(row, 5));
  object->SetObjectDataCSL(data ? data : "");
  object->RestoreGeometry(
      {sqlite3_column_int(row, 6), sqlite3_column_int(row, 7), sqlite3_column_int(row, 8)},
      {sqlite3_column_int(row, 9), sqlite3_column_int(row, 10), sqlite3_column_int(row, 11),
       sqlite3_column_int(row, 12)});
  object->SetOwner(&layer, handle);
  object->SetModified(false);
  return object;
}

void TGSpatialDatabase::CacheObject(Layer& layer, const std::shared_ptr<TGMapPoint>& object) {
  const std::int32_t handle = object->Handle();
  auto found = layer.cache.find(handle);
  if (found != layer.cache.end()) {
    found->second.object = object;
    Touch(found->second);
    return;
  }
  lru_.emplace_front(&layer, handle);
  layer.cache.emplace(handle, CacheEntry{object, lru_.begin()});
}

void TGSpatialDatabase::Touch(CacheEntry& entry) {
  lru_.splice(lru_.begin(), lru_, entry.lru);
}

void TGSpatialDatabase::TrimCache() {
  const std::size_t capacity = static_cast<std::size_t>(std::max(BlobCacheSize, 1));
  bool written = false;
  auto it = lru_.end();
  while (lru_.size() > capacity && it != lru_.begin()) {
    --it;
    Layer* layer = it->first;
    const auto entry = layer->cache.find(it->second);
    const std::shared_ptr<TGMapPoint>& object = entry->second.object;
    // Objects that callers still hold stay, so that their changes are not lost.
    if (object.use_count() > 1) continue;
    if (object->Modified()) {
      if (ReadOnly()) continue;
      if (!written) {
        WriteBack(nullptr);
        written = true;
      }
    }
    object->SetOwner(nullptr, 0);
    layer->cache.erase(entry);
    it = lru_.erase(it);
  }
}

void TGSpatialDatabase::DropCachedObjects(Layer& layer) {
  for (auto& [handle, entry] : layer.cache) {
    if (entry.object->Owner() == &layer) entry.object->SetOwner(nullptr, 0);
    lru_.erase(entry.lru);
  }
  layer.cache.clear();
}

void TGSpatialDatabase::WriteBack(Layer* only) {
  if (!db_ || ReadOnly()) return;
  std::vector<std::pair<Layer*, TGMapPoint*>> dirty;
  auto collect = [&](Layer& layer) {
    for (auto& [handle, entry] : layer.cache) {
      if (entry.object->Modified()) dirty.emplace_back(&layer, entry.object.get());
    }
  };
  if (only) {
    collect(*only);
  } else {
    for (auto& layer : layers_) collect(*layer);
  }
  if (dirty.empty()) return;
  std::sort(dirty.begin(), dirty.end(), [](const auto& a, const auto& b) {
    return a.first->id != b.first->id ? a.first->id < b.first->id
                                      : a.second->Handle() < b.second->Handle();
  });
  SdbTransaction transaction(db_);
  for (auto& [layer, object] : dirty) WriteObject(*layer, *object);
  transaction.Commit();
}

std::int32_t TGSpatialDatabase::AddObject(const QUuid& guid, std::shared_ptr<TGMapPoint> object) {
  CheckWritable("AddObject");
  Layer* layer = FindLayerRecord(guid);
  if (!layer || !object) return 0;
  if (layer->nextHandle == 0) {
    sqlite3_stmt* st = Prepared(*layer, kMaxHandle).stmt;
    layer->nextHandle = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) + 1 : 1;
    sqlite3_reset(st);
  }
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
  const auto found = layer->cache.find(handle);
  if (found != layer->cache.end()) {
    Touch(found->second);
    return found->second.object;
  }
  sqlite3_stmt* st = Prepared(*layer, kSelectObject).stmt;
  sqlite3_bind_int(st, 1, handle);
  std::shared_ptr<TGMapPoint> object;
  if (sqlite3_step(st) == SQLITE_ROW) object = ReadObject(*layer, st);
  sqlite3_reset(st);
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
  bool removed = false;
  const auto found = layer->cache.find(handle);
  if (found != layer->cache.end()) {
    if (found->second.object->Owner() == layer) found->second.object->SetOwner(nullptr, 0);
    lru_.erase(found->second.lru);
    layer->cache.erase(found);
    removed = true;
  }
  SdbTransaction transaction(db_);
  sqlite3_stmt* st = Prepared(*layer, kDeleteObject).stmt;
  sqlite3_bind_int(st, 1, handle);
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE)
    throw std::runtime_error(std::string("SpatialDatabase: ") + sqlite3_errmsg(db_));
  if (sqlite3_changes(db_) > 0) removed = true;
  sqlite3_stmt* del = Prepared(*layer, kDeleteIndex).stmt;
  for (std::int64_t id : {std::int64_t{handle} * 2, std::int64_t{handle} * 2 + 1}) {
    sqlite3_bind_int64(del, 1, id);
    sqlite3_step(del);
    sqlite3_reset(del);
  }
  transaction.Commit();
  return removed;
}

void TGSpatialDatabase::ClearObjects(const QUuid& guid) {
  CheckWritable("ClearLayer");
  Layer* layer = FindLayerRecord(guid);
  if (!layer) return;
  DropCachedObjects(*layer);
  SdbTransaction transaction(db_);
  Exec(("DELETE FROM " + layer->Objects()).c_str());
  Exec(("DELETE FROM " + layer->Index()).c_str());
  transaction.Commit();
  layer->nextHandle = 1;
}

int TGSpatialDatabase::ObjectCount(const QUuid& guid) {
  Layer* layer = db_ ? FindLayerRecord(guid) : nullptr;
  if (!layer) return 0;
  WriteBack(layer);
  sqlite3_stmt* st = Prepared(*layer, kCountObjects).stmt;
  const int count = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
  sqlite3_reset(st);
  return count;
}

void TGSpatialDatabase::EnumerateObjects(const QUuid& guid, const TGMER& extent,
                                         std::int32_t minExtent, const TGObjectCallback& fn) {
  Layer* layer = db_ ? FindLayerRecord(guid) : nullptr;
  if (!layer) return;
  Box boxes[2];
  const int n = IndexBoxes(extent, boxes);
  if (n == 0) return;
  if (n == 1) boxes[1] = {1, 0, 1, 0};  // matches nothing
  WriteBack(layer);
  sqlite3_stmt* st = Prepared(*layer, kEnumerate).stmt;
  sqlite3_bind_int(st, 1, boxes[0].minLon);
  sqlite3_bind_int(st, 2, boxes[0].maxLon);
  sqlite3_bind_int(st, 3, boxes[1].minLon);
  sqlite3_bind_int(st, 4, boxes[1].maxLon);
  sqlite3_bind_int(st, 5, boxes[0].minLat);
  sqlite3_bind_int(st, 6, boxes[0].maxLat);
  // The objects are collected first: the callbacks may change the database.
  std::vector<std::shared_ptr<TGMapPoint>> found;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    const std::int32_t handle = sqlite3_column_int(st, 0);
    const auto cached = layer->cache.find(handle);
    if (cached != layer->cache.end()) {
      Touch(cached->second);
      found.push_back(cached->second.object);
      continue;
    }
    std::shared_ptr<TGMapPoint> object = ReadObject(*layer, st);
    CacheObject(*layer, object);
    found.push_back(std::move(object));
  }
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) {
    throw std::runtime_error(std::string("SpatialDatabase: ") + sqlite3_errmsg(db_));
  }
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
