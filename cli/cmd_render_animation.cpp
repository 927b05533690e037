// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// render --from H --to H --step S: the globe pictures of a run of instants written as an MP4,
// WebM or GIF animation.

#include <stdexcept>
#include <string>

#include "cli_render.h"
#include "globe_picture.h"

namespace umbrivista {

std::optional<RenderAnimation> TakeRenderAnimation(Args& args) {
  const auto from = args.TakeOption("from");
  const auto to = args.TakeOption("to");
  const auto step = args.TakeOption("step");
  const auto fps = args.TakeOption("fps");
  if (!from && !to && !step) {
    if (fps) throw UsageError("--fps needs --from, --to and --step");
    return std::nullopt;
  }
  if (!from || !to || !step) throw UsageError("an animation needs --from, --to and --step");
  RenderAnimation animation;
  animation.range.fromHours = ParseRealArg(*from, "--from", -kMaxHoursFromT0, kMaxHoursFromT0, "hours");
  animation.range.toHours = ParseRealArg(*to, "--to", -kMaxHoursFromT0, kMaxHoursFromT0, "hours");
  if (!(animation.range.fromHours < animation.range.toHours)) {
    throw UsageError("--from must come before --to, not " + Echo(*from) + " and " + Echo(*to));
  }
  constexpr double kMaxStepSeconds = 2 * kMaxHoursFromT0 * 3600;
  animation.range.stepSeconds = ParseRealArg(*step, "--step", 0, kMaxStepSeconds, "s");
  if (!(animation.range.stepSeconds > 0)) throw UsageError("--step must be more than 0 s");
  const long long frames = AnimationFrameCount(animation.range);
  if (frames > kMaxAnimationFrames) {
    throw UsageError("the animation would have " + std::to_string(frames) +
                     " frames; at most " + std::to_string(kMaxAnimationFrames) +
                     " are written (a longer --step or a shorter range)");
  }
  animation.fps = fps ? ParseIntArg(*fps, "--fps", kMinAnimationFps, kMaxAnimationFps) : 25;
  return animation;
}

void CheckRenderOutput(const std::string& out, const std::optional<RenderAnimation>& animation,
                       int width, int height) {
  const auto format = AnimationFormatFor(out);
  if (!animation) {
    if (format) throw UsageError(Echo(out) + ": an animation needs --from, --to and --step");
    return;
  }
  if (!format) throw UsageError("an animation's --out must end in .mp4, .webm or .gif, not " + Echo(out));
  const std::string problem = AnimationSizeProblem(*format, width, height);
  if (!problem.empty()) throw UsageError(Echo(out) + ": " + problem);
}

int RunRenderAnimation(GlobePicture& picture, const RenderAnimation& animation,
                       const std::string& out, bool centred) {
  try {
    WriteGlobeAnimation(picture, animation.range, animation.fps, out);
  } catch (const AnimationError&) {
    throw;
  } catch (const std::runtime_error& e) {
    if (!centred) throw;
    throw std::runtime_error(std::string("--centre ") + e.what());
  }
  return 0;
}

}  // namespace umbrivista
