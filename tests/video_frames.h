// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a video, an animated GIF or a still picture back frame by frame with FFmpeg's libraries,
// to check what an animation holds: how many frames, their size, and chosen frames as RGB bytes.
// Link PkgConfig::LIBAV (tests/CMakeLists.txt: umbrivista_link_libav).

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace umbrivista {

struct DecodedVideo {
  std::string error;  // empty when the file could be read to its end
  std::string codec;
  int frames = 0;
  int width = 0, height = 0;
  double seconds = 0;  // the container's length
  std::map<int, std::vector<std::uint8_t>> rgb;  // the kept frames, 3 bytes a pixel, no padding
};

// Decodes every frame of `path`; the frames numbered in `keep` are kept as RGB.
inline DecodedVideo DecodeVideo(const std::string& path, const std::set<int>& keep = {}) {
  DecodedVideo video;
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) {
    video.error = "cannot open";
    return video;
  }
  AVCodecContext* codec = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  SwsContext* scaler = nullptr;
  auto take = [&]() {
    for (;;) {
      const int status = avcodec_receive_frame(codec, frame);
      if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
      if (status < 0) return false;
      video.width = frame->width;
      video.height = frame->height;
      if (keep.count(video.frames)) {
        scaler = sws_getCachedContext(scaler, frame->width, frame->height,
                                      static_cast<AVPixelFormat>(frame->format), frame->width,
                                      frame->height, AV_PIX_FMT_RGB24, SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr,
                                      nullptr);
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(frame->width) * frame->height * 3);
        std::uint8_t* out[4] = {rgb.data(), nullptr, nullptr, nullptr};
        int outStride[4] = {frame->width * 3, 0, 0, 0};
        sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, out, outStride);
        video.rgb[video.frames] = std::move(rgb);
      }
      ++video.frames;
      av_frame_unref(frame);
    }
  };
  const int stream = avformat_find_stream_info(input, nullptr) < 0
                         ? -1
                         : av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (input->duration > 0) video.seconds = static_cast<double>(input->duration) / AV_TIME_BASE;
  if (stream < 0) {
    video.error = "no video stream";
  } else {
    const AVCodecParameters* parameters = input->streams[stream]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    codec = decoder ? avcodec_alloc_context3(decoder) : nullptr;
    if (!codec || avcodec_parameters_to_context(codec, parameters) < 0 ||
        avcodec_open2(codec, decoder, nullptr) < 0) {
      video.error = "cannot decode";
    } else {
      video.codec = decoder->name;
      while (video.error.empty() && av_read_frame(input, packet) >= 0) {
        if (packet->stream_index == stream &&
            (avcodec_send_packet(codec, packet) < 0 || !take())) {
          video.error = "broken frame";
        }
        av_packet_unref(packet);
      }
      if (video.error.empty() && (avcodec_send_packet(codec, nullptr) < 0 || !take())) {
        video.error = "broken end";
      }
    }
  }
  sws_freeContext(scaler);
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&codec);
  avformat_close_input(&input);
  return video;
}

// The mean absolute difference of two RGB pictures of the same size, per channel (0 … 255).
inline double MeanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 255;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return sum / static_cast<double>(a.size());
}

}  // namespace umbrivista
