// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of umbrivista-cli: usage, --version, each command's --help, the dispatch to
// a command and the exit status of its errors. The drawing program runs the same code for its
// commands, so that both speak alike.

#include <cstring>
#include <iostream>

#include "cli.h"

using namespace umbrivista;

namespace {

const char* kUsage =
    "usage: umbrivista-cli COMMAND [options]\n"
    "  catalogue info | show POS | find --year Y | find --saros S | convert TEXT BIN\n"
    "  deltat YEAR MONTH [--sigma]\n"
    "  elements POS T [--ut] [--back] [--format tsv|json]\n"
    "  centreline POS [--ut|--tt] [--back] [--format tsv|geojson|kml]\n"
    "  limits POS [--ut|--tt|--deltat S] [--format tsv|geojson|kml]\n"
    "  pathtable POS [--step MIN] [--ut|--tt] [--format tsv|csv|json]\n"
    "  local POS --lat DEG --lon DEG [--height M] [--deltat S] [--lang de|en|fr]\n"
    "         [--time ut|tt|local|ZONE] [--deltat-range] [--format tsv|json|ics]\n"
    "  render POS T --out FILE.png|FILE.svg|FILE.pdf [--width W] [--height H] [--zoom Z]\n"
    "         [--texture I] [--texture-file FILE] [--grid I] [--ut] [--back] [--ssp] [--capitals]\n"
    "         [--poi LAT,LON] [--centre LAT,LON] [--no-overlay] [--no-limits] [--night]\n"
    "         [--title] [--lang de|en|fr] [--map mercator|flat]\n"
    "  render POS --from H --to H --step S [--fps N] --out FILE.mp4|FILE.webm|FILE.gif\n"
    "         [the picture options of render POS T]\n"
    "  sketch POS --lat DEG --lon DEG [--height M] [--ut] [--lang de|en|fr]\n"
    "         --out FILE.svg|FILE.png\n"
    "  citylist POS --threshold-index I [--lang de|en|fr] [--places FILE]\n"
    "         [--format text|csv|json] --out FILE|-\n"
    "  placehistory --lat DEG --lon DEG [--height M] [--name N] [--country C]\n"
    "         [--population P] [--from Y] [--to Y] [--lang de|en|fr] [--format text|csv|json]\n"
    "         --out FILE|-\n"
    "  search [--from Y] [--to Y] [--kind total,annular,hybrid,partial,central,noncentral]\n"
    "         [--min-duration S] [--min-magnitude M] [--max-gamma G] [--saros N]\n"
    "         [--near LAT,LON --within KM] [--central-at LAT,LON] [--visible-from LAT,LON]\n"
    "         [--country NAME [--places FILE]] [--lang de|en|fr] [--sort COLUMN [--desc]]\n"
    "         [--format tsv|json]\n"
    "every command answers --help; --version prints the version\n"
    "options: --catalogue FILE  use this catalogue instead of the one the data lookup finds\n"
    "         --data-dir DIR    look for the data files in DIR first (also UMBRIVISTA_DATA)\n";

int Run(int argc, char** argv, const CommandTable& commands) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    std::cout << kUsage;
    return argc < 2 ? 2 : 0;
  }
  if (!std::strcmp(argv[1], "--version")) {
    std::cout << "umbrivista-cli " << UMBRIVISTA_VERSION << "\n";
    return 0;
  }
  auto it = commands.find(argv[1]);
  if (it == commands.end()) {
    std::cerr << "umbrivista-cli: unknown command " << Echo(argv[1]) << "\n" << kUsage;
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      std::cout << CommandHelp(argv[1]);
      return 0;
    }
  }
  try {
    Args args(std::vector<std::string>(argv + 2, argv + argc));
    if (auto folder = args.TakeOption("data-dir")) DataDirOption() = *folder;
    return it->second(args);
  } catch (const UsageError& e) {
    std::cerr << "umbrivista-cli: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "umbrivista-cli: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace

namespace umbrivista {

int RunCommandLine(int argc, char** argv, const CommandTable& commands) {
  PrepareStandardStreams();
  const int status = Run(argc, argv, commands);
  // Whatever a command printed must have reached its destination: a full disk or a closed
  // output is a failure, not a success with a cut document.
  if (!FlushStandardOutput()) return status == 0 ? 1 : status;
  return status;
}

}  // namespace umbrivista
