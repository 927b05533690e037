// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-cli sketch: the pictures it writes, and what it refuses.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "scratch_dir.h"

using namespace umbrivista;

namespace {

namespace fs = std::filesystem;

// 2024-04-08 in the shipped catalogue.
const std::string kDallas = "sketch 16690 --lat 32.78 --lon -96.80";

class CliSketch : public ScratchDirTest {
 protected:
  CliSketch() : ScratchDirTest("umbrivista_cli_sketch") {}
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The character data of every <text> element, in document order; empty when the tags do not
// nest properly (an unclosed, stray or crossed tag).
std::vector<std::string> XmlTexts(const std::string& xml) {
  std::vector<std::string> open, texts;
  std::size_t at = 0;
  while ((at = xml.find('<', at)) != std::string::npos) {
    std::size_t end = at + 1;
    for (char quote = 0; end < xml.size() && (quote || xml[end] != '>'); ++end) {
      // A ">" inside an attribute's value does not end the tag.
      if (xml[end] == '"' || xml[end] == '\'')
        quote = quote == xml[end] ? 0 : quote ? quote : xml[end];
    }
    if (end >= xml.size() || end == at + 1) return {};
    const std::string tag = xml.substr(at + 1, end - at - 1);
    const bool closing = tag[0] == '/';
    const std::size_t from = closing ? 1 : 0;
    const std::string name = tag.substr(from, tag.find_first_of(" \t\r\n/", from) - from);
    if (closing) {
      if (open.empty() || open.back() != name) return {};
      open.pop_back();
    } else if (tag[0] != '?' && tag[0] != '!' && tag.back() != '/') {
      open.push_back(name);
      if (name == "text") texts.push_back(xml.substr(end + 1, xml.find('<', end) - end - 1));
    }
    at = end + 1;
  }
  if (!open.empty()) return {};
  return texts;
}

}  // namespace

TEST_F(CliSketch, SvgHoldsTheFiveFramesCaptions) {
  const fs::path out = dir_ / "dallas.svg";
  ASSERT_EQ(RunCli(kDallas + " --ut --out " + out.string()).status, 0);
  const std::vector<std::string> texts = XmlTexts(ReadFile(out));
  ASSERT_FALSE(texts.empty()) << "not well-formed";
  std::vector<std::string> contacts;
  for (const std::string& t : texts) {
    if (t.size() > 4 && t.substr(t.size() - 3) == " UT") contacts.push_back(t.substr(0, 4));
  }
  EXPECT_EQ(contacts, (std::vector<std::string>{"C1  ", "C2  ", "Max.", "C3  ", "C4  "}));
}

TEST_F(CliSketch, PngHasThePictureSize) {
  const fs::path out = dir_ / "dallas.png";
  ASSERT_EQ(RunCli(kDallas + " --lang de --out " + out.string()).status, 0);
  const std::string png = ReadFile(out);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x03\xe8\0\0\x01\x04", 8));  // 1000 × 260
}

TEST_F(CliSketch, StatusAndFileByPlace) {
  const struct {
    std::string args, file;
    int status;
    bool written;
  } cases[] = {
      // Sydney lies under the penumbra with the Sun below the horizon: drawn, all greyed.
      {"sketch 16690 --lat -33.87 --lon 151.21", "sydney.png", 0, true},
      {"sketch 16690 --lat -60 --lon -45", "atlantic.png", 1, false},  // the penumbra misses it
      {kDallas, "dallas.jpg", 2, false},
      {kDallas, "dallas", 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + " " + c.file);
    const fs::path out = dir_ / c.file;
    const Result r = RunShell(CliPath() + " " + c.args + " --out " + out.string() + " 2>&1");
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(fs::exists(out), c.written);
    if (c.status == 1) {
      EXPECT_NE(r.out.find("no eclipse"), std::string::npos) << r.out;
    }
  }
}
