// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "catalogue.h"
#include "eclipse_fixtures.h"
#include "scratch_dir.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

EclipseRecord MakeRecord(int year, int saros, int member = 1) {
  return UsableRecord(year, 4, 8, saros, member, 71);
}

class TempDir : public ScratchDirTest {
 protected:
  TempDir() : ScratchDirTest("umbrivista_catalogue_test") {}
  std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
};

TEST(EclipseRecord, FieldsSitAtTheirByteOffsets) {
  EclipseRecord r = MakeRecord(-1234, 139, 30);
  r.day = 0x01020304;
  r.gamma = 0.5f;
  r.julianDay = 2460409.25f;
  r.x[0] = -0.318244f;
  r.tanF2[3] = 1.5f;
  r.sarosMemberCount = 255;
  std::uint8_t bytes[kEclipseRecordSize];
  EncodeRecord(r, bytes);

  auto i32 = [&](std::size_t off) {
    std::int32_t v;
    std::memcpy(&v, bytes + off, 4);
    return v;
  };
  auto f32 = [&](std::size_t off) {
    float v;
    std::memcpy(&v, bytes + off, 4);
    return v;
  };
  EXPECT_EQ(i32(0), -1234);
  EXPECT_EQ(bytes[8], 0x04);  // little-endian
  EXPECT_EQ(f32(20), 0.5f);
  EXPECT_EQ(f32(24), 2460409.25f);
  EXPECT_EQ(i32(32), 139);
  EXPECT_EQ(i32(36), 18);
  EXPECT_EQ(f32(40), -0.318244f);
  EXPECT_EQ(f32(164), 1.5f);
  EXPECT_EQ(bytes[168], 30);
  EXPECT_EQ(bytes[169], 255);
  EXPECT_EQ(DecodeRecord(bytes), r);
}

TEST_F(TempDir, LoadRejectsUnusableFilesAndNamesThem) {
  EclipseCatalogue cat;
  auto expectError = [&](const std::string& path, const std::string& words) {
    try {
      cat.Load(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const CatalogueError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find(path), std::string::npos) << what;
      EXPECT_NE(what.find(words), std::string::npos) << what;
    }
    EXPECT_TRUE(cat.Empty());
  };
  expectError((dir_ / "missing.bin").string(), "cannot open: No such file or directory");
  expectError(dir_.string(), "is a folder");
  expectError(Write("empty.bin", ""), "empty");
  expectError(Write("odd.bin", std::string(171, '\0')), "171 bytes");
  expectError(Write("zero.bin", std::string(170, '\0')), "record 1: field month: 0");
  // A file without read permission, for a user to whom permissions apply.
  const std::string locked = Write("locked.bin", std::string(170, '\0'));
  fs::permissions(locked, fs::perms::none);
  if (::geteuid() != 0) expectError(locked, "cannot open: Permission denied");

  const auto bytes = EncodeCatalogue({MakeRecord(2000, 1), MakeRecord(2001, 2)});
  cat.Load(Write("two.bin", std::string(bytes.begin(), bytes.end())));
  EXPECT_EQ(cat.RecordCount(), 2);
  EXPECT_EQ(cat.RecordAt(2).year, 2001);
  EXPECT_THROW(cat.RecordAt(0), std::out_of_range);
  EXPECT_THROW(cat.RecordAt(3), std::out_of_range);
}

