// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What the CLI does when its output cannot be written, when a path it reads is a named pipe, and
// when its output would replace one of its inputs.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "catalogue.h"
#include "cli_runner.h"
#include "core/eclipse_fixtures.h"
#include "scratch_dir.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Standard output sent to `where` (a shell redirection), stderr captured; stopped after 10 s.
Result RunWithOutput(const std::string& args, const std::string& where) {
  return RunShell("timeout 10 " + CliPath() + " " + args + " 2>&1 " + where);
}

class CliFiles : public ScratchDirTest {
 protected:
  CliFiles() : ScratchDirTest("umbrivista_cli_files") {}
  // A catalogue of one usable record, converted from its text form.
  std::string SmallCatalogue() {
    const std::string text = (dir_ / "small.txt").string(), bin = (dir_ / "small.bin").string();
    std::ofstream(text) << FormatCatalogueLine(UsableRecord(2024, 4, 8)) << "\n";
    EXPECT_EQ(RunCli("catalogue convert " + text + " " + bin).status, 0);
    return bin;
  }
};

// Every command checks at its end that what it printed was written: a full disk or a closed
// output is one line on stderr and status 1, never success with a cut document.
TEST_F(CliFiles, WriteErrorsOnStandardOutputAreFailures) {
  const std::string text = (dir_ / "cat.txt").string();
  std::ofstream(text) << FormatCatalogueLine(UsableRecord(2024, 4, 8)) << "\n";
  const std::string commands[] = {
      "--help",
      "--version",
      "limits --help",
      "deltat 2024 4",
      "catalogue info",
      "catalogue show 16690",
      "catalogue find --year 2024",
      "catalogue convert " + text + " " + (dir_ / "cat.bin").string(),
      "elements 16690 0",
      "elements 16690 0 --format json",
      "centreline 16690",
      "centreline 16690 --format kml",
      "limits 16690 --format geojson",
      "limits 16690",
      "local 16690 --lat 32.78 --lon -96.80",
      "local 16690 --lat 32.78 --lon -96.80 --format json",
      "citylist 16690 --threshold-index 0 --out -",
      "placehistory --lat 32.78 --lon -96.80 --from 2020 --to 2030 --out -",
  };
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    Result r = RunWithOutput(command, "> /dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "umbrivista-cli: cannot write the output: No space left on device\n");
    r = RunWithOutput(command, ">&-");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "umbrivista-cli: cannot write the output: Bad file descriptor\n");
  }
  // A usage error stays status 2 whatever happens to the output.
  EXPECT_EQ(RunWithOutput("deltat 2024 13", "> /dev/full").status, 2);
}

// A named pipe where a file is read would keep the command waiting for a writer for ever; it is
// refused before it is opened, with a message naming it. The data-file lookup passes it over.
TEST_F(CliFiles, NamedPipesAreRefusedNotWaitedOn) {
  const std::string fifo = (dir_ / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string link = (dir_ / "link").string();
  fs::create_symlink(fifo, link);
  const std::string out = (dir_ / "out").string();
  const std::pair<std::string, std::string> cases[] = {
      {"catalogue info --catalogue " + fifo, fifo},
      {"catalogue info --catalogue " + link, link},
      {"catalogue convert " + fifo + " " + out, fifo},
      {"citylist 16690 --threshold-index 0 --places " + fifo + " --out -", fifo},
      {"render 16690 0 --texture-file " + fifo + " --out " + out + ".png", fifo},
  };
  for (const auto& [command, path] : cases) {
    SCOPED_TRACE(command);
    const Result r = RunWithOutput(command, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("umbrivista-cli: " + path + ": is not a regular file but a named pipe", 0),
              0u)
        << r.out;
  }
  EXPECT_FALSE(fs::exists(out));
  EXPECT_FALSE(fs::exists(out + ".png"));

  // A pipe named like the catalogue in the first data folder is passed over for the catalogue
  // beside the program.
  fs::create_directories(dir_ / "data");
  ASSERT_EQ(::mkfifo((dir_ / "data" / kCatalogueFileName).c_str(), 0600), 0);
  const Result plain = RunCli("catalogue info");
  ASSERT_EQ(plain.status, 0);
  Result r = RunWithOutput("catalogue info --data-dir " + (dir_ / "data").string(), "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, plain.out);
  r = RunShell("UMBRIVISTA_DATA=" + (dir_ / "data").string() + " timeout 10 " + CliPath() +
               " catalogue info 2>&1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, plain.out);
}

// An output that is one of the command's inputs (the same file by name, through a symbolic link
// or another hard link) is refused with status 2 before anything is written.
TEST_F(CliFiles, AnOutputOverItsOwnInputIsRefused) {
  const fs::path places = dir_ / "my.txt";
  const std::string placesText = "USA\tDallas\t3278\t-9680\t130\t1197816\r\n";
  std::ofstream(places, std::ios::binary) << placesText;
  fs::create_symlink(places, dir_ / "places-link.txt");
  fs::create_hard_link(places, dir_ / "places-hard.txt");
  const fs::path texture = dir_ / "x.jpg";
  fs::copy_file(std::string(UMBRIVISTA_DATA_DIR) + "/World_white.jpg", texture);
  const std::string textureBytes = ReadFile(texture);
  fs::create_symlink(texture, dir_ / "texture-link.jpg");
  const std::string catalogue = SmallCatalogue();
  const std::string catalogueBytes = ReadFile(catalogue);

  const std::string cityList =
      "citylist 1 --threshold-index 9 --catalogue " + catalogue + " --places " + places.string();
  const std::string render =
      "render 1 0 --width 64 --height 64 --catalogue " + catalogue + " --texture-file " +
      texture.string();
  const std::pair<std::string, std::string> cases[] = {
      {cityList + " --out " + places.string(), "the places file"},
      {cityList + " --out " + (dir_ / "places-link.txt").string(), "the places file"},
      {cityList + " --out " + (dir_ / "places-hard.txt").string(), "the places file"},
      {cityList + " --out " + catalogue, "the catalogue"},
      {"placehistory --lat 32.78 --lon -96.8 --catalogue " + catalogue + " --out " + catalogue,
       "the catalogue"},
      {render + " --out " + texture.string(), "the texture file"},
      {render + " --out " + (dir_ / "texture-link.jpg").string(), "the texture file"},
      {render + " --out " + catalogue, "the catalogue"},
  };
  for (const auto& [command, input] : cases) {
    SCOPED_TRACE(command);
    const Result r = RunCli(command, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind("umbrivista-cli: --out \"", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\" is " + input + " \""), std::string::npos) << r.out;
  }
  EXPECT_EQ(ReadFile(places), placesText);
  EXPECT_TRUE(fs::is_symlink(dir_ / "places-link.txt"));
  EXPECT_EQ(ReadFile(texture), textureBytes);
  EXPECT_EQ(ReadFile(catalogue), catalogueBytes);

  // Another file is written as usual.
  EXPECT_EQ(RunCli(cityList + " --out " + (dir_ / "report.txt").string()).status, 0);
  EXPECT_EQ(RunCli(render + " --out " + (dir_ / "picture.png").string()).status, 0);
  EXPECT_EQ(ReadFile(dir_ / "picture.png").substr(1, 3), "PNG");
}

}  // namespace
