#include "version_info.h"

namespace umbrivista {

std::array<VersionRow, kVersionRowCount> VersionInfoRows(const BuildFacts& f) {
  auto yesNo = [](bool flag) { return std::string(flag ? "Yes" : "No"); };
  return {{
      {"FileType        ", f.fileType},
      {"CompanyName     ", "The Umbrivista developers"},
      {"FileDescription ", "Umbrivista: solar eclipses on a globe"},
      {"FileVersion     ", f.version},
      {"InternalName    ", "umbrivista"},
      {"LegalCopyRight  ", "Copyright 2026 the Umbrivista developers"},
      {"LegalTradeMarks ", ""},
      {"OriginalFileName", "umbrivista"},
      {"ProductName     ", "Umbrivista"},
      {"ProductVersion  ", f.version},
      {"SpecialBuildStr ", ""},
      {"PrivateBuildStr ", ""},
      {"FileFunction    ", "Application"},
      {"DebugBuild      ", yesNo(f.debug)},
      {"PreRelease      ", yesNo(f.preRelease)},
      {"PrivateBuild    ", yesNo(f.privateBuild)},
      {"SpecialBuild    ", yesNo(f.specialBuild)},
  }};
}

std::string ProductLabel(const std::string& version) { return "Umbrivista      " + version; }

}  // namespace umbrivista
