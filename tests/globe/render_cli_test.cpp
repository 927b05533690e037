// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The render command of umbrivista-cli: a textured globe turned to the sub-solar point.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_support.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

int RunCli(const std::string& args, const std::string& env = "") {
  const std::string cmd =
      env + std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli " + args + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the CLI and returns its exit status and what it wrote to stderr.
std::pair<int, std::string> RunCliErrors(const std::string& args, const std::string& env) {
  const std::string cmd =
      env + std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli " + args + " 2>&1 >/dev/null";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

// Scratch databases left in `folder`; with `inUse`, only those that SQLite has written to.
int ScratchFiles(const fs::path& folder, bool inUse = false) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind("Temporary_", 0) != 0) continue;
    std::error_code ec;
    if (!inUse || fs::file_size(entry.path(), ec) > 0) ++count;
  }
  return count;
}

// A render started in the background with the temporary folder `temp`, its errors dropped.
pid_t StartRender(const std::vector<std::string>& args, const fs::path& temp) {
  const std::string program = std::string(UMBRIVISTA_BIN_DIR) + "/umbrivista-cli";
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    ::setenv("TMPDIR", temp.c_str(), 1);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 2);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  return child;
}

// Waits until a scratch database appears in `temp` (with `inUse`: until it is in use), true; or
// the child ends first or a minute passes, false (the child is then reaped, or killed and
// reaped).
bool WaitForScratch(pid_t child, const fs::path& temp, bool inUse = false) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < end) {
    if (ScratchFiles(temp, inUse) > 0) return true;
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) return false;
    ::usleep(200);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  return false;
}

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = UniqueTestDir("globe_render_cli_test");
    fs::create_directories(dir_);
    // The total eclipse of 2024-04-08: at T0 the sub-solar point lies near 89.6° W, 7.6° N.
    const fs::path text = dir_ / "cat.txt";
    std::ofstream(text)
        << "2024 4 8 2 0 0.3431 2460409.25 0 139 18 -0.318244 0.5117116 0.0000326 -0.0000084 "
           "0.219764 0.2709589 -0.0000595 -0.0000047 7.5862002 0.0148440 "
           "-0.0000020 0 89.591217 15.004080 0 0 0.535814 0.0000618 -0.0000128 0 "
           "-0.010272 0.0000615 -0.0000127 0 0.0046683 0 0 0 0.0046450 0 0 0 30 71\n";
    catalogue_ = (dir_ / "cat.bin").string();
    ASSERT_EQ(RunCli("catalogue convert " + text.string() + " " + catalogue_), 0);
    // Quadrants: NW red, NE green, SW blue, SE white.
    texture_ = (dir_ / "quadrants.jpg").string();
    WriteJpeg(texture_, 360, 180, [](int x, int y) {
      if (y < 90) return x >= 180 ? 0x00FF00u : 0xFF0000u;
      return x >= 180 ? 0xFFFFFFu : 0x0000FFu;
    });
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Render(const std::string& extra) {
    return "render 1 0 --catalogue " + catalogue_ + " --texture-file " + texture_ + " " + extra;
  }

  fs::path dir_;
  std::string catalogue_, texture_;
};

TEST_F(RenderCommand, DrawsTheSubSolarPointAtTheCentre) {
  const std::string out = (dir_ / "front.png").string();
  ASSERT_EQ(RunCli(Render("--width 600 --height 500 --zoom 350 --grid 0 --out " + out)), 0);
  QImage image(QString::fromStdString(out));
  ASSERT_EQ(image.width(), 600);
  ASSERT_EQ(image.height(), 500);
  EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0u);
  const QRgb centre = image.pixel(300, 250);
  EXPECT_GT(qRed(centre), 200);
  EXPECT_LT(qGreen(centre), 60);
  EXPECT_LT(qBlue(centre), 60);
  // The back view shows the anti-sub-solar point: east and south.
  const std::string back = (dir_ / "back.png").string();
  ASSERT_EQ(RunCli(Render("--width 600 --height 500 --zoom 350 --grid 0 --back --out " + back)), 0);
  const QRgb anti = QImage(QString::fromStdString(back)).pixel(300, 250);
  EXPECT_GT(qRed(anti), 200);
  EXPECT_GT(qGreen(anti), 200);
  EXPECT_GT(qBlue(anti), 200);
}

