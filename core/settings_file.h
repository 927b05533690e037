// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file: read or created when the program starts, written back when it closes.

#include <string>

#include "settings_record.h"

namespace umbrivista {

struct LoadedSettings {
  SettingsRecord record;
  bool fileExists = false;  // written back at close only then
  bool firstRun = false;    // no file, or one of another version: the window starts afresh
  std::string problem;      // what went wrong reading or creating the file ("" when nothing)
};

// Reads `path`; a record of another version is replaced by the new version's defaults (keeping
// the place-history fields, the UT switch and the population threshold) and written at once; a
// missing file is created with the defaults. Damaged fields take their defaults (and the file is
// rewritten at close). A path that is not a regular file (a named pipe, a folder, a device) is
// neither read nor written: the defaults are used, `fileExists` stays false and `problem` names
// it. `firstRun` tells the window to start with the globe fitted and centred.
LoadedSettings LoadOrCreateSettings(const std::string& path, const std::string& version,
                                    const SettingsLimits& limits);

// Writes the record to `path` through a temporary file; "" when done, else what went wrong (the
// old file is then as it was).
std::string SaveSettings(const std::string& path, const SettingsRecord& record);

}  // namespace umbrivista
