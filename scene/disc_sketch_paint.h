// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paints a disc sketch: a row of frames, one per contact and greatest eclipse, each with the Sun
// and the Moon as the observer sees them (zenith up), the north point, the contact point and the
// horizon, and its caption underneath. A frame whose Sun is below the horizon is greyed.

#include <string>
#include <vector>

#include "disc_sketch.h"

class QPainter;
class QRectF;

namespace umbrivista {

// Fills `area` with a light background and paints the frames of `sketch` side by side, all at
// one scale; captions[i] (lines separated by '\n') goes under frame i, and `title`, when not
// empty, on a line above the row. Texts wider than their frame are shortened with "…". Leaves the
// painter's state as it found it.
void PaintDiscSketch(QPainter& painter, const QRectF& area, const DiscSketch& sketch,
                     const std::vector<std::string>& captions, const std::string& title = {});

}  // namespace umbrivista
