// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a report run hands back and how its caller follows and stops it.
//
// A run may share its work out to other threads, but it calls the progress callback on the
// caller's thread only, at fixed points (the city list after every line of the places file, the
// place history at every 20th catalogue record), taking the results back in order as if computed
// one after the other. The run reads the cancel flag after each step and stops when it is set;
// the rows found until then stay. A window runs it on a thread of its own (ReportRunner) and
// stays free for the user meanwhile.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "language.h"
#include "report_export.h"
#include "report_formats.h"

namespace umbrivista {

struct ReportRun {
  ReportKind kind = ReportKind::kCityList;
  // The language the run was made in: its rows, letters, legend and header stay in it.
  Language language = Language::kEnglish;
  std::vector<ReportRow> rows;
  // City list: the places tested (population at least the threshold). Place history: the
  // catalogue records passed.
  int scanned = 0;
  int found = 0;  // = rows.size()
  // The status line: refreshed for every place or eclipse within the penumbra while a progress
  // callback follows the run, and at the end of the run with the final counts.
  std::string status;
  bool cancelled = false;
  // Why the run stopped early (a places file that is missing or has a malformed line, an input
  // out of range); empty when it ran to its end or was cancelled.
  std::string error;
};

// What became of one share of a run's items (places, records), computed on any thread and taken
// back in order: a byte of RowOutcome flags per item computed, and the rows of those that gave
// one.
enum RowOutcome : std::uint8_t { kTested = 1, kInPenumbra = 2, kRow = 4 };
struct RowChunk {
  std::vector<ReportRow> rows;
  std::vector<std::uint8_t> outcomes;
};

struct RunControl {
  std::function<void(const ReportRun&)> progress;  // may be empty
  const std::atomic<bool>* cancel = nullptr;       // may be null; the caller clears it
};

// Whether the caller has asked the run to stop.
inline bool Cancelled(const RunControl& control) {
  return control.cancel && control.cancel->load(std::memory_order_relaxed);
}

// Appends the list lines of rows[from …] to `text`, each ended by '\n'; returns rows.size().
std::size_t AppendListLines(const std::vector<ReportRow>& rows, std::size_t from,
                            std::string& text);

// The saved file of a run: legend and header in the run's language, then its rows, CR LF.
std::string SavedReportText(const ReportRun& run);
// The file of a run in `format`: the saved text file above, or the CSV or JSON of its rows.
// The CSV and JSON take the places' local civil times from `clock`.
std::string ReportFileText(const ReportRun& run, ReportFileFormat format,
                           const ReportClock& clock = {});

// Writes the file of `run` in `format` to `path` through a temporary file that is renamed into
// place; a failed write leaves an existing file as it was. The rows stay in `run`, so the same
// file can be saved again. A `path` that is the file the run read (`source`, when given) is
// refused. Throws FileWriteError naming the file.
void SaveReport(const ReportRun& run, const std::string& path, const std::string& source = {},
                ReportFileFormat format = ReportFileFormat::kText,
                const ReportClock& clock = {});

}  // namespace umbrivista
