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

std::string DrawingProgramPath(const std::string& programFolder) {
  const std::filesystem::path folder(programFolder);
  const std::filesystem::path candidates[] = {
      (folder / ".." / "libexec" / kDrawingProgramName).lexically_normal(),
      folder / kDrawingProgramName,
  };
  for (const auto& candidate : candidates) {
    struct stat st;
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0) {
      return candidate.string();
    }
  }
  return candidates[1].string();
}

void ExecDrawingProgram(char** argv) {
  const std::string path = DrawingProgramPath(ProgramFolder());
  ::execv(path.c_str(), argv);
  throw std::runtime_error("cannot start the drawing program " + Echo(path) + ": " +
                           std::strerror(errno));
}

}  // namespace umbrivista
