// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an exported or printed picture of the main window's globe shows: the session's eclipse,
// instant, time scale, view, zoom, texture, grid, limits, capitals, sub-solar marker and points
// of interest, and the title block that goes with it.

#include <string>
#include <vector>

#include "globe_picture_options.h"
#include "map_mark.h"
#include "session.h"
#include "title_block.h"

namespace umbrivista {

// The globe as the session shows it in a panel of `panelWidth` × `panelHeight`, drawn into a
// picture of `width` × `height` pixels: at the same zoom, its centre where a drag put it
// relative to the panel's centre, so that a picture of the panel's size is the panel's globe.
GlobePictureOptions WindowPictureOptions(const Session& session, int width, int height,
                                         int panelWidth, int panelHeight, std::string texturePath,
                                         std::vector<MapMark> listMarks);

// The title block's input for such a picture.
TitleBlockInput WindowTitleBlockInput(const Session& session, bool listPoints);

// The name the export dialog offers: "eclipse-2024-04-08", by the date of greatest eclipse in the
// shown time scale; the dialog adds the ending of the file type chosen.
std::string DefaultPictureName(const Session& session);

}  // namespace umbrivista
