// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The eclipse catalogue: every record of a catalogue file in file (= date) order, addressed by
// position 1 … RecordCount(), with the current position and a working copy of its record.
//
// Loading checks every record, but a record is decoded from the mapped file only when it is
// first read (all of them at the first Records()): a program that answers for one eclipse writes
// one record, not the whole catalogue, into fresh memory. Reading is safe from several threads;
// copies share the decoded records.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "eclipse_record.h"

namespace umbrivista {

inline constexpr const char* kCatalogueFileName = "Bessel_12k_VNB_0130_25.858.bin";
inline constexpr const char* kCatalogueTextFileName = "Bessel_12k_VNB_0130_25.858.txt";
inline constexpr int kFirstCatalogueYear = -4999;
inline constexpr int kLastCatalogueYear = 7000;

// Limits of a usable record: years and Saros numbers beyond these mean a damaged file.
inline constexpr int kMinRecordYear = -99999;
inline constexpr int kMaxRecordYear = 99999;
inline constexpr int kMaxSarosMagnitude = 99999;
// No catalogue file is larger (about 100 times the shipped one).
inline constexpr std::size_t kMaxCatalogueBytes = std::size_t{1} << 29;

// A catalogue file that cannot be used; what() is "FILE: record N: field X: what is wrong" (or
// "line N" for the text form, or just "FILE: what is wrong").
class CatalogueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EclipseCatalogue {
 public:
  EclipseCatalogue();
  ~EclipseCatalogue();
  EclipseCatalogue(const EclipseCatalogue&);
  EclipseCatalogue(EclipseCatalogue&&) noexcept;
  EclipseCatalogue& operator=(const EclipseCatalogue&);
  EclipseCatalogue& operator=(EclipseCatalogue&&) noexcept;

  // Maps a binary catalogue in one call and validates every record. Throws CatalogueError for a
  // missing, unreadable or empty file, a folder, a size that is not a whole number of records or
  // a record that is not usable; the catalogue is unchanged then.
  void Load(const std::string& path);
  // Takes records already in memory (tests, conversion).
  void Assign(std::vector<EclipseRecord> records);

  bool Empty() const { return count_ == 0; }
  int RecordCount() const { return count_; }
  // The record at position p, 1 ≤ p ≤ RecordCount(); throws std::out_of_range otherwise, and
  // CatalogueError when the file was written over since it was loaded and the record is no
  // longer usable. The reference stays valid until the catalogue is loaded or assigned again or
  // destroyed.
  const EclipseRecord& RecordAt(int position) const;
  // Every record in file order (decodes those not yet read; throws as RecordAt).
  std::span<const EclipseRecord> Records() const;

  // Makes p the current position and refreshes the working copy.
  void Select(int position);
  int CurrentPosition() const { return current_; }
  const EclipseRecord& Current() const { return working_; }

  // The first position whose year ≥ Y, Y clamped to −4999 … 7000; the last position when no
  // record is that late. 0 for an empty catalogue.
  int FindByYear(int year) const;
  // The first position of Saros series S, S clamped to MinSaros() … MaxSaros(); 0 when the
  // series has no member in the catalogue.
  int FindBySaros(int saros) const;
  int MinSaros() const { return minSaros_; }
  int MaxSaros() const { return maxSaros_; }

 private:
  struct Store;
  struct SarosRange {
    int min = 0, max = 0;
    bool any = false;
    void Add(int saros) {
      min = any ? std::min(min, saros) : saros;
      max = any ? std::max(max, saros) : saros;
      any = true;
    }
  };
  void Adopt(std::shared_ptr<Store> store, const SarosRange& saros);

  std::shared_ptr<Store> store_;
  int count_ = 0;
  int current_ = 0;
  EclipseRecord working_;
  int minSaros_ = 0;
  int maxSaros_ = 0;
};

// What is wrong with a record, as "field X: …"; empty when it is usable: a real calendar date
// with year in kMinRecordYear … kMaxRecordYear, type 1–6, T0 hour 0–23, Saros member 1 … count,
// a Julian day within a day of T0, and finite elements of plausible size over T0 ± 3.5 h (|x|,
// |y| < 10, |d| ≤ 90°, 0 < l1 < 1, |l2| < 0.1, 0.004 < tan f < 0.005, a moving shadow and a turning
// Earth).
std::string RecordProblem(const EclipseRecord& record);
// Throws CatalogueError "name: record N: problem" (or "line N" from `lines`, the text line of each
// record) for the first unusable record or the first record not later than the one before.
void ValidateRecords(const std::vector<EclipseRecord>& records, const std::string& name,
                     const std::vector<int>& lines = {});

// The bytes of a regular file, mapped read-only and paged in by one call, at most maxBytes; throws
// CatalogueError naming the file and the reason (`kind` names what the file is, for the size
// limit's message). A path that is not a regular file (a named pipe, a device, a folder) is
// refused without being opened (see OpenRegularFile).
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  FileBytes(FileBytes&& other) noexcept;
  FileBytes& operator=(FileBytes&&) = delete;
  ~FileBytes();
  std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }
  // Lets the kernel take back the pages read so far; they are read in again when next touched.
  void Release() const;

 private:
  const std::uint8_t* data_ = nullptr;  // a read-only mapping of the file
  std::size_t size_ = 0;
};
FileBytes ReadWholeFile(const std::string& path, std::size_t maxBytes,
                        const std::string& kind = "a catalogue");

// Decodes and validates a whole binary catalogue image; `name` is used in error messages.
std::vector<EclipseRecord> DecodeCatalogue(std::span<const std::uint8_t> bytes,
                                           const std::string& name);
std::vector<std::uint8_t> EncodeCatalogue(std::span<const EclipseRecord> records);
inline std::vector<std::uint8_t> EncodeCatalogue(std::initializer_list<EclipseRecord> records) {
  return EncodeCatalogue(std::span(records.begin(), records.size()));
}

// Text form: one record per line, 44 whitespace-separated numbers in field order (4 integers,
// 3 reals, 3 integers, 32 coefficients, Saros member and count). Anything after the 44th number
// on a line is ignored; blank lines and a UTF-8 byte-order mark are skipped. Every record is
// validated; errors name `name` and the line number.
std::vector<EclipseRecord> ParseCatalogueText(std::istream& in, const std::string& name);
// One record as a text-form line (no line end); reals are written so that they read back to the
// same single-precision value.
std::string FormatCatalogueLine(const EclipseRecord& record);

// File helpers for the conversion; both throw CatalogueError. The binary file is replaced whole
// (see WriteFileSafely); a `source` that is the same file as `path` is refused.
std::vector<EclipseRecord> ReadCatalogueText(const std::string& path);
void WriteCatalogueBinary(const std::string& path, const std::vector<EclipseRecord>& records,
                          const std::string& source = {});

}  // namespace umbrivista
