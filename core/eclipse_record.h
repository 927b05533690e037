// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One solar eclipse of the catalogue: date, type, Saros membership and the Besselian elements as
// cubic polynomials in t = hours from T0 (TT). On disk a record is 170 packed little-endian bytes;
// EncodeRecord/DecodeRecord map between the two by explicit byte offsets.

#include <cstddef>
#include <cstdint>

namespace umbrivista {

struct EclipseRecord {
  std::int32_t year = 0;  // astronomical numbering; Julian calendar before 1582-10-15
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t typeCode = 0;  // 1 partial, 2 total, 3 annular, 4 hybrid, 5/6 non-central
  float reservedReal = 0;     // not read by the program
  float gamma = 0;
  float julianDay = 0;           // coarse (4-byte) JD of greatest eclipse, TT
  std::int32_t reservedInt = 0;  // not read by the program
  std::int32_t sarosNumber = 0;
  std::int32_t t0Hour = 0;  // T0 = year-month-day t0Hour:00 TT
  float x[4] = {};          // Earth radii
  float y[4] = {};          // Earth radii
  float d[4] = {};          // degrees
  float mu[4] = {};         // degrees
  float l1[4] = {};         // Earth radii
  float l2[4] = {};         // Earth radii
  float tanF1[4] = {};
  float tanF2[4] = {};
  std::uint8_t sarosMember = 0;
  std::uint8_t sarosMemberCount = 0;

  bool operator==(const EclipseRecord&) const = default;
};

// Byte offsets of the packed file layout.
namespace record_layout {
inline constexpr std::size_t kYear = 0, kMonth = 4, kDay = 8, kTypeCode = 12, kReservedReal = 16,
                             kGamma = 20, kJulianDay = 24, kReservedInt = 28, kSarosNumber = 32,
                             kT0Hour = 36, kX = 40, kY = 56, kD = 72, kMu = 88, kL1 = 104,
                             kL2 = 120, kTanF1 = 136, kTanF2 = 152, kSarosMember = 168,
                             kSarosMemberCount = 169;
inline constexpr std::size_t kSize = 170;
static_assert(kTanF2 + 4 * 4 == kSarosMember);
static_assert(kSarosMemberCount + 1 == kSize);
}  // namespace record_layout

inline constexpr std::size_t kEclipseRecordSize = record_layout::kSize;

// Reads one record from kEclipseRecordSize bytes at `bytes`.
EclipseRecord DecodeRecord(const std::uint8_t* bytes);
// Writes one record into kEclipseRecordSize bytes at `out`.
void EncodeRecord(const EclipseRecord& record, std::uint8_t* out);

// The elements mean something within this many hours of T0: the instants the program evaluates
// and the contacts it accepts lie inside it.
inline constexpr double kMaxHoursFromT0 = 10;

// c0 + c1·t + c2·t² + c3·t³ of one coefficient group, in double precision.
inline double EvaluateCubic(const float (&c)[4], double t) {
  return ((static_cast<double>(c[3]) * t + c[2]) * t + c[1]) * t + c[0];
}

}  // namespace umbrivista
