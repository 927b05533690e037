// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scratch database that holds the globe's layers while the program or a render runs:
// "Temporary_" and eight random capital letters with ".tmp" in the temporary folder, created
// exclusively (a file of that name belongs to someone else and stays as it is) and removed when
// the object goes, also when the process is interrupted or terminated by SIGINT, SIGTERM or
// SIGHUP. A run that is killed outright (SIGKILL, a crash, a power cut) cannot remove its file:
// while a run uses its database it holds a lock on it, which ends with the process, and each new
// scratch database first removes the files of that name in its folder that are the user's own and
// whose lock it can take.

#include <csignal>
#include <functional>
#include <iterator>
#include <string>

#include "gspatialdb.h"

namespace umbrivista {

class ScratchDatabase {
 public:
  using Warn = std::function<void(const std::string&)>;

  // Removes the leftovers of runs that are gone, then creates and opens the database. Throws
  // std::runtime_error naming the folder or the file and the reason when that fails; nothing is
  // left behind then. `warn` receives the problems of closing and removing the file (by default
  // they go to qWarning).
  explicit ScratchDatabase(Warn warn = nullptr);
  // Flushes, closes and removes the file; problems go to `warn`.
  ~ScratchDatabase();
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  const std::string& Path() const { return path_; }
  TGSpatialDatabase database;

 private:
  static constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};
  void InstallSignalHandlers();
  void RestoreSignalHandlers();
  void Remove();

  Warn warn_;
  std::string path_;
  // The open file that holds the lock while the database exists (-1: none).
  int lockFd_ = -1;
  struct sigaction previous_[std::size(kCleanupSignals)]{};
  bool installed_[std::size(kCleanupSignals)] = {};
};

// The folder for scratch files: Qt's temporary folder, or TMPDIR as given when Qt finds nothing
// there (so that an error names it).
std::string TemporaryFolder();

}  // namespace umbrivista
