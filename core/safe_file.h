// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a whole file so that readers see either the old contents or the new, never a mixture:
// the bytes go to a fresh temporary file beside the target, are flushed to the disk, and the
// temporary is then renamed over the target.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace umbrivista {

// A file that could not be written; the message names the file and the reason.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the contents of `target` by `bytes`.
//  - The temporary file is created exclusively under an unpredictable name in the folder of the
//    file that is replaced, and removed again on any failure; the old file is then left as it was.
//  - A target that is a symbolic link is written through: the file the link leads to is replaced
//    and the link stays a link.
//  - A target that is the same file as `source` (when given), an existing target without write
//    permission for its owner, and a target that is not a regular file are refused.
//  - A replaced file keeps its permission bits (and, where allowed, its owner and group); a new
//    file gets 0666 less the umask.
// Throws FileWriteError.
void WriteFileSafely(const std::string& target, std::span<const std::uint8_t> bytes,
                     const std::string& source = {});

// A file written piece by piece (a video whose size is known only at its end) under the same
// rules as WriteFileSafely: the constructor makes the checks and creates the temporary file beside
// the target, Commit() puts it in place. Destroyed without Commit() (a failure, a cancelled run),
// it removes the temporary file and leaves the target as it was. Every call throws
// FileWriteError naming the target and the reason.
class SafeFileWriter {
 public:
  explicit SafeFileWriter(const std::string& target, const std::string& source = {});
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  void Write(std::span<const std::uint8_t> bytes);
  // Moves the write position as lseek does (SEEK_SET, SEEK_CUR, SEEK_END); the new position.
  std::int64_t Seek(std::int64_t offset, int whence);
  // Flushes the file to the disk and renames it over the target.
  void Commit();
  const std::string& Target() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Removes the temporary files that writes of `target` left behind when the process was killed
// during the write: those of its name pattern beside it that are older than `minimumAgeSeconds`
// (a write under way in another process is younger). Returns how many were removed.
int RemoveStaleTemporaries(const std::string& target, int minimumAgeSeconds = 60);

}  // namespace umbrivista
