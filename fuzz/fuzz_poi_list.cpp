// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Points-of-interest list lines: any text, split into lines and parsed as the editor and the
// globe do, never crashes; a line that gives a point gives finite coordinates and a UTF-8 title,
// its repaired form parses to the same point, and a bad field is named with a message in every
// language.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "poi_list.h"
#include "text_encoding.h"

namespace {

using umbrivista::PoILine;

[[noreturn]] void Fail(const char* what, const std::string& line) {
  std::fprintf(stderr, "points-of-interest line: %s: %s\n", what, line.c_str());
  std::abort();
}

void Check(const std::string& line) {
  const PoILine parsed = umbrivista::ParsePoILine(line);
  switch (parsed.kind) {
    case PoILine::kSkipped:
      return;
    case PoILine::kBadField: {
      bool known = false;
      for (const char* field : umbrivista::kPoIFields) known |= parsed.field == field;
      if (!known) Fail("field", line);
      for (auto language : {umbrivista::Language::kGerman, umbrivista::Language::kEnglish,
                            umbrivista::Language::kFrench}) {
        const std::string message = umbrivista::PoIErrorMessage(parsed, language);
        if (message.find(parsed.repaired) == std::string::npos) Fail("message", line);
      }
      return;
    }
    case PoILine::kPoint:
      break;
  }
  const auto& mark = parsed.mark;
  // Only finite: the fields take any number that fits their columns ("9e99" too), and the globe
  // saturates what lies beyond it.
  if (!std::isfinite(mark.latitude) || !std::isfinite(mark.longitude)) Fail("coordinates", line);
  if (!umbrivista::IsValidUtf8(mark.title)) Fail("title is not UTF-8", line);
  const PoILine again = umbrivista::ParsePoILine(parsed.repaired);
  if (again.kind != PoILine::kPoint || again.mark.title != mark.title ||
      again.mark.latitude != mark.latitude || again.mark.longitude != mark.longitude ||
      again.repaired != parsed.repaired) {
    Fail("repaired line parses differently", line);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The file as the program reads it: decoded to UTF-8, then line by line.
  for (const std::string& line : umbrivista::SplitLines(umbrivista::DecodeTextFile(bytes))) {
    if (line.find('\n') != std::string::npos) Fail("line with a line end", line);
    Check(line);
  }
  // Undecoded bytes must not crash the parser either.
  for (const std::string& line : umbrivista::SplitLines(bytes)) {
    umbrivista::ParsePoILine(line);
  }
  return 0;
}
