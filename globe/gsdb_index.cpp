// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gsdb_index.h"

#include <algorithm>

namespace umbrivista {

namespace {

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

int IndexBoxes(const TGMER& r, TGSDBBox (&boxes)[2]) {
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

void TGSDBLayerIndex::Clear(bool loaded) {
  entries_.clear();
  loaded_ = loaded;
}

std::vector<TGSDBLayerIndex::Entry>::iterator TGSDBLayerIndex::Find(std::int32_t handle) {
  return std::lower_bound(entries_.begin(), entries_.end(), handle,
                          [](const Entry& e, std::int32_t h) { return e.handle < h; });
}

void TGSDBLayerIndex::Put(std::int32_t handle, const TGMER& mer) {
  TGSDBBox boxes[2];
  const int n = IndexBoxes(mer, boxes);
  auto at = Find(handle);
  const bool present = at != entries_.end() && at->handle == handle;
  if (n == 0) {
    if (present) entries_.erase(at);
    return;
  }
  if (!present) at = entries_.insert(at, Entry{handle, 0, {}});
  at->parts = n == 2 ? 3 : 1;
  at->boxes[0] = boxes[0];
  at->boxes[1] = boxes[1];
}

void TGSDBLayerIndex::PutBox(std::int32_t handle, int part, const TGSDBBox& box) {
  auto at = Find(handle);
  if (at == entries_.end() || at->handle != handle) at = entries_.insert(at, Entry{handle, 0, {}});
  at->parts |= static_cast<std::uint8_t>(1u << part);
  at->boxes[part] = box;
}

void TGSDBLayerIndex::Erase(std::int32_t handle) {
  const auto at = Find(handle);
  if (at != entries_.end() && at->handle == handle) entries_.erase(at);
}

void TGSDBLayerIndex::Query(const TGMER& extent, std::vector<std::int32_t>& handles) const {
  TGSDBBox query[2];
  const int n = IndexBoxes(extent, query);
  if (n == 0) return;
  for (const Entry& e : entries_) {
    bool meets = false;
    for (int part = 0; part < 2 && !meets; ++part) {
      if (!(e.parts & (1u << part))) continue;
      for (int q = 0; q < n && !meets; ++q) meets = e.boxes[part].Meets(query[q]);
    }
    if (meets) handles.push_back(e.handle);
  }
}

}  // namespace umbrivista
