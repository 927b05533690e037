// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Binary catalogue decoder: any bytes are either rejected with CatalogueError or decode to
// records that encode back to exactly the same bytes.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<umbrivista::EclipseRecord> records;
  try {
    records = umbrivista::DecodeCatalogue(std::span<const std::uint8_t>(data, size), "fuzz.bin");
  } catch (const umbrivista::CatalogueError&) {
    return 0;
  }
  if (records.empty()) {
    std::fprintf(stderr, "%zu bytes accepted as a catalogue without records\n", size);
    std::abort();
  }
  const std::vector<std::uint8_t> bytes = umbrivista::EncodeCatalogue(records);
  if (bytes.size() != size || std::memcmp(bytes.data(), data, size) != 0) {
    std::fprintf(stderr, "binary round trip changed %zu bytes of input\n", size);
    std::abort();
  }
  return 0;
}
