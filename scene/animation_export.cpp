// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "animation_export.h"

extern "C" {
#include <gif_lib.h>
}

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "globe_picture.h"
#include "safe_file.h"
#include "video_encoder.h"

namespace umbrivista {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// --- GIF: a palette of 256 colours for each frame, by median cut --------------------------------

// Colours are counted in boxes of 5 bits a channel; the palette entry of a group of boxes is the
// mean of the pixels that fell in them.
constexpr int kBinBits = 5;
constexpr int kBinCount = 1 << (3 * kBinBits);

struct Bin {
  std::uint16_t key;
  std::uint32_t count;
};

int Channel(std::uint16_t key, int channel) {
  return (key >> (kBinBits * (2 - channel))) & ((1 << kBinBits) - 1);
}

inline std::uint16_t BinKey(const std::uint8_t* bgrx) {
  constexpr int shift = 8 - kBinBits;
  return static_cast<std::uint16_t>(((bgrx[2] >> shift) << (2 * kBinBits)) |
                                    ((bgrx[1] >> shift) << kBinBits) | (bgrx[0] >> shift));
}

class GifQuantizer {
 public:
  GifQuantizer()
      : count_(kBinCount, 0),
        sums_(static_cast<std::size_t>(kBinCount) * 3, 0),
        lut_(kBinCount, 0) {}

  // The palette of one frame, and the frame as palette indices.
  void Quantize(const std::uint8_t* pixels, int stride, int width, int height,
                std::array<GifColorType, 256>& palette, std::vector<GifByteType>& indices) {
    bins_.clear();
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* p = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      for (int x = 0; x < width; ++x, p += 4) {
        const std::uint16_t key = BinKey(p);
        if (count_[key]++ == 0) bins_.push_back({key, 0});
        std::uint64_t* sum = &sums_[static_cast<std::size_t>(key) * 3];
        sum[0] += p[2];
        sum[1] += p[1];
        sum[2] += p[0];
      }
    }
    for (Bin& bin : bins_) bin.count = count_[bin.key];

    // Split the box whose pixels spread most (pixel count × widest channel range) at the median of
    // its widest channel until there are 256 boxes or none has two colours.
    struct Box {
      std::size_t begin, end;
      std::uint64_t pixels;
      int channel, range;
    };
    auto makeBox = [this](std::size_t begin, std::size_t end) {
      Box box{begin, end, 0, 0, 0};
      int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
      for (std::size_t i = begin; i < end; ++i) {
        box.pixels += bins_[i].count;
        for (int c = 0; c < 3; ++c) {
          lo[c] = std::min(lo[c], Channel(bins_[i].key, c));
          hi[c] = std::max(hi[c], Channel(bins_[i].key, c));
        }
      }
      for (int c = 0; c < 3; ++c) {
        if (hi[c] - lo[c] > box.range) {
          box.range = hi[c] - lo[c];
          box.channel = c;
        }
      }
      return box;
    };
    std::vector<Box> boxes;
    if (!bins_.empty()) boxes.push_back(makeBox(0, bins_.size()));
    while (boxes.size() < 256) {
      std::size_t pick = boxes.size();
      std::uint64_t best = 0;
      for (std::size_t i = 0; i < boxes.size(); ++i) {
        const std::uint64_t score = boxes[i].pixels * static_cast<std::uint64_t>(boxes[i].range);
        if (boxes[i].range > 0 && score >= best) {
          best = score;
          pick = i;
        }
      }
      if (pick == boxes.size()) break;
      const Box box = boxes[pick];
      const int channel = box.channel;
      std::sort(bins_.begin() + static_cast<std::ptrdiff_t>(box.begin),
                bins_.begin() + static_cast<std::ptrdiff_t>(box.end),
                [channel](const Bin& a, const Bin& b) {
                  return Channel(a.key, channel) < Channel(b.key, channel);
                });
      // The first bin past half the pixels, kept inside so that both halves hold a colour.
      std::uint64_t seen = 0;
      std::size_t split = box.begin + 1;
      for (std::size_t i = box.begin; i < box.end - 1; ++i) {
        seen += bins_[i].count;
        split = i + 1;
        if (seen * 2 >= box.pixels) break;
      }
      boxes[pick] = makeBox(box.begin, split);
      boxes.push_back(makeBox(split, box.end));
    }

