// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Map objects as rows of a layer's object table, and chains as blobs.
//
// A chain blob holds, per chain, its point count and flags (bit 0: hidden), then the points as
// (longitude, latitude, height) triples, all 32-bit little-endian, and ends with the CRC-32 of
// everything before it (4 bytes, little-endian), so that changed bytes are found on reading.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "gmapobjects.h"

namespace umbrivista {

// A stored object that cannot be decoded; the text says what is wrong with it.
class TGSDBFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The columns of one object row.
struct TGSDBObjectRecord {
  std::int32_t handle = 0;
  std::int32_t kind = 0;  // 0 point, 1 poly
  std::int32_t presenter = 0;
  std::int32_t flags = 0;
  std::string userId;
  std::string columns;
  TGGlobePoint centroid;
  TGMER mer;
  bool hasChains = false;  // false: the column is NULL (points)
  std::string chains;
};

enum TGSDBObjectFlags : std::int32_t {
  sdbFlagHidden = 1,
  sdbFlagSelected = 2,
  sdbFlagClosed = 4,
};

// The row of an object (its rectangle and centroid computed first where needed).
TGSDBObjectRecord EncodeObject(TGMapPoint& object);
// A new object from its row, not yet owned by any source. Throws TGSDBFormatError for a row no
// encoder writes: an unknown kind or flags, a point with chains, a poly without, damaged chains.
std::shared_ptr<TGMapPoint> DecodeObject(const TGSDBObjectRecord& record);

std::string EncodeChains(const TGChainStore& chains);
// Throws TGSDBFormatError for a blob that is cut short, too long, or whose checksum does not
// match its bytes; `chains` is left as it was then.
void DecodeChains(std::span<const unsigned char> bytes, TGChainStore& chains);

// CRC-32 (the polynomial of zlib and PNG) of the bytes.
std::uint32_t Crc32(std::span<const unsigned char> bytes);

}  // namespace umbrivista
