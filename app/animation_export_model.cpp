// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "animation_export_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "eclipse_date.h"
#include "navigation.h"
#include "numbers.h"
#include "shadow.h"

namespace umbrivista {

namespace {

std::string Fill(std::string text, const std::string& first, const std::string& second = {}) {
  if (const auto at = text.find("%1"); at != std::string::npos) text.replace(at, 2, first);
  if (const auto at = text.find("%2"); at != std::string::npos) text.replace(at, 2, second);
  return text;
}

}  // namespace

std::string AnimationTextFor(AnimationText text, Language language) {
  if (!IsKnownLanguage(language)) return {};
  struct Row {
    AnimationText text;
    std::array<const char*, 3> words;
  };
  static const Row kRows[] = {
      {AnimationText::kMenuCommand,
       {"Animation exportieren", "Export animation", "Exporter l'animation"}},
      {AnimationText::kSize, {"Bildgröße", "Picture size", "Taille de l'image"}},
      {AnimationText::kSpeed,
       {"Finsternis-Zeit je Sekunde Video", "Eclipse time per second of video",
        "Temps de l'éclipse par seconde de vidéo"}},
      {AnimationText::kFrom, {"Von", "From", "De"}},
      {AnimationText::kTo, {"Bis", "To", "À"}},
      {AnimationText::kSummary,
       {"%1 Bilder, %2 s Video", "%1 frames, %2 s of video", "%1 images, %2 s de vidéo"}},
      {AnimationText::kStartAfterEnd,
       {"Der Anfang muss vor dem Ende liegen", "The start must come before the end",
        "Le début doit précéder la fin"}},
      {AnimationText::kTooManyFrames,
       {"Mehr als %1 Bilder: eine höhere Geschwindigkeit oder eine kürzere Zeit wählen",
        "More than %1 frames: choose a higher speed or a shorter time",
        "Plus de %1 images : choisir une vitesse plus élevée ou une durée plus courte"}},
      {AnimationText::kProgress, {"Bild %1 von %2", "Frame %1 of %2", "Image %1 sur %2"}},
      {AnimationText::kFailed,
       {"Die Animation wurde nicht geschrieben:", "The animation was not written:",
        "L'animation n'a pas été écrite :"}},
      {AnimationText::kFileFilter,
       {"Videos (*.mp4 *.webm *.gif)", "Videos (*.mp4 *.webm *.gif)",
        "Vidéos (*.mp4 *.webm *.gif)"}},
  };
  for (const Row& row : kRows) {
    if (row.text == text) return row.words[LanguageIndex(language)];
  }
  return {};
}

std::string AnimationSizeItem(const PictureSize& size) {
  return std::to_string(size.width) + " × " + std::to_string(size.height);
}

std::string AnimationSpeedItem(int secondsPerSecond) {
  return "×" + std::to_string(secondsPerSecond) + " (" + std::to_string(secondsPerSecond / 60) +
         " min/s)";
}

AnimationExportModel::AnimationExportModel(const EclipseRecord& record, double deltaT,
                                           Language language)
    : record_(record),
      deltaT_(deltaT),
      language_(language),
      fromHours_(-kTimeSliderHalfRangeHours),
      toHours_(kTimeSliderHalfRangeHours) {}

void AnimationExportModel::SetSizeIndex(int index) {
  sizeIndex_ = std::clamp(index, 0, static_cast<int>(kAnimationSizes.size()) - 1);
}

void AnimationExportModel::SetSpeedIndex(int index) {
  speedIndex_ = std::clamp(index, 0, static_cast<int>(kAnimationSpeeds.size()) - 1);
}

bool AnimationExportModel::SetFromText(std::string_view text) {
  const auto seconds = ParseClockTime(text);
  const auto position =
      seconds ? SliderPositionForClockTime(record_, deltaT_, *seconds) : std::nullopt;
  fromValid_ = position.has_value();
  if (position) fromHours_ = TimeForSliderPosition(*position);
  return fromValid_;
}

bool AnimationExportModel::SetToText(std::string_view text) {
  const auto seconds = ParseClockTime(text);
  const auto position =
      seconds ? SliderPositionForClockTime(record_, deltaT_, *seconds) : std::nullopt;
  toValid_ = position.has_value();
  if (position) toHours_ = TimeForSliderPosition(*position);
  return toValid_;
}

std::string AnimationExportModel::ClockText(double hours) const {
  const double jd = InstantJulianDay(record_, hours, deltaT_);
  long long seconds = std::llround((jd + 0.5 - std::floor(jd + 0.5)) * 86400);
  seconds %= 86400;
  char text[16];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return text;
}

std::string AnimationExportModel::FromText() const { return ClockText(fromHours_); }
std::string AnimationExportModel::ToText() const { return ClockText(toHours_); }

AnimationRange AnimationExportModel::Range() const {
  return AnimationRange{fromHours_, toHours_,
                        static_cast<double>(kAnimationSpeeds[static_cast<std::size_t>(speedIndex_)]) /
                            kAnimationFramesPerSecond};
}

std::string AnimationExportModel::Problem() const {
  if (!fromValid_ || !toValid_) return TimeBoxHint(language_);
  if (!(fromHours_ < toHours_)) return AnimationTextFor(AnimationText::kStartAfterEnd, language_);
  if (FrameCount() > kMaxAnimationFrames) {
    return Fill(AnimationTextFor(AnimationText::kTooManyFrames, language_),
                std::to_string(kMaxAnimationFrames));
  }
  return {};
}

std::string AnimationExportModel::SummaryText() const {
  std::string problem = Problem();
  if (!problem.empty()) return problem;
  const long long frames = FrameCount();
  return Fill(AnimationTextFor(AnimationText::kSummary, language_), std::to_string(frames),
              FormatFixed(static_cast<double>(frames) / kAnimationFramesPerSecond, 1));
}

std::string AnimationExportModel::DefaultFileName() const {
  const CalendarDate d = GreatestEclipseDate(record_, deltaT_);
  return "Umbrivista_" + IsoDate(d.year, d.month, d.day) + ".mp4";
}

}  // namespace umbrivista
