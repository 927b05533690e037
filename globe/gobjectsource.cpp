#include "gobjectsource.h"

#include "gcustomglobe.h"
#include "glayer.h"

namespace umbrivista {

void TGObjectSource::ObjectChanged(TGMapPoint&) {
  if (layer_ && layer_->Globe()) layer_->Globe()->RequestRender();
}

TGMemoryObjectSource::TGMemoryObjectSource() {
  guid_ = QUuid::createUuid();
}

TGMemoryObjectSource::~TGMemoryObjectSource() {
  Clear();
}

std::int32_t TGMemoryObjectSource::Add(std::shared_ptr<TGMapPoint> object) {
  if (!object) return 0;
  std::size_t slot = 0;
  while (slot < objects_.size() && objects_[slot]) ++slot;
  if (slot == objects_.size()) objects_.emplace_back();
  const auto handle = static_cast<std::int32_t>(slot + 1);
  object->SetOwner(this, handle);
  objects_[slot] = std::move(object);
  ++count_;
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
  while (!objects_.empty() && !objects_.back()) objects_.pop_back();
  return true;
}

void TGMemoryObjectSource::Clear() {
  for (const auto& object : objects_) {
    if (object && object->Owner() == this) object->SetOwner(nullptr, 0);
  }
  objects_.clear();
  count_ = 0;
}

void TGMemoryObjectSource::Enumerate(const TGMER& extent, const TGObjectCallback& fn) {
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    // A copy: the callback may remove the object from the source.
    const std::shared_ptr<TGMapPoint> object = objects_[i];
    if (!object) continue;
    const TGMER& r = object->MER();
    if (!PassesMinExtent(r, MinObjectExtent) || !MERIntersects(r, extent)) continue;
    if (!fn(object)) return;
  }
}

}  // namespace umbrivista
