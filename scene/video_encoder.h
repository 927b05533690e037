// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// MP4 and WebM encoding through FFmpeg's libraries. They and the codecs they pull in are well
// over a hundred shared libraries, so they live in a module of their own
// (umbrivista-video.so), loaded when the first video is written: the program and the drawing
// commands start without them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace umbrivista {

// Where the encoded bytes go. `write` answers false when the bytes could not be written; `seek`
// takes an offset and SEEK_SET, SEEK_CUR or SEEK_END and answers the new position, or −1.
struct VideoOutput {
  std::function<bool(const std::uint8_t* data, std::size_t size)> write;
  std::function<std::int64_t(std::int64_t offset, int whence)> seek;
};

// One video being encoded. Every call answers "" when done, else what went wrong.
class VideoEncoder {
 public:
  virtual ~VideoEncoder() = default;
  // A frame of 32-bit pixels (bytes blue, green, red, unused), rows `stride` bytes apart.
  virtual std::string AddFrame(const std::uint8_t* pixels, int stride) = 0;
  // Writes what the encoder still holds and the container's end.
  virtual std::string Finish() = 0;
  virtual std::string CodecName() const = 0;
};

// What the module's entry point returns: an encoder for an MP4 (`webm` false: H.264, else
// MPEG-4 Visual) or a WebM (VP9, else VP8) of the given size and frame rate, or nullptr with
// `problem` set.
using OpenVideoEncoderFn = std::unique_ptr<VideoEncoder> (*)(bool webm, int width, int height,
                                                             int fps, VideoOutput output,
                                                             std::string& problem);
inline constexpr const char* kVideoModuleName = "umbrivista-video.so";
inline constexpr const char* kVideoEntry = "umbrivista_video_encoder";

// The module's entry, loaded on the first call and kept. Throws std::runtime_error naming the
// module when it cannot be loaded.
OpenVideoEncoderFn VideoEncoders();

}  // namespace umbrivista
