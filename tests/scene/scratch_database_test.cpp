// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The scratch database: the files of runs that are gone are removed when the next one starts,
// those of runs that still live (in this process or another) never.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtGlobal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "scratch_database.h"
#include "scratch_dir.h"

namespace umbrivista {
namespace {

namespace fs = std::filesystem;

class ScratchDatabaseTest : public ScratchDirTest {
 protected:
  ScratchDatabaseTest() : ScratchDirTest("scratch_database_test") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    if (const char* old = std::getenv("TMPDIR")) oldTemp_ = old;
    ::setenv("TMPDIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    if (oldTemp_) {
      ::setenv("TMPDIR", oldTemp_->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
    ScratchDirTest::TearDown();
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename());
    return names;
  }
  std::optional<std::string> oldTemp_;
};

// Of the files in the temporary folder, only regular files of the scratch name nobody holds are
// leftovers; names that merely look alike, folders and links stay, and so does a link's target.
TEST_F(ScratchDatabaseTest, OnlyUnheldFilesOfTheScratchNameAreLeftovers) {
  const fs::path outside = UniqueTestDir("scratch_database_target");
  fs::create_directories(outside);
  std::ofstream(outside / "keep.txt") << "not ours";
  enum Kind { kFile, kFolder, kLink };
  const struct {
    const char* name;
    Kind kind;
    bool leftover;
  } entries[] = {
      {"Temporary_ABCDEFGH.tmp", kFile, true},
      {"Temporary_QWERTZUI.tmp", kFile, true},
      {"Temporary_ABCDEFG.tmp", kFile, false},     // seven letters
      {"Temporary_ABCDEFGHI.tmp", kFile, false},   // nine
      {"Temporary_abcdefgh.tmp", kFile, false},    // small letters
      {"Temporary_ABCD1FGH.tmp", kFile, false},    // a digit
      {"Temporary_ABCDEFGH.tmp.bak", kFile, false},
      {"Temporary_ABCDEFGH.tm", kFile, false},
      {"Other_ABCDEFGH.tmp", kFile, false},
      {"Temporary_FOLDERAB.tmp", kFolder, false},
      {"Temporary_LINKABCD.tmp", kLink, false},
  };
  for (const auto& e : entries) {
    const fs::path p = dir_ / e.name;
    if (e.kind == kFile) std::ofstream(p) << "SQLite format 3";
    if (e.kind == kFolder) fs::create_directory(p);
    if (e.kind == kLink) fs::create_symlink(outside / "keep.txt", p);
  }
  std::string own;
  {
    ScratchDatabase scratch([](const std::string& problem) { ADD_FAILURE() << problem; });
    own = fs::path(scratch.Path()).filename();
    const std::set<std::string> names = Names();
    for (const auto& e : entries) EXPECT_EQ(names.count(e.name), e.leftover ? 0u : 1u) << e.name;
    EXPECT_EQ(names.count(own), 1u);
  }
  EXPECT_EQ(Names().count(own), 0u);
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
  fs::remove_all(outside);
}

// Two scratch databases at once in one process: the second takes the first's file for a live
// one and leaves it.
TEST_F(ScratchDatabaseTest, ALiveDatabaseOfTheSameProcessStays) {
  ScratchDatabase first;
  ASSERT_TRUE(fs::exists(first.Path()));
  {
    ScratchDatabase second;
    EXPECT_NE(second.Path(), first.Path());
    EXPECT_TRUE(fs::exists(first.Path()));
    EXPECT_TRUE(fs::exists(second.Path()));
  }
  EXPECT_TRUE(fs::exists(first.Path()));
  ScratchDatabase third;
  EXPECT_TRUE(fs::exists(first.Path()));
}

// Another process's database stays while that process runs, also when it is stopped; once it has
// been killed outright, the next scratch database removes what it left.
TEST_F(ScratchDatabaseTest, AnotherRunsDatabaseStaysWhileItRunsAndGoesAfterItWasKilled) {
  int toParent[2], toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(toParent[0]);
    ::close(toChild[1]);
    int status = 1;
    {
      ScratchDatabase scratch([](const std::string&) {});
      const std::string& path = scratch.Path();
      if (::write(toParent[1], path.c_str(), path.size()) == static_cast<ssize_t>(path.size())) {
        ::close(toParent[1]);
        char c;
        if (::read(toChild[0], &c, 1) == 1) status = 0;  // waits for the parent's word or death
      }
    }
    ::_exit(status);
  }
  ASSERT_GT(child, 0);
  ::close(toParent[1]);
  ::close(toChild[0]);
  std::string path;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(toParent[0], buffer, sizeof buffer)) > 0) path.append(buffer, n);
  ::close(toParent[0]);
  ASSERT_FALSE(path.empty()) << "the child made no scratch database";
  EXPECT_TRUE(fs::exists(path));

  {
    ScratchDatabase mine;
    EXPECT_TRUE(fs::exists(path)) << "a running process's database was removed";
  }
  ::kill(child, SIGSTOP);
  {
    ScratchDatabase mine;
    EXPECT_TRUE(fs::exists(path)) << "a stopped process's database was removed";
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::close(toChild[1]);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  ASSERT_TRUE(fs::exists(path)) << "a killed process removed its database";
  {
    ScratchDatabase mine;
    EXPECT_FALSE(fs::exists(path)) << "the leftover of a killed process stayed";
    EXPECT_TRUE(fs::exists(mine.Path()));
  }
  EXPECT_TRUE(Names().empty());
}

}  // namespace
}  // namespace umbrivista
