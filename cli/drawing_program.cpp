// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "cli.h"
#include "data_files.h"

namespace umbrivista {

void ExecDrawingProgram(char** argv) {
  const std::string path = HelperPath(ProgramFolder(), "libexec", kDrawingProgramName);
  ::execv(path.c_str(), argv);
  throw std::runtime_error("cannot start the drawing program " + Echo(path) + ": " +
                           std::strerror(errno));
}

}  // namespace umbrivista
