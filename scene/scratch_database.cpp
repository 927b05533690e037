#include "scratch_database.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QRandomGenerator>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace umbrivista {

namespace {

// The path of the scratch database while it exists, for the signal handler: it may only use
// async-signal-safe calls, so the path lives in a fixed buffer ("" when there is none).
char g_scratchPath[4096] = "";

extern "C" void RemoveScratchAndDie(int signal) {
  if (g_scratchPath[0] != '\0') ::unlink(g_scratchPath);
  // Installed with SA_RESETHAND: the default action ends the process once the handler returns.
  ::raise(signal);
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
  for (int attempt = 0;; ++attempt) {
    std::string letters;
    for (int i = 0; i < 8; ++i)
      letters += static_cast<char>('A' + QRandomGenerator::global()->bounded(26));
    path_ = folder + "/Temporary_" + letters + ".tmp";
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      break;
    }
    if (errno != EEXIST || attempt == 100) {
      throw std::runtime_error("cannot create the scratch database in the temporary folder " +
                               folder + ": " + std::strerror(errno));
    }
  }
  InstallSignalHandlers();
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
  if (path_.size() >= sizeof g_scratchPath) return;  // then only the normal ways out remove it
  std::memcpy(g_scratchPath, path_.c_str(), path_.size() + 1);
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

void ScratchDatabase::Remove() {
  for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i) {
    if (installed_[i]) ::sigaction(kCleanupSignals[i], &previous_[i], nullptr);
    installed_[i] = false;
  }
  g_scratchPath[0] = '\0';
  if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
    warn_("cannot remove the scratch database " + path_ + ": " + std::strerror(errno));
  }
}

}  // namespace umbrivista
