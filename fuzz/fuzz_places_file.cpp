// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Places-file reader: any bytes give places within their ranges, in order, up to the first line
// that cannot be used, whose error names the file and that line; the places read, written out
// again as a places file, read back to the same places without an error.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "places_file.h"
#include "text_encoding.h"

namespace {

using umbrivista::Place;
using umbrivista::PlacesReader;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "places reader: %s: %s\n", what, detail.c_str());
  std::abort();
}

std::vector<Place> ReadAll(PlacesReader& reader) {
  std::vector<Place> places;
  Place place;
  int line = 0;
  while (reader.Next(place)) {
    if (reader.LineNumber() != ++line) Fail("line numbers", std::to_string(reader.LineNumber()));
    if (place.latitude100 < -9000 || place.latitude100 > 9000) Fail("latitude", place.name);
    if (place.longitude100 < -18000 || place.longitude100 > 18000) Fail("longitude", place.name);
    for (const std::string* text : {&place.country, &place.name}) {
      if (text->find_first_of("\t\n") != std::string::npos) Fail("field breaks a line", *text);
      if (!umbrivista::IsValidUtf8(*text)) Fail("not UTF-8", *text);
    }
    places.push_back(place);
  }
  return places;
}

bool Same(const Place& a, const Place& b) {
  return a.country == b.country && a.name == b.name && a.latitude100 == b.latitude100 &&
         a.longitude100 == b.longitude100 && a.height == b.height && a.population == b.population;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  PlacesReader reader("fuzz.txt", bytes);
  const std::vector<Place> places = ReadAll(reader);
  if (!reader.Error().empty() && reader.Error().rfind("fuzz.txt: ", 0) != 0) {
    Fail("error without the file name", reader.Error());
  }
  if (reader.Error().empty() && !places.empty() && bytes.back() != '\n') {
    Fail("a last line without its line end was read", std::to_string(places.size()));
  }

  // The places as a file of their own (a byte-order mark first, so that one the first country
  // begins with stays part of it).
  std::string text = "\xEF\xBB\xBF";
  for (const Place& p : places) {
    text += p.country + '\t' + p.name + '\t' + std::to_string(p.latitude100) + '\t' +
            std::to_string(p.longitude100) + '\t' + std::to_string(p.height) + '\t' +
            std::to_string(p.population) + "\r\n";
  }
  PlacesReader again("again.txt", text);
  const std::vector<Place> back = ReadAll(again);
  if (!again.Error().empty()) Fail("written places do not read back", again.Error());
  if (back.size() != places.size()) Fail("place count", std::to_string(back.size()));
  for (std::size_t i = 0; i < back.size(); ++i) {
    if (!Same(back[i], places[i])) Fail("different place", places[i].name);
  }
  return 0;
}
