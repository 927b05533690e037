// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A globe picture with its title block (core/title_block.h) below it: painted onto any QPainter
// (a picture, an SVG, a PDF, a printer's page), or encoded as a whole PNG, SVG or PDF file. The
// globe stays a raster picture; the title block is drawn as text and lines, so that SVG and PDF
// keep it sharp.

#include <QByteArray>
#include <QImage>
#include <QRectF>

#include "globe_picture_options.h"
#include "title_block.h"

class QPainter;
class QPaintDevice;

namespace umbrivista {

// Height the block takes at `width` device units on `device` (its resolution sets the smallest
// letters: 10 pixels at 96 dpi). The letters grow with the width: about 48 title letters fit.
double TitleBlockHeight(const TitleBlock& block, double width, const QPaintDevice* device);

// The block in `area` (its height as TitleBlockHeight gives): white ground, the title in bold,
// the instant, then the legend in one or two columns, each row with a small swatch drawn as the
// globe draws that curve or mark, on a dark tile like the globe's surroundings.
void PaintTitleBlock(QPainter& painter, const QRectF& area, const TitleBlock& block);

// The globe scaled to fit `area` above the block (without `block`, the globe alone), centred
// across; the block spans the area's width right under the globe. Gives the globe's rectangle.
QRectF PaintGlobeSheet(QPainter& painter, const QRectF& area, const QImage& globe,
                       const TitleBlock* block);

// The globe with the block below it, as one picture as wide as the globe and taller by the
// block; the globe alone without `block`.
QImage GlobeWithTitleBlock(const QImage& globe, const TitleBlock* block);

// The file's bytes: a PNG picture, an SVG document (the globe as an embedded PNG) or a PDF of
// one page as large as the picture at 96 dpi. Throws std::runtime_error when the encoding fails.
QByteArray EncodeGlobeSheet(PictureFormat format, const QImage& globe, const TitleBlock* block);

}  // namespace umbrivista
