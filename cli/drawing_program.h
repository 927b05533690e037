#pragma once
// Where umbrivista-cli finds umbrivista-cli-draw, and the hand-over to it.

#include <string>

namespace umbrivista {

inline constexpr const char* kDrawingProgramName = "umbrivista-cli-draw";

// The drawing program for a umbrivista-cli in `programFolder`: installed, it is in
// ../libexec/ beside bin/; in the build tree, beside umbrivista-cli. The first of the two that
// is an executable file, else the second (so that the error names a sensible place).
std::string DrawingProgramPath(const std::string& programFolder);

// Replaces this process by the drawing program with the same arguments (argv[0] included),
// environment, standard streams and process id, so that its output, signals and exit status are
// those of the command. Returns only when the program cannot be started: throws
// std::runtime_error naming it.
void ExecDrawingProgram(char** argv);

}  // namespace umbrivista