    palette.fill(GifColorType{0, 0, 0});
    for (std::size_t b = 0; b < boxes.size(); ++b) {
      std::uint64_t sum[3] = {0, 0, 0};
      for (std::size_t i = boxes[b].begin; i < boxes[b].end; ++i) {
        const std::uint64_t* s = &sums_[static_cast<std::size_t>(bins_[i].key) * 3];
        for (int c = 0; c < 3; ++c) sum[c] += s[c];
        lut_[bins_[i].key] = static_cast<GifByteType>(b);
      }
      const std::uint64_t n = std::max<std::uint64_t>(boxes[b].pixels, 1);
      palette[b] = GifColorType{static_cast<GifByteType>((sum[0] + n / 2) / n),
                                static_cast<GifByteType>((sum[1] + n / 2) / n),
                                static_cast<GifByteType>((sum[2] + n / 2) / n)};
    }

    indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    GifByteType* out = indices.data();
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* p = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      for (int x = 0; x < width; ++x, p += 4) *out++ = lut_[BinKey(p)];
    }
    for (const Bin& bin : bins_) {
      count_[bin.key] = 0;
      std::fill_n(&sums_[static_cast<std::size_t>(bin.key) * 3], 3, 0);
    }
  }

 private:
  std::vector<std::uint32_t> count_;
  std::vector<std::uint64_t> sums_;
  std::vector<GifByteType> lut_;
  std::vector<Bin> bins_;
};

}  // namespace

std::optional<AnimationFormat> AnimationFormatFor(const std::string& path) {
  const std::string name = Lower(path);
  if (EndsWith(name, ".mp4") || EndsWith(name, ".m4v")) return AnimationFormat::kMp4;
  if (EndsWith(name, ".webm")) return AnimationFormat::kWebm;
  if (EndsWith(name, ".gif")) return AnimationFormat::kGif;
  return std::nullopt;
}

std::string AnimationSizeProblem(AnimationFormat format, int width, int height) {
  if (width < 2 || height < 2) return "the picture must be at least 2 × 2 pixels";
  if (format == AnimationFormat::kGif) {
    if (width > 65535 || height > 65535)
      return "a GIF picture is at most 65535 pixels wide and high";
    return {};
  }
  if (width % 2 || height % 2) {
    return "MP4 and WebM need an even width and height, not " + std::to_string(width) + " × " +
           std::to_string(height);
  }
  return {};
}

long long AnimationFrameCount(const AnimationRange& range) {
  if (!(range.stepSeconds > 0) || !std::isfinite(range.fromHours) ||
      !std::isfinite(range.toHours) || !(range.toHours >= range.fromHours)) {
    return 0;
  }
  const double steps = (range.toHours - range.fromHours) * 3600.0 / range.stepSeconds;
  // A step that ends within a microsecond of the range's end counts.
  const double tolerance = 1e-6 / range.stepSeconds;
  if (steps > 1e12) return static_cast<long long>(1e12);
  return static_cast<long long>(std::floor(steps + tolerance)) + 1;
}

double AnimationFrameTime(const AnimationRange& range, long long frame) {
  return range.fromHours + static_cast<double>(frame) * range.stepSeconds / 3600.0;
}

// --- The writer ---------------------------------------------------------------------------------

struct AnimationWriter::Impl {
  std::string path;
  AnimationFormat format = AnimationFormat::kMp4;
  int width = 0, height = 0, fps = 25;
  long long frames = 0;  // encoded (by the worker)
  long long queued = 0;  // handed to AddFrame
  std::unique_ptr<SafeFileWriter> file;
  std::string writeProblem;  // why the file could not be written, from inside a callback

  // GIF
  GifFileType* gif = nullptr;
  GifQuantizer quantizer;
  std::array<GifColorType, 256> palette{};
  std::vector<GifByteType> indices;

  // MP4 and WebM
  std::unique_ptr<VideoEncoder> video;

  // The frames are encoded on a worker thread while the caller draws the next one; at most
  // kQueueDepth frames wait. Everything of the encoders and the file belongs to the worker from
  // the first frame until it is joined.
  static constexpr std::size_t kQueueDepth = 1;
  std::thread worker;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::vector<std::uint8_t>> waiting;
  std::vector<std::vector<std::uint8_t>> spare;
  bool closing = false;   // no more frames come: encode what waits, then end
  bool stopping = false;  // end now, dropping what waits
  std::exception_ptr failure;

