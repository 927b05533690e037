// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The object cache of the spatial database: decoded objects by (layer id, handle), least
// recently used first out. Objects that someone else still holds are never dropped, so that
// changes made through such a reference reach the file.

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <utility>

#include "gmapobjects.h"

namespace umbrivista {

class TGSDBObjectCache {
 public:
  TGSDBObjectCache() = default;
  // Objects still cached are released (they belong to no source any more).
  ~TGSDBObjectCache();
  TGSDBObjectCache(const TGSDBObjectCache&) = delete;
  TGSDBObjectCache& operator=(const TGSDBObjectCache&) = delete;

  // The cached object, made the most recently used; null when not cached.
  std::shared_ptr<TGMapPoint> Find(std::int64_t layer, std::int32_t handle);
  // Caches an object owned by `owner` under `handle` (replacing one cached there).
  void Put(std::int64_t layer, std::int32_t handle, TGObjectOwner* owner,
           std::shared_ptr<TGMapPoint> object);
  // Drops one object, releasing it from its owner; false when it was not cached.
  bool Erase(std::int64_t layer, std::int32_t handle);
  void EraseLayer(std::int64_t layer);
  void Clear();
  int Size() const { return static_cast<int>(entries_.size()); }

  // Calls fn(handle, object) in ascending handle order for the objects of one layer.
  void ForEach(std::int64_t layer,
               const std::function<void(std::int32_t, const std::shared_ptr<TGMapPoint>&)>& fn);
  // The same for every layer, in ascending (layer, handle) order.
  void ForEach(const std::function<void(std::int64_t, std::int32_t,
                                        const std::shared_ptr<TGMapPoint>&)>& fn);

  // Drops least recently used objects while more than `capacity` are cached. Held objects stay;
  // so do modified ones unless `save`, called at most once, wrote them (it returns false when
  // they cannot be written).
  void Trim(std::size_t capacity, const std::function<bool()>& save);

 private:
  using Key = std::pair<std::int64_t, std::int32_t>;
  struct Entry {
    std::shared_ptr<TGMapPoint> object;
    TGObjectOwner* owner;
    std::list<Key>::iterator lru;
  };
  void Release(std::map<Key, Entry>::iterator at);

  std::map<Key, Entry> entries_;
  std::list<Key> lru_;  // most recently used first
};

}  // namespace umbrivista
