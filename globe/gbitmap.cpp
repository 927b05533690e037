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
#include <stdexcept>

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

// Decodes `file` of `fileBytes` bytes into `*out` (Format_RGB32). No C++ object with a destructor
// lives in this frame across the jump. Returns false on any error, with the reason in `reason`;
// `*out` is then unspecified.
bool DecodeJpeg(std::FILE* file, std::uint64_t fileBytes, QImage* out,
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
  jpeg_stdio_src(&cinfo, file);
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

bool TGBitmap::LoadFromFile(const std::string& fileName) {
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
  QImage decoded;
  char reason[JMSG_LENGTH_MAX + 64] = "";
  const bool ok = DecodeJpeg(file, static_cast<std::uint64_t>(st.st_size), &decoded, reason);
  std::fclose(file);
  if (!ok) {
    lastError_ = reason[0] ? reason : "cannot decode";
    return false;
  }
  image_ = std::move(decoded);
  lastError_.clear();
  return true;
}

void TGBitmap::Assign(const TGBitmap& other) {
  if (other.GetEmpty()) {
    image_ = QImage();
  } else {
    image_ = NewImage(other.Width(), other.Height());
    if (image_.isNull()) throw std::runtime_error("Failed to allocate DIB Handle");
    std::memcpy(image_.bits(), other.image_.constBits(),
                static_cast<std::size_t>(other.Width()) * other.Height() * 4);
  }
  TransparentColor = other.TransparentColor;
  AlphaBlend = other.AlphaBlend;
}

void TGBitmap::Assign(const QImage& image) {
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
  if (width == Width() && height == Height() && !image_.isNull()) return;
  if (width == 0 || height == 0) {
    image_ = QImage();
    return;
  }
  image_ = NewImage(width, height);
  if (image_.isNull()) throw std::runtime_error("Failed to allocate DIB Handle");
}

std::uint32_t TGBitmap::Pixel(int column, int row) const {
  if (column < 0 || row < 0 || column >= Width() || row >= Height()) return 0;
  return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(row))[column];
}

void TGBitmap::SetPixel(int column, int row, std::uint32_t rgb, int alpha) {
  if (column < 0 || row < 0 || column >= Width() || row >= Height()) return;
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

struct TGBitmap::ReducedCopies {
  qint64 key = 0;
  TGBitmap levels[kReducedLevels];
};

const TGBitmap& TGBitmap::Reduced(int level) const {
  if (level <= 0 || GetEmpty()) return *this;
  level = std::min(level, kReducedLevels);
  const qint64 key = image_.cacheKey();
  if (!reduced_ || reduced_->key != key) {
    // A new record rather than an update: copies of this bitmap may share the old one.
    auto r = std::make_shared<ReducedCopies>();
    r->key = key;
    const QImage* from = &image_;
    for (TGBitmap& copy : r->levels) {
      copy.image_ = HalfSize(*from);
      from = &copy.image_;
    }
    reduced_ = std::move(r);
  }
  TGBitmap& copy = reduced_->levels[level - 1];
  copy.TransparentColor = TransparentColor;
  copy.AlphaBlend = AlphaBlend;
  return copy;
}

std::uint32_t* TGBitmap::Bits() {
  return GetEmpty() ? nullptr : reinterpret_cast<std::uint32_t*>(image_.bits());
}

const std::uint32_t* TGBitmap::Bits() const {
  return GetEmpty() ? nullptr : reinterpret_cast<const std::uint32_t*>(image_.constBits());
}

}  // namespace umbrivista
