#include "report_run.h"

#include <cstdint>
#include <span>

#include "safe_file.h"

namespace umbrivista {

std::string SavedReportText(const ReportRun& run) {
  return SavedFileText(run.kind, run.language, run.rows);
}

void SaveReport(const ReportRun& run, const std::string& path, const std::string& source) {
  const std::string text = SavedReportText(run);
  WriteFileSafely(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                  source);
}

}  // namespace umbrivista
