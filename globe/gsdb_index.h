// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bounding rectangles of a database layer's objects: the boxes of its R*Tree index on file,
// and the same boxes kept in memory, so that the objects in view are found without the file.

#include <cstdint>
#include <vector>

#include "gunits.h"

namespace umbrivista {

// A box of the spatial index (inclusive edges, in globe units).
struct TGSDBBox {
  std::int32_t minLon = 0, maxLon = 0, minLat = 0, maxLat = 0;
  bool Meets(const TGSDBBox& o) const {
    return maxLon >= o.minLon && minLon <= o.maxLon && maxLat >= o.minLat && minLat <= o.maxLat;
  }
};

// The boxes of a rectangle, split at 180° when it runs east across it. Returns the number of
// boxes: 0 for an empty rectangle, else 1 or 2.
int IndexBoxes(const TGMER& r, TGSDBBox (&boxes)[2]);

// The boxes of one layer by object handle. Box `part` (0 or 1) of handle h is row 2h + part of
// the R*Tree on file.
class TGSDBLayerIndex {
 public:
  // False until filled from the file; until then the file alone knows the objects.
  bool Loaded() const { return loaded_; }
  void SetLoaded() { loaded_ = true; }
  // Empties the index; `loaded` tells whether it then stands for the layer (a cleared layer).
  void Clear(bool loaded);
  // Replaces the boxes of an object by those of its rectangle (none for an empty one).
  void Put(std::int32_t handle, const TGMER& mer);
  // Sets box `part` of an object as read from the file.
  void PutBox(std::int32_t handle, int part, const TGSDBBox& box);
  void Erase(std::int32_t handle);
  // Appends the handles, in ascending order, of the objects with a box meeting a box of `extent`.
  void Query(const TGMER& extent, std::vector<std::int32_t>& handles) const;
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::int32_t handle;
    std::uint8_t parts;  // bit i: box i is set
    TGSDBBox boxes[2];
  };
  std::vector<Entry>::iterator Find(std::int32_t handle);

  std::vector<Entry> entries_;  // ascending handles
  bool loaded_ = false;
};

}  // namespace umbrivista