// Records are decoded as they are first read: read one at a time from several threads at once,
// all together, or through a copy, each is the record of the file.
TEST_F(TempDir, RecordsReadInAnyOrderAreThoseOfTheFile) {
  std::vector<EclipseRecord> records;
  for (int year = 1000; year < 1400; ++year) records.push_back(MakeRecord(year, 100 + year % 37));
  const auto bytes = EncodeCatalogue(records);
  EclipseCatalogue cat;
  cat.Load(Write("many.bin", std::string(bytes.begin(), bytes.end())));
  EXPECT_EQ(cat.MinSaros(), 100);
  EXPECT_EQ(cat.MaxSaros(), 136);
  const EclipseCatalogue copy = cat;
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&, t] {
      for (int p = 400 - t; p >= 1; p -= 2) wrong += !(cat.RecordAt(p) == records[p - 1]);
    });
  }
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(wrong, 0);
  ASSERT_EQ(copy.Records().size(), records.size());
  EXPECT_TRUE(std::equal(records.begin(), records.end(), copy.Records().begin()));
  EXPECT_EQ(&copy.RecordAt(17), &cat.RecordAt(17));
  // A damaged file leaves what was loaded.
  EXPECT_THROW(cat.Load(Write("zero.bin", std::string(170, '\0'))), CatalogueError);
  EXPECT_EQ(cat.RecordAt(400), records[399]);

  // A file written over after it was loaded: a record not yet read is checked as it is decoded.
  EclipseCatalogue later;
  const std::string path = Write("later.bin", std::string(bytes.begin(), bytes.end()));
  later.Load(path);
  std::string damaged(bytes.begin(), bytes.end());
  damaged[4 * kEclipseRecordSize + record_layout::kMonth] = 13;
  Write("later.bin", damaged);
  EXPECT_EQ(later.RecordAt(4), records[3]);
  try {
    later.RecordAt(5);
    ADD_FAILURE() << "a damaged record was read";
  } catch (const CatalogueError& e) {
    EXPECT_NE(std::string(e.what()).find(path + ": record 5: changed"), std::string::npos)
        << e.what();
  }
}

class SmallCatalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    cat_.Assign({MakeRecord(-4999, 10), MakeRecord(-4999, 140, 1), MakeRecord(-3000, 139, 1),
                 MakeRecord(1999, 139, 2), MakeRecord(2002, 141), MakeRecord(2024, 139, 3),
                 MakeRecord(7000, 150), MakeRecord(7000, 151)});
  }
  EclipseCatalogue cat_;
};

TEST_F(SmallCatalogue, FindByYear) {
  EXPECT_EQ(cat_.FindByYear(-4999), 1);
  EXPECT_EQ(cat_.FindByYear(-9999), 1);  // clamped to −4999
  EXPECT_EQ(cat_.FindByYear(2000), 5);   // between catalogue years: the next year present
  EXPECT_EQ(cat_.FindByYear(2002), 5);
  EXPECT_EQ(cat_.FindByYear(7000), 7);
  EXPECT_EQ(cat_.FindByYear(99999), 7);  // clamped to 7000
  EclipseCatalogue early;
  early.Assign({MakeRecord(-4999, 1), MakeRecord(100, 2)});
  EXPECT_EQ(early.FindByYear(6000), 2);  // never past the last record
}

TEST_F(SmallCatalogue, FindBySarosGivesFirstMemberAndClampsToCatalogueRange) {
  EXPECT_EQ(cat_.MinSaros(), 10);
  EXPECT_EQ(cat_.MaxSaros(), 151);
  EXPECT_EQ(cat_.FindBySaros(139), 3);
  EXPECT_EQ(cat_.FindBySaros(-61), 1);
  EXPECT_EQ(cat_.FindBySaros(282), 8);
  EXPECT_EQ(cat_.FindBySaros(11), 0);  // no member
}

TEST_F(SmallCatalogue, SelectRefreshesTheWorkingCopy) {
  cat_.Select(6);
  EXPECT_EQ(cat_.CurrentPosition(), 6);
  EXPECT_EQ(cat_.Current().year, 2024);
  EXPECT_EQ(cat_.Current().sarosMember, 3);
  EXPECT_THROW(cat_.Select(9), std::out_of_range);
  EXPECT_EQ(cat_.CurrentPosition(), 6);
}

