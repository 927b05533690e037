// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gsdb_cache.h"

namespace umbrivista {

TGSDBObjectCache::~TGSDBObjectCache() {
  Clear();
}

std::shared_ptr<TGMapPoint> TGSDBObjectCache::Find(std::int64_t layer, std::int32_t handle) {
  const auto at = entries_.find({layer, handle});
  if (at == entries_.end()) return nullptr;
  lru_.splice(lru_.begin(), lru_, at->second.lru);
  return at->second.object;
}

void TGSDBObjectCache::Put(std::int64_t layer, std::int32_t handle, TGObjectOwner* owner,
                           std::shared_ptr<TGMapPoint> object) {
  const Key key{layer, handle};
  const auto at = entries_.find(key);
  if (at != entries_.end()) {
    if (at->second.object != object) {
      at->second.object = std::move(object);
      at->second.owner = owner;
    }
    lru_.splice(lru_.begin(), lru_, at->second.lru);
    return;
  }
  lru_.push_front(key);
  entries_.emplace(key, Entry{std::move(object), owner, lru_.begin()});
}

void TGSDBObjectCache::Release(std::map<Key, Entry>::iterator at) {
  TGMapPoint& object = *at->second.object;
  // The object may have moved to another source meanwhile; then it stays there.
  if (object.Owner() == at->second.owner && object.Handle() == at->first.second)
    object.SetOwner(nullptr, 0);
  lru_.erase(at->second.lru);
}

bool TGSDBObjectCache::Erase(std::int64_t layer, std::int32_t handle) {
  const auto at = entries_.find({layer, handle});
  if (at == entries_.end()) return false;
  Release(at);
  entries_.erase(at);
  return true;
}

void TGSDBObjectCache::EraseLayer(std::int64_t layer) {
  auto at = entries_.lower_bound({layer, INT32_MIN});
  while (at != entries_.end() && at->first.first == layer) {
    Release(at);
    at = entries_.erase(at);
  }
}

void TGSDBObjectCache::Clear() {
  for (auto at = entries_.begin(); at != entries_.end(); ++at) Release(at);
  entries_.clear();
  lru_.clear();
}

void TGSDBObjectCache::ForEach(
    std::int64_t layer,
    const std::function<void(std::int32_t, const std::shared_ptr<TGMapPoint>&)>& fn) {
  for (auto at = entries_.lower_bound({layer, INT32_MIN});
       at != entries_.end() && at->first.first == layer; ++at)
    fn(at->first.second, at->second.object);
}

void TGSDBObjectCache::ForEach(
    const std::function<void(std::int64_t, std::int32_t, const std::shared_ptr<TGMapPoint>&)>& fn) {
  for (const auto& [key, entry] : entries_) fn(key.first, key.second, entry.object);
}

void TGSDBObjectCache::Trim(std::size_t capacity, const std::function<bool()>& save) {
  bool saved = false, writable = true;
  auto it = lru_.end();
  while (entries_.size() > capacity && it != lru_.begin()) {
    --it;
    const auto at = entries_.find(*it);
    const std::shared_ptr<TGMapPoint>& object = at->second.object;
    if (object.use_count() > 1) continue;
    if (object->Modified()) {
      if (!saved) {
        saved = true;
        writable = save();
      }
      if (!writable || object->Modified()) continue;
    }
    const auto next = std::next(it);
    Release(at);  // erases the list node *it
    entries_.erase(at);
    it = next;
  }
}

}  // namespace umbrivista
