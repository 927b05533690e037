// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The one data-file lookup: the given folder or UMBRIVISTA_DATA, the program's folder, the install
// folder beside it, the current folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "data_files.h"
#include "scratch_dir.h"

namespace umbrivista {
namespace {

class DataFilesTest : public ScratchDirTest {
 protected:
  DataFilesTest() : ScratchDirTest("data_files") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    if (const char* env = std::getenv(kDataFolderVariable)) saved_ = env;
    ::unsetenv(kDataFolderVariable);
  }
  void TearDown() override {
    if (saved_.empty()) {
      ::unsetenv(kDataFolderVariable);
    } else {
      ::setenv(kDataFolderVariable, saved_.c_str(), 1);
    }
    ScratchDirTest::TearDown();
  }
  std::string Put(const std::string& folder, const std::string& name) {
    std::filesystem::create_directories(dir_ / folder);
    std::ofstream(dir_ / folder / name) << "x";
    return (dir_ / folder / name).string();
  }
  std::string saved_;
};

TEST_F(DataFilesTest, FoldersInOrder) {
  EXPECT_EQ(DataFolders("", "/opt/uv/bin"),
            (std::vector<std::string>{"/opt/uv/bin", "/opt/uv/share/umbrivista", "."}));
  ::setenv(kDataFolderVariable, "/env/data", 1);
  EXPECT_EQ(DataFolders("", "/opt/uv/bin").front(), "/env/data");
  // A folder named on the command line wins over the environment.
  EXPECT_EQ(DataFolders("/given", "/opt/uv/bin"),
            (std::vector<std::string>{"/given", "/opt/uv/bin", "/opt/uv/share/umbrivista", "."}));
  ::setenv(kDataFolderVariable, "", 1);
  EXPECT_EQ(DataFolders("", "").size(), 1u);
}

TEST_F(DataFilesTest, FirstFolderThatHoldsTheFileWins) {
  const std::string given = Put("given", "a.txt");
  Put("env", "a.txt");
  const std::string envOnly = Put("env", "b.txt");
  ::setenv(kDataFolderVariable, (dir_ / "env").c_str(), 1);
  EXPECT_EQ(FindDataFile("a.txt", (dir_ / "given").string()), given);
  EXPECT_EQ(FindDataFile("a.txt"), (dir_ / "env" / "a.txt").string());
  // A given folder replaces the environment's.
  EXPECT_EQ(FindDataFile("b.txt", (dir_ / "given").string()), (dir_ / "given" / "b.txt").string());
  EXPECT_EQ(FindDataFile("b.txt"), envOnly);
  // The current folder comes last.
  Put("here", "c.txt");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_ / "here");
  EXPECT_EQ(FindDataFile("c.txt", (dir_ / "given").string()), "./c.txt");
  std::filesystem::current_path(previous);
  // Nowhere: the path in the first folder, for the error message.
  EXPECT_EQ(FindDataFile("missing.bin", (dir_ / "given").string()),
            (dir_ / "given" / "missing.bin").string());
}

}  // namespace
}  // namespace umbrivista
