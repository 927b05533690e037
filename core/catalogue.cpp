// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>
#include <tuple>
#include <utility>

#include "julian_day.h"
#include "numbers.h"
#include "regular_file.h"
#include "safe_file.h"

namespace umbrivista {

static_assert(std::endian::native == std::endian::little,
              "the catalogue is little-endian and read byte-for-byte");
static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);

namespace {

template <typename T>
T Get(const std::uint8_t* p) {
  static_assert(sizeof(T) == 4);
  T value;
  std::memcpy(&value, p, 4);
  return value;
}

template <typename T>
void Put(std::uint8_t* p, T value) {
  static_assert(sizeof(T) == 4);
  std::memcpy(p, &value, 4);
}

void GetPoly(const std::uint8_t* p, float (&poly)[4]) {
  for (int i = 0; i < 4; ++i) poly[i] = Get<float>(p + 4 * i);
}

void PutPoly(std::uint8_t* p, const float (&poly)[4]) {
  for (int i = 0; i < 4; ++i) Put(p + 4 * i, poly[i]);
}

// The coefficient groups in file order.
constexpr float (EclipseRecord::*kPolys[8])[4] = {
    &EclipseRecord::x,  &EclipseRecord::y,  &EclipseRecord::d,     &EclipseRecord::mu,
    &EclipseRecord::l1, &EclipseRecord::l2, &EclipseRecord::tanF1, &EclipseRecord::tanF2};

}  // namespace

namespace {

// A value for a message: seven significant digits, "." as decimal separator.
std::string Text(double v) {
  if (!std::isfinite(v)) return FormatReal(v);
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
  return ec == std::errc() ? std::string(buf, end) : FormatReal(v);
}

// Limits of a usable element over T0 ± 3.5 h (the span the program evaluates). They are wide
// enough for any eclipse seen from the Earth and narrow enough that every computation stays
// meaningful.
struct ElementLimit {
  const char* name;
  const char* coefficient;  // name of coefficient i without the index
  float (EclipseRecord::*poly)[4];
  double lo, hi;
  bool inclusive;
};
constexpr ElementLimit kElementLimits[] = {
    {"x", "x", &EclipseRecord::x, -10, 10, false},
    {"y", "y", &EclipseRecord::y, -10, 10, false},
    {"d", "d", &EclipseRecord::d, -90, 90, true},
    {"mu", "mu", &EclipseRecord::mu, -1080, 1080, false},
    {"l1", "l1_", &EclipseRecord::l1, 0, 1, false},
    {"l2", "l2_", &EclipseRecord::l2, -0.1, 0.1, false},
    {"tanF1", "tanF1_", &EclipseRecord::tanF1, 0.004, 0.005, false},
    {"tanF2", "tanF2_", &EclipseRecord::tanF2, 0.004, 0.005, false},
};

bool Within(double v, const ElementLimit& e) {
  return e.inclusive ? v >= e.lo && v <= e.hi : v > e.lo && v < e.hi;
}
constexpr double kCheckedSpanHours = 3.5;

std::string CheckElements(const EclipseRecord& r) {
  for (const ElementLimit& e : kElementLimits) {
    const float(&c)[4] = r.*e.poly;
    for (int i = 0; i < 4; ++i) {
      if (!std::isfinite(c[i])) {
        return std::string("field ") + e.coefficient + std::to_string(i) + ": not a finite number";
      }
    }
    // Quick acceptance: the cubic cannot stray further from c0 than its terms' sizes allow.
    const double h = kCheckedSpanHours;
    const double spread =
        std::fabs(c[1]) * h + std::fabs(c[2]) * h * h + std::fabs(c[3]) * h * h * h;
    if (Within(c[0] - spread, e) && Within(c[0] + spread, e)) continue;
    // A cubic takes its extremes over the span at the ends or where its derivative vanishes.
    double at[4] = {-kCheckedSpanHours, kCheckedSpanHours, 0, 0};
    int count = 2;
    const double qa = 3.0 * c[3], qb = 2.0 * c[2], qc = c[1];
    if (qa == 0) {
      if (qb != 0) at[count++] = -qc / qb;
    } else if (const double disc = qb * qb - 4 * qa * qc; disc >= 0) {
      at[count++] = (-qb + std::sqrt(disc)) / (2 * qa);
      at[count++] = (-qb - std::sqrt(disc)) / (2 * qa);
    }
    for (int i = 0; i < count; ++i) {
      const double t = at[i];
      if (!(std::fabs(t) <= kCheckedSpanHours)) continue;
      const double v = EvaluateCubic(c, t);
      if (!Within(v, e)) {
        return std::string("field ") + e.name + ": " + Text(v) + " at T0" + (t < 0 ? "−" : "+") +
               Text(std::fabs(t)) + " h lies outside " + Text(e.lo) + " … " + Text(e.hi);
      }
    }
  }
  // The shadow must move (every contact iteration divides by its speed) and the Earth turn.
  const double speed = std::sqrt(double{r.x[1]} * r.x[1] + double{r.y[1]} * r.y[1]);
  if (!(speed > 0.1 && speed < 2)) {
    return "field x1/y1: the shadow moves " + Text(speed) +
           " Earth radii per hour, outside 0.1 … 2";
  }
  if (!(r.mu[1] > 14 && r.mu[1] < 16)) {
    return "field mu1: " + Text(r.mu[1]) + " degrees per hour lies outside 14 … 16";
  }
  return {};
}

}  // namespace

