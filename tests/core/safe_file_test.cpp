// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file replacement: the old file survives every failure, links are written through, and
// nothing is left behind in the folder.

#include "safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "catalogue.h"
#include "eclipse_fixtures.h"
#include "scratch_dir.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

mode_t Mode(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// The message of the FileWriteError that `write` throws; empty when it throws none.
template <typename F>
std::string ErrorOf(F write) {
  try {
    write();
  } catch (const FileWriteError& e) {
    return e.what();
  }
  return "";
}

class SafeFile : public ScratchDirTest {
 protected:
  SafeFile() : ScratchDirTest("umbrivista_safe_file_test") {}
  fs::path Put(const std::string& name, const std::string& text, mode_t mode = 0644) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    ::chmod(path.c_str(), mode);
    return path;
  }
  // The names in `folder`, links included.
  static std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(SafeFile, NewAndReplacedFilesGetTheirContentsAndModes) {
  const mode_t oldMask = ::umask(027);
  const fs::path fresh = dir_ / "new.bin";
  WriteFileSafely(fresh.string(), Bytes("first"));
  ::umask(oldMask);
  EXPECT_EQ(Contents(fresh), "first");
  EXPECT_EQ(Mode(fresh), 0640u);

  // A replaced file keeps its bits, also unusual ones, and whatever length it had before.
  const fs::path old = Put("old.bin", std::string(10000, 'x'), 0604);
  WriteFileSafely(old.string(), Bytes("short"));
  EXPECT_EQ(Contents(old), "short");
  EXPECT_EQ(Mode(old), 0604u);
  WriteFileSafely(old.string(), {});
  EXPECT_EQ(Contents(old), "");
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"new.bin", "old.bin"}));
}

// A file written piece by piece (with a seek back, as a video's header is finished) replaces the
// target only when committed; one abandoned leaves the old file and nothing beside it.
TEST_F(SafeFile, PieceByPieceWritesAppearOnlyWhenCommitted) {
  const fs::path target = Put("video.bin", "old", 0640);
  {
    SafeFileWriter file(target.string());
    file.Write(Bytes("hello world"));
    EXPECT_EQ(file.Seek(0, SEEK_SET), 0);
    file.Write(Bytes("J"));
    EXPECT_EQ(file.Seek(0, SEEK_END), 11);
    EXPECT_EQ(Contents(target), "old");
    file.Commit();
  }
  EXPECT_EQ(Contents(target), "Jello world");
  EXPECT_EQ(Mode(target), 0640u);
  {
    SafeFileWriter file(target.string());
    file.Write(Bytes("cancelled"));
  }
  EXPECT_EQ(Contents(target), "Jello world");
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"video.bin"}));
}

TEST_F(SafeFile, TheSourceIsNeverTheTarget) {
  const fs::path source = Put("source.txt", "the source");
  fs::create_symlink(source, dir_ / "link.txt");
  fs::create_hard_link(source, dir_ / "hard.txt");
  for (const char* name : {"source.txt", "link.txt", "hard.txt"}) {
    const std::string target = (dir_ / name).string();
    const std::string error =
        ErrorOf([&] { WriteFileSafely(target, Bytes("new"), source.string()); });
    EXPECT_NE(error.find(target + ": cannot write: it is the same file as the source"),
              std::string::npos)
        << error;
  }
  // Also when the source is named through the link.
  EXPECT_NE(ErrorOf([&] {
              WriteFileSafely(source.string(), Bytes("new"), (dir_ / "link.txt").string());
            }),
            "");
  EXPECT_EQ(Contents(source), "the source");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"source.txt", "link.txt", "hard.txt"}));
  // A different source, or one that does not exist, is no obstacle.
  WriteFileSafely((dir_ / "hard.txt").string(), Bytes("copy"), (dir_ / "none.txt").string());
  EXPECT_EQ(Contents(dir_ / "hard.txt"), "copy");
  EXPECT_EQ(Contents(source), "the source");
}

