// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TGBitmap: a 32-bit top-down picture (QImage, Format_RGB32) used both as the off-screen render
// surface and as surface texture. Pixels are 0xFFRRGGBB values addressed as row × width + column.

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

#include "gunits.h"

namespace umbrivista {

// Pictures of more pixels than this are not decoded: 2^27 = 134,217,728 pixels (512 MiB as 32-bit
// pixels, e.g. 16384 × 8192), nine times the largest texture the program ships (5400 × 2700).
inline constexpr std::uint64_t kMaxJpegPixels = std::uint64_t{1} << 27;
// True when a JPEG of width × height pixels may be decoded: neither side 0, at most
// kMaxJpegPixels pixels.
bool JpegSizeAcceptable(std::uint64_t width, std::uint64_t height);
// A Huffman-coded JPEG spends at least one bit on every 8 × 8 block of every component, so a file
// of n bytes holds at most 512·n pixels of a greyscale picture (fewer of a colour one). Pictures
// whose header claims more than this many pixels per byte of the file are taken as damaged.
inline constexpr std::uint64_t kMaxJpegPixelsPerByte = 1024;
// True when width × height pixels may come from a file of `fileBytes` bytes (at most
// kMaxJpegPixelsPerByte pixels per byte).
bool JpegSizeFitsFile(std::uint64_t width, std::uint64_t height, std::uint64_t fileBytes);

class TGBitmap {
 public:
  TGBitmap() = default;
  TGBitmap(int width, int height);

  // Reads a JPEG file (colour, greyscale or CMYK) into the bitmap. A missing file, one that is not
  // a regular file (a folder, a pipe, a device: refused before it is opened), or one that is not a
  // usable JPEG leaves the bitmap as it was and gives false; LastError() then says why. Not usable
  // are: another format, a file that ends early, corrupt scan data (which libjpeg would fill with
  // grey), more than kMaxJpegPixels pixels, or more pixels than the file's size can hold; the
  // sizes are checked before any pixel memory is taken. Stray bytes between segments are only a
  // warning.
  // The whole file is decoded (and so checked) at once, at the size of Reduced(level) (level 0 …
  // kReducedLevels: 1/1, 1/2, 1/4 or 1/8 of the width and height, libjpeg's scaled decoding). The
  // bitmap keeps the file's bytes: a picture loaded at a reduced level has the file's full size,
  // and its full-size pixels are decoded when they are first read, finer copies when first asked
  // for.
  bool LoadFromFile(const std::string& fileName, int level = 0);
  // Why the last LoadFromFile failed ("cannot open: No such file or directory", "not a regular
  // file but a named pipe (FIFO)", "not a JPEG file", "truncated", "too large (W×H pixels, at
  // most N)", "implausible size (W×H pixels in N bytes)" or libjpeg's message, e.g. "Corrupt JPEG
  // data: premature end of data segment"); empty after a successful load. The callers put the
  // file's name in front.
  const std::string& LastError() const { return lastError_; }
  // Takes a copy of another bitmap's pixels and settings (a picture loaded from a file shares the
  // file's bytes and the copies decoded from them).
  void Assign(const TGBitmap& other);
  // Takes the pixels of any image (converted to 32 bits).
  void Assign(const QImage& image);

  // Transfers that this bitmap does not support; each throws std::runtime_error.
  void LoadFromStream();
  void SaveToStream() const;
  void SaveToFile(const std::string& fileName) const;
  void LoadFromClipboardFormat();
  void SaveToClipboardFormat() const;

  int Width() const { return image_.isNull() ? pendingWidth_ : image_.width(); }
  int Height() const { return image_.isNull() ? pendingHeight_ : image_.height(); }
  // Resizes the pixel memory; the contents are undefined afterwards. Sizes below 0 count as 0.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, Height()); }
  void SetHeight(int height) { SetSize(Width(), height); }
  // True when there is no pixel memory or a dimension is 0.
  bool GetEmpty() const { return Width() == 0 || Height() == 0; }
  void Clear();
  // False while a picture loaded at a reduced level has not had its full-size pixels decoded.
  bool FullSizeInMemory() const { return !image_.isNull() || GetEmpty(); }

  // Pixel at (column, row); 0 outside the picture.
  std::uint32_t Pixel(int column, int row) const;
  // Blended write of a 0xRRGGBB pixel value with alpha 0 … 255 (255 stores it); outside writes
  // are ignored.
  void SetPixel(int column, int row, std::uint32_t rgb, int alpha = 255);

  // The colour whose texels are skipped when this bitmap is drawn as texture (clNone: none).
  TColor TransparentColor = clNone;
  // Opacity of this bitmap's texels when drawn as texture, 0 … 255.
  std::uint8_t AlphaBlend = 255;

  // The pixels; writable access forgets the file a picture was loaded from.
  QImage& Image();
  const QImage& Image() const;
  // Row-major pixel memory (Width() × Height() values); nullptr when empty.
  std::uint32_t* Bits();
  const std::uint32_t* Bits() const;

  // The bitmap reduced `level` times to half its width and height (rounded up), for reading as
  // texture when zoomed out; level 0 (or an empty bitmap) gives the bitmap itself, levels above
  // kReducedLevels the smallest copy. Each copy is made on first use: for a picture loaded at a
  // reduced level, the finer ones are decoded from the file at their scale (libjpeg's scaled
  // decoding); the coarser ones, and those of other pictures, are reduced from the next finer copy
  // with a 2 × 2 box filter. The copies are kept until the pixels change (any writable access to
  // them); they carry this bitmap's TransparentColor and AlphaBlend. Column c of level k covers
  // columns c·2^k … c·2^k + 2^k − 1.
  static constexpr int kReducedLevels = 3;
  const TGBitmap& Reduced(int level) const;

 private:
  struct JpegBytes;
  struct ReducedCopies;

  // Decodes the full-size pixels of a picture loaded at a reduced level.
  void DecodeFullSize() const;
  // Before a writable access: the full-size pixels, no longer tied to the file.
  void ForgetFile();
  // The record of reduced copies for the present pixels, made anew when they changed.
  ReducedCopies& Copies() const;

  mutable QImage image_;
  // The file's bytes and the picture's size while it is loaded at a reduced level (pending*:
  // the size while the full-size pixels are not decoded).
  std::shared_ptr<const JpegBytes> file_;
  int pendingWidth_ = 0, pendingHeight_ = 0;
  std::string lastError_;
  mutable std::shared_ptr<ReducedCopies> reduced_;
};

// Blends one 0x..RRGGBB source over a destination pixel: each channel becomes
// (dest × (255 − α) + src × α) shr 8; α = 255 stores the source. The result has alpha 0xFF.
inline std::uint32_t BlendPixel(std::uint32_t dest, std::uint32_t src, int alpha) {
  if (alpha >= 255) return src | 0xFF000000u;
  if (alpha <= 0) alpha = 0;
  const std::uint32_t a = static_cast<std::uint32_t>(alpha), na = 255 - a;
  const std::uint32_t r = ((((dest >> 16) & 0xFF) * na + ((src >> 16) & 0xFF) * a) >> 8) & 0xFF;
  const std::uint32_t g = ((((dest >> 8) & 0xFF) * na + ((src >> 8) & 0xFF) * a) >> 8) & 0xFF;
  const std::uint32_t b = (((dest & 0xFF) * na + (src & 0xFF) * a) >> 8) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace umbrivista