  void Work() {
    for (;;) {
      std::vector<std::uint8_t> pixels;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return stopping || closing || !waiting.empty(); });
        if (stopping || waiting.empty()) return;
        pixels = std::move(waiting.front());
        waiting.pop_front();
      }
      changed.notify_all();
      try {
        if (format == AnimationFormat::kGif) {
          AddGifFrame(pixels.data(), width * 4);
        } else {
          AddVideoFrame(pixels.data(), width * 4);
        }
        ++frames;
      } catch (...) {
        std::lock_guard lock(mutex);
        failure = std::current_exception();
        stopping = true;
        changed.notify_all();
        return;
      }
      std::lock_guard lock(mutex);
      spare.push_back(std::move(pixels));
    }
  }

  void Queue(const std::uint8_t* pixels, int stride) {
    if (!worker.joinable()) worker = std::thread([this] { Work(); });
    std::vector<std::uint8_t> copy;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [this] { return failure || waiting.size() < kQueueDepth; });
      if (failure) std::rethrow_exception(failure);
      if (!spare.empty()) {
        copy = std::move(spare.back());
        spare.pop_back();
      }
    }
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    copy.resize(row * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      std::memcpy(copy.data() + row * static_cast<std::size_t>(y),
                  pixels + static_cast<std::ptrdiff_t>(y) * stride, row);
    }
    {
      std::lock_guard lock(mutex);
      waiting.push_back(std::move(copy));
    }
    changed.notify_all();
  }

  // Waits for the worker: `drain` lets it encode what waits first. Rethrows its failure.
  void JoinWorker(bool drain) {
    if (worker.joinable()) {
      {
        std::lock_guard lock(mutex);
        (drain ? closing : stopping) = true;
      }
      changed.notify_all();
      worker.join();
    }
    if (failure) std::rethrow_exception(failure);
  }

  ~Impl() {
    try {
      JoinWorker(false);
    } catch (...) {
      // the file is dropped anyway
    }
    if (gif) {
      int error = 0;
      EGifCloseFile(gif, &error);
    }
  }

  [[noreturn]] void Fail(const std::string& reason) const {
    if (!writeProblem.empty()) throw AnimationError(writeProblem);
    throw AnimationError(path + ": " + reason);
  }

  void WriteBytes(const std::uint8_t* data, std::size_t size) {
    if (!writeProblem.empty()) return;
    try {
      file->Write(std::span(data, size));
    } catch (const std::exception& e) {
      writeProblem = e.what();
    }
  }

  // --- GIF ---
  static int GifOutput(GifFileType* gif, const GifByteType* data, int size) {
    auto* self = static_cast<Impl*>(gif->UserData);
    self->WriteBytes(data, static_cast<std::size_t>(size));
    return self->writeProblem.empty() ? size : 0;
  }

  void OpenGif() {
    int error = 0;
    gif = EGifOpen(this, GifOutput, &error);
    if (!gif) Fail(std::string("cannot start the GIF: ") + GifErrorString(error));
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, width, height, 8, 0, nullptr) == GIF_ERROR) GifFail();
    // Loop for ever.
    static const GifByteType kNetscape[] = "NETSCAPE2.0";
    static const GifByteType kLoop[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, 11, kNetscape) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, 3, kLoop) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif) == GIF_ERROR) {
      GifFail();
    }
  }

  [[noreturn]] void GifFail() const {
    Fail(std::string("cannot write the GIF: ") + GifErrorString(gif ? gif->Error : 0));
  }

  void AddGifFrame(const std::uint8_t* pixels, int stride) {
    quantizer.Quantize(pixels, stride, width, height, palette, indices);
    // Delays are whole hundredths of a second: each frame ends at the hundredth nearest to its
    // true end, so that the animation keeps its pace.
    auto hundredths = [this](long long n) {
      return std::llround(static_cast<double>(n) * 100.0 / fps);
    };
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = static_cast<int>(hundredths(frames + 1) - hundredths(frames));
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR) GifFail();
    ColorMapObject* map = GifMakeMapObject(256, palette.data());
    if (!map) Fail("out of memory");
    const int put = EGifPutImageDesc(gif, 0, 0, width, height, false, map);
    GifFreeMapObject(map);
    if (put == GIF_ERROR) GifFail();
    for (int y = 0; y < height; ++y) {
      if (EGifPutLine(gif, indices.data() + static_cast<std::size_t>(y) * width, width) ==
          GIF_ERROR) {
        GifFail();
      }
    }
  }

  void FinishGif() {
    int error = 0;
    GifFileType* closing = gif;
    gif = nullptr;
    if (EGifCloseFile(closing, &error) == GIF_ERROR) {
      Fail(std::string("cannot write the GIF: ") + GifErrorString(error));
    }
  }

  // --- MP4 and WebM ---
  void OpenVideo() {
    VideoOutput output;
    output.write = [this](const std::uint8_t* data, std::size_t size) {
      WriteBytes(data, size);
      return writeProblem.empty();
    };
    output.seek = [this](std::int64_t offset, int whence) -> std::int64_t {
      if (!writeProblem.empty()) return -1;
      try {
        return file->Seek(offset, whence);
      } catch (const std::exception& e) {
        writeProblem = e.what();
        return -1;
      }
    };
    OpenVideoEncoderFn open;
    try {
      open = VideoEncoders();
    } catch (const std::runtime_error& e) {
      Fail(e.what());
    }
    std::string problem;
    video = open(format == AnimationFormat::kWebm, width, height, fps, std::move(output), problem);
    if (!video) Fail(problem);
  }

  void AddVideoFrame(const std::uint8_t* pixels, int stride) {
    const std::string problem = video->AddFrame(pixels, stride);
    if (!problem.empty()) Fail(problem);
  }

  void FinishVideo() {
    const std::string problem = video->Finish();
    if (!problem.empty()) Fail(problem);
    if (!writeProblem.empty()) throw AnimationError(writeProblem);
  }
};

