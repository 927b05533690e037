// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cli.h"
#include "deltat.h"
#include "numbers.h"

namespace umbrivista {

int RunCatalogue(Args& args) {
  const std::string sub = args.TakePositional("catalogue command (info, show, find, convert)");
  if (sub == "convert") {
    const std::string text = args.TakePositional("TEXT file");
    const std::string bin = args.TakePositional("BIN file");
    args.ExpectEnd();
    const auto records = ReadCatalogueText(text);
    WriteCatalogueBinary(bin, records, text);
    std::cout << "records\t" << records.size() << "\n";
    return 0;
  }
  if (sub == "info") {
    const auto& cat = LoadCatalogue(args);
    args.ExpectEnd();
    const EclipseRecord& first = cat.RecordAt(1);
    const EclipseRecord& last = cat.RecordAt(cat.RecordCount());
    std::cout << "records\t" << cat.RecordCount() << "\n"
              << "first\t" << IsoDate(first.year, first.month, first.day) << "\n"
              << "last\t" << IsoDate(last.year, last.month, last.day) << "\n"
              << "saros_min\t" << cat.MinSaros() << "\n"
              << "saros_max\t" << cat.MaxSaros() << "\n";
    return 0;
  }
  if (sub == "show") {
    const auto& cat = LoadCatalogue(args);
    const int p = ParsePosition(args.TakePositional("POS"), cat);
    args.ExpectEnd();
    std::cout << FormatCatalogueLine(cat.RecordAt(p)) << "\n";
    return 0;
  }
  if (sub == "find") {
    const auto year = args.TakeOption("year");
    const auto saros = args.TakeOption("saros");
    if (year.has_value() == saros.has_value()) throw UsageError("give either --year or --saros");
    const int number =
        year ? ParseIntArg(*year, "--year", -kMaxYear, kMaxYear)
             : ParseIntArg(*saros, "--saros", -kMaxSarosMagnitude, kMaxSarosMagnitude);
    const auto& cat = LoadCatalogue(args);
    args.ExpectEnd();
    if (year) {
      // As the window's year box: by the date of greatest eclipse (TT), the year clamped to the
      // catalogue's.
      const int clamped = std::clamp(number, kFirstCatalogueYear, kLastCatalogueYear);
      std::cout << FindByGreatestEclipseDate(cat, clamped, 1, 1, false) << "\n";
      return 0;
    }
    // The Saros box of the window clamps to the catalogue's series; a script asking for a series
    // the catalogue does not hold gets told so instead of the nearest one.
    const int p = number < cat.MinSaros() || number > cat.MaxSaros() ? 0 : cat.FindBySaros(number);
    if (p == 0) {
      std::cerr << "umbrivista-cli: no eclipse of Saros " << number
                << " in the catalogue (it holds series " << cat.MinSaros() << " … "
                << cat.MaxSaros() << ")\n";
      return 1;
    }
    std::cout << p << "\n";
    return 0;
  }
  throw UsageError("unknown catalogue command " + Echo(sub));
}

int RunDeltaT(Args& args) {
  const int year = ParseIntArg(args.TakePositional("YEAR"), "YEAR", -kMaxYear, kMaxYear);
  const int month = ParseIntArg(args.TakePositional("MONTH"), "MONTH", 1, 12);
  const bool sigma = args.TakeFlag("sigma");
  args.ExpectEnd();
  std::cout << FormatReal(DeltaT(year, month)) << "\n";
  if (sigma) std::cout << "sigma " << FormatDeltaTSigma(DeltaTSigma(year, month)) << " s\n";
  return 0;
}

}  // namespace umbrivista
