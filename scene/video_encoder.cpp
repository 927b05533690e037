// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "video_encoder.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <stdexcept>

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
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    void* entry = module ? ::dlsym(module, kVideoEntry) : nullptr;
    if (!entry) {
      const char* why = ::dlerror();
      throw std::runtime_error("cannot load the video module " + path + ": " +
                               (why ? why : "no entry point"));
    }
    return reinterpret_cast<OpenVideoEncoderFn (*)()>(entry)();
  }();
  return open;
}

}  // namespace umbrivista
