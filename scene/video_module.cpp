// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-video.so: the MP4 and WebM encoders of video_encoder.h over FFmpeg's libraries.
// It needs nothing of the program that loads it.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <stdexcept>

#include "video_encoder.h"

namespace umbrivista {

namespace {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// Failures inside the encoder; they leave it as the "" / reason answers of VideoEncoder.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};
[[noreturn]] void Fail(const std::string& reason) {
  throw Failure(reason);
}
[[noreturn]] void FailAv(const std::string& what, int code) {
  Fail(what + ": " + AvError(code));
}

class FfmpegEncoder final : public VideoEncoder {
 public:
  FfmpegEncoder(bool webm, int width, int height, int fps, VideoOutput output)
      : webm_(webm), width_(width), height_(height), fps_(fps), output_(std::move(output)) {}

  ~FfmpegEncoder() override {
    sws_freeContext(scaler_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&codec_);
    if (muxer_) {
      muxer_->pb = nullptr;
      avformat_free_context(muxer_);
    }
    if (io_) {
      av_freep(&io_->buffer);
      avio_context_free(&io_);
    }
  }

  void Open();

  std::string AddFrame(const std::uint8_t* pixels, int stride) override {
    try {
      const int status = av_frame_make_writable(frame_);
      if (status < 0) FailAv("cannot encode the video", status);
      const std::uint8_t* source[4] = {pixels, nullptr, nullptr, nullptr};
      const int strides[4] = {stride, 0, 0, 0};
      sws_scale(scaler_, source, strides, 0, height_, frame_->data, frame_->linesize);
      frame_->pts = frames_++;
      Encode(frame_);
      return {};
    } catch (const Failure& e) {
      return e.what();
    }
  }

  std::string Finish() override {
    try {
      Encode(nullptr);
      const int status = av_write_trailer(muxer_);
      if (status < 0) FailAv("cannot write the video's end", status);
      avio_flush(io_);
      return {};
    } catch (const Failure& e) {
      return e.what();
    }
  }

  std::string CodecName() const override {
    return codec_ && codec_->codec ? codec_->codec->name : "";
  }

 private:
  static int IoWrite(void* opaque, std::uint8_t* data, int size) {
    auto* self = static_cast<FfmpegEncoder*>(opaque);
    return self->output_.write(data, static_cast<std::size_t>(size)) ? size : AVERROR(EIO);
  }

  static std::int64_t IoSeek(void* opaque, std::int64_t offset, int whence) {
    const VideoOutput& out = static_cast<FfmpegEncoder*>(opaque)->output_;
    std::int64_t answer;
    if (whence & AVSEEK_SIZE) {
      const std::int64_t here = out.seek(0, SEEK_CUR);
      answer = here < 0 ? -1 : out.seek(0, SEEK_END);
      if (answer >= 0 && out.seek(here, SEEK_SET) < 0) answer = -1;
    } else {
      answer = out.seek(offset, whence & ~AVSEEK_FORCE);
    }
    return answer < 0 ? AVERROR(EIO) : answer;
  }

  const AVCodec* FindEncoder() const {
    static const char* const kMp4[] = {"libx264", "mpeg4", nullptr};
    static const char* const kWebm[] = {"libvpx-vp9", "libvpx", nullptr};
    for (const char* const* names = webm_ ? kWebm : kMp4; *names; ++names) {
      if (const AVCodec* codec = avcodec_find_encoder_by_name(*names)) return codec;
    }
    return nullptr;
  }

  // Sends a frame (nullptr: the end) to the encoder and writes the packets it gives back.
  void Encode(AVFrame* input) {
    int status = avcodec_send_frame(codec_, input);
    if (status < 0) FailAv("cannot encode the video", status);
    for (;;) {
      status = avcodec_receive_packet(codec_, packet_);
      if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return;
      if (status < 0) FailAv("cannot encode the video", status);
      av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
      packet_->stream_index = stream_->index;
      status = av_interleaved_write_frame(muxer_, packet_);
      av_packet_unref(packet_);
      if (status < 0) FailAv("cannot write the video", status);
    }
  }

