// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Animations of the globe written as video files: a run of instants, each drawn as the main
// window's globe picture, encoded as MP4 (H.264, or MPEG-4 Visual where the system's codec
// library lacks H.264), WebM (VP9, else VP8) or an animated GIF, chosen by the file's ending.
// The file is written beside the target under a temporary name and renamed into place only when
// complete: a failure or a cancelled run leaves any existing file as it was.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace umbrivista {

class GlobePicture;

enum class AnimationFormat { kMp4, kWebm, kGif };

// The format named by the file's ending (.mp4, .m4v, .webm, .gif, in any case); nullopt for any
// other name.
std::optional<AnimationFormat> AnimationFormatFor(const std::string& path);

// What is wrong with a picture size for the format ("" when it can be written): MP4 and WebM
// store colour at half resolution and need an even width and height.
std::string AnimationSizeProblem(AnimationFormat format, int width, int height);

// The instants of an animation: from `fromHours` to `toHours` (hours from T0) every
// `stepSeconds` seconds of eclipse time; the last frame is the last step that does not pass
// `toHours` (a step that lands on it within a microsecond counts).
struct AnimationRange {
  double fromHours = 0;
  double toHours = 0;
  double stepSeconds = 60;
};
// The number of frames (0 when the range is empty, backwards or its step is not positive).
long long AnimationFrameCount(const AnimationRange& range);
double AnimationFrameTime(const AnimationRange& range, long long frame);

inline constexpr int kMaxAnimationFrames = 10000;
inline constexpr int kMinAnimationFps = 1;
inline constexpr int kMaxAnimationFps = 60;

// A file that could not be written; the message names the file and the reason.
class AnimationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes frames of `width` × `height` pixels, `fps` a second, to `path` in the format of its
// ending. Each frame is 32-bit pixels with the bytes blue, green, red and one unused (a QImage of
// Format_RGB32 on this platform), rows `stride` bytes apart. AddFrame copies the frame and returns
// while it is encoded on a thread of the writer's own, so that the caller draws the next one
// meanwhile; an encoder's failure is thrown by a later AddFrame or by Finish. Throws
// AnimationError.
class AnimationWriter {
 public:
  AnimationWriter(const std::string& path, int width, int height, int fps);
  ~AnimationWriter();  // without Finish(): the temporary file is removed
  AnimationWriter(const AnimationWriter&) = delete;
  AnimationWriter& operator=(const AnimationWriter&) = delete;

  void AddFrame(const std::uint8_t* pixels, int stride);
  // Writes what the encoder still holds and the file's end, and renames the file into place.
  void Finish();
  // The codec in use ("libx264", "libvpx-vp9", "gif", …).
  std::string CodecName() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Draws every frame of `range` with `picture` and writes them to `path` at `fps`. `progress` is
// told (frames written, frame count) before the first frame and after each one; when it answers
// false the run stops, the file is not written and the answer is false. Throws AnimationError
// (and what GlobePicture::Render throws).
bool WriteGlobeAnimation(GlobePicture& picture, const AnimationRange& range, int fps,
                         const std::string& path,
                         const std::function<bool(long long done, long long total)>& progress = {});

}  // namespace umbrivista
