// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace umbrivista {

namespace {

[[noreturn]] void Fail(const std::string& target, const std::string& what, int error) {
  throw FileWriteError(target + ": " + what + ": " + std::strerror(error));
}

[[noreturn]] void Refuse(const std::string& target, const std::string& why) {
  throw FileWriteError(target + ": cannot write: " + why);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file that writing to `target` must replace: `target` itself, or the end of the chain of
// symbolic links that starts there (which need not exist yet).
std::string FinalPath(const std::string& target) {
  std::string path = target;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return path;
      Fail(target, "cannot write", errno);
    }
    if (!S_ISLNK(st.st_mode)) return path;
    if (hops == 40) Fail(target, "cannot write", ELOOP);
    std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) Fail(target, "cannot write", errno);
    if (static_cast<std::size_t>(n) >= buffer.size()) Fail(target, "cannot write", ENAMETOOLONG);
    const std::string link(buffer.data(), static_cast<std::size_t>(n));
    if (link.empty()) Fail(target, "cannot write", ENOENT);
    path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
  }
}

// An exclusively created temporary file; removed unless it was renamed into place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd >= 0) ::close(fd);
    if (!path.empty()) ::unlink(path.c_str());
  }
  // Closes the descriptor; false (errno set) when the close reported an error.
  bool Close() {
    const int f = fd;
    fd = -1;
    return ::close(f) == 0;
  }

  int fd = -1;
  std::string path;  // empty once renamed
};

// Creates "<folder>/.<name>.<random>" with O_EXCL: an existing file or link of that name is never
// opened, a clash simply draws another name.
void CreateTemporary(TemporaryFile& temp, const std::string& target, const std::string& folder,
                     const std::string& name, mode_t mode) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kLetters) - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = folder + "/." + name + ".";
    for (int i = 0; i < 10; ++i) path += kLetters[pick(device)];
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) {
      temp.fd = fd;
      temp.path = std::move(path);
      return;
    }
    if (errno != EEXIST) Fail(target, "cannot create a file in " + folder, errno);
  }
  Fail(target, "cannot create a file in " + folder, EEXIST);
}

}  // namespace

struct SafeFileWriter::Impl {
  std::string target;
  std::string path;    // the file that is replaced (the end of a chain of links)
  std::string folder;
  bool exists = false;
  struct stat old {};
  TemporaryFile temp;
};

SafeFileWriter::SafeFileWriter(const std::string& target, const std::string& source)
    : impl_(std::make_unique<Impl>()) {
  if (target.empty()) throw FileWriteError("cannot write a file without a name");
  Impl& f = *impl_;
  f.target = target;
  f.path = FinalPath(target);
  const std::string name = NameOf(f.path);
  if (name.empty() || name == "." || name == "..") Refuse(target, "it is a folder");

  f.exists = ::stat(f.path.c_str(), &f.old) == 0;
  if (!f.exists && errno != ENOENT) Fail(target, "cannot write", errno);
  if (f.exists) {
    if (S_ISDIR(f.old.st_mode)) Refuse(target, "it is a folder");
    if (!S_ISREG(f.old.st_mode)) Refuse(target, "not a regular file");
    // Checked on the mode bits: access() grants everything to root.
    if (!(f.old.st_mode & S_IWUSR)) Refuse(target, "the file is read-only");
    struct stat in {};
    if (!source.empty() && ::stat(source.c_str(), &in) == 0 && in.st_dev == f.old.st_dev &&
        in.st_ino == f.old.st_ino) {
      Refuse(target, "it is the same file as the source " + source);
    }
  }

  f.folder = FolderOf(f.path);
  // A new file gets 0666 less the umask from open(); a replaced one starts private and takes the
  // old file's bits once written.
  CreateTemporary(f.temp, target, f.folder, name, f.exists ? 0600 : 0666);
}

SafeFileWriter::~SafeFileWriter() = default;

const std::string& SafeFileWriter::Target() const { return impl_->target; }

void SafeFileWriter::Write(std::span<const std::uint8_t> bytes) {
  Impl& f = *impl_;
  if (f.temp.fd < 0) Fail(f.target, "cannot write", EBADF);
  const std::uint8_t* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(f.temp.fd, data, std::min<std::size_t>(left, std::size_t{1} << 30));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(f.target, "cannot write", errno);
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
}

std::int64_t SafeFileWriter::Seek(std::int64_t offset, int whence) {
  Impl& f = *impl_;
  if (f.temp.fd < 0) Fail(f.target, "cannot write", EBADF);
  const off_t at = ::lseek(f.temp.fd, static_cast<off_t>(offset), whence);
  if (at < 0) Fail(f.target, "cannot write", errno);
  return at;
}

void SafeFileWriter::Commit() {
  Impl& f = *impl_;
  if (f.temp.fd < 0) Fail(f.target, "cannot write", EBADF);
  if (f.exists) {
    mode_t mode = f.old.st_mode & 07777;
    if (::fchown(f.temp.fd, f.old.st_uid, f.old.st_gid) != 0) mode &= ~mode_t{S_ISUID | S_ISGID};
    if (::fchmod(f.temp.fd, mode) != 0) Fail(f.target, "cannot set the permissions", errno);
  }
  if (::fsync(f.temp.fd) != 0) Fail(f.target, "cannot write", errno);
  if (!f.temp.Close()) Fail(f.target, "cannot write", errno);
  if (::rename(f.temp.path.c_str(), f.path.c_str()) != 0) Fail(f.target, "cannot replace", errno);
  f.temp.path.clear();

  // The rename itself reaches the disk with the folder; a folder that cannot be synced (some
  // file systems refuse) does not undo the write.
  const int dir = ::open(f.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void WriteFileSafely(const std::string& target, std::span<const std::uint8_t> bytes,
                     const std::string& source) {
  SafeFileWriter file(target, source);
  file.Write(bytes);
  file.Commit();
}

int RemoveStaleTemporaries(const std::string& target, int minimumAgeSeconds) {
  if (target.empty()) return 0;
  std::string path;
  try {
    path = FinalPath(target);
  } catch (const FileWriteError&) {
    return 0;  // a broken chain of links: nothing of ours to clean
  }
  const std::string folder = FolderOf(path);
  const std::string prefix = "." + NameOf(path) + ".";
  constexpr std::size_t kRandomLetters = 10;
  int removed = 0;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + kRandomLetters || name.compare(0, prefix.size(), prefix))
      continue;
    if (!std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
      continue;
    const std::string file = folder + "/" + name;
    struct stat st {};
    // Only regular files of this user, never a link or another user's file.
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid())
      continue;
    if (now - st.st_mtime < minimumAgeSeconds) continue;
    if (::unlink(file.c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace umbrivista