TEST_F(RenderCommand, RejectsBadArguments) {
  const std::string out = (dir_ / "x.png").string();
  EXPECT_EQ(RunCli(Render("--zoom 400 --out " + out)), 2);
  EXPECT_EQ(RunCli(Render("--grid 7 --out " + out)), 2);
  EXPECT_EQ(RunCli(Render("")), 2);
  EXPECT_EQ(RunCli("render 2 0 --catalogue " + catalogue_ + " --out " + out), 2);
  EXPECT_EQ(RunCli("render 1 0 --catalogue " + catalogue_ + " --texture-file " +
                   (dir_ / "none.jpg").string() + " --out " + out),
            1);
  EXPECT_EQ(RunCli(Render("--out " + (dir_ / "no_such_dir" / "x.png").string())), 1);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(RenderCommand, DrawsTheCentreLineAndTheTitledCapitalsFromAScratchDatabase) {
  // The scratch database goes to the temporary folder and is gone afterwards.
  const fs::path temp = dir_ / "temp";
  fs::create_directories(temp);
  const std::string env = "TMPDIR=" + temp.string() + " ";
  const std::string plain = (dir_ / "plain.png").string();
  const std::string cities = (dir_ / "cities.png").string();
  const std::string view = "--width 600 --height 500 --zoom 200 --grid 0 ";
  ASSERT_EQ(RunCli(Render(view + "--out " + plain), env), 0);
  ASSERT_EQ(RunCli(Render(view + "--capitals --out " + cities), env), 0);
  for (const auto& entry : fs::directory_iterator(temp)) {
    EXPECT_NE(entry.path().filename().string().rfind("Temporary_", 0), 0u) << entry.path();
  }
  const QImage a(QString::fromStdString(plain)), b(QString::fromStdString(cities));
  ASSERT_EQ(a.size(), b.size());
  // The centre line of 2024-04-08 is a yellow road in both; the capitals add dots and titles.
  int yellow = 0, changed = 0, white = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if ((p & 0xFFFFFF) == 0xFFFF00) ++yellow;
      if (p == q) continue;
      ++changed;
      if ((q & 0xFFFFFF) == 0xFFFFFF) ++white;
    }
  }
  EXPECT_GT(yellow, 300);
  EXPECT_GT(changed, 500);
  EXPECT_GT(white, 100);
}