TEST_F(SafeFile, ReadOnlyFilesFoldersAndOtherKindsAreRefused) {
  const fs::path locked = Put("locked.bin", "keep me", 0444);
  const std::string error = ErrorOf([&] { WriteFileSafely(locked.string(), Bytes("new")); });
  EXPECT_EQ(error, locked.string() + ": cannot write: the file is read-only");
  EXPECT_EQ(Contents(locked), "keep me");
  EXPECT_EQ(Mode(locked), 0444u);

  fs::create_directory(dir_ / "folder");
  EXPECT_NE(ErrorOf([&] { WriteFileSafely((dir_ / "folder").string(), Bytes("x")); }), "");
  EXPECT_NE(ErrorOf([&] { WriteFileSafely((dir_ / "folder/").string(), Bytes("x")); }), "");
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
  EXPECT_NE(ErrorOf([] { WriteFileSafely("/dev/null", Bytes("x")); }), "");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"locked.bin", "folder"}));
}

TEST_F(SafeFile, MissingFoldersAreNamedWithTheReason) {
  const fs::path target = dir_ / "no" / "such" / "out.bin";
  const std::string error = ErrorOf([&] { WriteFileSafely(target.string(), Bytes("x")); });
  EXPECT_NE(error.find(target.string()), std::string::npos) << error;
  EXPECT_NE(error.find((dir_ / "no" / "such").string()), std::string::npos) << error;
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  // A plain file where a folder should be.
  Put("plain", "x");
  EXPECT_NE(ErrorOf([&] {
              WriteFileSafely((dir_ / "plain" / "out.bin").string(), Bytes("x"));
            }).find("Not a directory"),
            std::string::npos);
}

TEST_F(SafeFile, LinksAreWrittenThroughAndStayLinks) {
  fs::create_directory(dir_ / "real");
  fs::create_directory(dir_ / "links");
  const fs::path file = Put("real/data.bin", "old", 0640);
  // An absolute link, a relative one, and a chain of two.
  fs::create_symlink(file, dir_ / "links/absolute");
  fs::create_symlink("../real/data.bin", dir_ / "links/relative");
  fs::create_symlink("relative", dir_ / "links/chain");
  int round = 0;
  for (const char* name : {"absolute", "relative", "chain"}) {
    const fs::path link = dir_ / "links" / name;
    const std::string text = "round " + std::to_string(++round);
    WriteFileSafely(link.string(), Bytes(text));
    EXPECT_TRUE(fs::is_symlink(link)) << name;
    EXPECT_EQ(Contents(file), text) << name;
    EXPECT_EQ(Mode(file), 0640u) << name;
  }
  EXPECT_EQ(Names(dir_ / "real"), (std::set<std::string>{"data.bin"}));
  EXPECT_EQ(Names(dir_ / "links"), (std::set<std::string>{"absolute", "relative", "chain"}));

  // A link to a file that does not exist yet creates that file.
  fs::create_symlink("../real/later.bin", dir_ / "links/dangling");
  WriteFileSafely((dir_ / "links/dangling").string(), Bytes("later"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "links/dangling"));
  EXPECT_EQ(Contents(dir_ / "real/later.bin"), "later");

  // A loop of links is an error, not a hang.
  fs::create_symlink("loop2", dir_ / "links/loop1");
  fs::create_symlink("loop1", dir_ / "links/loop2");
  EXPECT_NE(ErrorOf([&] { WriteFileSafely((dir_ / "links/loop1").string(), Bytes("x")); }), "");
}

TEST_F(SafeFile, PlantedLinksWithTemporaryLikeNamesAreNotFollowed) {
  const fs::path victim = Put("victim", "untouched");
  const fs::path target = Put("out.bin", "old");
  for (const char* name : {"out.bin.part", "out.bin.tmp", "out.bin~", ".out.bin.tmp", ".out.bin",
                           "out.bin.new", ".out.bin.part"}) {
    fs::create_symlink(victim, dir_ / name);
  }
  const auto before = Names(dir_);
  WriteFileSafely(target.string(), Bytes("new"));
  EXPECT_EQ(Contents(target), "new");
  EXPECT_EQ(Contents(victim), "untouched");
  EXPECT_EQ(Names(dir_), before);
  for (const auto& name : before) {
    if (name != "victim" && name != "out.bin") {
      EXPECT_TRUE(fs::is_symlink(dir_ / name)) << name;
    }
  }
}

