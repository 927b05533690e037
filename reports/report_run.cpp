// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_run.h"

#include <cstdint>
#include <span>

#include "safe_file.h"

namespace umbrivista {

std::size_t AppendListLines(const std::vector<ReportRow>& rows, std::size_t from,
                            std::string& text) {
  for (std::size_t i = from; i < rows.size(); ++i) (text += rows[i].list) += '\n';
  return rows.size();
}

std::string SavedReportText(const ReportRun& run) {
  return SavedFileText(run.kind, run.language, run.rows);
}

std::string ReportFileText(const ReportRun& run, ReportFileFormat format,
                           const ReportClock& clock) {
  switch (format) {
    case ReportFileFormat::kCsv:
      return ReportCsvText(run.rows, clock);
    case ReportFileFormat::kJson:
      return ReportJsonText(run.rows, clock);
    case ReportFileFormat::kText:
      break;
  }
  return SavedReportText(run);
}

void SaveReport(const ReportRun& run, const std::string& path, const std::string& source,
                ReportFileFormat format, const ReportClock& clock) {
  const std::string text = ReportFileText(run, format, clock);
  WriteFileSafely(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                  source);
}

}  // namespace umbrivista
