// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped globe textures: present, baseline or progressive JPEG, three colour components, at
// the sizes the globe expects (equirectangular, twice as wide as high).

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

struct JpegFrame {
  int width = 0;
  int height = 0;
  int components = 0;
};

// Reads the frame header (SOF0 … SOF15 except DHT, JPG and DAC) of a JPEG file.
std::optional<JpegFrame> ReadJpegFrame(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
  size_t i = 2;
  while (i + 4 <= bytes.size()) {
    if (bytes[i] != 0xFF) return std::nullopt;
    const std::uint8_t marker = bytes[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    const size_t length = (bytes[i + 2] << 8) | bytes[i + 3];
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (i + 2 + length > bytes.size() || length < 8) return std::nullopt;
      JpegFrame f;
      f.height = (bytes[i + 5] << 8) | bytes[i + 6];
      f.width = (bytes[i + 7] << 8) | bytes[i + 8];
      f.components = bytes[i + 9];
      return f;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // end or scan before a frame
    i += 2 + length;
  }
  return std::nullopt;
}

TEST(Textures, AllFourAreColourJpegsOfTheExpectedSize) {
  struct Expected {
    const char* name;
    int width, height;
  };
  const Expected textures[] = {
      {"BlueMarble_5.4x2.7k.jpg", 5400, 2700},
      {"DEMIS_World_3.jpg", 5400, 2700},
      {"World_4096.jpg", 4096, 2048},
      {"World_white.jpg", 4096, 2048},
  };
  for (const Expected& t : textures) {
    const std::string path = std::string(UMBRIVISTA_DATA_DIR) + "/" + t.name;
    const auto frame = ReadJpegFrame(path);
    ASSERT_TRUE(frame.has_value()) << path << " is missing or not a JPEG";
    EXPECT_EQ(frame->width, t.width) << t.name;
    EXPECT_EQ(frame->height, t.height) << t.name;
    EXPECT_EQ(frame->components, 3) << t.name;
  }
}

}  // namespace
