// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scratch_database.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QRandomGenerator>
#include <QtGlobal>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace umbrivista {

namespace {

// The path of the scratch database, for the signal handler: it may only use async-signal-safe
// calls, so the path lives in a fixed buffer. The handler removes the file only while
// g_scratchOwned says that this process creates or created it; the handlers are in place before
// the file is created, so that no signal finds the file without them.
char g_scratchPath[4096] = "";
volatile std::sig_atomic_t g_scratchOwned = 0;

extern "C" void RemoveScratchAndDie(int signal) {
  if (g_scratchOwned) ::unlink(g_scratchPath);
  // Installed with SA_RESETHAND: the default action ends the process once the handler returns.
  ::raise(signal);
}

// A run holds a write lock on one byte of its database, far beyond the bytes SQLite locks. It is
// a lock of the open file (F_OFD_SETLK): it does not touch SQLite's own locks of the file, stays
// when SQLite closes its descriptor, holds against another scratch database of the same process,
// and ends with the process however that ends.
constexpr off_t kRunLockOffset = off_t{1} << 40;

// 0 when the lock was taken; EAGAIN or EACCES when someone else holds it; another errno when
// the file system has no such locks (then no clean-up can take it either, and nothing is removed).
int TakeRunLock(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = kRunLockOffset;
  lock.l_len = 1;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

bool HeldByOthers(int lockResult) {
  return lockResult == EAGAIN || lockResult == EACCES;
}

// "Temporary_", eight capital letters, ".tmp": the names this class gives its files.
bool IsScratchName(std::string_view name) {
  constexpr std::string_view kPrefix = "Temporary_", kSuffix = ".tmp";
  if (name.size() != kPrefix.size() + 8 + kSuffix.size()) return false;
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
  for (const char c : name.substr(kPrefix.size(), 8))
    if (c < 'A' || c > 'Z') return false;
  return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the scratch databases in `folder` that runs killed outright left behind: files of the
// scratch name, regular, the user's own, whose run lock can be taken. Each is removed while this
// process holds its lock, and only if its name still leads to the file that was locked.
void RemoveLeftovers(const std::string& folder, const ScratchDatabase::Warn& warn) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;  // creating the database will say what is wrong with the folder
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (!IsScratchName(name)) continue;
    struct stat seen {};
    if (::fstatat(dirFd, name, &seen, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(seen.st_mode) || seen.st_uid != ::geteuid()) continue;
    const int fd = ::openat(dirFd, name, O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {}, now {};
    const bool leftover =
        ::fstat(fd, &opened) == 0 && SameFile(opened, seen) && TakeRunLock(fd) == 0 &&
        ::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(now, opened);
    if (leftover && ::unlinkat(dirFd, name, 0) != 0 && errno != ENOENT) {
      warn("cannot remove the scratch database left by an earlier run " + folder + "/" + name +
           ": " + std::strerror(errno));
    }
    ::close(fd);
  }
  ::closedir(dir);
}

}  // namespace

std::string TemporaryFolder() {
  std::string folder = QDir::tempPath().toStdString();
  if (folder.empty()) folder = qEnvironmentVariable("TMPDIR").toStdString();
  return folder;
}

ScratchDatabase::ScratchDatabase(Warn warn) : warn_(std::move(warn)) {
  if (!warn_) warn_ = [](const std::string& text) { qWarning("%s", text.c_str()); };
  const std::string folder = TemporaryFolder();
  RemoveLeftovers(folder, warn_);
  InstallSignalHandlers();
  for (int attempt = 0;; ++attempt) {
    std::string letters;
    for (int i = 0; i < 8; ++i)
      letters += static_cast<char>('A' + QRandomGenerator::global()->bounded(26));
    path_ = folder + "/Temporary_" + letters + ".tmp";
    // Longer paths are removed only by the normal ways out.
    const bool signalsRemove = path_.size() < sizeof g_scratchPath;
    g_scratchOwned = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (signalsRemove) std::memcpy(g_scratchPath, path_.c_str(), path_.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    // The handlers count the file as this process's from just before it is created: a signal
    // right after the creation must find it so. A name in use is passed over first, so that only
    // a file made under the same random name in the same instant could be taken for this one.
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0) {
      if (attempt == 100) {
        RestoreSignalHandlers();
        throw std::runtime_error("cannot create the scratch database in the temporary folder " +
                                 folder + ": " + std::strerror(EEXIST));
      }
      continue;
    }
    if (signalsRemove) g_scratchOwned = 1;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    int problem = fd >= 0 ? 0 : errno;
    if (fd < 0) g_scratchOwned = 0;
    if (fd >= 0) {
      // Another run's clean-up may have found the new file before it was locked: it then holds
      // the lock, or has already removed the file. Either way this name is given up.
      const int locked = TakeRunLock(fd);
      struct stat opened {}, named {};
      if (!HeldByOthers(locked) && ::fstat(fd, &opened) == 0 &&
          ::stat(path_.c_str(), &named) == 0 && SameFile(opened, named)) {
        lockFd_ = fd;
        break;
      }
      g_scratchOwned = 0;
      ::close(fd);
      problem = EEXIST;
    }
    if (problem != EEXIST || attempt == 100) {
      RestoreSignalHandlers();
      throw std::runtime_error("cannot create the scratch database in the temporary folder " +
                               folder + ": " + std::strerror(problem));
    }
  }
  try {
    database.SetDataSourceName(path_);
    database.SetActive(true);
    if (database.ReadOnly()) throw std::runtime_error(path_ + ": opened for reading only");
  } catch (...) {
    Remove();
    throw;
  }
}

ScratchDatabase::~ScratchDatabase() {
  try {
    database.Flush();
    database.SetActive(false);
  } catch (const std::exception& e) {
    warn_("closing the scratch database " + path_ + ": " + e.what());
  }
  Remove();
}

void ScratchDatabase::InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = RemoveScratchAndDie;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i) {
    // A signal the caller ignores (nohup, background jobs) stays ignored.
    if (::sigaction(kCleanupSignals[i], nullptr, &previous_[i]) == 0 &&
        previous_[i].sa_handler != SIG_IGN) {
      ::sigaction(kCleanupSignals[i], &action, nullptr);
      installed_[i] = true;
    }
  }
}

void ScratchDatabase::RestoreSignalHandlers() {
  for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i) {
    if (installed_[i]) ::sigaction(kCleanupSignals[i], &previous_[i], nullptr);
    installed_[i] = false;
  }
  g_scratchOwned = 0;
}

void ScratchDatabase::Remove() {
  RestoreSignalHandlers();
  if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
    warn_("cannot remove the scratch database " + path_ + ": " + std::strerror(errno));
  }
  // Unlocked only once the name is gone, so that no clean-up takes the file for a leftover.
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

}  // namespace umbrivista
