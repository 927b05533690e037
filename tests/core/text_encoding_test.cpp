// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252 decoding against the code page's published table (Unicode's mapping file
// CP1252.TXT, also the WHATWG encoding standard): every byte from 0x80 to 0x9F, and the ranges that
// map to themselves.

#include <gtest/gtest.h>

#include <string>

#include "text_encoding.h"

namespace umbrivista {
namespace {

TEST(Windows1252, EveryByteDecodesToItsPublishedCodePoint) {
  // 0x80 … 0x9F; the five bytes the code page leaves undefined stay the C1 controls of their value.
  constexpr char32_t kPublished[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80–87
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88–8F
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90–97
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98–9F
  };
  for (int b = 0; b < 256; ++b) {
    const char32_t expected = b >= 0x80 && b < 0xA0 ? kPublished[b - 0x80] : char32_t(b);
    const std::string decoded = Windows1252ToUtf8(std::string(1, static_cast<char>(b)));
    EXPECT_EQ(ToCodePoints(decoded), std::u32string(1, expected)) << std::hex << b;
    EXPECT_TRUE(IsValidUtf8(decoded)) << std::hex << b;
  }
  // In a file that is not UTF-8 as a whole.
  EXPECT_EQ(DecodeTextFile("\x93Z\xFCrich\x94 \x96 5\x80"), "“Zürich” – 5€");
}

}  // namespace
}  // namespace umbrivista
