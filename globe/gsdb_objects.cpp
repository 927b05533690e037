// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>

#include "gsdb_codec.h"
#include "gsdb_layer.h"

// The objects of the database layers: writing and reading rows, the in-memory index, the object
// cache, and the object source that globes use.

namespace umbrivista {

namespace {

// The columns of an object row, in the order of the SELECT statements.
constexpr const char* kObjectColumns =
    "handle, kind, presenter, flags, user_id, columns, centroid_lon, centroid_lat, "
    "centroid_height, mer_left, mer_top, mer_width, mer_height, chains";

std::span<const unsigned char> Bytes(const std::string& s) {
  return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

}  // namespace

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
