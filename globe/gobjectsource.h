// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Object sources: where a layer's map objects live. TGMemoryObjectSource keeps them in a list;
// the spatial database provides sources bound to its layers (gspatialdb.h).

#include <QUuid>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gmapobjects.h"
#include "gpresenters.h"

namespace umbrivista {

class TGLayer;

// Called per object found by an enumeration; returning false stops the enumeration.
using TGObjectCallback = std::function<bool(const std::shared_ptr<TGMapPoint>&)>;

// True when an object with that rectangle is not skipped for being smaller than `minExtent`
// globe units in both directions. Points (1 × 1 rectangles) are never skipped.
inline bool PassesMinExtent(const TGMER& r, std::int32_t minExtent) {
  if (r.Width == 1 && r.Height == 1) return true;
  return r.Width >= minExtent || r.Height >= minExtent;
}

class TGObjectSource : public TGObjectOwner {
 public:
  TGObjectSource() = default;
  virtual ~TGObjectSource() = default;
  TGObjectSource(const TGObjectSource&) = delete;
  TGObjectSource& operator=(const TGObjectSource&) = delete;

  std::string Name;
  std::vector<std::string> ColumnNames;
  // Objects whose rectangle is smaller than this (globe units, both directions) are skipped by
  // the enumeration.
  std::int32_t MinObjectExtent = 0;

  // The identifier of the source (a layer is found by it).
  const QUuid& GUID() const { return guid_; }
  TGPresenterStore& Presenters() { return presenters_; }
  TGLayer* Layer() const { return layer_; }
  void SetLayer(TGLayer* layer) { layer_ = layer; }

  virtual int ObjectCount() = 0;
  // Takes the object (holding a reference) and gives it its handle, which is returned.
  virtual std::int32_t Add(std::shared_ptr<TGMapPoint> object) = 0;
  // The object of that handle, or null.
  virtual std::shared_ptr<TGMapPoint> Get(std::int32_t handle) = 0;
  // Removes the object of that handle; false when there is none.
  virtual bool Remove(std::int32_t handle) = 0;
  // Discards all objects.
  virtual void Clear() = 0;
  // Calls `fn` for every object whose rectangle meets `extent` and is not below MinObjectExtent,
  // in handle order, until `fn` returns false.
  virtual void Enumerate(const TGMER& extent, const TGObjectCallback& fn) = 0;
  // True for sources bound to a spatial database layer.
  virtual bool IsDatabaseBound() const { return false; }

  // An object of this source changed: the globe of the layer is asked to render.
  void ObjectChanged(TGMapPoint& object) override;

 protected:
  QUuid guid_;

 private:
  TGPresenterStore presenters_;
  TGLayer* layer_ = nullptr;
};

// Keeps its objects in a list. Adding takes amortised constant time. An enumeration of a source
// with many objects looks only at the points in the cells of a 1° longitude/latitude grid that
// meet the extent, and at the objects that are not points; the grid is built anew on the first
// enumeration after objects were added or moved (a moved object tells its owner).
class TGMemoryObjectSource : public TGObjectSource {
 public:
  // Draws a new GUID.
  TGMemoryObjectSource();
  ~TGMemoryObjectSource() override;

  int ObjectCount() override { return count_; }
  // The handle is the list position + 1; the first free slot from the front is reused.
  std::int32_t Add(std::shared_ptr<TGMapPoint> object) override;
  std::shared_ptr<TGMapPoint> Get(std::int32_t handle) override;
  bool Remove(std::int32_t handle) override;
  void Clear() override;
  void Enumerate(const TGMER& extent, const TGObjectCallback& fn) override;
  void GeometryChanged(TGMapPoint& object) override;

 private:
  void BuildIndex();
  // Slots of the objects that may meet `extent`, ascending; false when the index would not
  // narrow the search much (all slots have to be looked at).
  bool Candidates(const TGMER& extent, std::vector<std::uint32_t>& found) const;

  std::vector<std::shared_ptr<TGMapPoint>> objects_;
  int count_ = 0;
  // Free slots below objects_.size() (a min-heap; entries that were filled or cut off since are
  // skipped when taken).
  std::vector<std::uint32_t> freeSlots_;

  // The grid: the slots of the points of cell c are cellSlots_[cellStart_[c] … cellStart_[c+1]),
  // ascending; wideSlots_ holds the slots of all other objects.
  bool indexValid_ = false;
  std::vector<std::uint32_t> cellStart_;
  std::vector<std::uint32_t> cellSlots_;
  std::vector<std::uint32_t> wideSlots_;
  std::vector<std::uint32_t> candidates_;
};

}  // namespace umbrivista
