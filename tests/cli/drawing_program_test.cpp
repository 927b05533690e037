// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that only compute load no display library, and no Qt at all without a civil clock;
// the drawing commands run in umbrivista-cli-draw, civil time comes from a module: an installed
// umbrivista-cli finds them in ../libexec/ and ../lib/umbrivista/modules/.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_runner.h"
#include "scratch_dir.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

TEST(CliLibraries, CommandsThatDrawNothingLoadNoDisplayLibrary) {
  const char* commands[] = {
      "deltat 2024 4",
      "local 16690 --lat 32.78 --lon -96.8 --time local",
      "catalogue info",
      "elements 16690 0",
      "limits 16690 --format geojson",
      "pathtable 16690 --step 30",
      "search --from 2024 --to 2026",
  };
  const char* display[] = {"libQt6Gui",     "libQt6Svg",    "libQt6Widgets", "libX11",
                           "libxcb",        "libxkbcommon", "libGL",         "libEGL",
                           "libfontconfig", "libfreetype"};
  for (const char* command : commands) {
    // ld.so's trace of the libraries it loads goes to stderr; the command's output is dropped.
    const Result r = RunShell("LD_DEBUG=libs " + CliPath() + " " + command + " 2>&1 >/dev/null");
    EXPECT_EQ(r.status, 0) << command;
    ASSERT_NE(r.out.find("libstdc++"), std::string::npos) << "no trace of loaded libraries";
    for (const char* library : display) {
      EXPECT_EQ(r.out.find(library), std::string::npos) << command << " loads " << library;
    }
    // Qt Core comes with the civil clock only.
    const bool civil = std::string(command).find("--time local") != std::string::npos;
    EXPECT_EQ(r.out.find("libQt6Core") != std::string::npos, civil) << command;
  }
}

class CliInstalled : public ScratchDirTest {
 protected:
  CliInstalled() : ScratchDirTest("umbrivista_cli_installed") {}
};

TEST_F(CliInstalled, FindsItsPartsBesideBinAndSaysWhenOneIsMissing) {
  const fs::path built = fs::path(CliPath()).parent_path();
  const fs::path module = dir_ / "lib" / "umbrivista" / "modules" / "umbrivista-civil-time.so";
  fs::create_directories(dir_ / "bin");
  fs::create_directories(dir_ / "libexec");
  fs::create_directories(module.parent_path());
  fs::copy_file(CliPath(), dir_ / "bin" / "umbrivista-cli");
  fs::copy_file(built / "umbrivista-cli-draw", dir_ / "libexec" / "umbrivista-cli-draw");
  fs::copy_file(built / "umbrivista-civil-time.so", module);
  fs::copy_file(built / "umbrivista-video.so", module.parent_path() / "umbrivista-video.so");
  const std::string cli = (dir_ / "bin" / "umbrivista-cli").string();
  const std::string data = std::string(" --data-dir ") + UMBRIVISTA_DATA_DIR;
  const std::string sketch =
      cli + " sketch 16690 --lat 32.78 --lon -96.80" + data + " --out " + (dir_ / "s.svg").string();
  const std::string local = cli + " local 16690 --lat 32.78 --lon -96.80 --time local" + data;

  const Result drawn = RunShell(sketch + " 2>&1");
  EXPECT_EQ(drawn.status, 0) << drawn.out;
  EXPECT_GT(fs::file_size(dir_ / "s.svg"), 0u);
  // A video loads the codecs' module from beside the civil-time one, not from the build tree.
  const Result video =
      RunShell("LD_DEBUG=files " + cli + " render 16690 --from 0 --to 0.02 --step 36" +
               " --width 64 --height 64" + data + " --out " + (dir_ / "v.mp4").string() + " 2>&1");
  EXPECT_EQ(video.status, 0) << video.out;
  EXPECT_NE(video.out.find("file=" + (module.parent_path() / "umbrivista-video.so").string()),
            std::string::npos);
  EXPECT_GT(fs::file_size(dir_ / "v.mp4"), 0u);
  const Result civil = RunShell(local + " 2>&1");
  EXPECT_EQ(civil.status, 0) << civil.out;
  EXPECT_NE(civil.out.find("CDT"), std::string::npos) << civil.out;

  fs::remove(module);
  const Result noModule = RunShell(local + " 2>&1");
  EXPECT_EQ(noModule.status, 1);
  // Said before anything is printed.
  EXPECT_EQ(noModule.out.rfind("umbrivista-cli: cannot load the civil-time module ", 0), 0u)
      << noModule.out;
  EXPECT_EQ(noModule.out.find("found"), std::string::npos) << noModule.out;

  fs::remove(dir_ / "libexec" / "umbrivista-cli-draw");
  fs::remove(dir_ / "s.svg");
  const Result missing = RunShell(sketch + " 2>&1");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out.rfind("umbrivista-cli: cannot start the drawing program ", 0), 0u)
      << missing.out;
  EXPECT_FALSE(fs::exists(dir_ / "s.svg"));
}

}  // namespace
