// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's icon, drawn here: the Sun in totality, a black Moon with the white corona and a
// bright bead of light at its edge.

#include <QIcon>
#include <QImage>

namespace umbrivista {

// The picture at `size` × `size` pixels (transparent around the corona).
QImage DrawAppIcon(int size);
// The icon at the usual sizes, for every window of the program.
QIcon AppIcon();

}  // namespace umbrivista
