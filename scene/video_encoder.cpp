// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "video_encoder.h"

#include <sys/stat.h>

#include "data_files.h"

namespace umbrivista {

OpenVideoEncoderFn VideoEncoders() {
  static const OpenVideoEncoderFn open = [] {
    // Installed: ../lib/umbrivista/modules/ from bin/ or libexec/; built: beside the programs,
    // where a test or benchmark built elsewhere in the tree finds it too.
    std::string path = HelperPath(ProgramFolder(), "lib/umbrivista/modules", kVideoModuleName);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
      path = std::string(UMBRIVISTA_BUILT_PROGRAMS) + "/" + kVideoModuleName;
    }
    // Never unloaded: the codec libraries stay until the process ends.
    void* entry = LoadModuleEntry(path, kVideoEntry, "the video module " + path);
    return reinterpret_cast<OpenVideoEncoderFn (*)()>(entry)();
  }();
  return open;
}

}  // namespace umbrivista