// Runs `write` in a child process that may not make files larger than `limit` bytes. The child
// exits with 0 when `write` threw an error whose message contains `reason`, 1 when it threw
// none, 2 when the message was another one.
int StatusUnderFileSizeLimit(rlim_t limit, const std::string& reason,
                             const std::function<void()>& write) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) ::_exit(3);
    int result = 1;
    try {
      write();
    } catch (const std::exception& e) {
      result = std::string(e.what()).find(reason) != std::string::npos ? 0 : 2;
    }
    ::_exit(result);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST_F(SafeFile, AFailedWriteKeepsTheOldFileByteForByte) {
  std::string old;
  for (int i = 0; i < 5000; ++i) old += static_cast<char>(i * 7);
  const fs::path target = Put("out.bin", old, 0600);
  const std::vector<std::uint8_t> large(1 << 20, 0xAB);
  EXPECT_EQ(StatusUnderFileSizeLimit(1 << 16, target.string() + ": cannot write: File too large",
                                     [&] { WriteFileSafely(target.string(), large); }),
            0);
  EXPECT_EQ(Contents(target), old);
  EXPECT_EQ(Mode(target), 0600u);
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"out.bin"}));

  // The binary catalogue goes the same way, and its error is a catalogue error.
  std::vector<EclipseRecord> records;
  for (int year = 1; year <= 2000; ++year) records.push_back(UsableRecord(year, 4, 8));
  EXPECT_EQ(StatusUnderFileSizeLimit(1 << 16, "File too large",
                                     [&] {
                                       try {
                                         WriteCatalogueBinary(target.string(), records);
                                       } catch (const CatalogueError&) {
                                         throw;
                                       } catch (...) {
                                         ::_exit(4);
                                       }
                                     }),
            0);
  EXPECT_EQ(Contents(target), old);
  EXPECT_EQ(Names(dir_), (std::set<std::string>{"out.bin"}));
}

TEST_F(SafeFile, TheCatalogueWriterRefusesItsOwnSource) {
  const fs::path text = Put("cat.txt", "text form");
  try {
    WriteCatalogueBinary(text.string(), {UsableRecord(2024, 4, 8)}, text.string());
    FAIL() << "overwrote its source";
  } catch (const CatalogueError& e) {
    EXPECT_NE(std::string(e.what()).find("same file"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Contents(text), "text form");
}

}  // namespace

namespace {

TEST_F(SafeFile, OnlyOldTemporariesOfTheTargetAreRemoved) {
  const fs::path target = dir_ / "Umbrivista.ini";
  const auto make = [this](const std::string& name, int ageSeconds) {
    std::ofstream(dir_ / name) << "x";
    fs::last_write_time(dir_ / name,
                        fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
  };
  make(".Umbrivista.ini.Ab3dEf7hIj", 3600);    // left by a killed write
  make(".Umbrivista.ini.Zz9yXx8wVv", 5);       // a write under way elsewhere
  make(".Umbrivista.ini.short", 3600);         // not of the pattern
  make(".Umbrivista.ini.Ab3dEf7h-j", 3600);    // not of the pattern
  make(".Other.ini.Ab3dEf7hIj", 3600);         // another file's
  fs::create_symlink(dir_ / "Umbrivista.ini", dir_ / ".Umbrivista.ini.LinkLinkLi");
  EXPECT_EQ(RemoveStaleTemporaries(target.string()), 1);
  EXPECT_EQ(Names(dir_), (std::set<std::string>{".Umbrivista.ini.Zz9yXx8wVv", ".Umbrivista.ini.short",
                                         ".Umbrivista.ini.Ab3dEf7h-j", ".Other.ini.Ab3dEf7hIj",
                                         ".Umbrivista.ini.LinkLinkLi"}));
  EXPECT_EQ(RemoveStaleTemporaries((dir_ / "missing-folder" / "x.ini").string()), 0);
}

}  // namespace
