// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// render's animation: the options that turn one picture into a run of instants, and the run.

#include <optional>
#include <string>

#include "animation_export.h"
#include "cli.h"

namespace umbrivista {

class GlobePicture;

struct RenderAnimation {
  AnimationRange range;
  int fps = 25;
};

// --from H --to H --step S [--fps N], checked; nullopt when none of the three is given.
// Throws UsageError.
std::optional<RenderAnimation> TakeRenderAnimation(Args& args);

// Usage errors of the output name before anything is drawn: an animation needs a name ending in
// .mp4, .webm or .gif and a size its format can hold; a single picture is never written under
// such a name.
void CheckRenderOutput(const std::string& out, const std::optional<RenderAnimation>& animation,
                       int width, int height);

// Draws and writes the animation; `centred`: a --centre was given (its far-side error names it).
int RunRenderAnimation(GlobePicture& picture, const RenderAnimation& animation,
                       const std::string& out, bool centred);

}  // namespace umbrivista
