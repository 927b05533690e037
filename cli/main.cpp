// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-cli: headless front end over the program's computations. The commands that draw
// run in umbrivista-cli-draw, which this program becomes for them.

#include "cli.h"
#include "drawing_program.h"

namespace {

char** g_argv = nullptr;

int RunDrawing(umbrivista::Args&) {
  umbrivista::ExecDrawingProgram(g_argv);
  return 1;  // not reached: the exec either replaced this process or threw
}

}  // namespace

int main(int argc, char** argv) {
  using namespace umbrivista;
  g_argv = argv;
  return RunCommandLine(argc, argv,
                        {
                            {"catalogue", RunCatalogue},   {"deltat", RunDeltaT},
                            {"elements", RunElements},     {"centreline", RunCentreLine},
                            {"local", RunLocal},           {"render", RunDrawing},
                            {"citylist", RunCityList},     {"placehistory", RunPlaceHistory},
                            {"limits", RunLimits},         {"sketch", RunDrawing},
                            {"pathtable", RunPathTable},   {"search", RunSearch},
                        });
}