AnimationWriter::AnimationWriter(const std::string& path, int width, int height, int fps)
    : impl_(std::make_unique<Impl>()) {
  Impl& w = *impl_;
  w.path = path;
  const auto format = AnimationFormatFor(path);
  if (!format) w.Fail("the name must end in .mp4, .webm or .gif");
  w.format = *format;
  const std::string sizeProblem = AnimationSizeProblem(w.format, width, height);
  if (!sizeProblem.empty()) w.Fail(sizeProblem);
  if (fps < kMinAnimationFps || fps > kMaxAnimationFps) {
    w.Fail("the frame rate must be " + std::to_string(kMinAnimationFps) + "–" +
           std::to_string(kMaxAnimationFps) + " frames a second");
  }
  w.width = width;
  w.height = height;
  w.fps = fps;
  try {
    // What an earlier run that was killed while writing this name left behind.
    RemoveStaleTemporaries(path);
    w.file = std::make_unique<SafeFileWriter>(path);
  } catch (const FileWriteError& e) {
    throw AnimationError(e.what());
  }
  if (w.format == AnimationFormat::kGif) {
    w.OpenGif();
  } else {
    w.OpenVideo();
  }
}

AnimationWriter::~AnimationWriter() = default;

void AnimationWriter::AddFrame(const std::uint8_t* pixels, int stride) {
  Impl& w = *impl_;
  if (!w.file) w.Fail("the animation is already finished");
  w.Queue(pixels, stride);
  ++w.queued;
}

void AnimationWriter::Finish() {
  Impl& w = *impl_;
  if (!w.file) w.Fail("the animation is already finished");
  if (w.queued == 0) w.Fail("an animation needs at least one frame");
  w.JoinWorker(true);
  if (w.format == AnimationFormat::kGif) {
    w.FinishGif();
  } else {
    w.FinishVideo();
  }
  if (!w.writeProblem.empty()) throw AnimationError(w.writeProblem);
  try {
    w.file->Commit();
  } catch (const FileWriteError& e) {
    throw AnimationError(e.what());
  }
  w.file.reset();
}

std::string AnimationWriter::CodecName() const {
  if (impl_->format == AnimationFormat::kGif) return "gif";
  return impl_->video ? impl_->video->CodecName() : "";
}

bool WriteGlobeAnimation(GlobePicture& picture, const AnimationRange& range, int fps,
                         const std::string& path,
                         const std::function<bool(long long, long long)>& progress) {
  const long long total = AnimationFrameCount(range);
  if (total < 1) throw AnimationError(path + ": the time range holds no frame");
  if (progress && !progress(0, total)) return false;
  std::unique_ptr<AnimationWriter> writer;
  for (long long i = 0; i < total; ++i) {
    QImage image = picture.Render(AnimationFrameTime(range, i));
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    if (!writer)
      writer = std::make_unique<AnimationWriter>(path, image.width(), image.height(), fps);
    writer->AddFrame(image.constBits(), static_cast<int>(image.bytesPerLine()));
    if (progress && !progress(i + 1, total)) return false;
  }
  writer->Finish();
  return true;
}

}  // namespace umbrivista
