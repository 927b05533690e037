// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace umbrivista {

namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

std::string Refusal(const std::string& path, mode_t mode) {
  if (S_ISDIR(mode)) return path + ": is a folder, not a file";
  return path + ": is not a regular file but " + KindOf(mode);
}

}  // namespace

std::string NonRegularKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return KindOf(st.st_mode);
}

int OpenRegularFile(const std::string& path, std::string& problem) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    problem = path + ": cannot open: " + std::strerror(errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    problem = Refusal(path, st.st_mode);
    return -1;
  }
  // Should the path have been replaced by a named pipe since, O_NONBLOCK keeps the open from
  // waiting; for a regular file it changes nothing.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    problem = path + ": cannot open: " + std::strerror(errno);
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    problem = path + ": cannot read: " + std::strerror(errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    problem = Refusal(path, st.st_mode);
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace umbrivista
