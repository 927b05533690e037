// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: AGPL-3.0-or-later
// catalogue-generator: computes the eclipse catalogue and writes its binary and text forms.
//
//   catalogue-generator [--from YEAR] [--to YEAR] [--out BIN] [--text TXT] [--threads N]
//                       [--saros-margin YEARS] [--ephemeris DIR]
//
// Without --out and --text it only computes and prints the summary.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "catalogue.h"
#include "generator.h"
#include "numbers.h"

using namespace umbrivista;

namespace {

[[noreturn]] void Usage(const std::string& message) {
  std::cerr << "catalogue-generator: " << message << "\n"
            << "usage: catalogue-generator [--from YEAR] [--to YEAR] [--out BIN] [--text TXT]"
               " [--threads N] [--saros-margin YEARS] [--ephemeris DIR]\n";
  std::exit(2);
}

int IntegerArgument(const std::string& name, const std::string& text) {
  const auto value = ParseInteger(text);
  if (!value || *value < -100000 || *value > 100000) Usage(name + " needs an integer");
  return static_cast<int>(*value);
}

void WriteText(const std::string& path, const std::vector<EclipseRecord>& records) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& r : records) out << FormatCatalogueLine(r) << "\n";
  out.close();
  if (!out) throw CatalogueError(path + ": cannot write the text catalogue");
}

}  // namespace

int main(int argc, char** argv) {
  catalogue_tool::GeneratorOptions options;
  options.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::string binaryPath, textPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) Usage("missing value after " + arg);
    const std::string value = argv[++i];
    if (arg == "--from") {
      options.firstYear = IntegerArgument(arg, value);
    } else if (arg == "--to") {
      options.lastYear = IntegerArgument(arg, value);
    } else if (arg == "--out") {
      binaryPath = value;
    } else if (arg == "--text") {
      textPath = value;
    } else if (arg == "--threads") {
      options.threads = IntegerArgument(arg, value);
    } else if (arg == "--saros-margin") {
      options.sarosMarginYears = IntegerArgument(arg, value);
    } else if (arg == "--ephemeris") {
      options.ephemerisPath = value;
    } else {
      Usage("unknown option " + arg);
    }
  }
  if (options.firstYear > options.lastYear) Usage("--from lies after --to");

  try {
    const auto start = std::chrono::steady_clock::now();
    const auto result = catalogue_tool::GenerateCatalogue(options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto& records = result.records;

    int types[7] = {};
    int sarosMin = 0, sarosMax = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
      const auto& r = records[i];
      if (r.typeCode >= 1 && r.typeCode <= 6) ++types[r.typeCode];
      if (i == 0 || r.sarosNumber < sarosMin) sarosMin = r.sarosNumber;
      if (i == 0 || r.sarosNumber > sarosMax) sarosMax = r.sarosNumber;
    }
    std::printf("records\t%zu\n", records.size());
    if (!records.empty()) {
      std::printf("first\t%d-%02d-%02d\nlast\t%d-%02d-%02d\n", records.front().year,
                  records.front().month, records.front().day, records.back().year,
                  records.back().month, records.back().day);
    }
    std::printf("types 1..6\t%d %d %d %d %d %d\n", types[1], types[2], types[3], types[4], types[5],
                types[6]);
    std::printf("saros\t%d … %d\n", sarosMin, sarosMax);
    const char* names[8] = {"x", "y", "d", "mu", "l1", "l2", "tanf1", "tanf2"};
    for (int g = 0; g < 8; ++g) {
      std::printf("max residual %s\t%.3e", names[g], result.maxResidual[g]);
      if (g < 2 && !records.empty()) {
        const auto& r = records[result.maxResidualIndex[g]];
        std::printf("\t(%d-%02d-%02d)", r.year, r.month, r.day);
      }
      std::printf("\n");
    }
    std::printf("lunations searched\t%lld\neclipses found\t%lld\nlunations followed\t%lld\n",
                static_cast<long long>(result.lunationsSearched),
                static_cast<long long>(result.eclipsesSearched),
                static_cast<long long>(result.lunationsFollowed));
    std::printf("seconds\t%.1f (%d threads)\n", seconds, options.threads);
    for (const auto& problem : result.problems)
      std::fprintf(stderr, "problem: %s\n", problem.c_str());
    if (!result.problems.empty()) {
      std::fprintf(stderr, "catalogue-generator: nothing written\n");
      return 1;
    }
    if (!binaryPath.empty()) WriteCatalogueBinary(binaryPath, records);
    if (!textPath.empty()) WriteText(textPath, records);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "catalogue-generator: %s\n", e.what());
    return 1;
  }
  return 0;
}
