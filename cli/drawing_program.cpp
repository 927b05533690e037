// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "cli.h"
#include "data_files.h"

namespace umbrivista {

std::string HelperPath(const std::string& programFolder, const std::string& installedFolder,
                       const std::string& name) {
  const std::filesystem::path folder(programFolder);
  const std::filesystem::path candidates[] = {
      (folder / ".." / installedFolder / name).lexically_normal(),
      folder / name,
  };
  for (const auto& candidate : candidates) {
    struct stat st;
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return candidate.string();
  }
  return candidates[1].string();
}

void ExecDrawingProgram(char** argv) {
  const std::string path = HelperPath(ProgramFolder(), "libexec", kDrawingProgramName);
  ::execv(path.c_str(), argv);
  throw std::runtime_error("cannot start the drawing program " + Echo(path) + ": " +
                           std::strerror(errno));
}

}  // namespace umbrivista
