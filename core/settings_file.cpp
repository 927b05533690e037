#include "settings_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

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
  if (std::filesystem::exists(path, ec)) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes;
    if (in) {
      bytes.resize(kMaxSettingsBytes);
      in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      bytes.resize(static_cast<std::size_t>(in.gcount()));
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