TEST(CatalogueText, TextBinaryTextRoundTrip) {
  const std::string text =
      "\xEF\xBB\xBF"
      "2024 4 8 2 1.0566 0.3431 2460409.25 299 139 18 -0.318244 0.5117116 3.26e-05 "
      "-8.4e-06 0.219764 0.2709589 -5.95e-05 -4.7e-06 7.5862002 0.014844 -2e-06 0 89.591217 "
      "15.00408 0 0 0.535814 6.18e-05 -1.28e-05 0 -0.010272 6.15e-05 -1.27e-05 0 0.0046683 0 0 0 "
      "0.004645 0 0 0 30 71\n"
      "\n" +
      FormatCatalogueLine(UsableRecord(2024, 10, 2, -108, 255, 255)) +
      " trailing words are ignored\r\n";
  std::istringstream in(text);
  const auto records = ParseCatalogueText(in, "cat.txt");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].year, 2024);  // the byte-order mark is not part of the year
  EXPECT_EQ(records[0].sarosNumber, 139);
  EXPECT_EQ(records[0].x[0], -0.318244f);
  EXPECT_EQ(records[1].sarosNumber, -108);
  EXPECT_EQ(records[1].sarosMemberCount, 255);

  const auto bytes = EncodeCatalogue(records);
  ASSERT_EQ(bytes.size(), 2 * kEclipseRecordSize);
  const auto decoded = DecodeCatalogue(bytes, "cat.bin");
  EXPECT_EQ(decoded, records);

  std::istringstream again(FormatCatalogueLine(decoded[0]) + "\n" +
                           FormatCatalogueLine(decoded[1]) + "\n");
  EXPECT_EQ(ParseCatalogueText(again, "again.txt"), records);
}

std::string TextError(const std::string& text) {
  std::istringstream in(text);
  try {
    ParseCatalogueText(in, "cat.txt");
  } catch (const CatalogueError& e) {
    return std::string(e.what());
  }
  return std::string("no error");
}

TEST(CatalogueText, BadLinesNameFileLineAndField) {
  const std::string good = FormatCatalogueLine(UsableRecord(2024, 4, 8)) + "\n";
  const std::string later = FormatCatalogueLine(UsableRecord(2024, 10, 2)) + "\n";
  std::string bad = later;
  bad.replace(bad.find(" 0.3431 "), 8, " 0,3431 ");
  EXPECT_EQ(TextError(good + bad), "cat.txt: line 2: field gamma: not a number: \"0,3431\"");
  EXPECT_EQ(TextError("2024 4 8\n"), "cat.txt: line 1: expected 44 numbers, found 3");
  std::string fractionalYear = good;
  fractionalYear.replace(0, 4, "2024.5");
  EXPECT_EQ(TextError(fractionalYear), "cat.txt: line 1: field year: not an integer: \"2024.5\"");
  std::string member = good;
  member.replace(member.find(" 30 71"), 6, " 256 71");
  EXPECT_EQ(TextError(member), "cat.txt: line 1: field sarosMember: must lie in 0 … 255");
  std::string fractionalMember = good;
  fractionalMember.replace(fractionalMember.find(" 30 71"), 6, " 30.5 71");
  EXPECT_EQ(TextError(fractionalMember),
            "cat.txt: line 1: field sarosMember: not an integer: \"30.5\"");
  std::string huge = good;
  huge.replace(huge.find(" 0.3431 "), 8, " 1e39 ");
  EXPECT_EQ(TextError(huge),
            "cat.txt: line 1: field gamma: \"1e39\" is too large for single precision");
  EXPECT_EQ(TextError(""), "cat.txt: no records");
  EXPECT_EQ(TextError(std::string(200, '7') + " 1 1\n").size(), 90u);  // the token is cut
}

TEST(CatalogueText, ImplausibleRecordsAreRefusedWithTheirLine) {
  const std::string first = FormatCatalogueLine(UsableRecord(2024, 4, 8)) + "\n\n";
  EclipseRecord month13 = UsableRecord(2024, 10, 2);
  month13.month = 13;
  EXPECT_EQ(TextError(first + FormatCatalogueLine(month13)),
            "cat.txt: line 3: field month: 13 lies outside 1 … 12");
  EXPECT_EQ(TextError(first + first),
            "cat.txt: line 3: field year: the date 2024-4-8 is not after "
            "that of the record before (records are in date order)");
}

