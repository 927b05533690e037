// TGBitmap: JPEG loading, and the files that must fail without harm.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "gbitmap.h"
#include "gcustomglobe.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

bool Near(std::uint32_t pixel, std::uint32_t rgb, int tolerance = 12) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF);
    const int b = static_cast<int>((rgb >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

std::vector<char> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& p, const std::vector<char>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class Bitmap : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = UniqueTestDir("globe_bitmap_test");
    fs::create_directories(dir_);
    good_ = (dir_ / "halves.jpg").string();
    WriteJpeg(good_, 32, 16, [](int x, int) { return x < 16 ? 0xFF0000u : 0x0000FFu; });
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  std::string good_;
};

TEST_F(Bitmap, LoadsColourAndGreyJpegs) {
  TGBitmap b;
  EXPECT_TRUE(b.GetEmpty());
  ASSERT_TRUE(b.LoadFromFile(good_));
  EXPECT_EQ(b.Width(), 32);
  EXPECT_EQ(b.Height(), 16);
  EXPECT_FALSE(b.GetEmpty());
  EXPECT_TRUE(Near(b.Pixel(3, 8), 0xFF0000));
  EXPECT_TRUE(Near(b.Pixel(28, 8), 0x0000FF));
  EXPECT_EQ(b.Pixel(3, 8) >> 24, 0xFFu);
  EXPECT_EQ(b.Pixel(32, 0), 0u);
  const std::string grey = (dir_ / "grey.jpg").string();
  WriteJpeg(
      grey, 8, 8, [](int, int y) { return y < 4 ? 0x20u : 0xE0u; }, true);
  ASSERT_TRUE(b.LoadFromFile(grey));
  EXPECT_TRUE(Near(b.Pixel(2, 1), 0x202020));
  EXPECT_TRUE(Near(b.Pixel(2, 6), 0xE0E0E0));
}

TEST_F(Bitmap, BrokenFilesFailAndKeepThePicture) {
  TGBitmap b;
  ASSERT_TRUE(b.LoadFromFile(good_));
  const std::uint32_t before = b.Pixel(3, 8);
  const std::vector<char> jpeg = ReadAll(good_);

  std::vector<std::pair<std::string, std::vector<char>>> cases;
  cases.push_back({"empty.jpg", {}});
  cases.push_back({"text.jpg", std::vector<char>{'h', 'e', 'l', 'l', 'o', '\n'}});
  cases.push_back({"header_only.jpg", std::vector<char>(jpeg.begin(), jpeg.begin() + 2)});
  cases.push_back(
      {"truncated.jpg", std::vector<char>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)});
  cases.push_back(
      {"no_scan.jpg", std::vector<char>(jpeg.begin(), jpeg.begin() + jpeg.size() - 40)});
  // The frame header claims 65535 × 65535 pixels.
  std::vector<char> huge = jpeg;
  for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
    if (static_cast<unsigned char>(huge[i]) == 0xFF &&
        static_cast<unsigned char>(huge[i + 1]) == 0xC0) {
      huge[i + 5] = huge[i + 6] = huge[i + 7] = huge[i + 8] = static_cast<char>(0xFF);
      break;
    }
  }
  cases.push_back({"huge.jpg", huge});
  // A picture of another format.
  QImage png(4, 4, QImage::Format_RGB32);
  png.fill(Qt::green);
  ASSERT_TRUE(png.save(QString::fromStdString((dir_ / "picture.png").string()), "PNG"));
  cases.push_back({"picture.jpg", ReadAll(dir_ / "picture.png")});

  for (const auto& [name, bytes] : cases) {
    const fs::path p = dir_ / name;
    WriteAll(p, bytes);
    EXPECT_FALSE(b.LoadFromFile(p.string())) << name;
    EXPECT_EQ(b.Width(), 32) << name;
    EXPECT_EQ(b.Pixel(3, 8), before) << name;
  }
  EXPECT_FALSE(b.LoadFromFile((dir_ / "missing.jpg").string()));
  EXPECT_EQ(b.Width(), 32);

  // Corrupted scan data may decode to something or fail, but never harms the process.
  std::vector<char> scrambled = jpeg;
  for (std::size_t i = jpeg.size() / 2; i + 2 < jpeg.size(); i += 7)
    scrambled[i] = static_cast<char>(0xFF);
  WriteAll(dir_ / "scrambled.jpg", scrambled);
  b.LoadFromFile((dir_ / "scrambled.jpg").string());
}

TEST_F(Bitmap, SurfaceTextureKeepsItsPictureWhenALoadFails) {
  TGCustomGlobeView globe(100, 100);
  globe.SetSurfaceTextureName(good_);
  ASSERT_EQ(globe.SurfaceTextureName(), good_);
  WriteAll(dir_ / "bad.jpg", {'x', 'y'});
  globe.SetSurfaceTextureName((dir_ / "bad.jpg").string());
  EXPECT_EQ(globe.SurfaceTexture().Width(), 32);
  globe.SetSurfaceTextureName((dir_ / "missing.jpg").string());
  EXPECT_EQ(globe.SurfaceTexture().Width(), 32);
  globe.SetSurfaceTextureName("");
  EXPECT_TRUE(globe.SurfaceTexture().GetEmpty());
  // Without a previous texture a failed load leaves no name behind.
  globe.SetSurfaceTextureName((dir_ / "bad.jpg").string());
  EXPECT_EQ(globe.SurfaceTextureName(), "");
}

TEST(BitmapTransfers, UnsupportedTransfersRaise) {
  TGBitmap b(2, 2);
  EXPECT_THROW(b.LoadFromStream(), std::runtime_error);
  EXPECT_THROW(b.SaveToStream(), std::runtime_error);
  EXPECT_THROW(b.SaveToFile("x"), std::runtime_error);
  EXPECT_THROW(b.LoadFromClipboardFormat(), std::runtime_error);
  try {
    b.SaveToClipboardFormat();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "TGBitmap.SaveToClipboardFormat: Not implemented");
  }
  b.SetSize(-3, 5);
  EXPECT_TRUE(b.GetEmpty());
}

}  // namespace
