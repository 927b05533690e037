#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "catalogue.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

EclipseRecord MakeRecord(int year, int saros, int member = 1) {
  EclipseRecord r;
  r.year = year;
  r.month = 4;
  r.day = 8;
  r.typeCode = 2;
  r.sarosNumber = saros;
  r.t0Hour = 18;
  r.sarosMember = static_cast<std::uint8_t>(member);
  r.sarosMemberCount = 71;
  return r;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("umbrivista_catalogue_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  fs::path dir_;
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
  expectError((dir_ / "missing.bin").string(), "cannot open");
  expectError(Write("empty.bin", ""), "empty");
  expectError(Write("odd.bin", std::string(171, '\0')), "171 bytes");

  const auto bytes = EncodeCatalogue({MakeRecord(2000, 1), MakeRecord(2001, 2)});
  cat.Load(Write("two.bin", std::string(bytes.begin(), bytes.end())));
  EXPECT_EQ(cat.RecordCount(), 2);
  EXPECT_EQ(cat.RecordAt(2).year, 2001);
  EXPECT_THROW(cat.RecordAt(0), std::out_of_range);
  EXPECT_THROW(cat.RecordAt(3), std::out_of_range);
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
      "2024 4 8 2 1.0566 0.3431 2460409.25 299 139 18 -0.318244 0.5117116 3.26e-05 -8.4e-06 "
      "0.219764 0.2709589 -5.95e-05 -4.7e-06 7.5862002 0.014844 -2e-06 0 89.591217 15.00408 0 0 "
      "0.535814 6.18e-05 -1.28e-05 0 -0.010272 6.15e-05 -1.27e-05 0 0.0046683 0 0 0 0.004645 0 0 "
      "0 30 71\n"
      "\n"
      "-4999 1 3 1 0.1 -1.5 -104824.5 -86590 -61 3 0.1 0.2 0.3 0.4 1 2 3 4 5 6 7 8 9 10 11 12 13 "
      "14 "
      "15 16 17 18 19 20 21 22 23 24 25 26 27 28 255 255 trailing words are ignored\r\n";
  std::istringstream in(text);
  const auto records = ParseCatalogueText(in, "cat.txt");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].sarosNumber, 139);
  EXPECT_EQ(records[0].x[0], -0.318244f);
  EXPECT_EQ(records[1].sarosMemberCount, 255);

  const auto bytes = EncodeCatalogue(records);
  ASSERT_EQ(bytes.size(), 2 * kEclipseRecordSize);
  const auto decoded = DecodeCatalogue(bytes, "cat.bin");
  EXPECT_EQ(decoded, records);

  std::istringstream again(FormatCatalogueLine(decoded[0]) + "\n" +
                           FormatCatalogueLine(decoded[1]) + "\n");
  EXPECT_EQ(ParseCatalogueText(again, "again.txt"), records);
}

TEST(CatalogueText, BadLinesNameFileLineAndField) {
  auto errorOf = [](const std::string& text) {
    std::istringstream in(text);
    try {
      ParseCatalogueText(in, "cat.txt");
    } catch (const CatalogueError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  const std::string good =
      "2024 4 8 2 1 0.3 2460409.25 299 139 18 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 "
      "21 22 23 24 25 26 27 28 29 30 31 32 30 71\n";
  std::string bad = good;
  bad.replace(bad.find("0.3"), 3, "0,3");
  EXPECT_EQ(errorOf(good + bad), "cat.txt:2: field gamma is not a number: \"0,3\"");
  EXPECT_EQ(errorOf("2024 4 8\n"), "cat.txt:1: expected 44 numbers, found 3");
  std::string fractionalYear = good;
  fractionalYear.replace(0, 4, "2024.5");
  EXPECT_EQ(errorOf(fractionalYear), "cat.txt:1: field year is not an integer: \"2024.5\"");
  std::string member = good;
  member.replace(member.find(" 30 71"), 6, " 256 71");
  EXPECT_EQ(errorOf(member), "cat.txt:1: field sarosMember must lie in 0 … 255");
  EXPECT_EQ(errorOf(""), "cat.txt: no records");

  // A real that single precision cannot hold would be stored as infinity and written back as
  // "inf", which no reader accepts; the largest float itself, as written, still reads.
  std::string huge = good;
  huge.replace(huge.find(" 5 6 "), 5, " 1e39 6 ");
  EXPECT_EQ(errorOf(huge), "cat.txt:1: field y0 is beyond single precision: \"1e39\"");
  std::string halfway = good;
  halfway.replace(halfway.find(" 5 6 "), 5, " -3.4028235677973366e38 6 ");
  EXPECT_EQ(errorOf(halfway),
            "cat.txt:1: field y0 is beyond single precision: \"-3.4028235677973366e38\"");
  std::string largest = good;
  largest.replace(largest.find(" 5 6 "), 5, " 3.4028235e38 6 ");
  std::istringstream in(largest);
  const auto records = ParseCatalogueText(in, "cat.txt");
  EXPECT_EQ(records[0].y[0], std::numeric_limits<float>::max());
  std::istringstream again(FormatCatalogueLine(records[0]));
  EXPECT_EQ(ParseCatalogueText(again, "again.txt"), records);
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

}  // namespace