std::string RecordProblem(const EclipseRecord& r) {
  auto range = [](const char* field, long long v, long long lo, long long hi) {
    return std::string("field ") + field + ": " + std::to_string(v) + " lies outside " +
           std::to_string(lo) + " … " + std::to_string(hi);
  };
  if (r.year < kMinRecordYear || r.year > kMaxRecordYear) {
    return range("year", r.year, kMinRecordYear, kMaxRecordYear);
  }
  if (r.month < 1 || r.month > 12) return range("month", r.month, 1, 12);
  const int days = DaysInMonth(r.year, r.month);
  if (r.day < 1 || r.day > days) return range("day", r.day, 1, days);
  if (r.year == 1582 && r.month == 10 && r.day > 4 && r.day < 15) {
    return "field day: 1582-10-" + std::to_string(r.day) +
           " does not exist (the Gregorian calendar follows 1582-10-04)";
  }
  if (r.typeCode < 1 || r.typeCode > 6) return range("typeCode", r.typeCode, 1, 6);
  if (r.t0Hour < 0 || r.t0Hour > 23) return range("t0Hour", r.t0Hour, 0, 23);
  if (r.sarosNumber < -kMaxSarosMagnitude || r.sarosNumber > kMaxSarosMagnitude) {
    return range("sarosNumber", r.sarosNumber, -kMaxSarosMagnitude, kMaxSarosMagnitude);
  }
  if (r.sarosMemberCount < 1) return range("sarosMemberCount", r.sarosMemberCount, 1, 255);
  if (r.sarosMember < 1 || r.sarosMember > r.sarosMemberCount) {
    return range("sarosMember", r.sarosMember, 1, r.sarosMemberCount);
  }
  if (!std::isfinite(r.reservedReal)) return "field reservedReal: not a finite number";
  if (!(std::fabs(r.gamma) < 2)) return "field gamma: " + Text(r.gamma) + " lies outside −2 … 2";
  // The stored Julian day is single precision: it agrees with T0 to a day plus its own rounding.
  const double t0 = CalendarToJD(r.year, r.month, r.day, r.t0Hour, 0, 0);
  const double jd = r.julianDay;
  const double rounding = std::fabs(jd) * std::numeric_limits<float>::epsilon();
  if (!(std::fabs(jd - t0) <= 1 + rounding)) {
    return "field julianDay: " + FormatReal(r.julianDay) + " is not within a day of T0 (JD " +
           FormatFixed(t0, 2) + ")";
  }
  return CheckElements(r);
}

namespace {

// Asks the kernel to back a large fresh buffer with memory in one call instead of one page fault
// per 4 KiB as it is filled; a kernel without that request just faults as usual.
void PrefaultForWriting(void* data, std::size_t bytes) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) / page * page;
#ifdef MADV_POPULATE_WRITE
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
}

bool EarlierThan(const EclipseRecord& a, const EclipseRecord& b) {
  return std::tie(a.year, a.month, a.day, a.t0Hour) < std::tie(b.year, b.month, b.day, b.t0Hour);
}

