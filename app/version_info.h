#pragma once
// The rows of the version panel: key (padded to 16 characters) and value.

#include <array>
#include <string>

namespace umbrivista {

struct VersionRow {
  std::string key;
  std::string value;
};
inline constexpr int kVersionRowCount = 17;

// What the build says about itself; the flags are false unless the build sets them.
struct BuildFacts {
  std::string version;   // "0.1.0"
  std::string fileType;  // the MIME database's name of the program file's type
  bool debug = false, preRelease = false, privateBuild = false, specialBuild = false;
};

std::array<VersionRow, kVersionRowCount> VersionInfoRows(const BuildFacts& facts);

// "Umbrivista      0.1.0": the product label of the panel.
std::string ProductLabel(const std::string& version);

}  // namespace umbrivista
