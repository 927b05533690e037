// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gobjectsource.h"

#include <algorithm>
#include <functional>

#include "gglobecontext.h"
#include "glayer.h"

namespace umbrivista {

void TGObjectSource::ObjectChanged(TGMapPoint&) {
  if (TGGlobeContext* globe = layer_ ? layer_->Globe() : nullptr) globe->RequestRender();
}

TGMemoryObjectSource::TGMemoryObjectSource() {
  guid_ = QUuid::createUuid();
}

TGMemoryObjectSource::~TGMemoryObjectSource() {
  Clear();
}

namespace {

// The grid of the memory source's index: 1° cells, columns from −180° eastwards, rows from −90°
// northwards (latitudes beyond the poles fall in the outer rows).
constexpr std::int64_t kCellGU = kGUPerDegree;
constexpr std::int64_t kColumns = kGU360 / kCellGU;
constexpr std::int64_t kRows = kGU180 / kCellGU;
// Below this many objects an enumeration simply looks at all of them.
constexpr std::size_t kIndexedFrom = 64;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b);

std::int64_t Column(std::int64_t longitude) {
  const std::int64_t c = FloorDiv(longitude + kGU180, kCellGU) % kColumns;
  return c < 0 ? c + kColumns : c;
}

std::int64_t Row(std::int64_t latitude) {
  return std::clamp<std::int64_t>(FloorDiv(latitude + kGU90, kCellGU), 0, kRows - 1);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

bool IsPoint(const TGMER& r) {
  return r.Width == 1 && r.Height == 1;
}

}  // namespace

std::int32_t TGMemoryObjectSource::Add(std::shared_ptr<TGMapPoint> object) {
  if (!object) return 0;
  std::size_t slot = objects_.size();
  while (!freeSlots_.empty()) {
    std::pop_heap(freeSlots_.begin(), freeSlots_.end(), std::greater<>());
    const std::uint32_t free = freeSlots_.back();
    freeSlots_.pop_back();
    if (free < objects_.size() && !objects_[free]) {
      slot = free;
      break;
    }
  }
  if (slot == objects_.size()) objects_.emplace_back();
  const auto handle = static_cast<std::int32_t>(slot + 1);
  object->SetOwner(this, handle);
  objects_[slot] = std::move(object);
  ++count_;
  indexValid_ = false;
  return handle;
}

std::shared_ptr<TGMapPoint> TGMemoryObjectSource::Get(std::int32_t handle) {
  if (handle < 1 || static_cast<std::size_t>(handle) > objects_.size()) return nullptr;
  return objects_[handle - 1];
}

bool TGMemoryObjectSource::Remove(std::int32_t handle) {
  if (handle < 1 || static_cast<std::size_t>(handle) > objects_.size()) return false;
  std::shared_ptr<TGMapPoint>& slot = objects_[handle - 1];
  if (!slot) return false;
  if (slot->Owner() == this) slot->SetOwner(nullptr, 0);
  slot.reset();
  --count_;
  freeSlots_.push_back(static_cast<std::uint32_t>(handle - 1));
  std::push_heap(freeSlots_.begin(), freeSlots_.end(), std::greater<>());
  while (!objects_.empty() && !objects_.back()) objects_.pop_back();
  // Index entries of removed objects are skipped: their slots are empty or hold a newer object,
  // which made the index invalid when it was added.
  return true;
}

void TGMemoryObjectSource::Clear() {
  for (const auto& object : objects_) {
    if (object && object->Owner() == this) object->SetOwner(nullptr, 0);
  }
  objects_.clear();
  freeSlots_.clear();
  count_ = 0;
  indexValid_ = false;
}

void TGMemoryObjectSource::GeometryChanged(TGMapPoint& object) {
  if (object.Owner() == this) indexValid_ = false;
}

void TGMemoryObjectSource::BuildIndex() {
  cellStart_.assign(static_cast<std::size_t>(kColumns * kRows) + 1, 0);
  wideSlots_.clear();
  std::vector<std::uint32_t> cellOf(objects_.size(), 0);
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    if (!objects_[i]) continue;
    const TGMER& r = objects_[i]->MER();
    if (!IsPoint(r)) {
      wideSlots_.push_back(static_cast<std::uint32_t>(i));
      continue;
    }
    const auto cell = static_cast<std::uint32_t>(Row(r.Top) * kColumns + Column(r.Left));
    cellOf[i] = cell + 1;
    ++cellStart_[cell + 1];
  }
  for (std::size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  cellSlots_.assign(cellStart_.back(), 0);
  std::vector<std::uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    if (cellOf[i] != 0) cellSlots_[fill[cellOf[i] - 1]++] = static_cast<std::uint32_t>(i);
  }
  indexValid_ = true;
}

bool TGMemoryObjectSource::Candidates(const TGMER& extent,
                                      std::vector<std::uint32_t>& found) const {
  found.clear();
  if (extent.Empty()) return true;
  const std::int64_t row0 = Row(extent.Top);
  const std::int64_t row1 = Row(static_cast<std::int64_t>(extent.Top) + extent.Height - 1);
  std::int64_t col0 = 0, columns = kColumns;
  if (extent.Width < kGU360) {
    const std::int64_t left = extent.Left;
    col0 = Column(left);
    columns = std::min(kColumns, FloorDiv(left + extent.Width - 1 + kGU180, kCellGU) -
                                     FloorDiv(left + kGU180, kCellGU) + 1);
  }
  const std::size_t limit = objects_.size() / 2;
  found = wideSlots_;
  for (std::int64_t row = row0; row <= row1; ++row) {
    for (std::int64_t k = 0; k < columns; ++k) {
      const std::int64_t cell = row * kColumns + (col0 + k) % kColumns;
      found.insert(found.end(), cellSlots_.begin() + cellStart_[cell],
                   cellSlots_.begin() + cellStart_[cell + 1]);
    }
    if (found.size() > limit) return false;
  }
  std::sort(found.begin(), found.end());
  return true;
}

void TGMemoryObjectSource::Enumerate(const TGMER& extent, const TGObjectCallback& fn) {
  // The callback may add, move or remove objects: the candidates are taken first, and each is
  // checked against the source and its rectangle when its turn comes.
  const auto visit = [&](std::size_t i) {
    if (i >= objects_.size()) return true;
    // A copy: the callback may remove the object from the source.
    const std::shared_ptr<TGMapPoint> object = objects_[i];
    if (!object) return true;
    const TGMER& r = object->MER();
    if (!PassesMinExtent(r, MinObjectExtent) || !MERIntersects(r, extent)) return true;
    return fn(object);
  };
  if (objects_.size() >= kIndexedFrom) {
    if (!indexValid_) BuildIndex();
    std::vector<std::uint32_t> found;
    found.swap(candidates_);
    const bool narrowed = Candidates(extent, found);
    if (narrowed) {
      for (const std::uint32_t i : found) {
        if (!visit(i)) break;
      }
      found.swap(candidates_);
      return;
    }
    found.swap(candidates_);
  }
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    if (!visit(i)) return;
  }
}

}  // namespace umbrivista
