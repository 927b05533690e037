// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// TGBitmap: JPEG loading, and the files that must fail without harm.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <utility>

#include "gbitmap.h"
#include "gcustomglobe.h"
#include "test_support.h"

using namespace umbrivista;

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

// Writes a width × height CMYK JPEG whose pixel (x, y) has the inks ink(x, y) = 0xCCMMYYKK
// (0: none, 255: full). `adobe` stores them inverted under Adobe's marker, as Photoshop does;
// `ycck` also transforms them to YCCK.
void WriteCmykJpeg(const std::string& path, int width, int height,
                   const std::function<std::uint32_t(int, int)>& ink, bool adobe, bool ycck) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  if (ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
  cinfo.write_Adobe_marker = adobe || ycck ? TRUE : FALSE;
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = ink(x, y);
      for (int i = 0; i < 4; ++i) {
        const auto amount = static_cast<unsigned char>((v >> (24 - 8 * i)) & 0xFF);
        row[x * 4 + i] = adobe || ycck ? 255 - amount : amount;
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);
}

// The frame header's height and width (SOF0) set to other values.
std::vector<char> WithFrameSize(std::vector<char> jpeg, unsigned width, unsigned height) {
  for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
        static_cast<unsigned char>(jpeg[i + 1]) == 0xC0) {
      jpeg[i + 5] = static_cast<char>(height >> 8);
      jpeg[i + 6] = static_cast<char>(height & 0xFF);
      jpeg[i + 7] = static_cast<char>(width >> 8);
      jpeg[i + 8] = static_cast<char>(width & 0xFF);
      break;
    }
  }
  return jpeg;
}

