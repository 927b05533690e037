// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "civil_clock.h"

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
    void* entry = LoadModuleEntry(path, kCivilTimeEntry, "the civil-time module " + Echo(path));
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
