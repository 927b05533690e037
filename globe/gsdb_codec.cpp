// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gsdb_codec.h"

#include <array>

namespace umbrivista {

namespace {

void PutUInt32(std::string& out, std::uint32_t u) {
  out += static_cast<char>(u & 0xFF);
  out += static_cast<char>((u >> 8) & 0xFF);
  out += static_cast<char>((u >> 16) & 0xFF);
  out += static_cast<char>((u >> 24) & 0xFF);
}

std::uint32_t GetUInt32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t GetInt32(const unsigned char* p) {
  return static_cast<std::int32_t>(GetUInt32(p));
}

std::span<const unsigned char> Bytes(const std::string& s) {
  return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}();

}  // namespace

std::uint32_t Crc32(std::span<const unsigned char> bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string EncodeChains(const TGChainStore& chains) {
  std::string out;
  for (const TGPointStore& chain : chains) {
    PutUInt32(out, static_cast<std::uint32_t>(chain.Points.size()));
    PutUInt32(out, chain.Hidden ? 1 : 0);
    for (const TGGlobePoint& p : chain.Points) {
      PutUInt32(out, static_cast<std::uint32_t>(p.Longitude));
      PutUInt32(out, static_cast<std::uint32_t>(p.Latitude));
      PutUInt32(out, static_cast<std::uint32_t>(p.Height));
    }
  }
  PutUInt32(out, Crc32(Bytes(out)));
  return out;
}

void DecodeChains(std::span<const unsigned char> bytes, TGChainStore& chains) {
  if (bytes.size() < 4) throw TGSDBFormatError("chains: cut short");
  const std::size_t size = bytes.size() - 4;
  const unsigned char* p = bytes.data();
  if (Crc32(bytes.first(size)) != GetUInt32(p + size))
    throw TGSDBFormatError("chains: the checksum does not match the bytes");
  TGChainStore decoded;
  std::size_t at = 0;
  while (at < size) {
    if (size - at < 8) throw TGSDBFormatError("chains: a chain header is cut short");
    const std::uint32_t count = GetUInt32(p + at);
    const std::uint32_t flags = GetUInt32(p + at + 4);
    at += 8;
    if (flags > 1) throw TGSDBFormatError("chains: unknown chain flags");
    if (count > (size - at) / 12) throw TGSDBFormatError("chains: points cut short");
    TGPointStore& chain = decoded.emplace_back();
    chain.Hidden = flags & 1;
    chain.Points.resize(count);
    for (TGGlobePoint& point : chain.Points) {
      point = {GetInt32(p + at), GetInt32(p + at + 4), GetInt32(p + at + 8)};
      at += 12;
    }
  }
  chains = std::move(decoded);
}

TGSDBObjectRecord EncodeObject(TGMapPoint& object) {
  TGSDBObjectRecord r;
  r.mer = object.MER();
  r.handle = object.Handle();
  r.kind = object.IsPoly() ? 1 : 0;
  r.presenter = object.PresenterID();
  r.flags = (object.Hidden() ? sdbFlagHidden : 0) | (object.Selected() ? sdbFlagSelected : 0);
  r.userId = object.UserID();
  r.columns = object.ObjectDataCSL();
  r.centroid = object.StoredCentroid();
  if (object.IsPoly()) {
    const auto& poly = static_cast<const TGMapPoly&>(object);
    if (poly.Closed()) r.flags |= sdbFlagClosed;
    r.hasChains = true;
    r.chains = EncodeChains(poly.Chains());
  }
  return r;
}

std::shared_ptr<TGMapPoint> DecodeObject(const TGSDBObjectRecord& r) {
  if (r.kind != 0 && r.kind != 1) throw TGSDBFormatError("unknown object kind");
  if (r.flags & ~(sdbFlagHidden | sdbFlagSelected | sdbFlagClosed))
    throw TGSDBFormatError("unknown object flags");
  if (r.hasChains != (r.kind == 1))
    throw TGSDBFormatError(r.kind == 1 ? "a poly without chains" : "a point with chains");
  if (r.mer.Width < 0 || r.mer.Height < 0) throw TGSDBFormatError("a negative bounding rectangle");
  std::shared_ptr<TGMapPoint> object;
  if (r.kind == 1) {
    auto poly = std::make_shared<TGMapPoly>();
    poly->SetClosed(r.flags & sdbFlagClosed);
    DecodeChains(Bytes(r.chains), poly->Chains());
    object = std::move(poly);
  } else {
    if (r.flags & sdbFlagClosed) throw TGSDBFormatError("a closed point");
    object = std::make_shared<TGMapPoint>();
  }
  object->SetPresenterID(r.presenter);
  object->SetHidden(r.flags & sdbFlagHidden);
  object->SetSelected(r.flags & sdbFlagSelected);
  object->SetUserID(r.userId);
  object->SetObjectDataCSL(r.columns);
  object->RestoreGeometry(r.centroid, r.mer);
  object->SetModified(false);
  return object;
}

}  // namespace umbrivista