// The picture's scan data cut in the middle and the end-of-image marker put right after: the file
// ends properly, but the data run out before the picture does.
std::vector<char> WithScanCut(const std::vector<char>& jpeg) {
  for (std::size_t i = 2; i + 3 < jpeg.size(); ++i) {
    if (static_cast<unsigned char>(jpeg[i]) != 0xFF ||
        static_cast<unsigned char>(jpeg[i + 1]) != 0xDA)
      continue;
    const std::size_t length =
        (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
    const std::size_t data = i + 2 + length;
    std::vector<char> cut(jpeg.begin(), jpeg.begin() + (data + jpeg.size()) / 2);
    cut.push_back(static_cast<char>(0xFF));
    cut.push_back(static_cast<char>(0xD9));
    return cut;
  }
  return {};
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

TEST_F(Bitmap, CmykJpegsDecodeToTheirColours) {
  // Quadrants: cyan ink, magenta and yellow ink (red), yellow ink with half black, no ink.
  const auto inks = [](int x, int y) -> std::uint32_t {
    if (y < 16) return x < 16 ? 0xFF000000u : 0x00FFFF00u;
    return x < 16 ? 0x0000FF80u : 0x00000000u;
  };
  const struct {
    const char* name;
    bool adobe, ycck;
  } kinds[] = {{"plain.jpg", false, false}, {"adobe.jpg", true, false}, {"ycck.jpg", true, true}};
  for (const auto& kind : kinds) {
    const std::string path = (dir_ / kind.name).string();
    WriteCmykJpeg(path, 32, 32, inks, kind.adobe, kind.ycck);
    TGBitmap b;
    ASSERT_TRUE(b.LoadFromFile(path)) << kind.name << ": " << b.LastError();
    EXPECT_EQ(b.LastError(), "");
    EXPECT_EQ(b.Width(), 32);
    EXPECT_TRUE(Near(b.Pixel(4, 4), 0x00FFFF)) << kind.name << std::hex << " " << b.Pixel(4, 4);
    EXPECT_TRUE(Near(b.Pixel(28, 4), 0xFF0000)) << kind.name << std::hex << " " << b.Pixel(28, 4);
    EXPECT_TRUE(Near(b.Pixel(4, 28), 0x7F7F00)) << kind.name << std::hex << " " << b.Pixel(4, 28);
    EXPECT_TRUE(Near(b.Pixel(28, 28), 0xFFFFFF)) << kind.name << std::hex << " " << b.Pixel(28, 28);
    EXPECT_EQ(b.Pixel(28, 28) >> 24, 0xFFu);
  }
}

TEST_F(Bitmap, FailuresSayWhy) {
  TGBitmap b;
  EXPECT_FALSE(b.LoadFromFile((dir_ / "missing.jpg").string()));
  EXPECT_EQ(b.LastError(), "cannot open: No such file or directory");
  EXPECT_FALSE(b.LoadFromFile(dir_.string()));
  EXPECT_EQ(b.LastError(), "cannot open: Is a directory");
  WriteAll(dir_ / "text.jpg", {'h', 'e', 'l', 'l', 'o', '\n'});
  EXPECT_FALSE(b.LoadFromFile((dir_ / "text.jpg").string()));
  EXPECT_EQ(b.LastError(), "not a JPEG file");
  WriteAll(dir_ / "empty.jpg", {});
  EXPECT_FALSE(b.LoadFromFile((dir_ / "empty.jpg").string()));
  EXPECT_EQ(b.LastError(), "empty file");

  const std::vector<char> jpeg = ReadAll(good_);
  for (const std::size_t keep :
       {std::size_t{2}, jpeg.size() / 2, jpeg.size() - 40, jpeg.size() - 2}) {
    WriteAll(dir_ / "cut.jpg", std::vector<char>(jpeg.begin(), jpeg.begin() + keep));
    EXPECT_FALSE(b.LoadFromFile((dir_ / "cut.jpg").string())) << keep;
    EXPECT_EQ(b.LastError(), "truncated") << keep;
  }

  // Frame headers that claim more pixels than libjpeg takes (65535 × 65535), and more than a
  // texture may have (60000 × 60000).
  for (const auto& [side, expected] :
       {std::pair{0xFFFF, "too large (65535×65535)"},
        {60000, "too large (60000×60000 pixels, at most 134217728)"}}) {
    std::vector<char> huge = jpeg;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
      if (static_cast<unsigned char>(huge[i]) == 0xFF &&
          static_cast<unsigned char>(huge[i + 1]) == 0xC0) {
        huge[i + 5] = huge[i + 7] = static_cast<char>(side >> 8);
        huge[i + 6] = huge[i + 8] = static_cast<char>(side & 0xFF);
        break;
      }
    }
    WriteAll(dir_ / "huge.jpg", huge);
    EXPECT_FALSE(b.LoadFromFile((dir_ / "huge.jpg").string()));
    EXPECT_EQ(b.LastError(), expected);
  }

  // Other errors in libjpeg's words: a frame header cut short inside the file.
  std::vector<char> badFrame = jpeg;
  for (std::size_t i = 0; i + 4 < badFrame.size(); ++i) {
    if (static_cast<unsigned char>(badFrame[i]) == 0xFF &&
        static_cast<unsigned char>(badFrame[i + 1]) == 0xC0) {
      badFrame[i + 9] = 0;  // no components
      break;
    }
  }
  WriteAll(dir_ / "bad_frame.jpg", badFrame);
  EXPECT_FALSE(b.LoadFromFile((dir_ / "bad_frame.jpg").string()));
  EXPECT_NE(b.LastError(), "");
  EXPECT_EQ(b.LastError().find("cannot"), std::string::npos) << b.LastError();

  // A good load clears the reason.
  ASSERT_TRUE(b.LoadFromFile(good_));
  EXPECT_EQ(b.LastError(), "");
}

// Headers whose size the file cannot back, and scan data that end before the picture does, are
// refused with what is wrong instead of decoding a mostly grey picture; the bitmap keeps its
// picture.
TEST_F(Bitmap, DamagedPicturesAreRefusedInsteadOfPaddedWithGrey) {
  const std::vector<char> small = ReadAll(good_);
  const fs::path noisyPath = dir_ / "noisy.jpg";
  WriteJpeg(noisyPath.string(), 256, 256, [](int x, int y) {
    const std::uint32_t h = static_cast<std::uint32_t>(x * 7919 + y * 104729) * 2654435761u;
    return h >> 8;
  });
  const std::vector<char> noisy = ReadAll(noisyPath);
  ASSERT_GT(noisy.size(), 20000u);
  const std::string size = std::to_string(small.size());
  const struct {
    const char* name;
    std::vector<char> bytes;
    std::string error;
  } cases[] = {
      // A small file claiming 65500 × 4096 pixels: beyond the limit of pixels.
      {"wide.jpg", WithFrameSize(small, 65500, 4096),
       "too large (65500×4096 pixels, at most 134217728)"},
      // Within the limit, but far more pixels than a file of this size can hold.
      {"claims.jpg", WithFrameSize(small, 4096, 4096),
       "implausible size (4096×4096 pixels in " + size + " bytes)"},
      // A size the file could hold, but its scan data end at a quarter of the picture.
      {"grown.jpg", WithFrameSize(noisy, 512, 512),
       "Corrupt JPEG data: premature end of data segment"},
      // The scan data cut in the middle, the file ending properly after them.
      {"cut_scan.jpg", WithScanCut(noisy), "Corrupt JPEG data: premature end of data segment"},
  };
  TGBitmap b;
  ASSERT_TRUE(b.LoadFromFile(good_));
  const std::uint32_t before = b.Pixel(3, 8);
  for (const auto& c : cases) {
    ASSERT_FALSE(c.bytes.empty()) << c.name;
    WriteAll(dir_ / c.name, c.bytes);
    // Whatever the size it is decoded at, the whole file is checked.
    for (const int level : {0, 1, TGBitmap::kReducedLevels}) {
      EXPECT_FALSE(b.LoadFromFile((dir_ / c.name).string(), level)) << c.name << " " << level;
      EXPECT_EQ(b.LastError(), c.error) << c.name << " " << level;
      EXPECT_EQ(b.Width(), 32) << c.name;
      EXPECT_EQ(b.Pixel(3, 8), before) << c.name;
    }
  }
  // The whole noisy picture loads.
  ASSERT_TRUE(b.LoadFromFile(noisyPath.string())) << b.LastError();
  EXPECT_EQ(b.Width(), 256);
}

// A picture loaded at a reduced size has the file's size; its reduced copies need no full-size
// pixels, which are decoded when first read and are those of a full load. Writing a pixel ties the
// bitmap to the file no more: its copies follow the change, and a bitmap assigned from it keeps the
// file's picture.
TEST_F(Bitmap, ReducedLoadsDecodeTheFullSizeWhenFirstRead) {
  const std::string path = (dir_ / "gradient.jpg").string();
  WriteJpeg(path, 100, 60, [](int x, int y) {
    return static_cast<std::uint32_t>(x * 2) << 16 | static_cast<std::uint32_t>(y * 4) << 8 | 0x40;
  });
  TGBitmap full, scaled;
  ASSERT_TRUE(full.LoadFromFile(path));
  ASSERT_TRUE(scaled.LoadFromFile(path, 2)) << scaled.LastError();
  EXPECT_EQ(scaled.Width(), 100);
  EXPECT_EQ(scaled.Height(), 60);
  EXPECT_FALSE(scaled.FullSizeInMemory());
  // Sizes rounded up as the box filter rounds them; the pixels close to the filtered ones.
  const int widths[] = {100, 50, 25, 13}, heights[] = {60, 30, 15, 8};
  for (const int level : {2, 3, 1}) {
    const TGBitmap& copy = scaled.Reduced(level);
    EXPECT_EQ(copy.Width(), widths[level]) << level;
    EXPECT_EQ(copy.Height(), heights[level]) << level;
    EXPECT_TRUE(Near(copy.Pixel(widths[level] / 2, heights[level] / 3),
                     full.Reduced(level).Pixel(widths[level] / 2, heights[level] / 3), 6))
        << level;
  }
  EXPECT_FALSE(scaled.FullSizeInMemory());
  TGBitmap copy;
  copy.Assign(scaled);
  EXPECT_EQ(copy.Width(), 100);
  EXPECT_EQ(scaled.Pixel(37, 21), full.Pixel(37, 21));
  EXPECT_TRUE(scaled.FullSizeInMemory());
  EXPECT_TRUE(std::as_const(scaled).Image() == full.Image());

  const std::uint32_t reduced = scaled.Reduced(1).Pixel(0, 0);
  scaled.SetPixel(0, 0, 0xFFFFFF);
  scaled.SetPixel(1, 1, 0xFFFFFF);
  EXPECT_GT(scaled.Reduced(1).Pixel(0, 0) & 0xFF, (reduced & 0xFF) + 40);
  EXPECT_EQ(copy.Pixel(0, 0), full.Pixel(0, 0));
  EXPECT_EQ(copy.Reduced(1).Pixel(0, 0), reduced);
}

// Only regular files are opened: a named pipe would keep the load waiting for a writer for ever,
// and a device or socket is no picture either. A link to a picture is followed.
TEST_F(Bitmap, OnlyRegularFilesAreOpened) {
  const std::string fifo = (dir_ / "pipe.jpg").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string socketPath = (dir_ / "socket.jpg").string();
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const fs::path link = dir_ / "link.jpg";
  fs::create_symlink(good_, link);

  TGBitmap b;
  ASSERT_TRUE(b.LoadFromFile(good_));
  const std::pair<std::string, std::string> cases[] = {
      {fifo, "not a regular file but a named pipe (FIFO)"},
      {"/dev/null", "not a regular file but a character device"},
      {socketPath, "not a regular file but a socket"},
      {dir_.string(), "cannot open: Is a directory"},
  };
  for (const auto& [path, error] : cases) {
    PipeWatchdog watchdog(fifo, 5);
    EXPECT_FALSE(b.LoadFromFile(path)) << path;
    EXPECT_EQ(b.LastError(), error) << path;
    EXPECT_EQ(b.Width(), 32) << path;
  }
  ::close(sock);
  EXPECT_TRUE(b.LoadFromFile(link.string())) << b.LastError();
}

TEST_F(Bitmap, StrayBytesBetweenSegmentsAreOnlyAWarning) {
  // Extra bytes before the start-of-scan marker: libjpeg warns ("extraneous bytes before
  // marker") and decodes the picture whole.
  std::vector<char> jpeg = ReadAll(good_);
  for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF &&
        static_cast<unsigned char>(jpeg[i + 1]) == 0xDA) {
      jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(i), {'x', 'y', 'z'});
      break;
    }
  }
  WriteAll(dir_ / "stray.jpg", jpeg);
  TGBitmap b;
  ASSERT_TRUE(b.LoadFromFile((dir_ / "stray.jpg").string())) << b.LastError();
  EXPECT_TRUE(Near(b.Pixel(3, 8), 0xFF0000));
  EXPECT_TRUE(Near(b.Pixel(28, 8), 0x0000FF));
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

