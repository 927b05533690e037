// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shipped catalogue for the benchmarks that compute from it, loaded once; nullptr when it
// cannot be loaded (the benchmark then says so and skips).

#include <benchmark/benchmark.h>

#include <string>

#include "catalogue.h"

namespace umbrivista {

inline const EclipseCatalogue* Catalogue() {
  static EclipseCatalogue catalogue;
  static bool tried = false;
  if (!tried) {
    tried = true;
    try {
      catalogue.Load(std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName);
    } catch (const CatalogueError&) {
    }
  }
  return catalogue.Empty() ? nullptr : &catalogue;
}

// The catalogue, or nullptr after marking `state` skipped.
inline const EclipseCatalogue* CatalogueOrSkip(benchmark::State& state) {
  const EclipseCatalogue* catalogue = Catalogue();
  if (!catalogue) state.SkipWithError("catalogue file missing");
  return catalogue;
}

}  // namespace umbrivista
