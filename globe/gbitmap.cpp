// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gbitmap.h"

#include <jpeglib.h>
// jerror.h after jpeglib.h, which it needs
#include <jerror.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace umbrivista {

// A 32-bit image of width × height pixels. Large pictures get memory that the kernel may back with
// huge pages: texture lookups jump between distant rows, and with 4 KiB pages nearly every lookup
// would miss the address-translation cache.
static QImage NewImage(int width, int height) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  if (bytes < 2 * kHugePage) return QImage(width, height, QImage::Format_RGB32);
  void* memory = nullptr;
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  if (posix_memalign(&memory, kHugePage, rounded) != 0) return QImage();
  madvise(memory, rounded, MADV_HUGEPAGE);
  QImage image(
      static_cast<uchar*>(memory), width, height, static_cast<qsizetype>(width) * 4,
      QImage::Format_RGB32, [](void* p) { std::free(p); }, memory);
  if (image.isNull()) std::free(memory);
  return image;
}

bool JpegSizeAcceptable(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxJpegPixels / height;
}

bool JpegSizeFitsFile(std::uint64_t width, std::uint64_t height, std::uint64_t fileBytes) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t room =
      fileBytes > kMax / kMaxJpegPixelsPerByte ? kMax : fileBytes * kMaxJpegPixelsPerByte;
  return height == 0 || width <= room / height;
}

namespace {

// libjpeg's default handler ends the process; this one keeps the reason and jumps back to the
// decoder, which then reports a failed load. Warnings about corrupt scan data and a file that ends
// early are failures too: libjpeg would go on and pad the picture with grey, and a half-grey
// texture is worse than none. Stray bytes between segments, an unknown JFIF revision or a bad
// colour profile only warn: the pixels are whole.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char reason[JMSG_LENGTH_MAX + 64];
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  switch (err->pub.msg_code) {
    case JERR_NO_SOI:
      std::snprintf(err->reason, sizeof err->reason, "not a JPEG file");
      break;
    case JERR_INPUT_EMPTY:
      std::snprintf(err->reason, sizeof err->reason, "empty file");
      break;
    case JWRN_JPEG_EOF:
      std::snprintf(err->reason, sizeof err->reason, "truncated");
      break;
    case JERR_IMAGE_TOO_BIG:
      if (cinfo->is_decompressor) {
        const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        std::snprintf(err->reason, sizeof err->reason, "too large (%u×%u)", d->image_width,
                      d->image_height);
        break;
      }
      [[fallthrough]];
    default:
      err->pub.format_message(cinfo, err->reason);
  }
  std::longjmp(err->jump, 1);
}

bool DamagesPixels(int warning) {
  switch (warning) {
    case JWRN_JPEG_EOF:       // the file ends before the picture
    case JWRN_HIT_MARKER:     // the scan data end before the picture
    case JWRN_HUFF_BAD_CODE:  // undecodable scan data
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:        // lost restart markers: blocks are skipped
    case JWRN_NOT_SEQUENTIAL:     // scans that a baseline picture cannot have
    case JWRN_BOGUS_PROGRESSION:  // progressive scans out of order
      return true;
    default:
      return false;
  }
}

