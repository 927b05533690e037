// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "civil_clock.h"

#include <dlfcn.h>

#include <stdexcept>

#include "cli.h"
#include "data_files.h"

namespace umbrivista {

namespace {

const CivilTimeFunctions& Functions() {
  static const CivilTimeFunctions* functions = [] {
    const std::string path =
        HelperPath(ProgramFolder(), "lib/umbrivista/modules", kCivilTimeModuleName);
    // Never unloaded: Qt Core stays until the process ends.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    void* entry = module ? ::dlsym(module, kCivilTimeEntry) : nullptr;
    if (!entry) {
      const char* why = ::dlerror();
      throw std::runtime_error("cannot load the civil-time module " + Echo(path) + ": " +
                               (why ? why : "no entry point"));
    }
    return reinterpret_cast<const CivilTimeFunctions* (*)()>(entry)();
  }();
  return *functions;
}

}  // namespace

CivilOffsetFn CivilOffsets() {
  return Functions().zoneOffset;
}

bool KnownZone(const std::string& zone) {
  return Functions().isKnownZone(zone);
}

}  // namespace umbrivista