// Throws for an unusable record or one not later than `previous` (null for the first record);
// where() names the record ("record N", "line N") and is called only for the message.
template <typename Where>
void CheckRecord(const EclipseRecord& record, const EclipseRecord* previous,
                 const std::string& name, Where where) {
  const std::string problem = RecordProblem(record);
  if (!problem.empty()) throw CatalogueError(name + ": " + where() + ": " + problem);
  if (previous && !EarlierThan(*previous, record)) {
    throw CatalogueError(name + ": " + where() + ": field year: the date " +
                         std::to_string(record.year) + "-" + std::to_string(record.month) + "-" +
                         std::to_string(record.day) +
                         " is not after that of the record before (records are in date order)");
  }
}

}  // namespace

void ValidateRecords(const std::vector<EclipseRecord>& records, const std::string& name,
                     const std::vector<int>& lines) {
  for (std::size_t i = 0; i < records.size(); ++i) {
    CheckRecord(records[i], i > 0 ? &records[i - 1] : nullptr, name, [&] {
      return i < lines.size() ? "line " + std::to_string(lines[i])
                              : "record " + std::to_string(i + 1);
    });
  }
}

EclipseRecord DecodeRecord(const std::uint8_t* b) {
  using namespace record_layout;
  EclipseRecord r;
  r.year = Get<std::int32_t>(b + kYear);
  r.month = Get<std::int32_t>(b + kMonth);
  r.day = Get<std::int32_t>(b + kDay);
  r.typeCode = Get<std::int32_t>(b + kTypeCode);
  r.reservedReal = Get<float>(b + kReservedReal);
  r.gamma = Get<float>(b + kGamma);
  r.julianDay = Get<float>(b + kJulianDay);
  r.reservedInt = Get<std::int32_t>(b + kReservedInt);
  r.sarosNumber = Get<std::int32_t>(b + kSarosNumber);
  r.t0Hour = Get<std::int32_t>(b + kT0Hour);
  for (int i = 0; i < 8; ++i) GetPoly(b + kX + 16 * i, r.*kPolys[i]);
  r.sarosMember = b[kSarosMember];
  r.sarosMemberCount = b[kSarosMemberCount];
  return r;
}

void EncodeRecord(const EclipseRecord& r, std::uint8_t* b) {
  using namespace record_layout;
  Put(b + kYear, r.year);
  Put(b + kMonth, r.month);
  Put(b + kDay, r.day);
  Put(b + kTypeCode, r.typeCode);
  Put(b + kReservedReal, r.reservedReal);
  Put(b + kGamma, r.gamma);
  Put(b + kJulianDay, r.julianDay);
  Put(b + kReservedInt, r.reservedInt);
  Put(b + kSarosNumber, r.sarosNumber);
  Put(b + kT0Hour, r.t0Hour);
  for (int i = 0; i < 8; ++i) PutPoly(b + kX + 16 * i, r.*kPolys[i]);
  b[kSarosMember] = r.sarosMember;
  b[kSarosMemberCount] = r.sarosMemberCount;
}

namespace {

void CheckCatalogueSize(std::span<const std::uint8_t> bytes, const std::string& name) {
  if (bytes.empty()) throw CatalogueError(name + ": the catalogue file is empty");
  if (bytes.size() % kEclipseRecordSize != 0) {
    throw CatalogueError(name + ": size " + std::to_string(bytes.size()) +
                         " bytes is not a whole number of " + std::to_string(kEclipseRecordSize) +
                         "-byte records");
  }
}

}  // namespace

std::vector<EclipseRecord> DecodeCatalogue(std::span<const std::uint8_t> bytes,
                                           const std::string& name) {
  CheckCatalogueSize(bytes, name);
  std::vector<EclipseRecord> records;
  records.reserve(bytes.size() / kEclipseRecordSize);
  PrefaultForWriting(records.data(), records.capacity() * sizeof(EclipseRecord));
  for (std::size_t at = 0; at < bytes.size(); at += kEclipseRecordSize) {
    records.push_back(DecodeRecord(bytes.data() + at));
  }
  ValidateRecords(records, name);
  return records;
}

std::vector<std::uint8_t> EncodeCatalogue(std::span<const EclipseRecord> records) {
  std::vector<std::uint8_t> bytes(records.size() * kEclipseRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EncodeRecord(records[i], bytes.data() + i * kEclipseRecordSize);
  }
  return bytes;
}

