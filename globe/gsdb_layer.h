// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record of one database layer, shared by the parts of the spatial database.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "gsdb_index.h"
#include "gsdb_sql.h"
#include "gspatialdb.h"

namespace umbrivista {

// Statements prepared once per database layer.
enum TGSDBStatementKind : int {
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

// Table names are built from the layer's row id, which Open only accepts when positive.
inline std::string ObjectTable(std::int64_t id) {
  return "sdb_objects_" + std::to_string(id);
}
inline std::string IndexTable(std::int64_t id) {
  return "sdb_index_" + std::to_string(id);
}

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

}  // namespace umbrivista
