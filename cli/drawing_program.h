// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hand-over of umbrivista-cli to its drawing program.

#include <string>

namespace umbrivista {

inline constexpr const char* kDrawingProgramName = "umbrivista-cli-draw";

// Replaces this process by the drawing program (../libexec/umbrivista-cli-draw) with the same
// arguments (argv[0] included), environment, standard streams and process id, so that its
// output, signals and exit status are those of the command. Returns only when the program cannot
// be started: throws std::runtime_error naming it.
void ExecDrawingProgram(char** argv);

}  // namespace umbrivista