  bool webm_;
  int width_, height_, fps_;
  VideoOutput output_;
  long long frames_ = 0;
  AVFormatContext* muxer_ = nullptr;
  AVIOContext* io_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVStream* stream_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
};

void FfmpegEncoder::Open() {
  // The encoders' statistics and notes would go to stderr; failures come back as status codes
  // and are reported with the file's name.
  av_log_set_level(AV_LOG_FATAL);
  int status = avformat_alloc_output_context2(&muxer_, nullptr, webm_ ? "webm" : "mp4", nullptr);
  if (status < 0 || !muxer_) FailAv("cannot start the video", status);
  const AVCodec* encoder = FindEncoder();
  if (!encoder) {
    Fail(webm_ ? "this system's codec library has no VP9 or VP8 encoder"
               : "this system's codec library has no H.264 or MPEG-4 encoder");
  }
  codec_ = avcodec_alloc_context3(encoder);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!codec_ || !frame_ || !packet_) Fail("out of memory");
  codec_->width = width_;
  codec_->height = height_;
  codec_->time_base = AVRational{1, fps_};
  codec_->framerate = AVRational{fps_, 1};
  codec_->pix_fmt = AV_PIX_FMT_YUV420P;
  codec_->gop_size = 2 * fps_;  // a key frame every two seconds, for seeking
  // The colour conversion below uses the BT.601 matrix on the limited range; say so, so that a
  // player does not take an HD picture for BT.709.
  codec_->colorspace = AVCOL_SPC_SMPTE170M;
  codec_->color_range = AVCOL_RANGE_MPEG;
  codec_->color_primaries = AVCOL_PRI_BT709;
  codec_->color_trc = AVCOL_TRC_IEC61966_2_1;
  codec_->thread_count = 0;
  const std::string name = encoder->name;
  if (name == "libx264") {
    av_opt_set(codec_->priv_data, "preset", "veryfast", 0);
    av_opt_set(codec_->priv_data, "crf", "20", 0);
  } else if (name == "mpeg4") {
    codec_->qmax = 6;
    codec_->bit_rate = static_cast<std::int64_t>(width_) * height_ * fps_ / 4;
  } else {  // libvpx-vp9, libvpx
    codec_->bit_rate = 0;
    av_opt_set(codec_->priv_data, "crf", "32", 0);
    av_opt_set(codec_->priv_data, "deadline", "realtime", 0);
    av_opt_set(codec_->priv_data, "cpu-used", "8", 0);
    if (name == "libvpx-vp9") av_opt_set(codec_->priv_data, "row-mt", "1", 0);
  }
  if (muxer_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  status = avcodec_open2(codec_, encoder, nullptr);
  if (status < 0) FailAv("cannot start the " + name + " encoder", status);

  stream_ = avformat_new_stream(muxer_, nullptr);
  if (!stream_) Fail("out of memory");
  stream_->time_base = codec_->time_base;
  stream_->avg_frame_rate = codec_->framerate;
  status = avcodec_parameters_from_context(stream_->codecpar, codec_);
  if (status < 0) FailAv("cannot start the video", status);

  constexpr int kIoBufferSize = 1 << 16;
  auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
  if (!buffer) Fail("out of memory");
  io_ = avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr, IoWrite, IoSeek);
  if (!io_) {
    av_free(buffer);
    Fail("out of memory");
  }
  muxer_->pb = io_;
  muxer_->flags |= AVFMT_FLAG_CUSTOM_IO;
  status = avformat_write_header(muxer_, nullptr);
  if (status < 0) FailAv("cannot write the video's header", status);

  frame_->format = codec_->pix_fmt;
  frame_->width = width_;
  frame_->height = height_;
  status = av_frame_get_buffer(frame_, 0);
  if (status < 0) FailAv("cannot start the video", status);
  scaler_ = sws_getContext(width_, height_, AV_PIX_FMT_BGR0, width_, height_, AV_PIX_FMT_YUV420P,
                           SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!scaler_) Fail("cannot convert the pictures' colours");
}

std::unique_ptr<VideoEncoder> OpenEncoder(bool webm, int width, int height, int fps,
                                          VideoOutput output, std::string& problem) {
  auto encoder = std::make_unique<FfmpegEncoder>(webm, width, height, fps, std::move(output));
  try {
    encoder->Open();
  } catch (const Failure& e) {
    problem = e.what();
    return nullptr;
  }
  return encoder;
}

}  // namespace

}  // namespace umbrivista

extern "C" __attribute__((visibility("default"))) umbrivista::OpenVideoEncoderFn
umbrivista_video_encoder() {
  return &umbrivista::OpenEncoder;
}
