// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text as the program reads it from files: UTF-8, or Windows-1252 for a file that is not valid
// UTF-8; and code points for texts whose columns count characters.

#include <string>
#include <string_view>

namespace umbrivista {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
// Windows-1252 bytes as UTF-8; the five bytes the code page leaves undefined become the C1
// control characters of the same value.
std::string Windows1252ToUtf8(std::string_view bytes);
// The text of a file as UTF-8: a UTF-8 byte-order mark is dropped, valid UTF-8 is kept as it is,
// anything else is read as Windows-1252.
std::string DecodeTextFile(std::string_view bytes);

// Code points of valid UTF-8, and back.
std::u32string ToCodePoints(std::string_view utf8);
std::string ToUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t code);

}  // namespace umbrivista
