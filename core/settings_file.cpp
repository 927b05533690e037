// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_file.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "regular_file.h"
#include "safe_file.h"

namespace umbrivista {

namespace {

// No settings file is larger; anything beyond is not read.
constexpr std::size_t kMaxSettingsBytes = 4096;

}  // namespace

std::string SaveSettings(const std::string& path, const SettingsRecord& record) {
  try {
    const auto bytes = EncodeSettings(record);
    WriteFileSafely(path, bytes);
    return {};
  } catch (const std::exception& e) {
    return e.what();
  }
}

LoadedSettings LoadOrCreateSettings(const std::string& path, const std::string& version,
                                    const SettingsLimits& limits) {
  LoadedSettings loaded;
  std::error_code ec;
  if (const std::string kind = NonRegularKind(path); !kind.empty()) {
    // A named pipe would keep the program waiting, and nothing can replace a folder or a device:
    // the defaults are used and nothing is written there.
    loaded.record = DefaultSettings(version);
    loaded.firstRun = true;
    loaded.problem = path + ": is not a regular file but " + kind + "; the defaults are used";
    return loaded;
  }
  if (std::filesystem::exists(path, ec)) {
    std::vector<std::uint8_t> bytes;
    std::string openProblem;
    const int fd = OpenRegularFile(path, openProblem);
    if (fd >= 0) {
      bytes.resize(kMaxSettingsBytes);
      std::size_t got = 0;
      while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
      }
      bytes.resize(got);
      ::close(fd);
    } else {
      loaded.problem = path + ": cannot be read; the defaults are used";
    }
    loaded.record = DecodeSettings(bytes, limits);
    loaded.fileExists = true;
    if (loaded.record.version == CutUtf8(version, 16)) return loaded;
    // Another version: its window places and choices go, the place and the years stay.
    loaded.record = SettingsAfterVersionChange(loaded.record, version);
    loaded.firstRun = true;
  } else {
    loaded.firstRun = true;
    loaded.record = DefaultSettings(version);
  }
  const std::string problem = SaveSettings(path, loaded.record);
  if (problem.empty()) {
    loaded.fileExists = true;
  } else {
    loaded.problem = problem;
  }
  return loaded;
}

}  // namespace umbrivista