TEST_F(RenderCommand, AnUnusableTextureSaysWhy) {
  const std::string out = (dir_ / "x.png").string();
  std::ofstream(dir_ / "notes.jpg") << "not a picture\n";
  const std::string fifo = (dir_ / "pipe.jpg").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // The quadrants texture with a header claiming 65500 × 4096 pixels.
  std::ifstream in(texture_, std::ios::binary);
  std::string wide{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::size_t frame = wide.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  wide.replace(frame + 5, 4, std::string("\x10\x00\xFF\xDC", 4));  // height, width
  std::ofstream(dir_ / "wide.jpg", std::ios::binary) << wide;
  const std::pair<std::string, std::string> textures[] = {
      {(dir_ / "none.jpg").string(), "cannot open: No such file or directory"},
      {(dir_ / "notes.jpg").string(), "not a JPEG file"},
      {fifo, "not a regular file but a named pipe (FIFO)"},
      {(dir_ / "wide.jpg").string(), "too large (65500×4096 pixels, at most 134217728)"}};
  for (const auto& [texture, reason] : textures) {
    // A render that waits on the pipe is released after a while and fails the test.
    PipeWatchdog watchdog(fifo, 10);
    const auto [status, errors] = RunCliErrors(
        "render 1 0 --catalogue " + catalogue_ + " --texture-file " + texture + " --out " + out,
        "");
    EXPECT_EQ(status, 1) << texture;
    // The message names the file, then what is wrong with it.
    const std::size_t named = errors.find("umbrivista-cli: ");
    const std::size_t file = errors.find(texture + ": ", named);
    EXPECT_NE(named, std::string::npos) << errors;
    EXPECT_NE(file, std::string::npos) << errors;
    EXPECT_NE(errors.find(reason, file), std::string::npos) << errors;
  }
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(RenderCommand, AnUnusableTemporaryFolderIsNamed) {
  const std::string out = (dir_ / "x.png").string();
  std::ofstream(dir_ / "plain") << "a file, not a folder";
  const std::pair<std::string, std::string> folders[] = {
      {"/nonexistent/umbrivista", "No such file or directory"},
      {(dir_ / "plain").string(), "Not a directory"}};
  for (const auto& [folder, reason] : folders) {
    const auto [status, errors] = RunCliErrors(Render("--out " + out), "TMPDIR=" + folder + " ");
    EXPECT_EQ(status, 1) << folder;
    EXPECT_NE(errors.find("temporary folder " + folder + ": " + reason), std::string::npos)
        << errors;
    EXPECT_EQ(errors.find("Assertion"), std::string::npos) << errors;
  }
  EXPECT_FALSE(fs::exists(out));
}

// A large render, caught while its scratch database exists: interrupted or terminated, the
// program removes the database and dies of the signal.
TEST_F(RenderCommand, TheScratchDatabaseIsRemovedWhenTheProgramIsStopped) {
  const fs::path temp = dir_ / "temp";
  fs::create_directories(temp);
  const std::string out = (dir_ / "x.png").string();
  for (const int signal : {SIGTERM, SIGINT}) {
    const pid_t child =
        StartRender({"render", "1", "0", "--catalogue", catalogue_, "--texture-file", texture_,
                     "--width", "8192", "--height", "8192", "--zoom", "60", "--out", out},
                    temp);
    ASSERT_GT(child, 0);
    ASSERT_TRUE(WaitForScratch(child, temp)) << "the render made no scratch database";
    ::kill(child, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(ScratchFiles(temp), 0);
  }
  EXPECT_FALSE(fs::exists(out));
}

// A render killed outright leaves its scratch database; the next render removes it, but never the
// database of a render that is still running (here one held stopped).
TEST_F(RenderCommand, TheNextRenderRemovesTheDatabaseOfAKilledOneOnly) {
  const fs::path temp = dir_ / "temp";
  fs::create_directories(temp);
  const std::vector<std::string> large = {"render", "1", "0", "--catalogue", catalogue_,
                                          "--texture-file", texture_, "--width", "8192",
                                          "--height", "8192", "--zoom", "60", "--out",
                                          (dir_ / "large.png").string()};
  const std::string env = "TMPDIR=" + temp.string() + " ";
  const std::string small = Render("--width 100 --height 100 --out " + (dir_ / "s.png").string());

  const pid_t running = StartRender(large, temp);
  ASSERT_GT(running, 0);
  // Caught once it uses its database: a run stopped right after creating the file, before it
  // locks it, may lose the file to another run's clean-up (and then makes another one).
  ASSERT_TRUE(WaitForScratch(running, temp, true)) << "the render made no scratch database";
  ::kill(running, SIGSTOP);
  fs::path held;
  for (const auto& entry : fs::directory_iterator(temp))
    if (entry.path().filename().string().rfind("Temporary_", 0) == 0) held = entry.path();
  EXPECT_EQ(RunCli(small, env), 0);
  EXPECT_TRUE(fs::exists(held)) << "the database of a running render was removed";
  EXPECT_EQ(ScratchFiles(temp), 1);

  ::kill(running, SIGKILL);
  ASSERT_EQ(::waitpid(running, nullptr, 0), running);
  EXPECT_TRUE(fs::exists(held));
  EXPECT_EQ(RunCli(small, env), 0);
  EXPECT_FALSE(fs::exists(held));
  EXPECT_EQ(ScratchFiles(temp), 0);
}

}  // namespace
