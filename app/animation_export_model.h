// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The choices of the animation export dialog, without any widget: the picture size, the speed and
// the time range of the shown eclipse, typed as times of day in the window's time scale, and what
// they come to (frames, length of the video, or why they cannot be used). Its texts in the three
// languages.

#include <array>
#include <string>
#include <string_view>

#include "animation_export.h"
#include "eclipse_record.h"
#include "language.h"

namespace umbrivista {

struct PictureSize {
  int width = 0;
  int height = 0;
};
inline constexpr std::array<PictureSize, 5> kAnimationSizes = {
    {{480, 480}, {800, 800}, {1080, 1080}, {1280, 720}, {1920, 1080}}};
inline constexpr int kDefaultAnimationSize = 1;
// Speeds: seconds of eclipse time per second of video (the window's play speeds and more).
inline constexpr std::array<int, 5> kAnimationSpeeds = {60, 300, 600, 1200, 2400};
inline constexpr int kDefaultAnimationSpeed = 3;
inline constexpr int kAnimationFramesPerSecond = 25;

enum class AnimationText {
  kMenuCommand,   // the dialog's title
  kSize,
  kSpeed,
  kFrom,
  kTo,
  kSummary,       // "%1 frames, %2 s of video"
  kStartAfterEnd,
  kTooManyFrames,  // "more than %1 frames"
  kProgress,       // "Frame %1 of %2"
  kFailed,         // before the reason
  kFileFilter,
};
std::string AnimationTextFor(AnimationText text, Language language);

// "800 × 800"
std::string AnimationSizeItem(const PictureSize& size);
// "×1200 (20 min/s)"
std::string AnimationSpeedItem(int secondsPerSecond);

class AnimationExportModel {
 public:
  // The eclipse, the ΔT of the shown time scale (0 for TT) and the language of the texts. The
  // range starts as the time slider's whole range.
  AnimationExportModel(const EclipseRecord& record, double deltaT, Language language);

  // Indexes into kAnimationSizes and kAnimationSpeeds, clamped.
  void SetSizeIndex(int index);
  void SetSpeedIndex(int index);
  int SizeIndex() const { return sizeIndex_; }
  int SpeedIndex() const { return speedIndex_; }
  PictureSize Size() const { return kAnimationSizes[static_cast<std::size_t>(sizeIndex_)]; }

  // The start and the end as "HH:MM" or "HH:MM:SS" within the time slider's range; false (the
  // time stays, Problem() gives the box's hint) for any other text.
  bool SetFromText(std::string_view text);
  bool SetToText(std::string_view text);
  // The start and the end as the boxes show them, "HH:MM:SS".
  std::string FromText() const;
  std::string ToText() const;

  AnimationRange Range() const;
  long long FrameCount() const { return AnimationFrameCount(Range()); }
  // What stands in the way of an export ("" when nothing does).
  std::string Problem() const;
  // The problem, or the frames and the length of the video.
  std::string SummaryText() const;
  // A file name for the save dialog: "Umbrivista_YYYY-MM-DD.mp4".
  std::string DefaultFileName() const;

 private:
  std::string ClockText(double hours) const;

  EclipseRecord record_;
  double deltaT_ = 0;
  Language language_;
  int sizeIndex_ = kDefaultAnimationSize;
  int speedIndex_ = kDefaultAnimationSpeed;
  double fromHours_;
  double toHours_;
  bool fromValid_ = true;
  bool toValid_ = true;
};

}  // namespace umbrivista
