// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Text catalogue reader: any bytes are either rejected with CatalogueError or give records that
// survive a trip through the line formatter and the reader unchanged, bit for bit.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue.h"

namespace {

using umbrivista::CatalogueError;
using umbrivista::EclipseRecord;

// Byte images compare NaN payloads and the sign of zero, which operator== does not.
bool SameBytes(const EclipseRecord& a, const EclipseRecord& b) {
  const auto x = umbrivista::EncodeCatalogue({a});
  const auto y = umbrivista::EncodeCatalogue({b});
  return x == y;
}

[[noreturn]] void Mismatch(const std::string& line, const char* what) {
  std::fprintf(stderr, "text round trip failed (%s) for line:\n%s\n", what, line.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<EclipseRecord> records;
  try {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    records = umbrivista::ParseCatalogueText(in, "fuzz.txt");
  } catch (const CatalogueError&) {
    return 0;
  }
  if (records.empty()) std::abort();  // an empty result must be reported as an error

  std::string all;
  for (const EclipseRecord& r : records) {
    const std::string line = umbrivista::FormatCatalogueLine(r);
    std::vector<EclipseRecord> again;
    try {
      std::istringstream in(line);
      again = umbrivista::ParseCatalogueText(in, "round-trip.txt");
    } catch (const CatalogueError& e) {
      Mismatch(line, e.what());
    }
    if (again.size() != 1) Mismatch(line, "not one record");
    if (!SameBytes(again[0], r)) Mismatch(line, "different record");
    all += line;
    all += '\n';
  }

  // The whole catalogue written out reads back as the same sequence.
  std::istringstream in(all);
  const auto whole = umbrivista::ParseCatalogueText(in, "round-trip.txt");
  if (whole.size() != records.size()) Mismatch(all, "record count");
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (!SameBytes(whole[i], records[i])) Mismatch(all, "different sequence");
  }
  return 0;
}