FileBytes ReadWholeFile(const std::string& path, std::size_t maxBytes, const std::string& kind) {
  auto fail = [&](const std::string& what) {
    return CatalogueError(path + ": " + what + ": " + std::strerror(errno));
  };
  std::string problem;
  const int fd = OpenRegularFile(path, problem);
  if (fd < 0) throw CatalogueError(problem);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st;
  if (::fstat(fd, &st) != 0) throw fail("cannot read");
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    throw CatalogueError(path + ": " + std::to_string(st.st_size) + " bytes is more than the " +
                         std::to_string(maxBytes) + " " + kind + " may have");
  }
  // The whole file is mapped and paged in by one call: no copy, and no page fault per 4 KiB.
  const auto size = static_cast<std::size_t>(st.st_size);
  if (size == 0) return {};
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
  if (map == MAP_FAILED) throw fail("cannot read");
  return FileBytes(static_cast<const std::uint8_t*>(map), size);
}

void FileBytes::Release() const {
  if (data_) ::madvise(const_cast<std::uint8_t*>(data_), size_, MADV_DONTNEED);
}

FileBytes::~FileBytes() {
  if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

// The records of one catalogue in their file form, and each one decoded once it is read.
struct EclipseCatalogue::Store {
  std::optional<FileBytes> file;  // a mapped catalogue file (named `name`) …
  std::string name;
  std::vector<std::uint8_t> owned;  // … or records given in memory, encoded
  std::span<const std::uint8_t> bytes;
  std::size_t count = 0;
  // Room for every record, written only where a record is decoded (untouched pages cost nothing).
  struct Free {
    void operator()(EclipseRecord* p) const { std::free(p); }
  };
  std::unique_ptr<EclipseRecord, Free> records;
  std::unique_ptr<std::atomic<bool>[]> decoded;
  std::atomic<bool> allDecoded{false};
  std::mutex mutex;

  explicit Store(std::span<const std::uint8_t> b) : bytes(b), count(b.size() / kEclipseRecordSize) {
    if (count == 0) return;
    records.reset(static_cast<EclipseRecord*>(std::malloc(count * sizeof(EclipseRecord))));
    if (!records) throw std::bad_alloc();
    decoded.reset(new std::atomic<bool>[count]());
  }
  const std::uint8_t* Bytes(std::size_t i) const { return bytes.data() + i * kEclipseRecordSize; }
  std::int32_t Year(std::size_t i) const {
    return Get<std::int32_t>(Bytes(i) + record_layout::kYear);
  }
  std::int32_t SarosAt(std::size_t i) const {
    return Get<std::int32_t>(Bytes(i) + record_layout::kSarosNumber);
  }
  // Both with `mutex` held. A record of a file is checked again as it is decoded: the file may
  // have been written over since it was loaded.
  void DecodeLocked(std::size_t i) {
    if (decoded[i].load(std::memory_order_relaxed)) return;
    const EclipseRecord record = DecodeRecord(Bytes(i));
    if (file) {
      if (const std::string problem = RecordProblem(record); !problem.empty()) {
        throw CatalogueError(name + ": record " + std::to_string(i + 1) +
                             ": changed since the catalogue was loaded: " + problem);
      }
    }
    new (records.get() + i) EclipseRecord(record);
    decoded[i].store(true, std::memory_order_release);
  }
  const EclipseRecord& At(std::size_t i) {
    if (!decoded[i].load(std::memory_order_acquire)) {
      const std::lock_guard lock(mutex);
      DecodeLocked(i);
    }
    return records.get()[i];
  }
  std::span<const EclipseRecord> All() {
    if (count > 0 && !allDecoded.load(std::memory_order_acquire)) {
      const std::lock_guard lock(mutex);
      if (!allDecoded.load(std::memory_order_relaxed)) {
        PrefaultForWriting(records.get(), count * sizeof(EclipseRecord));
        for (std::size_t i = 0; i < count; ++i) DecodeLocked(i);
        allDecoded.store(true, std::memory_order_release);
      }
    }
    return {records.get(), count};
  }
};

EclipseCatalogue::EclipseCatalogue() = default;
EclipseCatalogue::~EclipseCatalogue() = default;
EclipseCatalogue::EclipseCatalogue(const EclipseCatalogue&) = default;
EclipseCatalogue::EclipseCatalogue(EclipseCatalogue&&) noexcept = default;
EclipseCatalogue& EclipseCatalogue::operator=(const EclipseCatalogue&) = default;
EclipseCatalogue& EclipseCatalogue::operator=(EclipseCatalogue&&) noexcept = default;

void EclipseCatalogue::Load(const std::string& path) {
  FileBytes file = ReadWholeFile(path, kMaxCatalogueBytes);
  const std::span<const std::uint8_t> bytes = file.Bytes();
  CheckCatalogueSize(bytes, path);
  // Every record is checked now, one at a time in a scratch pair; the catalogue's own copies
  // are decoded when read.
  EclipseRecord pair[2];
  SarosRange saros;
  for (std::size_t i = 0; i * kEclipseRecordSize < bytes.size(); ++i) {
    const EclipseRecord& record = pair[i % 2] = DecodeRecord(bytes.data() + i * kEclipseRecordSize);
    CheckRecord(record, i > 0 ? &pair[(i + 1) % 2] : nullptr, path,
                [&] { return "record " + std::to_string(i + 1); });
    saros.Add(record.sarosNumber);
  }
  // Checked, the file no longer needs to be resident: a program that reads a few records keeps
  // a few pages of it.
  file.Release();
  auto store = std::make_shared<Store>(bytes);
  store->file.emplace(std::move(file));
  store->name = path;
  Adopt(std::move(store), saros);
}

void EclipseCatalogue::Assign(std::vector<EclipseRecord> records) {
  SarosRange saros;
  for (const EclipseRecord& record : records) saros.Add(record.sarosNumber);
  std::vector<std::uint8_t> owned = EncodeCatalogue(records);
  auto store = std::make_shared<Store>(owned);
  store->owned = std::move(owned);  // moving keeps the buffer `bytes` points into
  Adopt(std::move(store), saros);
}

void EclipseCatalogue::Adopt(std::shared_ptr<Store> store, const SarosRange& saros) {
  count_ = static_cast<int>(store->count);
  store_ = std::move(store);
  current_ = 0;
  working_ = EclipseRecord{};
  minSaros_ = saros.min;
  maxSaros_ = saros.max;
}

const EclipseRecord& EclipseCatalogue::RecordAt(int position) const {
  if (position < 1 || position > RecordCount()) {
    throw std::out_of_range("catalogue position " + std::to_string(position) + " outside 1 … " +
                            std::to_string(RecordCount()));
  }
  return store_->At(static_cast<std::size_t>(position - 1));
}

std::span<const EclipseRecord> EclipseCatalogue::Records() const {
  if (!store_) return {};
  return store_->All();
}

void EclipseCatalogue::Select(int position) {
  working_ = RecordAt(position);
  current_ = position;
}

int EclipseCatalogue::FindByYear(int year) const {
  if (Empty()) return 0;
  year = std::clamp(year, kFirstCatalogueYear, kLastCatalogueYear);
  for (int p = 1; p <= RecordCount(); ++p) {
    if (store_->Year(static_cast<std::size_t>(p - 1)) >= year) return p;
  }
  return RecordCount();
}

int EclipseCatalogue::FindBySaros(int saros) const {
  if (Empty()) return 0;
  saros = std::clamp(saros, minSaros_, maxSaros_);
  for (int p = 1; p <= RecordCount(); ++p) {
    if (store_->SarosAt(static_cast<std::size_t>(p - 1)) == saros) return p;
  }
  return 0;
}

// ---- text form ----

namespace {

constexpr const char* kFieldNames[44] = {
    "year",         "month",   "day",         "typeCode",
    "reservedReal", "gamma",   "julianDay",   "reservedInt",
    "sarosNumber",  "t0Hour",  "x0",          "x1",
    "x2",           "x3",      "y0",          "y1",
    "y2",           "y3",      "d0",          "d1",
    "d2",           "d3",      "mu0",         "mu1",
    "mu2",          "mu3",     "l1_0",        "l1_1",
    "l1_2",         "l1_3",    "l2_0",        "l2_1",
    "l2_2",         "l2_3",    "tanF1_0",     "tanF1_1",
    "tanF1_2",      "tanF1_3", "tanF2_0",     "tanF2_1",
    "tanF2_2",      "tanF2_3", "sarosMember", "sarosMemberCount"};

bool IsIntegerField(int i) {
  return i < 4 || (i >= 7 && i < 10) || i >= 42;
}

[[noreturn]] void Fail(const std::string& name, int line, const std::string& what) {
  throw CatalogueError(name + ": line " + std::to_string(line) + ": " + what);
}

EclipseRecord ParseLine(const std::string& text, const std::string& name, int line) {
  std::istringstream fields(text);
  std::string token;
  double values[44];
  for (int i = 0; i < 44; ++i) {
    if (!(fields >> token)) {
      Fail(name, line, "expected 44 numbers, found " + std::to_string(i));
    }
    if (IsIntegerField(i)) {
      auto v = ParseInteger(token);
      if (!v) {
        Fail(name, line,
             std::string("field ") + kFieldNames[i] +
                 ": not an integer: " + QuoteForMessage(token, 40));
      }
      if (*v < INT32_MIN || *v > INT32_MAX) {
        Fail(name, line,
             std::string("field ") + kFieldNames[i] + ": " + QuoteForMessage(token, 40) +
                 " is too large");
      }
      values[i] = static_cast<double>(*v);
    } else {
      auto v = ParseReal(token);
      if (!v) {
        Fail(name, line,
             std::string("field ") + kFieldNames[i] +
                 ": not a number: " + QuoteForMessage(token, 40));
      }
      // The largest float is written as 3.4028235e38, a little above its exact value; only
      // reals from halfway to 2^128 up round to infinity.
      if (std::fabs(*v) >= double{std::numeric_limits<float>::max()} + 0x1p103) {
        Fail(name, line,
             std::string("field ") + kFieldNames[i] + ": " + QuoteForMessage(token, 40) +
                 " is too large for single precision");
      }
      values[i] = *v;
    }
  }
  for (int i : {42, 43}) {
    if (values[i] < 0 || values[i] > 255) {
      Fail(name, line, std::string("field ") + kFieldNames[i] + ": must lie in 0 … 255");
    }
  }
  EclipseRecord r;
  r.year = static_cast<std::int32_t>(values[0]);
  r.month = static_cast<std::int32_t>(values[1]);
  r.day = static_cast<std::int32_t>(values[2]);
  r.typeCode = static_cast<std::int32_t>(values[3]);
  r.reservedReal = static_cast<float>(values[4]);
  r.gamma = static_cast<float>(values[5]);
  r.julianDay = static_cast<float>(values[6]);
  r.reservedInt = static_cast<std::int32_t>(values[7]);
  r.sarosNumber = static_cast<std::int32_t>(values[8]);
  r.t0Hour = static_cast<std::int32_t>(values[9]);
  for (int g = 0; g < 8; ++g) {
    for (int c = 0; c < 4; ++c) (r.*kPolys[g])[c] = static_cast<float>(values[10 + 4 * g + c]);
  }
  r.sarosMember = static_cast<std::uint8_t>(values[42]);
  r.sarosMemberCount = static_cast<std::uint8_t>(values[43]);
  return r;
}

}  // namespace

std::vector<EclipseRecord> ParseCatalogueText(std::istream& in, const std::string& name) {
  std::vector<EclipseRecord> records;
  std::vector<int> lines;
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    // A byte-order mark, as some editors write, is not part of the first number.
    if (line == 1 && text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
    records.push_back(ParseLine(text, name, line));
    lines.push_back(line);
  }
  if (in.bad()) throw CatalogueError(name + ": read error");
  if (records.empty()) throw CatalogueError(name + ": no records");
  ValidateRecords(records, name, lines);
  return records;
}

std::string FormatCatalogueLine(const EclipseRecord& r) {
  std::string s;
  auto add = [&s](const std::string& piece) {
    if (!s.empty()) s += ' ';
    s += piece;
  };
  auto addInt = [&add](long long v) { add(std::to_string(v)); };
  addInt(r.year);
  addInt(r.month);
  addInt(r.day);
  addInt(r.typeCode);
  add(FormatReal(r.reservedReal));
  add(FormatReal(r.gamma));
  add(FormatReal(r.julianDay));
  addInt(r.reservedInt);
  addInt(r.sarosNumber);
  addInt(r.t0Hour);
  for (auto poly : kPolys) {
    for (float c : r.*poly) add(FormatReal(c));
  }
  addInt(r.sarosMember);
  addInt(r.sarosMemberCount);
  return s;
}

std::vector<EclipseRecord> ReadCatalogueText(const std::string& path) {
  const FileBytes file = ReadWholeFile(path, 64 * kMaxCatalogueBytes);
  std::istringstream in(std::string(file.Bytes().begin(), file.Bytes().end()));
  return ParseCatalogueText(in, path);
}

void WriteCatalogueBinary(const std::string& path, const std::vector<EclipseRecord>& records,
                          const std::string& source) {
  ValidateRecords(records, path);  // nothing unusable is ever written
  try {
    WriteFileSafely(path, EncodeCatalogue(records), source);
  } catch (const FileWriteError& e) {
    throw CatalogueError(e.what());
  }
}

}  // namespace umbrivista
