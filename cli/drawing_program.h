// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where umbrivista-cli finds the parts it loads on demand (umbrivista-cli-draw, the civil-time
// module), and the hand-over to the drawing program.

#include <string>

namespace umbrivista {

inline constexpr const char* kDrawingProgramName = "umbrivista-cli-draw";

// Part `name` of a umbrivista-cli in `programFolder`: installed, it is in ../`installedFolder`/
// (relative to the prefix beside bin/: "libexec", "lib/umbrivista/modules"); in the build tree,
// beside umbrivista-cli. The first of the two that is a regular file, else the second (so that an
// error names a sensible place).
std::string HelperPath(const std::string& programFolder, const std::string& installedFolder,
                       const std::string& name);

// Replaces this process by the drawing program (../libexec/umbrivista-cli-draw) with the same
// arguments (argv[0] included), environment, standard streams and process id, so that its
// output, signals and exit status are those of the command. Returns only when the program cannot
// be started: throws std::runtime_error naming it.
void ExecDrawingProgram(char** argv);

}  // namespace umbrivista