extern "C" void JpegEmitMessage(j_common_ptr cinfo, int msgLevel) {
  if (msgLevel >= 0) return;
  if (DamagesPixels(cinfo->err->msg_code)) JpegErrorExit(cinfo);
  ++cinfo->err->num_warnings;
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

// Four bytes of CMYK per pixel, in place, to B, G, R, A (Format_RGB32 on this little-endian
// platform). Files with Adobe's marker store the inks inverted (255: no ink).
void CmykRowToBgra(std::uint8_t* row, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, row += 4) {
    unsigned c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    row[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
    row[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
    row[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    row[3] = 0xFF;
  }
}

// A libjpeg source that reads a file and keeps every byte it hands over in `kept`, so that the
// picture can be decoded again, at another scale, without the file.
struct KeepingSource {
  jpeg_source_mgr pub;
  std::FILE* file;
  std::vector<std::uint8_t>* kept;
  JOCTET buffer[65536];
};

extern "C" void KeepingInit(j_decompress_ptr) {}
extern "C" void KeepingTerm(j_decompress_ptr) {}

extern "C" boolean KeepingFill(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<KeepingSource*>(cinfo->src);
  std::size_t n = std::fread(src->buffer, 1, sizeof src->buffer, src->file);
  if (n == 0) {
    if (src->kept->empty()) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    // As libjpeg's own file source: a warning (taken as damage), then an end-of-image marker.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    n = 2;
  } else {
    bool kept = true;
    try {
      src->kept->insert(src->kept->end(), src->buffer, src->buffer + n);
    } catch (const std::bad_alloc&) {
      kept = false;
    }
    if (!kept) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = n;
  return TRUE;
}

extern "C" void KeepingSkip(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  if (count <= 0) return;
  while (count > static_cast<long>(src->bytes_in_buffer)) {
    count -= static_cast<long>(src->bytes_in_buffer);
    KeepingFill(cinfo);
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void UseKeepingSource(j_decompress_ptr cinfo, std::FILE* file, std::vector<std::uint8_t>* kept) {
  auto* src = static_cast<KeepingSource*>((*cinfo->mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(KeepingSource)));
  src->pub.init_source = KeepingInit;
  src->pub.fill_input_buffer = KeepingFill;
  src->pub.skip_input_data = KeepingSkip;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = KeepingTerm;
  src->pub.bytes_in_buffer = 0;
  src->pub.next_input_byte = nullptr;
  src->file = file;
  src->kept = kept;
  cinfo->src = &src->pub;
}

// Decodes a JPEG into `*out` (Format_RGB32) at 1/2^level of its width and height (rounded up):
// read from `file`, whose bytes are appended to `*kept`, or, without a file, from `*bytes`.
// `fileBytes` is the size of the file. `*width` and `*height` receive the full size. No C++
// object with a destructor lives in this frame across the jump. Returns false on any error, with
// the reason in `reason`; `*out` is then unspecified.
bool DecodeJpeg(std::FILE* file, std::vector<std::uint8_t>* kept,
                const std::vector<std::uint8_t>* bytes, std::uint64_t fileBytes,
                int level, QImage* out, int* width, int* height,
                char (&reason)[JMSG_LENGTH_MAX + 64]) {
  jpeg_decompress_struct cinfo;
  JpegErrorManager jerr;
  cinfo.err = jpeg_std_error(&jerr.pub);
  jerr.pub.error_exit = JpegErrorExit;
  jerr.pub.emit_message = JpegEmitMessage;
  jerr.pub.output_message = JpegOutputMessage;
  jerr.reason[0] = '\0';
  if (setjmp(jerr.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::memcpy(reason, jerr.reason, sizeof reason);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  if (file) {
    UseKeepingSource(&cinfo, file, kept);
  } else {
    jpeg_mem_src(&cinfo, bytes->data(), static_cast<unsigned long>(bytes->size()));
  }
  jpeg_read_header(&cinfo, TRUE);
  // The header's size is checked before libjpeg or this function take memory for the picture.
  if (cinfo.image_width == 0 || cinfo.image_height == 0) {
    std::snprintf(reason, sizeof reason, "no pixels (%u×%u)", cinfo.image_width,
                  cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  if (!JpegSizeAcceptable(cinfo.image_width, cinfo.image_height)) {
    std::snprintf(reason, sizeof reason, "too large (%u×%u pixels, at most %llu)",
                  cinfo.image_width, cinfo.image_height,
                  static_cast<unsigned long long>(kMaxJpegPixels));
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  if (!JpegSizeFitsFile(cinfo.image_width, cinfo.image_height, fileBytes)) {
    std::snprintf(reason, sizeof reason, "implausible size (%u×%u pixels in %llu bytes)",
                  cinfo.image_width, cinfo.image_height,
                  static_cast<unsigned long long>(fileBytes));
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  // Four bytes per pixel in memory order B, G, R, A: the layout of Format_RGB32 on this
  // little-endian platform, with the alpha byte set to 0xFF. libjpeg does not convert CMYK to
  // RGB: such files are decoded as CMYK and converted here.
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  cinfo.scale_num = 1;
  cinfo.scale_denom = 1u << level;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 4) {
    std::snprintf(reason, sizeof reason, "unsupported colour layout (%d components)",
                  cinfo.output_components);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  *out = NewImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  if (out->isNull()) {
    std::snprintf(reason, sizeof reason, "not enough memory for %u×%u pixels", cinfo.output_width,
                  cinfo.output_height);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->scanLine(static_cast<int>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
    if (cmyk) CmykRowToBgra(row, cinfo.output_width, cinfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&cinfo);
  *width = static_cast<int>(cinfo.image_width);
  *height = static_cast<int>(cinfo.image_height);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the JPEG decoder writes little-endian pixels");

}  // namespace

TGBitmap::TGBitmap(int width, int height) {
  SetSize(width, height);
}

namespace {

// Why a file of that mode is no picture file; nullptr for a regular file. A folder opens like a
// file but reads as nothing; opening a named pipe waits for a writer, for ever if none comes.
const char* NotARegularFile(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  if (S_ISDIR(mode)) return "cannot open: Is a directory";
  if (S_ISFIFO(mode)) return "not a regular file but a named pipe (FIFO)";
  if (S_ISCHR(mode)) return "not a regular file but a character device";
  if (S_ISBLK(mode)) return "not a regular file but a block device";
  if (S_ISSOCK(mode)) return "not a regular file but a socket";
  return "not a regular file";
}

}  // namespace

struct TGBitmap::JpegBytes {
  std::vector<std::uint8_t> bytes;
  std::uint64_t fileBytes = 0;
  int level = 0;  // the reduced size the file was loaded at
};

struct TGBitmap::ReducedCopies {
  // The pixels the copies belong to: the file's picture, or else the image of this cache key.
  std::shared_ptr<const JpegBytes> file;
  qint64 key = 0;
  TGBitmap levels[kReducedLevels];  // empty until first used
};

namespace {

// The picture of a loaded file decoded again at 1/2^level of its size.
QImage DecodeAgain(const std::vector<std::uint8_t>& bytes, std::uint64_t fileBytes, int level) {
  QImage out;
  int width = 0, height = 0;
  char reason[JMSG_LENGTH_MAX + 64] = "";
  if (!DecodeJpeg(nullptr, nullptr, &bytes, fileBytes, level, &out, &width, &height, reason))
    throw std::runtime_error(std::string("cannot decode the texture again: ") + reason);
  return out;
}

}  // namespace

bool TGBitmap::LoadFromFile(const std::string& fileName, int level) {
  level = std::clamp(level, 0, kReducedLevels);
  // The path is looked at before it is opened, and the opened file again: it may have been
  // replaced in between, and without waiting (O_NONBLOCK) a pipe put there does no harm.
  struct stat st {};
  if (::stat(fileName.c_str(), &st) != 0) {
    lastError_ = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  if (const char* problem = NotARegularFile(st.st_mode)) {
    lastError_ = problem;
    return false;
  }
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    lastError_ = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  if (::fstat(fd, &st) != 0) {
    lastError_ = std::string("cannot open: ") + std::strerror(errno);
    ::close(fd);
    return false;
  }
  if (const char* problem = NotARegularFile(st.st_mode)) {
    lastError_ = problem;
    ::close(fd);
    return false;
  }
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) {
    lastError_ = std::string("cannot open: ") + std::strerror(errno);
    ::close(fd);
    return false;
  }
  auto kept = std::make_shared<JpegBytes>();
  kept->fileBytes = static_cast<std::uint64_t>(st.st_size);
  // Room for the whole file at once: growing it as it is read would write it into fresh memory
  // two or three times over.
  constexpr std::uint64_t kMostReservedBytes = std::uint64_t{1} << 28;
  kept->bytes.reserve(static_cast<std::size_t>(std::min(kept->fileBytes, kMostReservedBytes)));
  QImage decoded;
  int width = 0, height = 0;
  char reason[JMSG_LENGTH_MAX + 64] = "";
  const bool ok =
      DecodeJpeg(file, &kept->bytes, nullptr, kept->fileBytes, level, &decoded, &width, &height, reason);
  std::fclose(file);
  if (!ok) {
    lastError_ = reason[0] ? reason : "cannot decode";
    return false;
  }
  lastError_.clear();
  if (level == 0) {
    image_ = std::move(decoded);
    file_.reset();
    return true;
  }
  kept->bytes.shrink_to_fit();
  kept->level = level;
  image_ = QImage();
  file_ = std::move(kept);
  pendingWidth_ = width;
  pendingHeight_ = height;
  Copies().levels[level - 1].image_ = std::move(decoded);
  return true;
}

void TGBitmap::Clear() {
  image_ = QImage();
  file_.reset();
  pendingWidth_ = pendingHeight_ = 0;
}

void TGBitmap::DecodeFullSize() const {
  if (image_.isNull() && file_) image_ = DecodeAgain(file_->bytes, file_->fileBytes, 0);
}

void TGBitmap::ForgetFile() {
  if (!file_) return;
  DecodeFullSize();
  file_.reset();
  pendingWidth_ = pendingHeight_ = 0;
}

QImage& TGBitmap::Image() {
  ForgetFile();
  return image_;
}

const QImage& TGBitmap::Image() const {
  DecodeFullSize();
  return image_;
}

void TGBitmap::Assign(const TGBitmap& other) {
  if (&other == this) return;
  if (other.file_) {
    image_ = other.image_;
    file_ = other.file_;
    pendingWidth_ = other.pendingWidth_;
    pendingHeight_ = other.pendingHeight_;
    reduced_ = other.reduced_;
  } else if (other.GetEmpty()) {
    Clear();
  } else {
    Clear();
    image_ = NewImage(other.Width(), other.Height());
    if (image_.isNull()) throw std::runtime_error("Failed to allocate DIB Handle");
    std::memcpy(image_.bits(), other.image_.constBits(),
                static_cast<std::size_t>(other.Width()) * other.Height() * 4);
  }
  TransparentColor = other.TransparentColor;
  AlphaBlend = other.AlphaBlend;
}

void TGBitmap::Assign(const QImage& image) {
  Clear();
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

void TGBitmap::LoadFromStream() {
  throw std::runtime_error("TGBitmap.LoadFromStream: Not implemented");
}
void TGBitmap::SaveToStream() const {
  throw std::runtime_error("TGBitmap.SaveToStream: Not implemented");
}
void TGBitmap::SaveToFile(const std::string&) const {
  throw std::runtime_error("TGBitmap.SaveToFile: Not implemented");
}
void TGBitmap::LoadFromClipboardFormat() {
  throw std::runtime_error("TGBitmap.LoadFromClipboardFormat: Not implemented");
}
void TGBitmap::SaveToClipboardFormat() const {
  throw std::runtime_error("TGBitmap.SaveToClipboardFormat: Not implemented");
}

void TGBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width() && height == Height() && !GetEmpty()) {
    ForgetFile();
    return;
  }
  file_.reset();
  pendingWidth_ = pendingHeight_ = 0;
  if (width == 0 || height == 0) {
    image_ = QImage();
    return;
  }
  image_ = NewImage(width, height);
  if (image_.isNull()) throw std::runtime_error("Failed to allocate DIB Handle");
}

std::uint32_t TGBitmap::Pixel(int column, int row) const {
  if (column < 0 || row < 0 || column >= Width() || row >= Height()) return 0;
  DecodeFullSize();
  return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(row))[column];
}

void TGBitmap::SetPixel(int column, int row, std::uint32_t rgb, int alpha) {
  if (column < 0 || row < 0 || column >= Width() || row >= Height()) return;
  ForgetFile();
  auto* p = reinterpret_cast<std::uint32_t*>(image_.scanLine(row)) + column;
  *p = BlendPixel(*p, rgb, alpha);
}

namespace {

// The picture at half the width and height (rounded up), each pixel the channel-wise mean of a
// 2 × 2 box of the source, rounded; boxes at an odd right or bottom edge repeat the last column or
// row.
QImage HalfSize(const QImage& source) {
  const int sw = source.width(), sh = source.height();
  const int w = (sw + 1) / 2, h = (sh + 1) / 2;
  QImage out = NewImage(w, h);
  if (out.isNull()) throw std::runtime_error("Failed to allocate DIB Handle");
  for (int y = 0; y < h; ++y) {
    const auto* r0 = reinterpret_cast<const std::uint32_t*>(source.constScanLine(2 * y));
    const auto* r1 =
        reinterpret_cast<const std::uint32_t*>(source.constScanLine(std::min(2 * y + 1, sh - 1)));
    auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int x0 = 2 * x, x1 = std::min(2 * x + 1, sw - 1);
      const std::uint32_t p[4] = {r0[x0], r0[x1], r1[x0], r1[x1]};
      std::uint32_t pixel = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t sum = 2;
        for (const std::uint32_t q : p) sum += (q >> shift) & 0xFF;
        pixel |= (sum / 4) << shift;
      }
      dst[x] = pixel;
    }
  }
  return out;
}

}  // namespace

TGBitmap::ReducedCopies& TGBitmap::Copies() const {
  // A loaded file's pixels change only through writable access, which forgets the file.
  const qint64 key = file_ ? 0 : image_.cacheKey();
  if (!reduced_ || reduced_->file != file_ || reduced_->key != key) {
    // A new record rather than an update: copies of this bitmap may share the old one.
    auto r = std::make_shared<ReducedCopies>();
    r->file = file_;
    r->key = key;
    reduced_ = std::move(r);
  }
  return *reduced_;
}

const TGBitmap& TGBitmap::Reduced(int level) const {
  if (level <= 0 || GetEmpty()) return *this;
  level = std::min(level, kReducedLevels);
  ReducedCopies& r = Copies();
  if (r.levels[level - 1].GetEmpty()) {
    // A copy must not depend on the order in which the sizes were asked for: those finer than the
    // size a file was loaded at are decoded from it, the coarser ones reduced from that size (or,
    // without a file, from the full size).
    const int loaded = file_ ? file_->level : 0;
    if (level <= loaded) {
      r.levels[level - 1].image_ = DecodeAgain(file_->bytes, file_->fileBytes, level);
    } else {
      // The finest copy in memory above this level, down to the size loaded (kept since loading).
      int finer = level - 1;
      while (finer > loaded && r.levels[finer - 1].GetEmpty()) --finer;
      if (finer > 0 && r.levels[finer - 1].GetEmpty())
        r.levels[finer - 1].image_ = DecodeAgain(file_->bytes, file_->fileBytes, finer);
      const QImage* from = finer == 0 ? &image_ : &r.levels[finer - 1].image_;
      for (int k = finer + 1; k <= level; ++k) {
        r.levels[k - 1].image_ = HalfSize(*from);
        from = &r.levels[k - 1].image_;
      }
    }
  }
  TGBitmap& copy = r.levels[level - 1];
  copy.TransparentColor = TransparentColor;
  copy.AlphaBlend = AlphaBlend;
  return copy;
}

std::uint32_t* TGBitmap::Bits() {
  ForgetFile();
  return GetEmpty() ? nullptr : reinterpret_cast<std::uint32_t*>(image_.bits());
}

const std::uint32_t* TGBitmap::Bits() const {
  DecodeFullSize();
  return GetEmpty() ? nullptr : reinterpret_cast<const std::uint32_t*>(image_.constBits());
}

}  // namespace umbrivista
