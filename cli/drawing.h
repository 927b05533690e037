// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands that draw pictures. They live in their own program, umbrivista-cli-draw, which
// umbrivista-cli starts for them, so that the commands that only compute or print never load
// Qt's display libraries.

#include "cli.h"

namespace umbrivista {

int RunRender(Args& args);
int RunSketch(Args& args);

// Before a QGuiApplication that only paints pictures: the offscreen platform unless one is
// chosen, and only Qt's critical messages on stderr. The application's argc and argv.
void PrepareOffscreenGui();
int& OffscreenArgc();
char** OffscreenArgv();

}  // namespace umbrivista