// Each damaged field of a binary catalogue gives "FILE: record N: field X: …" and loads nothing.
TEST(CatalogueValidation, EveryDamagedFieldIsNamed) {
  struct Damage {
    const char* expected;  // start of the message after "cat.bin: record 2: "
    void (*apply)(EclipseRecord&);
  };
  const Damage damages[] = {
      {"field year: -2147483648 lies outside", [](EclipseRecord& r) { r.year = INT32_MIN; }},
      {"field year: 100000 lies outside", [](EclipseRecord& r) { r.year = 100000; }},
      {"field month: 2147483647 lies outside 1 … 12",
       [](EclipseRecord& r) { r.month = INT32_MAX; }},
      {"field month: 0 lies", [](EclipseRecord& r) { r.month = 0; }},
      {"field day: 31 lies outside 1 … 30", [](EclipseRecord& r) { r.day = 31; }},
      {"field day: 29 lies outside 1 … 28",  // 2100 is no Gregorian leap year
       [](EclipseRecord& r) {
         r.year = 2100;
         r.month = 2;
         r.day = 29;
       }},
      {"field day: 1582-10-10 does not exist",
       [](EclipseRecord& r) {
         r.year = 1582;
         r.month = 10;
         r.day = 10;
       }},
      {"field typeCode: 7", [](EclipseRecord& r) { r.typeCode = 7; }},
      {"field typeCode: 0", [](EclipseRecord& r) { r.typeCode = 0; }},
      {"field t0Hour: 24", [](EclipseRecord& r) { r.t0Hour = 24; }},
      {"field t0Hour: -1", [](EclipseRecord& r) { r.t0Hour = -1; }},
      {"field sarosMember: 0", [](EclipseRecord& r) { r.sarosMember = 0; }},
      {"field sarosMember: 72 lies outside 1 … 71", [](EclipseRecord& r) { r.sarosMember = 72; }},
      {"field sarosMemberCount: 0", [](EclipseRecord& r) { r.sarosMemberCount = 0; }},
      {"field sarosNumber: 2147483647", [](EclipseRecord& r) { r.sarosNumber = INT32_MAX; }},
      {"field gamma: nan", [](EclipseRecord& r) { r.gamma = std::nanf(""); }},
      {"field reservedReal: not a finite", [](EclipseRecord& r) { r.reservedReal = INFINITY; }},
      {"field julianDay: 2460565.2 is not within a day of T0 (JD 2460562.25)",
       [](EclipseRecord& r) { r.julianDay += 3; }},
      {"field x2: not a finite number", [](EclipseRecord& r) { r.x[2] = std::nanf(""); }},
      {"field tanF1: 0.006", [](EclipseRecord& r) { r.tanF1[0] = 0.006f; }},
      {"field tanF2: 0.003", [](EclipseRecord& r) { r.tanF2[0] = 0.003f; }},
      {"field tanF2_3: not a finite number", [](EclipseRecord& r) { r.tanF2[3] = -INFINITY; }},
      {"field l1: 1.199627 at T0−3.5 h lies outside 0 … 1",
       [](EclipseRecord& r) { r.l1[0] = 1.2f; }},
      {"field l1: -0.1", [](EclipseRecord& r) { r.l1[0] = -0.1f; }},
      {"field l2: 0.199", [](EclipseRecord& r) { r.l2[0] = 0.2f; }},
      {"field d: 94.9", [](EclipseRecord& r) { r.d[0] = 95; }},
      {"field x: 10.2", [](EclipseRecord& r) { r.x[0] = 12; }},
      // Harmless at T0, far off the Earth three hours later.
      {"field y: ", [](EclipseRecord& r) { r.y[3] = 1; }},
      {"field x1/y1: the shadow moves 0", [](EclipseRecord& r) { r.x[1] = r.y[1] = 0; }},
      {"field mu1: 0 degrees per hour", [](EclipseRecord& r) { r.mu[1] = 0; }},
      {"field year: the date 2024-4-8 is not after",
       [](EclipseRecord& r) { r = UsableRecord(2024, 4, 8); }},
  };
  const EclipseRecord first = UsableRecord(2024, 4, 8);
  for (const Damage& damage : damages) {
    EclipseRecord second = UsableRecord(2024, 9, 8);
    damage.apply(second);
    const auto bytes = EncodeCatalogue({first, second});
    try {
      DecodeCatalogue(bytes, "cat.bin");
      ADD_FAILURE() << "accepted: " << damage.expected;
    } catch (const CatalogueError& e) {
      EXPECT_EQ(
          std::string(e.what()).rfind(std::string("cat.bin: record 2: ") + damage.expected, 0), 0u)
          << e.what();
    }
  }
  // The first Julian-calendar leap day and its Gregorian counterpart in a leap year are fine.
  EXPECT_NO_THROW(
      DecodeCatalogue(EncodeCatalogue({UsableRecord(-99999, 1, 1), UsableRecord(1500, 2, 29),
                                       UsableRecord(1582, 10, 4), UsableRecord(1582, 10, 15),
                                       UsableRecord(2000, 2, 29), UsableRecord(99999, 12, 31)}),
                      "cat.bin"));
}

