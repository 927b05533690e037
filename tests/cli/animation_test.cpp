// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// render --from --to --step: animations of 2024-04-08 read back frame by frame.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "cli_runner.h"
#include "scratch_dir.h"
#include "video_frames.h"

namespace umbrivista {
namespace {

namespace fs = std::filesystem;

class RenderAnimation : public ScratchDirTest {
 protected:
  RenderAnimation() : ScratchDirTest("render_animation") {}
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Files in the scratch folder, hidden temporaries included.
  int FileCount() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Seven frames, −30 … +30 minutes from T0 every 10 minutes; the first and the last are compared
// with the single pictures of their instants (a swapped colour order, a frame of the wrong
// instant or a poor palette shows as a large difference).
TEST_F(RenderAnimation, EachFormatHoldsThePicturesOfItsInstants) {
  const std::string size = " --width 320 --height 240 --zoom 300";
  const std::string first = Path("first.png"), last = Path("last.png");
  ASSERT_EQ(RunCli("render 16690 -0.5 --out " + first + size).status, 0);
  ASSERT_EQ(RunCli("render 16690 0.5 --out " + last + size).status, 0);
  const DecodedVideo firstPicture = DecodeVideo(first, {0});
  const DecodedVideo lastPicture = DecodeVideo(last, {0});
  ASSERT_EQ(firstPicture.rgb.count(0), 1u);
  // The instants differ enough for a frame of the wrong one to fail.
  ASSERT_GT(MeanDifference(firstPicture.rgb.at(0), lastPicture.rgb.at(0)), 25);

  const struct {
    const char* name;
    const char* codec;
    double tolerance;  // mean difference per channel, 0 … 255; another instant differs by 30
  } cases[] = {{"a.mp4", "h264", 10}, {"b.GIF", "gif", 3}, {"c.webm", "vp9", 12}};
  for (const auto& c : cases) {
    const std::string out = Path(c.name);
    const Result r =
        RunCli("render 16690 --from -0.5 --to 0.5 --step 600 --fps 10 --out " + out + size, true);
    ASSERT_EQ(r.status, 0) << c.name << ": " << r.out;
    EXPECT_EQ(r.out, "");
    const DecodedVideo video = DecodeVideo(out, {0, 6});
    EXPECT_EQ(video.error, "") << c.name;
    EXPECT_EQ(video.codec, c.codec);
    EXPECT_EQ(video.frames, 7) << c.name;
    EXPECT_NEAR(video.seconds, 0.7, 0.011) << c.name;  // 7 frames at 10 a second
    EXPECT_EQ(video.width, 320) << c.name;
    EXPECT_EQ(video.height, 240) << c.name;
    ASSERT_EQ(video.rgb.size(), 2u) << c.name;
    EXPECT_LT(MeanDifference(video.rgb.at(0), firstPicture.rgb.at(0)), c.tolerance) << c.name;
    EXPECT_LT(MeanDifference(video.rgb.at(6), lastPicture.rgb.at(0)), c.tolerance) << c.name;
  }
  EXPECT_EQ(FileCount(), 5);  // no temporary file is left
}

// A run that fails halfway (the centre point turns to the far side) leaves the old file byte for
// byte and no temporary beside it; what a killed run left under that name goes too.
TEST_F(RenderAnimation, AFailedRunKeepsTheOldFile) {
  const std::string out = Path("old.gif");
  std::ofstream(out, std::ios::binary) << "old contents";
  const std::string leftover = Path(".old.gif.AbCdEfGhIj");
  std::ofstream(leftover, std::ios::binary) << "GIF89a";
  fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::hours(2));
  const Result r = RunCli("render 16690 --from -2 --to 2 --step 1800 --centre 7,-6.5 --width 64 "
                          "--height 64 --out " + out, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("umbrivista-cli: --centre 7,-6.5 lies on the far side"), std::string::npos)
      << r.out;
  EXPECT_EQ(ReadAll(out), "old contents");
  EXPECT_EQ(FileCount(), 1);
}

TEST_F(RenderAnimation, UsageErrorsWriteNothing) {
  const std::string out = Path("x.mp4");
  const std::string range = " --from -1 --to 1 --step 60";
  const std::pair<std::string, std::string> cases[] = {
      {"--from 1 --to 0 --step 60 --out " + out, "--from must come before --to"},
      {"--from 0 --to 0 --step 60 --out " + out, "--from must come before --to"},
      {"--from -11 --to 0 --step 60 --out " + out, "--from must lie in -10 … 10 hours"},
      {"--from 0 --to 10.5 --step 60 --out " + out, "--to must lie in -10 … 10 hours"},
      {"--from 0 --to 1 --step 0 --out " + out, "--step must be more than 0 s"},
      {"--from 0 --to 1 --step -5 --out " + out, "--step must lie in 0 … 72000 s"},
      {"--from 0 --to 1 --step nan --out " + out, "--step must lie in"},
      {"--from -10 --to 10 --step 1 --out " + out, "the animation would have 72001 frames"},
      {"--from 0 --to 1 --out " + out, "an animation needs --from, --to and --step"},
      {range + " --fps 0 --out " + out, "--fps must lie in 1 … 60"},
      {range + " --fps 61 --out " + out, "--fps must lie in 1 … 60"},
      {"0 --fps 25 --out " + out, "--fps needs --from, --to and --step"},
      {range, "render needs --out FILE.mp4|FILE.webm|FILE.gif"},
      {range + " --out " + Path("x.png"), "an animation's --out must end in .mp4, .webm or .gif"},
      {"0 --out " + out, "\"" + out + "\": an animation needs --from, --to and --step"},
      {range + " --width 321 --out " + out, "\"" + out + "\": MP4 and WebM need an even width"},
      {"0" + range + " --out " + out, "unexpected argument: \"0\""},
  };
  for (const auto& [args, message] : cases) {
    const Result r = RunCli("render 16690 " + args, true);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out.rfind("umbrivista-cli: " + message, 0), 0u) << args << ": " << r.out;
  }
  // An odd size is fine for a GIF.
  EXPECT_EQ(RunCli("render 16690 --from 0 --to 0.01 --step 36 --width 33 --height 17 --out " +
                   Path("odd.gif")).status, 0);
  EXPECT_EQ(FileCount(), 1);
}

}  // namespace
}  // namespace umbrivista

