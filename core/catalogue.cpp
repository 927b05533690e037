#include "catalogue.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <sstream>

#include "numbers.h"
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

std::vector<EclipseRecord> DecodeCatalogue(std::span<const std::uint8_t> bytes,
                                           const std::string& name) {
  if (bytes.empty()) throw CatalogueError(name + ": the catalogue file is empty");
  if (bytes.size() % kEclipseRecordSize != 0) {
    throw CatalogueError(name + ": size " + std::to_string(bytes.size()) +
                         " bytes is not a whole number of " + std::to_string(kEclipseRecordSize) +
                         "-byte records");
  }
  std::vector<EclipseRecord> records(bytes.size() / kEclipseRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i] = DecodeRecord(bytes.data() + i * kEclipseRecordSize);
  }
  return records;
}

std::vector<std::uint8_t> EncodeCatalogue(const std::vector<EclipseRecord>& records) {
  std::vector<std::uint8_t> bytes(records.size() * kEclipseRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EncodeRecord(records[i], bytes.data() + i * kEclipseRecordSize);
  }
  return bytes;
}

void EclipseCatalogue::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CatalogueError(path + ": cannot open the catalogue file");
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) throw CatalogueError(path + ": read error");
  Assign(DecodeCatalogue(bytes, path));
}

void EclipseCatalogue::Assign(std::vector<EclipseRecord> records) {
  records_ = std::move(records);
  current_ = 0;
  working_ = EclipseRecord{};
  minSaros_ = maxSaros_ = 0;
  if (records_.empty()) return;
  auto [lo, hi] = std::minmax_element(
      records_.begin(), records_.end(),
      [](const EclipseRecord& a, const EclipseRecord& b) { return a.sarosNumber < b.sarosNumber; });
  minSaros_ = lo->sarosNumber;
  maxSaros_ = hi->sarosNumber;
}

const EclipseRecord& EclipseCatalogue::RecordAt(int position) const {
  if (position < 1 || position > RecordCount()) {
    throw std::out_of_range("catalogue position " + std::to_string(position) + " outside 1 … " +
                            std::to_string(RecordCount()));
  }
  return records_[static_cast<std::size_t>(position - 1)];
}

void EclipseCatalogue::Select(int position) {
  working_ = RecordAt(position);
  current_ = position;
}

int EclipseCatalogue::FindByYear(int year) const {
  if (records_.empty()) return 0;
  year = std::clamp(year, kFirstCatalogueYear, kLastCatalogueYear);
  for (int p = 1; p <= RecordCount(); ++p) {
    if (records_[p - 1].year >= year) return p;
  }
  return RecordCount();
}

int EclipseCatalogue::FindBySaros(int saros) const {
  if (records_.empty()) return 0;
  saros = std::clamp(saros, minSaros_, maxSaros_);
  for (int p = 1; p <= RecordCount(); ++p) {
    if (records_[p - 1].sarosNumber == saros) return p;
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
  throw CatalogueError(name + ":" + std::to_string(line) + ": " + what);
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
      if (!v || *v < INT32_MIN || *v > INT32_MAX) {
        Fail(name, line,
             std::string("field ") + kFieldNames[i] + " is not an integer: \"" + token + "\"");
      }
      values[i] = static_cast<double>(*v);
    } else {
      auto v = ParseReal(token);
      if (!v) {
        Fail(name, line,
             std::string("field ") + kFieldNames[i] + " is not a number: \"" + token + "\"");
      }
      values[i] = *v;
    }
  }
  for (int i : {42, 43}) {
    if (values[i] < 0 || values[i] > 255) {
      Fail(name, line, std::string("field ") + kFieldNames[i] + " must lie in 0 … 255");
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
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
    records.push_back(ParseLine(text, name, line));
  }
  if (in.bad()) throw CatalogueError(name + ": read error");
  if (records.empty()) throw CatalogueError(name + ": no records");
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
  std::ifstream in(path);
  if (!in) throw CatalogueError(path + ": cannot open the text catalogue");
  return ParseCatalogueText(in, path);
}

void WriteCatalogueBinary(const std::string& path, const std::vector<EclipseRecord>& records,
                          const std::string& source) {
  try {
    WriteFileSafely(path, EncodeCatalogue(records), source);
  } catch (const FileWriteError& e) {
    throw CatalogueError(e.what());
  }
}

}  // namespace umbrivista