TEST(CatalogueValidation, RandomBytesAreNeverARecord) {
  std::mt19937 rng(1);
  std::vector<std::uint8_t> bytes(kEclipseRecordSize);
  for (int trial = 0; trial < 2000; ++trial) {
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    EXPECT_THROW(DecodeCatalogue(bytes, "random.bin"), CatalogueError);
  }
}

TEST_F(TempDir, BinaryWriteReplacesTheFileWhole) {
  const std::string path = (dir_ / "out.bin").string();
  WriteCatalogueBinary(path, {MakeRecord(1, 1)});
  WriteCatalogueBinary(path, {MakeRecord(1, 1), MakeRecord(2, 2)});
  EXPECT_EQ(fs::file_size(path), 2 * kEclipseRecordSize);
  EXPECT_FALSE(fs::exists(path + ".part"));
  EXPECT_THROW(WriteCatalogueBinary((dir_ / "no/such/dir/x.bin").string(), {MakeRecord(1, 1)}),
               CatalogueError);
}

// A real that single precision cannot hold would be stored as infinity and written back as
// "inf", which no reader accepts. The largest float, written as 3.4028235e38 (a little above its
// exact value), and anything that rounds to it must still read and round-trip.
TEST(CatalogueText, RealsAtTheEndOfSinglePrecision) {
  const std::string line =
      "2024 4 8 2 0.19928576 0.34313905 2460409.2 300 139 18 -0.31825 0.51171213 3.3146654e-05 "
      "-8.418274e-06 0.21976505 0.27095968 -5.914552e-05 -4.6588134e-06 7.5861835 0.01484429 "
      "-1.699091e-06 1.01310125e-08 89.59122 15.004082 -8.140357e-07 -2.1634053e-08 0.5358127 "
      "6.183706e-05 -1.2772237e-05 -3.3713043e-09 -0.010272057 6.15302e-05 -1.2708453e-05 "
      "-3.354563e-09 0.0046683 -4.7e-09 -4.8e-10 -1.3e-13 0.004645 -4.7e-09 -4.8e-10 -1.3e-13 30 "
      "71";
  auto withReserved = [&line](const std::string& value) {
    std::string text = line;
    text.replace(text.find("0.19928576"), 10, value);
    return text;
  };
  auto parse = [](const std::string& text) {
    std::istringstream in(text);
    return ParseCatalogueText(in, "cat.txt");
  };
  ASSERT_EQ(parse(line).size(), 1u);
  for (const char* value : {"3.4028235e38", "-3.4028235e38", "3.40282346e38", "3.4028235677e38"}) {
    const auto records = parse(withReserved(value));
    EXPECT_EQ(std::fabs(records[0].reservedReal), std::numeric_limits<float>::max()) << value;
    EXPECT_EQ(parse(FormatCatalogueLine(records[0])), records) << value;
  }
  // Halfway to 2^128 and beyond round to infinity.
  for (const char* value : {"3.4028235677973366e38", "-1e39", "1e300"}) {
    try {
      parse(withReserved(value));
      ADD_FAILURE() << value << " was accepted";
    } catch (const CatalogueError& e) {
      EXPECT_NE(std::string(e.what()).find("single precision"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
