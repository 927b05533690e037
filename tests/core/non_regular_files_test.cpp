// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Every reader of core refuses a path that is no regular file (a named pipe, a device, a folder)
// with a message naming it, before opening it: opening a named pipe for reading would wait for a
// writer for ever. The data-file lookup passes such a path over.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "catalogue.h"
#include "data_files.h"
#include "finishes_in_time.h"
#include "regular_file.h"
#include "scratch_dir.h"
#include "settings_file.h"

namespace umbrivista {
namespace {

namespace fs = std::filesystem;

class NonRegularFiles : public ScratchDirTest {
 protected:
  NonRegularFiles() : ScratchDirTest("umbrivista_non_regular") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    fifo_ = (dir_ / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo_.c_str(), 0600), 0);
    link_ = (dir_ / "link").string();
    fs::create_symlink(fifo_, link_);
  }
  std::string fifo_, link_;
};

// The message of what a reader throws or reports; "" when it read the path.
using Reader = std::function<std::string(const std::string&)>;

std::string Thrown(const std::function<void()>& read) {
  try {
    read();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

TEST_F(NonRegularFiles, EveryReaderRefusesThemNamingThePath) {
  const std::pair<const char*, Reader> readers[] = {
      {"catalogue", [](const std::string& p) { return Thrown([&] { EclipseCatalogue().Load(p); }); }},
      {"text catalogue", [](const std::string& p) { return Thrown([&] { ReadCatalogueText(p); }); }},
      {"whole file",
       [](const std::string& p) { return Thrown([&] { ReadWholeFile(p, 1000, "a file"); }); }},
      {"settings",
       [](const std::string& p) { return LoadOrCreateSettings(p, "1.0", SettingsLimits{}).problem; }},
  };
  const std::pair<std::string, std::string> paths[] = {
      {fifo_, "is not a regular file but a named pipe (FIFO)"},
      {link_, "is not a regular file but a named pipe (FIFO)"},  // the link is followed
      {"/dev/null", "is not a regular file but a character device"},
  };
  for (const auto& [name, read] : readers) {
    for (const auto& [path, words] : paths) {
      SCOPED_TRACE(std::string(name) + " " + path);
      ASSERT_TRUE(FinishesWithin(10, [&, read = read, path = path] { read(path); }));
      const std::string message = read(path);
      EXPECT_EQ(message.rfind(path + ": " + words, 0), 0u) << message;
    }
  }
  // Nothing was written where the settings were refused.
  EXPECT_TRUE(fs::is_fifo(fifo_));
  EXPECT_TRUE(fs::is_symlink(link_));
  const LoadedSettings settings = LoadOrCreateSettings(fifo_, "1.0", SettingsLimits{});
  EXPECT_FALSE(settings.fileExists);
  EXPECT_EQ(settings.record, DefaultSettings("1.0"));
}

TEST_F(NonRegularFiles, TheDataLookupPassesThemOver) {
  fs::create_directories(dir_ / "given");
  fs::create_directories(dir_ / "here");
  ASSERT_EQ(::mkfifo((dir_ / "given" / "a.bin").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((dir_ / "given" / "b.bin").c_str(), 0600), 0);
  fs::create_directories(dir_ / "given" / "c.bin");
  std::ofstream(dir_ / "here" / "a.bin") << "x";
  std::ofstream(dir_ / "here" / "c.bin") << "x";
  const std::string given = (dir_ / "given").string();
  const auto previous = fs::current_path();
  fs::current_path(dir_ / "here");
  // A regular file further down the folders (here the current one) wins over a named pipe or a
  // folder of that name in front.
  const std::string a = FindDataFile("a.bin", given);
  const std::string c = FindDataFile("c.bin", given);
  // With no regular file anywhere the pipe is named, so that the reader's message points at it.
  const std::string b = FindDataFile("b.bin", given);
  fs::current_path(previous);
  EXPECT_EQ(a, "./a.bin");
  EXPECT_EQ(c, "./c.bin");
  EXPECT_EQ(b, (dir_ / "given" / "b.bin").string());
  EXPECT_EQ(NonRegularKind(b), "a named pipe (FIFO)");
}

}  // namespace
}  // namespace umbrivista