TEST(JpegSize, AtMostTwoToThe27PixelsAndNoEmptySide) {
  EXPECT_TRUE(JpegSizeAcceptable(1, 1));
  EXPECT_TRUE(JpegSizeAcceptable(5400, 2700));   // the largest shipped texture
  EXPECT_TRUE(JpegSizeAcceptable(16384, 8192));  // exactly 2^27
  EXPECT_FALSE(JpegSizeAcceptable(16384, 8193));
  EXPECT_FALSE(JpegSizeAcceptable(16385, 8192));
  EXPECT_FALSE(JpegSizeAcceptable(16384, 16384));
  EXPECT_TRUE(JpegSizeAcceptable(std::uint64_t{1} << 27, 1));
  EXPECT_FALSE(JpegSizeAcceptable((std::uint64_t{1} << 27) + 1, 1));
  EXPECT_TRUE(JpegSizeAcceptable(65535, 2048));
  EXPECT_FALSE(JpegSizeAcceptable(65535, 2049));
  EXPECT_FALSE(JpegSizeAcceptable(65500, 4096));
  EXPECT_FALSE(JpegSizeAcceptable(0, 100));
  EXPECT_FALSE(JpegSizeAcceptable(100, 0));
  // A product that would wrap round in 64 bits is still refused.
  EXPECT_FALSE(JpegSizeAcceptable(std::uint64_t{1} << 40, std::uint64_t{1} << 40));
}

// At most 1024 pixels per byte of the file: twice what one bit per 8 × 8 block of a greyscale
// picture gives.
TEST(JpegSize, NoMorePixelsThanTheFileCanHold) {
  const struct {
    std::uint64_t width, height, bytes;
    bool fits;
  } cases[] = {
      {5400, 2700, 2226715, true},  // the shipped Blue Marble: 6.5 pixels per byte
      {1024, 1, 1, true},           // exactly 1024 per byte
      {1025, 1, 1, false},
      {32, 32, 1, true},
      {1024, 1024, 1024, true},
      {1024, 1025, 1024, false},
      {65500, 4096, 594, false},  // a damaged header in a small file
      {16384, 8192, 131072, true},
      {16384, 8192, 131071, false},
      {1, 1, 0, false},
      {0, 1, 0, true},  // no pixels: refused elsewhere, not for the file's size
      // Sizes whose products would wrap round in 64 bits.
      {std::uint64_t{1} << 40, std::uint64_t{1} << 40, std::uint64_t{1} << 62, false},
      {1, 1, ~std::uint64_t{0}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JpegSizeFitsFile(c.width, c.height, c.bytes), c.fits)
        << c.width << "×" << c.height << " in " << c.bytes;
  }
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
